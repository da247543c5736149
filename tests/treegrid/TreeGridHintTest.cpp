// Hints of the tree: tooltips for cut-off texts, node hints and column hints,
// as the platform asks for them.
#include "InputTestSupport.h"

#include "components/TreeGrid/CustomDrawTreeGrid.h"
#include "components/TreeGrid/TreeGridHintWindow.h"

namespace {

struct THintForm : TInputForm {
    THintForm() : TInputForm(std::vector<String>{"ok", "a text far too long to fit into its narrow column"})
    {
        Tree->Header()->Columns()->Add()->SetWidth(90);
        Tree->Header()->Columns()->Add()->SetWidth(90);
        Tree->SetShowHint(true);
        Tree->SetHintMode(hmTooltip);
    }
    // What CM_HINTSHOW makes of a hint at P (client coordinates); false when refused.
    bool Ask(TPoint P, THintInfo& Info)
    {
        Info = THintInfo();
        Info.HintControl = Tree;
        Info.CursorPos = P;
        Info.HintPos = Tree->ClientToScreen(P);
        Info.CursorRect = Tree->ClientRect();
        return Tree->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
    }
    int Pause()
    {
        int pause = 500;
        Tree->Perform(CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
        return pause;
    }
};

}  // namespace

TEST(TreeGridHints, TooltipsShowCutOffTextsOnly)
{
    THintForm f;
    THintInfo info;
    EXPECT_EQ(f.Pause(), 0);
    EXPECT_FALSE(f.Ask(f.AtRow(0, 30), info));
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsHint));
    // Refused for this spot only: the next move over a cut-off text asks again.
    EXPECT_EQ(info.CursorRect, (TRect{30, 9, 31, 10}));

    ASSERT_TRUE(f.Ask(f.AtRow(1, 40), info));
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsHint));
    EXPECT_EQ(info.HintWindowClass, TTreeGridHintWindow::StaticClassInfo());
    const auto* data = static_cast<const TTGHintData*>(info.HintData);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->HintText, "a text far too long to fit into its narrow column");
    EXPECT_EQ(data->Node, f.Node(1));
    EXPECT_EQ(data->Column, 0);
    // Over the text itself: the hint's corner is the text's.
    const TRect text = f.Tree->GetDisplayRect(f.Node(1), 0, true, true, true);
    EXPECT_EQ(info.HintPos, f.Tree->ClientToScreen({text.Left, text.Top}));
    EXPECT_EQ(info.CursorRect, text);

    // The window shows the cell's whole text.
    auto* window = static_cast<TTreeGridHintWindow*>(TTreeGridHintWindow::StaticClassInfo()->CreateInstance());
    const TRect r = window->CalcHintRect(1000, info.HintStr, info.HintData);
    EXPECT_EQ(window->ShownText(), data->HintText);
    EXPECT_GT(r.Width(), 90);  // wider than the column that cuts it off
    delete window;
}

TEST(TreeGridHints, NodeHintsAndColumnHints)
{
    THintForm f;
    f.Tree->SetHintMode(hmHint);
    f.Tree->OnGetHint = [](TBaseTreeGrid*, TGridNode*, TColumnIndex Column, TTGTooltipLineBreakStyle&,
                            String& Hint) { Hint = "cell " + std::to_string(Column); };
    THintInfo info;
    EXPECT_EQ(f.Pause(), 500);
    ASSERT_TRUE(f.Ask(f.AtRow(0, 120), info));
    EXPECT_EQ(static_cast<const TTGHintData*>(info.HintData)->HintText, "cell 1");
    EXPECT_EQ(info.CursorRect, (TRect{90, 0, 180, 18}));

    // Over the header strip, a column's own hint.
    f.Tree->Header()->SetOptions(f.Tree->Header()->Options() + TTGHeaderOptions{hoVisible, hoShowHint});
    f.Tree->Header()->Columns()->Items(1)->SetHint("Second column");
    ProcessEvents();
    ASSERT_TRUE(f.Ask({120, -5}, info));
    EXPECT_EQ(static_cast<const TTGHintData*>(info.HintData)->HintText, "Second column");
    EXPECT_FALSE(f.Ask({40, -5}, info));  // the first column has none
}

TEST(TreeGridHints, TheHintWindowShowsItsWholeMeasuredLine)
{
    EnsureApplication();
    auto* hint = Create<TTreeGridHintWindow>(nullptr);
    const String text = "When the work starts";
    const TRect r = hint->CalcHintRect(1000, text, nullptr);
    hint->ActivateHintData(TRect{200, 200, 200 + r.Width(), 200 + r.Height()}, text, nullptr);
    ProcessEvents();
    TBitmap picture;
    picture.SetSize(hint->Width(), hint->Height());
    hint->PaintTo(&picture);
    // The last word stands in the right quarter of the line; wrapped, it
    // would fall below the window's one line.
    int inked = 0;
    for (int y = 2; y < picture.Height() - 2; ++y)
        for (int x = picture.Width() * 3 / 4; x < picture.Width() - 4; ++x)
            inked += picture.Canvas()->Pixels(x, y) != ColorToRGB(clInfoBk) ? 1 : 0;
    EXPECT_GT(inked, 0);
    hint->ReleaseHandle();
    delete hint;
}

TEST(TreeGridHints, AnOwnerDrawnTreeSizesAndPaintsItsHints)
{
    EnsureApplication();
    TForm* form = Create<TForm>(nullptr);
    form->SetBounds(100, 50, 420, 300);
    auto* tree = Create<TCustomDrawTreeGrid>(form);
    tree->SetParent(form);
    tree->SetBorderStyle(bsNone);
    tree->SetBounds(10, 10, 300, 100);
    tree->SetShowHint(true);
    tree->SetHintMode(hmHint);
    tree->SetRootNodeCount(2);
    tree->OnGetHintSize = [](TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex, TRect& R) {
        // The second row only; the first has no room for one.
        R = Node == Sender->GetFirst() ? TRect() : TRect(0, 0, 40 + R.Width() / 100, 12);
    };
    std::vector<std::pair<TGridNode*, TRect>> drawn;
    tree->OnDrawHint = [&drawn](TBaseTreeGrid*, TCanvas* Canvas, TGridNode* Node, const TRect& R, TColumnIndex) {
        drawn.emplace_back(Node, R);
        Canvas->Brush()->SetColor(clRed);
        Canvas->FillRect(R);
    };
    form->Show();
    ProcessEvents();

    const auto ask = [tree](TPoint P, THintInfo& Info) {
        Info = THintInfo();
        Info.HintControl = tree;
        Info.CursorPos = P;
        Info.HintPos = tree->ClientToScreen(P);
        return tree->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
    };
    THintInfo info;
    EXPECT_FALSE(ask({20, 9}, info));
    ASSERT_TRUE(ask({20, 27}, info));

    auto* window = static_cast<TTreeGridHintWindow*>(TTreeGridHintWindow::StaticClassInfo()->CreateInstance());
    const TRect r = window->CalcHintRect(1000, info.HintStr, info.HintData);
    EXPECT_EQ(r, (TRect{0, 0, 43, 12}));  // the owner's size, proposed from the 300-pixel row
    window->ActivateHintData(TRect{200, 200, 243, 212}, info.HintStr, info.HintData);
    ProcessEvents();
    TBitmap picture;
    picture.SetSize(window->Width(), window->Height());
    window->PaintTo(&picture);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().first, tree->GetNext(tree->GetFirst()));
    const TRect client = window->ClientRect();
    EXPECT_EQ(drawn.back().second, client);
    EXPECT_EQ(picture.Canvas()->Pixels(client.Left + client.Width() / 2, client.Top + client.Height() / 2),
        ColorToRGB(clRed));

    // Once the tree is gone the window no longer reaches into it.
    delete form;
    drawn.clear();
    window->PaintTo(&picture);
    EXPECT_TRUE(drawn.empty());
    window->ReleaseHandle();
    delete window;
}
