// The working-time calendar of the document: the weeks of the positions,
// the automatic entries, the end of a row and the working length between
// two dates.
//
// The walk counts in whole minutes (day number, minute of the day) so that
// an end and a length computed from each other agree to the minute; the
// coverage of a day by holidays, days off and absent days is looked up in
// sorted indexes instead of lists copied for every row.
#include <algorithm>
#include <climits>
#include <cmath>

#include "document/DocumentHelpers.h"
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

namespace {

// A walk beyond the data bounds by this many days gives up.
constexpr double WalkLimitDays = 7300;
// updateAutoEntries never spans more than this many days or years.
constexpr double MaxAutoDays = 3 * 7300;
constexpr int MaxAutoYears = 60;

struct TDayMinutes {
    bool active = false;
    int start = 0, ende = 0;
    int length = 0;
    int workEnd = 0;  // start + length + all breaks
    int bs[3] = {0, 0, 0}, bl[3] = {0, 0, 0};
};

int ClampMinutes(double Value)
{
    if (!(Value > 0))
        return 0;
    return Value > 1440 ? 1440 : int(Value);
}

int TimeMinutes(TDateTime Time) { return ClampMinutes(std::round((Time - std::floor(Time)) * 1440.0)); }

struct TWeekMinutes {
    TDayMinutes day[7];
    explicit TWeekMinutes(const tWeekInfo& Week)
    {
        for (int d = 0; d < 7; ++d) {
            const TDayInfo& info = Week[std::size_t(d)];
            TDayMinutes& m = day[d];
            m.active = info.active;
            m.start = TimeMinutes(info.start);
            // An end of 24:00 is the end of the day, not its start.
            m.ende = info.ende >= 1 ? 1440 : TimeMinutes(info.ende);
            m.length = ClampMinutes(info.length);
            m.workEnd = m.start + m.length;
            for (int p = 0; p < 3; ++p) {
                m.bs[p] = TimeMinutes(info.pause[std::size_t(p)].start);
                m.bl[p] = ClampMinutes(info.pause[std::size_t(p)].length);
                m.workEnd += m.bl[p];
            }
        }
    }
};

// A point of the walk.
struct TWalkPoint {
    Int64 Day;
    int Minute;
};

TWalkPoint ToPoint(TDateTime X)
{
    double day = std::floor(X);
    Int64 minute = std::llround((X - day) * 1440.0);
    if (minute >= 1440) {
        day += 1;
        minute -= 1440;
    }
    return {Int64(day), int(minute)};
}

TDateTime FromPoint(Int64 Day, Int64 Minute) { return double(Day) + double(Minute) / 1440.0; }

// How a walk counts a day: tasks in minute mode by their working minutes,
// everything else as 480 a day.
enum class TWalkKind { Minutes, Days };

template <typename Covered>
class TCalendarWalk {
public:
    TCalendarWalk(const tWeekInfo& Week, TWalkKind Kind, const Covered& IsCovered)
        : FWeek(Week), FKind(Kind), FCovered(IsCovered)
    {
    }

    const TDayMinutes& DayOf(Int64 Day) const { return FWeek.day[WeekDayIndex(Day)]; }

    // Moves t out of the time before the day's start and out of breaks, and
    // answers the minutes the day still offers from there.
    int Available(Int64 Day, int& T) const
    {
        const TDayMinutes& d = DayOf(Day);
        if (T < d.start)
            T = d.start;
        for (int p = 0; p < 3; ++p)
            if (d.bl[p] > 0 && T >= d.bs[p] && T < d.bs[p] + d.bl[p])
                T = d.bs[p] + d.bl[p];
        int a = 480;
        if (FKind == TWalkKind::Minutes) {
            a = std::max(0, d.workEnd - T);
            for (int p = 0; p < 3; ++p)
                if (d.bs[p] + d.bl[p] > T)
                    a -= d.bl[p];
            a = std::max(a, 0);
        }
        // A day off of the week offers nothing, also where no automatic
        // entry says so (outside the bounds).
        if (a == 0 || !d.active || T >= d.ende || FCovered(Day))
            return 0;
        return a;
    }

    // The end of M working minutes from T on the day: every break that
    // starts after T and before the end so far lengthens it, until no
    // further one does; a break starting exactly at the end is not taken.
    int EndWithin(Int64 Day, int T, Int64 M) const
    {
        const TDayMinutes& d = DayOf(Day);
        Int64 end = T + M;
        bool taken[3] = {false, false, false};
        for (bool again = true; again;) {
            again = false;
            for (int p = 0; p < 3; ++p)
                if (!taken[p] && d.bl[p] > 0 && d.bs[p] > T && d.bs[p] < end) {
                    end += d.bl[p];
                    taken[p] = again = true;
                }
        }
        return int(end);
    }

    // Working minutes in [T, Till) of the day: the span less the breaks in it.
    int WorkedBetween(Int64 Day, int T, int Till) const
    {
        if (Till <= T)
            return 0;
        const TDayMinutes& d = DayOf(Day);
        int worked = Till - T;
        for (int p = 0; p < 3; ++p) {
            const int from = std::max(T, d.bs[p]);
            const int to = std::min(Till, d.bs[p] + d.bl[p]);
            if (to > from)
                worked -= to - from;
        }
        return std::max(worked, 0);
    }

    // Whether any weekday can offer time at all (coverage aside).
    bool AnyTime() const
    {
        for (const TDayMinutes& d : FWeek.day) {
            int t = d.start;
            if (!d.active || t >= d.ende)
                continue;
            if (FKind == TWalkKind::Days)
                return true;
            for (int p = 0; p < 3; ++p)
                if (d.bl[p] > 0 && t >= d.bs[p] && t < d.bs[p] + d.bl[p])
                    t = d.bs[p] + d.bl[p];
            int a = d.workEnd - t;
            for (int p = 0; p < 3; ++p)
                if (d.bs[p] + d.bl[p] > t)
                    a -= d.bl[p];
            if (a > 0 && t < d.ende)
                return true;
        }
        return false;
    }

    TWalkKind Kind() const { return FKind; }

private:
    TWeekMinutes FWeek;
    TWalkKind FKind;
    const Covered& FCovered;
};

bool InSpan(const std::vector<int>& Span, int Row) { return std::find(Span.begin(), Span.end(), Row) != Span.end(); }

}  // namespace

// ---- indexes ---------------------------------------------------------------------

struct TScheduleDocument::TCalendarCache {
    // The automatic entries by shown row, and those of all rows.
    UInt64 AutoVersion = ~UInt64(0);
    int AutoCount = -1;
    std::vector<TDateCoverage> AutoByRow;
    TDateCoverage AutoAll;
    // The absent days by shown row, and those of all positions; kept only
    // while a pass is open.
    int Pass = 0;
    bool AbsentValid = false;
    std::vector<TDateCoverage> AbsentByRow;
    TDateCoverage AbsentAll;
    // The shown row's first expanded position index (-1 none).
    std::vector<int> WeekOfRow;
};

TScheduleDocument::TCalendarCache& TScheduleDocument::Calendar()
{
    if (!FCalendar)
        FCalendar = std::make_shared<TCalendarCache>();
    TCalendarCache& c = *FCalendar;
    if (c.AutoVersion != FAutoExcludeList.Version() || c.AutoCount != FAutoExcludeList.Count()) {
        c.AutoByRow.clear();
        c.AutoAll.Clear();
        for (int i = 0; i < FAutoExcludeList.Count(); ++i) {
            const TDateListItem* item = FAutoExcludeList.GetItems(i);
            if (item->position == AllPositions) {
                c.AutoAll.Add(item->start, item->ende);
            } else if (item->position >= 0 && item->position < 1000000) {
                if (std::size_t(item->position) >= c.AutoByRow.size())
                    c.AutoByRow.resize(std::size_t(item->position) + 1);
                c.AutoByRow[std::size_t(item->position)].Add(item->start, item->ende);
            }
        }
        c.AutoVersion = FAutoExcludeList.Version();
        c.AutoCount = FAutoExcludeList.Count();
    }
    return c;
}

void TScheduleDocument::BeginCalendarPass()
{
    TCalendarCache& c = Calendar();
    if (c.Pass++ == 0)
        c.AbsentValid = false;
}

void TScheduleDocument::EndCalendarPass()
{
    TCalendarCache& c = Calendar();
    if (c.Pass > 0 && --c.Pass == 0) {
        c.AbsentValid = false;
        c.AbsentByRow.clear();
        c.AbsentAll.Clear();
    }
}

// ---- weeks -----------------------------------------------------------------------

void TScheduleDocument::CreateDefaultWeekInfo()
{
    THeaderData* header = GetHeader(tbTable, GetConnection(tbTable, cnPosition));
    if (!header)
        return;
    const String week = WeekInfo2String(DefaultWeekInfo());
    TStringList& list = *header->Strings;
    list.BeginUpdate();
    for (int i = 0; i < list.Count(); ++i) {
        TCommaText entry(list.Get(i));
        entry.SetItem(1, week);
        list.Put(i, entry.AsString());
    }
    list.EndUpdate();
}

void TScheduleDocument::UpdateCalendarVariables()
{
    const TCommaText& all = ExpandedPositions().List;
    FWeekInfo.resize(std::size_t(all.Count()));
    for (int i = 0; i < all.Count(); ++i)
        FWeekInfo[std::size_t(i)] = String2WeekInfo(all.Item(i, 1));
    TCalendarCache& c = Calendar();
    const int shown = FGlobalPositionFilter ? FGlobalPositionFilter->Count() : 0;
    c.WeekOfRow.assign(std::size_t(shown), -1);
    for (std::size_t i = 0; i < FPositionInPositionGroup.size() && i < FWeekInfo.size(); ++i) {
        const int row = FPositionInPositionGroup[i];
        if (row >= 0 && row < shown && c.WeekOfRow[std::size_t(row)] < 0)
            c.WeekOfRow[std::size_t(row)] = int(i);
    }
    c.AbsentValid = false;
    FMinDayStart = 1.0;
    FMaxDayEnd = 0;
    for (int row = 0; row < shown; ++row)
        for (const TDayInfo& day : GetWeekInfo(row)) {
            FMinDayStart = std::min(FMinDayStart, day.start);
            FMaxDayEnd = std::max(FMaxDayEnd, day.ende);
        }
}

tWeekInfo TScheduleDocument::GetWeekInfo(int Row) const
{
    if (FCalendar && Row >= 0 && std::size_t(Row) < FCalendar->WeekOfRow.size()) {
        const int i = FCalendar->WeekOfRow[std::size_t(Row)];
        if (i >= 0 && std::size_t(i) < FWeekInfo.size())
            return FWeekInfo[std::size_t(i)];
    }
    return DefaultWeekInfo();
}

// ---- automatic entries ---------------------------------------------------------------

void TScheduleDocument::updateAutoEntries(TDateTime Low, TDateTime High)
{
    FAutoExcludeList.Clear();
    if (std::isnan(Low) || std::isnan(High))
        return;
    const double first = std::floor(Low);
    const double last = std::min(High, first + MaxAutoDays);
    const int shown = FGlobalPositionFilter ? FGlobalPositionFilter->Count() : 0;
    for (int row = 0; row < shown; ++row) {
        const tWeekInfo week = GetWeekInfo(row);
        for (double d = first; d < last; d += 1)
            if (!week[std::size_t(WeekDayIndex(Int64(d)))].active)
                FAutoExcludeList.Add(d, d + 1, row);
    }
    const int fromYear = Date2Year(Low);
    const int toYear = std::min(Date2Year(High), fromYear + MaxAutoYears);
    if (fromYear >= 1)
        for (const THolidayData& holiday : FHolidayList) {
            if (!holiday.enabled)
                continue;
            for (int year = fromYear; year <= toYear; ++year) {
                double date;
                if (holiday.easter) {
                    date = GetEasterSunday(year) + holiday.day;
                } else {
                    // 29 February of a common year and the like: that year
                    // has no such holiday.
                    if (holiday.month < 1 || holiday.month > 12 || holiday.day < 1 ||
                        holiday.day > DaysInAMonth(year, holiday.month))
                        continue;
                    date = OptEncodeDateW(year, holiday.month, holiday.day);
                }
                FAutoExcludeList.Add(date, date + 1, AllPositions, nullptr, holiday.name);
            }
        }
    FAutoExcludeList.SortDate();
}

void TScheduleDocument::UpdateAutoEntries(TDateTime Low, TDateTime High) { updateAutoEntries(Low, High); }

void TScheduleDocument::AddAutoExcludeToDateList(tDateList& List, int Row) const
{
    for (int i = FAutoExcludeList.Count() - 1; i >= 0; --i) {
        const TDateListItem* item = FAutoExcludeList.GetItems(i);
        if (item->position != AllPositions && item->position != Row)
            continue;
        auto copy = std::make_unique<TDateListItem>();
        copy->start = item->start;
        copy->ende = item->ende;
        List.Insert(0, std::move(copy));
    }
}

void TScheduleDocument::addTableToDateList(TWhichTable Table, tDateList& List, int Row)
{
    const bool inclusive = FMinUnit != muMinute || Table == tbExclude;
    ForEach(Table, feAll, 0, [&](TNodeData* r, NativeInt) {
        if (!r->nodeValid)
            return;
        if (r->nodePosition != AllPositions && !InSpan(GetMultipleRowSpan(Table, r), Row))
            return;
        List.Add(r->nodeStart, r->nodeEnd + (inclusive ? 1 : 0), r->nodePosition, r);
    });
    List.SortDate();
}

// The absent days of addTableToDateList, straight into a coverage: a walk
// outside a pass reads them for every row, so no list is built and no span
// is allocated for the rows of other positions.
void TScheduleDocument::AddAbsentDaysTo(TDateCoverage& Cover, int Row)
{
    auto* tree = dynamic_cast<TRowTree*>(StringTreeGrid2);
    if (!tree)
        return;
    auto holds = [this, Row](const TNodeData* r) {
        const int position = r->nodePosition;
        if (position == AllPositions)
            return true;
        if (position < 0 || std::size_t(position) >= FPositionsInHolidayGroup.size())
            return GetPositionOf(r) == Row;
        const std::vector<int>& group = FPositionsInHolidayGroup[std::size_t(position)];
        if (group.empty())
            return position == Row;
        for (int index : group) {
            const int shown = index >= 0 && std::size_t(index) < FPositionInPositionGroup.size()
                                  ? FPositionInPositionGroup[std::size_t(index)]
                                  : index;
            if (shown == Row)
                return true;
        }
        return false;
    };
    for (TGridNode* node = tree->GetFirstNoInit(); node; node = tree->GetNextNoInit(node)) {
        const TNodeData* r = tree->Row(node);
        if (r && r->nodeValid && holds(r))
            Cover.Add(r->nodeStart, r->nodeEnd + 1);
    }
}

// ---- the walk --------------------------------------------------------------------------

namespace {

// The coverage of one shown row: its automatic entries, those of all rows
// and, for tasks, the absent days that apply to it.
struct TRowCoverage {
    const TDateCoverage* Auto = nullptr;
    const TDateCoverage* AutoAll = nullptr;
    const TDateCoverage* Absent = nullptr;
    const TDateCoverage* AbsentAll = nullptr;
    bool operator()(Int64 Day) const
    {
        const double d = double(Day);
        return (Auto && Auto->Covers(d)) || (AutoAll && AutoAll->Covers(d)) || (Absent && Absent->Covers(d)) ||
               (AbsentAll && AbsentAll->Covers(d));
    }
};

}  // namespace

// Coverage of the shown row; Local receives the row's absent days when no
// pass keeps them.
static TRowCoverage RowCoverageOf(TScheduleDocument& Doc, int Row, bool WithAbsent, TDateCoverage& Local,
    const std::vector<TDateCoverage>& AutoByRow, const TDateCoverage& AutoAll,
    const std::vector<TDateCoverage>* AbsentByRow, const TDateCoverage* AbsentAll)
{
    TRowCoverage cover;
    if (Row >= 0 && std::size_t(Row) < AutoByRow.size())
        cover.Auto = &AutoByRow[std::size_t(Row)];
    cover.AutoAll = &AutoAll;
    if (!WithAbsent)
        return cover;
    if (AbsentByRow) {
        if (Row >= 0 && std::size_t(Row) < AbsentByRow->size())
            cover.Absent = &(*AbsentByRow)[std::size_t(Row)];
        cover.AbsentAll = AbsentAll;
        return cover;
    }
    Doc.AddAbsentDaysTo(Local, Row);
    cover.Absent = &Local;
    return cover;
}

TDateTime TScheduleDocument::GetEndOf(TNodeData* Row)
{
    if (!Row)
        return 0;
    if (!Row->RecalcEndOf)
        return Row->nodeEnd;
    TDateTime result = 0;
    try {
        const TDateTime x = GetStartOf(Row);
        if (x == 0)
            return 0;
        const bool task = Row->NodeTable == tbTable;
        const int p = GetPositionOf(Row);
        Int64 m = Row->nodeLength;
        bool inclusive = FMinUnit != muMinute || !task;
        if (p != AllPositions && (task || GetData_(Row, cnLengthWithWeekend) == CheckBoxTexts[1])) {
            TCalendarCache& c = Calendar();
            const bool pass = c.Pass > 0;
            if (task && pass && !c.AbsentValid) {
                // Absent days first get their own ends, which the index reads.
                ForEach(tbExclude, feAll, 0, [this](TNodeData* r, NativeInt) {
                    if (r->RecalcEndOf)
                        GetEndOf(r);
                });
                c.AbsentByRow.clear();
                c.AbsentAll.Clear();
                ForEach(tbExclude, feAll, 0, [&](TNodeData* r, NativeInt) {
                    if (!r->nodeValid)
                        return;
                    // Absent days end inclusively.
                    const double start = r->nodeStart, ende = r->nodeEnd + 1;
                    if (r->nodePosition == AllPositions) {
                        c.AbsentAll.Add(start, ende);
                        return;
                    }
                    std::vector<int> span = GetMultipleRowSpan(tbExclude, r);
                    std::sort(span.begin(), span.end());
                    span.erase(std::unique(span.begin(), span.end()), span.end());
                    for (int s : span)
                        if (s >= 0) {
                            if (std::size_t(s) >= c.AbsentByRow.size())
                                c.AbsentByRow.resize(std::size_t(s) + 1);
                            c.AbsentByRow[std::size_t(s)].Add(start, ende);
                        }
                });
                c.AbsentValid = true;
            }
            TDateCoverage local;
            const TRowCoverage cover = RowCoverageOf(*this, p, task, local, c.AutoByRow, c.AutoAll,
                pass ? &c.AbsentByRow : nullptr, pass ? &c.AbsentAll : nullptr);
            TCalendarWalk<TRowCoverage> walk(GetWeekInfo(p),
                task && FMinUnit == muMinute ? TWalkKind::Minutes : TWalkKind::Days, cover);
            const double limit = FMaxDate + WalkLimitDays;
            TWalkPoint at = ToPoint(x);
            bool givenUp = m > 0 && !walk.AnyTime();
            Int64 endMinute = at.Minute;
            while (m > 0 && !givenUp) {
                if (!(double(at.Day) <= limit)) {
                    givenUp = true;
                    break;
                }
                int t = at.Minute;
                const Int64 a = walk.Available(at.Day, t);
                if (a >= m && (a != m || walk.Kind() == TWalkKind::Minutes)) {
                    endMinute = walk.EndWithin(at.Day, t, m);
                    m = 0;
                } else {
                    m -= a;
                    at.Day += 1;
                    endMinute = at.Minute = walk.DayOf(at.Day).start;
                }
            }
            if (givenUp) {
                // No working time to be had: an end no bound accepts, so the
                // row shows as invalid instead of the walk running on.
                result = std::ceil(limit);
                inclusive = false;
            } else {
                result = FromPoint(at.Day, endMinute);
            }
        } else {
            result = x + double(m) / 480.0;
        }
        if (inclusive)
            result = std::trunc(result) - 1;
    } catch (...) {
        result = 0;
    }
    Row->RecalcEndOf = false;
    SetEndOf(Row, result);
    Row->nodeEnd = result;
    RowPlaceChanged(Row);
    if (Row->NodeTable == tbExclude && FCalendar)
        FCalendar->AbsentValid = false;
    return result;
}

std::int32_t TScheduleDocument::calcLengthOf(TWhichTable Table, int Row, TDateTime From, TDateTime Till)
{
    if (std::isnan(From) || std::isnan(Till))
        return 0;
    if (!(Table == tbTable || (Table == tbExclude && FDefaultCalcWorkdays)))
        return std::int32_t(std::min<std::uint32_t>(TimeInMinutes(Till - From), INT32_MAX));
    TCalendarCache& c = Calendar();
    const bool task = Table == tbTable;
    const bool pass = c.Pass > 0 && c.AbsentValid;
    TDateCoverage local;
    const TRowCoverage cover = RowCoverageOf(*this, Row, task && Row != AllPositions, local, c.AutoByRow, c.AutoAll,
        pass ? &c.AbsentByRow : nullptr, pass ? &c.AbsentAll : nullptr);
    const bool minutes = FMinUnit == muMinute;
    TCalendarWalk<TRowCoverage> walk(GetWeekInfo(Row), minutes && task ? TWalkKind::Minutes : TWalkKind::Days,
        cover);
    const double limit = std::max(FMaxDate + WalkLimitDays, std::floor(From) + 1);
    Int64 total = 0;

    if (minutes && task) {
        // Exactly the minutes the end walk consumes.
        const TWalkPoint till = ToPoint(Till);
        TWalkPoint at = ToPoint(From);
        while (at.Day < till.Day || (at.Day == till.Day && at.Minute < till.Minute)) {
            if (!(double(at.Day) <= limit))
                break;
            int t = at.Minute;
            const int a = walk.Available(at.Day, t);
            if (a > 0 && at.Day == till.Day && till.Minute <= walk.EndWithin(at.Day, t, a)) {
                total += std::min(a, walk.WorkedBetween(at.Day, t, till.Minute));
                break;
            }
            total += a;
            at.Day += 1;
            at.Minute = walk.DayOf(at.Day).start;
        }
    } else {
        double r = From;
        while (r < Till) {
            if (!(r <= limit))
                break;
            const Int64 day = Int64(std::floor(r));
            const TDayMinutes& d = walk.DayOf(day);
            double t = r - double(day);
            if (t < d.start / 1440.0) {
                t = d.start / 1440.0;
                r = double(day) + t;
            }
            Int64 a = 480;
            if (minutes) {
                // Whole minutes since the day's start, breaks included.
                const Int64 elapsed = Int64(std::floor((t - d.start / 1440.0) * 1440.0 + 1e-6));
                a = std::max<Int64>(0, d.length - elapsed);
            }
            if (!d.active || t > d.ende / 1440.0 || cover(day))
                a = 0;
            if (r + double(a) / 1440.0 >= Till) {
                total += TimeInMinutes(Till - r);
                r = Till;
            } else {
                total += a;
                r = double(day + 1) + walk.DayOf(day + 1).start / 1440.0;
            }
        }
    }
    return std::int32_t(std::clamp<Int64>(total, 0, INT32_MAX));
}
