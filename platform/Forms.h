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
    // Fires OnActivate.
    void Activate();
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

private:
    friend void SetFocusedControl(TWinControl* Control);
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
    bool FKeyPreview = false;
    bool FAcceptFiles = false;
    void* FModalLoop = nullptr;
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
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }

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
    int FHintPause = 500;
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

    // The font families, sorted by name, read from the toolkit's font
    // database on first use; ResetFonts reads them again.
    const std::vector<TScreenFont>& Fonts();
    void ResetFonts() { FFonts.clear(); FFontsRead = false; }

private:
    std::vector<TScreenFont> FFonts;
    bool FFontsRead = false;
    TCursor FCursor = crDefault;
    std::map<int, HCURSOR> FCursors;
};

// A cursor made from a picture (white pixels transparent) and a hot spot.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, TPoint HotSpot);

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

extern TApplication* Application;
extern TScreen* Screen;
