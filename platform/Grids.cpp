// The string grid.
#include "platform/Grids.h"

#include <algorithm>

#include "platform/Graphics.h"

namespace {

// Sizes beyond this are refused: a table of texts this large is a fault in
// the caller, not a grid to draw.
constexpr long long MaxCells = 16 * 1024 * 1024;

[[noreturn]] void GridError(const String& What) { throw EInvalidGridOperation(What); }

}  // namespace

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clWindow;
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    FOptions = {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    FColWidths.assign(std::size_t(FColCount), FDefaultColWidth);
    FRowHeights.assign(std::size_t(FRowCount), FDefaultRowHeight);
    FCells.assign(std::size_t(FRowCount), std::vector<String>(std::size_t(FColCount)));
    SetBounds(0, 0, 320, 120);
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::Resize(int NewCols, int NewRows)
{
    if ((long long)NewCols * NewRows > MaxCells)
        GridError("Grid too large");
    FColWidths.resize(std::size_t(NewCols), FDefaultColWidth);
    FRowHeights.resize(std::size_t(NewRows), FDefaultRowHeight);
    FCells.resize(std::size_t(NewRows));
    for (auto& row : FCells)
        row.resize(std::size_t(NewCols));
    FColCount = NewCols;
    FRowCount = NewRows;
    ClampCurrent();
    Invalidate();
}

void TStringGrid::ClampCurrent()
{
    FCol = std::clamp(FCol, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    FRow = std::clamp(FRow, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    FLeftCol = std::clamp(FLeftCol, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    FTopRow = std::clamp(FTopRow, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
}

void TStringGrid::SetColCount(int Value)
{
    if (Value < 1 || Value <= FFixedCols)
        GridError("Fixed column count must be less than column count");
    if (Value != FColCount)
        Resize(Value, FRowCount);
}

void TStringGrid::SetRowCount(int Value)
{
    if (Value < 1 || Value <= FFixedRows)
        GridError("Fixed row count must be less than row count");
    if (Value != FRowCount)
        Resize(FColCount, Value);
}

void TStringGrid::SetFixedCols(int Value)
{
    if (Value < 0 || Value >= FColCount)
        GridError("Fixed column count must be less than column count");
    FFixedCols = Value;
    ClampCurrent();
    Invalidate();
}

void TStringGrid::SetFixedRows(int Value)
{
    if (Value < 0 || Value >= FRowCount)
        GridError("Fixed row count must be less than row count");
    FFixedRows = Value;
    ClampCurrent();
    Invalidate();
}

String TStringGrid::Cells(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return {};
    return FCells[std::size_t(ARow)][std::size_t(ACol)];
}

NativeInt TStringGrid::Objects(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return 0;
    const auto it = FObjects.find({ACol, ARow});
    return it == FObjects.end() ? 0 : it->second;
}

void TStringGrid::SetObjects(int ACol, int ARow, NativeInt Value)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        GridError("Grid index out of range");
    if (Value == 0)
        FObjects.erase({ACol, ARow});
    else
        FObjects[{ACol, ARow}] = Value;
}

void TStringGrid::SetCells(int ACol, int ARow, const String& Value)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        GridError("Grid index out of range");
    FCells[std::size_t(ARow)][std::size_t(ACol)] = Value;
    TRect r = CellRect(ACol, ARow);
    if (!r.IsEmpty())
        InvalidateRect(r);
}

std::vector<String> TStringGrid::Cols(int Index) const
{
    std::vector<String> out;
    if (Index < 0 || Index >= FColCount)
        return out;
    for (const auto& row : FCells)
        out.push_back(row[std::size_t(Index)]);
    return out;
}

void TStringGrid::SetCols(int Index, const TStrings& Value)
{
    if (Index < 0 || Index >= FColCount)
        GridError("Grid index out of range");
    for (int r = 0; r < FRowCount; ++r)
        FCells[std::size_t(r)][std::size_t(Index)] = r < Value.Count() ? Value.Get(r) : String();
    Invalidate();
}

std::vector<String> TStringGrid::Rows(int Index) const
{
    if (Index < 0 || Index >= FRowCount)
        return {};
    return FCells[std::size_t(Index)];
}

void TStringGrid::SetRows(int Index, const TStrings& Value)
{
    if (Index < 0 || Index >= FRowCount)
        GridError("Grid index out of range");
    auto& row = FCells[std::size_t(Index)];
    for (int c = 0; c < FColCount; ++c)
        row[std::size_t(c)] = c < Value.Count() ? Value.Get(c) : String();
    Invalidate();
}

void TStringGrid::SetDefaultColWidth(int Value)
{
    FDefaultColWidth = std::max(Value, 0);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int Value)
{
    FDefaultRowHeight = std::max(Value, 0);
    std::fill(FRowHeights.begin(), FRowHeights.end(), FDefaultRowHeight);
    Invalidate();
}

int TStringGrid::ColWidths(int Index) const
{
    return Index >= 0 && Index < FColCount ? FColWidths[std::size_t(Index)] : FDefaultColWidth;
}

void TStringGrid::SetColWidths(int Index, int Value)
{
    if (Index < 0 || Index >= FColCount)
        GridError("Grid index out of range");
    FColWidths[std::size_t(Index)] = std::max(Value, 0);
    Invalidate();
}

int TStringGrid::RowHeights(int Index) const
{
    return Index >= 0 && Index < FRowCount ? FRowHeights[std::size_t(Index)] : FDefaultRowHeight;
}

void TStringGrid::SetRowHeights(int Index, int Value)
{
    if (Index < 0 || Index >= FRowCount)
        GridError("Grid index out of range");
    FRowHeights[std::size_t(Index)] = std::max(Value, 0);
    Invalidate();
}

void TStringGrid::SetGridLineWidth(int Value)
{
    FGridLineWidth = std::clamp(Value, 0, 16);
    Invalidate();
}

bool TStringGrid::FocusCell(int ACol, int ARow)
{
    if (ACol < FFixedCols || ARow < FFixedRows || ACol >= FColCount || ARow >= FRowCount)
        return false;
    if (ACol == FCol && ARow == FRow)
        return true;
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    if (!can)
        return false;
    FCol = ACol;
    FRow = ARow;
    ScrollInView(ACol, ARow);
    Invalidate();
    return true;
}

void TStringGrid::SetLeftCol(int Value)
{
    FLeftCol = std::clamp(Value, std::min(FFixedCols, FColCount - 1), FColCount - 1);
    Invalidate();
}

void TStringGrid::SetTopRow(int Value)
{
    FTopRow = std::clamp(Value, std::min(FFixedRows, FRowCount - 1), FRowCount - 1);
    Invalidate();
}

int TStringGrid::VisibleColCount()
{
    int x = 0;
    for (int c = 0; c < FFixedCols; ++c)
        x += ColWidths(c) + FGridLineWidth;
    int n = 0;
    for (int c = FLeftCol; c < FColCount; ++c) {
        x += ColWidths(c) + FGridLineWidth;
        if (x > ClientWidth())
            break;
        ++n;
    }
    return n;
}

int TStringGrid::VisibleRowCount()
{
    int y = 0;
    for (int r = 0; r < FFixedRows; ++r)
        y += RowHeights(r) + FGridLineWidth;
    int n = 0;
    for (int r = FTopRow; r < FRowCount; ++r) {
        y += RowHeights(r) + FGridLineWidth;
        if (y > ClientHeight())
            break;
        ++n;
    }
    return n;
}

void TStringGrid::ScrollInView(int ACol, int ARow)
{
    if (ACol < FLeftCol)
        FLeftCol = ACol;
    else
        while (ACol >= FLeftCol + std::max(1, VisibleColCount()) && FLeftCol < ACol)
            ++FLeftCol;
    if (ARow < FTopRow)
        FTopRow = ARow;
    else
        while (ARow >= FTopRow + std::max(1, VisibleRowCount()) && FTopRow < ARow)
            ++FTopRow;
}

TRect TStringGrid::CellRect(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return {};
    if ((ACol >= FFixedCols && ACol < FLeftCol) || (ARow >= FFixedRows && ARow < FTopRow))
        return {};
    // The walks stop once past the client area, so a cell far below the
    // shown ones costs no more than one just below them.
    const int width = ClientWidth();
    const int height = ClientHeight();
    int x = 0;
    for (int c = 0; c < FFixedCols && c < ACol && x < width; ++c)
        x += ColWidths(c) + FGridLineWidth;
    if (ACol >= FFixedCols)
        for (int c = FLeftCol; c < ACol && x < width; ++c)
            x += ColWidths(c) + FGridLineWidth;
    int y = 0;
    for (int r = 0; r < FFixedRows && r < ARow && y < height; ++r)
        y += RowHeights(r) + FGridLineWidth;
    if (ARow >= FFixedRows)
        for (int r = FTopRow; r < ARow && y < height; ++r)
            y += RowHeights(r) + FGridLineWidth;
    if (x >= width || y >= height)
        return {};
    return {x, y, x + ColWidths(ACol), y + RowHeights(ARow)};
}

bool TStringGrid::MouseToCell(int X, int Y, int& ACol, int& ARow)
{
    ACol = -1;
    ARow = -1;
    if (X < 0 || Y < 0)
        return false;
    auto find = [&](int P, int Fixed, int First, int Count, auto Size) {
        int edge = 0;
        for (int i = 0; i < Fixed; ++i) {
            edge += Size(i) + FGridLineWidth;
            if (P < edge)
                return i;
        }
        for (int i = First; i < Count; ++i) {
            edge += Size(i) + FGridLineWidth;
            if (P < edge)
                return i;
        }
        return -1;
    };
    ACol = find(X, FFixedCols, FLeftCol, FColCount, [this](int i) { return ColWidths(i); });
    ARow = find(Y, FFixedRows, FTopRow, FRowCount, [this](int i) { return RowHeights(i); });
    return ACol >= 0 && ARow >= 0;
}

void TStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && HandleAllocated())
            SetFocus();
        int col = 0, row = 0;
        if (MouseToCell(X, Y, col, row))
            FocusCell(col, row);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TStringGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int col = FCol, row = FRow;
    int page = std::max(1, VisibleRowCount());
    switch (Key) {
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME: Shift.Contains(ssCtrl) ? (void)(row = FFixedRows) : (void)(col = FFixedCols); break;
    case VK_END: Shift.Contains(ssCtrl) ? (void)(row = FRowCount - 1) : (void)(col = FColCount - 1); break;
    case VK_TAB:
        if (!FOptions.Contains(goTabs))
            return;
        col += Shift.Contains(ssShift) ? -1 : 1;
        break;
    default: return;
    }
    Key = 0;
    col = std::clamp(col, FFixedCols, FColCount - 1);
    row = std::clamp(row, FFixedRows, FRowCount - 1);
    FocusCell(col, row);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (!FDefaultDrawing && !AState.Contains(gdFixed)) {
        if (OnDrawCell)
            OnDrawCell(this, ACol, ARow, ARect, AState);
        return;
    }
    TCanvas* c = Canvas();
    bool selected = AState.Contains(gdSelected);
    c->Brush()->SetColor(AState.Contains(gdFixed) ? clBtnFace : selected ? clHighlight : Color());
    c->FillRect(ARect);
    c->Font()->SetColor(selected ? clHighlightText : clWindowText);
    TRect text = ARect;
    text.Left += 2;
    c->Brush()->SetStyle(bsClear);
    c->DrawText(Cells(ACol, ARow), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
    if (FDefaultDrawing && OnDrawCell && !AState.Contains(gdFixed))
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TStringGrid::Paint()
{
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    c->Brush()->SetColor(FGridLineWidth > 0 ? clBtnShadow : Color());
    c->FillRect(client);
    auto paintRow = [&](int Row) {
        auto paintCell = [&](int Col) {
            TRect r = CellRect(Col, Row);
            if (r.IsEmpty())
                return;
            TGridDrawState state;
            if (Col < FFixedCols || Row < FFixedRows)
                state.Include(gdFixed);
            else if ((Col == FCol || FOptions.Contains(goRowSelect)) && Row == FRow) {
                state.Include(gdSelected);
                if (Focused())
                    state.Include(gdFocused);
            }
            DrawCell(Col, Row, r, state);
        };
        for (int col = 0; col < FFixedCols; ++col)
            paintCell(col);
        for (int col = FLeftCol; col < FColCount; ++col) {
            if (CellRect(col, Row).IsEmpty())
                break;
            paintCell(col);
        }
    };
    for (int row = 0; row < FFixedRows; ++row)
        paintRow(row);
    for (int row = FTopRow; row < FRowCount; ++row) {
        if (CellRect(FCol, row).IsEmpty() && CellRect(0, row).IsEmpty())
            break;
        paintRow(row);
    }
}
