#pragma once
// The string grid: a table of texts with fixed rows and columns, a current
// cell, per-column and per-row sizes and owner drawing.
//
// Cells live in the grid's own table, which follows ColCount and RowCount:
// growing keeps every text, shrinking drops what falls off.
#include <functional>
#include <map>
#include <vector>

#include "platform/Controls.h"
#include "platform/StringList.h"

VEK_EXCEPTION_KIND(EInvalidGridOperation, Exception)

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem, 8>;

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption, 16>;

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;

class TStringGrid : public TCustomControl {
    VEK_DECLARE_CLASS(TStringGrid, TCustomControl)

public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    int ColCount() const { return FColCount; }
    // At least 1, and more than FixedCols; EInvalidGridOperation otherwise.
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    // Less than ColCount; EInvalidGridOperation otherwise.
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // A cell outside the grid reads as empty; writing one raises
    // EInvalidGridOperation.
    String Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const String& Value);
    // Copies of one column's or row's texts; setting one fills from the
    // list's first entries and empties the rest.
    std::vector<String> Cols(int Index) const;
    void SetCols(int Index, const TStrings& Value);
    std::vector<String> Rows(int Index) const;
    void SetRows(int Index, const TStrings& Value);
    // A number kept with a cell beside its text; 0 when none was set or the
    // cell lies outside the grid.
    NativeInt Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, NativeInt Value);

    int DefaultColWidth() const { return FDefaultColWidth; }
    // Sets every column to the width.
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value) { FOptions = Value; Invalidate(); }

    // The current cell. Setting it by code asks OnSelectCell, as the user's
    // moves do; a refused or outside cell leaves it where it was.
    int Col() const { return FCol; }
    void SetCol(int Value) { FocusCell(Value, FRow); }
    int Row() const { return FRow; }
    void SetRow(int Value) { FocusCell(FCol, Value); }
    bool FocusCell(int ACol, int ARow);
    TGridRect Selection() const { return {FCol, FRow, FCol, FRow}; }
    // The first scrollable column and row shown.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // How many scrollable columns and rows fit entirely.
    int VisibleColCount();
    int VisibleRowCount();

    // The cell's rectangle (client coordinates, without the grid line);
    // empty when the cell is not shown.
    TRect CellRect(int ACol, int ARow);
    // The cell at (X, Y); false when none.
    bool MouseToCell(int X, int Y, int& ACol, int& ARow);

    // On: the grid draws each cell's text, then OnDrawCell may draw over it.
    // Off: OnDrawCell alone draws the cells that are not fixed.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; Invalidate(); }

    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Paint() override;
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);

private:
    void Resize(int NewCols, int NewRows);
    void ClampCurrent();
    void ScrollInView(int ACol, int ARow);
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    int FCol = 1;
    int FRow = 1;
    int FLeftCol = 1;
    int FTopRow = 1;
    bool FDefaultDrawing = true;
    TGridOptions FOptions;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    // Row-major: FCells[row][col].
    std::vector<std::vector<String>> FCells;
    std::map<std::pair<int, int>, NativeInt> FObjects;
};
