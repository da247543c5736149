#include "components/KitSplitter.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "components/KitGrabBar.h"
#include "platform/ComponentDump.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

namespace {

// How far the pointer may wander along the drag axis for a click.
constexpr int ClickSlack = 5;
// Far enough to push a splitter to its limit.
constexpr int FarAway = 3000;

// The size to come back to is kept in a written form only while it matters.
void DumpKitSplitter(TComponent* C, TDumpProperties& P)
{
    auto* s = static_cast<TKitSplitter*>(C);
    if (s->Maximized() || s->Minimized())
        P.Set("RestorePos", IntToStr(s->RestorePos()));
}

}  // namespace

TColor KitAutoHighlightColor()
{
    const TColor a = ColorToRGB(clActiveCaption);
    const TColor f = ColorToRGB(clBtnFace);
    auto channel = [](int A, int F) { return Byte(A + ((F - A) * 180 * 2 + (F >= A ? 255 : -255)) / (2 * 255)); };
    return RGB(channel(GetRValue(a), GetRValue(f)), channel(GetGValue(a), GetGValue(f)),
               channel(GetBValue(a), GetBValue(f)));
}

TKitSplitter::TKitSplitter(TComponent* AOwner) : TSplitter(AOwner)
{
    static const bool registered = (RegisterDumpHook(StaticClassInfo(), DumpKitSplitter), true);
    (void)registered;
    SetBeveled(false);
    SetWidth(10);
}

void TKitSplitter::Loaded()
{
    TSplitter::Loaded();
    if (FRestorePos == -1)
        if (TControl* c = FindControl())
            FRestorePos = NeighbourSize(c);
}

void TKitSplitter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TSplitter::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FRestorePos == -1 && Parent())
        if (TControl* c = FindControl())
            FRestorePos = NeighbourSize(c);
}

TControl* TKitSplitter::FindControl()
{
    TWinControl* p = Parent();
    if (!p)
        return nullptr;
    TPoint at;
    switch (Align()) {
    case alLeft: at = {Left() - 1, Top()}; break;
    case alRight: at = {Left() + Width(), Top()}; break;
    case alTop: at = {Left(), Top() - 1}; break;
    case alBottom: at = {Left(), Top() + Height()}; break;
    default: return nullptr;
    }
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled())
            continue;
        TRect r = c->BoundsRect();
        // A folded-away control still counts as the neighbour.
        if (r.Width() == 0)
            ++r.Right;
        if (r.Height() == 0)
            ++r.Bottom;
        if (r.Contains(at))
            return c;
    }
    return nullptr;
}

bool TKitSplitter::DoCanResize(int& NewSize)
{
    const bool accept = TSplitter::DoCanResize(NewSize);
    if (NewSize < MinSize())
        NewSize = MinSize();
    return accept;
}

void TKitSplitter::UpdateControlSize(int Size)
{
    TControl* c = FindControl();
    if (!c)
        return;
    const int delta = Size - NeighbourSize(c);
    MoveBy(Align() == alLeft || Align() == alTop ? delta : -delta);
    if (TWinControl* p = Parent())
        p->Update();
}

void TKitSplitter::Fold(int Size)
{
    UpdateControlSize(Size);
    Invalidate();
}

void TKitSplitter::SetMaximized(bool Value)
{
    if (Value == FMaximized)
        return;
    if (ComponentState().Contains(csLoading)) {
        FMaximized = Value;
        return;
    }
    TControl* c = FindControl();
    if (!c)
        return;
    if (Value) {
        // Straight from minimized: the size to come back to stays.
        if (FMinimized)
            FMinimized = false;
        else
            FRestorePos = NeighbourSize(c);
        const bool towards = FButtonStyle == bsNetscape || Align() == alTop || Align() == alRight;
        Fold(towards ? -FarAway : FarAway);
        FMaximized = true;
        DoMaximize();
    } else {
        Fold(FRestorePos);
        FMaximized = false;
        DoRestore();
    }
}

void TKitSplitter::SetMinimized(bool Value)
{
    if (Value == FMinimized)
        return;
    if (ComponentState().Contains(csLoading)) {
        FMinimized = Value;
        return;
    }
    TControl* c = FindControl();
    if (!c)
        return;
    if (Value) {
        // From maximized the folded size must not become the one restored.
        if (FMaximized)
            FMaximized = false;
        else
            FRestorePos = NeighbourSize(c);
        Fold(Align() == alTop || Align() == alRight ? FarAway : -FarAway);
        FMinimized = true;
        DoMinimize();
    } else {
        Fold(FRestorePos);
        FMinimized = false;
        DoRestore();
    }
}

void TKitSplitter::DoMaximize()
{
    if (OnMaximize)
        OnMaximize(this);
}

void TKitSplitter::DoMinimize()
{
    if (OnMinimize)
        OnMinimize(this);
}

void TKitSplitter::DoRestore()
{
    if (OnRestore)
        OnRestore(this);
}

void TKitSplitter::DoClose()
{
    if (OnClose)
        OnClose(this);
}

void TKitSplitter::SetShowButton(bool Value)
{
    if (Value == FShowButton)
        return;
    FShowButton = Value;
    FLastKnownButtonRect = TRect();
    Invalidate();
}

void TKitSplitter::SetButtonWidthType(TKitButtonWidthType Value)
{
    if (Value == FButtonWidthType)
        return;
    FButtonWidthType = Value;
    if (Value == btwPercentage)
        FButtonWidth = std::clamp(FButtonWidth, 0, 100);
    if (FShowButton)
        Invalidate();
}

void TKitSplitter::SetButtonWidth(int Value)
{
    Value = FButtonWidthType == btwPercentage ? std::clamp(Value, 0, 100) : std::max(0, Value);
    SetPainted(FButtonWidth, Value);
}

void TKitSplitter::SetAutoHighlightColor(bool Value)
{
    if (Value == FAutoHighlightColor)
        return;
    FAutoHighlightColor = Value;
    FButtonHighlightColor = Value ? KitAutoHighlightColor() : TColor(0xFFCFCF);
    if (FShowButton)
        Invalidate();
}

TColor TKitSplitter::HighlightColor() const
{
    return FAutoHighlightColor ? KitAutoHighlightColor() : FButtonHighlightColor;
}

TRect TKitSplitter::ButtonRect()
{
    FLastKnownButtonRect = TRect();
    if (!FShowButton)
        return {};
    const int w = Width();
    const int h = Height();
    const bool vertical = Horizontal();  // a bar running up and down
    TRect r;
    if (FButtonStyle == bsNetscape) {
        const int along = vertical ? h : w;
        const int length = FButtonWidthType == btwPixels ? FButtonWidth : MulDiv(along, FButtonWidth, 100);
        const int start = (along - length) / 2;
        r = vertical ? TRect{1, start, w - 1, start + length} : TRect{start, 1, start + length, h - 1};
    } else {
        int count = 0;
        for (TKitWindowsButton b : {wbMin, wbMax, wbClose})
            count += FWindowsButtons.Contains(b) ? 1 : 0;
        const int square = std::max(0, (vertical ? w : h) - 2);
        r = vertical ? TRect{1, 1, w - 1, 1 + count * square} : TRect{w - 1 - count * square, 1, w - 1, h - 1};
    }
    r = {std::max(r.Left, 1), std::max(r.Top, 1), std::min(r.Right, w - 1), std::min(r.Bottom, h - 1)};
    if (Beveled()) {
        if (vertical)
            r = {r.Left + 3, r.Top, r.Right - 3, r.Bottom};
        else
            r = {r.Left, r.Top + 3, r.Right, r.Bottom - 3};
    }
    if (r.IsEmpty())
        return {};
    FLastKnownButtonRect = r;
    return r;
}

std::vector<std::pair<TKitWindowsButton, TRect>> TKitSplitter::WindowsButtonRects()
{
    std::vector<std::pair<TKitWindowsButton, TRect>> r;
    const TRect all = ButtonRect();
    if (all.IsEmpty())
        return r;
    const bool vertical = Horizontal();
    const int square = vertical ? all.Width() : all.Height();
    int at = vertical ? all.Top : all.Left;
    for (TKitWindowsButton b : {wbMin, wbMax, wbClose}) {
        if (!FWindowsButtons.Contains(b))
            continue;
        r.push_back({b, vertical ? TRect{all.Left, at, all.Right, at + square} : TRect{at, all.Top, at + square, all.Bottom}});
        at += square;
    }
    return r;
}

int TKitSplitter::WindowsButtonAt(const TPoint& P)
{
    for (const auto& [kind, r] : WindowsButtonRects())
        if (r.Contains(P))
            return int(kind);
    return -1;
}

void TKitSplitter::SetHighlighted(bool Value)
{
    if (Value == FIsHighlighted)
        return;
    FIsHighlighted = Value;
    Invalidate();
}

void TKitSplitter::UpdateCursor(const TPoint& P)
{
    const bool onButton = ButtonRect().Contains(P);
    SetCursor(onButton ? FButtonCursor : Horizontal() ? crHSplit : crVSplit);
    SetHighlighted(onButton && FButtonStyle == bsNetscape);
}

void TKitSplitter::Dispatch(TMessage& Message)
{
    TSplitter::Dispatch(Message);
    if (Message.Msg == CM_MOUSELEAVE) {
        SetHighlighted(false);
        FGotMouseDown = false;
    }
}

void TKitSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FPressed = true;
    if (Button == mbLeft && Enabled() && ButtonRect().Contains({X, Y})) {
        FGotMouseDown = true;
        FControl = FindControl();
        FDownPos = ClientToScreen({X, Y});
    } else if (!FAllowDrag) {
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    // A drag that starts on the button is an ordinary drag.
    if (FAllowDrag)
        TSplitter::MouseDown(Button, Shift, X, Y);
    else
        TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TKitSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    UpdateCursor({X, Y});
    if (!ButtonRect().Contains({X, Y}))
        FGotMouseDown = false;
    const TPoint screen = ClientToScreen({X, Y});
    const int moved = Horizontal() ? screen.X - FDownPos.X : screen.Y - FDownPos.Y;
    // Moves that may still end in a click on the button do not size yet.
    if (!FAllowDrag || (FGotMouseDown && std::abs(moved) <= ClickSlack)) {
        TGraphicControl::MouseMove(Shift, X, Y);
        return;
    }
    TSplitter::MouseMove(Shift, X, Y);
}

void TKitSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft) {
        TSplitter::MouseUp(Button, Shift, X, Y);
        return;
    }
    const bool pressed = FPressed;
    FPressed = false;
    const TPoint screen = ClientToScreen({X, Y});
    const int moved = Horizontal() ? screen.X - FDownPos.X : screen.Y - FDownPos.Y;
    if (FGotMouseDown && ButtonRect().Contains({X, Y}) && std::abs(moved) <= ClickSlack) {
        FGotMouseDown = false;
        // A click sizes nothing by itself.
        Perform(WM_CANCELMODE);
        TGraphicControl::MouseUp(Button, Shift, X, Y);
        ButtonClick({X, Y});
        return;
    }
    FGotMouseDown = false;
    if (!FAllowDrag) {
        TGraphicControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    TSplitter::MouseUp(Button, Shift, X, Y);
    if (pressed)
        DragEnded();
}

void TKitSplitter::ButtonClick(const TPoint& P)
{
    if (FButtonStyle == bsNetscape) {
        SetMaximized(!FMaximized);
        return;
    }
    switch (WindowsButtonAt(P)) {
    case wbMin: SetMinimized(!FMinimized); break;
    case wbMax: SetMaximized(!FMaximized); break;
    case wbClose: DoClose(); break;
    default: break;
    }
}

void TKitSplitter::DragEnded()
{
    TControl* c = FindControl();
    if (!c)
        return;
    const bool wasMaximized = FMaximized;
    if (MinSize() >= NeighbourSize(c)) {
        FMaximized = true;
        FMinimized = false;
        UpdateControlSize(MinSize());
        Invalidate();
        if (!wasMaximized)
            DoMaximize();
    } else {
        FRestorePos = NeighbourSize(c);
        FMaximized = false;
        Invalidate();
        if (wasMaximized)
            DoRestore();
    }
}

void TKitSplitter::Paint()
{
    TSplitter::Paint();
    const TRect r = ButtonRect();
    if (r.IsEmpty())
        return;
    if (FButtonStyle == bsNetscape)
        PaintNetscapeButton(Canvas(), r);
    else
        PaintWindowsButtons(Canvas());
}

void TKitSplitter::PaintNetscapeButton(TCanvas* Canvas, const TRect& R)
{
    const TColor face = FIsHighlighted ? HighlightColor() : FButtonColor;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(face);
    Canvas->FillRect(R);
    // The arrows point the way a click moves the splitter.
    const bool vertical = Horizontal();
    TKitArrowDirection dir;
    switch (Align()) {
    case alTop: dir = FMaximized ? adDown : adUp; break;
    case alBottom: dir = FMaximized ? adUp : adDown; break;
    case alLeft: dir = FMaximized ? adRight : adLeft; break;
    default: dir = FMaximized ? adLeft : adRight; break;
    }
    const int size = (vertical ? R.Width() : R.Height()) / 2;
    const TSize ext = KitArrowExtent(size, dir);
    TRect middle = R;
    if (vertical) {
        const int x = R.Left + (R.Width() - ext.cx) / 2;
        DrawKitArrow(Canvas, x, R.Top + 2, size, dir, FArrowColor);
        DrawKitArrow(Canvas, x, R.Bottom - 2 - ext.cy, size, dir, FArrowColor);
        middle = {R.Left, R.Top + 2 + ext.cy + 4, R.Right, R.Bottom - 2 - ext.cy - 4};
    } else {
        const int y = R.Top + (R.Height() - ext.cy) / 2;
        DrawKitArrow(Canvas, R.Left + 2, y, size, dir, FArrowColor);
        DrawKitArrow(Canvas, R.Right - 2 - ext.cx, y, size, dir, FArrowColor);
        middle = {R.Left + 2 + ext.cx + 4, R.Top, R.Right - 2 - ext.cx - 4, R.Bottom};
    }
    if (!middle.IsEmpty())
        DrawKitTexture(Canvas, middle, face, FTextureColor1, FTextureColor2);
}

void TKitSplitter::PaintWindowsButtons(TCanvas* Canvas)
{
    for (const auto& [kind, box] : WindowsButtonRects()) {
        TRect r = box;
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect(r);
        Frame3D(Canvas, r, clBtnHighlight, clBtnShadow, 1);
        // The glyph, a third of the square in from each side.
        const int m = std::max(1, box.Width() / 3);
        const TRect g{box.Left + m, box.Top + m, box.Right - m, box.Bottom - m};
        if (g.IsEmpty())
            continue;
        Canvas->Brush()->SetColor(clBtnText);
        Canvas->Pen()->SetColor(clBtnText);
        switch (kind) {
        case wbMin: Canvas->FillRect({g.Left, g.Bottom - 2, g.Right, g.Bottom}); break;
        case wbMax:
            Canvas->FrameRect(g);
            if (FMaximized)
                Canvas->FrameRect({g.Left + 2, g.Top + 2, g.Right, g.Bottom});
            else
                Canvas->FillRect({g.Left, g.Top, g.Right, g.Top + 2});
            break;
        case wbClose:
            Canvas->MoveTo(g.Left, g.Top);
            Canvas->LineTo(g.Right, g.Bottom);
            Canvas->MoveTo(g.Right - 1, g.Top);
            Canvas->LineTo(g.Left - 1, g.Bottom);
            break;
        }
    }
}
