#include "components/ScreenDocker.h"

#include <cstdlib>
#include <vector>

#include "platform/Exceptions.h"

TScreenDocker::TScreenDocker(TComponent* AOwner) : TComponent(AOwner)
{
    FOwnerForm = dynamic_cast<TCustomForm*>(AOwner);
    if (!FOwnerForm)
        throw Exception("TScreenDocker can only be placed on a TForm.");
    for (int i = 0; i < FOwnerForm->ComponentCount(); ++i) {
        TComponent* c = FOwnerForm->Components(i);
        if (c != this && Is<TScreenDocker>(c))
            throw Exception("Only one instance of TScreenDocker is allowed per form.");
    }
    FHook = AddWndProcHook(FOwnerForm, [this](TMessage& Message, const TWndMethod& Next) {
        Next(Message);
        if (Message.Msg == WM_MOVING)
            WindowMoving(Message);
    });
}

TScreenDocker::~TScreenDocker()
{
    if (FHook && FOwnerForm)
        RemoveWndProcHook(FOwnerForm, FHook);
}

TRect TScreenDocker::DockBounds(const TRect& R) const
{
    const TPoint centre{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    return FDockArea == daScreen ? Screen->MonitorRect(centre) : Screen->MonitorWorkAreaRect(centre);
}

bool TScreenDocker::Dock(TRect& R, const TRect& Bounds)
{
    const TRect proposed = R;
    // Where the pointer would have the form without the present snap.
    const TRect r(R.Left + FDelta.X, R.Top + FDelta.Y, R.Right + FDelta.X, R.Bottom + FDelta.Y);
    const int width = r.Width();
    const int height = r.Height();
    const int d = FDockDistance;
    std::vector<TDockEdge> docked;

    int x = r.Left;
    if (FDockableTo.Contains(deLeft) && std::abs(r.Left - Bounds.Left) <= d) {
        x = Bounds.Left;
        docked.push_back(deLeft);
    } else if (FDockableTo.Contains(deRight) && std::abs(r.Right - Bounds.Right) <= d) {
        x = Bounds.Right - width;
        docked.push_back(deRight);
    }
    int y = r.Top;
    if (FDockableTo.Contains(deTop) && std::abs(r.Top - Bounds.Top) <= d) {
        y = Bounds.Top;
        docked.push_back(deTop);
    } else if (FDockableTo.Contains(deBottom) && std::abs(r.Bottom - Bounds.Bottom) <= d) {
        y = Bounds.Bottom - height;
        docked.push_back(deBottom);
    }
    // A snapped axis keeps what it swallowed; a free one lets go of it.
    FDelta = {r.Left - x, r.Top - y};
    R = TRect(x, y, x + width, y + height);
    for (TDockEdge e : docked)
        if (OnDocked)
            OnDocked(this, e);
    return !(R == proposed);
}

void TScreenDocker::WindowMoving(TMessage& Message)
{
    auto* r = reinterpret_cast<TRect*>(Message.LParam);
    if (!FActive || !r)
        return;
    if (Dock(*r, DockBounds(*r)))
        Message.Result = 1;
}
