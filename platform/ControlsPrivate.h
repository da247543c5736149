#pragma once
// Platform-private state shared by the sources of the window classes: the
// non-client layout, the handle registry, focus, capture and hover, and the
// key state. Not for the layers above.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"

struct TScrollBarState {
    int Min = 0;
    int Max = 0;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Visible = false;
    bool Tracking = false;
    UINT DisabledArrows = ESB_ENABLE_BOTH;  // EnableScrollBar's
};

enum TScrollBarPart { sbpNone, sbpLineUp, sbpPageUp, sbpThumb, sbpPageDown, sbpLineDown };

// Border and scroll bars of a window, in window coordinates (0, 0 = the
// window's top-left corner). Laid out by the default WM_NCCALCSIZE.
struct TNonClientState {
    TScrollBarState Bars[2];  // SB_HORZ, SB_VERT
    int BorderWidth = 0;
    TRect HBar;  // empty when hidden
    TRect VBar;
    // A press on a bar: the bar, the pointer's offset into the thumb (-1
    // for an arrow or the track), the part pressed and where the pointer is
    // now (window coordinates), and whether repeating has begun.
    int TrackBar = -1;
    int TrackGrab = 0;
    TScrollBarPart TrackPart = sbpNone;
    TPoint TrackPointer;
    bool Repeating = false;
};

// A held arrow or track repeats its request after a pause, then quickly,
// driven by a system timer (WM_SYSTIMER) of the window.
constexpr UINT_PTR ScrollRepeatTimer = 1;
constexpr UINT ScrollRepeatDelay = 400;
constexpr UINT ScrollRepeatInterval = 50;

constexpr int ScrollBarSize = 17;
constexpr int MinThumbSize = 8;


struct TScrollBarLayout {
    TRect Bar;
    TRect LoArrow;
    TRect HiArrow;
    TRect Thumb;  // empty when there is nothing to scroll
    int TrackStart = 0;  // along the bar's axis, window coordinates
    int TrackLength = 0;
    int ThumbLength = 0;
    bool Vertical = false;
};

TScrollBarLayout GetScrollBarLayout(TWinControl* Control, int Bar);
TScrollBarPart ScrollBarPartAt(const TScrollBarLayout& L, const TPoint& WindowPoint);
// The position the thumb stands for when it starts at ThumbStart.
int ScrollPosFromThumb(TWinControl* Control, int Bar, const TScrollBarLayout& L, int ThumbStart);
void DrawScrollBars(TWinControl* Control, TCanvas* Canvas);
// WM_NCLBUTTONDOWN on a bar: sends the SB_ request, or starts thumb tracking.
void ScrollBarMouseDown(TWinControl* Control, int HitTest, const TPoint& Screen);
// True when the move or release belonged to a press on a bar.
bool ScrollBarMouseMove(TWinControl* Control, const TPoint& Screen);
bool ScrollBarMouseUp(TWinControl* Control, const TPoint& Screen);
// The repeat timer's tick: the held arrow or track's request again while the
// pointer stays on it.
void ScrollBarRepeat(TWinControl* Control);

// WM_NCLBUTTONDOWN on a sizing code (HTLEFT .. HTBOTTOMRIGHT): the window's
// top-level window follows the pointer on the code's edges until the
// button is released, wherever that happens.
void SizeTrackStart(TWinControl* Control, int HitTest, const TPoint& Screen);
// While a window is being sized: true when the pointer's move or release
// was taken for it.
bool SizeTrackMouse(bool Release, const TPoint& Screen);
// The bounds a sizing code gives Start when the pointer moved by Delta;
// never smaller than the smallest window.
TRect SizedBounds(const TRect& Start, int HitTest, const TPoint& Delta);

// The hooks in front of a control's window procedure, oldest first. An entry
// taken out while a message runs through it is marked, so the message
// passes it by.
struct TWndProcHookEntry {
    int Id = 0;
    TWndProcHook Hook;
    bool Removed = false;
};
struct TWndProcHookChain {
    std::vector<std::shared_ptr<TWndProcHookEntry>> Hooks;
    int NextId = 1;
};

// The drag of controls takes the messages that belong to it (the source's
// mouse while it drags, Esc); true when it took Message.
bool DragMessage(TControl* Control, TMessage& Message);
// Forgets a control that goes; a drag it was the source of ends quietly.
void DragControlGone(TControl* Control);

// Handle registry.
HWND NewHandle(TWinControl* Control);
void ReleaseHandle(HWND Handle);
// Timers of a window (SetTimer) go with it.
void KillTimersOf(HWND Handle);
// The platform's own timers of a window: WM_SYSTIMER instead of WM_TIMER,
// ids apart from the program's.
bool SetSystemTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse);
bool KillSystemTimer(HWND Handle, UINT_PTR IDEvent);
// The interval a timer runs at; 0 when it does not run.
UINT TimerInterval(HWND Handle, UINT_PTR IDEvent, bool System);
// The window whose back buffer Bitmap is; null when it is none's.
TWinControl* WindowOfBackBuffer(const TBitmap* Bitmap);

// Forgets every reference the platform keeps to a control that goes.
void ControlGone(TControl* Control);

// False where the system does not tell programs where their windows are
// (Wayland): Left and Top then keep what the program set.
bool WindowPositionsReported();

// Activation of forms, by the platform (showing, modal loops) and by the
// window manager: the active form before goes inactive first, then Form
// becomes active, each told once (WM_ACTIVATE). Null: none of ours is.
void ActivateForm(TCustomForm* Form);
TCustomForm* ActiveFormOfApplication();

// Set when the dialog keys took a key press (Tab moved the focus, Enter or
// Escape pressed a button): its character is not typed. Taking it clears it.
void NoteDialogKeyTaken();
bool TakeDialogKeyTaken();
// Moves the keyboard focus, sending the focus and enter/exit messages. A
// move by Tab or Shift+Tab is told to the toolkit as such, which then shows
// where the focus went (a button's focus frame).
enum class TFocusCause { Other, Tab, BackTab };
void SetFocusedControl(TWinControl* Control, TFocusCause Cause = TFocusCause::Other);
// True when the control and all its parents are enabled.
bool IsEnabledChain(const TControl* Control);
// The screen position of a window's top-left corner.
TPoint WindowOrigin(TWinControl* Control);

// Input state kept by the translation of Qt's events.
void SetKeyDown(int VirtKey, bool Down);
void SetPointerPos(const TPoint& Screen);
TControl* HoverControl();
void SetHoverControl(TControl* Control);

// The modal hook's call on a form that starts a nested loop; false when no
// hook is set.
bool CallModalHook(TCustomForm* Form);

// Popups shown now, oldest first (see TCustomForm::ShowPopup).
const std::vector<TCustomForm*>& ShownPopups();
// Where keys go while popups are shown; null when none is.
TWinControl* PopupKeyTarget();
// A wheel turn while popups are shown: true when it is dropped (outside
// every popup); else Window becomes the popup under the pointer.
bool PopupTakesWheel(TWinControl*& Window, const TPoint& Screen);
// Ends the nested loops of the shown popups (Application->Terminate).
void QuitPopupLoops();
// The toolkit or the system closed the popup: it is told, then hidden.
void PopupDismissedBySystem(TCustomForm* Form);

// The application's hint timers run on this window (tests fire them with
// WM_TIMER): the pause before a hint, its hiding, its re-showing.
HWND HintTimerWindow();
constexpr UINT_PTR HintShowTimer = 1;
constexpr UINT_PTR HintHideTimer = 2;
constexpr UINT_PTR HintReshowTimer = 3;

// Whether the system shows translucent windows (a compositing manager
// runs): only then do windows with CS_DROPSHADOW get their band.
bool TranslucentWindows();
constexpr int DropShadowSize = 4;

// Routes an exception caught at an entry from the event loop to
// Application->HandleException. Call only inside a catch block.
void HandleCurrentException(TObject* Sender);
// Runs Fn; an exception goes to HandleCurrentException.
void Guarded(TObject* Sender, const std::function<void()>& Fn);
// Perform, guarded: for every entry from Qt's event loop.
LRESULT GuardedPerform(TControl* Control, UINT Msg, WPARAM WParam, LPARAM LParam);

// A pointer that becomes null when its control goes (a handler may free
// the control a message went to).
class TControlWatch {
public:
    explicit TControlWatch(TControl* Control);
    ~TControlWatch();
    TControlWatch(const TControlWatch&) = delete;
    TControlWatch& operator=(const TControlWatch&) = delete;
    TControl* Get() const { return FControl; }
    explicit operator bool() const { return FControl != nullptr; }

private:
    friend void ControlGone(TControl* Control);
    TControl* FControl;
};

// Synthetic input for tests: builds the Qt event and sends it to the
// window's widget, so it takes the same translation as real input.
// Kind: 0 press, 1 release, 2 move, 3 Qt's double-click event. Local in
// window coordinates, Global on the screen.
enum TSyntheticMouse { smPress, smRelease, smMove, smDoubleClickEvent };
void SendSyntheticMouse(TWinControl* Window, TSyntheticMouse Kind, TPoint Local, TPoint Global, TMouseButton Button,
                        TShiftState Shift, std::uint64_t Timestamp);
// Sideways: a horizontal wheel's turn, positive to the left.
void SendSyntheticWheel(TWinControl* Window, TPoint Local, TPoint Global, int Delta, TShiftState Shift,
                        bool Sideways = false);
// Keys for a control that shows a toolkit widget go to that widget.
void SendSyntheticKey(TWinControl* Window, bool Press, Word VirtKey, const String& Text, TShiftState Shift);
// A top-level window's frame put at Corner by the toolkit, as a window
// manager or the user would move it.
void SendSyntheticWindowMove(TWinControl* Window, TPoint Corner);
