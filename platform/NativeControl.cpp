// Controls that show a toolkit widget: the widget's life with the window,
// the fields pushed into it, and its keys, buttons and focus turned into
// window messages for the control.
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"
#include "platform/GraphicsQt.h"
#include "platform/QtNativeControl.h"
#include "platform/QtWidgetHost.h"


namespace {

WPARAM ButtonKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods)
{
    WPARAM k = 0;
    if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (Mods & Qt::ShiftModifier) k |= MK_SHIFT;
    if (Mods & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

UINT ButtonMessage(QEvent::Type Type, Qt::MouseButton Button)
{
    UINT base = 0;
    switch (Button) {
    case Qt::LeftButton: base = WM_LBUTTONDOWN; break;
    case Qt::RightButton: base = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
    default: return 0;
    }
    // Down, up and double click follow each other for every button.
    switch (Type) {
    case QEvent::MouseButtonPress: return base;
    case QEvent::MouseButtonRelease: return base + 1;
    case QEvent::MouseButtonDblClick: return base + 2;
    default: return 0;
    }
}

// Set while a key the control's handler changed is handed on to the widget.
thread_local bool gForwarding = false;

// The key and character messages of a press or release; true when the
// control's handlers swallowed it.
bool KeyToMessages(TNativeControl* C, QObject* Watched, QKeyEvent* E)
{
    const Qt::KeyboardModifiers mods = E->modifiers();
    SetKeyDown(VK_SHIFT, mods & Qt::ShiftModifier);
    SetKeyDown(VK_CONTROL, mods & Qt::ControlModifier);
    SetKeyDown(VK_MENU, mods & Qt::AltModifier);
    const bool alt = mods & Qt::AltModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const Word vk = QtKeyToVirtualKey(E->key(), mods);
    LPARAM data = 1;
    if (alt)
        data |= KF_ALTDOWN_BIT;
    TControlWatch watch(C);
    if (E->type() == QEvent::KeyRelease) {
        if (E->isAutoRepeat() || !vk)
            return false;
        SetKeyDown(vk, false);
        TMessage m(alt && !ctrl ? WM_SYSKEYUP : WM_KEYUP, vk, data | (LPARAM(1) << 30) | (LPARAM(1) << 31));
        C->WindowProc(m);
        return !watch || m.CharCode() == 0;
    }
    if (E->isAutoRepeat())
        data |= LPARAM(1) << 30;
    if (vk) {
        SetKeyDown(vk, true);
        TMessage m(alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data);
        TakeDialogKeyTaken();
        C->WindowProc(m);
        if (TakeDialogKeyTaken() || !watch || m.CharCode() == 0)
            return true;
    }
    const std::u16string text = E->text().toStdU16String();
    if (text.empty())
        return false;
    std::u16string typed;
    for (char16_t ch : text) {
        TMessage m(alt && !ctrl ? WM_SYSCHAR : WM_CHAR, WPARAM(ch), data);
        C->WindowProc(m);
        if (!watch)
            return true;
        if (m.CharCode() != 0)
            typed.push_back(char16_t(m.CharCode()));
    }
    if (typed == text)
        return false;
    // A handler changed or dropped characters: the widget gets what is left.
    if (!typed.empty()) {
        QKeyEvent copy(E->type(), 0, mods, QString::fromStdU16String(typed), E->isAutoRepeat());
        gForwarding = true;
        QCoreApplication::sendEvent(Watched, &copy);
        gForwarding = false;
    }
    return true;
}

void MouseToMessage(TNativeControl* C, QObject* Watched, QMouseEvent* E)
{
    auto* w = qobject_cast<QWidget*>(Watched);
    if (!w || !C->Host())
        return;
    const QPoint inHost = w->mapTo(C->Host(), E->position().toPoint());
    const TPoint client = TPoint{inHost.x(), inHost.y()} - C->ClientOffset();
    const TPoint screen = C->ClientToScreen(client);
    SetPointerPos(screen);
    const WPARAM keys = ButtonKeys(E->buttons(), E->modifiers());
    const LPARAM pos = MakeLParam(Word(SmallInt(client.X)), Word(SmallInt(client.Y)));
    if (E->type() == QEvent::MouseMove) {
        C->Perform(WM_MOUSEMOVE, keys, pos);
        return;
    }
    if (UINT msg = ButtonMessage(E->type(), E->button()))
        C->Perform(msg, keys, pos);
}

}  // namespace

bool TNativeEventFilter::eventFilter(QObject* Watched, QEvent* Event)
{
    TNativeControl* c = Control;
    if (!c || gForwarding)
        return false;
    bool eaten = false;
    TControlWatch watch(c);
    TNativeAccess::Enter(c);
    switch (Event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        Guarded(c, [&] { eaten = KeyToMessages(c, Watched, static_cast<QKeyEvent*>(Event)); });
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        Guarded(c, [&] { MouseToMessage(c, Watched, static_cast<QMouseEvent*>(Event)); });
        break;
    case QEvent::FocusIn:
        Guarded(c, [&] {
            if (FindFocusedControl() != c && c->CanFocus())
                SetFocusedControl(c);
        });
        break;
    case QEvent::Enter:
        Guarded(c, [&] { SetHoverControl(c); });
        break;
    case QEvent::Leave:
        Guarded(c, [&] {
            if (HoverControl() == c)
                SetHoverControl(nullptr);
        });
        break;
    case QEvent::ContextMenu: {
        auto* e = static_cast<QContextMenuEvent*>(Event);
        Guarded(c, [&] {
            const QPoint g = e->globalPos();
            eaten = c->Perform(WM_CONTEXTMENU, 0, MakeLParam(Word(SmallInt(g.x())), Word(SmallInt(g.y())))) != 0;
        });
        break;
    }
    default:
        break;
    }
    if (!watch)
        return true;  // the control is gone: the widget must not go on with the event
    TNativeAccess::Leave(c);
    return eaten;
}

// ---------------------------------------------------------------------------

TNativeControl::TNativeControl(TComponent* AOwner) : TWinControl(AOwner)
{
    // The widget says when it was clicked; a click made up from the button
    // messages would come twice.
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csCaptureMouse);
}

TNativeControl::~TNativeControl()
{
    // The widget's signals call into this object: it goes before we do.
    DestroyHandle();
}

void TNativeControl::CreateWnd()
{
    TWinControl::CreateWnd();
    QWidget* host = Host();
    FNative = CreateNativeWidget(host);
    if (!FNative)
        return;
    if (FNative->parentWidget() != host)
        FNative->setParent(host);
    FFilter = new TNativeEventFilter(this, FNative);
    // Moves without a button held reach the control too: hints wait on them.
    FNative->installEventFilter(FFilter);
    FNative->setMouseTracking(true);
    for (QWidget* w : FNative->findChildren<QWidget*>()) {
        w->installEventFilter(FFilter);
        w->setMouseTracking(true);
    }
    host->setFocusProxy(FNative);
    // Child controls' windows are made after ours and lie above the widget.
    FNative->lower();
    UpdateNative();
    FNative->show();
}

void TNativeControl::DestroyWnd()
{
    if (QWidget* w = FNative) {
        FNative = nullptr;
        FFilter->Control = nullptr;
        FFilter = nullptr;
        QObject::disconnect(w, nullptr, nullptr, nullptr);
        for (QObject* o : w->findChildren<QObject*>())
            QObject::disconnect(o, nullptr, nullptr, nullptr);
        if (Host())
            Host()->setFocusProxy(nullptr);
        if (FInWidget > 0) {
            // A handler of the widget's own signal or event freed us: the
            // widget is still on the call stack and goes once it returns.
            w->hide();
            w->setParent(nullptr);
            w->deleteLater();
        } else {
            delete w;
        }
    }
    TWinControl::DestroyWnd();
}

TRect TNativeControl::NativeRect() { return {0, 0, Width(), Height()}; }

void TNativeControl::PlaceNative()
{
    if (!FNative)
        return;
    const TRect r = NativeRect();
    FNative->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TNativeControl::ApplyCommon()
{
    PlaceNative();
    FNative->setEnabled(Enabled());
    FNative->setFont(FontToQFont(*Font()));
}

void TNativeControl::UpdateNative()
{
    if (!FNative)
        return;
    WithSync([this] {
        ApplyCommon();
        SyncNativeWidget();
    });
}

void TNativeControl::WithSync(const std::function<void()>& Fn)
{
    ++FSyncLevel;
    try {
        Fn();
    } catch (...) {
        --FSyncLevel;
        throw;
    }
    --FSyncLevel;
}

void TNativeControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        PlaceNative();
        break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
        UpdateNative();
        break;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}
