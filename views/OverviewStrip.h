#pragma once
// The overview strip's drawing kept between paints. Drawing the whole plan
// small is costly, while most paints of the strip only move its slider: the
// strip is drawn into a picture, and only what changed (a row's bar, or all
// of it when the strip's size, range or rows change) is drawn anew.
#include <functional>
#include <memory>

#include "platform/Regions.h"
#include "platform/Types.h"

class TBitmap;
class TCanvas;

class TOverviewPicture {
public:
    // What the whole drawing depends on: a change of any of it draws the
    // whole strip anew.
    struct TKey {
        int Width = 0;
        int Height = 0;
        double MinDate = 0;
        double MaxDate = 0;
        int Rows = 0;
        int RowHeight = 0;  // the chart's, which thins the strip's outlines
        friend bool operator==(const TKey&, const TKey&) = default;
    };

    TOverviewPicture();
    ~TOverviewPicture();
    TOverviewPicture(const TOverviewPicture&) = delete;
    TOverviewPicture& operator=(const TOverviewPicture&) = delete;

    void InvalidateAll() { FAll = true; }
    void Invalidate(const TRect& R);
    // Brings the picture up to date for Key: Draw is called on its canvas,
    // clipped to what must be drawn anew and filled with the background
    // there, when anything must. The picture, Key's size.
    TBitmap* Update(const TKey& Key, TColor Background, const std::function<void(TCanvas*)>& Draw);
    // Whether the next Update draws anything.
    bool Stale(const TKey& Key) const { return FAll || !(Key == FKey) || !FDirty.IsEmpty(); }

private:
    std::unique_ptr<TBitmap> FPicture;
    TKey FKey;
    bool FAll = true;
    TRegion FDirty;
};
