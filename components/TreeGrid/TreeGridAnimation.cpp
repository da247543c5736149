// Animations of TBaseTreeGrid: the paced steps of Animate, the rows sliding
// when a node opens or closes, and the picture following a column's resize.
// They move the back buffer's pixels and show each frame at once; the final
// picture comes from the repaint that follows them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace {

using TClock = std::chrono::steady_clock;

bool Terminating()
{
    return Application && Application->Terminated();
}

// What a toggle animation moves: Area (client coordinates) by Distance
// pixels in all, up or down.
struct TToggleAnimation {
    TRect Area;
    int Distance = 0;
    int Done = 0;
    bool Up = false;
};

}  // namespace

void TBaseTreeGrid::SetAnimationDuration(Cardinal Value)
{
    FAnimationDuration = Value;
    TTGAnimationOptions options = FOptions->AnimationOptions();
    if (Value != 0)
        options.Include(toAnimatedToggle);
    else
        options.Exclude(toAnimatedToggle);
    FOptions->SetAnimationOptions(options);
}

void TBaseTreeGrid::Animate(Cardinal Steps, Cardinal Duration, const TTGAnimationCallback& Callback, void* Data)
{
    if (FStates.Contains(tsInAnimation) || Duration == 0 || !Callback)
        return;
    DoStateChange({tsInAnimation});
    try {
        Cardinal stepSize = std::max<Cardinal>(1, Cardinal(std::lround(double(Steps) / Duration)));
        Cardinal callsLeft = Steps / stepSize;
        Cardinal remaining = Duration;
        Cardinal done = 0;
        while (callsLeft > 0 && remaining > 0 && !Terminating()) {
            const TClock::time_point start = TClock::now();
            if (!Callback(done, stepSize, Data))
                break;
            // Each call gets its share of the time that is left.
            const TClock::time_point due = start + std::chrono::milliseconds(remaining / callsLeft);
            while (TClock::now() < due)
                std::this_thread::sleep_until(due);
            const auto used = Cardinal(
                std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count());
            if (used >= remaining) {
                remaining = 0;
                callsLeft = 0;
            } else {
                remaining -= used;
                --callsLeft;
            }
            // Too little time for the calls left: fewer, larger steps. Only
            // while calls are left: the last one leaves nothing to divide.
            while (callsLeft > 0 && remaining / callsLeft == 0) {
                ++stepSize;
                callsLeft = remaining / stepSize;
            }
            done = Steps - std::min(Steps, callsLeft * stepSize);
        }
        if (!Terminating())
            Callback(0, 0, Data);
    } catch (...) {
        DoStateChange({}, {tsInAnimation});
        throw;
    }
    DoStateChange({}, {tsInAnimation});
}

// ---- toggling ----------------------------------------------------------------------

void TBaseTreeGrid::EraseLine(const TRect& Strip)
{
    if (!BackBuffer() || Strip.IsEmpty())
        return;
    TCanvas* canvas = BackBuffer()->Canvas();
    const int saved = canvas->SaveDC();
    const TPoint origin = ClientOffset();
    canvas->SetViewportOrg(origin.X, origin.Y);
    canvas->IntersectClipRect(Strip);
    if (FHeader->UseColumns()) {
        TTreeGridColumns* columns = FHeader->Columns();
        const int clientWidth = ClientWidth();
        for (TColumnIndex c = columns->GetFirstVisibleColumn(); c >= 0; c = columns->GetNextVisibleColumn(c)) {
            int left = 0;
            int right = 0;
            columns->GetColumnBounds(c, left, right);
            if (left >= clientWidth)
                break;
            const TTreeGridColumn* column = columns->Items(c);
            canvas->Brush()->SetColor(column->Options().Contains(coParentColor) ? Color() : column->Color());
            canvas->FillRect(TRect{left, Strip.Top, right, Strip.Bottom});
        }
    } else {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(Strip);
    }
    canvas->RestoreDC(saved);
    TRect shown = Strip;
    OffsetRect(shown, origin.X, origin.Y);
    PresentAreaNow(shown);
}

void TBaseTreeGrid::DoScrollUp(int Size, const TRect& Area)
{
    ScrollWindowEx(Handle(), 0, -Size, &Area, &Area, nullptr, nullptr, 0);
    EraseLine({Area.Left, Area.Bottom - Size, Area.Right, Area.Bottom});
    TRect shown = Area;
    const TPoint origin = ClientOffset();
    OffsetRect(shown, origin.X, origin.Y);
    PresentAreaNow(shown);
}

void TBaseTreeGrid::DoScrollDown(int Size, const TRect& Area)
{
    ScrollWindowEx(Handle(), 0, Size, &Area, &Area, nullptr, nullptr, 0);
    EraseLine({Area.Left, Area.Top, Area.Right, Area.Top + Size});
    TRect shown = Area;
    const TPoint origin = ClientOffset();
    OffsetRect(shown, origin.X, origin.Y);
    PresentAreaNow(shown);
}

bool TBaseTreeGrid::ToggleCallback(Cardinal, Cardinal StepSize, void* Data)
{
    auto& animation = *static_cast<TToggleAnimation*>(Data);
    // The last call moves what the time left over, so that the last frame
    // shows the rows where they end.
    const int size = StepSize == 0 ? animation.Distance - animation.Done
                                   : std::min(int(StepSize), animation.Distance - animation.Done);
    if (size <= 0)
        return false;
    if (animation.Up)
        DoScrollUp(size, animation.Area);
    else
        DoScrollDown(size, animation.Area);
    animation.Done += size;
    return animation.Done < animation.Distance;
}

// The rows below an opening node slide down to make room for its children,
// those below a closing one slide up over them; a tree scrolled to its end
// moves the rows above down instead when toAdvancedAnimatedToggle asks for
// it, as the closed tree will show them. True when anything moved.
bool TBaseTreeGrid::AnimateToggle(TGridNode* Node, bool Expanding, int ChildrenHeight)
{
    if (!HandleAllocated() || !BackBuffer() || FUpdateCount > 0 || ChildrenHeight <= 0 ||
        !FOptions->AnimationOptions().Contains(toAnimatedToggle))
        return false;
    const TRect row = GetDisplayRect(Node, NoColumn, false);
    const TRect client = ClientRect();
    if (row.IsEmpty() || row.Bottom <= 0 || row.Top >= client.Bottom)
        return false;
    TToggleAnimation animation;
    animation.Area = {client.Left, std::max(0, row.Bottom), client.Right, client.Bottom};
    animation.Up = !Expanding;
    animation.Distance = std::min(ChildrenHeight, client.Bottom - std::max(0, row.Bottom));
    if (!Expanding && FOptions->AnimationOptions().Contains(toAdvancedAnimatedToggle) &&
        FOffsetY < 0 && FOffsetY <= client.Height() - int(FRangeY)) {
        animation.Area = {client.Left, client.Top, client.Right, std::min(row.Bottom, client.Bottom)};
        animation.Up = false;
        animation.Distance = std::min(ChildrenHeight, -FOffsetY);
    }
    if (animation.Distance <= 0 || animation.Area.IsEmpty())
        return false;
    FStates.Exclude(tsHint);
    Animate(Cardinal(animation.Distance), FAnimationDuration,
        [this](Cardinal Step, Cardinal Size, void* Data) { return ToggleCallback(Step, Size, Data); }, &animation);
    return animation.Done > 0;
}

// ---- resizing a column ---------------------------------------------------------------

// The columns right of Column slide along in 32 steps while the width goes
// from OldWidth to NewWidth, in the header strip and the client area alike;
// the gap the move opens is filled with the tree's colour.
void TBaseTreeGrid::AnimateColumnResize(TColumnIndex Column, int OldWidth, int NewWidth)
{
    const int step = (NewWidth - OldWidth) / 32;
    if (!HandleAllocated() || !BackBuffer() || step == 0)
        return;
    int left = 0;
    int right = 0;
    FHeader->Columns()->GetColumnBounds(Column, left, right);
    const TPoint origin = ClientOffset();
    const int clientLeft = origin.X;
    const int clientRight = origin.X + ClientWidth();
    const int edge = origin.X + right;
    TCanvas* canvas = BackBuffer()->Canvas();
    const int saved = canvas->SaveDC();
    canvas->SetViewportOrg(0, 0);
    canvas->Brush()->SetColor(Color());
    // Window coordinates: the header strip and the client area.
    const int bands[2][2] = {{FHeaderRect.Top, FHeaderRect.Bottom}, {origin.Y, origin.Y + ClientHeight()}};
    for (int i = 0; i < 32; ++i) {
        const int from = std::max(clientLeft + left, edge + i * step);
        if (from >= clientRight)
            break;
        for (const auto& band : bands) {
            if (band[1] <= band[0])
                continue;
            const TRect scroll{from, band[0], clientRight, band[1]};
            const TRect clip{clientLeft, band[0], clientRight, band[1]};
            TRegion uncovered;
            ScrollDC(canvas, step, 0, &scroll, &clip, &uncovered, nullptr);
            for (const TRect& r : uncovered.Rects())
                canvas->FillRect(r);
            PresentAreaNow(clip);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    canvas->RestoreDC(saved);
}
