#pragma once
// Helpers for tests of windows and input: a Qt application made only when
// none exists, and synthetic input delivered to a control's widget, so that
// it goes through the same translation as real input. Free of Qt, so the
// tests of every layer may use it.
#include <functional>
#include <vector>

#include "platform/Controls.h"
#include "platform/Forms.h"

// The modal hook set for a scope: answers ShowModal, popups and menus.
struct TModalHookGuard {
    explicit TModalHookGuard(TModalHook H) { SetModalHook(std::move(H)); }
    ~TModalHookGuard() { SetModalHook(nullptr); }
    TModalHookGuard(const TModalHookGuard&) = delete;
    TModalHookGuard& operator=(const TModalHookGuard&) = delete;
};

// Makes sure a QApplication exists (made only when there is none, never
// deleted by the tests) and the application object knows it.
void EnsureApplication();

// Pointer input at P in Control's client coordinates. The control's window
// (or its parent's, for a windowless control) is created when needed. Each
// call gets a timestamp a little after the one before; NextClick moves the
// clock on far enough that the next press cannot count as a double click.
void NextClick();
void MouseDown(TControl* Control, TPoint P, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseUp(TControl* Control, TPoint P, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseMove(TControl* Control, TPoint P, TShiftState Shift = {});
void Click(TControl* Control, TPoint P, TMouseButton Button = mbLeft);
// Press, release, press, the toolkit's double-click event, release: what a
// real double click brings.
void DoubleClick(TControl* Control, TPoint P);
void Wheel(TControl* Control, TPoint P, int Delta, TShiftState Shift = {});
// A horizontal wheel's turn, positive to the left.
void SidewaysWheel(TControl* Control, TPoint P, int Delta);
// A drag with the left button: a press on Source at From, moves in a few
// steps to To in Target's client coordinates, and the release there. The
// moves go to Source, which holds the mouse, as in a real drag.
void DragAndDrop(TControl* Source, TPoint From, TControl* Target, TPoint To);
// A key press (with the text it types) and its release, by virtual-key
// code, through Control's window (they reach the focused control; a control
// showing a toolkit widget, an edit say, gets them in its widget).
void KeyDown(TWinControl* Control, Word VirtKey, const String& Text = "", TShiftState Shift = {});
void KeyUp(TWinControl* Control, Word VirtKey, TShiftState Shift = {});
// Moves a form's window as the window manager would (Left and Top then
// follow), and handles what that brings.
void MoveWindowFromOutside(TWinControl* Window, TPoint Corner);
// Handles what is queued (posted and sent messages, timers that are due).
void ProcessEvents();
// Handles events until Done() or TimeoutMs passed; false on timeout.
bool ProcessEventsUntil(const std::function<bool()>& Done, int TimeoutMs);

// A custom control that records the input, focus, scroll, timer and size
// messages it gets (WM_MOUSEMOVE only with RecordMoves), can take a strip
// off the top of its client area in WM_NCCALCSIZE, and paints its client
// area in PaintColor (clNone: not at all).
class TRecordingControl : public TCustomControl {
public:
    explicit TRecordingControl(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    std::vector<UINT> Messages() const;
    static bool IsRecorded(UINT Msg);

    std::vector<TMessage> Log;
    bool RecordMoves = false;
    int Strip = 0;
    TColor PaintColor = clNone;
    // Called first; true stops the message there.
    std::function<bool(TMessage&)> OnMessage;

protected:
    void Paint() override;
};
