// The header under real (synthetic) mouse input on a shown form: splitter
// hits, width and height tracking, double clicks on the splitters, column
// dragging and dropping, cancelling, clicks, the popup menu, the hover timer
// and the splitter cursors. Points are client points of the tree; the
// header's rows are -17..-1.
#include "TreeGridTestSupport.h"

#include "components/TreeGrid/TreeGridDragImage.h"
#include "components/TreeGrid/TreeGridHintWindow.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr int HeaderRow = -8;  // a row inside the header

struct HeaderInput : ::testing::Test {
    TForm* Form = nullptr;
    TTestTree* Tree = nullptr;
    TTGHeader* Header = nullptr;
    TTreeGridColumns* Columns = nullptr;
    std::vector<std::string> Events;

    void SetUp() override
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(100, 50, 420, 300);
        Tree = Create<TTestTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBounds(20, 20, 340, 200);
        Header = Tree->Header();
        Columns = Header->Columns();
        for (int i = 0; i < 3; ++i)
            Columns->Add()->SetWidth(100);
        Header->SetOptions(Header->Options() + TTGHeaderOptions{hoVisible});
        Form->Show();
        ProcessEvents();
    }
    void TearDown() override
    {
        SetPopupMenuHook(nullptr);
        delete Form;
    }
    THeaderStates Interaction() const
    {
        return Header->States() * THeaderStates{hsDragging, hsDragPending, hsColumnWidthTracking,
                                      hsColumnWidthTrackPending, hsHeightTracking, hsHeightTrackPending};
    }
    void Press(TPoint P)
    {
        NextClick();
        MouseDown(Tree, P);
    }
    // The client point at the same place on the screen as P was before the
    // header's height changed by Delta.
    static TPoint Shifted(TPoint P, int Delta) { return {P.X, P.Y - Delta}; }
};

}  // namespace

TEST_F(HeaderInput, APressNearAColumnEdgeStartsAWidthTrackOnlyInsideTheSplitter)
{
    struct TCase {
        int X;
        bool Tracks;
    };
    // Column 0 ends at 100: the splitter reaches from 98 to 104.
    for (const TCase& c : {TCase{102, true}, TCase{105, false}, TCase{97, false}, TCase{98, true}}) {
        Press({c.X, HeaderRow});
        EXPECT_EQ(Interaction().Contains(hsColumnWidthTrackPending), c.Tracks) << c.X;
        if (c.Tracks) {
            EXPECT_EQ(Columns->FTrackIndex, 0) << c.X;
        }
        MouseUp(Tree, {c.X, HeaderRow});
        EXPECT_TRUE(Interaction().Empty()) << c.X;
    }
    Columns->Items(0)->SetOptions(Columns->Items(0)->Options() - TTGColumnOptions{coResizable});
    Press({102, HeaderRow});
    EXPECT_FALSE(Interaction().Contains(hsColumnWidthTrackPending)) << "not resizable";
    MouseUp(Tree, {102, HeaderRow});
    Columns->Items(0)->SetOptions(Columns->Items(0)->Options() + TTGColumnOptions{coResizable});
    Tree->OnCanSplitterResizeColumn = [](TTGHeader*, TPoint, TColumnIndex, bool& Allowed) { Allowed = false; };
    Press({102, HeaderRow});
    EXPECT_FALSE(Interaction().Contains(hsColumnWidthTrackPending)) << "refused by the owner";
    MouseUp(Tree, {102, HeaderRow});
}

TEST_F(HeaderInput, WidthTrackingFollowsThePointerWithinLimitsAndVetoes)
{
    Tree->OnBeforeColumnWidthTracking = [this](TTGHeader*, TColumnIndex c, TShiftState) {
        Events.push_back("before " + std::to_string(c));
    };
    Tree->OnAfterColumnWidthTracking = [this](TTGHeader*, TColumnIndex c) {
        Events.push_back("after " + std::to_string(c));
    };
    bool veto = false;
    Tree->OnColumnWidthTracking = [&](TTGHeader*, TColumnIndex, TShiftState, TPoint&, TPoint, bool& Allowed) {
        Allowed = !veto;
    };
    Columns->Items(1)->SetMaxWidth(180);
    Press({201, HeaderRow});
    MouseMove(Tree, {250, HeaderRow});
    EXPECT_TRUE(Interaction().Contains(hsColumnWidthTracking));
    EXPECT_EQ(Columns->Items(1)->Width(), 150) << "from the column's left edge to the pointer";
    MouseMove(Tree, {400, HeaderRow});
    EXPECT_EQ(Columns->Items(1)->Width(), 180) << "MaxWidth";
    MouseMove(Tree, {90, HeaderRow});
    EXPECT_EQ(Columns->Items(1)->Width(), 10) << "MinWidth";
    veto = true;
    MouseMove(Tree, {220, HeaderRow});
    EXPECT_EQ(Columns->Items(1)->Width(), 10) << "a refused step changes nothing";
    veto = false;
    MouseMove(Tree, {230, HeaderRow});
    EXPECT_EQ(Columns->Items(1)->Width(), 130);
    MouseUp(Tree, {230, HeaderRow});
    EXPECT_EQ(Events, (std::vector<std::string>{"before 1", "after 1"}));
    EXPECT_EQ(Columns->FTrackIndex, -1);
    EXPECT_TRUE(Interaction().Empty());
}

TEST_F(HeaderInput, HeightTrackingGrowsByThePointersDistanceBelowTheHeader)
{
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoHeightResize});
    int afters = 0;
    Tree->OnAfterHeaderHeightTracking = [&](TTGHeader*) { ++afters; };
    bool veto = false;
    Tree->OnHeaderHeightTracking = [&](TTGHeader*, TPoint&, TShiftState, bool& Allowed) { Allowed = !veto; };
    const int clientHeight = Tree->ClientHeight();
    Press({150, -1});
    EXPECT_TRUE(Interaction().Contains(hsHeightTrackPending));
    MouseMove(Tree, {150, 10});
    EXPECT_EQ(Header->Height(), 27);
    EXPECT_EQ(Tree->ClientHeight(), clientHeight - 10) << "the client area gave way";
    veto = true;
    MouseMove(Tree, Shifted({150, 20}, 10));
    EXPECT_EQ(Header->Height(), 27);
    veto = false;
    MouseMove(Tree, Shifted({150, 20}, 10));
    EXPECT_EQ(Header->Height(), 37);
    MouseUp(Tree, Shifted({150, 20}, 20));
    EXPECT_EQ(afters, 1);
    EXPECT_TRUE(Interaction().Empty());
}

TEST_F(HeaderInput, DoubleClicksOnSplittersAutoFitAndRestoreTheHeight)
{
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoDblClickResize, hoHeightDblClickResize});
    Tree->OnAfterGetMaxColumnWidth = [](TTGHeader*, TColumnIndex Column, int& MaxWidth) {
        MaxWidth = Column == 1 ? 64 : 90;
    };
    DoubleClick(Tree, {202, HeaderRow});
    EXPECT_EQ(Columns->Items(1)->Width(), 64);
    EXPECT_EQ(Columns->Items(0)->Width(), 100);
    EXPECT_EQ(Columns->Items(2)->Width(), 100);

    Tree->OnColumnWidthDblClickResize = [](TTGHeader*, TColumnIndex, TShiftState, TPoint, bool& Allowed) {
        Allowed = false;
    };
    DoubleClick(Tree, {101, HeaderRow});
    EXPECT_EQ(Columns->Items(0)->Width(), 100) << "refused";

    Header->SetHeight(30);
    DoubleClick(Tree, {150, -1});
    EXPECT_EQ(Header->Height(), 17) << "back to the default height";

    Header->SetMinHeight(0);
    Header->SetDefaultHeight(0);
    Header->SetHeight(30);
    DoubleClick(Tree, {150, -1});
    EXPECT_EQ(Header->Height(), 30) << "a default height of 0 changes nothing";
}

TEST_F(HeaderInput, ADragStartsOnlyBeyondTheThreshold)
{
    const int threshold = GetSystemMetrics(SM_CXDRAG);
    for (TPoint to : {TPoint{50 + threshold, HeaderRow}, TPoint{50, HeaderRow + threshold},
             TPoint{50 - threshold, HeaderRow - threshold}}) {
        Press({50, HeaderRow});
        EXPECT_TRUE(Interaction().Contains(hsDragPending));
        MouseMove(Tree, to);
        EXPECT_TRUE(Interaction().Contains(hsDragPending)) << to.X << "," << to.Y;
        EXPECT_FALSE(Interaction().Contains(hsDragging));
        MouseUp(Tree, {50, HeaderRow});
    }
    Press({50, HeaderRow});
    MouseMove(Tree, {51 + threshold, HeaderRow});
    EXPECT_TRUE(Interaction().Contains(hsDragging));
    EXPECT_TRUE(Header->DragImage()->Visible());
    EXPECT_EQ(Columns->FDragIndex, 0);
    MouseUp(Tree, {51 + threshold, HeaderRow});
    EXPECT_FALSE(Header->DragImage()->Visible());

    Tree->OnHeaderDragging = [](TBaseTreeGrid*, TColumnIndex, bool& Allowed) { Allowed = false; };
    Press({50, HeaderRow});
    MouseMove(Tree, {90, HeaderRow});
    EXPECT_FALSE(Interaction().Contains(hsDragging)) << "the owner refused";
    MouseUp(Tree, {90, HeaderRow});
}

TEST_F(HeaderInput, DropsMoveTheColumnByTheSideOfTheMark)
{
    std::vector<std::pair<int, int>> dragged;
    std::vector<TPoint> out;
    Tree->OnHeaderDragged = [&](TBaseTreeGrid*, TColumnIndex Column, int OldPosition) {
        dragged.emplace_back(Column, OldPosition);
    };
    Tree->OnHeaderDraggedOut = [&](TBaseTreeGrid*, TColumnIndex, const TPoint& P) { out.push_back(P); };
    auto drag = [&](TPoint From, TPoint To) {
        Press(From);
        MouseMove(Tree, {From.X + 10, From.Y});
        MouseMove(Tree, To);
        MouseUp(Tree, To);
    };
    // The leading half of the right neighbour: the column stays where it is.
    drag({50, HeaderRow}, {120, HeaderRow});
    EXPECT_EQ(Columns->Items(0)->Position(), 0u);
    ASSERT_EQ(dragged.size(), 1u);
    EXPECT_EQ(dragged[0], std::make_pair(0, 0));
    // The trailing half of position 2: it goes to position 2.
    drag({50, HeaderRow}, {280, HeaderRow});
    EXPECT_EQ(Columns->Items(0)->Position(), 2u);
    EXPECT_EQ(Columns->PositionToIndex(), (std::vector<int>{1, 2, 0}));
    ASSERT_EQ(dragged.size(), 2u);
    EXPECT_EQ(dragged[1], std::make_pair(0, 0));
    // Back to the front: the leading half of position 0.
    drag({250, HeaderRow}, {20, HeaderRow});
    EXPECT_EQ(Columns->PositionToIndex(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(dragged.back(), std::make_pair(0, 2));
    EXPECT_EQ(Columns->FDropTarget, -1);
    EXPECT_TRUE(out.empty());

    // Outside the tree's window the owner hears of it, at the screen point.
    const std::size_t moves = dragged.size();
    drag({150, HeaderRow}, {150, -60});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], Tree->ClientToScreen({150, -60}));
    EXPECT_EQ(dragged.size(), moves);
    EXPECT_EQ(Columns->PositionToIndex(), (std::vector<int>{0, 1, 2}));
    // Back onto itself inside the tree: nothing happens at all.
    drag({150, HeaderRow}, {140, HeaderRow});
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(dragged.size(), moves);
}

TEST_F(HeaderInput, EscapeAndFocusLossCancel)
{
    int dragged = 0;
    Tree->OnHeaderDragged = [&](TBaseTreeGrid*, TColumnIndex, int) { ++dragged; };
    int afters = 0;
    Tree->OnAfterColumnWidthTracking = [&](TTGHeader*, TColumnIndex) { ++afters; };
    Tree->SetFocus();
    Press({50, HeaderRow});
    MouseMove(Tree, {280, HeaderRow});
    ASSERT_TRUE(Interaction().Contains(hsDragging));
    KeyDown(Tree, VK_ESCAPE);
    KeyUp(Tree, VK_ESCAPE);
    EXPECT_TRUE(Interaction().Empty());
    EXPECT_FALSE(Header->DragImage()->Visible());
    EXPECT_EQ(Columns->FDropTarget, -1);
    MouseUp(Tree, {280, HeaderRow});
    EXPECT_EQ(dragged, 0);
    EXPECT_EQ(Columns->PositionToIndex(), (std::vector<int>{0, 1, 2}));

    auto* edit = Create<TEdit>(Form);
    edit->SetParent(Form);
    edit->SetBounds(20, 240, 100, 22);
    Tree->SetFocus();
    Press({101, HeaderRow});
    MouseMove(Tree, {140, HeaderRow});
    ASSERT_TRUE(Interaction().Contains(hsColumnWidthTracking));
    edit->SetFocus();
    EXPECT_TRUE(Interaction().Empty());
    EXPECT_EQ(afters, 1);
    EXPECT_FALSE(Tree->Focused());
    MouseMove(Tree, {200, HeaderRow});
    EXPECT_EQ(Columns->Items(0)->Width(), 140) << "no more tracking";
    MouseUp(Tree, {200, HeaderRow});
}

TEST_F(HeaderInput, ClicksReachTheOwnerWithColumnButtonAndPoint)
{
    std::vector<TTGHeaderHitInfo> clicks;
    Tree->OnHeaderClick = [&](TBaseTreeGrid*, const TTGHeaderHitInfo& Info) { clicks.push_back(Info); };
    Click(Tree, {150, HeaderRow});
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].Column, 1);
    EXPECT_EQ(clicks[0].Button, mbLeft);
    EXPECT_EQ(clicks[0].X, 150);
    EXPECT_EQ(clicks[0].Y, HeaderRow + 17);
    EXPECT_TRUE(clicks[0].HitPosition.Contains(hhiOnColumn));
    EXPECT_EQ(Columns->FClickIndex, 1);
    EXPECT_EQ(Columns->FDownIndex, -1);

    // Pressed on one column, released on another: no click on a column.
    NextClick();
    MouseDown(Tree, {150, HeaderRow});
    MouseUp(Tree, {250, HeaderRow});
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].Column, NoColumn);
    EXPECT_TRUE(clicks[1].HitPosition.Contains(hhiNoWhere));

    // A column that does not allow clicks is never pressed, so never clicked.
    Columns->Items(2)->SetOptions(Columns->Items(2)->Options() - TTGColumnOptions{coAllowClick});
    Click(Tree, {250, HeaderRow});
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(Columns->FClickIndex, -1);

    Click(Tree, {50, HeaderRow}, mbRight);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[2].Column, 0);
    EXPECT_EQ(clicks[2].Button, mbRight);
    EXPECT_EQ(clicks[2].X, 50);
}

TEST_F(HeaderInput, ARightClickPopsTheMenuUpAtThePointer)
{
    auto* menu = Create<TPopupMenu>(Form);
    std::vector<TPoint> shown;
    SetPopupMenuHook([&](TPopupMenu* M) {
        EXPECT_EQ(M, menu);
        EXPECT_EQ(M->PopupComponent(), Tree);
        shown.push_back(M->PopupPoint());
    });
    Click(Tree, {150, HeaderRow}, mbRight);
    EXPECT_TRUE(shown.empty()) << "no menu yet";
    Header->SetPopupMenu(menu);
    Click(Tree, {150, HeaderRow}, mbRight);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Tree->ClientToScreen({150, HeaderRow}));

    // Without a header menu the owner may give one for the column.
    Header->SetPopupMenu(nullptr);
    TColumnIndex asked = -5;
    Tree->OnGetPopupMenu = [&](TBaseTreeGrid*, TGridNode*, TColumnIndex Column, TPoint, bool&, TPopupMenu*& Menu) {
        asked = Column;
        Menu = menu;
    };
    Click(Tree, {250, HeaderRow}, mbRight);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(HeaderInput, HoverFollowsThePointerAndEndsByTheHeaderTimer)
{
    MouseMove(Tree, {150, HeaderRow});
    EXPECT_EQ(Columns->FHoverIndex, 1);
    MouseMove(Tree, {250, HeaderRow});
    EXPECT_EQ(Columns->FHoverIndex, 2);
    // The pointer leaves through the client area: the header's timer sees it.
    MouseMove(Tree, {250, 60});
    Tree->Perform(WM_TIMER, HeaderTimer, 0);
    EXPECT_EQ(Columns->FHoverIndex, -1);
    // While the pointer is still over the header the timer keeps it.
    MouseMove(Tree, {50, HeaderRow});
    Tree->Perform(WM_TIMER, HeaderTimer, 0);
    EXPECT_EQ(Columns->FHoverIndex, 0);
}

TEST_F(HeaderInput, SplitterCursorsAreTheUnitsPictures)
{
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoHeightResize});
    MouseMove(Tree, {101, HeaderRow});
    const HCURSOR columnSplit = Screen->Cursors(crHeaderSplit);
    const HCURSOR rowSplit = Screen->Cursors(crVertSplit);
    EXPECT_NE(columnSplit, Screen->Cursors(crDefault));
    EXPECT_NE(rowSplit, Screen->Cursors(crDefault));
    EXPECT_NE(columnSplit, rowSplit);
    EXPECT_EQ(WindowCursor(Tree), columnSplit);
    MouseMove(Tree, {150, -1});
    EXPECT_EQ(WindowCursor(Tree), rowSplit);
    MouseMove(Tree, {150, HeaderRow});
    EXPECT_EQ(WindowCursor(Tree), Screen->Cursors(crDefault));
    // The owner has the last word.
    Tree->OnGetHeaderCursor = [](TBaseTreeGrid*, TCursor& Cursor) { Cursor = crHandPoint; };
    MouseMove(Tree, {101, HeaderRow});
    EXPECT_EQ(WindowCursor(Tree), Screen->Cursors(crHandPoint));
}

TEST_F(HeaderInput, BelowTheHeaderOnlyTheLastFixedColumnsSplitterCountsAndOnlyAlongTheRows)
{
    Tree->SetRootNodeCount(3);  // rows down to 54
    Columns->Items(0)->SetOptions(Columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    struct TCase {
        TPoint P;
        bool Tracks;
    };
    for (const TCase& c : {TCase{{101, 20}, true}, TCase{{101, 54}, true}, TCase{{101, 70}, false},
             TCase{{201, 20}, false}, TCase{{201, HeaderRow}, true}}) {
        Press(c.P);
        EXPECT_EQ(Interaction().Contains(hsColumnWidthTrackPending), c.Tracks) << c.P.X << "," << c.P.Y;
        MouseUp(Tree, c.P);
    }
    // The height splitter: two pixels either side of the header's lower edge.
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoHeightResize});
    for (const TCase& c : {TCase{{150, 1}, true}, TCase{{150, 2}, false}, TCase{{150, -2}, true},
             TCase{{150, -3}, false}}) {
        Press(c.P);
        EXPECT_EQ(Interaction().Contains(hsHeightTrackPending), c.Tracks) << c.P.Y;
        MouseUp(Tree, c.P);
        ProcessEvents();
    }
}

TEST_F(HeaderInput, RightToLeftTheSplitterIsTheLeftEdgeAndTrackingWidensLeftwards)
{
    Tree->SetBiDiMode(bdRightToLeft);
    ProcessEvents();
    int left = 0;
    int right = 0;
    Columns->GetColumnBounds(0, left, right);
    ASSERT_EQ(right - left, 100);
    Press({left + 2, HeaderRow});
    EXPECT_TRUE(Interaction().Contains(hsColumnWidthTrackPending));
    EXPECT_EQ(Columns->FTrackIndex, 0);
    MouseMove(Tree, {left - 30, HeaderRow});
    EXPECT_EQ(Columns->Items(0)->Width(), 130);
    MouseUp(Tree, {left - 30, HeaderRow});
    Columns->GetColumnBounds(0, left, right);
    Press({left + 4, HeaderRow});
    EXPECT_FALSE(Interaction().Contains(hsColumnWidthTrackPending)) << "four pixels inside the column";
    MouseUp(Tree, {left + 4, HeaderRow});
}

TEST_F(HeaderInput, AClickOnAHeaderCheckBoxTogglesItThroughTheClick)
{
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoShowImages});
    TTreeGridColumn* column = Columns->Items(1);
    column->SetCheckBox(true);
    ProcessEvents();  // painting places the box
    ASSERT_TRUE(column->HasImage());
    const TRect box = column->ImageRect();  // header coordinates
    const TPoint onBox{box.Left + 3, box.Top + 3 - Header->Height()};
    std::vector<THeaderHitPositions> hits;
    Tree->OnHeaderClick = [&](TBaseTreeGrid*, const TTGHeaderHitInfo& Info) { hits.push_back(Info.HitPosition); };
    Click(Tree, onBox);
    EXPECT_EQ(column->CheckState(), csCheckedNormal);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_TRUE(hits[0].Contains(hhiOnCheckbox));
    EXPECT_TRUE(hits[0].Contains(hhiOnIcon));
    Click(Tree, onBox);
    EXPECT_EQ(column->CheckState(), csUncheckedNormal);
    // Elsewhere on the column the box stays as it is.
    Click(Tree, {box.Right + 30, HeaderRow});
    EXPECT_EQ(column->CheckState(), csUncheckedNormal);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_FALSE(hits[2].Contains(hhiOnCheckbox));
    EXPECT_TRUE(hits[2].Contains(hhiOnColumn));
}

TEST_F(HeaderInput, MovingOverTheHeaderShowsTheColumnsHintAtOnce)
{
    Header->SetOptions(Header->Options() + TTGHeaderOptions{hoShowHint});
    Tree->SetShowHint(true);
    Columns->Items(1)->SetHint("Second column");
    Application->SetShowHint(true);
    Tree->SetFocus();
    MouseMove(Tree, {150, HeaderRow});
    ProcessEvents();
    THintWindow* shown = Application->ShownHintWindow();
    ASSERT_NE(shown, nullptr);
    auto* window = dynamic_cast<TTreeGridHintWindow*>(shown);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ShownText(), "Second column");
    // A column without a hint shows none.
    MouseMove(Tree, {50, HeaderRow});
    ProcessEvents();
    EXPECT_EQ(Application->ShownHintWindow(), nullptr);
    Application->CancelHint();
}
