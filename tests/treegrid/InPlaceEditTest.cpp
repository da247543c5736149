// In-place editing: the protocol with an editor, click-to-edit after the
// delay, and the string tree's own editor.
#include "InputTestSupport.h"

#include "components/TreeGrid/StringEditLink.h"

namespace {

// An editor that notes the calls it gets.
struct TRecordingLink : ITGEditLink {
    std::vector<std::string>* Calls;
    bool Prepare = true;
    explicit TRecordingLink(std::vector<std::string>* C) : Calls(C) {}
    bool BeginEdit() override { Calls->push_back("BeginEdit"); return true; }
    bool CancelEdit() override { Calls->push_back("CancelEdit"); return true; }
    bool EndEdit() override { Calls->push_back("EndEdit"); return true; }
    bool PrepareEdit(TBaseTreeGrid*, TGridNode*, TColumnIndex) override
    {
        Calls->push_back("PrepareEdit");
        return Prepare;
    }
    TRect GetBounds() override { return {}; }
    void ProcessMessage(TMessage&) override {}
    void SetBounds(TRect) override { Calls->push_back("SetBounds"); }
};

struct TEditForm : TInputForm {
    std::vector<std::string> Calls;
    bool RefusePrepare = false;
    TEditForm() : TInputForm(5)
    {
        Tree->SetMisc(toEditable, true);
        Tree->OnCreateEditor = [this](TBaseTreeGrid*, TGridNode*, TColumnIndex, ITGEditLinkPtr& Link) {
            Calls.push_back("OnCreateEditor");
            auto link = std::make_shared<TRecordingLink>(&Calls);
            link->Prepare = !RefusePrepare;
            Link = link;
        };
        Tree->OnEditCancelled = [this](TBaseTreeGrid*, TColumnIndex) { Calls.push_back("OnEditCancelled"); };
        Tree->OnEdited = [this](TBaseTreeGrid*, TGridNode*, TColumnIndex) { Calls.push_back("OnEdited"); };
        Tree->SetFocusedNode(Node(1));
        Tree->SetSelected(Node(1), true);
    }
    // The editor records into Calls: it ends before they go.
    ~TEditForm() { Tree->CancelEditNode(); }
};

}  // namespace

TEST(TreeGridEditing, F2StartsAndEscapeCancels)
{
    TEditForm f;
    f.Key(VK_F1 + 1);
    EXPECT_EQ(f.Calls, (std::vector<std::string>{"OnCreateEditor", "PrepareEdit", "SetBounds", "BeginEdit"}));
    EXPECT_TRUE(f.Tree->IsEditing());
    f.Calls.clear();
    f.Key(VK_ESCAPE);
    EXPECT_EQ(f.Calls, (std::vector<std::string>{"CancelEdit", "OnEditCancelled"}));
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(f.Tree->EditLink(), nullptr);
}

TEST(TreeGridEditing, ARefusingEditorLeavesNoEditor)
{
    TEditForm f;
    f.RefusePrepare = true;
    EXPECT_FALSE(f.Tree->EditNode(f.Node(1), NoColumn));
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(f.Tree->EditLink(), nullptr);
    EXPECT_EQ(f.Calls.back(), "PrepareEdit");
}

TEST(TreeGridEditing, ATreeEditsAgainAfterAFinishedEdit)
{
    TEditForm f;
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    EXPECT_TRUE(f.Tree->EndEditNode());
    EXPECT_EQ(f.Calls.back(), "OnEdited");
    EXPECT_FALSE(f.Tree->IsEditing());
    f.Calls.clear();
    EXPECT_TRUE(f.Tree->EditNode(f.Node(2), NoColumn));
    EXPECT_EQ(f.Calls.front(), "OnCreateEditor");
    EXPECT_TRUE(f.Tree->IsEditing());
}

TEST(TreeGridEditing, AClickOnTheFocusedRowEditsAfterTheDelay)
{
    TEditForm f;
    f.Tree->SetMisc(toEditOnClick, true);
    Click(f.Tree, f.AtRow(1, 20));
    ProcessEvents();
    EXPECT_TRUE(f.Calls.empty());
    EXPECT_FALSE(f.Tree->IsEditing());
    // The delay's timer.
    f.Tree->Perform(WM_TIMER, EditTimer);
    EXPECT_TRUE(f.Tree->IsEditing());
    EXPECT_EQ(f.Calls.front(), "OnCreateEditor");
}

TEST(TreeGridEditing, WithoutEditableNoEditorIsMade)
{
    TEditForm f;
    f.Tree->SetMisc(toEditable, false);
    f.Tree->SetMisc(toEditOnClick, true);
    f.Key(VK_F1 + 1);
    Click(f.Tree, f.AtRow(1, 20));
    f.Tree->Perform(WM_TIMER, EditTimer);
    EXPECT_FALSE(f.Tree->EditNode(f.Node(1), NoColumn));
    EXPECT_TRUE(f.Calls.empty());
}

TEST(TreeGridEditing, TheStringEditorStoresAChangedText)
{
    TInputForm f(3);
    f.Tree->SetMisc(toEditable, true);
    std::vector<String> stored;
    f.Tree->OnNewText = [&](TBaseTreeGrid*, TGridNode* Node, TColumnIndex, const String& Text) {
        f.Texts[std::size_t(Row(f.Tree, Node).Id)] = Text;
        stored.push_back(Text);
    };
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), NoColumn));
    auto* link = dynamic_cast<TStringEditLink*>(f.Tree->EditLink().get());
    ASSERT_NE(link, nullptr);
    ASSERT_NE(link->Edit(), nullptr);
    EXPECT_EQ(link->Edit()->Text(), "Row 1");
    EXPECT_TRUE(link->Edit()->Visible());
    link->Edit()->SetText("Changed");
    KeyDown(link->Edit(), VK_RETURN);
    KeyUp(link->Edit(), VK_RETURN);
    ProcessEvents();
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(stored, std::vector<String>{"Changed"});
    EXPECT_EQ(f.Tree->Text(f.Node(1), NoColumn), "Changed");

    // An unchanged text is not written back; Escape drops the edit.
    ASSERT_TRUE(f.Tree->EditNode(f.Node(2), NoColumn));
    KeyDown(f.Tree->EditLink() ? dynamic_cast<TStringEditLink*>(f.Tree->EditLink().get())->Edit() : nullptr,
        VK_RETURN);
    ProcessEvents();
    EXPECT_EQ(stored.size(), 1u);
    ASSERT_TRUE(f.Tree->EditNode(f.Node(0), NoColumn));
    auto* again = dynamic_cast<TStringEditLink*>(f.Tree->EditLink().get());
    again->Edit()->SetText("Dropped");
    KeyDown(again->Edit(), VK_ESCAPE);
    ProcessEvents();
    EXPECT_FALSE(f.Tree->IsEditing());
    EXPECT_EQ(f.Texts[0], "Row 0");
}

TEST(TreeGridEditing, TheStringEditorSitsOverItsCellBelowAVisibleHeader)
{
    TInputForm f(3);
    f.Tree->Header()->Columns()->Add()->SetWidth(200);
    f.Tree->Header()->SetHeight(30);
    f.Tree->Header()->SetOptions(f.Tree->Header()->Options() + TTGHeaderOptions{hoVisible});
    f.Tree->SetMisc(toEditable, true);
    ProcessEvents();
    ASSERT_TRUE(f.Tree->EditNode(f.Node(1), 0));
    auto* link = dynamic_cast<TStringEditLink*>(f.Tree->EditLink().get());
    ASSERT_NE(link, nullptr);
    ASSERT_NE(link->Edit(), nullptr);
    const TRect cell = f.Tree->GetDisplayRect(f.Node(1), 0, false);
    const TPoint cellTop = f.Tree->ClientToScreen({cell.Left, cell.Top});
    const TPoint editTop = link->Edit()->ClientToScreen({0, 0});
    // The edit may stand a little taller than the row, centred on it, but
    // never a header's height away from it.
    const int middle = cellTop.Y + cell.Height() / 2;
    EXPECT_LE(editTop.Y, middle);
    EXPECT_GE(editTop.Y + link->Edit()->Height(), middle);
    EXPECT_GE(editTop.X, cellTop.X - 4);
    EXPECT_LT(editTop.X, cellTop.X + cell.Width());
    f.Tree->CancelEditNode();
}
