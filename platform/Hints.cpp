// Hints: the hint window, and the application's part: the pause over a
// control, the CM_HINTSHOWPAUSE and CM_HINTSHOW protocol, OnShowHint, the
// cursor rectangle, and hiding on a press, a key or CancelHint.
#include <algorithm>
#include <climits>

#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/QtWidgetHost.h"

namespace {

// The pointer's hot spot to the hint's top: the hint shows below the cursor.
constexpr int CursorHeightMargin = 20;
// Room round the text inside the border.
constexpr int HintPadX = 3;
constexpr int HintPadY = 1;

TCanvas* HintMeasureCanvas()
{
    static TBitmap* bitmap = [] {
        auto* b = new TBitmap();
        b->SetSize(1, 1);
        return b;
    }();
    return bitmap->Canvas();
}

// The control whose hint shows over Control: it, or the nearest parent with
// ShowHint.
TControl* HintControlOf(TControl* Control)
{
    TControl* c = Control;
    while (c && !c->ShowHint())
        c = c->Parent();
    return c;
}

// The control's hint, or its nearest parent's when it has none.
String HintOf(TControl* Control)
{
    for (TControl* c = Control; c; c = c->Parent())
        if (!c->Hint().empty())
            return c->Hint();
    return {};
}

bool IsButtonDown(UINT Msg)
{
    switch (Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

}  // namespace

String GetShortHint(const String& Hint)
{
    const auto bar = Hint.find('|');
    return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint)
{
    const auto bar = Hint.find('|');
    return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------
// The hint window.

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    FVisible = false;
    FColor = clInfoBk;
    Font()->Assign(Screen->MenuFont());
    Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void THintWindow::CreateWnd()
{
    TCustomControl::CreateWnd();
    // The toolkit's tool-tip window: above the others, never active, never
    // in the way of the pointer.
    Host()->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus);
    Host()->setAttribute(Qt::WA_ShowWithoutActivating);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*)
{
    TCanvas* c = HintMeasureCanvas();
    c->Font()->Assign(Font());
    const int border = 2 * (HintPadX + 1);
    TRect r{0, 0, std::max(1, MaxWidth - border), 0};
    c->DrawText(AHint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    return {0, 0, r.Right + border, r.Bottom + 2 * (HintPadY + 1)};
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    SetCaption(AHint);
    const TRect area = Screen->MonitorWorkAreaRect(Rect.TopLeft());
    const int w = Rect.Width(), h = Rect.Height();
    int x = std::max(area.Left, std::min(Rect.Left, area.Right - w));
    int y = Rect.Top;
    if (y + h > area.Bottom)
        y = area.Bottom - h;
    y = std::max(area.Top, y);
    SetBounds(x, y, w, h);
    Invalidate();
    if (!Visible())
        SetVisible(true);
    Update();
}

void THintWindow::ActivateHintData(TRect Rect, const String& AHint, void*) { ActivateHint(Rect, AHint); }

void THintWindow::ReleaseHandle()
{
    if (Visible())
        SetVisible(false);
}

void THintWindow::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TRect r = ClientRect();
    r.Left += HintPadX;
    r.Top += HintPadY;
    r.Right -= HintPadX;
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    c->DrawText(Caption(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// The hint window over the window system. It is made to take no input, but
// a window system may still hand it the pointer: the window under it then
// hears of a leave, and the hint the moves. Both are put right here, so
// that a hint shown under the pointer stays until the pointer really goes.

bool HintCoversPointerIn(QWidget* Widget)
{
    THintWindow* hint = Application->ShownHintWindow();
    if (!Widget || !hint || !hint->HandleAllocated())
        return false;
    const QPoint pointer = QCursor::pos();
    return hint->Host()->frameGeometry().contains(pointer) && Widget->rect().contains(Widget->mapFromGlobal(pointer));
}

bool HintWindowPassesMouse(QtWidgetHost* Host, QMouseEvent* Event)
{
    if (!dynamic_cast<THintWindow*>(Host->Control))
        return false;
    TControl* under = HoverControl();
    auto* target = dynamic_cast<QtWidgetHost*>(under ? WidgetOf(under) : nullptr);
    const QPointF global = Event->globalPosition();
    if (!target || target == Host || !target->isVisible() ||
        !target->rect().contains(target->mapFromGlobal(global).toPoint())) {
        // Off the control the hint belongs to: the hint goes, and the
        // window now under the pointer hears of it from the system.
        Application->CancelHint();
        SetHoverControl(nullptr);
        return true;
    }
    QMouseEvent passed(Event->type(), target->mapFromGlobal(global), global, Event->button(), Event->buttons(),
        Event->modifiers(), Event->pointingDevice());
    passed.setTimestamp(Event->timestamp());
    TranslateMouseEvent(target, &passed);
    return true;
}

// ---------------------------------------------------------------------------
// The application's part.

HWND HintTimerWindow()
{
    TApplication* a = Application;
    if (!a->FHintTimerWindow)
        a->FHintTimerWindow = AllocateHWnd([a](TMessage& M) {
            if (M.Msg == WM_TIMER)
                a->HintTimer(M.TimerID());
        });
    return a->FHintTimerWindow;
}

void TApplication::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (!Value)
        CancelHint();
}

void TApplication::SetHintWindowClass(TClass Value)
{
    if (Value && Value->InheritsFrom(THintWindow::StaticClassInfo()) && Value->Create)
        FHintWindowClass = Value;
}

THintWindow* TApplication::ShownHintWindow() const
{
    return FHintWindow && FHintWindow->Visible() ? FHintWindow : nullptr;
}

void TApplication::StartHintTimer(UINT_PTR Which, int Interval)
{
    for (UINT_PTR t : {HintShowTimer, HintHideTimer, HintReshowTimer})
        KillTimer(HintTimerWindow(), t);
    if (Which)
        SetTimer(HintTimerWindow(), Which, UINT(std::max(1, Interval)));
}

void TApplication::HideHint()
{
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint()
{
    if (!FHintControl && !ShownHintWindow())
        return;
    HideHint();
    FHintControl.reset();
    FHintActive = false;
    StartHintTimer(0, 0);
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message)
{
    if (IsButtonDown(Message.Msg)) {
        CancelHint();
        return;
    }
    if (Message.Msg != WM_MOUSEMOVE)
        return;
    TControl* hinted = FShowHint ? HintControlOf(Control) : nullptr;
    if (!hinted) {
        CancelHint();
        return;
    }
    const TPoint screen = Control->ClientToScreen({Message.XPos(), Message.YPos()});
    const TControl* current = FHintControl ? FHintControl->Get() : nullptr;
    if (hinted == current && FHintCursorRect.Contains(hinted->ScreenToClient(screen)))
        return;
    const bool wasActive = FHintActive;
    int pause = wasActive ? FHintShortPause : FHintPause;
    TControlWatch watch(hinted);
    hinted->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    if (!watch)
        return;
    HideHint();
    FHintActive = wasActive;
    FHintControl = std::make_unique<TControlWatch>(hinted);
    // Until the hint shows, the whole control: moving inside it does not
    // start the pause again.
    FHintCursorRect = hinted->ClientRect();
    if (pause <= 0)
        ActivateHint(screen);
    else
        StartHintTimer(HintShowTimer, pause);
}

void TApplication::HintTimer(UINT_PTR Which)
{
    switch (Which) {
    case HintShowTimer:
    case HintReshowTimer:
        Guarded(this, [this] { ActivateHint(GetCursorPos()); });
        break;
    case HintHideTimer:
        StartHintTimer(0, 0);
        HideHint();
        FHintActive = false;
        break;
    default:
        break;
    }
}

void TApplication::ActivateHint(const TPoint& CursorPos)
{
    StartHintTimer(0, 0);
    TControl* control = FHintControl ? FHintControl->Get() : nullptr;
    // The pointer must still be over the control the pause began on.
    if (!FShowHint || !control || HintControlOf(HoverControl()) != control) {
        CancelHint();
        return;
    }
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = FHintWindowClass ? FHintWindowClass : THintWindow::StaticClassInfo();
    info.HintPos = {CursorPos.X, CursorPos.Y + CursorHeightMargin};
    info.HintMaxWidth = Screen->MonitorRect(CursorPos).Width();
    info.HintColor = FHintColor;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.ReshowTimeout = 0;
    info.HideTimeout = FHintHidePause;
    info.HintStr = GetShortHint(HintOf(control));
    TControlWatch watch(control);
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (!watch) {
        CancelHint();
        return;
    }
    FHintCursorRect = info.CursorRect;
    FHintActive = canShow;
    if (!canShow || info.HintStr.empty()) {
        HideHint();
        return;
    }
    TClass cls = info.HintWindowClass;
    if (!cls || !cls->InheritsFrom(THintWindow::StaticClassInfo()) || !cls->Create)
        cls = THintWindow::StaticClassInfo();
    if (FHintWindow && FHintWindow->ClassType() != cls) {
        delete FHintWindow;
        FHintWindow = nullptr;
    }
    if (!FHintWindow) {
        FHintWindow = static_cast<THintWindow*>(cls->CreateInstance());
        InsertComponent(FHintWindow);
        FHintWindow->FreeNotification(this);
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(std::max(1, info.HintMaxWidth), info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout > 0)
        StartHintTimer(HintReshowTimer, info.ReshowTimeout);
    else if (info.HideTimeout > 0)
        StartHintTimer(HintHideTimer, info.HideTimeout);
}
