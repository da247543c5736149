#pragma once
// Forms, the application object and the screen.
#include <map>
#include <memory>

#include "platform/Controls.h"
#include "platform/Exceptions.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

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

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoClose(TCloseAction& Action);
    void CreateParams(TCreateParams& Params) override;

private:
    friend void SetFocusedControl(TWinControl* Control);
    TWinControl* FActiveControl = nullptr;
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
        if (!FMainForm)
            FMainForm = Reference;
    }
    TCustomForm* MainForm() const { return FMainForm; }

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
    String FTitle;
    int FHintPause = 500;
    struct TQtApp;
    std::unique_ptr<TQtApp> FQt;
};

struct TCursorData;
using HCURSOR = const TCursorData*;

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
    TRect WorkAreaRect() const;

private:
    TCursor FCursor = crDefault;
    std::map<int, HCURSOR> FCursors;
};

// A cursor made from a picture (white pixels transparent) and a hot spot.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, TPoint HotSpot);

extern TApplication* Application;
extern TScreen* Screen;
