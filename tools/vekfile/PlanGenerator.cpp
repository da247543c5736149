#include "tools/vekfile/PlanGenerator.h"

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

namespace {

const char* const FirstNames[] = {"Anna", "Ben", "Clara", "David", "Eva", "Felix", "Greta", "Hans", "Ida", "Jonas",
                                  "Karla", "Lukas", "Mia", "Noah", "Olga", "Paul"};
const char* const Jobs[] = {"Planung", "Montage", "Prüfung", "Lieferung", "Wartung", "Inbetriebnahme", "Abnahme",
                            "Entwurf", "Schulung", "Dokumentation"};

String Entry(std::initializer_list<String> Items)
{
    TCommaText entry;
    for (const String& item : Items)
        entry.Add(item);
    return entry.AsString();
}

}  // namespace

void GeneratePlan(TScheduleDocument& Doc, const TPlanOptions& Options)
{
    std::mt19937 random(Options.Seed);
    auto pick = [&random](int N) { return N <= 1 ? 0 : int(random() % unsigned(N)); };
    const TDateTime start = Options.Start != 0 ? Options.Start : Date() - 30;

    Doc.ActionNew();
    Doc.FMinUnit = Options.Minutes ? muMinute : muDay;

    // Positions: every seventh has two rows; every fifth works a short week.
    tWeekInfo shortWeek = DefaultWeekInfo();
    shortWeek[Fr].active = false;
    const String normal = WeekInfo2String(DefaultWeekInfo());
    const String reduced = WeekInfo2String(shortWeek);
    TStringList* positions = Doc.GetColumnStrings(tbTable, Doc.GetConnection(tbTable, cnPosition));
    positions->Clear();
    std::vector<String> names;
    for (int i = 0; i < Options.Positions; ++i) {
        String name = String(FirstNames[i % 16]);
        if (i >= 16)
            name += " " + IntToStr(i / 16 + 1);
        names.push_back(name);
        positions->Add(Entry({name, i % 5 == 4 ? reduced : normal, IntToStr(i % 7 == 6 ? 2 : 1)}));
    }
    // Two groups: the first half and every third position.
    TCommaText first, third;
    for (int i = 0; i < Options.Positions; ++i) {
        if (i < (Options.Positions + 1) / 2)
            first.Add(names[std::size_t(i)]);
        if (i % 3 == 0)
            third.Add(names[std::size_t(i)]);
    }
    Doc.FPositionGroup.Add(first.AsString());
    Doc.FPositionGroupNames.Add("Team A");
    Doc.FPositionGroup.Add(third.AsString());
    Doc.FPositionGroupNames.Add("Team B");
    Doc.ApplyPositionGroup();

    // German public holidays, the Easter-relative ones as offsets.
    Doc.ClearHoliday();
    Doc.AddHoliday("Neujahr", 1, true, false, 1);
    Doc.AddHoliday("Karfreitag", -2, true, true, 0);
    Doc.AddHoliday("Ostermontag", 1, true, true, 0);
    Doc.AddHoliday("Tag der Arbeit", 1, true, false, 5);
    Doc.AddHoliday("Christi Himmelfahrt", 39, true, true, 0);
    Doc.AddHoliday("Pfingstmontag", 50, true, true, 0);
    Doc.AddHoliday("Fronleichnam", 60, false, true, 0);
    Doc.AddHoliday("Tag der Deutschen Einheit", 3, true, false, 10);
    Doc.AddHoliday("1. Weihnachtstag", 25, true, false, 12);
    Doc.AddHoliday("2. Weihnachtstag", 26, true, false, 12);

    TStringList* states = Doc.GetColumnStrings(tbTable, Doc.GetConnection(tbTable, cnColor));
    states->Clear();
    for (const char* state : {"offen", "in Arbeit", "fertig"})
        states->Add(Entry({state}));

    const int span = std::max(90, Options.Tasks / std::max(1, Options.Positions) * 8);
    const int positionColumn = Doc.GetConnection(tbTable, cnPosition);
    const int stateColumn = Doc.GetConnection(tbTable, cnColor);
    const int commentColumn = Doc.GetConnection(tbTable, cnTextCenterMiddle);
    Doc.BeginUpdate("generating...");
    for (int i = 0; i < Options.Tasks; ++i) {
        TNodeData* row = Doc.AddNode(Doc.GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
        Doc.DoSetData(row, positionColumn, names[std::size_t(pick(Options.Positions))], cmIgnoreNet);
        TDateTime day = start + pick(span);
        if (Options.Minutes)
            day += (7 + pick(6)) / 24.0;
        Doc.DoSetStartOf(row, cmIgnoreNet, day);
        Doc.DoSetLengthOf(row, (1 + pick(20)) * 480, cmIgnoreNet);
        Doc.DoSetData(row, stateColumn, CommaTextItem(states->Get(pick(3)), 0), cmIgnoreNet);
        if (i % 3 == 0)
            Doc.DoSetData(row, commentColumn, String(Jobs[pick(10)]) + " " + IntToStr(i + 1), cmIgnoreNet);
        row->LastChanged = start + pick(30) + pick(86400) / 86400.0;
        row->LastChanged = std::floor(row->LastChanged * 86400) / 86400;
    }
    const int reasonColumn = Doc.GetConnection(tbExclude, cnColor);
    TStringList* reasons = Doc.GetColumnStrings(tbExclude, reasonColumn);
    for (int i = 0; i < Options.Absences; ++i) {
        TNodeData* row = Doc.AddNode(Doc.GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
        Doc.DoSetData(row, Doc.GetConnection(tbExclude, cnPosition), names[std::size_t(pick(Options.Positions))],
                      cmIgnoreNet);
        Doc.DoSetStartOf(row, cmIgnoreNet, start + pick(span));
        Doc.DoSetLengthOf(row, (1 + pick(5)) * 480, cmIgnoreNet);
        if (reasons->Count() > 0)
            Doc.DoSetData(row, reasonColumn, CommaTextItem(reasons->Get(pick(reasons->Count())), 0), cmIgnoreNet);
        row->LastChanged = std::floor((start + pick(30)) * 86400) / 86400;
    }
    Doc.EndUpdate();
    // The ends as the window computes them, so the plan is what the window
    // would save; the rows keep the change stamps given above.
    std::vector<std::pair<TNodeData*, TDateTime>> stamps;
    Doc.ForEach(feAll, 0, [&stamps](TNodeData* Row, NativeInt) { stamps.emplace_back(Row, Row->LastChanged); });
    Doc.SettleDeferredUpdates();
    for (const auto& [row, stamp] : stamps)
        row->LastChanged = stamp;
    Doc.SetFileChanged(false);
}
