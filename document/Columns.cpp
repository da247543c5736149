// Tables, columns, header data and the connection roles.
#include "document/ScheduleDocument.h"

#include "platform/SysUtils.h"

namespace {

TTreeGridColumns* ColumnsOf(TStringTreeGrid* Tree) { return Tree ? Tree->Header()->Columns() : nullptr; }

}  // namespace

TStringTreeGrid* TScheduleDocument::GetTable(TWhichTable Table) const
{
    switch (Table) {
    case tbTable:
        return StringTreeGrid1;
    case tbExclude:
        return StringTreeGrid2;
    }
    return nullptr;
}

TWhichTable TScheduleDocument::GetTable(const TBaseTreeGrid* Tree) const
{
    return Tree && Tree == StringTreeGrid2 ? tbExclude : tbTable;
}

TWhichTable TScheduleDocument::GetActiveTable() { return GetActivePageIndex() == 1 ? tbExclude : tbTable; }

void TScheduleDocument::SetActiveTable(TWhichTable Table)
{
    if (GetActiveTable() == Table)
        return;
    SetActivePageIndex(Table == tbExclude ? 1 : 0);
    PageControl1Change();
}

int TScheduleDocument::GetTableColCount(TWhichTable Table) const
{
    TTreeGridColumns* columns = ColumnsOf(GetTable(Table));
    return columns ? columns->Count() : 0;
}

void TScheduleDocument::SetTableColCount(TWhichTable Table, int Count)
{
    TTreeGridColumns* columns = ColumnsOf(GetTable(Table));
    if (!columns)
        return;
    if (Count < 0)
        Count = 0;
    while (columns->Count() > Count) {
        FHeaderStore.erase(columns->Items(0)->Tag());
        columns->Delete(0);
    }
    while (columns->Count() < Count)
        columns->Add();
}

int TScheduleDocument::GetTableRowCount(TWhichTable Table) const
{
    TStringTreeGrid* tree = GetTable(Table);
    return tree ? int(tree->RootNode()->TotalCount) - 1 : 0;
}

THeaderData* TScheduleDocument::GetHeader(TWhichTable Table, int Column)
{
    TTreeGridColumns* columns = ColumnsOf(GetTable(Table));
    if (!columns || !columns->IsValidColumn(Column))
        return nullptr;
    TTreeGridColumn* column = columns->Items(Column);
    auto it = FHeaderStore.find(column->Tag());
    if (column->Tag() != 0 && it != FHeaderStore.end())
        return it->second.get();
    const NativeInt tag = FNextHeaderTag++;
    column->SetTag(int(tag));
    return FHeaderStore.emplace(tag, std::make_unique<THeaderData>()).first->second.get();
}

int TScheduleDocument::GetHeaderIndex(TWhichTable Table, const String& Caption) const
{
    for (int i = 0; i < GetTableColCount(Table); ++i)
        if (GetColumnCaption(Table, i) == Caption)
            return i;
    return -1;
}

String TScheduleDocument::GetColumnCaption(TWhichTable Table, int Column) const
{
    TTreeGridColumns* columns = ColumnsOf(GetTable(Table));
    if (!columns || !columns->IsValidColumn(Column))
        return String();
    const String& text = columns->Items(Column)->Text();
    const std::size_t bracket = text.find('[');
    return bracket == String::npos ? text : text.substr(0, bracket);
}

void TScheduleDocument::SetColumnCaption(TWhichTable Table, int Column, const String& Text)
{
    TTreeGridColumns* columns = ColumnsOf(GetTable(Table));
    if (!columns || !columns->IsValidColumn(Column))
        return;
    if (columns->Items(Column)->Text() != Text)
        columns->Items(Column)->SetText(Text);
}

TColumnType TScheduleDocument::GetColumnType(TWhichTable Table, int Column)
{
    THeaderData* header = GetHeader(Table, Column);
    return header ? header->ColumnType : ctText;
}

void TScheduleDocument::SetColumnType(TWhichTable Table, int Column, TColumnType Type)
{
    THeaderData* header = GetHeader(Table, Column);
    if (!header)
        return;
    header->ColumnType = Type;
    ColumnsOf(GetTable(Table))->Items(Column)->SetAlignment(Type == ctNumber ? taRightJustify : taLeftJustify);
}

String TScheduleDocument::GetColumnFormat(TWhichTable Table, int Column)
{
    THeaderData* header = GetHeader(Table, Column);
    if (!header || header->ColumnType == ctPulldown)
        return String();
    return header->Format();
}

void TScheduleDocument::SetColumnFormat(TWhichTable Table, int Column, const String& Text)
{
    THeaderData* header = GetHeader(Table, Column);
    if (header && header->ColumnType != ctPulldown)
        header->SetFormat(Text);
}

TStringList* TScheduleDocument::GetColumnStrings(TWhichTable Table, int Column)
{
    if (Column < 0 || Column >= GetTableColCount(Table))
        return &EmptyStringList;
    // Both tables share the task table's position list.
    if (Column == GetConnection(Table, cnPosition)) {
        const int taskColumn = GetConnection(tbTable, cnPosition);
        if (THeaderData* header = GetHeader(tbTable, taskColumn))
            return header->Strings.get();
    }
    THeaderData* header = GetHeader(Table, Column);
    return header ? header->Strings.get() : &EmptyStringList;
}

int TScheduleDocument::GetConnection(TWhichTable Table, TConnection Role) const
{
    if (int(Table) >= TableCount || int(Role) >= ConnectionCount)
        return -1;
    return FConnection[Table][Role];
}

void TScheduleDocument::SetConnection(TWhichTable Table, TConnection Role, int Column)
{
    if (Role == cnNone || int(Role) >= ConnectionCount || int(Table) >= TableCount)
        return;
    if (Column >= GetTableColCount(Table))
        return;
    // Bindings come from files: anything below -1 means "none".
    FConnection[Table][Role] = Column < -1 ? -1 : Column;
    InvalidateTimeChart();
}

void TScheduleDocument::ResetConnections(TWhichTable Table)
{
    if (int(Table) >= TableCount)
        return;
    for (int& column : FConnection[Table])
        column = -1;
}

TConnection TScheduleDocument::GetColumnConnection(TWhichTable Table, int Column) const
{
    if (Column < 0 || int(Table) >= TableCount)
        return cnNone;
    for (int role = cnPosition; role < ConnectionCount; ++role)
        if (FConnection[Table][role] == Column)
            return TConnection(role);
    return cnNone;
}

bool TScheduleDocument::IsShownOnBar(TWhichTable Table, int Column) const
{
    if (Column < 0 || int(Table) >= TableCount)
        return false;
    // A column may stand for several roles at once: a text line may show
    // the start column too.
    for (int role = cnColor; role <= cnTextRightBottom; ++role)
        if (FConnection[Table][role] == Column)
            return true;
    return false;
}

void TScheduleDocument::InsertColumn(TWhichTable Table, int Index)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return;
    TTreeGridColumns* columns = ColumnsOf(tree);
    if (Index < 0)
        Index = 0;
    if (Index > columns->Count())
        Index = columns->Count();
    columns->Insert(Index);
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
        TNodeData* row = NodeToRow(tree, node);
        if (!row || !row->StringList)
            continue;
        while (row->StringList->Count() < Index)
            row->StringList->Add(String());
        row->StringList->Insert(Index, String());
    }
    for (int& column : FConnection[Table])
        if (column >= Index)
            ++column;
    PageControl1Change();
}

void TScheduleDocument::RemoveColumn(TWhichTable Table, int Index)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return;
    TTreeGridColumns* columns = ColumnsOf(tree);
    if (!columns->IsValidColumn(Index))
        return;
    FHeaderStore.erase(columns->Items(Index)->Tag());
    columns->Delete(Index);
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
        TNodeData* row = NodeToRow(tree, node);
        if (row && row->StringList && Index < row->StringList->Count())
            row->StringList->Delete(Index);
    }
    for (int& column : FConnection[Table]) {
        if (column == Index)
            column = -1;
        else if (column > Index)
            --column;
    }
    PageControl1Change();
}

void TScheduleDocument::ClearTable(TWhichTable Table)
{
    TStringTreeGrid* tree = GetTable(Table);
    if (!tree)
        return;
    if (Table == tbTable) {
        ResetConnections(Table);
        TTreeGridColumns* columns = ColumnsOf(tree);
        for (int i = 0; i < columns->Count(); ++i) {
            FHeaderStore.erase(columns->Items(i)->Tag());
            columns->Items(i)->SetTag(0);
        }
    }
    tree->Clear();
}

void TScheduleDocument::CreateBasicTable(TWhichTable Table)
{
    if (!GetTable(Table))
        return;
    ResizeTable(Table, 5);
    ResetConnections(Table);
    ClearTable(Table);

    const char* const captions[] = {"Position", "Start", "End", "Length", "Comment"};
    const TConnection roles[] = {cnPosition, cnStart, cnEnd, cnLength, cnTextCenterMiddle};
    const TColumnType types[] = {ctPulldown, ctDate, ctDate, ctNumber, ctText};
    for (int i = 0; i < 5; ++i) {
        SetColumnCaption(Table, i, Translate(captions[i]));
        SetConnection(Table, roles[i], i);
        SetColumnType(Table, i, types[i]);
    }

    // The comment column moves to the end: caption, type and role go with it.
    auto moveComment = [this, Table](int To) {
        SetColumnCaption(Table, To, GetColumnCaption(Table, 4));
        SetColumnType(Table, To, GetColumnType(Table, 4));
        SetConnection(Table, cnTextCenterMiddle, To);
    };
    auto oneItem = [](const String& Text) {
        TCommaText entry;
        entry.Add(Text);
        return entry.AsString();
    };

    if (Table == tbExclude) {
        ResizeTable(Table, 7);
        moveComment(6);
        SetColumnCaption(Table, 4, Translate("Working Days"));
        SetColumnType(Table, 4, TColumnType::ctCheckBox);
        SetConnection(Table, cnLengthWithWeekend, 4);
        SetColumnCaption(Table, 5, Translate("Absent reason"));
        SetColumnType(Table, 5, ctPulldown);
        SetConnection(Table, cnColor, 5);
        TStringList* reasons = GetHeader(Table, 5)->Strings.get();
        reasons->Clear();
        for (const char* reason : {"Holiday", "Sick", "Other"})
            reasons->Add(oneItem(Translate(reason)));
        return;
    }

    ResizeTable(Table, 6);
    moveComment(5);
    SetColumnCaption(Table, 4, Translate("State"));
    SetColumnType(Table, 4, ctPulldown);
    SetConnection(Table, cnColor, 4);
    TStringList* positions = GetHeader(Table, 0)->Strings.get();
    TStringList* states = GetHeader(Table, 4)->Strings.get();
    positions->Clear();
    states->Clear();
    for (int i = 1; i <= 3; ++i) {
        positions->Add(oneItem(Translate("Position") + " " + IntToStr(i)));
        states->Add(oneItem(Translate("State") + " " + IntToStr(i)));
    }
    CreateDefaultWeekInfo();
}
