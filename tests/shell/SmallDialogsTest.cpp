// The main window's small dialogs: archiving through the File menu, going
// to a date, the new-entry question on its own, and the field assignment
// form's drawing.
#include "document/IniFiles.h"
#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "shell/dialogs/ArchivDialog.h"
#include "shell/dialogs/GotoDialog.h"
#include "shell/dialogs/NewEntryDialog.h"
#include "shell/dialogs/ReorderEntriesDialog.h"
#include "tests/shell/MainFormFixture.h"
#include "views/CanvasPanel.h"

using namespace mainformtest;

namespace {

const TDateTime D0 = EncodeDate(2024, 1, 8);

// Moves the picker to Day as a user would, so that it reports the change.
void PickDay(TDateTimePicker* Picker, TDateTime Day)
{
    Picker->SetDateTime(Day - 1);
    Picker->Step(1);
}

}  // namespace

TEST_F(MainFormTest, ArchiveDialogCountsAndAsksBeforeTakingEveryRow)
{
    TMainForm* m = StartProgram({});
    m->AddNode(m->GetFreeID(), tbTable, 0, 480, D0, cmDefault);
    m->AddNode(m->GetFreeID(), tbExclude, 1, 480, D0 + 10, cmDefault);
    const String path = Work + "/plan.vek";
    ASSERT_TRUE(m->Save(path));
    EXPECT_FALSE(m->Archivierungrckgngigmachen1->Enabled());
    EXPECT_FALSE(m->Archivlschen1->Enabled());

    std::vector<String> seen;
    bool stayedOpen = false;
    SetModalHook([&](TCustomForm* F) {
        if (auto* box = dynamic_cast<TMessageForm*>(F)) {
            Questions.push_back(box->Message->Caption());
            F->SetModalResult(Answers.empty() ? mrCancel : Answers.front());
            if (!Answers.empty())
                Answers.erase(Answers.begin());
            return;
        }
        auto* d = dynamic_cast<TArchivDialog*>(F);
        ASSERT_NE(d, nullptr) << F->Name();
        for (TDateTime day : {D0 - 1, D0 + 10}) {
            PickDay(d->DateTimePicker1, day);
            seen.push_back(d->Edit1->Text() + (d->Button1->Enabled() ? " OK" : ""));
        }
        // Every row: asked first, and Cancel keeps the dialog open.
        Answers = {mrCancel, mrOk};
        d->Button1->Click();
        stayedOpen = d->ModalResult() == mrNone;
        d->Button1->Click();
    });
    m->Auftrgearchivieren1->Click();

    EXPECT_EQ(seen, (std::vector<String>{"0 von 2", "2 von 2 OK"}));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Questions, (std::vector<String>(2, "Alle 2 Einträge archivieren?")));
    EXPECT_EQ(m->GetTableRowCount(tbTable) + m->GetTableRowCount(tbExclude), 0);
    const TMemIniFile file(path);
    EXPECT_EQ(file.ReadInteger("Archiv", "count", 0), 2);
    EXPECT_EQ(file.ReadString("ArchivItem1", "__table", ""), "tbExclude");
    EXPECT_FALSE(m->ActUndo->Enabled());
}

TEST_F(MainFormTest, GotoDateScrollsThereKeepingTheTopRow)
{
    TMainForm* m = StartProgram({});
    TStringList* list = m->GetColumnStrings(tbTable, m->GetConnection(tbTable, cnPosition));
    list->Clear();
    for (int i = 0; i < 80; ++i)
        list->Add("P" + std::to_string(i));
    m->ApplyPositionGroup();
    m->HandleNeeded();
    m->SetTimeChartBounds(D0 - 30, D0 + 365);
    m->SetTimeChartStart(D0);
    m->TimeChartStartDestination = D0;
    const int top = 3 * m->TimeChartRowHeight(0);
    m->SetTimeChartTop(top);
    m->TimeChartTopDestination = top;
    const TDateTime user = m->FUserDate;

    std::vector<TDateTime> offered;
    TDateTime pick = D0 + 40;
    const char* button = "Button2";
    SetModalHook([&](TCustomForm* F) {
        auto* d = dynamic_cast<TGotoDialog*>(F);
        ASSERT_NE(d, nullptr) << F->Name();
        offered.push_back(d->DateTimePicker1->Date());
        PickDay(d->DateTimePicker1, pick);
        static_cast<TButton*>(d->FindComponent(button))->Click();
    });
    // Cancel changes nothing.
    m->ActionGoto->Execute();
    EXPECT_EQ(m->FUserDate, user);
    EXPECT_EQ(m->TimeChartStartDestination, D0);

    button = "Button1";
    m->ActionGoto->Execute();
    EXPECT_EQ(offered, (std::vector<TDateTime>{D0, D0}));
    EXPECT_EQ(m->FUserDate, D0 + 40);
    EXPECT_EQ(m->TimeChartStartDestination, D0 + 40);
    EXPECT_EQ(m->TimeChartTopDestination, top);

    // Days before and after the plan's data: the range widens to hold them
    // and the chart gets there.
    for (TDateTime day : {D0 - 400, D0 + 2000}) {
        pick = day;
        m->ActionGoto->Execute();
        for (int tick = 0; tick < 100 && m->SliderTimer->Enabled(); ++tick)
            m->SliderTimerTimer(nullptr);
        EXPECT_EQ(m->FTimeChartStart, day);
        EXPECT_EQ(m->FTimeChartTop, top);
    }
}

TEST_F(MainFormTest, NewEntryDialogAnswersEachWay)
{
    TMainForm* m = StartProgram({});
    TNewEntryDialog* d = m->NewEntryDialog;
    String labels;
    std::function<void(TNewEntryDialog*)> answer;
    SetModalHook([&](TCustomForm* F) {
        ASSERT_EQ(F, d);
        labels = d->LabelBegin->Caption() + "|" + d->LabelEnd->Caption() + "|" + d->LabelPos->Caption();
        answer(d);
    });
    struct TCase {
        const char* What;
        std::function<void(TNewEntryDialog*)> Answer;
        TWhichTable Preset;
        bool Result;
        TWhichTable Table;
    };
    const std::vector<TCase> cases = {
        {"Tasks", [](TNewEntryDialog* D) { D->ButtonTasks->Click(); }, tbExclude, true, tbTable},
        {"Absent Days", [](TNewEntryDialog* D) { D->ButtonAbsentDays->Click(); }, tbTable, true, tbExclude},
        {"Cancel", [](TNewEntryDialog* D) { D->ButtonCancel->Click(); }, tbExclude, false, tbExclude},
        {"closed", [](TNewEntryDialog* D) { D->Close(); }, tbTable, false, tbTable},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        answer = c.Answer;
        TWhichTable table = c.Preset;
        EXPECT_EQ(d->Execute("01.02.2024", "03.02.2024", "A", table), c.Result);
        EXPECT_EQ(table, c.Table);
        EXPECT_EQ(labels, "01.02.2024|03.02.2024|A");
    }
}

TEST_F(MainFormTest, ReorderFormJoinsTheSelectedRowsWithALine)
{
    TMainForm* m = StartProgram({});
    TReorderEntriesDialog* r = m->ReorderEntriesDialog;
    for (int i = 0; i < 40; ++i)
        r->selectedconnection->Items()->Add("Field " + std::to_string(i));
    r->FormActivate();
    EXPECT_EQ(r->connection->ItemIndex(), 0);
    r->connection->SetItemIndex(4);
    r->selectedconnection->SetTopIndex(3);
    r->selectedconnection->SetItemIndex(5);
    ASSERT_EQ(r->selectedconnection->TopIndex(), 3);

    TCanvasPanel* panel = r->CanvasPanel1;
    TBitmap shot(panel->Width(), panel->Height());
    panel->PaintTo(&shot);
    const int h = r->connection->ItemHeight();
    // Row 4 of the left list; row 5 of the right one, with row 3 on top.
    const int left = 4 * h + h / 2, right = 2 * h + h / 2;
    const int mid = panel->Width() / 2, y = (left + right) / 2;
    const TColor line = ColorToRGB(clHighlight), face = ColorToRGB(clBtnFace);
    int thickness = 0;
    for (int dy = -6; dy <= 6; ++dy)
        thickness += shot.Canvas()->Pixels(mid, y + dy) == line;
    EXPECT_EQ(thickness, 3);
    EXPECT_EQ(shot.Canvas()->Pixels(1, left), line);
    EXPECT_EQ(shot.Canvas()->Pixels(panel->Width() - 2, right), line);
    EXPECT_EQ(shot.Canvas()->Pixels(mid, y - 6), face);
    EXPECT_EQ(shot.Canvas()->Pixels(mid, y + 6), face);
}
