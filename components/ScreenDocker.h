#pragma once
// Snaps its form to the edges of the work area (or the screen) while the
// form is dragged: an edge that comes within DockDistance of a bound jumps
// to it and stays there until the pointer has gone further than the
// distance. One per form; the form must be its owner.
#include <functional>

#include "platform/Classes.h"
#include "platform/Forms.h"

enum TDockEdge { deLeft, deTop, deRight, deBottom };
using TDockEdges = TSet<TDockEdge, 4>;
enum TDockArea { daScreen, daWorkArea };

using TDockedEvent = std::function<void(TObject* Sender, TDockEdge Edge)>;

class TScreenDocker : public TComponent {
    VEK_DECLARE_CLASS(TScreenDocker, TComponent)

public:
    // Raises an exception when the owner is no form or has a docker.
    explicit TScreenDocker(TComponent* AOwner);
    ~TScreenDocker() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TDockEdges DockableTo() const { return FDockableTo; }
    void SetDockableTo(TDockEdges Value) { FDockableTo = Value; }
    TDockArea DockArea() const { return FDockArea; }
    void SetDockArea(TDockArea Value) { FDockArea = Value; }
    int DockDistance() const { return FDockDistance; }
    void SetDockDistance(int Value) { FDockDistance = Value < 0 ? 0 : Value; }
    TDockedEvent OnDocked;

    // The bounds the form snaps to when it is about to lie at R: the work
    // area or the whole screen holding R's centre.
    TRect DockBounds(const TRect& R) const;
    // Moves R (where the form is about to lie, in screen coordinates) to
    // the edges of Bounds it has come near; true when R changed.
    bool Dock(TRect& R, const TRect& Bounds);
    // The distance swallowed by the present snap, per axis.
    TPoint Delta() const { return FDelta; }

private:
    void WindowMoving(TMessage& Message);

    TPoint FDelta;
    bool FActive = true;
    TDockEdges FDockableTo = TDockEdges{deLeft, deTop, deRight, deBottom};
    TCustomForm* FOwnerForm = nullptr;
    TDockArea FDockArea = daWorkArea;
    int FDockDistance = 10;
    int FHook = 0;
};
