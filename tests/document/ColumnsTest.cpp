#include "DocumentTestSupport.h"

TEST(Columns, BasicTaskTable)
{
    TDocumentPtr doc(Create<TRecordingDocument>(nullptr));
    doc->CreateBasicTable(tbTable);
    ASSERT_EQ(doc->GetTableColCount(tbTable), 6);
    const std::vector<String> captions = {"Position", "Start", "End", "Length", "Zustand", "Comment"};
    const std::vector<TConnection> roles = {cnPosition, cnStart, cnEnd, cnLength, cnColor, cnTextCenterMiddle};
    const std::vector<TColumnType> types = {ctPulldown, ctDate, ctDate, ctNumber, ctPulldown, ctText};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(doc->GetColumnCaption(tbTable, i), captions[std::size_t(i)]) << i;
        EXPECT_EQ(doc->GetColumnConnection(tbTable, i), roles[std::size_t(i)]) << i;
        EXPECT_EQ(doc->GetColumnType(tbTable, i), types[std::size_t(i)]) << i;
    }
    EXPECT_EQ(doc->StringTreeGrid1->Header()->Columns()->Items(3)->Alignment(), taRightJustify);
    EXPECT_EQ(doc->StringTreeGrid1->Header()->Columns()->Items(1)->Alignment(), taLeftJustify);
    EXPECT_EQ(doc->GetColumnStrings(tbTable, 0)->CommaText(), "\"\"\"Position 1\"\"\",\"\"\"Position 2\"\"\","
                                                              "\"\"\"Position 3\"\"\"");
    TCommaText positions(*doc->GetColumnStrings(tbTable, 0));
    EXPECT_EQ(positions.Item(1, 0), "Position 2");
    TCommaText states(*doc->GetColumnStrings(tbTable, 4));
    EXPECT_EQ(states.Count(), 3);
    EXPECT_EQ(states.Item(2, 0), "Zustand 3");
    EXPECT_EQ(doc->Count("DefaultWeek"), 1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnLengthWithWeekend), -1);
}

TEST(Columns, BasicAbsentDaysTable)
{
    TDocumentPtr doc(Create<TRecordingDocument>(nullptr));
    doc->CreateBasicTable(tbExclude);
    ASSERT_EQ(doc->GetTableColCount(tbExclude), 7);
    const std::vector<String> captions = {"Position", "Start", "End", "Length", "Working Days", "Absent reason",
        "Comment"};
    const std::vector<TConnection> roles = {cnPosition, cnStart, cnEnd, cnLength, cnLengthWithWeekend, cnColor,
        cnTextCenterMiddle};
    const std::vector<TColumnType> types = {ctPulldown, ctDate, ctDate, ctNumber, TColumnType::ctCheckBox,
        ctPulldown, ctText};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(doc->GetColumnCaption(tbExclude, i), captions[std::size_t(i)]) << i;
        EXPECT_EQ(doc->GetColumnConnection(tbExclude, i), roles[std::size_t(i)]) << i;
        EXPECT_EQ(doc->GetColumnType(tbExclude, i), types[std::size_t(i)]) << i;
    }
    EXPECT_EQ(doc->GetColumnStrings(tbExclude, 5)->CommaText(), "Holiday,Sick,Other");
    EXPECT_EQ(doc->Count("DefaultWeek"), 0);
    // Rebuilding starts from scratch: no role is left over.
    doc->SetConnection(tbExclude, cnTermin, 3);
    doc->CreateBasicTable(tbExclude);
    EXPECT_EQ(doc->GetConnection(tbExclude, cnTermin), -1);
}

TEST(Columns, InsertAndRemoveMoveCellsAndRoles)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* row = AddTask(*doc, "A", Date(), 2);
    doc->SetData(row, 5, "note");
    doc->Forget();

    doc->InsertColumn(tbTable, 2);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 7);
    EXPECT_EQ(doc->GetConnection(tbTable, cnPosition), 0);
    EXPECT_EQ(doc->GetConnection(tbTable, cnStart), 1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnEnd), 3);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 6);
    EXPECT_EQ(doc->GetData(row, 2), "");
    EXPECT_EQ(doc->GetData(row, 6), "note");
    EXPECT_EQ(doc->GetData_(row, cnLength), "2");
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 3), "End");
    EXPECT_EQ(doc->Count("PageChange"), 1);

    doc->RemoveColumn(tbTable, 3);  // End
    EXPECT_EQ(doc->GetConnection(tbTable, cnEnd), -1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnLength), 3);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 5);
    EXPECT_EQ(row->StringList->Count(), 6);
    EXPECT_EQ(doc->GetData_(row, cnLength), "2");
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 5), "Comment");
    EXPECT_EQ(doc->GetColumnType(tbTable, 4), ctPulldown) << "header data moves with its column";

    doc->RemoveColumn(tbTable, 99);
    doc->RemoveColumn(tbTable, -1);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 6);
    doc->InsertColumn(tbTable, 99);  // appended
    EXPECT_EQ(doc->GetTableColCount(tbTable), 7);
    EXPECT_EQ(row->StringList->Count(), 7);
}

TEST(Columns, ConnectionsFromFilesAreBounded)
{
    TDocumentPtr doc = MakeDocument();
    doc->SetConnection(tbTable, cnTermin, -5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), -1);
    doc->SetConnection(tbTable, cnTermin, 6);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), -1) << "past the last column";
    doc->SetConnection(tbTable, cnTermin, 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), 5);
    EXPECT_EQ(doc->GetColumnConnection(tbTable, 5), cnTermin) << "first role in order wins";
    doc->SetConnection(tbTable, cnNone, 2);
    EXPECT_EQ(doc->GetColumnConnection(tbTable, 2), cnEnd);
    doc->ResetConnections(tbTable);
    for (int role = 0; role < ConnectionCount; ++role)
        EXPECT_EQ(doc->GetConnection(tbTable, TConnection(role)), -1);
}

TEST(Columns, HeaderDataFormatsCaptionsAndStrings)
{
    TDocumentPtr doc = MakeDocument();
    doc->SetColumnCaption(tbTable, 1, "Start[dd.mm]");
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 1), "Start");
    EXPECT_EQ(doc->GetHeaderIndex(tbTable, "Start"), 1);
    EXPECT_EQ(doc->GetHeaderIndex(tbTable, "Nope"), -1);

    EXPECT_EQ(doc->GetColumnFormat(tbTable, 1), "");
    doc->SetColumnFormat(tbTable, 1, "dd.mm.yy");
    doc->SetColumnFormat(tbTable, 1, "d.m.yy");
    EXPECT_EQ(doc->GetColumnFormat(tbTable, 1), "d.m.yy");
    EXPECT_EQ(doc->GetHeader(tbTable, 1)->Strings->Count(), 1);
    doc->SetColumnFormat(tbTable, 0, "ignored");
    EXPECT_EQ(doc->GetColumnFormat(tbTable, 0), "");
    EXPECT_EQ(doc->GetHeader(tbTable, 0)->Strings->IndexOf("ignored"), -1);

    EXPECT_EQ(doc->GetHeader(tbTable, 6), nullptr);
    EXPECT_EQ(doc->GetColumnStrings(tbTable, -1), &doc->EmptyStringList);
    EXPECT_EQ(doc->GetColumnStrings(tbTable, 6), &doc->EmptyStringList);
    EXPECT_EQ(doc->GetColumnStrings(tbExclude, 0), doc->GetColumnStrings(tbTable, 0))
        << "both tables share the task table's positions";
    EXPECT_FALSE(doc->GetHeader(tbTable, 2)->IsFiltered());

    EXPECT_EQ(ColumnTypeName2Type("CheckBox"), TColumnType::ctCheckBox);
    EXPECT_EQ(ColumnTypeName2Type("Link"), ctLink);
    EXPECT_EQ(ColumnTypeName2Type("checkbox"), ctText);
    EXPECT_EQ(ColumnTypeName2Type(""), ctText);
}

TEST(Columns, ColumnCountAndActiveTable)
{
    TDocumentPtr doc = MakeDocument();
    doc->SetColumnCaption(tbTable, 0, "First");
    doc->SetTableColCount(tbTable, 4);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 4);
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 0), "End") << "shrinking drops the leading columns";
    doc->SetTableColCount(tbTable, 8);
    EXPECT_EQ(doc->GetTableColCount(tbTable), 8);

    EXPECT_EQ(doc->GetActiveTable(), tbTable);
    doc->SetActiveTable(tbTable);
    EXPECT_EQ(doc->Count("PageChange"), 0);
    doc->SetActiveTable(tbExclude);
    EXPECT_EQ(doc->GetActiveTable(), tbExclude);
    EXPECT_EQ(doc->Count("PageChange"), 1);
    EXPECT_EQ(doc->GetTable(doc->StringTreeGrid2), tbExclude);
    EXPECT_EQ(doc->GetTable(doc->StringTreeGrid1), tbTable);
    EXPECT_EQ(doc->GetTable(TWhichTable(5)), nullptr);
}
