#pragma once
// A colour legend: one swatch and name per entry of a table's colouring
// column, in a row. One entry may be framed (the focused row's), its swatch
// flashing with the selected bars; a click on a swatch is reported.
#include <functional>
#include <vector>

#include "views/CanvasPanel.h"

class TColorLegend : public TCanvasPanel {
    VEK_DECLARE_CLASS(TColorLegend, TCanvasPanel)
public:
    explicit TColorLegend(TComponent* AOwner);

    // Shows the entries; the panel takes the width they need.
    void SetEntries(const std::vector<String>& Names, const std::vector<TColor>& Colors);
    int EntryCount() const { return int(FNames.size()); }
    const String& EntryName(int Index) const { return FNames[std::size_t(Index)]; }
    TColor EntryColor(int Index) const { return FColors[std::size_t(Index)]; }
    // The framed entry (-1: none) and how far its swatch is faded towards
    // its contrast colour (percent).
    void SetFocusedEntry(int Index);
    int FocusedEntry() const { return FFocused; }
    void SetFlashPercent(int Percent);
    // Client rectangles of an entry's swatch and of the whole entry.
    TRect SwatchRect(int Index);
    TRect EntryRect(int Index);
    // The entry whose swatch holds the point; -1 when none.
    int SwatchAt(int X, int Y);

    std::function<void(int Entry)> OnSwatchClick;

    static constexpr int SwatchSize = 14;
    static constexpr int Gap = 4;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void Layout();
    void PaintLegend();
    std::vector<String> FNames;
    std::vector<TColor> FColors;
    // The left edge of each entry and its width.
    std::vector<std::pair<int, int>> FPlaces;
    int FFocused = -1;
    int FFlashPercent = 0;
};
