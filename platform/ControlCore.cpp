// TControl: geometry, alignment, visibility, font and colour, and the mouse
// messages every control understands.
#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/QtWidgetHost.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

int GetSystemMetrics(int Index)
{
    switch (Index) {
    case SM_CXSCREEN: return 1920;
    case SM_CYSCREEN: return 1080;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVSCROLL: return ScrollBarSize;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    default: return 0;
    }
}

int WheelScrollLines() { return 3; }
UINT GetDoubleClickTime() { return 500; }

TShiftState KeysToShiftState(WPARAM Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & KF_ALTDOWN_BIT) s.Include(ssAlt);
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

bool IsEnabledChain(const TControl* Control)
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (!c->Enabled())
            return false;
    return true;
}

TCustomForm* GetParentForm(TControl* Control)
{
    TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return dynamic_cast<TCustomForm*>(c);
}

// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

TControl::~TControl()
{
    if (FParent)
        FParent->RemoveControl(this);
    DragControlGone(this);
    ControlGone(this);
}

void TControl::WndProc(TMessage& Message)
{
    if (DragMessage(this, Message))
        return;
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        TControlWatch watch(this);
        Application->HintMouseMessage(this, Message);
        if (!watch)
            return;
    } else if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) {
        Application->CancelHint();
    }
    Dispatch(Message);
}

void TControl::DefaultHandler(TMessage&) {}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m(Msg, WParam, LParam);
    WindowProc(m);
    return m.Result;
}

void TControl::MouseButtonMessage(TMessage& Message, TMouseButton Button, bool Down, bool Double)
{
    TShiftState shift = KeysToShiftState(Message.Keys());
    const int x = Message.XPos();
    const int y = Message.YPos();
    if (Down) {
        if (Button == mbLeft && FControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(true);
        if (Button == mbLeft && FControlStyle.Contains(csClickEvents))
            FControlState.Include(csClicked);
        if (Double) {
            shift.Include(ssDouble);
            if (Button == mbLeft)
                DblClick();
        }
        MouseDown(Button, shift, x, y);
    } else {
        const bool clicked = Button == mbLeft && FControlState.Contains(csClicked);
        if (Button == mbLeft) {
            FControlState.Exclude(csClicked);
            if (MouseCapture())
                SetMouseCapture(false);
        }
        if (clicked && TRect(0, 0, FWidth, FHeight).Contains({x, y}))
            Click();
        MouseUp(Button, shift, x, y);
    }
}

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: MouseButtonMessage(Message, mbLeft, true, false); return;
    case WM_LBUTTONDBLCLK: MouseButtonMessage(Message, mbLeft, true, true); return;
    case WM_LBUTTONUP: MouseButtonMessage(Message, mbLeft, false, false); return;
    case WM_RBUTTONDOWN: MouseButtonMessage(Message, mbRight, true, false); return;
    case WM_RBUTTONDBLCLK: MouseButtonMessage(Message, mbRight, true, true); return;
    case WM_RBUTTONUP: MouseButtonMessage(Message, mbRight, false, false); return;
    case WM_MBUTTONDOWN: MouseButtonMessage(Message, mbMiddle, true, false); return;
    case WM_MBUTTONDBLCLK: MouseButtonMessage(Message, mbMiddle, true, true); return;
    case WM_MBUTTONUP: MouseButtonMessage(Message, mbMiddle, false, false); return;
    case WM_MOUSEMOVE: MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos()); return;
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        return;
    case CM_MOUSEWHEEL: {
        const TShiftState shift = KeysToShiftState(Message.WheelKeys());
        if (DoMouseWheel(shift, Message.WheelDelta(), Message.Pos()))
            Message.Result = 1;
        else if (FParent)
            Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    case WM_CONTEXTMENU: {
        bool handled = false;
        TPoint p = Message.Pos();
        if (p.X != -1 || p.Y != -1)
            p = ScreenToClient(p);
        DoContextPopup(p, handled);
        if (handled)
            Message.Result = 1;
        else if (FParent)
            Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    case WM_CANCELMODE:
        if (MouseCapture())
            SetMouseCapture(false);
        FControlState.Exclude(csClicked);
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent)
            ApplyColor(FParent->Color());
        return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFontFromParent = true;
            Font()->Assign(FParent->Font());
            FFontFromParent = false;
        }
        return;
    default:
        DefaultHandler(Message);
    }
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}
void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}
void TControl::Resize()
{
    if (OnResize) OnResize(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}
void TControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::PaintControl(TCanvas*) {}

// ---------------------------------------------------------------------------
// Geometry.

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot be its own parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    if (FParent && FVisible)
        FParent->InvalidateRect(BoundsRect());
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent && FVisible)
        FParent->InvalidateRect(BoundsRect());
    RequestAlign();
    if (sized)
        Resize();
}

TRect TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
void TControl::SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }

TPoint TControl::ClientOrigin()
{
    if (!FParent)
        return {FLeft, FTop};
    return FParent->ClientOrigin() + TPoint{FLeft, FTop};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    RequestAlign();
}

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || FParent->SizeFollowsChildren()))
        FParent->AlignChildren(this);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (FParent) {
        FParent->InvalidateRect(BoundsRect());
        RequestAlign();
    }
    if (!Value && GetCaptureControl() == this)
        SetCaptureControl(nullptr);
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

TFont* TControl::Font()
{
    if (!FFont) {
        FFont = std::make_unique<TFont>();
        if (FParentFont && FParent)
            FFont->Assign(FParent->Font());
        FFont->OnChange = [this](TObject*) { FontChanged(); };
    }
    return FFont.get();
}

void TControl::SetFont(TFont* Value) { Font()->Assign(Value); }

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value && FParent && FFont) {
        FFontFromParent = true;
        FFont->Assign(FParent->Font());
        FFontFromParent = false;
    }
}

void TControl::FontChanged()
{
    if (!FFontFromParent)
        FParentFont = false;
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i)
            w->Controls(i)->Perform(CM_PARENTFONTCHANGED);
    Perform(CM_FONTCHANGED);
    Invalidate();
}

void TControl::SetColor(TColor Value)
{
    FParentColor = false;
    ApplyColor(Value);
}

void TControl::ApplyColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Perform(CM_COLORCHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->ControlCount(); ++i)
            w->Controls(i)->Perform(CM_PARENTCOLORCHANGED);
    Invalidate();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value && FParent)
        ApplyColor(FParent->Color());
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetCaption(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Perform(CM_TEXTCHANGED);
}

void TControl::Invalidate()
{
    if (FParent && FVisible)
        FParent->InvalidateRect(BoundsRect());
}

void TControl::InvalidateRect(const TRect& R)
{
    if (FParent && FVisible) {
        TRect r = R;
        OffsetRect(r, FLeft, FTop);
        FParent->InvalidateRect(r);
    }
}

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value)
{
    if (Value)
        SetCaptureControl(this);
    else if (MouseCapture())
        SetCaptureControl(nullptr);
}

void TControl::PaintTo(TBitmap* Bitmap)
{
    Bitmap->SetSize(FWidth, FHeight);
    TCanvas* c = Bitmap->Canvas();
    c->Brush()->SetColor(FColor);
    c->FillRect({0, 0, FWidth, FHeight});
    PaintControl(c);
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& siblings = FParent->FControls;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end() || it + 1 == siblings.end())
        return;
    std::rotate(it, it + 1, siblings.end());
    if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated())
        if (QWidget* w = WidgetOf(this))
            w->raise();
    FParent->Invalidate();
}
