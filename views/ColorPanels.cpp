// The state and absence colours on the main tool bar: a legend per table
// whose swatches open the colour picker.
#include <algorithm>

#include "components/ColorPickerPopup.h"
#include "document/CommaText.h"
#include "platform/ComCtrls.h"
#include "views/ColorLegend.h"
#include "views/PlannerForm.h"

void TPlannerForm::CreateColorPanels(TWinControl* Bar)
{
    for (TWhichTable table : {tbTable, tbExclude}) {
        auto* legend = Create<TColorLegend>(this);
        legend->SetName(table == tbTable ? "StateColorPanel" : "HolidayColorPanel");
        legend->SetHint(table == tbTable ? "Colours of the task states" : "Colours of the absent reasons");
        legend->SetBounds(Bar->ClientWidth(), 0, 10, 22);
        legend->SetParent(Bar);
        legend->OnSwatchClick = [this, table](int Entry) { ColorPanelClick(table, Entry); };
        (table == tbTable ? StateColorPanel : HolidayColorPanel) = legend;
    }
    UpdateColorPanels();
}

std::vector<TColor>& TPlannerForm::EntryColors(TWhichTable Table)
{
    return Table == tbExclude ? FHolidayColors : FStateColors;
}

void TPlannerForm::UpdateColorPanels()
{
    const TWhichTable active = GetActiveTable();
    for (TWhichTable table : {tbTable, tbExclude}) {
        TColorLegend* legend = table == tbTable ? StateColorPanel : HolidayColorPanel;
        if (!legend)
            continue;
        std::vector<String> names;
        const int column = GetConnection(table, cnColor);
        if (column >= 0)
            if (TStringList* entries = GetColumnStrings(table, column))
                for (int i = 0; i < entries->Count(); ++i)
                    names.push_back(CommaTextItem(entries->Get(i), 0));
        std::vector<TColor> colors = EntryColors(table);
        FillUpColors(colors, int(names.size()));
        legend->SetEntries(names, colors);
        int focused = -1;
        if (table == active)
            if (TStringTreeGrid* tree = GetTable(table))
                if (TNodeData* row = NodeToRow(tree, tree->FocusedNode()))
                    focused = GetDataIndex_(row, cnColor);
        legend->SetFocusedEntry(focused);
        legend->SetFlashPercent(table == active ? FlashPercent[FlashSelectedTimer->Tag() % 7] : 0);
    }
}

void TPlannerForm::ColorPanelClick(TWhichTable Table, int Entry)
{
    TColorLegend* legend = Table == tbTable ? StateColorPanel : HolidayColorPanel;
    if (!legend || Entry < 0 || Entry >= legend->EntryCount())
        return;
    if (!ColorPickerPopup)
        ColorPickerPopup = new TColorPickerPopup(nullptr);
    const TRect swatch = legend->SwatchRect(Entry);
    const TPoint topLeft = legend->ClientToScreen(TPoint{swatch.Left, swatch.Top});
    const TPoint bottomRight = legend->ClientToScreen(TPoint{swatch.Right, swatch.Bottom});
    ColorPickerPopup->DestRect = TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
    ColorPickerPopup->SetSelectionColor(legend->EntryColor(Entry));
    if (ColorPickerPopup->Popup() == mrOk)
        SetEntryColor(Table, Entry, ColorPickerPopup->SelectionColor());
}

void TPlannerForm::SetEntryColor(TWhichTable Table, int Entry, TColor Color)
{
    if (Entry < 0)
        return;
    std::vector<TColor>& colors = EntryColors(Table);
    if (Entry < int(colors.size()) && colors[std::size_t(Entry)] == Color)
        return;
    PushUndoSnapshot();
    FillUpColors(colors, std::max(int(colors.size()), Entry + 1));
    colors[std::size_t(Entry)] = Color;
    SetFileChanged(true);
    ForEach(Table, feAll, 0, [this](TNodeData* Row, NativeInt) { Row->RecalcBitmap = true; });
    InvalidateTimeChart(true);
    UpdateColorPanels();
}
