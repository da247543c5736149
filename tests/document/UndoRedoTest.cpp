#include <functional>
#include <iterator>
#include <map>
#include <tuple>
#include <random>

#include "DocumentTestSupport.h"

namespace {

constexpr int PosCol = 0, EndCol = 2, LengthCol = 3, StateCol = 4, CommentCol = 5;

// A document that records the undo actions' state and can act as a client.
class TUndoDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    bool Client = false;
    bool CanUndo = false, CanRedo = false;
    String UndoHintText, RedoHintText;

    bool IsConnectedClient() const override { return Client; }
    void UpdateUndoRedoActions(bool CanU, const String& UH, bool CanR, const String& RH) override
    {
        CanUndo = CanU, UndoHintText = UH, CanRedo = CanR, RedoHintText = RH;
    }
};

using TUndoDocumentPtr = TOwnedDocument<TUndoDocument>;
TUndoDocumentPtr MakeUndoDocument() { return MakeDocumentOf<TUndoDocument>(); }

// A task added without recording undo.
TNodeData* AddQuietTask(TScheduleDocument& Doc, const String& Position, const String& Comment, int ID = -1)
{
    Doc.UndoRedo().DontAcceptUndos();
    TNodeData* row = Doc.AddNode(ID < 0 ? Doc.GetFreeID() : ID, tbTable, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(row, PosCol, Position, cmIgnoreNet);
    Doc.DoSetStartOf(row, cmIgnoreNet, Date());
    Doc.DoSetData(row, LengthCol, "2", cmIgnoreNet);
    Doc.DoSetData(row, EndCol, Doc.FormatDateTime(Date() + 1), cmIgnoreNet);
    Doc.DoSetData(row, CommentCol, Comment, cmIgnoreNet);
    Doc.UndoRedo().AcceptUndos();
    return row;
}

TNodeData* FindRowByTag(TScheduleDocument& Doc, const String& Tag)
{
    TNodeData* found = nullptr;
    Doc.ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
        if (Doc.GetData(Row, PosCol) == Tag)
            found = Row;
    });
    return found;
}

TNodeData* FindRow(TScheduleDocument& Doc, int ID)
{
    TNodeData* row = nullptr;
    TWhichTable table = tbTable;
    return Doc.FindNodeAndTable(ID, row, table) ? row : nullptr;
}

// The comment cells of the rows.
std::vector<String> Comments(TScheduleDocument& Doc, const std::vector<TNodeData*>& Rows)
{
    std::vector<String> texts;
    for (TNodeData* row : Rows)
        texts.push_back(Doc.GetData(row, CommentCol));
    return texts;
}
using TTexts = std::vector<String>;

// Runs Body as one user action: one group index for all its entries.
template <class F>
void InGroup(TScheduleDocument& Doc, F Body)
{
    Doc.FUndoRedoGroupIndex = Doc.UndoRedo().GetGroupIndex();
    Body();
    Doc.FUndoRedoGroupIndex = -1;
}

}  // namespace

TEST(UndoRedo, GroupOfCellChangesIsOneStepBothWays)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    TNodeData* b = AddQuietTask(*doc, "B", "b");
    TNodeData* c = AddQuietTask(*doc, "C", "c");
    doc->SetData(c, CommentCol, "before");  // an earlier step, not in the group
    InGroup(*doc, [&] {
        doc->SetData(a, CommentCol, "a2");
        doc->SetData(b, CommentCol, "b2");
        doc->SetData(c, CommentCol, "c2");
    });
    ASSERT_EQ(doc->UndoRedo().UndoList().size(), 4u);

    doc->UndoRedo().Undo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a", "b", "before"}));
    // The reverts' own pushes did not clear the redo list: one step of three.
    EXPECT_EQ(doc->UndoRedo().RedoList().size(), 3u);
    EXPECT_EQ(doc->UndoRedo().UndoList().size(), 1u);

    doc->UndoRedo().Redo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a2", "b2", "c2"}));
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
    EXPECT_EQ(doc->UndoRedo().UndoList().size(), 4u);

    // Undo again: the redone step keeps its group.
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(c, CommentCol), "before");
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(c, CommentCol), "c");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().Undo();  // an empty list: nothing
    EXPECT_EQ(doc->GetData(c, CommentCol), "c");

    // A new edit, not made while undoing, clears the redo list.
    ASSERT_TRUE(doc->UndoRedo().GetCanRedo());
    doc->SetData(a, CommentCol, "y");
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
}

TEST(UndoRedo, InterleavedGroupsUndoExactlyTheirOwnEntries)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    TNodeData* b = AddQuietTask(*doc, "B", "b");
    TNodeData* c = AddQuietTask(*doc, "C", "c");
    const int first = doc->UndoRedo().GetGroupIndex();
    doc->FUndoRedoGroupIndex = first;
    doc->SetData(a, CommentCol, "a2");
    doc->FUndoRedoGroupIndex = doc->UndoRedo().GetGroupIndex();
    ASSERT_NE(doc->FUndoRedoGroupIndex, first);
    doc->SetData(c, CommentCol, "c2");
    doc->FUndoRedoGroupIndex = first;
    doc->SetData(b, CommentCol, "b2");
    doc->FUndoRedoGroupIndex = -1;

    // Each step undoes and redoes its own group; the other stays.
    doc->UndoRedo().Undo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a", "b", "c2"}));
    doc->UndoRedo().Undo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a", "b", "c"}));
    doc->UndoRedo().Redo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a", "b", "c2"}));
    doc->UndoRedo().Redo();
    EXPECT_EQ(Comments(*doc, {a, b, c}), (TTexts{"a2", "b2", "c2"}));
}

TEST(UndoRedo, RemovedTaskComesBackWithItsIdAndTextsAndRedoRemovesIt)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* row = AddQuietTask(*doc, "B", "keep me", 42);
    const std::vector<String> cells = TableCells(*doc, tbTable)[0];
    doc->SetData(row, CommentCol, "edited");  // an older entry on the same row
    doc->DeleteNode(row, cmDefault);
    EXPECT_EQ(FindRow(*doc, 42), nullptr);
    EXPECT_EQ(doc->UndoRedo().UndoHint(), "remove task");

    doc->UndoRedo().Undo();
    TNodeData* back = FindRow(*doc, 42);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(doc->GetData(back, CommentCol), "edited");
    EXPECT_EQ(doc->GetData(back, PosCol), "B");

    // The older entry now refers to the restored row.
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(back, CommentCol), "keep me");
    EXPECT_EQ(TableCells(*doc, tbTable)[0], cells);

    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->GetData(back, CommentCol), "edited");
    doc->UndoRedo().Redo();
    EXPECT_EQ(FindRow(*doc, 42), nullptr) << "the redo removed the restored row";
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);

    doc->UndoRedo().Undo();
    ASSERT_NE(FindRow(*doc, 42), nullptr);
    EXPECT_EQ(doc->GetData(FindRow(*doc, 42), CommentCol), "edited");
}

TEST(UndoRedo, RestoringARowOnAClientStopsAndATakenIdIsReplaced)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* row = AddQuietTask(*doc, "A", "old", 7);
    doc->DeleteNode(row, cmDefault);
    TNodeData* squatter = AddQuietTask(*doc, "C", "new", 7);

    // A client's AddNode gives nothing: nothing pushed, nothing moved.
    doc->Client = true;
    doc->UndoRedo().Pop();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 1);
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo() || doc->UndoRedo().GetCanUndo());

    doc->Client = false;
    doc->DeleteNode(squatter, cmDefault);
    AddQuietTask(*doc, "C", "new", 7);
    doc->UndoRedo().Undo();
    ASSERT_EQ(doc->GetTableRowCount(tbTable), 2);
    EXPECT_EQ(doc->GetData(FindRow(*doc, 7), CommentCol), "new");
    int restoredID = -1;
    doc->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
        if (doc->GetData(Row, CommentCol) == "new" && Row->ID != 7)
            restoredID = Row->ID;
    });
    EXPECT_NE(restoredID, -1) << "the restored row has an ID of its own";
}

TEST(UndoRedo, AddedTaskIsRemovedByUndoAndBackByRedo)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* row = nullptr;
    InGroup(*doc, [&] {
        row = doc->AddNode(11, tbTable, 1, 480, Date(), cmDefault);
    });
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(doc->UndoRedo().UndoHint(), "new task");
    const std::vector<String> cells = TableCells(*doc, tbTable)[0];

    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo()) << "the whole add was one step";
    doc->UndoRedo().Redo();
    ASSERT_NE(FindRow(*doc, 11), nullptr);
    EXPECT_EQ(TableCells(*doc, tbTable)[0], cells);
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetTableRowCount(tbTable), 0);
}

TEST(UndoRedo, EntriesOfGoneRowsDoNothingAndAreDropped)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* keep = AddQuietTask(*doc, "A", "k");
    TNodeData* gone = AddQuietTask(*doc, "B", "g");
    doc->SetData(keep, CommentCol, "k2");
    doc->SetData(gone, CommentCol, "g2");
    doc->UndoRedo().DontAcceptUndos();
    doc->DeleteNode(gone, cmIgnoreNet);
    doc->UndoRedo().AcceptUndos();

    // One click reverts the newest step that can still do something.
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(keep, CommentCol), "k");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_EQ(doc->UndoRedo().RedoList().size(), 1u);
}

TEST(UndoRedo, GroupIndexIsTheSmallestFreeOne)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    EXPECT_EQ(doc->UndoRedo().GetGroupIndex(), 0);
    int n = 0;
    for (int group : {0, 2, 3, -1, 5}) {
        doc->FUndoRedoGroupIndex = group;
        doc->SetData(a, CommentCol, "v" + IntToStr(n++));
    }
    doc->FUndoRedoGroupIndex = -1;
    EXPECT_EQ(doc->UndoRedo().GetGroupIndex(), 1);
    doc->FUndoRedoGroupIndex = 1;
    doc->SetData(a, CommentCol, "v" + IntToStr(n++));
    doc->FUndoRedoGroupIndex = -1;
    EXPECT_EQ(doc->UndoRedo().GetGroupIndex(), 4);

    // Pop reverts the newest step and leaves no redo of it.
    doc->UndoRedo().Pop();
    EXPECT_EQ(doc->GetData(a, CommentCol), "v4");
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
    EXPECT_EQ(doc->UndoRedo().GetGroupIndex(), 1);
}

TEST(UndoRedo, BlockedUndosDiscardEveryPush)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    doc->UndoRedo().DontAcceptUndos();
    doc->UndoRedo().DontAcceptUndos();
    doc->UndoRedo().AcceptUndos();
    EXPECT_FALSE(doc->UndoRedo().DoesAcceptUndo());
    doc->SetData(a, CommentCol, "x");
    TNodeData* b = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmDefault);
    doc->DeleteNode(b, cmDefault);
    doc->PushUndoSnapshot();
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().AcceptUndos();
    doc->UndoRedo().AcceptUndos();  // one too many stays at zero
    doc->SetData(a, CommentCol, "y");
    EXPECT_EQ(doc->UndoRedo().UndoList().size(), 1u);
    doc->UndoRedo().DontAcceptUndos();
    EXPECT_FALSE(doc->UndoRedo().DoesAcceptUndo());
}

TEST(UndoRedo, ActionsShowTheNewestStepsHints)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    EXPECT_FALSE(doc->CanUndo);
    doc->SetData(a, CommentCol, "b");
    EXPECT_TRUE(doc->CanUndo);
    EXPECT_FALSE(doc->CanRedo);
    EXPECT_EQ(doc->UndoHintText, "set value (Comment)");
    doc->SetColumnCaption(tbTable, StateCol, "State [x]");
    doc->SetData(a, StateCol, "State 2");
    EXPECT_EQ(doc->UndoHintText, "set value (State )");
    doc->PushUndoSnapshot();
    EXPECT_EQ(doc->UndoHintText, "set all tables");

    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->RedoHintText, "set all tables");
    EXPECT_EQ(doc->UndoHintText, "set value (State )");
    // The steps before the snapshot find the rows it brought back.
    doc->UndoRedo().Undo();
    doc->UndoRedo().Undo();
    const auto rows = TableCells(*doc, tbTable);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][CommentCol], "a");
    EXPECT_EQ(rows[0][StateCol], "State 1");
    EXPECT_FALSE(doc->CanUndo);
    EXPECT_EQ(doc->UndoHintText, "");
    EXPECT_TRUE(doc->CanRedo);
    EXPECT_EQ(doc->RedoHintText, "set value (Comment)");
    doc->UndoRedo().Clear();
    EXPECT_FALSE(doc->CanRedo);
    EXPECT_EQ(doc->RedoHintText, "");
}

TEST(UndoRedo, SnapshotBringsBackTablesSetupAndHolidays)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    AddQuietTask(*doc, "A", "one");
    TNodeData* two = AddQuietTask(*doc, "B", "two");
    doc->UndoRedo().DontAcceptUndos();
    for (int i = 0; i < 3; ++i) {
        TNodeData* day = doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
        doc->DoSetStartOf(day, cmIgnoreNet, Date() + i);
        doc->DoSetData(day, doc->GetConnection(tbExclude, cnLength), "1", cmIgnoreNet);
    }
    doc->UndoRedo().AcceptUndos();
    doc->AddHoliday("New Year", 1, true, false, 1);
    doc->SetColumnCaption(tbTable, CommentCol, "Notes");
    const auto tasks = TableCells(*doc, tbTable), absent = TableCells(*doc, tbExclude);

    doc->PushUndoSnapshot();
    doc->SetData(two, CommentCol, "changed");
    doc->DeleteNode(two, cmDefault);
    doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmDefault);
    // Those were steps of their own, dropped again; the setup changes below
    // are recorded by nothing but the snapshot.
    while (doc->UndoRedo().UndoList().size() > 1)
        doc->UndoRedo().Pop();
    doc->ClearHoliday();
    doc->SetColumnCaption(tbTable, CommentCol, "Other");
    doc->SetConnection(tbTable, cnTextCenterMiddle, -1);

    doc->UndoRedo().Undo();
    EXPECT_EQ(TableCells(*doc, tbTable), tasks);
    EXPECT_EQ(TableCells(*doc, tbExclude), absent) << "each absent day exactly once";
    ASSERT_NE(doc->GetHolidayData(0), nullptr);
    EXPECT_EQ(doc->GetHolidayData(0)->name, "New Year");
    EXPECT_EQ(doc->GetHolidayData(0)->month, 1);
    EXPECT_EQ(doc->GetHolidayData(1), nullptr);
    EXPECT_EQ(doc->GetColumnCaption(tbTable, CommentCol), "Notes");
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), CommentCol);
    EXPECT_EQ(doc->UndoRedo().RedoHint(), "set all tables");
    // Restored rows are checked again, as after any load.
    doc->ForEach(tbTable, feAll, 0, [](TNodeData* Row, NativeInt) { EXPECT_TRUE(Row->nodeValid); });

    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->GetHolidayData(0), nullptr);
    EXPECT_EQ(doc->GetColumnCaption(tbTable, CommentCol), "Other");
    EXPECT_EQ(TableCells(*doc, tbTable), tasks) << "the rows were not changed after the snapshot";
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetColumnCaption(tbTable, CommentCol), "Notes");
}

TEST(UndoRedo, HintsNameTheStepUndoOrRedoWouldPerform)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* row = nullptr;
    InGroup(*doc, [&] { row = doc->AddNode(5, tbTable, -1, -1, -1, cmDefault); });
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(doc->UndoHintText, "new task");
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->RedoHintText, "new task") << "Redo adds the task again";
    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->UndoHintText, "new task");

    doc->DeleteNode(FindRow(*doc, 5), cmDefault);
    EXPECT_EQ(doc->UndoHintText, "remove task");
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->RedoHintText, "remove task") << "Redo removes it again";
    EXPECT_EQ(doc->UndoHintText, "new task");

    // A step whose row is gone cannot run: no hint for a disabled action.
    TUndoDocumentPtr other = MakeUndoDocument();
    TNodeData* gone = AddQuietTask(*other, "A", "g");
    other->SetData(gone, CommentCol, "g2");
    other->UndoRedo().DontAcceptUndos();
    other->DeleteNode(gone, cmIgnoreNet);
    other->UndoRedo().AcceptUndos();
    other->UndoRedo().UpdateMainForm();
    EXPECT_FALSE(other->CanUndo);
    EXPECT_EQ(other->UndoHintText, "");
    EXPECT_EQ(other->UndoRedo().UndoHint(), "");
}

TEST(UndoRedo, AConnectedClientCannotRevertWholeDocumentsOrRemovals)
{
    TUndoDocumentPtr doc = MakeUndoDocument();
    TNodeData* a = AddQuietTask(*doc, "A", "a");
    doc->PushUndoSnapshot();
    doc->UndoRedo().DontAcceptUndos();
    doc->DoSetData(a, CommentCol, "after", cmIgnoreNet);
    doc->UndoRedo().AcceptUndos();
    doc->Client = true;
    doc->UndoRedo().UpdateMainForm();
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_FALSE(doc->CanUndo);
    EXPECT_EQ(doc->UndoHintText, "");
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(FindRow(*doc, a->ID), CommentCol), "after") << "the server's rows stay";

    doc->Client = false;
    doc->UndoRedo().Clear();
    TNodeData* b = AddQuietTask(*doc, "B", "b", 70);
    doc->DeleteNode(b, cmDefault);
    doc->Client = true;
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    doc->UndoRedo().Undo();
    EXPECT_EQ(FindRow(*doc, 70), nullptr);
    doc->Client = false;
    doc->UndoRedo().Undo();
    EXPECT_NE(FindRow(*doc, 70), nullptr);
}

// Random adds, removes, whole-document steps and edits, grouped and not,
// with undos and redos between them, end in the rows that replaying the
// surviving steps gives. Each row carries a tag in its position cell that
// no step changes, so it is found again whatever brought it back.
TEST(UndoRedo, RandomSequencesMatchReplayingTheSurvivingSteps)
{
    using TRows = std::map<String, std::pair<String, String>>;  // tag -> comment, state
    using TStep = std::function<void(TRows&)>;
    std::mt19937 rng(20261209);
    for (int sequence = 0; sequence < 200; ++sequence) {
        TUndoDocumentPtr doc = MakeUndoDocument();
        TRows initial;
        int tags = 0;
        for (int r = 0; r < 3; ++r) {
            const String tag = "r" + IntToStr(tags++);
            AddQuietTask(*doc, tag, "c" + IntToStr(r));
            initial[tag] = {"c" + IntToStr(r), doc->GetData(FindRowByTag(*doc, tag), StateCol)};
        }
        TRows model = initial;
        std::vector<TStep> done, undone;
        int counter = 0;
        const auto anyTag = [&]() -> String {
            if (model.empty())
                return String();
            auto it = model.begin();
            std::advance(it, std::ptrdiff_t(rng() % model.size()));
            return it->first;
        };
        for (int op = 0; op < 30; ++op) {
            model = initial;
            for (const TStep& s : done)
                s(model);
            const int kind = int(rng() % 6);
            if (kind == 0 && !done.empty()) {
                doc->UndoRedo().Undo();
                undone.push_back(done.back());
                done.pop_back();
                continue;
            }
            if (kind == 1 && !undone.empty()) {
                doc->UndoRedo().Redo();
                done.push_back(undone.back());
                undone.pop_back();
                continue;
            }
            TStep step;
            const String tag = anyTag();
            if (kind == 2 || tag.empty()) {
                // A new row: its add and its cells are one step.
                const String made = "r" + IntToStr(tags++), comment = "n" + IntToStr(++counter);
                InGroup(*doc, [&] {
                    TNodeData* row = doc->AddNode(doc->GetFreeID(), tbTable, -1, -1, -1, cmDefault);
                    doc->SetData(row, PosCol, made);
                    doc->SetData(row, CommentCol, comment);
                });
                const String state = doc->GetData(FindRowByTag(*doc, made), StateCol);
                step = [=](TRows& Rows) { Rows[made] = {comment, state}; };
            } else if (kind == 3) {
                doc->DeleteNode(FindRowByTag(*doc, tag), cmDefault);
                step = [=](TRows& Rows) { Rows.erase(tag); };
            } else if (kind == 4) {
                // A whole-document step: the snapshot, then changes recorded
                // by nothing else (as a setup dialog makes them).
                const String comment = "w" + IntToStr(++counter);
                const String removed = model.size() > 1 && rng() % 2 ? anyTag() : String();
                InGroup(*doc, [&] {
                    doc->PushUndoSnapshot();
                    doc->UndoRedo().DontAcceptUndos();
                    doc->SetData(FindRowByTag(*doc, tag), CommentCol, comment);
                    if (!removed.empty() && removed != tag)
                        doc->DeleteNode(FindRowByTag(*doc, removed), cmDefault);
                    doc->UndoRedo().AcceptUndos();
                });
                step = [=](TRows& Rows) {
                    Rows[tag].first = comment;
                    if (!removed.empty() && removed != tag)
                        Rows.erase(removed);
                };
            } else {
                const int edits = rng() % 2 ? 1 : 1 + int(rng() % 3);
                std::vector<std::tuple<String, int, String>> changes;
                doc->FUndoRedoGroupIndex = edits > 1 ? doc->UndoRedo().GetGroupIndex() : -1;
                for (int e = 0; e < edits; ++e) {
                    const String target = anyTag();
                    const int col = rng() % 2 ? CommentCol : StateCol;
                    const String text = "v" + IntToStr(++counter);
                    doc->SetData(FindRowByTag(*doc, target), col, text);
                    changes.emplace_back(target, col, text);
                }
                doc->FUndoRedoGroupIndex = -1;
                step = [=](TRows& Rows) {
                    for (const auto& [target, col, text] : changes)
                        (col == CommentCol ? Rows[target].first : Rows[target].second) = text;
                };
            }
            done.push_back(step);
            undone.clear();
        }
        TRows expected = initial;
        for (const TStep& step : done)
            step(expected);
        TRows actual;
        doc->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
            actual[doc->GetData(Row, PosCol)] = {doc->GetData(Row, CommentCol), doc->GetData(Row, StateCol)};
        });
        ASSERT_EQ(actual, expected) << "sequence " << sequence;
        ASSERT_EQ(doc->UndoRedo().GetCanRedo(), !undone.empty()) << "sequence " << sequence;
    }
}
