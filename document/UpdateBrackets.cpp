// Update brackets and the deferred recalculations: the cell funnel only
// raises flags (or restarts the overlap timer); the work runs once the
// application has gone idle, or once at the end of the outermost bracket.
#include <algorithm>
#include <cassert>
#include <unordered_set>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

// ---- brackets ----------------------------------------------------------------

void TScheduleDocument::BeginUpdate(const String& Text)
{
    ++FUpdating;
    FUpdateStrings.Insert(0, GetStatusText());
    SetStatusText(Text);
    StringTreeGrid1->BeginUpdate();
    StringTreeGrid2->BeginUpdate();
    SetHourglass(true);
}

void TScheduleDocument::EndUpdate()
{
    // One EndUpdate too many is a caller's fault; it must not unbalance the
    // trees or the status text.
    assert(FUpdating > 0 && "EndUpdate without BeginUpdate");
    if (FUpdating <= 0)
        return;
    --FUpdating;
    StringTreeGrid1->EndUpdate();
    StringTreeGrid2->EndUpdate();
    if (FUpdateStrings.Count() > 0) {
        SetStatusText(FUpdateStrings.Get(0));
        FUpdateStrings.Delete(0);
    }
    if (FUpdating > 0)
        return;
    ForEach(feAll, 0, [this](TNodeData* Row, NativeInt) { CB_SetRecalcEndOf(Row); });
    GroupTabChange();
    UpdateBounds(true);
    UpdateOverlapping(true);
    CheckAllValid();
    UpdateScrollBars();
    UpdateStatusBar();
    PageControl1Change();
    RestoreTimeChartStart();
    UpdateDocumentSwitches();
    SetHourglass(false);
}

void TScheduleDocument::SetLoading(bool Value)
{
    if (Value) {
        FVEKStateSet.Include(ksLoading);
        FUntouchedNew = false;
    } else {
        FVEKStateSet.Exclude(ksLoading);
    }
}

// ---- requests ------------------------------------------------------------------

void TScheduleDocument::UpdateBounds(bool Deferred)
{
    if (IsUpdating())
        return;
    if (Deferred)
        fDelayedUpdateBounds = true;
    else
        UpdateBoundsProc();
}

void TScheduleDocument::UpdateOverlapping(bool Deferred)
{
    if (IsUpdating())
        return;
    if (Deferred) {
        // Restarted, so a burst of changes keeps postponing the work.
        OverlappingTimer->SetEnabled(false);
        OverlappingTimer->SetEnabled(true);
    } else {
        UpdateOverlappingProc();
    }
}

void TScheduleDocument::UpdateEmptyRows(bool Deferred)
{
    if (IsUpdating())
        return;
    if (Deferred)
        fDelayedUpdateEmptyRows = true;
    else
        UpdateEmptyRowsProc();
}

// ---- timers --------------------------------------------------------------------

void TScheduleDocument::OverlappingTimerTimer(TObject*)
{
    if (IsLoading())
        return;
    fDelayedUpdateOverlapping = true;
    OverlappingTimer->SetEnabled(false);
}

void TScheduleDocument::ApplicationEvents1Idle()
{
    UpdateTimeChartHint();
    IdleTimer->SetEnabled(true);
}

void TScheduleDocument::IdleTimerTimer(TObject*)
{
    if (IsLoading())
        return;
    IdleTimer->SetEnabled(false);
    RunDelayed(fDelayedUpdateEmptyRows, &TScheduleDocument::UpdateEmptyRowsProc);
    RunDelayed(fDelayedUpdateBounds, &TScheduleDocument::UpdateBoundsProc);
    RunDelayed(fDelayedUpdateOverlapping, &TScheduleDocument::UpdateOverlappingProc);
    UpdateNetworkControls();
}

void TScheduleDocument::RunDelayed(bool& Flag, void (TScheduleDocument::*Proc)())
{
    if (!Flag)
        return;
    Flag = false;
    (this->*Proc)();
}

// ---- settling without an event loop --------------------------------------------

void TScheduleDocument::SettleDeferredUpdates()
{
    if (IsUpdating() || IsLoading())
        return;
    IdleTimer->SetEnabled(false);
    // A round is one idle tick and the ends the views then compute. New ends
    // move the bounds, and the bounds bring their automatic holidays, which
    // move ends: the rounds go on until the ends stand. The overlap timer
    // fires only once the ticks find nothing to do. The bound on the rounds
    // keeps a document that never settles (the automatic solver moving tasks
    // back and forth) from holding the caller for ever.
    constexpr int MaxRounds = 32;
    for (int round = 0; round < MaxRounds; ++round) {
        RunDelayed(fDelayedUpdateEmptyRows, &TScheduleDocument::UpdateEmptyRowsProc);
        RunDelayed(fDelayedUpdateBounds, &TScheduleDocument::UpdateBoundsProc);
        {
            BeginCalendarPass();
            TScopeExit pass([this] { EndCalendarPass(); });
            ForEach(feAll, 0, [this](TNodeData* Row, NativeInt) {
                if (Row->RecalcEndOf)
                    GetEndOf(Row);
            });
        }
        if (fDelayedUpdateEmptyRows || fDelayedUpdateBounds)
            continue;
        if (OverlappingTimer->Enabled()) {
            OverlappingTimer->SetEnabled(false);
            fDelayedUpdateOverlapping = true;
        }
        if (!fDelayedUpdateOverlapping)
            break;
        RunDelayed(fDelayedUpdateOverlapping, &TScheduleDocument::UpdateOverlappingProc);
    }
    UpdateNetworkControls();
}

// ---- the procedures -------------------------------------------------------------

void TScheduleDocument::UpdateBoundsProc()
{
    if (IsUpdating())
        return;
    TDateTime low = Now();
    TDateTime high = low;
    bool first = true;
    for (TWhichTable table : {tbTable, tbExclude}) {
        ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
            if (!Row->nodeValid)
                return;
            if (first) {
                low = Row->nodeStart;
                high = Row->nodeEnd;
                first = false;
            }
            low = std::min({low, Row->nodeStart, Row->nodeEnd});
            high = std::max({high, Row->nodeStart, Row->nodeEnd});
            if (Row->nodeTermin != 0) {
                low = std::min(low, Row->nodeTermin);
                high = std::max(high, Row->nodeTermin);
            }
        });
    }
    const int visible = GetTimeChartVisibleDays();
    if (high - low < visible)
        high = low + visible;
    low -= 14;
    high += 14;
    FDataMinDate = low;
    FDataMaxDate = high;
    if (!isDateOK(FUserDate))
        FUserDate = low;
    SetTimeChartBounds(std::min(FUserDate, low), std::max(FUserDate, high));
    UpdateAutoEntries(low, high);
    ForEach(feAll, 0, [this](TNodeData* Row, NativeInt) { CB_SetRecalcEndOf(Row); });
}

void TScheduleDocument::UpdateEmptyRowsProc()
{
    const String remembered = FGlobalPositionFilter ? FGlobalPositionFilter->AsString() : String();
    FGlobalPositionFilter = CopyCommaText(FNoAutoGlobalPositionFilter);
    const bool hideAll = HideEmptyPositions();
    const bool hideMulti = !hideAll && HideEmptyMultiRowPositions();
    if (hideAll || hideMulti) {
        std::unordered_set<String> used;
        for (TWhichTable table : {tbTable, tbExclude})
            ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) { used.insert(GetData_(Row, cnPosition)); });
        TCommaText& filter = *FGlobalPositionFilter;
        for (int i = filter.Count() - 1; i >= 0; --i) {
            if (hideMulti && StrToIntDef(Trim(filter.Item(i, 2)), 1) <= 1)
                continue;
            if (used.find(filter.Item(i, 0)) == used.end())
                filter.Delete(i);
        }
        if (filter.Count() == 0)
            FGlobalPositionFilter = CopyCommaText(FNoAutoGlobalPositionFilter);
    }
    if (FGlobalPositionFilter->AsString() == remembered)
        return;
    UpdateInternalVariables();
    UpdateScrollBars();
    UpdateBounds(true);
    CheckAllValid();
    InvalidateTimeChart();
}
