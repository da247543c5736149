#pragma once
// Qt side of the controls that show a toolkit widget. Platform code and the
// platform's tests only.
#include <type_traits>
#include <utility>

#include <QObject>
#include <QString>
#include <QWidget>

#include "platform/ControlsPrivate.h"
#include "platform/NativeControl.h"

inline QString ToQString(const String& S) { return QString::fromUtf8(S.data(), qsizetype(S.size())); }
inline String FromQString(const QString& S) { return S.toStdString(); }

// Watches the widget (and the widgets inside it) for the keys, buttons and
// focus that the control must hear of as window messages.
class TNativeEventFilter : public QObject {
public:
    TNativeEventFilter(TNativeControl* AControl, QObject* AParent) : QObject(AParent), Control(AControl) {}
    // Cleared when the control lets go of its widget.
    TNativeControl* Control;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

struct TNativeAccess {
    // Marks a call that comes from the widget, so that the widget is not
    // deleted under its own feet when a handler frees the control.
    static void Enter(TNativeControl* C) { ++C->FInWidget; }
    static void Leave(TNativeControl* C) { --C->FInWidget; }
};

// A handler may leave out the signal's arguments.
template <class Fn, class... A>
void CallUserHandler(const Fn& F, A&&... Args)
{
    if constexpr (std::is_invocable_v<const Fn&, A...>)
        F(std::forward<A>(Args)...);
    else
        F();
}

// Connects a user signal of the widget to Fn. Fn is skipped while the
// control is pushing its own fields into the widget (the signal is then an
// echo), and runs guarded: an exception goes to the application, and a
// handler may free the control.
template <class Sender, class Signal, class Fn>
void ConnectUser(TNativeControl* Control, Sender* Widget, Signal Sig, Fn F)
{
    QObject::connect(Widget, Sig, Widget, [Control, F](auto&&... Args) {
        if (Control->Syncing())
            return;
        TControlWatch watch(Control);
        TNativeAccess::Enter(Control);
        Guarded(Control, [&] { CallUserHandler(F, Args...); });
        if (watch)
            TNativeAccess::Leave(Control);
    });
}

// The control's widget as the kind it made; null without a window.
template <class W>
W* NativeAs(const TNativeControl* Control)
{
    return static_cast<W*>(Control->NativeWidget());
}
