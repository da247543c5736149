#include "components/KitToolBar.h"

#include <algorithm>
#include <vector>

#include "components/KitGrabBar.h"
#include "platform/ComponentDump.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

namespace {

// A form written while a bar is collapsed keeps its expanded layout.
void DumpKitToolBar(TComponent* C, TDumpProperties& P)
{
    auto* bar = static_cast<TKitToolBar*>(C);
    if (!bar->Maximized())
        P.Set(bar->Orientation() == oHorizontal ? "Height" : "Width", IntToStr(bar->RestoreValue()));
    P.Set("AutoSize", bar->AutoSize() ? "True" : "False");
}

}  // namespace

TKitToolBar::TKitToolBar(TComponent* AOwner) : TPanel(AOwner)
{
    static const bool registered = (RegisterDumpHook(StaticClassInfo(), DumpKitToolBar), true);
    (void)registered;
    SetBevelOuter(bvNone);
    // The caption belongs to the collapsed tab.
    SetShowCaption(false);
    FRestoreVal = Height();
}

TKitOrientation TKitToolBar::Orientation() const
{
    switch (Align()) {
    case alTop:
    case alBottom: return oHorizontal;
    case alLeft:
    case alRight: return oVertical;
    default: return Height() >= Width() ? oVertical : oHorizontal;
    }
}

void TKitToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!FMaximized) {
        if (Orientation() == oHorizontal) {
            if (AHeight != Height())
                FRestoreVal = AHeight;
            AHeight = Height();
        } else {
            if (AWidth != Width())
                FRestoreVal = AWidth;
            AWidth = Width();
        }
    }
    TPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TKitToolBar::SetAutoSize(bool Value)
{
    if (FMaximized)
        TPanel::SetAutoSize(Value);
    else
        FRestoreAutosize = Value;
}

void TKitToolBar::SetMaximized(bool Value)
{
    // Expanding an expanded bar would put back a stale size, and folding a
    // folded one would remember the strip as the size to come back to.
    if (Value == FMaximized)
        return;
    const bool horizontal = Orientation() == oHorizontal;
    if (!Value) {
        FRestoreAutosize = TPanel::AutoSize();
        TPanel::SetAutoSize(false);
        FRestoreVal = horizontal ? Height() : Width();
        FMaximized = false;
        if (horizontal)
            TPanel::SetBounds(Left(), Top(), Width(), FTabSizeMaximized);
        else
            TPanel::SetBounds(Left(), Top(), FTabSizeMaximized, Height());
        FrameChanged();
        DoRestore();
    } else {
        FMaximized = true;
        if (horizontal)
            TPanel::SetBounds(Left(), Top(), Width(), FRestoreVal);
        else
            TPanel::SetBounds(Left(), Top(), FRestoreVal, Height());
        TPanel::SetAutoSize(FRestoreAutosize);
        FrameChanged();
        DoMaximize();
    }
}

void TKitToolBar::DoMaximize()
{
    if (OnMaximize)
        OnMaximize(this);
}

void TKitToolBar::DoRestore()
{
    if (OnRestore)
        OnRestore(this);
}

void TKitToolBar::SetShowTab(bool Value) { SetFrameValue(FShowTab, Value); }

void TKitToolBar::SetTabSizeMaximized(int Value)
{
    if (Value == FTabSizeMaximized)
        return;
    FTabSizeMaximized = Value;
    if (!FMaximized) {
        if (Orientation() == oHorizontal)
            TPanel::SetBounds(Left(), Top(), Width(), Value);
        else
            TPanel::SetBounds(Left(), Top(), Value, Height());
    }
    FrameChanged();
}

TRect TKitToolBar::TabInWindow() const
{
    const int length = FMaximized ? FTabSizeMaximized : FTabSizeMinimized;
    if (Orientation() == oHorizontal)
        return {0, 0, length, Height()};
    return {0, 0, Width(), length};
}

TRect TKitToolBar::TabRect()
{
    const TPoint corner = ClientOrigin() - ClientOffset();
    const TRect r = TabInWindow();
    return {r.Left + corner.X, r.Top + corner.Y, r.Right + corner.X, r.Bottom + corner.Y};
}

void TKitToolBar::SetHighlighted(bool Value)
{
    if (FIsHighlighted == Value)
        return;
    FIsHighlighted = Value;
    InvalidateWindowArea(TRegion::FromRect(TabInWindow()));
}

void TKitToolBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        TPanel::Dispatch(Message);
        if (!FShowTab)
            return;
        TRect& r = Message.CalcSizeParams()->Rgrc[0];
        const bool horizontal = Orientation() == oHorizontal;
        if (FMaximized) {
            if (horizontal)
                r.Left = std::min(r.Right, r.Left + FTabSizeMaximized + FTabIndent);
            else
                r.Top = std::min(r.Bottom, r.Top + FTabSizeMaximized + FTabIndent);
        } else if (horizontal) {
            r.Left = r.Right;
        } else {
            r.Top = r.Bottom;
        }
        return;
    }
    case WM_NCHITTEST: {
        const TPoint p = Message.Pos();
        if (FShowTab && TabRect().Contains(p)) {
            Message.Result = ComponentState().Contains(csDesigning) ? HTCLIENT : HTCAPTION;
            SetHighlighted(true);
            return;
        }
        SetHighlighted(false);
        TPanel::Dispatch(Message);
        return;
    }
    case WM_NCLBUTTONDOWN:
        if (Message.HitTest() == HTCAPTION) {
            FGotMouseDown = true;
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCLBUTTONUP:
        if (Message.HitTest() == HTCAPTION && FGotMouseDown) {
            FGotMouseDown = false;
            if (!ComponentState().Contains(csDesigning))
                SetMaximized(!FMaximized);
            return;
        }
        FGotMouseDown = false;
        break;
    case CM_MOUSELEAVE:
        SetHighlighted(false);
        break;
    case CM_TEXTCHANGED:
        FrameChanged();
        return;
    case WM_NCPAINT:
        TPanel::Dispatch(Message);
        if (FShowTab && Message.DC())
            PaintTab(Message.DC(), FIsHighlighted);
        return;
    default: break;
    }
    TPanel::Dispatch(Message);
}

void TKitToolBar::PaintTab(TCanvas* Canvas, bool Highlighted)
{
    const bool horizontal = Orientation() == oHorizontal;
    const TRect tab = TabInWindow();
    // The tab with the room beside it (the whole strip while collapsed).
    TRect area = tab;
    if (!FMaximized)
        area = {0, 0, Width(), Height()};
    else if (horizontal)
        area.Right = std::min(Width(), tab.Right + FTabIndent);
    else
        area.Bottom = std::min(Height(), tab.Bottom + FTabIndent);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color());
    Canvas->FillRect(area);
    const TColor color = Highlighted ? FTabHighlightColor : FTabColor;
    if (FMaximized)
        PaintExpandedTab(Canvas, tab, color);
    else
        PaintCollapsedTab(Canvas, tab, color);
}

void TKitToolBar::PaintExpandedTab(TCanvas* Canvas, const TRect& Tab, TColor Color)
{
    const bool horizontal = Orientation() == oHorizontal;
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(Tab);
    // The edge away from the client area.
    Canvas->Brush()->SetColor(clBtnShadow);
    if (horizontal)
        Canvas->FillRect({Tab.Left, Tab.Top, Tab.Left + 1, Tab.Bottom});
    else
        Canvas->FillRect({Tab.Left, Tab.Top, Tab.Right, Tab.Top + 1});
    // The arrow points the way the bar folds; the rest is the grip.
    const int size = FTabSizeMaximized / 2;
    const TKitArrowDirection dir = horizontal ? adUp : adLeft;
    const TSize ext = KitArrowExtent(size, dir);
    TRect rest = Tab;
    if (horizontal) {
        DrawKitArrow(Canvas, Tab.Left + (Tab.Width() - ext.cx) / 2, Tab.Top + 2, size, dir, FArrowColor);
        rest.Top += 2 + ext.cy;
    } else {
        DrawKitArrow(Canvas, Tab.Left + 2, Tab.Top + (Tab.Height() - ext.cy) / 2, size, dir, FArrowColor);
        rest.Left += 2 + ext.cx;
    }
    rest = {rest.Left + 2, rest.Top + 2, rest.Right - 2, rest.Bottom - 2};
    if (!rest.IsEmpty())
        DrawKitTexture(Canvas, rest, Color, FTextureColor1, FTextureColor2);
}

void TKitToolBar::PaintCollapsedTab(TCanvas* Canvas, const TRect& Tab, TColor Color)
{
    const bool horizontal = Orientation() == oHorizontal;
    const int cut = horizontal ? Tab.Height() : Tab.Width();
    // The tab's outline: its far end cut at 45 degrees.
    std::vector<TPoint> outline;
    if (horizontal)
        outline = {{Tab.Left, Tab.Top},
                   {Tab.Right - 1, Tab.Top},
                   {Tab.Right - 1 - (cut - 1), Tab.Bottom - 1},
                   {Tab.Left, Tab.Bottom - 1}};
    else
        outline = {{Tab.Left, Tab.Top},
                   {Tab.Right - 1, Tab.Top},
                   {Tab.Right - 1, Tab.Bottom - 1 - (cut - 1)},
                   {Tab.Left, Tab.Bottom - 1}};
    Canvas->Brush()->SetColor(Color);
    Canvas->Pen()->SetColor(cl3DLight);
    Canvas->Pen()->SetWidth(1);
    Canvas->Polygon(outline);
    // Raised: light on top and left, shadow on the bottom and the cut.
    Canvas->Pen()->SetColor(clWhite);
    Canvas->MoveTo(outline[3].X + 1, outline[3].Y - 1);
    Canvas->LineTo(outline[0].X + 1, outline[0].Y + 1);
    Canvas->LineTo(outline[1].X - (horizontal ? 1 : 0), outline[1].Y + 1);
    Canvas->Pen()->SetColor(clBtnShadow);
    if (horizontal) {
        Canvas->MoveTo(outline[1].X - 1, outline[1].Y + 1);
        Canvas->LineTo(outline[2].X, outline[2].Y - 1);
        Canvas->LineTo(outline[3].X, outline[3].Y - 1);
    } else {
        Canvas->MoveTo(outline[1].X - 1, outline[1].Y + 1);
        Canvas->LineTo(outline[2].X - 1, outline[2].Y);
        Canvas->LineTo(outline[3].X, outline[3].Y - 1);
    }
    // The arrow points the way the bar unfolds; the grip runs up to the cut.
    const int size = cut / 2;
    const TKitArrowDirection dir = horizontal ? adDown : adRight;
    const TSize ext = KitArrowExtent(size, dir);
    TRect rest;
    if (horizontal) {
        DrawKitArrow(Canvas, Tab.Left + 2, Tab.Top + (Tab.Height() - ext.cy) / 2, size, dir, FArrowColor);
        rest = {Tab.Left + 2 + ext.cx + 2, Tab.Top + 2, Tab.Right - cut, Tab.Bottom - 2};
    } else {
        DrawKitArrow(Canvas, Tab.Left + (Tab.Width() - ext.cx) / 2, Tab.Top + 2, size, dir, FArrowColor);
        rest = {Tab.Left + 2, Tab.Top + 2 + ext.cy + 2, Tab.Right - 2, Tab.Bottom - cut};
    }
    if (!rest.IsEmpty())
        DrawKitTexture(Canvas, rest, Color, FTextureColor1, FTextureColor2);

    const String text = Caption();
    if (text.empty())
        return;
    Canvas->SetFont(Font());
    Canvas->Brush()->SetStyle(bsClear);
    if (horizontal) {
        const int h = Canvas->TextHeight(text);
        Canvas->TextOut(Tab.Right + 10, Tab.Top + (Tab.Height() - h) / 2, text);
    } else {
        // Written downwards: the cell lies left of its starting point.
        Canvas->Font()->SetOrientation(2700);
        const int h = Canvas->TextHeight(text);
        Canvas->TextOut(Tab.Left + (Tab.Width() + h) / 2, Tab.Bottom + 10, text);
        Canvas->Font()->SetOrientation(0);
    }
    Canvas->Brush()->SetStyle(bsSolid);
}
