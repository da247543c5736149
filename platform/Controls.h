#pragma once
// Controls: the window classes of the class library.
//
// TControl holds what every control has: bounds, alignment, visibility,
// font, colour, cursor, hint and the mouse events. TWinControl adds a
// window: children, focus, keys, the non-client area (border and scroll
// bars) and a Qt widget that is created only when the control must be shown
// (or someone asks for its Handle). The geometry is kept here, not in the
// widget, so a control that is never shown works without one and costs no
// more than its fields. TCustomControl paints itself into its own back
// buffer; TGraphicControl is a windowless control painted by its parent.
//
// Messages: every control has WndProc -> Dispatch -> handler. A class that
// handles a message overrides Dispatch, switches on the number and passes the
// rest to its base class's Dispatch; a handler that wants the inherited
// behaviour calls the base class's Dispatch with the message. The chain ends
// in DefaultHandler, which does what the system would do.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Messages.h"
#include "platform/Regions.h"
#include "platform/Types.h"

class TFont;
class TCanvas;
class TBitmap;
class TControl;
class TWinControl;
class TCustomForm;
class QtWidgetHost;
struct TWndProcHookChain;
struct TNonClientState;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };


enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, 8>;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem, 32>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem, 16>;

// Cursors: the predefined ones are negative; the program registers its own
// under positive numbers in Screen->Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Window styles a control asks for in CreateParams. The platform draws and
// hit-tests the border and the scroll bars they name.
constexpr Cardinal WS_TABSTOP = 0x00010000;
constexpr Cardinal WS_HSCROLL = 0x00100000;
constexpr Cardinal WS_VSCROLL = 0x00200000;
constexpr Cardinal WS_BORDER = 0x00800000;
constexpr Cardinal WS_CLIPCHILDREN = 0x02000000;
constexpr Cardinal WS_CLIPSIBLINGS = 0x04000000;
constexpr Cardinal WS_VISIBLE = 0x10000000;
constexpr Cardinal WS_CHILD = 0x40000000;
constexpr Cardinal WS_EX_CLIENTEDGE = 0x00000200;
constexpr Cardinal WS_EX_STATICEDGE = 0x00020000;
constexpr Cardinal WS_POPUP = 0x80000000;
constexpr Cardinal CS_VREDRAW = 0x0001;
constexpr Cardinal CS_HREDRAW = 0x0002;
constexpr Cardinal CS_SAVEBITS = 0x0800;
// A top-level window with this class style casts a shadow: a band right and
// below it, outside its bounds, where the system can show translucent
// windows (none elsewhere).
constexpr Cardinal CS_DROPSHADOW = 0x00020000;

struct TCreateParams {
    Cardinal Style = 0;
    Cardinal ExStyle = 0;
    Cardinal WindowClassStyle = 0;
};

// System measures (fixed values, so layouts and tests do not depend on the
// desktop).
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
int GetSystemMetrics(int Index);
// Lines one wheel notch scrolls; the double-click time in milliseconds.
int WheelScrollLines();
UINT GetDoubleClickTime();

// Events.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, WideChar& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Dragging controls: the program's own drag, from one control to another.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// What a drag carries when the source hands more than itself (OnStartDrag).
// The code that makes one frees it, usually in OnEndDrag.
class TDragObject : public TObject {
    VEK_DECLARE_CLASS(TDragObject, TObject)
};

// X and Y in the Sender's client coordinates. Source is the dragged control,
// or the drag object its OnStartDrag gave.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
// Target: the control that took the drop, null when the drag was cancelled
// or dropped where nothing accepted it (X and Y are then 0).
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Window procedure hooks: each sees a control's messages before its WndProc,
// the newest first. A hook passes a message on by calling Next (before or
// after its own work) or answers it by setting Result and not calling Next.
using TWndMethod = std::function<void(TMessage& Message)>;
using TWndProcHook = std::function<void(TMessage& Message, const TWndMethod& Next)>;

// Shift state from MK_... flags, from key data, and of the keyboard now.
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState GetShiftState();

// ---------------------------------------------------------------------------

class TControl : public TComponent {
    VEK_DECLARE_CLASS(TControl, TComponent)

public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Messages. Every message to the control comes through WindowProc: the
    // hooks first (see AddWndProcHook), then WndProc.
    void WindowProc(TMessage& Message);
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    // Parent and geometry. Left and Top are in the parent's client
    // coordinates (screen coordinates for a form).
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }

    // The client area: (0, 0, ClientWidth, ClientHeight).
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(const TPoint& P) { return P + ClientOrigin(); }
    TPoint ScreenToClient(const TPoint& P) { return P - ClientOrigin(); }
    // Where the client origin lies within the control's own bounds.
    virtual TPoint ClientOffset() { return {}; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    // The font; while ParentFont is set it follows the parent's. Changing
    // the font clears ParentFont. Made on first use.
    TFont* Font();
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // While ParentColor is set the colour follows the parent's; setting the
    // colour clears it.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    const String& Caption() const { return FText; }
    void SetCaption(const String& Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value) { SetCaption(Value); }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Repainting. Without a window nothing is drawn; the calls are cheap.
    // Invalidate marks the client area for the next paint, InvalidateRect
    // the part R of it (client coordinates); Update paints what is marked.
    virtual void Invalidate();
    virtual void InvalidateRect(const TRect& R);
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }
    void Refresh() { Repaint(); }
    // Puts the control above its siblings: painted last, hit first.
    void BringToFront();

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // The picture of the control as it would appear on the screen (border,
    // scroll bars, client, children), sized to Width x Height. Needs no
    // window and creates none.
    virtual void PaintTo(TBitmap* Bitmap);

    // Events, fired through the Do... and virtual methods below only when
    // assigned.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TContextPopupEvent OnContextPopup;

    // Dragging. With dmAutomatic a left press begins a drag as
    // BeginDrag(false) does. The drag takes the mouse: once the pointer has
    // moved more than Threshold pixels from the press (default SM_CXDRAG; at
    // once with Immediate) every move asks the control beneath (OnDragOver)
    // and shows DragCursor where it accepts, the no-drop cursor elsewhere;
    // the release drops on an accepting control (OnDragDrop) and ends the
    // drag (OnEndDrag). Esc, CancelDrag and a lost capture cancel it. A
    // release before the drag began is an ordinary release (a click).
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag: with Drop as a release at the pointer would.
    void EndDrag(bool Drop);
    // True from BeginDrag until the drag ends (also while it waits for the
    // threshold).
    bool Dragging() const;
    // The drop of Source at X, Y: fires OnDragDrop.
    virtual void DragDrop(TObject* Source, int X, int Y);

    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    // Accept starts false; with OnDragOver assigned it starts true and the
    // handler decides.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);

    virtual void Click();
    virtual void DblClick();
    virtual void Resize();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // True when a handler took the turn.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // Paints the control into Canvas, whose logical origin is the control's
    // top-left corner (used for windowless controls and PaintTo).
    virtual void PaintControl(TCanvas* Canvas);
    void FontChanged();
    void RequestAlign();

    TControlStyle FControlStyle;
    TControlState FControlState;

private:
    friend class TWinControl;
    friend struct TControlDrag;
    friend int AddWndProcHook(TControl* Control, TWndProcHook Hook);
    friend void RemoveWndProcHook(TControl* Control, int Id);
    void MouseButtonMessage(TMessage& Message, TMouseButton Button, bool Down, bool Double);
    TDragMode FDragMode = dmManual;
    TCursor FDragCursor = crDrag;
    std::unique_ptr<TWndProcHookChain> FHooks;

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FShowHint = false;
    bool FParentFont = true;
    bool FFontFromParent = false;  // set while the parent's font is copied in
    bool FParentColor = false;
    void ApplyColor(TColor Value);
    TCursor FCursor = crDefault;
    String FHint;
    String FText;
    std::unique_ptr<TFont> FFont;

protected:
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
};

// ---------------------------------------------------------------------------

class TWinControl : public TControl {
    VEK_DECLARE_CLASS(TWinControl, TControl)

public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Children, in z-order (last is on top).
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(std::size_t(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The topmost visible child at P (client coordinates); windowed ones only
    // with AllowWinControls, disabled ones only with AllowDisabled.
    TControl* ControlAtPos(const TPoint& P, bool AllowDisabled = false, bool AllowWinControls = false);

    // The window. Handle creates it (and its parents') when needed.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded();
    // Destroys and forgets the window (children first); the control stays.
    void DestroyHandle();
    // Applies changed creation parameters (border, scroll bars): destroys the
    // window and makes a new one when there was one.
    void RecreateWnd();
    // Recomputes the non-client area (WM_NCCALCSIZE) and sends WM_SIZE when
    // the client area changed, as a frame change does.
    void FrameChanged();
    // True while the window exists and Qt shows it.
    bool Showing() const;

    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    TPoint ClientOffset() override;

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    // The place among the windowed siblings when Tab moves the focus: the
    // order they were put into the parent unless set. Setting it moves the
    // control there (within 0..count-1) and the others along; -1 without a
    // parent.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The control Tab (GoForward) or Shift+Tab moves to from Current among
    // this one's windowed children and theirs, depth first in tab order and
    // wrapping: one that can take the focus, a tab stop with CheckTabStop,
    // a direct child with CheckParent. Null when there is no other.
    TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop, bool CheckParent);
    // Focuses FindNextControl(Current, GoForward, CheckTabStop, false).
    void SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);

    // Focus.
    virtual bool CanFocus();
    bool Focused() const;
    virtual void SetFocus();

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();

    void Invalidate() override;
    void InvalidateRect(const TRect& R) override;
    void Update() override;
    void SetVisible(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void PaintTo(TBitmap* Bitmap) override;

    // The window-sized image the control paints into. Null until painted.
    TBitmap* BackBuffer() const { return FBackBuffer.get(); }
    // While painting: the canvas on the back buffer, its origin at the
    // client area's corner (for WM_NCPAINT at the window's corner) and its
    // clip the part being painted. Null otherwise.
    TCanvas* PaintCanvas() const { return FPaintCanvas; }

    // The update region: what the next paint repaints, in window
    // coordinates (0, 0 = the window's top-left corner, border included).
    // Nothing is kept while the control has no window or redrawing is off.
    const TRegion& UpdateRegion() const { return FUpdateRgn; }
    // The client area in window coordinates.
    TRect ClientInWindow();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Platform code only.
    QtWidgetHost* Host() const { return FHost; }
    TNonClientState& NonClient();
    // Paints what the update region holds into the back buffer (sized to
    // the window) and empties the region: WM_NCPAINT where it meets the
    // border and scroll bars, WM_ERASEBKGND and WM_PAINT clipped to its
    // client part.
    void PaintWindowBuffer();
    void HostResized(int AWidth, int AHeight);
    // A top-level window was moved by the toolkit, the window manager or
    // the user: Left and Top follow the frame's outer corner.
    void HostMoved();
    // Of a top-level window: where the toolkit reports its client area
    // against the frame's outer corner (0, 0 without a window manager).
    TPoint FrameOffset() const { return FFrameOffset; }
    // Adds Area (window coordinates) to the update region, or takes it out.
    void InvalidateWindowArea(const TRegion& Area);
    void InvalidateWindowRect(TRect R);
    void ValidateWindowArea(const TRegion& Area);
    // Tells the toolkit to show the back buffer's pixels in R (window
    // coordinates) again.
    void PresentArea(const TRect& R);
    // The same at once, without waiting for the event loop: each frame of an
    // animation reaches the screen while the animation runs.
    void PresentAreaNow(const TRect& R);
    // BeginPaint and EndPaint of this window: during a paint the paint
    // canvas, else the back buffer's canvas clipped to the client part of
    // the update region, which is then validated. Paint receives the
    // painted area's bounds in client coordinates.
    TCanvas* BeginWindowPaint(TRect& Paint, bool& Erase);
    void EndWindowPaint(const TRect& Paint);
    // ScrollWindowEx of this window (see there).
    int ScrollWindowArea(int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
                         TRect* UpdateRect, UINT Flags);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Places the aligned children inside Rect (client coordinates).
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // True when the control's size follows its children, so that every
    // child's move, size, showing, hiding, coming and going aligns it.
    virtual bool SizeFollowsChildren() const { return false; }
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(WideChar& Key);
    // Paints the windowless children over the client area.
    void PaintControls(TCanvas* Canvas);
    void PaintControl(TCanvas* Canvas) override;
    TCreateParams GetCreateParams();
    // The top-level Qt widget's title, for forms.
    void SetWindowTitle(const String& Title);

private:
    friend class TControl;
    friend class QtWidgetHost;
    friend class TCustomControl;
    void UpdateClientRect(bool SendSize);
    void UpdateHostGeometry();
    void GetTabOrderList(std::vector<TWinControl*>& List);
    void AlignChildren(TControl* AControl);
    void DefaultNCCalcSize(TMessage& Message);
    void DefaultNCHitTest(TMessage& Message);
    void DefaultNCPaint(TCanvas* Canvas);
    // Sizes the back buffer to the window; a new or resized one is invalid
    // as a whole.
    void FitBackBuffer();
    // The window into Canvas, its logical origin at the window's corner:
    // all of it, or only Area (window coordinates).
    void PaintWindow(TCanvas* Canvas, const TRegion* Area);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;  // the windowed children in tab order
    HWND FHandle = 0;
    QtWidgetHost* FHost = nullptr;
    std::unique_ptr<TNonClientState> FNonClient;
    std::unique_ptr<TBitmap> FBackBuffer;
    TCanvas* FPaintCanvas = nullptr;
    TRegion FUpdateRgn;
    int FOutsidePaintSaved = 0;  // SaveDC level of a BeginPaint outside painting
    TRect FClientInWindow;  // client rectangle in window coordinates
    bool FClientKnown = false;
    bool FTabStop = false;
    bool FCtl3D = true;
    TBorderStyle FBorderStyle = bsNone;
    int FAlignLevel = 0;
    bool FAligning = false;
    bool FRedraw = true;
    // Top-level windows: the frame offset last reported, and the corners
    // asked of the toolkit that it has not reported back yet.
    TPoint FFrameOffset;
    std::vector<TPoint> FMovesAsked;
};

// A windowed control that paints itself: Paint draws into Canvas, which
// draws on the control's back buffer with its origin at the client corner.
class TCustomControl : public TWinControl {
    VEK_DECLARE_CLASS(TCustomControl, TWinControl)

public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    void Dispatch(TMessage& Message) override;
    // The canvas to paint with: during painting the back buffer's (origin at
    // the client corner, clipped to the part of the client area being
    // painted; ClipRect gives its bounds), at other times the back buffer's
    // own.
    TCanvas* Canvas();

protected:
    virtual void Paint();
};

// A windowless control: its parent paints it and hands it the mouse.
class TGraphicControl : public TControl {
    VEK_DECLARE_CLASS(TGraphicControl, TControl)

public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // During painting: the parent's canvas, with its origin at this
    // control's corner and clipped to it. Null otherwise.
    TCanvas* Canvas() { return FCanvas; }

protected:
    virtual void Paint();
    void PaintControl(TCanvas* Canvas) override;

private:
    TCanvas* FCanvas = nullptr;
};

// The window a hint shows in: a top-level window that never becomes active
// and lets the pointer through, in the fixed information colours. The
// application makes one of its HintWindowClass (a class reference to this
// class or one derived from it) and moves it from hint to hint.
class THintWindow : public TCustomControl {
    VEK_DECLARE_CREATABLE_CLASS(THintWindow, TCustomControl)

public:
    explicit THintWindow(TComponent* AOwner = nullptr);
    // The window's size for the hint at most MaxWidth wide (the text wraps
    // at words), with its top-left corner at 0, 0.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Shows AHint in Rect (screen coordinates), moved inside the work area
    // of the screen holding it.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    // The same with the hint's data, which the base class does not use.
    virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData);
    // Hides the window; the object stays for the next hint.
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
};

// ---------------------------------------------------------------------------
// Window calls by handle.

// The control that owns a window; null for a window that is gone.
TWinControl* FindControl(HWND Handle);
// A window without a control, for components that receive messages
// (sockets, timers of non-visual objects). Its messages go to Proc.
HWND AllocateHWnd(std::function<void(TMessage&)> Proc);
void DeallocateHWnd(HWND Handle);
// True while the window exists (either kind). Safe from any thread.
bool IsWindow(HWND Handle);

// Synchronous on the GUI thread. From another thread it waits until the GUI
// thread has handled the message; 0 when the window does not exist. Without
// a Qt application the process's main thread counts as the GUI thread, and
// another thread's message is not delivered at all (0).
LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// SendMessage that tells whether the message was handled: false when the
// window does not exist or the message could not reach the GUI thread.
bool TrySendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT* Result = nullptr);
// Queued; false when the window does not exist. Safe from any thread. A
// message whose window is gone by the time it comes up is dropped.
bool PostMessage(HWND Handle, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// GUI thread only: handles messages other threads have sent and are waiting
// for. Returns how many were handled.
int ProcessSentMessages();
// GUI thread only: waits until Finished() is true or TimeoutMs passed
// (negative = no limit), handling sent messages meanwhile so that a thread
// that sends to the GUI thread cannot dead-lock against the wait.
bool WaitPumpingSentMessages(const std::function<bool()>& Finished, int TimeoutMs = -1);

// True when messages can be sent between threads and timers fire: an
// application (and so its event loop) exists. Command-line use runs without.
bool MessageLoopAvailable();

// Window timers: WM_TIMER with the id every Elapse milliseconds. Setting an
// id again restarts it. False when the window does not exist.
bool SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse);
bool KillTimer(HWND Handle, UINT_PTR IDEvent);

// Painting by handle. Rectangles are in client coordinates; the update
// region lies within the client area unless RDW_FRAME names the border and
// scroll bars too. Erase flags are accepted: every paint erases first.
bool InvalidateRect(HWND Handle, const TRect* R, bool Erase);
// Takes R (null: the whole client area) out of the update region.
bool ValidateRect(HWND Handle, const TRect* R);
// The update region's bounds within the client area; false when nothing
// there waits for a paint. R may be null.
bool GetUpdateRect(HWND Handle, TRect* R, bool Erase);
bool UpdateWindow(HWND Handle);

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;
// Invalidates (RDW_INVALIDATE) or validates (RDW_VALIDATE) R, else Rgn (client
// coordinates), else the whole client area; with RDW_FRAME the border and
// scroll bars the area meets as well (all of them without R and Rgn). With
// RDW_ALLCHILDREN the windowed children the area covers follow;
// RDW_UPDATENOW and RDW_ERASENOW paint at once.
bool RedrawWindow(HWND Handle, const TRect* R, const TRegion* Rgn, UINT Flags);

// BeginPaint gives the canvas to paint on, clipped to the area to paint,
// whose bounds in client coordinates come in rcPaint, and validates it.
// Inside WM_PAINT that is the paint in progress. EndPaint ends it.
struct TPaintStruct {
    TCanvas* hdc = nullptr;
    bool fErase = false;
    TRect rcPaint;
};
TCanvas* BeginPaint(HWND Handle, TPaintStruct& Paint);
bool EndPaint(HWND Handle, const TPaintStruct& Paint);

// Scrolling by moving pixels. ScrollWindowEx moves the back buffer's pixels
// of Scroll (client coordinates; null: the client area) by DX, DY, writing
// only inside Clip (null: the client area). The part of the update region
// inside Scroll moves along; what the move uncovered within Scroll and Clip
// is returned in UpdateRgn and UpdateRect (client coordinates; either may be
// null) and, with SW_INVALIDATE, invalidated. SW_SCROLLCHILDREN moves the
// windowed children that meet Scroll (all without Scroll) along. Returns the
// uncovered region's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION), or
// RGN_ERROR for a window that does not exist.
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;
int ScrollWindowEx(HWND Handle, int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
                   TRect* UpdateRect, UINT Flags);
// ScrollWindowEx with SW_INVALIDATE and SW_ERASE; children move only without
// a scroll rectangle.
bool ScrollWindow(HWND Handle, int DX, int DY, const TRect* Scroll, const TRect* Clip);
// The same on a canvas that draws on a bitmap (a window's canvas draws on its
// back buffer): the pixels of Scroll (null: the whole bitmap) move by DX, DY
// within Clip and the canvas's clip region. Everything is in the canvas's
// logical units, the uncovered part too. False when the canvas has no pixels.
bool ScrollDC(TCanvas* Canvas, int DX, int DY, const TRect* Scroll, const TRect* Clip, TRegion* UpdateRgn,
              TRect* UpdateRect);

// Mouse capture: while a control holds it, every mouse message goes to that
// control, in its client coordinates.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
HWND GetCapture();
HWND SetCapture(HWND Handle);
bool ReleaseCapture();

// The windowed control with the keyboard focus; null when none.
TWinControl* FindFocusedControl();
HWND GetFocus();

// Key state: negative (high bit set) while the key is down; the low bit
// toggles with every press.
SHORT GetKeyState(int VirtKey);

// Pointer position in screen coordinates (as last seen by the platform).
TPoint GetCursorPos();
// Moves the pointer to (X, Y) in screen coordinates; false, with nothing
// changed, where the system does not let programs move it (Wayland, or no
// graphical application).
bool SetCursorPos(int X, int Y);

// Scroll bars of a window (SB_HORZ, SB_VERT). A bar whose range exceeds its
// page is shown; with SIF_DISABLENOSCROLL a bar that cannot scroll stays
// shown. Showing or hiding a bar changes the client area (WM_NCCALCSIZE and
// WM_SIZE follow at once). Positions are full 32-bit values.
int SetScrollInfo(HWND Handle, int Bar, const TScrollInfo& Info, bool Redraw);
bool GetScrollInfo(HWND Handle, int Bar, TScrollInfo& Info);
int SetScrollPos(HWND Handle, int Bar, int Pos, bool Redraw);
int GetScrollPos(HWND Handle, int Bar);
bool ShowScrollBar(HWND Handle, int Bar, bool Show);
// Disables the arrows ESB_... names (ESB_DISABLE_BOTH: the whole bar) of
// SB_HORZ, SB_VERT or SB_BOTH; ESB_ENABLE_BOTH enables them again. A
// disabled arrow sends nothing and looks greyed. False when nothing changed.
bool EnableScrollBar(HWND Handle, int Bar, UINT Arrows);

// The form a control sits on; null when none.
TCustomForm* GetParentForm(TControl* Control);

// Cancels the running drag of controls, if any: the control it is over hears
// dsDragLeave, the source OnEndDrag with no target.
void CancelDrag();
// The control a drag at the screen point P is over: the innermost enabled
// control there, windowless ones included; null when none.
TControl* FindDragTarget(const TPoint& P);

// Puts Hook in front of Control's window procedure (and the hooks already
// there) and answers its id. RemoveWndProcHook takes it out, in any order
// and also from inside a hook (which then finishes the message it is on).
int AddWndProcHook(TControl* Control, TWndProcHook Hook);
void RemoveWndProcHook(TControl* Control, int Id);
