// The handlers both tables share: their texts and cell painting, the
// comparison of rows, header clicks, selection changes, and the sort by
// several columns.
#include <algorithm>

#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "platform/ComCtrls.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"
#include "views/DrawingHelpers.h"
#include "views/PlannerForm.h"

namespace {

// The cells of the columns that place a row on the chart.
constexpr TColor RoleCellColor = 0x00F0E4CC;

}  // namespace

// ---- the selection list ------------------------------------------------------------

void TSelectedRows::Add(TNodeData* Row)
{
    if (!Row || FIndex.count(Row))
        return;
    FIndex.emplace(Row, FRows.size());
    FRows.push_back(Row);
}

void TSelectedRows::Remove(TNodeData* Row)
{
    auto it = FIndex.find(Row);
    if (it == FIndex.end())
        return;
    const std::size_t at = it->second;
    FIndex.erase(it);
    if (at + 1 != FRows.size()) {
        FRows[at] = FRows.back();
        FIndex[FRows[at]] = at;
    }
    FRows.pop_back();
}

void TSelectedRows::Clear()
{
    FRows.clear();
    FIndex.clear();
}

// ---- texts and painting ----------------------------------------------------------------

void TPlannerForm::StringTreeGridGetText(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column, String& CellText)
{
    (void)Node;
    if (Column < 0) {
        CellText.clear();
        return;
    }
    if (GetColumnType(GetTable(Sender), Column) == TColumnType::ctCheckBox)
        CellText = Translate(CellText == "Ja" ? "yes" : "no");
}

void TPlannerForm::StringTreeGridPaintText(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node)
{
    TNodeData* row = NodeToRow(Sender, Node);
    if (!row)
        return;
    TFont* font = TargetCanvas->Font();
    if (GetNodeIsOverlapping(row))
        font->SetColor(clRed);
    TFontStyles style = font->Style();
    if (!GetNodeValid(row))
        style.Include(fsItalic);
    if (Sender->Selected(Node))
        style.Include(fsBold);
    font->SetStyle(style);
}

void TPlannerForm::StringTreeGridBeforeCellPaint(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TColumnIndex Column,
    const TRect& CellRect)
{
    if (Column < 0)
        return;
    const TWhichTable table = GetTable(Sender);
    for (TConnection role : {cnPosition, cnStart, cnEnd, cnLength, cnColor})
        if (GetConnection(table, role) == Column) {
            TargetCanvas->Brush()->SetColor(RoleCellColor);
            TargetCanvas->Pen()->SetColor(RoleCellColor);
            TargetCanvas->FillRect(CellRect);
            return;
        }
}

void TPlannerForm::StringTreeGridAfterCellPaint(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    const TRect& CellRect)
{
    TNodeData* row = NodeToRow(Sender, Node);
    if (row && !GetNodeValid(row))
        SnakeLine(TargetCanvas, CellRect.Left, CellRect.Bottom - 1, CellRect.Right - CellRect.Left, 0);
}

// ---- comparing rows ----------------------------------------------------------------------

double TPlannerForm::SortNumber(TColumnType Type, const String& Text) const
{
    if (Type == ctDate) {
        try {
            return StrToDateTime(Text);
        } catch (...) {
            return 0;
        }
    }
    double value = 0;
    return TryStrToFloat(Text, value) ? value : 0;
}

int TPlannerForm::CompareCells(TWhichTable Table, TNodeData* Row1, TNodeData* Row2, int Column, TColumnType Type)
{
    (void)Table;
    String a, b;
    try {
        a = GetData(Row1, Column);
    } catch (...) {
    }
    try {
        b = GetData(Row2, Column);
    } catch (...) {
    }
    if (Type == ctDate || Type == ctNumber) {
        const double x = SortNumber(Type, a), y = SortNumber(Type, b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int r = CompareText(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void TPlannerForm::StringTreeGridCompareNodes(TBaseTreeGrid* Sender, TGridNode* Node1, TGridNode* Node2,
    TColumnIndex Column, int& Result)
{
    Result = 0;
    if (Column < 0)
        return;
    TNodeData* row1 = NodeToRow(Sender, Node1);
    TNodeData* row2 = NodeToRow(Sender, Node2);
    if (!row1 || !row2)
        return;
    const bool valid1 = GetNodeValid(row1), valid2 = GetNodeValid(row2);
    const TWhichTable table = GetTable(Sender);
    if (FSortValues.empty()) {
        const bool ascending = Sender->Header()->SortDirection() == sdAscending;
        if (valid1 && !valid2)
            Result = ascending ? 1 : -1;
        else if (!valid1 && valid2)
            Result = ascending ? -1 : 1;
        else
            Result = CompareCells(table, row1, row2, Column, GetColumnType(table, Column));
        return;
    }
    // Several keys in one pass: rows that are not valid come first, then
    // each key in turn decides in its own direction. The tree turns the
    // whole result round for a descending main key, so it is turned here
    // first.
    if (valid1 != valid2) {
        Result = (valid1 ? 1 : -1) * FSortSign;
        return;
    }
    for (const TSortColumnValues& key : FSortValues) {
        int r;
        if (!key.Numbers.empty() && Node1->Index < key.Numbers.size() && Node2->Index < key.Numbers.size()) {
            const double x = key.Numbers[Node1->Index], y = key.Numbers[Node2->Index];
            r = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            r = CompareCells(table, row1, row2, key.Column, key.Type);
        }
        if (r != 0) {
            Result = r * key.Sign * FSortSign;
            return;
        }
    }
}

// ---- sorting ---------------------------------------------------------------------------------

void TPlannerForm::SortByKeys(TWhichTable Table, const std::vector<int>& Keys)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree || Keys.empty())
        return;
    // The header shows the main key; the keys' order among themselves is
    // kept in one stable sort.
    for (auto it = Keys.rbegin(); it != Keys.rend(); ++it) {
        tree->Header()->SetSortColumn(SortKeyColumn(*it));
        tree->Header()->SetSortDirection(SortKeyDescending(*it) ? sdDescending : sdAscending);
    }
    const int count = GetTableColCount(Table);
    std::vector<TGridNode*> nodes;
    TGridNode* root = tree->RootNode();
    for (TGridNode* n = root->FirstChild; n; n = n->NextSibling)
        nodes.push_back(n);
    std::vector<TSortColumnValues> values;
    for (int key : Keys) {
        TSortColumnValues v;
        v.Column = SortKeyColumn(key);
        if (v.Column < 0 || v.Column >= count)
            continue;
        v.Sign = SortKeyDescending(key) ? -1 : 1;
        v.Type = GetColumnType(Table, v.Column);
        if (v.Type == ctDate || v.Type == ctNumber) {
            // By the nodes' sibling index, which the sort leaves alone until
            // it is done.
            v.Numbers.assign(nodes.size(), 0);
            for (std::size_t i = 0; i < nodes.size(); ++i) {
                if (nodes[i]->Index != i) {
                    v.Numbers.clear();
                    break;
                }
                if (TNodeData* row = NodeToRow(tree, nodes[i]))
                    v.Numbers[i] = SortNumber(v.Type, GetData(row, v.Column));
            }
        }
        values.push_back(std::move(v));
    }
    if (values.empty())
        return;
    const TSortDirection main = values.front().Sign < 0 ? sdDescending : sdAscending;
    FSortValues = std::move(values);
    FSortSign = FSortValues.front().Sign;
    try {
        tree->SortTree(FSortValues.front().Column, main, false);
    } catch (...) {
        FSortValues.clear();
        throw;
    }
    FSortValues.clear();
}

void TPlannerForm::ActionSortExecute()
{
    const TWhichTable table = GetActiveTable();
    const int column = FActiveColumn;
    THeaderData* header = GetHeader(table, column);
    if (!header)
        return;
    header->SortAscending = !header->SortAscending;
    const bool other = FSortList.size() > 1 || (FSortList.size() == 1 && SortKeyColumn(FSortList[0]) != column);
    if (other) {
        String text = Translate("Keep existing sort?") + "\r";
        for (std::size_t i = 0; i < FSortList.size(); ++i) {
            text += "\r" + GetColumnCaption(table, SortKeyColumn(FSortList[i]));
            if (i == 0)
                text += "  " + Translate("Main Index");
        }
        if (!AskYesNo(text))
            FSortList.clear();
    }
    bool found = false;
    for (int& key : FSortList)
        if (SortKeyColumn(key) == column) {
            key ^= 1 << 16;
            found = true;
        }
    if (!found)
        FSortList.push_back(SortKey(column, header->SortAscending));
    UpdateColumnMenus();
    for (int i = 0; SortMenu && i < SortMenu->Count(); ++i)
        SortMenu->Items(i)->SetImageIndex(i == column ? 18 + (header->SortAscending ? 1 : 0) : -1);
    SortByKeys(table, FSortList);
}

void TPlannerForm::SortSubMenuClick(TMenuItem* Item)
{
    FActiveColumn = int(Item->Tag());
    ActionSortExecute();
}

// ---- header clicks ---------------------------------------------------------------------

void TPlannerForm::StringTreeGridHeaderClick(TBaseTreeGrid* Sender, const TTGHeaderHitInfo& HitInfo)
{
    FActiveColumn = HitInfo.Column;
    TTreeGridColumns* columns = Sender->Header()->Columns();
    if (HitInfo.Button == mbLeft) {
        if (!columns->IsValidColumn(HitInfo.Column))
            return;
        if (HitInfo.X - columns->Items(HitInfo.Column)->GetLeft() <= FilterClickWidth)
            ActionFilterExecute();
        else
            ActionSortExecute();
    } else if (HitInfo.Button == mbRight) {
        const TPoint p = Sender->ClientToScreen(TPoint{HitInfo.X, HitInfo.Y - Sender->Header()->Height()});
        TreeGridHeaderPopupMenu->Popup(p.X, p.Y);
    }
}

// ---- selection ---------------------------------------------------------------------------

void TPlannerForm::StringTreeGridChange(TBaseTreeGrid* Sender, TGridNode* Node)
{
    const TWhichTable table = GetTable(Sender);
    TSelectedRows& list = FSelectedList[table];
    if (TNodeData* row = NodeToRow(Sender, Node)) {
        if (Sender->Selected(Node))
            list.Add(row);
        else
            list.Remove(row);
        row->RecalcBitmap = true;
        // Large: the shadow of a selected bar comes or goes with it.
        InvalidateNode(row, true);
    }
    // The tree paints its own selection; the bars are what must follow.
    // (Invalidating every listed row in the tree as well made a rubber band
    // over thousands of bars crawl.) The flash restarts below: a bar whose
    // picture already shows its first step is not drawn again, or a rubber
    // band would redraw every bar it holds at each move; one that left the
    // selection is repainted for its shadow.
    for (int i = list.Count() - 1; i >= 0; --i) {
        TNodeData* row = list[i];
        const bool current = BarPictureIsCurrent(row, 0);
        if (!current)
            row->RecalcBitmap = true;
        if (!row->VNode || !Sender->Selected(row->VNode)) {
            InvalidateBar(row, true);
            list.Remove(row);
        } else if (!current) {
            InvalidateBar(row);
        }
    }
    // A change made while the tree was updating names only its last node:
    // the list takes the rest of the selection from the tree.
    if (list.Count() != Sender->SelectedCount())
        for (TGridNode* n = Sender->GetFirstSelected(); n; n = Sender->GetNextSelected(n))
            if (TNodeData* row = NodeToRow(Sender, n); row && !list.Contains(row)) {
                list.Add(row);
                if (!BarPictureIsCurrent(row, 0))
                    row->RecalcBitmap = true;
                InvalidateBar(row);
            }
    ResetFlashSelectedTimer();
    if (Node && ActiveControl() != TimeChart)
        if (TNodeData* row = NodeToRow(Sender, Node))
            CenterNode(row);
    SeteditorVisible(Sender->GetFirstSelected() != nullptr);
    UpdateEditor();
    UpdateColorPanels();
}

void TPlannerForm::StringTreeGridClick() { ResetFlashSelectedTimer(); }
