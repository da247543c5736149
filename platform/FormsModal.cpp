// The modal protocol of forms, their window styles and position, files
// dropped on them, and the form's share in key handling (shortcuts, key
// preview, Enter and Escape).
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QUrl>

#include "platform/ActnList.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/MenuBar.h"
#include "platform/Menus.h"
#include "platform/QtWidgetHost.h"
#include "platform/StdCtrls.h"

namespace {

TModalHook& Hook()
{
    static TModalHook hook;
    return hook;
}

// Brings files dropped on a form's window to the form.
class TDropFilter : public QObject {
public:
    TDropFilter(TCustomForm* AForm, QObject* AParent) : QObject(AParent), Form(AForm) {}
    TCustomForm* Form;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (!Form || !Form->AcceptsFiles())
            return false;
        if (Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDropEvent*>(Event);
            if (e->mimeData() && e->mimeData()->hasUrls()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (Event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(Event);
            std::vector<String> files;
            if (e->mimeData())
                for (const QUrl& u : e->mimeData()->urls())
                    if (u.isLocalFile())
                        files.push_back(u.toLocalFile().toStdString());
            e->acceptProposedAction();
            TCustomForm* f = Form;
            Guarded(f, [f, &files] { f->DropFiles(files); });
            return true;
        }
        return false;
    }
};

TDialogKeyTarget* FindDialogButton(TWinControl* Parent, bool Default)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!c->Visible() || !c->Enabled())
            continue;
        if (auto* t = dynamic_cast<TDialogKeyTarget*>(c))
            if (Default ? t->IsDefaultButton() : t->IsCancelButton())
                return t;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TDialogKeyTarget* t = FindDialogButton(w, Default))
                return t;
    }
    return nullptr;
}

bool ActionListsShortCut(TComponent* Owner, TShortCut S)
{
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (auto* l = dynamic_cast<TActionList*>(Owner->Components(i)))
            if (l->IsShortCut(S))
                return true;
    return false;
}

}  // namespace

void SetModalHook(TModalHook Value) { Hook() = std::move(Value); }
bool HasModalHook() { return bool(Hook()); }

bool CallModalHook(TCustomForm* Form)
{
    if (!Hook())
        return false;
    // A copy: the hook may replace itself.
    const TModalHook hook = Hook();
    hook(Form);
    return true;
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::SetModalResult(TModalResult Value)
{
    FModalResult = Value;
    if (Value != mrNone && FModalLoop)
        static_cast<QEventLoop*>(FModalLoop)->quit();
}

bool TCustomForm::CloseModal()
{
    TCloseAction action = caHide;
    if (!CloseQuery())
        action = caNone;
    else
        DoClose(action);
    if (action == caNone) {
        FModalResult = mrNone;
        return false;
    }
    return true;
}

namespace {

int ModalDepth = 0;

struct TModalDepth {
    TModalDepth() { ++ModalDepth; }
    ~TModalDepth() { --ModalDepth; }
    TModalDepth(const TModalDepth&) = delete;
    TModalDepth& operator=(const TModalDepth&) = delete;
};

}  // namespace

bool ModalLoopRunning()
{
    // The toolkit's own dialogs (files, colours, printers) count as well.
    return ModalDepth > 0 || (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
                              QApplication::activeModalWidget() != nullptr);
}

int TCustomForm::ShowModal()
{
    if (FModal || (Visible() && Showing()))
        throw EInvalidOperation("Cannot make a visible window modal");
    const TModalDepth depth;
    TControlWatch watch(this);
    FModalResult = mrNone;
    FModal = true;
    // The form active before comes back when this one is done.
    TCustomForm* before = ActiveFormOfApplication();
    TControlWatch beforeWatch(before);
    // The toolkit takes a window's modality when it is shown, never later:
    // set after showing, the other windows stayed open to the user.
    HandleNeeded();
    if (Host())
        Host()->setWindowModality(Qt::ApplicationModal);
    Show();
    ActivateForm(this);
    if (watch && Hook())
        Hook()(this);
    bool answeredByHook = bool(Hook());
    while (watch && FModal) {
        if (FModalResult == mrNone) {
            if (answeredByHook || !QCoreApplication::instance() || Application->Terminated()) {
                // Nobody can answer: whatever is queued runs, then the form
                // is cancelled rather than waited on for ever.
                Application->ProcessMessages();
                if (watch && FModalResult == mrNone)
                    FModalResult = mrCancel;
            } else {
                QEventLoop loop;
                FModalLoop = &loop;
                loop.exec();
                if (!watch)
                    break;
                FModalLoop = nullptr;
                continue;
            }
        }
        if (!watch)
            break;
        if (CloseModal())
            break;
        // The close was refused: stay open. Without a user to answer, the
        // refusal must not turn into an endless loop.
        if (answeredByHook || !QCoreApplication::instance())
            break;
    }
    if (!watch)
        return mrCancel;
    const TModalResult result = FModalResult;
    FModal = false;
    FModalLoop = nullptr;
    Hide();
    if (Host())
        Host()->setWindowModality(Qt::NonModal);
    if (beforeWatch && before != this && before->Visible())
        ActivateForm(before);
    return result;
}

void TCustomForm::SetBorderStyle(TBorderStyle Value)
{
    FFormBorderStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    if (!Host() || !Visible())
        return;
    switch (Value) {
    case wsNormal: Host()->showNormal(); break;
    case wsMinimized: Host()->showMinimized(); break;
    case wsMaximized: Host()->showMaximized(); break;
    }
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == FMenu)
            FMenu = nullptr;
        if (AComponent == FActiveControl)
            FActiveControl = nullptr;
    }
    TWinControl::Notification(AComponent, Operation);
}

void TCustomForm::DragAcceptFiles(bool Accept)
{
    FAcceptFiles = Accept;
    if (Host())
        Host()->setAcceptDrops(Accept);
}

void TCustomForm::DropFiles(const std::vector<String>& Files)
{
    if (FAcceptFiles && !Files.empty() && OnDropFiles)
        OnDropFiles(this, Files);
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    if (Host()) {
        auto* filter = new TDropFilter(this, Host());
        Host()->installEventFilter(filter);
        FDropFilter = filter;
        Host()->setAcceptDrops(FAcceptFiles);
        Host()->setWindowTitle(QString::fromStdString(Caption()));
        FAppliedWindowFlags = 0;  // a new window: nothing applied yet
        ApplyWindowFlags();
    }
}

void TCustomForm::DetachDropFilter()
{
    // The window outlives this part of the object while the base class
    // takes it down; its events must not reach the form any more.
    if (Host() && FDropFilter)
        static_cast<TDropFilter*>(FDropFilter)->Form = nullptr;
    FDropFilter = nullptr;
}

void TCustomForm::DestroyWnd()
{
    DetachDropFilter();
    TWinControl::DestroyWnd();
}

void TCustomForm::ApplyWindowFlags()
{
    QWidget* w = Host();
    if (!w || Parent())
        return;
    Qt::WindowFlags f = Qt::Window;
    if (FPopup) {
        // The toolkit's popup: no frame, above the other windows, and the
        // pointer and keys are its own while it is shown.
        f = Qt::Popup | Qt::FramelessWindowHint;
        if (w->windowFlags() != f)
            w->setWindowFlags(f);
        return;
    }
    switch (FFormBorderStyle) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog:
        // The toolkit's dialog type: the window manager keeps a modal dialog
        // above the windows it blocks and floats it on tiling desktops.
        f = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool; break;
    default: break;
    }
    if (FFormStyle == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    // Compared with what was asked for last, not with the window's flags:
    // the toolkit adds hints of its own once the window is shown, and
    // setting flags on a shown window unmaps and maps it again, which a
    // reparenting window manager may answer by destroying its frame with
    // the window inside.
    const unsigned wanted = unsigned(f.toInt());
    if (wanted == FAppliedWindowFlags)
        return;
    FAppliedWindowFlags = wanted;
    const bool shown = w->isVisible();
    if (w->windowFlags() != f) {
        w->setWindowFlags(f);
        if (shown)
            w->show();
    }
}

void TCustomForm::PlaceByPosition()
{
    TRect area;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen->WorkAreaRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* ref = FPosition == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
        if (!ref)
            ref = Application->MainForm();
        if (!ref || ref == this) {
            area = Screen->WorkAreaRect();
            break;
        }
        area = ref->BoundsRect();
        break;
    }
    default: return;
    }
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

bool TCustomForm::IsShortCut(Word Key, TShiftState Shift)
{
    const TShortCut s = ShortCut(Key, Shift);
    if (!s)
        return false;
    if (FMenu && FMenu->IsShortCut(s))
        return true;
    return ActionListsShortCut(this, s);
}

void TCustomForm::KeyBeforeControl(TWinControl* Target, Word& Key, TShiftState Shift)
{
    TControlWatch watch(this);
    if (FKeyPreview && Target != this) {
        KeyDown(Key, Shift);
        if (!watch || Key == 0)
            return;
    }
    if (IsShortCut(Key, Shift))
        Key = 0;
}

void TCustomForm::KeyAfterControl(TWinControl* Target, Word& Key, TShiftState Shift)
{
    if (Key != VK_RETURN && Key != VK_ESCAPE)
        return;
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return;
    if (Key == VK_RETURN) {
        // A focused button takes Enter itself.
        if (auto* t = dynamic_cast<TDialogKeyTarget*>(Target)) {
            Key = 0;
            NoteDialogKeyTaken();
            t->PressByKey();
            return;
        }
    }
    if (TDialogKeyTarget* t = FindDialogButton(this, Key == VK_RETURN)) {
        Key = 0;
        NoteDialogKeyTaken();
        t->PressByKey();
    }
}

namespace {

TMenuBar* FindMenuBar(TWinControl* Parent)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (auto* bar = dynamic_cast<TMenuBar*>(c); bar && bar->Visible())
            return bar;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TMenuBar* bar = FindMenuBar(w))
                return bar;
    }
    return nullptr;
}

}  // namespace

bool TCustomForm::IsMenuKey(WideChar Key)
{
    if (FPopup || Key < 32 || (Key >= 0xD800 && Key <= 0xDFFF))
        return false;
    TMenuBar* bar = FindMenuBar(this);
    return bar && bar->MenuKey(char32_t(Key));
}

void TCustomForm::KeyUpPreview(TWinControl* Target, Word& Key, TShiftState Shift)
{
    if (FKeyPreview && Target != this)
        KeyUp(Key, Shift);
}
