// Drag and drop of rows between trees on a shown form, through the
// platform's drag loop hook: where rows land, refusals, expanding a held
// row, and the drag loop's answers.
#include "TreeGridTestSupport.h"

#include "components/TreeGrid/TreeGridDataObject.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "tests/support/PlatformFixture.h"

namespace {

TTestTree* RowTree(TForm* Form, int Left)
{
    auto* tree = Create<TTestTree>(Form);
    tree->SetParent(Form);
    tree->SetBounds(Left, 10, 180, 200);
    tree->SetNodeDataSize(sizeof(TRow));
    tree->SetSelection(toMultiSelect, true);
    tree->OnSaveNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { s.WriteInt32(Row(t, n).Id); };
    tree->OnLoadNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { Row(t, n).Id = s.ReadInt32(); };
    return tree;
}

TGridNode* Add(TTestTree* tree, TGridNode* parent, int id)
{
    TGridNode* n = tree->AddChild(parent);
    Row(tree, n).Id = id;
    return n;
}

std::string Shape(TTestTree* tree, TGridNode* parent = nullptr)
{
    std::string s;
    for (TGridNode* n = tree->GetFirstChildNoInit(parent); n; n = n->NextSibling) {
        s += (s.empty() ? "" : " ") + std::to_string(Row(tree, n).Id);
        if (n->FirstChild)
            s += "(" + Shape(tree, n) + ")";
    }
    return s;
}

// Two trees on a shown form: rows 1 2 3 to drag from, rows 10 20 30 to drop on.
struct TDragForm {
    TForm* Form;
    TTestTree* Source;
    TTestTree* Target;
    std::vector<TTGDropMode> Modes;

    TDragForm()
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(100, 50, 420, 260);
        Source = RowTree(Form, 10);
        Target = RowTree(Form, 220);
        for (int id : {1, 2, 3})
            Add(Source, nullptr, id);
        for (int id : {10, 20, 30})
            Add(Target, nullptr, id);
        Target->OnDragOver = [this](TBaseTreeGrid*, TBaseTreeGrid*, TShiftState, TDragState, TPoint, TTGDropMode Mode,
                                 int&, bool& Accept) {
            Modes.push_back(Mode);
            Accept = true;
        };
        Target->OnDragDrop = [](TBaseTreeGrid* Sender, TBaseTreeGrid* From, const IDataObjectPtr& Data,
                                 const std::vector<TFormatEtc>&, TShiftState, TPoint, int& Effect, TTGDropMode Mode) {
            const TTGNodeAttachMode attach = Mode == dmAbove ? amInsertBefore
                : Mode == dmBelow                            ? amInsertAfter
                                                             : amAddChildLast;
            if (!Sender->ProcessOLEData(From, Data, Sender->DropTargetNode(), attach, false))
                Effect = DROPEFFECT_NONE;
        };
        Form->Show();
    }
    TDragForm(const TDragForm&) = delete;
    TDragForm& operator=(const TDragForm&) = delete;
    ~TDragForm()
    {
        SetDragLoopHook(nullptr);
        delete Form;
    }

    // A point in the target's row Index, Offset pixels below its top.
    TPoint AtRow(int Index, int Offset) const { return Target->ClientToScreen({30, Index * 18 + Offset}); }

    // Drags the source's selected rows and drops them at Drop; the effect.
    int DragTo(TPoint Drop, int Effects = DROPEFFECT_COPY)
    {
        int effect = -1;
        SetDragLoopHook([&](const IDataObjectPtr& Data, int OkEffects) {
            TDragSimulation drag(Data, OkEffects & Effects);
            drag.Move(Drop);
            effect = drag.Drop(Drop);
            return effect;
        });
        Source->DoDragging({5, 5});
        return effect;
    }
};

}  // namespace

TEST(TreeGridDragDrop, RowsLandAboveOnAndBelow)
{
    TDragForm f;
    f.Source->SetSelected(f.Source->GetFirstNoInit(), true);  // row 1
    EXPECT_EQ(f.DragTo(f.AtRow(1, 2)), DROPEFFECT_COPY);        // top quarter of 20
    EXPECT_EQ(Shape(f.Target), "10 1 20 30");
    EXPECT_EQ(f.Modes.back(), dmAbove);

    EXPECT_EQ(f.DragTo(f.AtRow(0, 9)), DROPEFFECT_COPY);  // the middle of 10
    EXPECT_EQ(Shape(f.Target), "10(1) 1 20 30");
    EXPECT_EQ(f.Modes.back(), dmOnNode);

    EXPECT_EQ(f.DragTo(f.AtRow(2, 15)), DROPEFFECT_COPY);  // bottom quarter of 20 (row 2: 10 stays closed)
    EXPECT_EQ(Shape(f.Target), "10(1) 1 20 1 30");
    EXPECT_EQ(f.Modes.back(), dmBelow);
    ExpectConsistent(f.Target);
    // A copy leaves the source as it was; the drop mark is gone.
    EXPECT_EQ(Shape(f.Source), "1 2 3");
    EXPECT_EQ(f.Target->DropTargetNode(), nullptr);
    EXPECT_FALSE(f.Target->TreeStates().Contains(tsOLEDragging));
}

TEST(TreeGridDragDrop, AMoveTakesTheRowsAwayFromTheSource)
{
    TDragForm f;
    f.Source->SetSelected(f.Source->GetFirstNoInit(), true);
    f.Source->SetSelected(f.Source->GetLastNoInit(), true);
    EXPECT_EQ(f.DragTo(f.AtRow(2, 16), DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    EXPECT_EQ(Shape(f.Target), "10 20 30 1 3");
    EXPECT_EQ(Shape(f.Source), "2");
    ExpectConsistent(f.Source);
}

TEST(TreeGridDragDrop, RefusedWithoutAHandlerOrTheOption)
{
    TDragForm f;
    f.Source->SetSelected(f.Source->GetFirstNoInit(), true);
    const TTGDragOverEvent handler = f.Target->OnDragOver;
    f.Target->OnDragOver = nullptr;
    EXPECT_EQ(f.DragTo(f.AtRow(1, 9)), DROPEFFECT_NONE);
    EXPECT_EQ(Shape(f.Target), "10 20 30");

    // A handler again, but the tree no longer takes drops.
    f.Target->OnDragOver = handler;
    f.Target->SetMisc(toAcceptOLEDrop, false);
    EXPECT_EQ(f.DragTo(f.AtRow(1, 9)), DROPEFFECT_NONE);
    EXPECT_TRUE(f.Modes.empty());
    f.Target->SetMisc(toAcceptOLEDrop, true);
    EXPECT_EQ(f.DragTo(f.AtRow(1, 9)), DROPEFFECT_COPY);
    EXPECT_EQ(Shape(f.Target), "10 20(1) 30");
}

TEST(TreeGridDragDrop, AHeldRowExpandsOnTheTimer)
{
    TDragForm f;
    TGridNode* twenty = f.Target->GetFirstNoInit()->NextSibling;
    Add(f.Target, twenty, 21);
    ASSERT_FALSE(f.Target->Expanded(twenty));
    auto data = std::make_shared<TTGDataObject>(f.Source, false);
    TDragSimulation drag(data, DROPEFFECT_COPY);
    EXPECT_EQ(drag.Move(f.AtRow(1, 9)), DROPEFFECT_COPY);
    EXPECT_EQ(f.Target->DropTargetNode(), twenty);
    // The timer's message, as the expand delay ends.
    f.Target->Perform(WM_TIMER, 1, 0);
    EXPECT_TRUE(f.Target->Expanded(twenty));
    drag.Leave();
    EXPECT_EQ(f.Target->DropTargetNode(), nullptr);
}

TEST(TreeGridDragDrop, DragLoopAnswers)
{
    EXPECT_EQ(QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(QueryContinueDrag(false, MK_RBUTTON), S_OK);
    EXPECT_EQ(QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);

    // Manual drag mode: no handler, no drag.
    TTreePtr tree = MakeTree();
    TGridNode* n = tree->AddChild(nullptr);
    EXPECT_FALSE(tree->DoBeforeDrag(n, NoColumn));
    tree->OnDragAllowed = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, bool& Allowed) { Allowed = true; };
    EXPECT_TRUE(tree->DoBeforeDrag(n, NoColumn));
}

TEST(TreeGridDragDrop, TheDragShowsTheDraggedRowsAsTheyLook)
{
    TDragForm f;
    for (int id : {4, 5, 6, 7})
        Add(f.Source, nullptr, id);
    const TColor selection = 0x00C08040;
    f.Source->Colors()->SetFocusedSelectionColor(selection);
    f.Source->Colors()->SetUnfocusedSelectionColor(selection);
    f.Source->Colors()->SetFocusedSelectionBorderColor(selection);
    f.Source->Colors()->SetUnfocusedSelectionBorderColor(selection);
    f.Source->SetSelection(toFullRowSelect, true);
    TGridNode* second = f.Source->GetNext(f.Source->GetFirst());
    TGridNode* fourth = f.Source->GetNext(f.Source->GetNext(second));
    f.Source->SetSelected(second, true);
    f.Source->SetSelected(fourth, true);

    std::vector<TColor> column;  // down the picture at x = 20
    TPoint hotSpot;
    TSize size;
    TColor key = clNone;
    SetDragLoopHook([&](const IDataObjectPtr&, int) {
        const TDragPicture& shown = CurrentDragPicture();
        if (shown.Picture) {
            size = {shown.Picture->Width(), shown.Picture->Height()};
            hotSpot = shown.HotSpot;
            auto* picture = const_cast<TBitmap*>(shown.Picture);
            for (int y = 0; y < size.cy; ++y)
                column.push_back(picture->Canvas()->Pixels(20, y));
            EXPECT_TRUE(picture->Transparent());
            key = picture->TransparentColor();
        }
        return DROPEFFECT_NONE;
    });
    // From the middle of the second row: rows two to four, the third left out.
    f.Source->DoDragging({60, 18 + 9});
    ASSERT_EQ(size.cy, 3 * 18);
    EXPECT_EQ(size.cx, 176);  // the client, narrower than the largest picture
    EXPECT_EQ(hotSpot, TPoint(60, 9));
    for (int y : {2, 9, 16, 2 * 18 + 2, 2 * 18 + 9})
        EXPECT_EQ(column[std::size_t(y)], selection) << y;
    for (int y : {18 + 2, 18 + 9, 18 + 16})
        EXPECT_EQ(column[std::size_t(y)], key) << y;
    EXPECT_EQ(CurrentDragPicture().Picture, nullptr);  // shown for the drag only

    // At most the largest picture around the pointer (27 - 10 .. 27 + 10),
    // cut to the selected rows in it.
    f.Source->SetDragWidth(50);
    f.Source->SetDragHeight(20);
    column.clear();
    f.Source->DoDragging({60, 18 + 9});
    EXPECT_EQ(size, (TSize{50, 18}));
    EXPECT_EQ(hotSpot, TPoint(25, 9));
}
