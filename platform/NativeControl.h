#pragma once
// A windowed control whose window shows a toolkit widget (an edit, a check
// box, a combo box...). The control's fields stay the truth: the widget is
// made only when the window is, filled from the fields, and thrown away with
// the window; a control that is never shown has none and works the same.
//
// What the user does in the widget comes back through the subclass's
// handlers of the widget's user signals, which update the fields and fire
// the events. Changes made by code go the other way (fields, then the widget)
// inside a sync bracket, so that the widget's echo of them is ignored.
//
// Keys and mouse buttons the widget gets are also turned into window
// messages for the control first (OnKeyDown, OnKeyPress, OnMouseDown...);
// a key handler that clears the key keeps it from the widget.
#include <functional>

#include "platform/Controls.h"

class QWidget;
class TNativeEventFilter;

class TNativeControl : public TWinControl {
    VEK_DECLARE_CLASS(TNativeControl, TWinControl)

public:
    explicit TNativeControl(TComponent* AOwner);
    ~TNativeControl() override;

    void Dispatch(TMessage& Message) override;

    // The widget; null while the control has no window.
    QWidget* NativeWidget() const { return FNative; }

    // True while the control pushes its fields into the widget: signals the
    // widget sends meanwhile are echoes of our own change.
    bool Syncing() const { return FSyncLevel > 0; }

protected:
    // Makes the widget as a child of Parent (the control's window). Called
    // when the window is created.
    virtual QWidget* CreateNativeWidget(QWidget* Parent) = 0;
    // Copies every field into the widget. Called inside the sync bracket
    // after the widget was made; call UpdateNative() after a field changed.
    virtual void SyncNativeWidget() {}
    // Where the widget lies in the window (window coordinates); the whole
    // window by default.
    virtual TRect NativeRect();
    // Pushes the fields into the widget when there is one.
    void UpdateNative();
    // Runs Fn inside the sync bracket (for pushing a single field).
    void WithSync(const std::function<void()>& Fn);

    void CreateWnd() override;
    void DestroyWnd() override;

private:
    friend class TNativeEventFilter;
    friend struct TNativeAccess;
    void PlaceNative();
    void ApplyCommon();

    QWidget* FNative = nullptr;
    TNativeEventFilter* FFilter = nullptr;
    int FSyncLevel = 0;
    int FInWidget = 0;  // depth of calls coming from the widget
};
