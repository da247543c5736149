// The table setup through its dialogs: binding roles by drag and by menu,
// the colours and validity, the column list's commands, and what OK and
// Cancel leave in the document.
#include "document/CommaText.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "shell/dialogs/EditTableColumnDialog.h"
#include "shell/dialogs/SetupPositionsDialog.h"
#include "shell/dialogs/SetupTableDialog.h"
#include "tests/shell/MainFormFixture.h"

using namespace mainformtest;

namespace {

class SetupTableTest : public MainFormTest {
protected:
    // A started program: tasks on positions A (two rows) and B, each cell
    // of the free columns filled, the table dialog filled.
    TMainForm* Start()
    {
        TMainForm* m = StartProgram({});
        TStringList* positions = m->GetColumnStrings(tbTable, m->GetConnection(tbTable, cnPosition));
        positions->Clear();
        for (const char* p : {"A", "B"}) {
            TCommaText entry;
            entry.SetItem(0, p);
            entry.SetItem(2, p[0] == 'A' ? "2" : "1");
            positions->Add(entry.AsString());
        }
        m->ApplyPositionGroup();
        for (int i = 0; i < 3; ++i) {
            TNodeData* row = m->AddNode(m->GetFreeID(), tbTable, i % 2, 480 * (i + 1), 46000 + i, cmDefault);
            m->SetData(row, 4, "State " + IntToStr(i % 3 + 1));
            m->SetData(row, 5, "note " + IntToStr(i));
        }
        m->UndoRedo().Clear();
        // The ends the views work out as they show the rows.
        m->SettleDeferredUpdates();
        Saved(m);
        m->MainFormToSetupDialog();
        return m;
    }

    // Opens the table dialog from the menu; Table acts in it, Editor in the
    // column editor; message boxes are recorded and answered OK.
    void Open(TMainForm* M, const std::function<void(TSetupTableDialog*)>& Table)
    {
        SetModalHook([&](TCustomForm* F) {
            if (auto* d = dynamic_cast<TSetupTableDialog*>(F))
                Table(d);
            else if (auto* e = dynamic_cast<TEditTableColumnDialog*>(F))
                Editor(e);
            else if (auto* p = dynamic_cast<TSetupPositionsDialog*>(F))
                Positions(p);
            else if (auto* box = dynamic_cast<TMessageForm*>(F))
                Messages.push_back(box->Message->Caption()), F->SetModalResult(mrOk);
        });
        M->Tabellebearbeiten1Click();
    }

    String Saved(TMainForm* M)
    {
        const String path = Work + "/check.vek";
        M->FKomprimiert = false;
        M->SaveTo(path);
        return ReadFile(path);
    }

    static void Select(TSetupTableDialog* D, const String& Name)
    {
        D->ListView1->SetSelected(D->FindNode(Name));
        D->ListView1SelectItem();
    }

    static std::vector<String> Captions(TSetupTableDialog* D)
    {
        std::vector<String> names;
        for (int i = 0; i < D->ListView1->Items()->Count(); ++i)
            names.push_back(D->ListView1->Items()->Item(i)->Caption() + "@" +
                            D->ListView1->Items()->Item(i)->SubItems()->Get(2));
        return names;
    }

    TPoint Middle(TControl* C) { return {C->Width() / 2, C->Height() / 2}; }

    std::function<void(TEditTableColumnDialog*)> Editor = [](TEditTableColumnDialog* E) {
        E->SetModalResult(mrCancel);
    };
    std::function<void(TSetupPositionsDialog*)> Positions = [](TSetupPositionsDialog* P) {
        P->SetModalResult(mrCancel);
    };
    std::vector<String> Messages;
};

}  // namespace

TEST_F(SetupTableTest, LabelsTakeOnlyTheirTypes)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    for (int t = 0; t <= int(ctLink); ++t) {
        const TColumnType type = TColumnType(t);
        EXPECT_EQ(d->AllowDrag(d->LabelDauer, type), type == ctNumber) << t;
        for (TLabel* l : {d->LabelPosition, d->LabelColor})
            EXPECT_EQ(d->AllowDrag(l, type), type == ctPulldown) << l->Name() << t;
        for (TLabel* l : {d->LabelStart, d->LabelEnde, d->LabelTermin})
            EXPECT_EQ(d->AllowDrag(l, type), type == ctDate) << l->Name() << t;
        for (int slot = cnTextLeftTop; slot <= cnTextRightBottom; ++slot)
            EXPECT_TRUE(d->AllowDrag(d->LabelOf(TConnection(slot)), type)) << slot << t;
    }
}

TEST_F(SetupTableTest, DraggingBindsSwapsClearsOrLeavesAlone)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    d->Show();
    // From the list onto a label that takes the type; a Date column is
    // refused by the length.
    Select(d, "Comment");
    DragAndDrop(d->ListView1, TPoint{20, d->ListView1->ItemRect(d->ListView1->Selected()).Top + 4}, d->LabelTopLeft,
        Middle(d->LabelTopLeft));
    EXPECT_EQ(d->LabelTopLeft->Caption(), "Comment");
    Select(d, "Start");
    DragAndDrop(d->ListView1, TPoint{20, d->ListView1->ItemRect(d->ListView1->Selected()).Top + 4}, d->LabelDauer,
        Middle(d->LabelDauer));
    EXPECT_EQ(d->LabelDauer->Caption(), "Length");
    // Two dates swap.
    DragAndDrop(d->LabelStart, Middle(d->LabelStart), d->LabelEnde, Middle(d->LabelEnde));
    EXPECT_EQ(d->LabelStart->Caption(), "End");
    EXPECT_EQ(d->LabelEnde->Caption(), "Start");
    // The length onto a text slot: the slot's text column cannot go back.
    DragAndDrop(d->LabelDauer, Middle(d->LabelDauer), d->LabelTopLeft, Middle(d->LabelTopLeft));
    EXPECT_EQ(d->LabelTopLeft->Caption(), "Length");
    EXPECT_EQ(d->LabelDauer->Caption(), "");
    EXPECT_FALSE(d->FValidConfiguration);
    // Onto the picture, which takes nothing: as it was.
    DragAndDrop(d->LabelEnde, Middle(d->LabelEnde), d->Image1, TPoint{5, 5});
    EXPECT_EQ(d->LabelEnde->Caption(), "Start");
    d->Hide();
}

TEST_F(SetupTableTest, LabelMenuOffersTheColumnsTheLabelTakes)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    d->Show();
    std::vector<String> offered;
    String choose;
    SetPopupMenuHook([&](TPopupMenu* Menu) {
        offered.clear();
        for (int i = 0; i < Menu->Items()->Count(); ++i)
            if (Menu->Items()->Items(i)->Enabled())
                offered.push_back(StripHotkey(Menu->Items()->Items(i)->Caption()));
        for (int i = 0; i < Menu->Items()->Count(); ++i)
            if (StripHotkey(Menu->Items()->Items(i)->Caption()) == choose)
                Menu->Items()->Items(i)->Click();
    });
    choose = "Delete Connection";
    Click(d->LabelDauer, Middle(d->LabelDauer), mbRight);
    EXPECT_EQ(offered, (std::vector<String>{"Delete Connection", "-", "Length"}));
    EXPECT_EQ(d->LabelDauer->Caption(), "");
    EXPECT_EQ(d->ShapeOf(d->LabelDauer)->Brush()->Color(), TSetupTableDialog::MissingColor);
    choose = "Start";
    Click(d->LabelBottomRight, Middle(d->LabelBottomRight), mbRight);
    EXPECT_EQ(offered.size(), 8u);
    EXPECT_EQ(d->LabelBottomRight->Caption(), "Start");
    EXPECT_EQ(d->LabelType(d->LabelBottomRight), ctDate);
    SetPopupMenuHook(nullptr);
    d->Hide();
}

TEST_F(SetupTableTest, ColoursShowTheSelectionAndTheMissingRoles)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    d->UpdateColors();
    EXPECT_TRUE(d->FValidConfiguration);
    EXPECT_EQ(d->Shape1->Brush()->Color(), TSetupTableDialog::NormalColor);
    Select(d, "Comment");
    for (const TSetupTableDialog::TRoleLabel& l : d->RoleLabels()) {
        const bool slot = l.Role >= cnTextLeftTop && l.Role <= cnTextRightBottom;
        const bool mine = l.Label == d->LabelCenterMiddle;
        EXPECT_EQ(l.Shape->Visible(), !slot || mine) << l.Label->Name();
        EXPECT_EQ(l.Shape->Brush()->Color(), mine ? TSetupTableDialog::SelectedColor : TSetupTableDialog::NormalColor)
            << l.Label->Name();
    }
    // The due date may stay unbound; the start may not.
    d->Bind(d->LabelTermin, "", ctText);
    d->UpdateColors();
    EXPECT_TRUE(d->FValidConfiguration);
    d->Bind(d->LabelStart, "", ctText);
    d->UpdateColors();
    EXPECT_FALSE(d->FValidConfiguration);
    EXPECT_EQ(d->ShapeOf(d->LabelStart)->Brush()->Color(), TSetupTableDialog::MissingColor);
}

TEST_F(SetupTableTest, CheckCaptionStartsItsScanAgain)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    d->Clear();
    d->AddNode(-1, "A 1", "", "Text");
    d->AddNode(-1, "A", "", "Text");
    EXPECT_EQ(d->CheckCaption("A"), "A 2");
    EXPECT_EQ(d->CheckCaption("B"), "B");
}

TEST_F(SetupTableTest, UpDownCarriesTheOriginAndNeverStops)
{
    TSetupTableDialog* d = Start()->SetupTableDialog;
    Select(d, "Comment");
    for (int i = 0; i < 7; ++i)
        d->UpDown1->ClickButton(btNext);
    EXPECT_EQ(Captions(d), (std::vector<String>{"Comment@5", "Position@0", "Start@1", "End@2", "Length@3", "State@4"}));
    d->UpDown1->ClickButton(btPrev);
    d->UpDown1->ClickButton(btPrev);
    EXPECT_EQ(d->ListView1->Selected()->Caption(), "Comment");
    EXPECT_EQ(d->ListView1->Selected()->Index(), 2);
}

TEST_F(SetupTableTest, InvalidOkStaysOpenAndChangesNothing)
{
    TMainForm* m = Start();
    const String before = Saved(m);
    TModalResult result = mrCancel;
    Open(m, [&](TSetupTableDialog* D) {
        D->Bind(D->LabelEnde, "", ctText);
        D->ButtonOK->Click();
        result = D->ModalResult();
    });
    EXPECT_EQ(result, mrNone);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "The current configuration is invalid.\nPlease connect the remaining red fields with a column "
                           "of the table.");
    EXPECT_FALSE(m->UndoRedo().GetCanUndo());
    EXPECT_EQ(Saved(m), before);
}

TEST_F(SetupTableTest, CancelUnchangedOkAndEditingEveryColumnChangeNoByte)
{
    TMainForm* m = Start();
    const String before = Saved(m);
    Open(m, [](TSetupTableDialog* D) { D->ButtonCancel->Click(); });
    EXPECT_FALSE(m->UndoRedo().GetCanUndo());
    EXPECT_EQ(Saved(m), before);

    Open(m, [&](TSetupTableDialog* D) {
        Editor = [](TEditTableColumnDialog* E) { E->ButtonOK->Click(); };
        for (int i = 0; i < D->ListView1->Items()->Count(); ++i) {
            D->ListView1->SetSelected(D->ListView1->Items()->Item(i));
            D->EditColumnClick();
        }
        D->ButtonOK->Click();
    });
    EXPECT_TRUE(m->UndoRedo().GetCanUndo());
    EXPECT_EQ(Saved(m), before);
    EXPECT_TRUE(m->GetFileChanged());
}

TEST_F(SetupTableTest, OkAppliesEverythingAsOneUndoStep)
{
    TMainForm* m = Start();
    const std::vector<std::vector<String>> cells = [&] {
        std::vector<std::vector<String>> rows;
        m->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { rows.push_back(m->RowCells(Row)); });
        return rows;
    }();
    TFilter stored;
    stored.Type = ftText;
    stored.SubType = fsText;
    stored.Text1 = "note*";
    stored.Group = m->GetPositionGroupCaption();
    stored.Header = "Comment";
    m->FFilters = {stored};
    const String before = Saved(m);
    m->FSortList = {TMainForm::SortKey(5, true), TMainForm::SortKey(3, false)};
    m->FActiveColumn = 5;

    int edit = 0;
    Editor = [&](TEditTableColumnDialog* E) {
        switch (edit++) {
        case 0:  // "Comment" renamed to the name of another column
            E->Edit1->SetText("Start");
            break;
        case 1:  // an empty name keeps "Start"
            E->Edit1->SetText("");
            break;
        case 2: {  // the states: one moved, one new holding quotes, one gone
            EXPECT_TRUE(E->Memo1->Visible());
            E->Memo1->Lines()->Clear();
            for (const char* line : {"State 3", "Say \"hi\"", "", "State 1"})
                E->Memo1->Lines()->Add(line);
            break;
        }
        default:  // a new column
            E->Edit1->SetText("Note");
            break;
        }
        E->ButtonOK->Click();
    };
    Open(m, [&](TSetupTableDialog* D) {
        Select(D, "Comment");
        D->EditColumnClick();
        D->UpDown1->ClickButton(btNext);
        Select(D, "Start");
        D->EditColumnClick();
        Select(D, "State");
        D->EditColumnClick();
        D->NewColumnClick();
        D->ButtonOK->Click();
    });
    EXPECT_EQ(edit, 4);
    const std::vector<String> captions = {"Position", "Start", "End", "Length", "Start 1", "State", "Note"};
    ASSERT_EQ(m->GetTableColCount(tbTable), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(m->GetColumnCaption(tbTable, i), captions[std::size_t(i)]) << i;
    std::size_t r = 0;
    m->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
        const std::vector<String>& old = cells[r++];
        EXPECT_EQ(m->RowCells(Row), (std::vector<String>{old[0], old[1], old[2], old[3], old[5], old[4], ""}));
    });
    EXPECT_EQ(m->GetConnection(tbTable, cnStart), 1);
    EXPECT_EQ(m->GetConnection(tbTable, cnTextCenterMiddle), 4);
    EXPECT_EQ(m->GetConnection(tbTable, cnColor), 5);
    ASSERT_EQ(m->FFilters.size(), 1u);
    EXPECT_EQ(m->FFilters[0].Header, "Start 1");
    EXPECT_TRUE(m->GetHeader(tbTable, 4)->IsFiltered());
    EXPECT_FALSE(m->GetHeader(tbTable, 5)->IsFiltered());
    EXPECT_EQ(m->FSortList, (std::vector<int>{TMainForm::SortKey(4, true), TMainForm::SortKey(3, false)}));
    EXPECT_EQ(m->FActiveColumn, 4);
    TCommaText states(*m->GetColumnStrings(tbTable, 5));
    ASSERT_EQ(states.Count(), 3);
    EXPECT_EQ(states.Item(0, 0), "State 3");
    EXPECT_EQ(states.Item(1, 0), "Say \"hi\"");
    EXPECT_EQ(states.Count(1), 1);
    EXPECT_EQ(states.Item(2, 0), "State 1");

    m->UndoRedo().Undo();
    EXPECT_FALSE(m->UndoRedo().GetCanUndo());
    EXPECT_EQ(Saved(m), before);
}

TEST_F(SetupTableTest, PositionsEditedFromTheColumnEditorApplyWithTheTable)
{
    for (const TModalResult answer : {mrOk, mrCancel}) {
        TMainForm* m = Start();
        // The positions' column moves below Start; its positions go with it.
        Positions = [&](TSetupPositionsDialog* P) {
            P->ListView1->SetItemIndex(0);
            P->EditName->SetText("Alpha");
            (answer == mrOk ? P->ButtonOK : P->ButtonCancel)->Click();
        };
        Editor = [](TEditTableColumnDialog* E) {
            EXPECT_TRUE(E->Button3->Visible());
            EXPECT_FALSE(E->Memo1->Visible());
            E->Button3->Click();
            E->ButtonOK->Click();
        };
        Open(m, [&](TSetupTableDialog* D) {
            Select(D, "Position");
            D->EditColumnClick();
            D->UpDown1->ClickButton(btPrev);
            D->ButtonOK->Click();
        });
        ASSERT_EQ(m->GetConnection(tbTable, cnPosition), 1);
        const String a = answer == mrOk ? "Alpha" : "A";
        EXPECT_EQ(TCommaText(*m->GetColumnStrings(tbTable, 1)).Item(0, 0), a);
        std::vector<String> cells;
        m->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { cells.push_back(m->GetData(Row, 1)); });
        EXPECT_EQ(cells, (std::vector<String>{a, a + " (1)", a}));
        StopProgram();
    }
}
