// The positions and working-hours dialog: list, names, rows, weeks, unit.
#include "shell/dialogs/SetupPositionsDialog.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "document/CommaText.h"
#include "document/ScheduleDocument.h"
#include "document/WorkingTime.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"

namespace {

constexpr int SubWeek = 0;
constexpr int SubRows = 1;
constexpr int SubOrigin = 2;
constexpr int MaxRows = 99;

// Screen line d (Monday first) holds weekday (d + 1) mod 7 of the week text
// (Sunday first).
constexpr TWeekDay WeekDayOfLine(int Line) { return TWeekDay((Line + 1) % 7); }
const char* const DayNames[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

int MinutesOf(TDateTime Time)
{
    const int minutes = int(std::lround((Time - std::floor(Time)) * 1440.0));
    return minutes >= 1440 ? minutes - 1440 : minutes;
}

String TimeText(int Minutes)
{
    const String mm = IntToStr(Minutes % 60);
    return IntToStr(Minutes / 60) + ":" + (mm.size() < 2 ? "0" + mm : mm);
}

// "7", "7:30" or "7.30" (the locale's separator too) as minutes since
// midnight, below 24 hours; false for anything else.
bool ReadTime(const String& Text, int& Minutes)
{
    const String t = Trim(Text);
    const std::size_t sep = t.find_first_of(":.");
    int hours = 0, minutes = 0;
    if (!TryStrToInt(t.substr(0, sep), hours) || t.substr(0, sep).empty())
        return false;
    if (sep != String::npos) {
        const String rest = t.substr(sep + 1);
        if (rest.empty() || rest.size() > 2 || !TryStrToInt(rest, minutes))
            return false;
    }
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59)
        return false;
    Minutes = hours * 60 + minutes;
    return true;
}

bool ReadMinutes(const String& Text, int& Minutes)
{
    const String t = Trim(Text);
    if (t.empty()) {
        Minutes = 0;
        return true;
    }
    return TryStrToInt(t, Minutes) && Minutes >= 0 && Minutes <= 1440;
}

// One day in minutes, as the controls or a week text give it.
struct TDayMinutes {
    bool Active = false;
    int Start = 0;
    int End = 0;
    std::array<int, 3> BreakStart{};
    std::array<int, 3> BreakLength{};
    int Working() const { return End - Start - BreakLength[0] - BreakLength[1] - BreakLength[2]; }
};

TDayMinutes DayOf(const TDayInfo& Day)
{
    TDayMinutes d;
    d.Active = Day.active;
    d.Start = MinutesOf(Day.start);
    d.End = MinutesOf(Day.ende);
    for (std::size_t p = 0; p < 3; ++p) {
        d.BreakStart[p] = MinutesOf(Day.pause[p].start);
        d.BreakLength[p] = Day.pause[p].length;
    }
    return d;
}

// The problem of a day, untranslated; empty when there is none.
String DayProblem(const TDayMinutes& D)
{
    if (D.End <= D.Start)
        return "%s: on %s the working day ends at or before its start.";
    if (D.Active && D.Working() <= 0)
        return "%s: on %s there is no working time left.";
    for (std::size_t p = 0; p < 3; ++p) {
        if (D.BreakLength[p] == 0)
            continue;
        const int from = D.BreakStart[p], till = from + D.BreakLength[p];
        if (from < D.Start || till > D.End)
            return "%s: on %s a break lies outside the working day.";
        for (std::size_t q = p + 1; q < 3; ++q)
            if (D.BreakLength[q] != 0 && from < D.BreakStart[q] + D.BreakLength[q] && D.BreakStart[q] < till)
                return "%s: on %s two breaks overlap.";
    }
    return String();
}

}  // namespace

TSetupPositionsDialog::TSetupPositionsDialog(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SetupPositionsDialog");
    SetCaption("Edit resources");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(880);
    SetClientHeight(470);

    ListView1 = Build<TListView>(this, "ListView1").Parent(this).Bounds(8, 8, 200, 380).Get();
    ListView1->SetViewStyle(vsReport);
    ListView1->SetReadOnly(true);
    ListView1->SetRowSelect(true);
    ListView1->SetHideSelection(false);
    ListView1->Columns()->Add()->SetWidth(180);
    for (int i = 0; i < 3; ++i)
        ListView1->Columns()->Add()->SetWidth(0);
    ListView1->OnSelectItem = [this](TObject*, TListItem*, bool) { ShowSelected(); };
    UpDown1 = Build<TUpDown>(this, "UpDown1").Parent(this).Bounds(212, 8, 17, 40).Get();
    UpDown1->SetWrap(true);
    UpDown1->OnClick = [this](TObject*, TUDBtnType Button) { MovePosition(Button == btNext ? -1 : 1); };
    ButtonNew = Build<TButton>(this, "ButtonNew").Parent(this).Bounds(8, 396, 98, 25).Caption("new Position")
                    .OnClick([this](TObject*) { NewPosition(); }).Get();
    ButtonDelete = Build<TButton>(this, "ButtonDelete").Parent(this).Bounds(110, 396, 98, 25)
                       .Caption("delete Position").OnClick([this](TObject*) { DeletePosition(); }).Get();

    auto label = [this](const char* Name, const char* Caption, int Left, int Top, int Width) {
        return Build<TLabel>(this, Name).Parent(this).Bounds(Left, Top, Width, 17).Caption(Caption).Get();
    };
    label("LabelName", "Name", 244, 12, 60);
    EditName = Build<TEdit>(this, "EditName").Parent(this).Bounds(310, 8, 250, 23).Get();
    EditName->OnChange = [this](TObject*) { NameChanged(); };
    label("LabelRows", "Rows", 580, 12, 50);
    EditRows = Build<TEdit>(this, "EditRows").Parent(this).Bounds(636, 8, 50, 23).Get();
    EditRows->OnChange = [this](TObject*) { RowsChanged(); };
    UpDownRows = Build<TUpDown>(this, "UpDownRows").Parent(this).Bounds(688, 8, 17, 23).Get();
    UpDownRows->SetMin(1);
    UpDownRows->SetMax(MaxRows);
    UpDownRows->OnClick = [this](TObject*, TUDBtnType Button) {
        const int rows = std::clamp(StrToIntDef(Trim(EditRows->Text()), 1) + (Button == btNext ? 1 : -1), 1, MaxRows);
        EditRows->SetText(IntToStr(rows));
    };

    // The week: one line per weekday under a caption line.
    constexpr int top = 64, lineHeight = 27;
    label("LabelDay", "Day", 244, top - 22, 90);
    label("LabelStart", "Start", 350, top - 22, 50);
    label("LabelEnd", "End", 406, top - 22, 50);
    for (int p = 0; p < 3; ++p) {
        const String n = IntToStr(p + 1);
        Build<TLabel>(this, "LabelBreak" + n).Parent(this).Bounds(468 + p * 100, top - 22, 96, 17)
            .Caption("Break " + n).Get();
    }
    label("LabelWorking", "Working minutes", 768, top - 22, 108);
    for (int d = 0; d < 7; ++d) {
        TDayControls& c = Days[std::size_t(d)];
        const int y = top + d * lineHeight;
        const String n = IntToStr(d);
        c.Active = Build<TCheckBox>(this, "CheckBoxDay" + n).Parent(this).Bounds(244, y, 100, 23)
                       .Caption(DayNames[d]).Get();
        c.Active->OnClick = [this](TObject*) { WeekChanged(); };
        auto edit = [&](const String& Name, int Left, int Width) {
            TEdit* e = Build<TEdit>(this, Name + n).Parent(this).Bounds(Left, y, Width, 23).Get();
            e->OnChange = [this](TObject*) { WeekChanged(); };
            return e;
        };
        c.Start = edit("EditStart", 350, 50);
        c.End = edit("EditEnd", 406, 50);
        for (std::size_t p = 0; p < 3; ++p) {
            const int left = 468 + int(p) * 100;
            c.BreakStart[p] = edit("EditBreakStart" + IntToStr(int(p) + 1) + "_", left, 50);
            c.BreakMinutes[p] = edit("EditBreakMinutes" + IntToStr(int(p) + 1) + "_", left + 54, 36);
        }
        c.Minutes = Build<TLabel>(this, "LabelMinutes" + n).Parent(this).Bounds(768, y + 4, 60, 17).Caption("").Get();
        LeaveUntranslated(c.Minutes, "caption");
    }

    GroupBoxUnit = Build<TGroupBox>(this, "GroupBoxUnit").Parent(this).Bounds(244, top + 7 * lineHeight + 12, 300, 52)
                       .Caption("Smallest time unit").Get();
    RadioDay = Build<TRadioButton>(this, "RadioDay").Parent(GroupBoxUnit).Bounds(12, 22, 120, 21).Caption("Day").Get();
    RadioMinute =
        Build<TRadioButton>(this, "RadioMinute").Parent(GroupBoxUnit).Bounds(140, 22, 120, 21).Caption("Minute").Get();
    RadioDay->SetChecked(true);

    ButtonOK = Build<TButton>(this, "ButtonOK").Parent(this).Bounds(690, 432, 88, 27).Caption("OK")
                   .OnClick([this](TObject*) { OKClick(); }).Get();
    ButtonOK->SetDefault(true);
    ButtonCancel = Build<TButton>(this, "ButtonCancel").Parent(this).Bounds(784, 432, 88, 27).Caption("Cancel").Get();
    ButtonCancel->SetModalResult(mrCancel);
    ButtonCancel->SetCancel(true);

    OnActivate = [this](TObject*) {
        FWasActive = true;
        Translate(this);
        SetCaption(::Translate("Edit resources"));
        ListView1->Columns()->Items(0)->SetCaption(::Translate("Name"));
    };
    ShowSelected();
}

// ---- filling and reading back ------------------------------------------------------

TListItem* TSetupPositionsDialog::AddItem(const String& Name, const String& Week, const String& Rows, int Origin)
{
    TListItem* item = ListView1->Items()->Add();
    item->SetCaption(Name);
    item->SubItems()->Add(Week);
    item->SubItems()->Add(Rows);
    item->SubItems()->Add(IntToStr(Origin));
    return item;
}

void TSetupPositionsDialog::Fill(const TPositionLayout& Layout)
{
    ListView1->Items()->Clear();
    for (const TPositionDescription& p : Layout.Positions)
        AddItem(p.Name, p.WeekText, IntToStr(p.RowCount), p.Origin);
    (Layout.MinUnit == muMinute ? RadioMinute : RadioDay)->SetChecked(true);
    Select(ListView1->Items()->Count() > 0 ? 0 : -1);
    FWasActive = false;
}

TPositionLayout TSetupPositionsDialog::Layout() const
{
    TPositionLayout layout;
    layout.MinUnit = RadioMinute->Checked() ? muMinute : muDay;
    TListItems* items = ListView1->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        layout.Positions.push_back({item->Caption(), item->SubItems()->Get(SubWeek),
            std::max(1, StrToIntDef(item->SubItems()->Get(SubRows), 1)), StrToIntDef(item->SubItems()->Get(SubOrigin), -1)});
    }
    return layout;
}

TSetupPositionsDialog::TState TSetupPositionsDialog::SaveState() const
{
    TState state;
    TListItems* items = ListView1->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        state.Items.push_back({item->Caption(), item->SubItems()->Get(0), item->SubItems()->Get(1),
            item->SubItems()->Get(2)});
    }
    state.Selected = ListView1->ItemIndex();
    state.MinUnit = RadioMinute->Checked() ? muMinute : muDay;
    state.WasActive = FWasActive;
    return state;
}

void TSetupPositionsDialog::RestoreState(const TState& State)
{
    ListView1->Items()->Clear();
    for (const auto& i : State.Items)
        AddItem(i[0], i[1], i[2], StrToIntDef(i[3], -1));
    (State.MinUnit == muMinute ? RadioMinute : RadioDay)->SetChecked(true);
    Select(State.Selected);
    FWasActive = State.WasActive;
}

bool TSetupPositionsDialog::ExecuteNested()
{
    const TState before = SaveState();
    if (ShowModal() == mrOk)
        return true;
    RestoreState(before);
    return false;
}

// ---- the list ----------------------------------------------------------------------

void TSetupPositionsDialog::Select(int Index)
{
    TListItems* items = ListView1->Items();
    ListView1->SetSelected(Index >= 0 && Index < items->Count() ? items->Item(Index) : nullptr);
    ShowSelected();
}

void TSetupPositionsDialog::NewPosition()
{
    TListItems* items = ListView1->Items();
    // A free name: the first of "New Position", "New Position 1", ...
    const String base = ::Translate("New Position");
    String name = base;
    for (int n = 1;; ++n) {
        bool taken = false;
        for (int i = 0; i < items->Count() && !taken; ++i)
            taken = items->Item(i)->Caption() == name;
        if (!taken)
            break;
        name = base + " " + IntToStr(n);
    }
    AddItem(name, WeekInfo2String(DefaultWeekInfo()), "1", -1);
    Select(items->Count() - 1);
    if (EditName->HandleAllocated() && EditName->CanFocus())
        EditName->SetFocus();
}

void TSetupPositionsDialog::DeletePosition()
{
    const int index = ListView1->ItemIndex();
    if (index < 0)
        return;
    ListView1->Items()->Delete(index);
    Select(std::min(index, ListView1->Items()->Count() - 1));
}

void TSetupPositionsDialog::MovePosition(int Direction)
{
    // The up-down never reaches a limit, so it keeps wrapping.
    UpDown1->SetMin(UpDown1->Position() - 2);
    UpDown1->SetMax(UpDown1->Position() + 2);
    TListItems* items = ListView1->Items();
    const int index = ListView1->ItemIndex();
    const int other = index + Direction;
    if (index < 0 || other < 0 || other >= items->Count())
        return;
    TListItem* a = items->Item(index);
    TListItem* b = items->Item(other);
    const String caption = a->Caption();
    a->SetCaption(b->Caption());
    b->SetCaption(caption);
    for (int s = 0; s < 3; ++s) {
        const String text = a->SubItems()->Get(s);
        a->SubItems()->Put(s, b->SubItems()->Get(s));
        b->SubItems()->Put(s, text);
    }
    Select(other);
}

// ---- the fields of the selected position ---------------------------------------------

void TSetupPositionsDialog::ShowSelected()
{
    TListItem* item = ListView1->Selected();
    FFilling = true;
    ButtonDelete->SetEnabled(item != nullptr);
    UpDown1->SetEnabled(item != nullptr);
    EditName->SetEnabled(item != nullptr);
    EditRows->SetEnabled(item != nullptr);
    UpDownRows->SetEnabled(item != nullptr);
    EditName->SetText(item ? item->Caption() : String());
    EditRows->SetText(item ? item->SubItems()->Get(SubRows) : String());
    const tWeekInfo week = String2WeekInfo(item ? item->SubItems()->Get(SubWeek) : String());
    for (int d = 0; d < 7; ++d) {
        TDayControls& c = Days[std::size_t(d)];
        const TDayMinutes day = DayOf(week[WeekDayOfLine(d)]);
        c.Active->SetChecked(day.Active);
        c.Start->SetText(TimeText(day.Start));
        c.End->SetText(TimeText(day.End));
        for (std::size_t p = 0; p < 3; ++p) {
            c.BreakStart[p]->SetText(TimeText(day.BreakStart[p]));
            c.BreakMinutes[p]->SetText(IntToStr(day.BreakLength[p]));
        }
        for (TControl* control : {static_cast<TControl*>(c.Active), static_cast<TControl*>(c.Start),
                 static_cast<TControl*>(c.End)})
            control->SetEnabled(item != nullptr);
        for (std::size_t p = 0; p < 3; ++p) {
            c.BreakStart[p]->SetEnabled(item != nullptr);
            c.BreakMinutes[p]->SetEnabled(item != nullptr);
        }
    }
    FFilling = false;
    UpdateMinutes();
}

void TSetupPositionsDialog::NameChanged()
{
    if (FFilling)
        return;
    if (TListItem* item = ListView1->Selected())
        item->SetCaption(EditName->Text());
}

void TSetupPositionsDialog::RowsChanged()
{
    if (FFilling)
        return;
    TListItem* item = ListView1->Selected();
    int rows = 0;
    // What cannot be read leaves the count alone until it can.
    if (item && TryStrToInt(Trim(EditRows->Text()), rows))
        item->SubItems()->Put(SubRows, IntToStr(std::clamp(rows, 1, MaxRows)));
}

namespace {

// The day on the controls; false (and the unreadable text) when a field
// cannot be read.
bool ReadDay(const TSetupPositionsDialog::TDayControls& C, TDayMinutes& Day, String& Bad)
{
    Day.Active = C.Active->Checked();
    auto time = [&Bad](TEdit* E, int& Value) {
        if (ReadTime(E->Text(), Value))
            return true;
        Bad = E->Text();
        return false;
    };
    if (!time(C.Start, Day.Start) || !time(C.End, Day.End))
        return false;
    for (std::size_t p = 0; p < 3; ++p) {
        if (!ReadMinutes(C.BreakMinutes[p]->Text(), Day.BreakLength[p])) {
            Bad = C.BreakMinutes[p]->Text();
            return false;
        }
        Day.BreakStart[p] = 0;
        if (!Trim(C.BreakStart[p]->Text()).empty() && !time(C.BreakStart[p], Day.BreakStart[p]))
            return false;
    }
    return true;
}

}  // namespace

void TSetupPositionsDialog::WeekChanged()
{
    UpdateMinutes();
    if (FFilling)
        return;
    TListItem* item = ListView1->Selected();
    if (!item)
        return;
    tWeekInfo week{};
    for (int d = 0; d < 7; ++d) {
        TDayMinutes day;
        String bad;
        // A field being typed keeps the last week that could be read.
        if (!ReadDay(Days[std::size_t(d)], day, bad))
            return;
        TDayInfo& info = week[WeekDayOfLine(d)];
        info.active = day.Active;
        info.start = day.Start / 1440.0;
        info.ende = day.End / 1440.0;
        info.length = std::max(0, day.Working());
        for (std::size_t p = 0; p < 3; ++p)
            info.pause[p] = {day.BreakStart[p] / 1440.0, day.BreakLength[p]};
    }
    item->SubItems()->Put(SubWeek, WeekInfo2String(week));
}

void TSetupPositionsDialog::UpdateMinutes()
{
    for (const TDayControls& c : Days) {
        TDayMinutes day;
        String bad;
        c.Minutes->SetCaption(ReadDay(c, day, bad) ? IntToStr(day.Working()) : String("?"));
    }
}

// ---- OK --------------------------------------------------------------------------------

String TSetupPositionsDialog::CheckPositions()
{
    TListItems* items = ListView1->Items();
    auto refuse = [this](int Index, const String& Text) {
        Select(Index);
        return Text;
    };
    // The fields of the selected position first: they may hold what the
    // week text could not take yet.
    if (TListItem* item = ListView1->Selected())
        for (int d = 0; d < 7; ++d) {
            TDayMinutes day;
            String bad;
            if (!ReadDay(Days[std::size_t(d)], day, bad))
                return ::Translate("%s: on %s the time \"%s\" cannot be read.",
                    {item->Caption(), ::Translate(DayNames[d]), bad});
        }
    std::unordered_set<String> names;
    for (int i = 0; i < items->Count(); ++i) {
        TListItem* item = items->Item(i);
        const String name = item->Caption();
        if (Trim(name).empty())
            return refuse(i, ::Translate("Position %s has no name.", {IntToStr(i + 1)}));
        if (name == "*")
            return refuse(i, ::Translate("Position %s cannot be named \"*\": it stands for all positions.", {IntToStr(i + 1)}));
        const int rows = std::max(1, StrToIntDef(item->SubItems()->Get(SubRows), 1));
        for (int k = 0; k < rows; ++k) {
            const String text = k == 0 ? name : TScheduleDocument::ExtraRowName(name, k);
            if (!names.insert(text).second)
                return refuse(i, ::Translate("%s: the name \"%s\" is used more than once.", {name, text}));
        }
        const tWeekInfo week = String2WeekInfo(item->SubItems()->Get(SubWeek));
        for (int d = 0; d < 7; ++d) {
            const String problem = DayProblem(DayOf(week[WeekDayOfLine(d)]));
            if (!problem.empty())
                return refuse(i, ::Translate(problem, {name, ::Translate(DayNames[d])}));
        }
    }
    return String();
}

void TSetupPositionsDialog::OKClick()
{
    const String problem = CheckPositions();
    if (problem.empty()) {
        SetModalResult(mrOk);
        return;
    }
    MessageDlg(problem, mtInformation, {mbOK});
}
