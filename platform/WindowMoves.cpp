// Top-level windows moved from outside the program: by the window manager,
// the user or the toolkit. Left and Top are the frame's outer corner; the
// client area lies the frame offset further in.
#include <algorithm>

#include <QGuiApplication>
#include <QWidget>

#include "platform/ControlsPrivate.h"
#include "platform/QtWidgetHost.h"

bool WindowPositionsReported()
{
    return !QGuiApplication::platformName().startsWith("wayland");
}

void TWinControl::HostMoved()
{
    if (FParent || !FHost || !WindowPositionsReported())
        return;
    const QRect frame = FHost->frameGeometry();
    const QPoint client = FHost->geometry().topLeft();
    const TPoint corner{frame.x(), frame.y()};
    FFrameOffset = TPoint{client.x(), client.y()} - corner;
    // A corner this program asked for: its own move arriving, perhaps late.
    const auto asked = std::find(FMovesAsked.begin(), FMovesAsked.end(), corner);
    if (asked != FMovesAsked.end()) {
        FMovesAsked.erase(FMovesAsked.begin(), asked + 1);
        return;
    }
    const TPoint place{FLeft, FTop};
    if (corner == place)
        return;  // only the frame changed
    if (TPoint{client.x(), client.y()} == place && FFrameOffset != TPoint{}) {
        // The client went where the frame was asked for, the frame's size
        // being unknown before the window was shown: once more, now known.
        FMovesAsked.push_back(place);
        FHost->move(FLeft, FTop);
        return;
    }
    FMovesAsked.clear();
    // A move from outside. The handler may put the window elsewhere.
    TRect r(corner.X, corner.Y, corner.X + frame.width(), corner.Y + frame.height());
    const TPoint proposed = r.TopLeft();
    Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    FLeft = r.Left;
    FTop = r.Top;
    if (r.TopLeft() != proposed)
        UpdateHostGeometry();
    const TPoint origin = ClientOrigin();
    Perform(WM_MOVE, 0, PointToLParam(origin));
}
