#include <algorithm>
#include <numeric>

#include "TreeGridTestSupport.h"

namespace {
// The position array is a permutation and agrees with every column's
// position; left edges add up the visible widths in display order.
void ExpectPositionsConsistent(TTreeGridColumns* columns)
{
    std::vector<int> order = columns->PositionToIndex();
    ASSERT_EQ(int(order.size()), columns->Count());
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> identity(order.size());
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(sorted, identity) << "position array is a permutation";
    int left = 0;
    for (std::size_t p = 0; p < order.size(); ++p) {
        TTreeGridColumn* c = columns->Items(order[p]);
        EXPECT_EQ(c->Position(), Cardinal(p));
        EXPECT_EQ(c->StoredLeft(), left);
        if (c->Options().Contains(coVisible))
            left += c->Width();
    }
    EXPECT_EQ(columns->TotalWidth(), left);
}

TTreeGridColumns* Columns(TTestTree* tree, int count)
{
    TTreeGridColumns* columns = tree->Header()->Columns();
    for (int i = 0; i < count; ++i) {
        TTreeGridColumn* c = columns->Add();
        c->SetText("C" + std::to_string(i));
        c->SetWidth(40 + 10 * i);
    }
    return columns;
}
}  // namespace

TEST(Columns, NoColumnsThenTheFirstBecomesTheMainColumn)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = tree->Header()->Columns();
    EXPECT_EQ(columns->TotalWidth(), 0);
    EXPECT_EQ(columns->GetFirstVisibleColumn(), InvalidColumn);
    EXPECT_EQ(columns->GetNextColumn(0), InvalidColumn);
    EXPECT_EQ(tree->Header()->MainColumn(), NoColumn);
    EXPECT_FALSE(tree->Header()->UseColumns());
    EXPECT_EQ(columns->Add()->Position(), 0u);
    EXPECT_EQ(tree->Header()->MainColumn(), 0);
}

TEST(Columns, MovingKeepsAPermutation)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 5);
    columns->Items(0)->SetPosition(3);
    EXPECT_EQ(columns->PositionToIndex(), (std::vector<int>{1, 2, 3, 0, 4}));
    ExpectPositionsConsistent(columns);
    columns->Items(4)->SetPosition(0);
    columns->Items(2)->SetPosition(99);  // beyond the last: last
    EXPECT_EQ(columns->Items(2)->Position(), 4u);
    ExpectPositionsConsistent(columns);
    // Several moves inside one collection update.
    columns->BeginUpdate();
    columns->Items(1)->SetPosition(0);
    columns->Items(3)->SetPosition(1);
    columns->Items(1)->SetPosition(4);
    columns->EndUpdate();
    ExpectPositionsConsistent(columns);
    EXPECT_EQ(columns->GetNextVisibleColumn(columns->ColumnFromPosition(0)), columns->ColumnFromPosition(1));
}

TEST(Columns, DeletingRenumbersPositionsMainAndSortColumn)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 5);
    columns->Items(4)->SetPosition(0);
    tree->Header()->SetMainColumn(3);
    tree->Header()->SetSortColumn(4);
    columns->Delete(1);
    EXPECT_EQ(columns->Count(), 4);
    ExpectPositionsConsistent(columns);
    EXPECT_EQ(tree->Header()->MainColumn(), 2) << "the main column follows its column";
    EXPECT_EQ(columns->Items(2)->Text(), "C3");
    EXPECT_EQ(tree->Header()->SortColumn(), 3);
    columns->Delete(2);
    EXPECT_EQ(tree->Header()->MainColumn(), 0) << "losing it, the first column takes over";
    ExpectPositionsConsistent(columns);
    // Deleting and adding within an update.
    columns->BeginUpdate();
    columns->Delete(0);
    columns->Add();
    columns->Items(0)->SetPosition(2);
    columns->EndUpdate();
    ExpectPositionsConsistent(columns);
    columns->Clear();
    EXPECT_EQ(tree->Header()->MainColumn(), NoColumn);
    EXPECT_TRUE(columns->PositionToIndex().empty());
}

namespace {
// Captions in display order.
std::string DisplayOrder(TTreeGridColumns* columns)
{
    std::string result;
    for (int index : columns->PositionToIndex())
        result += (result.empty() ? "" : " ") + (columns->Items(index)->Text().empty() ? "NEW" : columns->Items(index)->Text());
    return result;
}
}  // namespace

// Every stored column index follows its column when an insert or a new
// collection index moves it; the existing columns keep their display order.
TEST(Columns, InsertAndIndexMovesRenumberEveryStoredIndex)
{
    for (bool userOrder : {false, true}) {
        SCOPED_TRACE(userOrder ? "user order" : "identity");
        TTreePtr tree = MakeTree();
        TTreeGridColumns* columns = Columns(tree.get(), 4);
        if (userOrder)
            columns->Items(3)->SetPosition(0);  // C3 C0 C1 C2
        TTGHeader* header = tree->Header();
        header->SetMainColumn(2);
        header->SetSortColumn(3);
        header->SetAutoSizeIndex(1);
        tree->SetFocusedColumn(2);
        columns->FHoverIndex = 3;
        columns->FDropTarget = 0;
        const std::string before = DisplayOrder(columns);
        columns->Insert(1);
        EXPECT_EQ(DisplayOrder(columns), before + " NEW");
        EXPECT_EQ(columns->Items(header->MainColumn())->Text(), "C2");
        EXPECT_EQ(columns->Items(header->SortColumn())->Text(), "C3");
        EXPECT_EQ(columns->Items(header->AutoSizeIndex())->Text(), "C1");
        EXPECT_EQ(columns->Items(tree->FocusedColumn())->Text(), "C2");
        EXPECT_EQ(columns->Items(columns->FHoverIndex)->Text(), "C3");
        EXPECT_EQ(columns->FDropTarget, 0) << "indexes before the insert stay";
        ExpectPositionsConsistent(columns);
        // Moving a column's collection index down and up again.
        columns->Items(4)->SetIndex(0);
        EXPECT_EQ(DisplayOrder(columns), before + " NEW");
        EXPECT_EQ(columns->Items(header->SortColumn())->Text(), "C3");
        EXPECT_EQ(columns->Items(header->MainColumn())->Text(), "C2");
        columns->Items(0)->SetIndex(3);
        EXPECT_EQ(DisplayOrder(columns), before + " NEW");
        EXPECT_EQ(columns->Items(header->SortColumn())->Text(), "C3");
        EXPECT_EQ(columns->Items(header->AutoSizeIndex())->Text(), "C1");
        EXPECT_EQ(columns->Items(tree->FocusedColumn())->Text(), "C2");
        ExpectPositionsConsistent(columns);
    }
}

TEST(Columns, WidthLimitsAndHiddenColumns)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 3);
    TTreeGridColumn* c = columns->Items(1);
    c->SetMaxWidth(60);
    EXPECT_EQ(c->Width(), 50);
    c->SetWidth(500);
    EXPECT_EQ(c->Width(), 60);
    c->SetMinWidth(100);
    EXPECT_EQ(c->MinWidth(), 60) << "MinWidth above MaxWidth stores MaxWidth";
    c->SetWidth(5);
    EXPECT_EQ(c->Width(), 60);
    EXPECT_EQ(c->LastWidth(), 50);
    c->SetOptions(c->Options() - TTGColumnOptions{coVisible});
    EXPECT_EQ(c->Position(), 1u) << "hiding keeps the position";
    EXPECT_EQ(columns->Items(2)->StoredLeft(), 40);
    ExpectPositionsConsistent(columns);
}

TEST(Columns, MovedNextToAFixedColumnBecomesFixed)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 3);
    columns->Items(0)->SetOptions(columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    columns->Items(2)->SetPosition(0);
    EXPECT_TRUE(columns->Items(2)->Options().Contains(coFixed));
    EXPECT_EQ(columns->GetVisibleFixedWidth(), 40 + 60);
}

// The auto-size column takes what the others leave; a width set on it is
// not stored (nor kept to restore), and the change is reported once.
TEST(Columns, AutoSizeColumnFillsTheRest)
{
    TTreePtr tree = MakeTree();
    tree->SetBounds(0, 0, 300, 100);
    TTreeGridColumns* columns = Columns(tree.get(), 3);
    tree->Header()->SetAutoSizeIndex(1);
    tree->Header()->SetOptions(tree->Header()->Options() + TTGHeaderOptions{hoAutoResize});
    EXPECT_EQ(columns->Items(1)->Width(), 300 - 40 - 60);
    columns->Items(0)->SetWidth(80);
    EXPECT_EQ(columns->Items(1)->Width(), 300 - 80 - 60);
    ExpectPositionsConsistent(columns);

    std::vector<TColumnIndex> notices;
    tree->OnColumnResize = [&](TBaseTreeGrid*, TColumnIndex c) { notices.push_back(c); };
    columns->Items(1)->SetWidth(80);
    EXPECT_EQ(columns->Items(1)->Width(), 160);
    EXPECT_EQ(columns->Items(1)->LastWidth(), 160);
    EXPECT_EQ(notices, (std::vector<TColumnIndex>{1}));
    ExpectPositionsConsistent(columns);
}

TEST(Columns, ProportionalShrinkSpreadsTheRemainder)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = tree->Header()->Columns();
    for (int i = 0; i < 3; ++i)
        columns->Add()->SetWidth(100);
    EXPECT_EQ(tree->Header()->ResizeColumns(-10, 0, 2, {coVisible, coResizable}), -10);
    EXPECT_EQ(columns->Items(0)->Width(), 97);
    EXPECT_EQ(columns->Items(1)->Width(), 97);
    EXPECT_EQ(columns->Items(2)->Width(), 96);
    tree->Header()->ResizeColumns(-1, 0, 2, {coVisible, coResizable});
    EXPECT_EQ(columns->Items(1)->Width(), 96) << "the next pixel comes from the middle";
    EXPECT_EQ(tree->Header()->ResizeColumns(1000000, 0, 2), 3 * 10000 - 97 - 96 - 96);
    ExpectPositionsConsistent(columns);
}

TEST(Columns, ColumnAtAPointAndNames)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 3);
    EXPECT_EQ(columns->ColumnFromPoint(0, 5), 0);
    EXPECT_EQ(columns->ColumnFromPoint(45, 5), 1);
    EXPECT_EQ(columns->ColumnFromPoint(149, 5), 2);
    EXPECT_EQ(columns->ColumnFromPoint(150, 5), InvalidColumn);
    EXPECT_EQ(columns->ColumnFromPoint(-1, 5), InvalidColumn);
    EXPECT_EQ(columns->Items(0)->DisplayName(), "C0");
    columns->Items(1)->SetText("\xC4\x80x");  // U+0100
    EXPECT_EQ(columns->Items(1)->DisplayName(), "Column 1");
    columns->Items(2)->SetText("\xC3\xA9t\xC3\xA9");  // below U+0100
    EXPECT_EQ(columns->Items(2)->DisplayName(), "\xC3\xA9t\xC3\xA9");
}

TEST(Header, HeightRulesWithoutAWindow)
{
    TTreePtr tree = MakeTree();
    TTGHeader* header = tree->Header();
    EXPECT_EQ(header->Height(), 17);
    header->SetDefaultHeight(25);
    EXPECT_EQ(header->Height(), 25) << "the height follows an unchanged default";
    header->SetMinHeight(50000);
    EXPECT_EQ(header->MinHeight(), 10000);
    EXPECT_TRUE(header->States().Contains(hsNeedScaling));
    header->FixedAreaConstraints()->SetMinWidthPercent(40);
    header->FixedAreaConstraints()->SetMaxWidthPercent(20);
    EXPECT_EQ(header->FixedAreaConstraints()->MinWidthPercent(), 20);
}

TEST(Columns, CaptionAlignmentSetByCodeTakesEffectAndSurvivesACopy)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumns* columns = Columns(tree.get(), 2);
    TTreeGridColumn* c = columns->Items(0);
    c->SetAlignment(taLeftJustify);
    c->SetCaptionAlignment(taRightJustify);
    EXPECT_EQ(c->CaptionAlignment(), taRightJustify);
    EXPECT_TRUE(c->Options().Contains(coUseCaptionAlignment));
    // The cell alignment goes its own way once the caption has its own.
    c->SetAlignment(taCenter);
    EXPECT_EQ(c->CaptionAlignment(), taRightJustify);

    // A copy applies the options first, then the value; both arrive.
    columns->Items(1)->Assign(c);
    EXPECT_EQ(columns->Items(1)->CaptionAlignment(), taRightJustify);

    // Clearing the option falls back to the cell alignment; setting the same
    // value again asks for it once more.
    c->SetOptions(c->Options() - TTGColumnOptions{coUseCaptionAlignment});
    EXPECT_EQ(c->CaptionAlignment(), taCenter);
    c->SetCaptionAlignment(taRightJustify);
    EXPECT_EQ(c->CaptionAlignment(), taRightJustify);
}
