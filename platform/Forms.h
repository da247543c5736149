#pragma once
// Forms, the application object and the screen.
#include <map>
#include <vector>
#include <memory>

#include "platform/Controls.h"
#include "platform/Exceptions.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TDropFilesEvent = std::function<void(TObject* Sender, const std::vector<String>& Files)>;

class TMainMenu;
class TControlWatch;

// What CM_HINTSHOW hands a control (its LParam) before a hint is shown; the
// control may change any of it, and refuses the hint by a non-zero result.
struct THintInfo {
    TControl* HintControl = nullptr;
    TClass HintWindowClass = nullptr;  // THintWindow or a class derived from it
    TPoint HintPos;                    // the window's top-left corner, screen coordinates
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;  // HintControl's client coordinates: leaving it hides the hint and asks again
    TPoint CursorPos;  // HintControl's client coordinates
    int ReshowTimeout = 0;  // > 0: asked again after so many milliseconds
    int HideTimeout = 0;    // > 0 (and no ReshowTimeout): hidden after so many milliseconds
    String HintStr;
    void* HintData = nullptr;
};
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// "Short|Long": the part before the bar, and the part after it (the whole
// text when there is no bar).
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;
constexpr TModalResult mrClose = 11;

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// A button that Enter or Escape can press on its form.
class TDialogKeyTarget {
public:
    virtual ~TDialogKeyTarget() = default;
    virtual bool IsDefaultButton() const = 0;
    virtual bool IsCancelButton() const = 0;
    // Presses the button as a click would.
    virtual void PressByKey() = 0;
};

enum class TFocusCause;

// A top-level window. Hidden until shown; closing asks OnCloseQuery, then
// OnClose decides what happens (hide by default; the main form's closing
// ends the application).
class TCustomForm : public TWinControl {
    VEK_DECLARE_CLASS(TCustomForm, TWinControl)

public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Dispatch(TMessage& Message) override;

    void Show();
    void Close();
    // Shows the form modally and runs a nested loop until ModalResult is
    // set (or the form is closed, which gives mrCancel). OnActivate fires as
    // the form starts; the modal hook, when set, is called then.
    virtual int ShowModal();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);

    TBorderStyle BorderStyle() const { return FFormBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // Files dropped on the form arrive in OnDropFiles.
    void DragAcceptFiles(bool Accept);
    bool AcceptsFiles() const { return FAcceptFiles; }
    // Platform and tests: files dropped on the form.
    void DropFiles(const std::vector<String>& Files);
    // Runs the menu's or an action list's item with this shortcut.
    virtual bool IsShortCut(Word Key, TShiftState Shift);

    // Platform code only: the form's part in a key press sent to Target, a
    // control on it (before the control: shortcuts and key preview; after:
    // Enter and Escape for the default and cancel buttons).
    void KeyBeforeControl(TWinControl* Target, Word& Key, TShiftState Shift);
    void KeyAfterControl(TWinControl* Target, Word& Key, TShiftState Shift);
    void KeyUpPreview(TWinControl* Target, Word& Key, TShiftState Shift);
    // Alt and Key: the form's menu bar drops down (or clicks) the entry with
    // that accelerator; false when none has it.
    bool IsMenuKey(WideChar Key);
    // Popups. ShowPopup shows the form at its bounds as the toolkit's popup
    // window, without activating it: the owner stays active. While it is
    // shown it takes all input: keys go to it (to its ActiveControl when
    // that lies on it), the pointer's messages to the popup under the
    // pointer, and a press outside every popup is offered to the newest
    // (PopupOutsidePress), which swallows it or lets it reach the window
    // beneath. Popups shown from a popup stack up; hiding one ends it.
    void ShowPopup();
    // ShowPopup, then a nested loop until the popup is hidden or given a
    // ModalResult (which hides it); answers the ModalResult, mrCancel when
    // it was closed without one. The modal hook, when set, is called on
    // entry, and a popup it leaves open is cancelled once the queued
    // messages are handled. Application->Terminate ends the loop (and the
    // loops outside it); an exception leaving it hides the popup first.
    TModalResult RunPopup();
    // Hides a shown popup with this result.
    void ClosePopup(TModalResult Result);
    bool IsPopup() const { return FPopup; }
    // Shows the form without activating it: the active form stays active.
    void ShowNoActivate();
    // Fire OnActivate and OnDeactivate.
    void Activate();
    void Deactivate();
    // True while the form is the application's active window.
    bool Active() const { return FActive; }
    virtual bool CloseQuery();
    // Frees the form once the messages in the queue are handled.
    void Release();

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TDropFilesEvent OnDropFiles;

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoClose(TCloseAction& Action);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // A press outside every popup while this one is the newest: true
    // swallows it, false lets it reach the window beneath. The default
    // closes the popup (mrCancel) and swallows the press.
    virtual bool PopupOutsidePress(TMouseButton Button, const TPoint& ScreenPos);
    // The system took the popup away (another program became active, the
    // toolkit closed it); it is hidden once this returns.
    virtual void PopupDismissed() {}

private:
    friend void SetFocusedControl(TWinControl* Control, TFocusCause Cause);
    friend class QtWidgetHost;
    friend struct TPopupAccess;
    void EndPopup();
    void PlaceByPosition();
    void DetachDropFilter();
    void ApplyWindowFlags();
    bool CloseModal();
    TWinControl* FActiveControl = nullptr;
    TBorderStyle FFormBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    TMainMenu* FMenu = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FActive = false;
    bool FKeyPreview = false;
    bool FAcceptFiles = false;
    bool FPopup = false;         // shown as a popup
    bool FNoActivate = false;    // shown without activation
    void* FModalLoop = nullptr;  // the nested loop of ShowModal or RunPopup
    void* FDropFilter = nullptr;  // lives as a child of the window
    unsigned FAppliedWindowFlags = 0;  // the toolkit's window flags last set
};

class TForm : public TCustomForm {
    VEK_DECLARE_CLASS(TForm, TCustomForm)

public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

class TApplication : public TComponent {
    VEK_DECLARE_CLASS(TApplication, TComponent)

public:
    TApplication();
    ~TApplication() override;

    // Makes the Qt application when there is none yet (its arguments are
    // kept for its life).
    void Initialize();
    // Runs the event loop until Terminate or until the main form closes.
    void Run();
    // Handles the messages in the queue, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Frees the forms and the Qt application Initialize made. Call at the
    // end of main: from an exit handler Qt can no longer be taken down.
    void Shutdown();

    // Creates a form owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference)
    {
        Reference = Create<T>(this);
        FForms.push_back(Reference);
        if (!FMainForm)
            FMainForm = Reference;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    // The forms CreateForm made that still exist, in the order made.
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(std::size_t(Index)); }

    // An exception that reached the event loop: OnException when assigned,
    // else it is written to the error output. The loop goes on.
    void HandleException(TObject* Sender);
    void ShowException(Exception& E);

    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    // Hints. After HintPause milliseconds over a control with ShowHint
    // (HintShortPause while a hint was just shown; CM_HINTSHOWPAUSE may
    // change it), the control hears CM_HINTSHOW with the hint's THintInfo,
    // OnShowHint may change or refuse it, and the hint shows. Leaving the
    // cursor rectangle hides it and asks again; a press, a key and
    // CancelHint hide it.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    // The class hint windows are made of; a class not derived from
    // THintWindow (or one that cannot be created) is ignored.
    TClass HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(TClass Value);
    void CancelHint();
    // The hint window showing now; null when no hint is shown.
    THintWindow* ShownHintWindow() const;
    TShowHintEvent OnShowHint;
    // Platform code only: the pointer's message to Control, before the
    // control handles it.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // The application's layout direction (the toolkit's follows it).
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);

    TExceptionEvent OnException;
    // Called when the loop is about to wait; a handler that leaves Done
    // false is called again before the loop waits.
    TIdleEvent OnIdle;

    // Platform code only: the loop is about to wait.
    void Idle();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    bool FTerminated = false;
    bool FInIdle = false;
    bool FRunning = false;
    TCustomForm* FMainForm = nullptr;
    std::vector<TCustomForm*> FForms;
    String FTitle;
    void ActivateHint(const TPoint& CursorPos);
    void HideHint();
    void StartHintTimer(UINT_PTR Which, int Interval);
    void HintTimer(UINT_PTR Which);
    friend HWND HintTimerWindow();
    bool FShowHint = true;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    TClass FHintWindowClass = nullptr;
    THintWindow* FHintWindow = nullptr;  // owned: a component of the application
    std::unique_ptr<TControlWatch> FHintControl;
    bool FHintActive = false;
    TRect FHintCursorRect;
    HWND FHintTimerWindow = 0;
    TBiDiMode FBiDiMode = bdLeftToRight;
    struct TQtApp;
    std::unique_ptr<TQtApp> FQt;
};

struct TCursorData;
using HCURSOR = const TCursorData*;

// One size of a bitmap font, in pixels: the character cell and the part of
// it above the letters (internal leading).
struct TScreenFontSize {
    int CellHeight = 0;
    int InternalLeading = 0;
};

// A font family the toolkit can draw.
struct TScreenFont {
    String Name;
    // Scalable: any size. A bitmap font has the sizes in Sizes only.
    bool Scalable = true;
    // Holds symbols only, no letters of any script.
    bool Symbol = false;
    std::vector<TScreenFontSize> Sizes;  // ascending; empty for a scalable font
};

class TScreen : public TComponent {
    VEK_DECLARE_CLASS(TScreen, TComponent)

public:
    TScreen();
    ~TScreen() override;

    // The cursor shown over every window; crDefault lets controls choose.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor shapes by number: the predefined ones always exist; a
    // number nobody registered gives the default arrow.
    HCURSOR Cursors(int Index);
    void SetCursors(int Index, HCURSOR Value);
    TWinControl* ActiveControl() const;
    TCustomForm* ActiveForm() const;
    int PixelsPerInch() const { return 96; }
    int Width() const;
    int Height() const;
    // The primary screen's work area (the part panels leave free).
    TRect WorkAreaRect() const;
    // The bounds and the work area of the screen holding P, or of the screen
    // nearest to it.
    TRect MonitorRect(const TPoint& P) const;
    TRect MonitorWorkAreaRect(const TPoint& P) const;

    // The font menus are drawn in: the toolkit's menu font, in clMenuText.
    TFont* MenuFont();

    // The font families, sorted by name, read from the toolkit's font
    // database on first use; ResetFonts reads them again.
    const std::vector<TScreenFont>& Fonts();
    void ResetFonts() { FFonts.clear(); FFontsRead = false; }

private:
    std::vector<TScreenFont> FFonts;
    bool FFontsRead = false;
    std::unique_ptr<TFont> FMenuFont;
    TCursor FCursor = crDefault;
    std::map<int, HCURSOR> FCursors;
};

// A cursor made from a picture (its pixels of Transparent, white unless
// told otherwise, see through) and a hot spot.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, TPoint HotSpot, TColor Transparent = clWhite);
// What a WM_SETCURSOR handler does that chooses the shape itself: Window
// shows Cursor until the next WM_SETCURSOR chooses again.
void SetWindowCursor(TWinControl* Window, HCURSOR Cursor);
// The shape the pointer takes over Window now; null before one was chosen.
HCURSOR WindowCursor(TWinControl* Window);

// Tests: called when a form starts running modally (after OnActivate), to
// answer it: inspect it, set fields, click a button or set ModalResult. A
// hook that leaves the form without a result gets it cancelled once the
// queued messages are handled, so a test never waits for a user. Pass
// nothing to remove the hook.
using TModalHook = std::function<void(TCustomForm* Form)>;
void SetModalHook(TModalHook Hook);
bool HasModalHook();

// Whether a modal form or dialog is running: the timers of the windows
// behind it go on ticking inside its nested loop.
bool ModalLoopRunning();

// The system's short warning sound.
void Beep();
// Tests: called instead of the sound; nothing to remove the hook.
void SetBeepHook(std::function<void()> Hook);

extern TApplication* Application;
extern TScreen* Screen;
