#pragma once
// Qt side of the windowed controls: the widget a TWinControl gets when its
// window is created, the translation of Qt's input events into window
// messages, and the object that carries posted and sent messages and window
// timers through Qt's event loop. Platform code and the platform's tests only.
#include <QObject>
#include <QWidget>

#include "platform/Controls.h"

class QMouseEvent;
class QWheelEvent;
class QKeyEvent;
class QPainter;

class QtWidgetHost : public QWidget {
public:
    QtWidgetHost(TWinControl* AControl, QWidget* AParent);
    ~QtWidgetHost() override;

    // Cleared before the widget is deleted by its control.
    TWinControl* Control;
    // Set while the control moves or sizes the widget itself.
    bool SettingGeometry = false;
    // The drop shadow's band right and below the window (0: none): the
    // widget is that much larger than the control.
    int ShadowMargin = 0;
    // The pointer's shape over the window as last chosen; null before.
    const struct TCursorData* ShownCursor = nullptr;

protected:
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
};

// The widget of a control's window (for a windowless control: its parent's),
// null when there is none.
QWidget* WidgetOf(TControl* Control);

// Translation of Qt input, in the order the class library expects it.
void TranslateMouseEvent(QtWidgetHost* Host, QMouseEvent* Event);
void TranslateWheelEvent(QtWidgetHost* Host, QWheelEvent* Event);
void TranslateKeyEvent(QtWidgetHost* Host, QKeyEvent* Event);
void TranslateLeaveEvent(QtWidgetHost* Host);
// The window system may report the pointer leaving Widget when the shown
// hint window appears under it, though the hint takes no input: true while
// the pointer is over both.
bool HintCoversPointerIn(QWidget* Widget);
// The pointer's events that reach a hint window go on to the control under
// it; true when Host is a hint window (the event is dealt with).
bool HintWindowPassesMouse(QtWidgetHost* Host, QMouseEvent* Event);
// While popups are shown: true when the pointer's event is taken (swallowed,
// or handed on) here; else Window becomes the window it goes to.
bool PopupTakesMouse(QMouseEvent* Event, TWinControl*& Window, const TPoint& Screen);
// The drop shadow's band beside a Width x Height window.
void PaintDropShadow(QPainter& Painter, int Width, int Height);
Word QtKeyToVirtualKey(int Key);
// With the keypad's modifier: VK_NUMPAD0..9, VK_ADD, VK_SUBTRACT,
// VK_MULTIPLY, VK_DIVIDE, VK_DECIMAL for its keys.
Word QtKeyToVirtualKey(int Key, Qt::KeyboardModifiers Modifiers);
void ApplyQtCursor(QtWidgetHost* Host, TCursor Cursor);

// The message pump object: carries posted and sent messages and timers.
// Made on first use, on the GUI thread's side; null without a
// QCoreApplication.
QObject* MessagePump();

#include <QCursor>
struct TCursorData {
    QCursor Cursor;
};
