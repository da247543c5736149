// A new column layout applied to the task table: cells, header data, roles,
// stored filters and state colours all stay with the column they belong to.
#include "DocumentTestSupport.h"

namespace {

// The table's layout as it stands: every column where it is.
TColumnLayout CurrentLayout(TScheduleDocument& Doc, TWhichTable Table)
{
    TColumnLayout layout;
    for (int i = 0; i < Doc.GetTableColCount(Table); ++i)
        layout.Columns.push_back({Doc.GetColumnCaption(Table, i), Doc.GetColumnType(Table, i),
            Doc.GetHeader(Table, i)->Strings->CommaText(), i});
    return layout;
}

TFilter StoredFilter(const String& Header, const String& Text)
{
    TFilter f;
    f.Type = ftText;
    f.SubType = fsText;
    f.Text1 = Text;
    f.Group = "All";
    f.Header = Header;
    return f;
}

}  // namespace

TEST(ColumnLayout, RenameMoveDeleteInsertAndSwapInOneStep)
{
    TDocumentPtr doc = MakeDocument();
    // Position, Start, End, Length, State, Comment, then Note, Extra, Memo.
    for (const char* name : {"Note", "Extra", "Memo"}) {
        const int at = doc->GetTableColCount(tbTable);
        doc->InsertColumn(tbTable, at);
        doc->SetColumnCaption(tbTable, at, name);
    }
    for (int i = 0; i < 3; ++i) {
        TNodeData* row = AddTask(*doc, i == 1 ? "B" : "A", EncodeDate(2024, 3, 4) + i, 2);
        for (int c : {4, 5, 6, 7, 8})
            doc->DoSetData(row, c, "r" + IntToStr(i) + "c" + IntToStr(c), cmIgnoreNet);
    }
    const std::vector<std::vector<String>> before = TableCells(*doc, tbTable);
    doc->GetHeader(tbTable, 5)->Filter.FilterType = ftText;
    doc->GetHeader(tbTable, 7)->Filter.FilterType = ftText;
    doc->GetHeader(tbTable, 3)->SortAscending = false;
    doc->SetConnection(tbTable, cnInterval, 8);
    doc->SetConnection(tbTable, cnLengthWithWeekend, 7);
    doc->FFilters = {StoredFilter("Comment", "x"), StoredFilter("Extra", "y"), StoredFilter("Note", "n"),
        StoredFilter("Memo", "m")};
    const std::vector<TColor> colors = doc->FStateColors;

    TColumnLayout layout = CurrentLayout(*doc, tbTable);
    const std::vector<TColumnLayout::TColumn> old = layout.Columns;
    layout.Columns = {old[0], old[1], old[2], old[3], old[5], old[4], old[6], old[8], {"Extra", ctText, "", -1},
        {"Fresh", ctNumber, "", -1}};
    layout.Columns[4].Name = "Remark";                                  // Comment, moved up and renamed
    std::swap(layout.Columns[6].Name, layout.Columns[7].Name);          // Note and Memo swap names
    layout.Roles[cnTextCenterMiddle] = 4;
    layout.Roles[cnColor] = 5;
    doc->ApplyColumnLayout(tbTable, layout);

    const std::vector<String> captions = {"Position", "Start", "End", "Length", "Remark", "Zustand", "Memo", "Note",
        "Extra", "Fresh"};
    ASSERT_EQ(doc->GetTableColCount(tbTable), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(doc->GetColumnCaption(tbTable, i), captions[std::size_t(i)]) << i;
    const std::vector<int> from = {0, 1, 2, 3, 5, 4, 6, 8, -1, -1};
    const std::vector<std::vector<String>> after = TableCells(*doc, tbTable);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < after.size(); ++r)
        for (std::size_t c = 0; c < from.size(); ++c)
            EXPECT_EQ(after[r][c], from[c] < 0 ? String() : before[r][std::size_t(from[c])]) << r << "," << c;

    // Header data went with the column: the new "Extra" has no filter.
    EXPECT_TRUE(doc->GetHeader(tbTable, 4)->IsFiltered());
    EXPECT_FALSE(doc->GetHeader(tbTable, 8)->IsFiltered());
    EXPECT_FALSE(doc->GetHeader(tbTable, 3)->SortAscending);
    EXPECT_EQ(doc->GetColumnType(tbTable, 9), ctNumber);
    EXPECT_EQ(TCommaText(*doc->GetColumnStrings(tbTable, 5)).Item(0, 0), "Zustand 1");
    EXPECT_EQ(doc->GetConnection(tbTable, cnColor), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 4);
    EXPECT_EQ(doc->GetConnection(tbTable, cnLength), 3);
    // Roles no label shows follow their column, or go with it.
    EXPECT_EQ(doc->GetConnection(tbTable, cnInterval), 7);
    EXPECT_EQ(doc->GetConnection(tbTable, cnLengthWithWeekend), -1);
    // Stored filters follow the caption of their column; the removed
    // column's goes although a new column took its name.
    std::vector<String> headers;
    for (const TFilter& f : doc->FFilters)
        headers.push_back(f.Header + "=" + f.Text1);
    EXPECT_EQ(headers, (std::vector<String>{"Remark=x", "Memo=n", "Note=m"}));
    EXPECT_EQ(doc->FStateColors, colors);
}

TEST(ColumnLayout, StateColoursFollowTheirEntries)
{
    TDocumentPtr doc = MakeDocument();
    doc->FStateColors = {0x111111, 0x222222, 0x333333};
    TColumnLayout layout = CurrentLayout(*doc, tbTable);
    TStringList entries;
    entries.SetCommaText(layout.Columns[4].Format);
    // The third state first, a new one, the first; the second deleted.
    TStringList changed;
    changed.Add(entries.Get(2));
    changed.Add("\"Waiting\"");
    changed.Add(entries.Get(0));
    layout.Columns[4].Format = changed.CommaText();
    doc->ApplyColumnLayout(tbTable, layout);
    std::vector<TColor> defaults;
    TScheduleDocument::FillUpColors(defaults, 1);
    EXPECT_EQ(doc->FStateColors, (std::vector<TColor>{0x333333, defaults[0], 0x111111}));
}

TEST(ColumnLayout, AnOriginNamedTwiceMakesOneNewColumn)
{
    TDocumentPtr doc = MakeDocument();
    AddTask(*doc, "A", EncodeDate(2024, 3, 4), 2);
    TColumnLayout layout = CurrentLayout(*doc, tbTable);
    layout.Columns.push_back(layout.Columns[0]);
    layout.Columns.back().Name = "Copy";
    doc->ApplyColumnLayout(tbTable, layout);
    ASSERT_EQ(doc->GetTableColCount(tbTable), 7);
    EXPECT_EQ(TableCells(*doc, tbTable)[0][6], "");
    EXPECT_NE(doc->GetHeader(tbTable, 6), doc->GetHeader(tbTable, 0));
}
