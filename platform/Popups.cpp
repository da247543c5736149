// Popup windows: the stack of shown popups and the input they take, their
// nested loop, showing a form without activating it, and the drop shadow of
// top-level windows.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"

// The form's private parts the popup machinery works with.
struct TPopupAccess {
    static bool OutsidePress(TCustomForm* F, TMouseButton B, const TPoint& P) { return F->PopupOutsidePress(B, P); }
    static void Dismissed(TCustomForm* F) { F->PopupDismissed(); }
    static QEventLoop* Loop(TCustomForm* F) { return static_cast<QEventLoop*>(F->FModalLoop); }
};

namespace {

// Oldest first.
std::vector<TCustomForm*> gPopups;
// Set while a press a popup let through is handed to the window beneath.
bool gDeliveringBeneath = false;
// Buttons whose press a popup swallowed: their release is swallowed too,
// also when the popup has gone by then.
Qt::MouseButtons gSwallowedPresses;

TWinControl* TopLevelOf(TWinControl* Window)
{
    TWinControl* w = Window;
    while (w && w->Parent())
        w = w->Parent();
    return w;
}

bool IsShownPopup(const TWinControl* Window)
{
    return std::find(gPopups.begin(), gPopups.end(), Window) != gPopups.end();
}

// The newest shown popup that holds the screen point.
TCustomForm* PopupAt(const TPoint& Screen)
{
    for (auto it = gPopups.rbegin(); it != gPopups.rend(); ++it)
        if ((*it)->Visible() && (*it)->BoundsRect().Contains(Screen))
            return *it;
    return nullptr;
}

// The innermost window of Top under the screen point (the one whose widget
// would have had the event).
TWinControl* WindowAt(TWinControl* Top, const TPoint& Screen)
{
    TWinControl* w = Top;
    for (;;) {
        auto* child = dynamic_cast<TWinControl*>(w->ControlAtPos(w->ScreenToClient(Screen), false, true));
        if (!child || !child->HandleAllocated())
            return w;
        w = child;
    }
}

TMouseButton ButtonOf(Qt::MouseButton B)
{
    return B == Qt::RightButton ? mbRight : B == Qt::MiddleButton ? mbMiddle : mbLeft;
}

// Hands the pointer's event to the widget under it, as if no popup had
// taken it.
void DeliverBeneath(QMouseEvent* Event, const TPoint& Screen)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    const QPoint global(Screen.X, Screen.Y);
    QWidget* w = QApplication::widgetAt(global);
    if (!w)
        return;
    QMouseEvent copy(Event->type(), QPointF(w->mapFromGlobal(global)), QPointF(global), Event->button(),
                     Event->buttons(), Event->modifiers());
    copy.setTimestamp(Event->timestamp());
    gDeliveringBeneath = true;
    QCoreApplication::sendEvent(w, &copy);
    gDeliveringBeneath = false;
}

}  // namespace

bool PopupTakesMouse(QMouseEvent* Event, TWinControl*& Window, const TPoint& Screen)
{
    if (Event->type() == QEvent::MouseButtonRelease && (gSwallowedPresses & Event->button())) {
        gSwallowedPresses &= ~Event->button();
        return true;
    }
    if (Event->type() == QEvent::MouseButtonPress)
        gSwallowedPresses &= ~Event->button();
    if (gPopups.empty() || gDeliveringBeneath)
        return false;
    if (TControl* c = GetCaptureControl()) {
        // A drag that began on a popup keeps the pointer, inside or out.
        TWinControl* w = dynamic_cast<TWinControl*>(c) ? static_cast<TWinControl*>(c) : c->Parent();
        if (IsShownPopup(TopLevelOf(w)))
            return false;
        SetCaptureControl(nullptr);
    }
    if (TCustomForm* over = PopupAt(Screen)) {
        if (TopLevelOf(Window) != over)
            Window = WindowAt(over, Screen);
        return false;
    }
    TCustomForm* newest = gPopups.back();
    switch (Event->type()) {
    case QEvent::MouseButtonPress: {
        // With the toolkit's grab the press came to a popup; else to the
        // window beneath, where a press let through simply goes on.
        const bool cameToPopup = IsShownPopup(TopLevelOf(Window));
        TControlWatch watch(Window);
        if (TPopupAccess::OutsidePress(newest, ButtonOf(Event->button()), Screen)) {
            gSwallowedPresses |= Event->button();
            return true;
        }
        if (!cameToPopup)
            return !watch;
        DeliverBeneath(Event, Screen);
        return true;
    }
    case QEvent::MouseButtonRelease:
        return true;  // nothing beneath hears the end of a press it never saw
    default:
        // The newest popup follows the pointer outside it.
        Window = newest;
        return false;
    }
}

bool PopupTakesWheel(TWinControl*& Window, const TPoint& Screen)
{
    if (gPopups.empty())
        return false;
    TCustomForm* over = PopupAt(Screen);
    if (!over)
        return true;
    if (TopLevelOf(Window) != over)
        Window = WindowAt(over, Screen);
    return false;
}

TWinControl* PopupKeyTarget()
{
    if (gPopups.empty())
        return nullptr;
    TCustomForm* top = gPopups.back();
    TWinControl* a = top->ActiveControl();
    if (a && a != top && top->ContainsControl(a) && a->CanFocus())
        return a;
    return top;
}

const std::vector<TCustomForm*>& ShownPopups() { return gPopups; }

void QuitPopupLoops()
{
    for (TCustomForm* f : gPopups)
        if (QEventLoop* loop = TPopupAccess::Loop(f))
            loop->quit();
}

void PopupDismissedBySystem(TCustomForm* Form)
{
    TControlWatch watch(Form);
    TPopupAccess::Dismissed(Form);
    if (watch && Form->IsPopup())
        Form->ClosePopup(mrCancel);
}

// ---------------------------------------------------------------------------
// The form's side.

void TCustomForm::ShowPopup()
{
    if (FPopup)
        return;
    Application->CancelHint();
    // A press that opened the popup holds the mouse: the popup takes it now.
    if (TControl* c = GetCaptureControl())
        if (!ContainsControl(c))
            SetCaptureControl(nullptr);
    HandleNeeded();
    FPopup = true;
    FNoActivate = true;
    gPopups.push_back(this);
    Host()->setAttribute(Qt::WA_NoMouseReplay);
    Host()->setAttribute(Qt::WA_ShowWithoutActivating);
    ApplyWindowFlags();
    try {
        SetVisible(true);
    } catch (...) {
        EndPopup();
        throw;
    }
}

void TCustomForm::ShowNoActivate()
{
    if (Visible())
        return;
    HandleNeeded();
    FNoActivate = true;
    Host()->setAttribute(Qt::WA_ShowWithoutActivating);
    SetVisible(true);
}

void TCustomForm::EndPopup()
{
    auto it = std::find(gPopups.begin(), gPopups.end(), this);
    if (it == gPopups.end())
        return;
    // Popups shown from this one go with it, newest first.
    std::vector<TCustomForm*> above(it + 1, gPopups.end());
    gPopups.erase(it, gPopups.end());
    FPopup = false;
    for (auto a = above.rbegin(); a != above.rend(); ++a) {
        TCustomForm* f = *a;
        f->FPopup = false;
        if (QEventLoop* loop = TPopupAccess::Loop(f))
            loop->quit();
        f->Hide();
    }
    if (FModalLoop)
        static_cast<QEventLoop*>(FModalLoop)->quit();
}

void TCustomForm::ClosePopup(TModalResult Result)
{
    if (!FPopup)
        return;
    FModalResult = Result;
    Hide();
}

bool TCustomForm::PopupOutsidePress(TMouseButton, const TPoint&)
{
    ClosePopup(mrCancel);
    return true;
}

TModalResult TCustomForm::RunPopup()
{
    TControlWatch watch(this);
    FModalResult = mrNone;
    ShowPopup();
    try {
        const bool hooked = CallModalHook(this);
        if (watch && FPopup && FModalResult == mrNone) {
            if (hooked || !QCoreApplication::instance() || Application->Terminated()) {
                // Nobody can answer: what is queued runs, then the popup is
                // cancelled rather than waited on.
                Application->ProcessMessages();
            } else {
                QEventLoop loop;
                FModalLoop = &loop;
                loop.exec();
                if (watch)
                    FModalLoop = nullptr;
            }
        }
    } catch (...) {
        if (watch) {
            FModalLoop = nullptr;
            ClosePopup(mrCancel);
        }
        throw;
    }
    if (!watch)
        return mrCancel;
    FModalLoop = nullptr;
    if (FModalResult == mrNone)
        FModalResult = mrCancel;
    // Ended from outside (a quit): the popup goes all the same.
    if (FPopup)
        Hide();
    return FModalResult;
}

// ---------------------------------------------------------------------------
// Drop shadows.

namespace {

// Whether a compositing manager runs on the X display: without one a
// translucent window shows black where it should be clear.
bool XCompositorRunning()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t* c = x11->connection();
    int screen = 0;
    if (const char* d = std::getenv("DISPLAY"))
        if (const char* dot = std::strrchr(d, '.'); dot && std::strchr(d, ':') < dot)
            screen = std::atoi(dot + 1);
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.c_str()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t a = atom->atom;
    std::free(atom);
    if (a == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, a), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

}  // namespace

bool TranslucentWindows()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    if (platform == "xcb")
        return XCompositorRunning();
    // Wayland always composes; the offscreen platform keeps the alpha.
    return platform.startsWith("wayland") || platform == "offscreen";
}

void PaintDropShadow(QPainter& Painter, int Width, int Height)
{
    // Rings from the window's edge outward, each fainter than the one
    // before; ring k is an L of one pixel at distance k, and the band
    // starts DropShadowSize pixels along, as if the window's own shadow fell
    // offset below and right of it.
    static constexpr int Alpha[DropShadowSize] = {96, 64, 36, 16};
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    Painter.fillRect(Width, 0, DropShadowSize, Height + DropShadowSize, Qt::transparent);
    Painter.fillRect(0, Height, Width, DropShadowSize, Qt::transparent);
    if (Width <= DropShadowSize || Height <= DropShadowSize)
        return;
    for (int k = 0; k < DropShadowSize; ++k) {
        const QColor c(0, 0, 0, Alpha[k]);
        Painter.fillRect(Width + k, DropShadowSize + k, 1, Height - DropShadowSize + 1, c);
        Painter.fillRect(DropShadowSize + k, Height + k, Width - DropShadowSize, 1, c);
    }
}
