// The drag of controls: one drag at a time, carried by the source's mouse
// capture, asking the control under the pointer whether it takes the drop.
#include <cstdlib>

#include <QApplication>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"

struct TControlDrag {
    TControl* Source = nullptr;
    TDragObject* Object = nullptr;  // OnStartDrag's, when it gave one
    bool Active = false;            // past the threshold
    int Threshold = 0;
    TPoint Start;                   // screen
    TControl* Target = nullptr;
    bool Accepted = false;
    TCursor SavedCursor = crDefault;

    static TControlDrag& Current()
    {
        static TControlDrag drag;
        return drag;
    }

    static bool Take(TControl* Control, TMessage& Message);

    TObject* SourceObject() const { return Object ? static_cast<TObject*>(Object) : Source; }

    bool Ask(TControl* Over, const TPoint& At, TDragState State) const
    {
        const TPoint p = Over->ScreenToClient(At);
        bool accept = false;
        Over->DragOver(SourceObject(), p.X, p.Y, State, accept);
        return accept;
    }

    void ShowCursor() const
    {
        if (Screen)
            Screen->SetCursor(Accepted ? Source->DragCursor() : crNoDrop);
    }

    // The pointer is at At: leave the last control, enter the new one or
    // move over it. Handlers may end the drag or free controls.
    void DragTo(const TPoint& At)
    {
        TControl* over = FindDragTarget(At);
        if (over != Target) {
            TControl* old = Target;
            Target = nullptr;
            Accepted = false;
            if (old) {
                TControlWatch watch(old);
                Ask(old, At, dsDragLeave);
                if (!Source)
                    return;
            }
            if (over) {
                TControlWatch watch(over);
                const bool accept = Ask(over, At, dsDragEnter);
                if (!Source)
                    return;
                if (watch) {
                    Target = over;
                    Accepted = accept;
                }
            }
        } else if (over) {
            const bool accept = Ask(over, At, dsDragMove);
            if (!Source)
                return;
            Accepted = accept;
        }
        ShowCursor();
    }

    void Activate(const TPoint& At)
    {
        TControl* source = Source;
        TControlWatch watch(source);
        Active = true;
        SavedCursor = Screen ? Screen->Cursor() : crDefault;
        TDragObject* object = nullptr;
        source->DoStartDrag(object);
        if (!watch || Source != source)
            return;
        Object = object;
        DragTo(At);
    }

    // Ends the drag: with Drop at At the control there takes it when it
    // accepts. The drag's state is gone before any handler runs.
    void Finish(bool Drop, const TPoint& At)
    {
        if (!Source)
            return;
        if (Drop && Active)
            DragTo(At);
        if (!Source)
            return;
        TControl* source = Source;
        TObject* sourceObject = SourceObject();
        TControl* target = Target;
        const bool accepted = Drop && Active && Accepted && target;
        const bool wasActive = Active;
        const TCursor saved = SavedCursor;
        *this = TControlDrag();
        TControlWatch sourceWatch(source);
        TControlWatch targetWatch(target);
        if (wasActive && Screen)
            Screen->SetCursor(saved);
        if (GetCaptureControl() == source)
            SetCaptureControl(nullptr);
        if (!wasActive)
            return;
        if (targetWatch) {
            Ask(target, At, dsDragLeave);
        }
        TPoint at;
        if (accepted && targetWatch) {
            at = target->ScreenToClient(At);
            target->DragDrop(sourceObject, at.X, at.Y);
        }
        if (sourceWatch)
            source->DoEndDrag(accepted && targetWatch ? target : nullptr, at.X, at.Y);
    }
};

// ---------------------------------------------------------------------------

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    TControlDrag& d = TControlDrag::Current();
    if (d.Source)
        return;
    d = TControlDrag();
    d.Source = this;
    d.Threshold = Threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : Threshold;
    d.Start = GetCursorPos();
    SetMouseCapture(true);
    if (Immediate)
        d.Activate(d.Start);
}

void TControl::EndDrag(bool Drop)
{
    TControlDrag& d = TControlDrag::Current();
    if (d.Source == this)
        d.Finish(Drop, GetCursorPos());
}

bool TControl::Dragging() const { return TControlDrag::Current().Source == this; }

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void CancelDrag()
{
    TControlDrag& d = TControlDrag::Current();
    d.Finish(false, GetCursorPos());
}

// ---------------------------------------------------------------------------

namespace {

TWinControl* TopLevelOf(TControl* Control)
{
    TControl* c = Control;
    while (c && c->Parent())
        c = c->Parent();
    return dynamic_cast<TWinControl*>(c);
}

bool TopLevelHolds(TWinControl* Top, const TPoint& P)
{
    return Top && Top->Visible() && Top->BoundsRect().Contains(P);
}

TControl* InnermostAt(TWinControl* Top, const TPoint& P)
{
    if (!Top->Enabled())
        return nullptr;
    TControl* c = Top;
    while (auto* w = dynamic_cast<TWinControl*>(c)) {
        const TPoint cp = w->ScreenToClient(P);
        if (!w->ClientRect().Contains(cp))
            break;
        TControl* child = w->ControlAtPos(cp, false, true);
        if (!child)
            break;
        c = child;
    }
    return c;
}

}  // namespace

TControl* FindDragTarget(const TPoint& P)
{
    // The source's own window first: the drag most often stays there.
    TWinControl* own = TopLevelOf(TControlDrag::Current().Source);
    if (TopLevelHolds(own, P))
        return InnermostAt(own, P);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    TWinControl* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* host = dynamic_cast<QtWidgetHost*>(w);
        if (!host || !host->Control || !w->isVisible() || !TopLevelHolds(host->Control, P))
            continue;
        if (!found || w == QApplication::activeWindow())
            found = host->Control;
    }
    return found ? InnermostAt(found, P) : nullptr;
}

// ---------------------------------------------------------------------------

bool DragMessage(TControl* Control, TMessage& Message) { return TControlDrag::Take(Control, Message); }

bool TControlDrag::Take(TControl* Control, TMessage& Message)
{
    TControlDrag& d = Current();
    if (!d.Source) {
        if (Message.Msg == WM_LBUTTONDOWN && Control->DragMode() == dmAutomatic)
            Control->BeginDrag(false);
        return false;
    }
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE && d.Active) {
        d.Finish(false, GetCursorPos());
        // Taken: no control and no dialog sees this Esc.
        Message.WParam = 0;
        return true;
    }
    if (Control != d.Source)
        return false;
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        const TPoint screen = Control->ClientToScreen(Message.Pos());
        if (!d.Active) {
            if (std::abs(screen.X - d.Start.X) <= d.Threshold && std::abs(screen.Y - d.Start.Y) <= d.Threshold)
                return false;
            d.Activate(screen);
            return true;
        }
        d.DragTo(screen);
        return true;
    }
    case WM_LBUTTONUP:
        if (!d.Active) {
            // Released before the drag began: an ordinary release.
            d = TControlDrag();
            return false;
        }
        Control->FControlState.Exclude(csClicked);
        d.Finish(true, Control->ClientToScreen(Message.Pos()));
        return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (GetCaptureControl() != Control)
            d.Finish(false, GetCursorPos());
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return d.Active;
    default:
        return false;
    }
}

void DragControlGone(TControl* Control)
{
    TControlDrag& d = TControlDrag::Current();
    if (d.Source == Control) {
        const TCursor saved = d.SavedCursor;
        const bool active = d.Active;
        d = TControlDrag();
        if (active && Screen)
            Screen->SetCursor(saved);
    } else if (d.Target == Control) {
        d.Target = nullptr;
        d.Accepted = false;
    }
}
