// Drag and drop of data over the toolkit's drag: drop targets of windows,
// the drag loop, and the stand-ins tests drive.
#include "platform/DragDrop.h"

#include <algorithm>
#include <map>

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QImage>
#include <QPixmap>
#include <QPointer>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/MimeBridge.h"
#include "platform/QtWidgetHost.h"

namespace {

Qt::DropActions ActionsOf(int Effects)
{
    Qt::DropActions a;
    if (Effects & DROPEFFECT_COPY)
        a |= Qt::CopyAction;
    if (Effects & DROPEFFECT_MOVE)
        a |= Qt::MoveAction;
    if (Effects & DROPEFFECT_LINK)
        a |= Qt::LinkAction;
    return a;
}

int EffectsOf(Qt::DropActions Actions)
{
    int e = DROPEFFECT_NONE;
    if (Actions & Qt::CopyAction)
        e |= DROPEFFECT_COPY;
    if (Actions & Qt::MoveAction)
        e |= DROPEFFECT_MOVE;
    if (Actions & Qt::LinkAction)
        e |= DROPEFFECT_LINK;
    return e;
}

// The one action a chosen effect stands for; a target that answers several
// gets the first of move, copy, link.
Qt::DropAction ActionOf(int Effect)
{
    if (Effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (Effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (Effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

int KeyStateOf(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers)
{
    int k = 0;
    if (Buttons & Qt::LeftButton)
        k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton)
        k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton)
        k |= MK_MBUTTON;
    if (Modifiers & Qt::ShiftModifier)
        k |= MK_SHIFT;
    if (Modifiers & Qt::ControlModifier)
        k |= MK_CONTROL;
    if (Modifiers & Qt::AltModifier)
        k |= MK_ALT;
    return k;
}

Qt::MouseButtons ButtonsOf(int KeyState)
{
    Qt::MouseButtons b;
    if (KeyState & MK_LBUTTON)
        b |= Qt::LeftButton;
    if (KeyState & MK_RBUTTON)
        b |= Qt::RightButton;
    if (KeyState & MK_MBUTTON)
        b |= Qt::MiddleButton;
    return b;
}

Qt::KeyboardModifiers ModifiersOf(int KeyState)
{
    Qt::KeyboardModifiers m;
    if (KeyState & MK_SHIFT)
        m |= Qt::ShiftModifier;
    if (KeyState & MK_CONTROL)
        m |= Qt::ControlModifier;
    if (KeyState & MK_ALT)
        m |= Qt::AltModifier;
    return m;
}

// Brings the toolkit's drag events of a window to its drop target.
class TDropTargetFilter : public QObject {
public:
    TDropTargetFilter(HWND AWindow, IDropTargetPtr ATarget, QObject* Parent)
        : QObject(Parent), Window(AWindow), Target(std::move(ATarget)) {}

    HWND Window;
    IDropTargetPtr Target;  // null once revoked

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop: break;
        default: return false;
        }
        TWinControl* control = FindControl(Window);
        const IDropTargetPtr target = Target;  // a handler may revoke it
        if (!control || !target)
            return false;
        if (Event->type() == QEvent::DragLeave) {
            FData.reset();
            Guarded(control, [&] { target->DragLeave(); });
            return true;
        }
        auto* e = static_cast<QDropEvent*>(Event);
        const QPoint local = e->position().toPoint();
        const TPoint screen = WindowOrigin(control) + TPoint{local.x(), local.y()};
        const int keys = KeyStateOf(e->buttons(), e->modifiers());
        const int allowed = EffectsOf(e->possibleActions());
        int effect = allowed;
        if (Event->type() == QEvent::DragEnter) {
            FData = DataObjectOfMimeData(e->mimeData());
            FEnterPoint = screen;
            FFreshEnter = true;
            Guarded(control, [&] { target->DragEnter(FData, keys, screen, effect); });
            FEffect = effect & allowed;
            // Accepted whatever the answer, so that the moves keep coming.
            e->setDropAction(ActionOf(FEffect));
            static_cast<QDragEnterEvent*>(e)->accept(QRect(local, QSize(1, 1)));
            return true;
        }
        if (Event->type() == QEvent::DragMove) {
            // The toolkit follows every enter with a move to the same point;
            // the target hears of moves only.
            if (!(FFreshEnter && screen == FEnterPoint))
                Guarded(control, [&] { target->DragOver(keys, screen, effect); });
            else
                effect = FEffect;
            FFreshEnter = false;
            FEffect = effect & allowed;
            auto* m = static_cast<QDragMoveEvent*>(e);
            m->setDropAction(ActionOf(FEffect));
            // A rectangle of one pixel: every move is reported again.
            if (FEffect != DROPEFFECT_NONE)
                m->accept(QRect(local, QSize(1, 1)));
            else
                m->ignore(QRect(local, QSize(1, 1)));
            return true;
        }
        IDataObjectPtr data = FData ? FData : DataObjectOfMimeData(e->mimeData());
        FData.reset();
        Guarded(control, [&] { target->Drop(data, keys, screen, effect); });
        effect &= allowed;
        e->setDropAction(ActionOf(effect));
        if (effect != DROPEFFECT_NONE)
            e->accept();
        else
            e->ignore();
        return true;
    }

private:
    IDataObjectPtr FData;
    TPoint FEnterPoint;
    bool FFreshEnter = false;
    int FEffect = DROPEFFECT_NONE;
};

std::map<HWND, QPointer<TDropTargetFilter>>& Targets()
{
    static std::map<HWND, QPointer<TDropTargetFilter>> targets;
    return targets;
}

TDragLoopHook& LoopHook()
{
    static TDragLoopHook hook;
    return hook;
}

// What a drag belongs to when no widget has the focus.
QObject* DragSourceObject()
{
    static QPointer<QObject> source;
    if (!source)
        source = new QObject(QCoreApplication::instance());
    return source;
}

}  // namespace

HRESULT RegisterDragDrop(HWND Window, const IDropTargetPtr& Target)
{
    TWinControl* control = FindControl(Window);
    if (!control || !control->Host() || !Target)
        return DRAGDROP_E_INVALIDHWND;
    auto& targets = Targets();
    if (auto it = targets.find(Window); it != targets.end()) {
        if (it->second && it->second->Target)
            return DRAGDROP_E_ALREADYREGISTERED;
        targets.erase(it);
    }
    auto* filter = new TDropTargetFilter(Window, Target, control->Host());
    control->Host()->installEventFilter(filter);
    control->Host()->setAcceptDrops(true);
    targets[Window] = filter;
    return S_OK;
}

HRESULT RevokeDragDrop(HWND Window)
{
    auto& targets = Targets();
    auto it = targets.find(Window);
    if (it == targets.end())
        return DRAGDROP_E_NOTREGISTERED;
    TDropTargetFilter* filter = it->second;
    targets.erase(it);
    if (!filter || !filter->Target)
        return DRAGDROP_E_NOTREGISTERED;
    filter->Target.reset();
    if (TWinControl* control = FindControl(Window); control && control->Host()) {
        control->Host()->removeEventFilter(filter);
        auto* form = dynamic_cast<TCustomForm*>(control);
        control->Host()->setAcceptDrops(form && form->AcceptsFiles());
    }
    // It may be inside its own event handling now.
    filter->deleteLater();
    return S_OK;
}

namespace {

TDragPicture& RunningPicture()
{
    static TDragPicture picture;
    return picture;
}

// The toolkit's picture: the pixels at the opacity, transparent ones clear.
QPixmap DragPixmap(const TDragPicture& Picture)
{
    QImage image = Picture.Picture->Image().convertToFormat(QImage::Format_ARGB32);
    const int alpha = std::clamp(Picture.Opacity, 0, 255);
    const bool keyed = Picture.Picture->Transparent();
    const TColor key = ColorToRGB(Picture.Picture->TransparentColor());
    const QRgb keyPixel = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x] | 0xFF000000u;
            row[x] = keyed && p == keyPixel ? 0u : qRgba(qRed(p), qGreen(p), qBlue(p), alpha);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

const TDragPicture& CurrentDragPicture() { return RunningPicture(); }

HRESULT DoDragDrop(const IDataObjectPtr& DataObject, int OkEffects, int& Effect)
{
    return DoDragDrop(DataObject, OkEffects, Effect, TDragPicture());
}

HRESULT DoDragDrop(const IDataObjectPtr& DataObject, int OkEffects, int& Effect, const TDragPicture& Picture)
{
    Effect = DROPEFFECT_NONE;
    if (!DataObject)
        return E_INVALIDARG;
    // Shown for this drag only, also when it ends by an exception.
    struct TShown {
        explicit TShown(const TDragPicture& P) : Old(RunningPicture()) { RunningPicture() = P; }
        ~TShown() { RunningPicture() = Old; }
        TDragPicture Old;
    } shown(Picture.Picture && !Picture.Picture->Empty() ? Picture : TDragPicture());
    if (LoopHook()) {
        Effect = LoopHook()(DataObject, OkEffects) & OkEffects;
    } else {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return E_FAIL;
        QObject* source = QApplication::focusWidget();
        if (!source)
            source = DragSourceObject();
        // The toolkit frees the drag when it is over.
        auto* drag = new QDrag(source);
        drag->setMimeData(new TMimeBridge(DataObject));
        if (const TDragPicture& p = RunningPicture(); p.Picture) {
            drag->setPixmap(DragPixmap(p));
            drag->setHotSpot(QPoint(p.HotSpot.X, p.HotSpot.Y));
        }
        const Qt::DropActions allowed = ActionsOf(OkEffects);
        Effect = EffectsOf(drag->exec(allowed, ActionOf(OkEffects))) & OkEffects;
    }
    return Effect != DROPEFFECT_NONE ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
}

void SetDragLoopHook(TDragLoopHook Hook) { LoopHook() = std::move(Hook); }

// ---------------------------------------------------------------------------

struct TDragSimulation::TImpl {
    std::unique_ptr<QMimeData> Data;
    int OkEffects = DROPEFFECT_NONE;
    QPointer<QWidget> Over;  // the window that took the enter

    // The window a drop at Screen reaches: the innermost one there, or the
    // nearest of its parents that takes drops.
    static QWidget* WidgetAt(TPoint Screen, QPoint& Local)
    {
        QWidget* top = nullptr;
        TWinControl* topControl = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* host = dynamic_cast<QtWidgetHost*>(w);
            if (!host || !host->Control || !w->isVisible())
                continue;
            TWinControl* c = host->Control;
            const TPoint o = WindowOrigin(c);
            if (!TRect(o.X, o.Y, o.X + c->Width(), o.Y + c->Height()).Contains(Screen))
                continue;
            if (!top || w == QApplication::activeWindow()) {
                top = w;
                topControl = c;
            }
        }
        if (!top)
            return nullptr;
        const TPoint o = WindowOrigin(topControl);
        const QPoint topLocal(Screen.X - o.X, Screen.Y - o.Y);
        QWidget* w = top->childAt(topLocal);
        if (!w)
            w = top;
        while (w && !(w->acceptDrops() && w->isEnabled()) && !w->isWindow())
            w = w->parentWidget();
        if (!w || !w->acceptDrops() || !w->isEnabled())
            return nullptr;
        Local = w->mapFrom(top, topLocal);
        return w;
    }
};

TDragSimulation::TDragSimulation(const IDataObjectPtr& DataObject, int OkEffects) : FImpl(std::make_unique<TImpl>())
{
    FImpl->Data = std::make_unique<TMimeBridge>(DataObject);
    FImpl->OkEffects = OkEffects;
}

TDragSimulation::TDragSimulation(const std::vector<String>& Files, int OkEffects) : FImpl(std::make_unique<TImpl>())
{
    FImpl->Data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const String& f : Files)
        urls << QUrl::fromLocalFile(QString::fromStdString(f));
    FImpl->Data->setUrls(urls);
    FImpl->OkEffects = OkEffects;
}

TDragSimulation::~TDragSimulation() { Leave(); }

int TDragSimulation::Move(TPoint Screen, int KeyState)
{
    QPoint local;
    QWidget* w = TImpl::WidgetAt(Screen, local);
    const Qt::DropActions allowed = ActionsOf(FImpl->OkEffects);
    if (w != FImpl->Over) {
        Leave();
        if (!w)
            return DROPEFFECT_NONE;
        QDragEnterEvent enter(local, allowed, FImpl->Data.get(), ButtonsOf(KeyState), ModifiersOf(KeyState));
        QCoreApplication::sendEvent(w, &enter);
        if (!enter.isAccepted())
            return DROPEFFECT_NONE;
        FImpl->Over = w;
    }
    if (!FImpl->Over)
        return DROPEFFECT_NONE;
    QDragMoveEvent move(local, allowed, FImpl->Data.get(), ButtonsOf(KeyState), ModifiersOf(KeyState));
    QCoreApplication::sendEvent(FImpl->Over, &move);
    return move.isAccepted() ? EffectsOf(move.dropAction()) & FImpl->OkEffects : DROPEFFECT_NONE;
}

int TDragSimulation::Drop(TPoint Screen, int KeyState)
{
    // Where the last move found no taker the drag only leaves, as the
    // system's loop does.
    if (Move(Screen, KeyState | MK_LBUTTON) == DROPEFFECT_NONE) {
        Leave();
        return DROPEFFECT_NONE;
    }
    QPointer<QWidget> w = FImpl->Over;
    FImpl->Over = nullptr;
    if (!w)
        return DROPEFFECT_NONE;
    QPoint local;
    TImpl::WidgetAt(Screen, local);
    QDropEvent drop(local, ActionsOf(FImpl->OkEffects), FImpl->Data.get(), ButtonsOf(KeyState), ModifiersOf(KeyState));
    QCoreApplication::sendEvent(w, &drop);
    return drop.isAccepted() ? EffectsOf(drop.dropAction()) & FImpl->OkEffects : DROPEFFECT_NONE;
}

void TDragSimulation::Leave()
{
    QPointer<QWidget> w = FImpl->Over;
    FImpl->Over = nullptr;
    if (!w)
        return;
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(w, &leave);
}
