#include "views/CanvasPanel.h"

#include <algorithm>

#include "platform/Messages.h"

TCanvasPanel::TCanvasPanel(TComponent* AOwner) : TPanel(AOwner)
{
    // Everything it shows is painted here: nothing of the parent shows through.
    FControlStyle.Include(csOpaque);
    FControlStyle.Exclude(csParentBackground);
}

void TCanvasPanel::Paint()
{
    Canvas()->SetFont(Font());
    if (OnPaint)
        OnPaint(this);
    else
        TPanel::Paint();
}

// ---- options -------------------------------------------------------------------

void TScrollBarBox::TScrollBarOptions::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    FOwner->OptionsChanged();
}

void TScrollBarBox::TScrollBarOptions::SetScrollBarStyle(int Value)
{
    if (FScrollBarStyle == Value)
        return;
    FScrollBarStyle = Value;
    FOwner->OptionsChanged();
}

bool TScrollBarBox::TScrollBarOptions::Shows(int Bar) const
{
    if (Bar == SB_HORZ)
        return FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    return FScrollBars == ssVertical || FScrollBars == ssBoth;
}

// ---- one bar -------------------------------------------------------------------

namespace {

int BarOf(TScrollBarKind Kind) { return Kind == sbHorizontal ? SB_HORZ : SB_VERT; }

}  // namespace

void TScrollBarInfo::SetInfo()
{
    if (!FOwner->HandleAllocated())
        return;
    const int bar = BarOf(FKind);
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = Min;
    info.nMax = Max;
    info.nPage = Page;
    info.nPos = Pos;
    // Shown first, so that the bar that cannot scroll stays as a disabled one.
    ShowScrollBar(FOwner->Handle(), bar, FOwner->ScrollBarOptions()->Shows(bar));
    SetScrollInfo(FOwner->Handle(), bar, info, true);
}

void TScrollBarInfo::GetInfo()
{
    if (!FOwner->HandleAllocated())
        return;
    TScrollInfo info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(FOwner->Handle(), BarOf(FKind), info))
        return;
    Min = info.nMin;
    Max = info.nMax;
    Page = info.nPage;
    Pos = info.nPos;
    TrackPos = info.nTrackPos;
}

void TScrollBarInfo::SetAll(int AMin, int AMax, int APos, UINT APage)
{
    Min = AMin;
    Max = AMax;
    Pos = APos;
    Page = APage;
    SetInfo();
}

void TScrollBarInfo::SetPos(int APos)
{
    Pos = APos;
    SetInfo();
}

void TScrollBarInfo::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TScrollBarInfo*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    Min = other->Min;
    Max = other->Max;
    Pos = other->Pos;
    TrackPos = other->TrackPos;
    Page = other->Page;
    SetInfo();
}

// ---- the box -------------------------------------------------------------------

TScrollBarBox::TScrollBarBox(TComponent* AOwner)
    : TCanvasPanel(AOwner),
      FOptions(std::make_unique<TScrollBarOptions>(this)),
      FHorz(std::make_unique<TScrollBarInfo>(this, sbHorizontal)),
      FVert(std::make_unique<TScrollBarInfo>(this, sbVertical))
{
    SetBounds(0, 0, 185, 41);
    SetBorderStyle(bsSingle);
    SetBevelOuter(bvNone);
}

TScrollBarBox::~TScrollBarBox() = default;

void TScrollBarBox::OptionsChanged()
{
    if (HandleAllocated() && !ComponentState().Contains(csLoading))
        RecreateWnd();
}

void TScrollBarBox::CreateParams(TCreateParams& Params)
{
    TCanvasPanel::CreateParams(Params);
    if (FOptions->Shows(SB_HORZ))
        Params.Style |= WS_HSCROLL;
    if (FOptions->Shows(SB_VERT))
        Params.Style |= WS_VSCROLL;
}

void TScrollBarBox::CreateWnd()
{
    TCanvasPanel::CreateWnd();
    FHorz->SetInfo();
    FVert->SetInfo();
}

void TScrollBarBox::Scrolled(TScrollBarInfo* Info, int Code)
{
    Info->GetInfo();
    int pos = Info->Pos;
    switch (Code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= int(Info->Page); break;
    case SB_PAGEDOWN: pos += int(Info->Page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = Info->TrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = Info->Max - int(Info->Page); break;
    default: return;
    }
    Info->SetPos(pos);
    // The window keeps the position inside its range.
    Info->GetInfo();
    TNotifyEvent& event = Info == FHorz.get() ? OnHorzScroll : OnVertScroll;
    if (event)
        event(this);
}

void TScrollBarBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) {
        Scrolled(Message.Msg == WM_HSCROLL ? FHorz.get() : FVert.get(), int(LoWord(Message.WParam)));
        Message.Result = 0;
        return;
    }
    TCanvasPanel::Dispatch(Message);
}
