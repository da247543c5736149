// Qt input to window messages, in the order the class library delivers
// them, and the state behind it: capture, focus, hover and key state.
#include <algorithm>
#include <array>
#include <vector>
#include <cstdlib>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/GraphicsQt.h"
#include "platform/NativeControl.h"
#include "platform/QtWidgetHost.h"

namespace {

TControl* gCapture = nullptr;
TWinControl* gFocused = nullptr;
TControl* gHover = nullptr;
TPoint gPointer;
std::array<SHORT, 256> gKeys{};

// The last button press, for telling a double click.
struct TLastPress {
    TControl* Target = nullptr;
    Qt::MouseButton Button = Qt::NoButton;
    quint64 Time = 0;
    TPoint Screen;
    bool NonClient = false;  // on the window's frame (a header strip, a scroll bar)
} gLastPress;

// Whether a press of Button at Screen on Target, now (T), completes a double
// click with the press before; remembers this press otherwise.
bool IsDoubleClick(TControl* Target, Qt::MouseButton Button, quint64 T, const TPoint& Screen, bool NonClient)
{
    const bool dbl = gLastPress.Target == Target && gLastPress.Button == Button && gLastPress.NonClient == NonClient &&
                     T - gLastPress.Time <= GetDoubleClickTime() &&
                     std::abs(Screen.X - gLastPress.Screen.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                     std::abs(Screen.Y - gLastPress.Screen.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    if (dbl)
        gLastPress = {};
    else
        gLastPress = {Target, Button, T, Screen, NonClient};
    return dbl;
}

std::vector<TControlWatch*> gWatches;

}  // namespace

// ---------------------------------------------------------------------------
// State.

TControlWatch::TControlWatch(TControl* Control) : FControl(Control) { gWatches.push_back(this); }

TControlWatch::~TControlWatch() { gWatches.erase(std::find(gWatches.begin(), gWatches.end(), this)); }

void ControlGone(TControl* Control)
{
    for (TControlWatch* w : gWatches)
        if (w->FControl == Control)
            w->FControl = nullptr;
    if (gCapture == Control)
        gCapture = nullptr;
    if (gFocused == Control)
        gFocused = nullptr;
    if (gHover == Control)
        gHover = nullptr;
    if (gLastPress.Target == Control)
        gLastPress = {};
}

TControl* GetCaptureControl() { return gCapture; }

void SetCaptureControl(TControl* Control)
{
    if (gCapture == Control)
        return;
    TControl* old = gCapture;
    gCapture = Control;
    if (old)
        old->Perform(WM_CAPTURECHANGED, 0, 0);
}

HWND GetCapture()
{
    TControl* c = gCapture;
    while (c && !dynamic_cast<TWinControl*>(c))
        c = c->Parent();
    auto* w = static_cast<TWinControl*>(c);
    return w && w->HandleAllocated() ? w->Handle() : 0;
}

HWND SetCapture(HWND Handle)
{
    const HWND old = GetCapture();
    SetCaptureControl(FindControl(Handle));
    return old;
}

bool ReleaseCapture()
{
    SetCaptureControl(nullptr);
    return true;
}

TWinControl* FindFocusedControl() { return gFocused; }

HWND GetFocus() { return gFocused && gFocused->HandleAllocated() ? gFocused->Handle() : 0; }

void SetFocusedControl(TWinControl* Control, TFocusCause Cause)
{
    if (gFocused == Control)
        return;
    TWinControl* old = gFocused;
    gFocused = Control;
    if (TCustomForm* f = Control ? GetParentForm(Control) : nullptr)
        f->FActiveControl = Control;
    const HWND oldH = old && old->HandleAllocated() ? old->Handle() : 0;
    const HWND newH = Control && Control->HandleAllocated() ? Control->Handle() : 0;
    if (old)
        old->Perform(CM_EXIT);
    if (Control && gFocused == Control)
        Control->Perform(CM_ENTER);
    if (old && gFocused == Control)
        old->Perform(WM_KILLFOCUS, newH);
    if (Control && gFocused == Control) {
        Control->Perform(WM_SETFOCUS, oldH);
        if (Control->Host())
            Control->Host()->setFocus(Cause == TFocusCause::Tab       ? Qt::TabFocusReason
                                      : Cause == TFocusCause::BackTab ? Qt::BacktabFocusReason
                                                                      : Qt::OtherFocusReason);
    }
}

void SetKeyDown(int VirtKey, bool Down)
{
    if (VirtKey <= 0 || VirtKey > 255)
        return;
    SHORT& s = gKeys[std::size_t(VirtKey)];
    if (Down) {
        if (!(s & SHORT(0x8000)))
            s = SHORT(s ^ 1);
        s = SHORT(s | SHORT(0x8000));
    } else {
        s = SHORT(s & 1);
    }
}

SHORT GetKeyState(int VirtKey)
{
    if (VirtKey <= 0 || VirtKey > 255)
        return 0;
    return gKeys[std::size_t(VirtKey)];
}

void SetPointerPos(const TPoint& Screen) { gPointer = Screen; }
TPoint GetCursorPos() { return gPointer; }

bool SetCursorPos(int X, int Y)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !WindowPositionsReported())
        return false;
    QCursor::setPos(X, Y);
    SetPointerPos({X, Y});
    return true;
}

TControl* HoverControl() { return gHover; }

void SetHoverControl(TControl* Control)
{
    if (gHover == Control)
        return;
    // The pointer left the windows: a hint has nothing under it any more.
    if (!Control)
        Application->CancelHint();
    TControl* old = gHover;
    gHover = Control;
    if (old)
        old->Perform(CM_MOUSELEAVE);
    if (Control && gHover == Control)
        Control->Perform(CM_MOUSEENTER);
}

// ---------------------------------------------------------------------------
// Mouse.

namespace {

WPARAM MouseKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods)
{
    WPARAM k = 0;
    if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (Mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (Mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

void SyncModifiers(Qt::KeyboardModifiers Mods)
{
    SetKeyDown(VK_SHIFT, Mods & Qt::ShiftModifier);
    SetKeyDown(VK_CONTROL, Mods & Qt::ControlModifier);
    SetKeyDown(VK_MENU, Mods & Qt::AltModifier);
}

// Offsets of the three messages of a button: down, up, double click.
UINT ButtonBase(Qt::MouseButton B)
{
    switch (B) {
    case Qt::LeftButton: return WM_LBUTTONDOWN;
    case Qt::RightButton: return WM_RBUTTONDOWN;
    case Qt::MiddleButton: return WM_MBUTTONDOWN;
    default: return 0;
    }
}

int ButtonKey(Qt::MouseButton B)
{
    return B == Qt::LeftButton ? VK_LBUTTON : B == Qt::RightButton ? VK_RBUTTON : VK_MBUTTON;
}

}  // namespace

void TranslateMouseEvent(QtWidgetHost* Host, QMouseEvent* Event)
{
    TWinControl* window = Host->Control;
    if (!window || Event->type() == QEvent::MouseButtonDblClick)
        return;  // double clicks are told apart below, as the system does
    if (HintWindowPassesMouse(Host, Event))
        return;
    const QPoint lp = Event->position().toPoint();
    const TPoint screen = WindowOrigin(window) + TPoint{lp.x(), lp.y()};
    SetPointerPos(screen);
    SyncModifiers(Event->modifiers());
    const bool press = Event->type() == QEvent::MouseButtonPress;
    const bool release = Event->type() == QEvent::MouseButtonRelease;
    if (press || release)
        SetKeyDown(ButtonKey(Event->button()), press);
    const WPARAM keys = MouseKeys(Event->buttons(), Event->modifiers());
    const UINT base = ButtonBase(Event->button());
    if ((press || release) && base == 0)
        return;
    if (PopupTakesMouse(Event, window, screen))
        return;
    // A window being sized by its edge takes the pointer until the release.
    if (!press && SizeTrackMouse(release, screen))
        return;

    TControlWatch watch(window);
    // Thumb tracking of a scroll bar owns the mouse until the release.
    if (window->NonClient().TrackBar >= 0) {
        if (release)
            ScrollBarMouseUp(window, screen);
        else if (!press)
            ScrollBarMouseMove(window, screen);
        return;
    }

    TControl* target = GetCaptureControl();
    int hit = HTCLIENT;
    if (!target) {
        hit = int(window->Perform(WM_NCHITTEST, 0, PointToLParam(screen)));
        if (!watch)
            return;
        const UINT cause = press ? base : release ? base + 1 : WM_MOUSEMOVE;
        window->Perform(WM_SETCURSOR, window->Handle(), MakeLParam(hit, int(cause)));
        if (!watch)
            return;
        target = window;
        if (hit == HTCLIENT)
            if (TControl* child = window->ControlAtPos(window->ScreenToClient(screen)))
                target = child;
    }
    if (hit == HTCLIENT)
        SetHoverControl(target);
    else
        SetHoverControl(window);
    if (!watch)
        return;

    if (hit != HTCLIENT) {
        // The frame gets its double clicks whatever the window's style says.
        const bool dbl = press && IsDoubleClick(window, Event->button(), Event->timestamp(), screen, true);
        const UINT nc = press ? base - WM_LBUTTONDOWN + (dbl ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN)
                        : release ? base - WM_LBUTTONDOWN + WM_NCLBUTTONUP
                                  : WM_NCMOUSEMOVE;
        window->Perform(nc, WPARAM(hit), PointToLParam(screen));
        return;
    }
    const LPARAM pos = PointToLParam(target->ScreenToClient(screen));
    TControlWatch targetWatch(target);
    if (press) {
        const bool dbl = target->ControlStyle().Contains(csDoubleClicks)
                             ? IsDoubleClick(target, Event->button(), Event->timestamp(), screen, false)
                             : (gLastPress = {target, Event->button(), Event->timestamp(), screen, false}, false);
        target->Perform(dbl ? base + 2 : base, keys, pos);
    } else if (release) {
        target->Perform(base + 1, keys, pos);
        if (Event->button() == Qt::RightButton && targetWatch)
            target->Perform(WM_CONTEXTMENU, window->Handle(), PointToLParam(screen));
    } else {
        target->Perform(WM_MOUSEMOVE, keys, pos);
    }
}

void TranslateWheelEvent(QtWidgetHost* Host, QWheelEvent* Event)
{
    TWinControl* window = Host->Control;
    if (!window)
        return;
    const int delta = Event->angleDelta().y();
    // A turn to the left counts as one up; Shift says it is sideways.
    const int sideways = Event->angleDelta().x();
    if (delta == 0 && sideways == 0)
        return;
    const QPoint lp = Event->position().toPoint();
    const TPoint screen = WindowOrigin(window) + TPoint{lp.x(), lp.y()};
    SetPointerPos(screen);
    SyncModifiers(Event->modifiers());
    Application->CancelHint();
    if (PopupTakesWheel(window, screen))
        return;
    TControl* target = window;
    if (TControl* child = window->ControlAtPos(window->ScreenToClient(screen)))
        target = child;
    const WPARAM keys = MouseKeys(Event->buttons(), Event->modifiers());
    TControlWatch watch(target);
    if (delta != 0)
        target->Perform(CM_MOUSEWHEEL, MakeWParam(int(keys), std::clamp(delta, -32768, 32767)), PointToLParam(screen));
    if (sideways != 0 && watch)
        target->Perform(CM_MOUSEWHEEL, MakeWParam(int(keys | MK_SHIFT), std::clamp(sideways, -32768, 32767)),
                        PointToLParam(screen));
}

void TranslateLeaveEvent(QtWidgetHost* Host)
{
    TControl* h = HoverControl();
    if (!h || !Host->Control || HintCoversPointerIn(Host))
        return;
    if (h == Host->Control || (h->Parent() == Host->Control && !dynamic_cast<TWinControl*>(h)))
        SetHoverControl(nullptr);
}

// ---------------------------------------------------------------------------
// Keys.

Word QtKeyToVirtualKey(int Key, Qt::KeyboardModifiers Modifiers)
{
    // Keys of the numeric keypad have codes of their own; with Num Lock off
    // the keypad gives the navigation keys, which keep theirs, and its
    // Enter is Enter.
    if (Modifiers & Qt::KeypadModifier) {
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
            return Word(VK_NUMPAD0 + (Key - Qt::Key_0));
        switch (Key) {
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Slash: return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        default: break;
        }
    }
    return QtKeyToVirtualKey(Key);
}

Word QtKeyToVirtualKey(int Key)
{
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return Word('A' + (Key - Qt::Key_A));
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return Word('0' + (Key - Qt::Key_0));
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
        return Word(VK_F1 + (Key - Qt::Key_F1));
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Minus: return VK_OEM_MINUS;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Period: return VK_OEM_PERIOD;
    case Qt::Key_Slash: return VK_OEM_2;
    case Qt::Key_Semicolon: return VK_OEM_1;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    default: return 0;
    }
}

void TranslateKeyEvent(QtWidgetHost* Host, QKeyEvent* Event)
{
    TWinControl* target = PopupKeyTarget();
    if (!target)
        target = FindFocusedControl();
    if (!target)
        target = Host->Control;
    if (!target)
        return;
    SyncModifiers(Event->modifiers());
    const Word vk = QtKeyToVirtualKey(Event->key(), Event->modifiers());
    const bool alt = Event->modifiers() & Qt::AltModifier;
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    LPARAM data = 1;
    if (alt)
        data |= KF_ALTDOWN_BIT;
    TControlWatch watch(target);
    if (Event->type() == QEvent::KeyPress) {
        if (Event->isAutoRepeat())
            data |= LPARAM(1) << 30;
        if (vk) {
            SetKeyDown(vk, true);
            TakeDialogKeyTaken();
            target->Perform(alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data);
            // A key the dialog keys took (Tab, Enter for a button) types
            // nothing.
            if (TakeDialogKeyTaken())
                return;
        }
        const std::u16string text = Event->text().toStdU16String();
        for (char16_t ch : text) {
            if (!watch)
                return;
            target->Perform(alt && !ctrl ? WM_SYSCHAR : WM_CHAR, WPARAM(ch), data);
        }
    } else if (Event->type() == QEvent::KeyRelease) {
        if (Event->isAutoRepeat())
            return;
        data |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
        if (vk) {
            SetKeyDown(vk, false);
            target->Perform(alt && !ctrl ? WM_SYSKEYUP : WM_KEYUP, vk, data);
        }
    }
}

// ---------------------------------------------------------------------------
// The widget.

QtWidgetHost::QtWidgetHost(TWinControl* AControl, QWidget* AParent) : QWidget(AParent), Control(AControl)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

QtWidgetHost::~QtWidgetHost() = default;

bool QtWidgetHost::event(QEvent* Event)
{
    if (!Control)
        return QWidget::event(Event);
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        Guarded(Control, [&] { TranslateMouseEvent(this, static_cast<QMouseEvent*>(Event)); });
        return true;
    case QEvent::Wheel:
        Guarded(Control, [&] { TranslateWheelEvent(this, static_cast<QWheelEvent*>(Event)); });
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        Guarded(Control, [&] { TranslateKeyEvent(this, static_cast<QKeyEvent*>(Event)); });
        return true;
    case QEvent::Leave:
        Guarded(Control, [&] { TranslateLeaveEvent(this); });
        return true;
    case QEvent::Move:
        if (!parentWidget())
            Guarded(Control, [&] { Control->HostMoved(); });
        return QWidget::event(Event);
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        // The window manager's choice of the active window.
        if (auto* f = dynamic_cast<TCustomForm*>(Control); f && !parentWidget() && !f->IsPopup()) {
            const bool active = Event->type() == QEvent::WindowActivate;
            Guarded(f, [f, active] {
                if (active)
                    ActivateForm(f);
                else if (ActiveFormOfApplication() == f)
                    ActivateForm(nullptr);
            });
        }
        return QWidget::event(Event);
    case QEvent::FocusIn:
        Guarded(Control, [&] {
            if (FindFocusedControl() != Control && Control->CanFocus())
                SetFocusedControl(Control);
        });
        return true;
    case QEvent::Hide:
        // A popup hidden by the toolkit, not by its form, was dismissed.
        if (auto* f = dynamic_cast<TCustomForm*>(Control); f && f->IsPopup() && f->Visible())
            Guarded(f, [f] { PopupDismissedBySystem(f); });
        return QWidget::event(Event);
    default:
        return QWidget::event(Event);
    }
}

void QtWidgetHost::paintEvent(QPaintEvent* Event)
{
    if (!Control)
        return;
    // Only what was invalidated is painted; the toolkit's region (an
    // exposure, say) is copied from the back buffer as it stands.
    Guarded(Control, [&] { Control->PaintWindowBuffer(); });
    if (Control && Control->BackBuffer()) {
        QPainter p(this);
        const QImage& image = Control->BackBuffer()->Image();
        const QRegion window = Event->region() & QRect(0, 0, Control->Width(), Control->Height());
        for (const QRect& r : window)
            p.drawImage(r, image, r);
        if (ShadowMargin > 0)
            PaintDropShadow(p, Control->Width(), Control->Height());
    }
}

void QtWidgetHost::resizeEvent(QResizeEvent*)
{
    if (Control && !SettingGeometry && !parentWidget())
        Guarded(Control, [&] { Control->HostResized(width() - ShadowMargin, height() - ShadowMargin); });
}

void QtWidgetHost::closeEvent(QCloseEvent* Event)
{
    Event->ignore();
    auto* f = dynamic_cast<TCustomForm*>(Control);
    if (f && f->IsPopup())
        Guarded(f, [f] { PopupDismissedBySystem(f); });
    else if (f)
        Guarded(f, [f] { f->Close(); });
}

QWidget* WidgetOf(TControl* Control)
{
    TControl* c = Control;
    while (c && !dynamic_cast<TWinControl*>(c))
        c = c->Parent();
    return c ? static_cast<TWinControl*>(c)->Host() : nullptr;
}

void ApplyQtCursor(QtWidgetHost* Host, TCursor Cursor)
{
    if (Screen)
        if (HCURSOR h = Screen->Cursors(Cursor)) {
            Host->setCursor(h->Cursor);
            Host->ShownCursor = h;
        }
}

void SetWindowCursor(TWinControl* Window, HCURSOR Cursor)
{
    if (!Window || !Cursor || !Window->HandleAllocated())
        return;
    if (QtWidgetHost* host = Window->Host()) {
        host->setCursor(Cursor->Cursor);
        host->ShownCursor = Cursor;
    }
}

HCURSOR WindowCursor(TWinControl* Window)
{
    QtWidgetHost* host = Window && Window->HandleAllocated() ? Window->Host() : nullptr;
    return host ? host->ShownCursor : nullptr;
}

// ---------------------------------------------------------------------------
// Synthetic input.

namespace {

Qt::KeyboardModifiers ModsOf(TShiftState S)
{
    Qt::KeyboardModifiers m;
    if (S.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (S.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (S.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

Qt::MouseButtons gSyntheticHeld;

}  // namespace

void SendSyntheticMouse(TWinControl* Window, TSyntheticMouse Kind, TPoint Local, TPoint Global, TMouseButton Button,
                        TShiftState Shift, std::uint64_t Timestamp)
{
    Window->HandleNeeded();
    const Qt::MouseButton b = Button == mbLeft ? Qt::LeftButton : Button == mbRight ? Qt::RightButton : Qt::MiddleButton;
    QEvent::Type type = QEvent::MouseMove;
    switch (Kind) {
    case smPress: type = QEvent::MouseButtonPress; gSyntheticHeld |= b; break;
    case smDoubleClickEvent: type = QEvent::MouseButtonDblClick; gSyntheticHeld |= b; break;
    case smRelease: type = QEvent::MouseButtonRelease; gSyntheticHeld &= ~b; break;
    case smMove: break;
    }
    QMouseEvent e(type, QPointF(Local.X, Local.Y), QPointF(Global.X, Global.Y), Kind == smMove ? Qt::NoButton : b,
                  gSyntheticHeld, ModsOf(Shift));
    e.setTimestamp(Timestamp);
    QCoreApplication::sendEvent(Window->Host(), &e);
}

void SendSyntheticWheel(TWinControl* Window, TPoint Local, TPoint Global, int Delta, TShiftState Shift, bool Sideways)
{
    Window->HandleNeeded();
    const QPoint angle = Sideways ? QPoint(Delta, 0) : QPoint(0, Delta);
    QWheelEvent e(QPointF(Local.X, Local.Y), QPointF(Global.X, Global.Y), QPoint(), angle, gSyntheticHeld,
                  ModsOf(Shift), Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Window->Host(), &e);
}

void SendSyntheticKey(TWinControl* Window, bool Press, Word VirtKey, const String& Text, TShiftState Shift)
{
    Window->HandleNeeded();
    int key = 0;
    Qt::KeyboardModifiers mods = ModsOf(Shift);
    // Keypad codes come from the keypad's keys.
    static constexpr int keypad[] = {Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6,
                                     Qt::Key_7, Qt::Key_8, Qt::Key_9, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Asterisk,
                                     Qt::Key_Slash, Qt::Key_Period};
    for (int k : keypad)
        if (!key && QtKeyToVirtualKey(k, Qt::KeypadModifier) == VirtKey && QtKeyToVirtualKey(k) != VirtKey) {
            key = k;
            mods |= Qt::KeypadModifier;
        }
    static constexpr int ranges[][2] = {{Qt::Key_Space, Qt::Key_AsciiTilde}, {Qt::Key_Escape, Qt::Key_Direction_R}};
    for (const auto& r : ranges)
        for (int k = r[0]; k <= r[1] && !key; ++k)
            if (QtKeyToVirtualKey(k) == VirtKey)
                key = k;
    QKeyEvent e(Press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods, QString::fromStdString(Text));
    // A control that shows a toolkit widget gets its keys in the widget, as
    // a real key would reach it.
    QObject* target = Window->Host();
    if (auto* native = dynamic_cast<TNativeControl*>(Window); native && native->NativeWidget())
        target = native->NativeWidget();
    QCoreApplication::sendEvent(target, &e);
}

void SendSyntheticWindowMove(TWinControl* Window, TPoint Corner)
{
    Window->HandleNeeded();
    Window->Host()->move(Corner.X, Corner.Y);
}
