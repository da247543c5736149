// The positions and working-hours dialog: what the user edits comes back as
// the layout the document applies, untouched entries as they were read, and
// OK refuses what the plan could not work with.
#include <gtest/gtest.h>

#include <functional>

#include "document/WorkingTime.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/StdCtrls.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"
#include "shell/dialogs/EditTableColumnDialog.h"
#include "shell/dialogs/SetupPositionsDialog.h"
#include "shell/dialogs/SetupTableDialog.h"
#include "tests/shell/MainFormFixture.h"
#include "tests/support/PlatformFixture.h"

namespace {

struct TFormDeleter {
    void operator()(TForm* F) const { delete F; }
};
using TDialogPtr = std::unique_ptr<TSetupPositionsDialog, TFormDeleter>;

TDialogPtr NewDialog(const TPositionLayout& Layout)
{
    EnsureApplication();
    TDialogPtr d(Create<TSetupPositionsDialog>(Application));
    d->Fill(Layout);
    return d;
}

const String Week = WeekInfo2String(DefaultWeekInfo());

// Press with a row count only a file can give and no week text; B with the
// default week.
TPositionLayout Sample()
{
    TPositionLayout layout;
    layout.Positions = {{"Press", "", 150, 0}, {"B", Week, 1, 1}};
    return layout;
}

std::vector<int> Origins(const TSetupPositionsDialog& D)
{
    std::vector<int> origins;
    for (const TPositionDescription& p : D.Layout().Positions)
        origins.push_back(p.Origin);
    return origins;
}

}  // namespace

TEST(SetupPositionsDialog, EditsComeBackAndUntouchedEntriesStayAsRead)
{
    TDialogPtr d = NewDialog(Sample());
    EXPECT_EQ(d->EditName->Text(), "Press");
    EXPECT_EQ(d->EditRows->Text(), "150");
    EXPECT_EQ(d->Days[0].Minutes->Caption(), "480") << "the default week shows for a missing one";

    // A Saturday shift for B: 6:00 to 12:00 with one break of 15 minutes.
    d->ListView1->SetItemIndex(1);
    TSetupPositionsDialog::TDayControls& saturday = d->Days[5];
    EXPECT_EQ(saturday.Active->Caption(), ::Translate("Saturday"));
    saturday.Active->SetChecked(true);
    saturday.Start->SetText("6:00");
    saturday.End->SetText("12");
    saturday.BreakStart[1]->SetText("0:00");
    saturday.BreakMinutes[1]->SetText("0");
    EXPECT_EQ(saturday.Minutes->Caption(), "345");
    d->RadioMinute->SetChecked(true);

    const TPositionLayout layout = d->Layout();
    ASSERT_EQ(layout.Positions.size(), 2u);
    EXPECT_EQ(layout.MinUnit, muMinute);
    EXPECT_EQ(layout.Positions[0].WeekText, "");
    EXPECT_EQ(layout.Positions[0].RowCount, 150);
    EXPECT_EQ(layout.Positions[1].WeekText,
        "0,420,945,480,540,15,720,30,0,0,"
        "1,420,945,480,540,15,720,30,0,0,1,420,945,480,540,15,720,30,0,0,1,420,945,480,540,15,720,30,0,0,"
        "1,420,945,480,540,15,720,30,0,0,1,420,945,480,540,15,720,30,0,0,"
        "1,360,720,345,540,15,0,0,0,0");
    EXPECT_EQ(d->CheckPositions(), "");

    // An edited row count stays within 1 to 99; the up-down stops there.
    d->ListView1->SetItemIndex(0);
    d->EditName->SetText("Machine");
    d->EditRows->SetText("120");
    EXPECT_EQ(d->Layout().Positions[0].RowCount, 99);
    d->UpDownRows->ClickButton(btNext);
    EXPECT_EQ(d->EditRows->Text(), "99");
    EXPECT_EQ(d->Layout().Positions[0].Name, "Machine");
    EXPECT_EQ(d->Layout().Positions[0].WeekText, "") << "the week was not touched";
}

TEST(SetupPositionsDialog, ListCommandsCarryTheOriginAndANestedCancelRestores)
{
    TDialogPtr d = NewDialog(Sample());
    d->NewPosition();
    d->NewPosition();
    const TPositionLayout layout = d->Layout();
    EXPECT_EQ(layout.Positions[2].Name, ::Translate("New Position"));
    EXPECT_EQ(layout.Positions[3].Name, ::Translate("New Position") + " 1");
    EXPECT_EQ(layout.Positions[3].WeekText, Week);
    EXPECT_EQ(Origins(*d), (std::vector<int>{0, 1, -1, -1}));

    d->ListView1->SetItemIndex(0);
    d->UpDown1->ClickButton(btPrev);  // down
    EXPECT_EQ(Origins(*d), (std::vector<int>{1, 0, -1, -1}));
    EXPECT_EQ(d->ListView1->ItemIndex(), 1);
    EXPECT_EQ(d->EditName->Text(), "Press");
    d->UpDown1->ClickButton(btNext);  // up, and up again: nothing above the first
    d->UpDown1->ClickButton(btNext);
    EXPECT_EQ(Origins(*d), (std::vector<int>{0, 1, -1, -1}));
    d->ListView1->SetItemIndex(2);
    d->DeletePosition();
    EXPECT_EQ(Origins(*d), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(d->ListView1->ItemIndex(), 2);

    // From the column editor: Cancel puts back what was there, OK keeps.
    const TPositionLayout before = d->Layout();
    auto visit = [&](const String& Name, TButton* Button) {
        SetModalHook([&](TCustomForm*) {
            d->ListView1->SetItemIndex(0);
            d->EditName->SetText(Name);
            d->DeletePosition();
            Button->Click();
        });
        const bool ok = d->ExecuteNested();
        SetModalHook(nullptr);
        return ok;
    };
    EXPECT_FALSE(visit("Gone", d->ButtonCancel));
    ASSERT_EQ(d->Layout().Positions.size(), before.Positions.size());
    EXPECT_EQ(d->Layout().Positions[0].Name, "Press");
    EXPECT_TRUE(visit("Kept", d->ButtonOK));
    EXPECT_EQ(Origins(*d), (std::vector<int>{1, -1}));
    EXPECT_TRUE(d->FWasActive);
}

TEST(SetupPositionsDialog, OKRefusesNamingThePositionAndTheProblem)
{
    using TEdit_ = std::function<void(TSetupPositionsDialog&)>;
    auto monday = [](TSetupPositionsDialog& D) -> TSetupPositionsDialog::TDayControls& { return D.Days[0]; };
    const String mon = ::Translate("Monday");
    const struct {
        TEdit_ Edit;
        String Message;
    } cases[] = {
        {[](TSetupPositionsDialog& D) { D.EditName->SetText(" "); }, ::Translate("Position %s has no name.", {"2"})},
        {[](TSetupPositionsDialog& D) { D.EditName->SetText("*"); },
            ::Translate("Position %s cannot be named \"*\": it stands for all positions.", {"2"})},
        {[](TSetupPositionsDialog& D) { D.EditName->SetText("Press (1)"); },
            ::Translate("%s: the name \"%s\" is used more than once.", {"Press (1)", "Press (1)"})},
        {[&](TSetupPositionsDialog& D) { monday(D).End->SetText("7:00"); },
            ::Translate("%s: on %s the working day ends at or before its start.", {"B", mon})},
        {[&](TSetupPositionsDialog& D) { monday(D).End->SetText("7:45"); },
            ::Translate("%s: on %s there is no working time left.", {"B", mon})},
        {[&](TSetupPositionsDialog& D) { monday(D).BreakStart[0]->SetText("15:40"); },
            ::Translate("%s: on %s a break lies outside the working day.", {"B", mon})},
        {[&](TSetupPositionsDialog& D) { monday(D).BreakStart[1]->SetText("9:10"); },
            ::Translate("%s: on %s two breaks overlap.", {"B", mon})},
        {[&](TSetupPositionsDialog& D) { monday(D).Start->SetText("7:7x"); },
            ::Translate("%s: on %s the time \"%s\" cannot be read.", {"B", mon, "7:7x"})},
    };
    TPositionLayout layout;
    layout.Positions = {{"Press", Week, 2, 0}, {"B", Week, 1, 1}};
    for (const auto& c : cases) {
        TDialogPtr d = NewDialog(layout);
        d->ListView1->SetItemIndex(1);
        c.Edit(*d);
        // Another position selected; an unreadable field counts while it shows.
        if (c.Message.find("7:7x") == String::npos)
            d->ListView1->SetItemIndex(0);
        EXPECT_EQ(d->CheckPositions(), c.Message);
        EXPECT_EQ(d->ListView1->ItemIndex(), 1) << "the position in question is selected";
    }

    // OK shows the message and stays open.
    TDialogPtr d = NewDialog(layout);
    d->ListView1->SetItemIndex(1);
    d->EditName->SetText("");
    String shown;
    SetModalHook([&](TCustomForm* F) {
        if (auto* box = dynamic_cast<TMessageForm*>(F))
            shown = box->Message->Caption();
        F->SetModalResult(mrOk);
    });
    d->ButtonOK->Click();
    SetModalHook(nullptr);
    EXPECT_EQ(shown, ::Translate("Position %s has no name.", {"2"}));
    EXPECT_EQ(d->ModalResult(), mrNone);
    d->EditName->SetText("C");
    d->ButtonOK->Click();
    EXPECT_EQ(d->ModalResult(), mrOk);
}

// ---- through the main window ----------------------------------------------------------

namespace {

using namespace mainformtest;

class SetupPositionsTest : public MainFormTest {
protected:
    // Tasks on Press (two rows) and B.
    TMainForm* Start()
    {
        TMainForm* m = StartProgram({});
        TStringList* positions = m->GetColumnStrings(tbTable, m->GetConnection(tbTable, cnPosition));
        positions->Clear();
        positions->Add("Press,,2");
        positions->Add("B");
        m->ApplyPositionGroup();
        for (int i = 0; i < 3; ++i)
            m->AddNode(m->GetFreeID(), tbTable, i, 480, 46000 + i, cmDefault);
        m->UndoRedo().Clear();
        m->SettleDeferredUpdates();
        return m;
    }

    String Saved(TMainForm* M)
    {
        M->FKomprimiert = false;
        M->SaveTo(Work + "/check.vek");
        return ReadFile(Work + "/check.vek");
    }

    static std::vector<String> RowPositions(TMainForm* M)
    {
        std::vector<String> texts;
        M->ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) { texts.push_back(M->GetData_(Row, cnPosition)); });
        return texts;
    }

    // The positions' dialog opened from the menu; Act works in it.
    void FromMenu(TMainForm* M, const std::function<void(TSetupPositionsDialog*)>& Act)
    {
        SetModalHook([&](TCustomForm* F) {
            if (auto* d = dynamic_cast<TSetupPositionsDialog*>(F))
                Act(d);
        });
        M->Arbeitspltzebearbeiten1Click();
        SetModalHook(nullptr);
    }

    static void RenamePressAndMoveItDown(TSetupPositionsDialog* D)
    {
        D->ListView1->SetItemIndex(0);
        D->EditName->SetText("Machine");
        D->UpDown1->ClickButton(btPrev);
    }
};

}  // namespace

TEST_F(SetupPositionsTest, FromTheMenuOKIsOneUndoStepAndCancelNone)
{
    TMainForm* m = Start();
    const String before = Saved(m);
    FromMenu(m, [](TSetupPositionsDialog* D) {
        D->EditName->SetText("X");
        D->ButtonCancel->Click();
    });
    EXPECT_FALSE(m->UndoRedo().GetCanUndo());
    EXPECT_EQ(Saved(m), before);

    FromMenu(m, [](TSetupPositionsDialog* D) { D->ButtonOK->Click(); });
    EXPECT_EQ(m->UndoRedo().UndoList().size(), 1u);
    EXPECT_EQ(Saved(m), before);

    FromMenu(m, [](TSetupPositionsDialog* D) {
        RenamePressAndMoveItDown(D);
        D->RadioMinute->SetChecked(true);
        D->ButtonOK->Click();
    });
    EXPECT_EQ(RowPositions(m), (std::vector<String>{"Machine", "Machine (1)", "B"}));
    EXPECT_EQ(m->FMinUnit, muMinute);
    EXPECT_EQ(m->UndoRedo().UndoList().size(), 2u);
    m->UndoRedo().Undo();
    EXPECT_EQ(Saved(m), before);
}

TEST_F(SetupPositionsTest, FromTheColumnEditorTheTableAppliesThemAndACancelledVisitLeavesNothing)
{
    TMainForm* m = Start();
    const String before = Saved(m);
    auto viaTable = [&](TButton* (*Answer)(TSetupPositionsDialog*)) {
        SetModalHook([&](TCustomForm* F) {
            if (auto* t = dynamic_cast<TSetupTableDialog*>(F)) {
                t->ListView1->SetSelected(t->FindNode(m->GetColumnCaption(tbTable, 0)));
                t->EditColumnClick();
                t->ButtonOK->Click();
            } else if (auto* e = dynamic_cast<TEditTableColumnDialog*>(F)) {
                EXPECT_TRUE(e->Button3->Visible());
                e->Button3->Click();
                e->ButtonOK->Click();
            } else if (auto* d = dynamic_cast<TSetupPositionsDialog*>(F)) {
                RenamePressAndMoveItDown(d);
                Answer(d)->Click();
            }
        });
        m->Tabellebearbeiten1Click();
        SetModalHook(nullptr);
    };
    viaTable([](TSetupPositionsDialog* D) { return D->ButtonCancel; });
    EXPECT_EQ(RowPositions(m), (std::vector<String>{"Press", "Press (1)", "B"}));
    EXPECT_EQ(m->UndoRedo().UndoList().size(), 1u);
    m->UndoRedo().Undo();
    EXPECT_EQ(Saved(m), before);

    viaTable([](TSetupPositionsDialog* D) { return D->ButtonOK; });
    EXPECT_EQ(RowPositions(m), (std::vector<String>{"Machine", "Machine (1)", "B"}));
    EXPECT_EQ(m->GetColumnStrings(tbTable, 0)->CommaText(), "B,\"Machine,,2\"");
}
