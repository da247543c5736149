// Forms, the application object with its event loop and idle handling, and
// the screen with its cursors.
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "platform/Forms.h"
#include "platform/ActnList.h"
#include "platform/Clipbrd.h"
#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"
#include "platform/MenuWindow.h"
#include "platform/QtWidgetHost.h"

// ---------------------------------------------------------------------------
// Forms.

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    FVisible = false;
    FColor = clBtnFace;
    SetBounds(0, 0, 640, 480);
}

namespace {
TCustomForm* gActiveForm = nullptr;
}  // namespace

void ActivateForm(TCustomForm* Form)
{
    if (gActiveForm == Form)
        return;
    TCustomForm* old = gActiveForm;
    gActiveForm = Form;
    TControlWatch formWatch(Form);
    if (old) {
        const HWND other = Form && Form->HandleAllocated() ? Form->Handle() : 0;
        old->Perform(WM_ACTIVATE, WA_INACTIVE, LPARAM(other));
    }
    // The old form's handler may have activated yet another one.
    if (Form && formWatch && gActiveForm == Form) {
        TControlWatch oldWatch(old);
        const HWND other = oldWatch && old->HandleAllocated() ? old->Handle() : 0;
        Form->Perform(WM_ACTIVATE, WA_ACTIVE, LPARAM(other));
    }
}

TCustomForm* ActiveFormOfApplication() { return gActiveForm; }

TCustomForm::~TCustomForm()
{
    // A popup freed while shown leaves the stack of popups, which would
    // otherwise hand the next press to a form that is gone.
    if (FPopup)
        EndPopup();
    if (gActiveForm == this)
        gActiveForm = nullptr;
    DetachDropFilter();
    if (Application)
        Application->Notification(this, opRemove);
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    // A form built in code is loaded once its constructor has made its
    // components: they, in the order made, then the form.
    for (int i = 0; i < ComponentCount(); ++i)
        Components(i)->Loaded();
    Loaded();
    DoCreate();
}

void TCustomForm::BeforeDestruction()
{
    DoDestroy();
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate()
{
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style &= ~WS_CHILD;
}

void TCustomForm::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_RELEASE) {
        delete this;
        return;
    }
    if (Message.Msg == CM_VISIBLECHANGED) {
        if (!Message.WParam) {
            EndPopup();
            FNoActivate = false;
        }
        TControlWatch watch(this);
        if (Message.WParam ? bool(OnShow) : bool(OnHide))
            (Message.WParam ? OnShow : OnHide)(this);
        if (watch && !Message.WParam && gActiveForm == this)
            ActivateForm(nullptr);
        return;
    }
    if (Message.Msg == WM_ACTIVATE) {
        FActive = Message.WParam != WA_INACTIVE;
        TControlWatch watch(this);
        if (!FActive) {
            Deactivate();
            return;
        }
        Activate();
        // The keys go to the form's control that had the focus last, else
        // to its first one in tab order.
        if (!watch || !Host() || !Visible())
            return;
        TWinControl* target = FActiveControl && FActiveControl != this && FActiveControl->CanFocus()
                                  ? FActiveControl
                                  : FindNextControl(nullptr, true, true, false);
        if (target)
            SetFocusedControl(target);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomForm::Show()
{
    const bool wasVisible = Visible();
    if (wasVisible && (FPopup || FNoActivate))
        return;  // shown as a popup or without activation: it stays so
    if (!wasVisible)
        PlaceByPosition();
    if (Host())
        Host()->setAttribute(Qt::WA_ShowWithoutActivating, false);
    SetVisible(true);
    if (Host() && !wasVisible) {
        ApplyWindowFlags();
        if (FWindowState == wsMaximized) Host()->showMaximized();
        else if (FWindowState == wsMinimized) Host()->showMinimized();
    }
    if (!wasVisible && !FModal)
        ActivateForm(this);
    if (Host()) {
        if (FActiveControl && FActiveControl->CanFocus())
            SetFocusedControl(FActiveControl);
    }
}

bool TCustomForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    if (FPopup) {
        TCloseAction action = caHide;
        DoClose(action);
        if (action != caNone)
            ClosePopup(FModalResult != mrNone ? FModalResult : mrCancel);
        return;
    }
    const bool mainForm = Application->MainForm() == this;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (mainForm) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caFree: Release(); break;
    case caMinimize:
        if (Host()) Host()->showMinimized();
        break;
    default: break;
    }
}

void TCustomForm::Release()
{
    Hide();
    if (!QCoreApplication::instance() || !PostMessage(Handle(), CM_RELEASE))
        delete this;
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    FActiveControl = Control;
    // A popup's control gets its keys without taking the focus from the
    // window that opened it.
    if (Control && Host() && Visible() && !FPopup && Control->CanFocus())
        SetFocusedControl(Control);
}

// ---------------------------------------------------------------------------
// The application.

struct TApplication::TQtApp {
    int Argc = 1;
    char Name[4] = "vek";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QApplication> App;  // only when we made it
    QObject* IdleHook = nullptr;
    QMetaObject::Connection IdleConnection;
    QEventLoop* Loop = nullptr;
};

namespace {
QApplication* KeptQtApplication = nullptr;
}  // namespace

TApplication::TApplication() : TComponent(nullptr), FQt(std::make_unique<TQtApp>()) {}

TApplication::~TApplication()
{
    DestroyComponents();
    // This runs from an exit handler, after Qt's own globals are gone:
    // deleting the Qt application then crashes. The process is ending;
    // the pointer is kept where a leak checker sees it.
    KeptQtApplication = FQt->App.release();
}

void TApplication::Shutdown()
{
    // What the program left on the clipboard outlives it, rendered while
    // the objects that render it still exist.
    OleFlushClipboard();
    FreeMenuWindows();
    DestroyComponents();
    FMainForm = nullptr;
    FForms.clear();
    if (FQt->IdleHook) {
        QObject::disconnect(FQt->IdleConnection);
        FQt->IdleHook = nullptr;
    }
    FQt->App.reset();
}

void TApplication::Initialize()
{
    if (!QCoreApplication::instance())
        FQt->App = std::make_unique<QApplication>(FQt->Argc, FQt->Argv);
    if (!FQt->IdleHook) {
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread())) {
            FQt->IdleHook = d;
            FQt->IdleConnection = QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, d, [this] { Idle(); });
        }
    }
    MessagePump();
}

void TApplication::Idle()
{
    if (FInIdle)
        return;
    FInIdle = true;
    // The dispatcher says it may wait even with events still queued; the
    // queue is emptied first so that idle really means idle.
    ProcessSentMessages();
    QCoreApplication::sendPostedEvents();
    bool done = true;
    Guarded(this, [] { UpdateAllActions(); });
    if (OnIdle)
        Guarded(this, [&] { OnIdle(this, done); });
    FInIdle = false;
    // A handler that is not done yet is called again before the loop waits.
    if (!done && !FTerminated)
        if (QObject* p = MessagePump())
            QCoreApplication::postEvent(p, new QEvent(QEvent::None));
}

void TApplication::Run()
{
    Initialize();
    if (FMainForm && !FMainForm->Visible())
        Guarded(this, [this] { FMainForm->Show(); });
    if (!FTerminated) {
        FRunning = true;
        QEventLoop loop;
        FQt->Loop = &loop;
        loop.exec();
        FQt->Loop = nullptr;
        FRunning = false;
    }
    // A later Run (the tests run several) starts afresh.
    FTerminated = false;
}

void TApplication::ProcessMessages()
{
    if (!QCoreApplication::instance())
        return;
    ProcessSentMessages();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate()
{
    FTerminated = true;
    QuitPopupLoops();
    if (FQt->Loop)
        FQt->Loop->quit();
}

void TApplication::SetBiDiMode(TBiDiMode Value)
{
    FBiDiMode = Value;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setLayoutDirection(Value == bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
}

void TApplication::HandleException(TObject* Sender)
{
    try {
        throw;
    } catch (EAbort&) {
        // Silent by design.
    } catch (Exception& E) {
        if (OnException)
            OnException(Sender, E);
        else
            ShowException(E);
    } catch (std::exception& E) {
        Exception e(E.what());
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        Exception e("Unknown exception");
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    }
}

void TApplication::ShowException(Exception& E)
{
    std::fprintf(stderr, "%s: %s\n", FTitle.empty() ? "vek" : FTitle.c_str(), E.Message.c_str());
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FMainForm)
        FMainForm = nullptr;
    if (Operation == opRemove && AComponent == FHintWindow)
        FHintWindow = nullptr;
    if (Operation == opRemove)
        FForms.erase(std::remove(FForms.begin(), FForms.end(), AComponent), FForms.end());
    TComponent::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------
// The screen.

namespace {

Qt::CursorShape ShapeOf(TCursor C)
{
    switch (C) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

std::vector<std::unique_ptr<TCursorData>>& MadeCursors()
{
    static std::vector<std::unique_ptr<TCursorData>> list;
    return list;
}

}  // namespace

TScreen::TScreen() : TComponent(nullptr) {}
TScreen::~TScreen() = default;

HCURSOR TScreen::Cursors(int Index)
{
    auto it = FCursors.find(Index);
    if (it != FCursors.end())
        return it->second;
    if (Index > 0)
        return Cursors(crDefault);
    auto d = std::make_unique<TCursorData>();
    d->Cursor = QCursor(ShapeOf(Index));
    HCURSOR h = d.get();
    MadeCursors().push_back(std::move(d));
    FCursors[Index] = h;
    return h;
}

void TScreen::SetCursors(int Index, HCURSOR Value)
{
    if (Value)
        FCursors[Index] = Value;
    else
        FCursors.erase(Index);
}

void TScreen::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    const TCursor old = FCursor;
    FCursor = Value;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (Value == crDefault)
        QGuiApplication::restoreOverrideCursor();
    else if (old == crDefault)
        QGuiApplication::setOverrideCursor(Cursors(Value)->Cursor);
    else
        QGuiApplication::changeOverrideCursor(Cursors(Value)->Cursor);
}

TWinControl* TScreen::ActiveControl() const { return FindFocusedControl(); }

TCustomForm* TScreen::ActiveForm() const
{
    if (gActiveForm)
        return gActiveForm;
    if (TWinControl* f = FindFocusedControl())
        return GetParentForm(f);
    return Application->MainForm();
}

TRect TScreen::WorkAreaRect() const
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect r = s->availableGeometry();
            return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        }
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int TScreen::Width() const
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = QGuiApplication::primaryScreen())
            return s->geometry().width();
    return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = QGuiApplication::primaryScreen())
            return s->geometry().height();
    return GetSystemMetrics(SM_CYSCREEN);
}

HCURSOR CreateCursorFromBitmap(TBitmap* Image, TPoint HotSpot, TColor Transparent)
{
    // Pointer shapes need the toolkit's GUI; without one there is no cursor.
    if (!Image || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    QImage img = Image->Image().convertToFormat(QImage::Format_ARGB32);
    const TColor key = ColorToRGB(Transparent);
    const QRgb keyRgb = qRgb(int(key & 0xFF), int((key >> 8) & 0xFF), int((key >> 16) & 0xFF)) & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((row[x] & 0xFFFFFF) == keyRgb)
                row[x] = 0;
    }
    auto d = std::make_unique<TCursorData>();
    d->Cursor = QCursor(QPixmap::fromImage(img), HotSpot.X, HotSpot.Y);
    HCURSOR h = d.get();
    MadeCursors().push_back(std::move(d));
    return h;
}

namespace {
TApplication ApplicationObject;
TScreen ScreenObject;
}  // namespace

TApplication* Application = &ApplicationObject;
TScreen* Screen = &ScreenObject;

namespace {
std::function<void()>& BeepHook()
{
    static std::function<void()> hook;
    return hook;
}
}  // namespace

void SetBeepHook(std::function<void()> Hook) { BeepHook() = std::move(Hook); }

void Beep()
{
    if (BeepHook()) {
        BeepHook()();
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}
