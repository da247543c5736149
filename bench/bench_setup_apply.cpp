// Applying a new task-table layout to a large plan: 100,000 tasks and 5,000
// absent days on 500 positions, one column moved, one column renamed and two
// positions renamed, inside one update bracket whose outermost EndUpdate
// (ends, bounds, overlaps, validity) is timed with it. Goal under 1 s. Prints the median of several
// runs; the exit code says whether the goal was met and the cells moved.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "document/ScheduleDocument.h"
#include "platform/Forms.h"
#include "tools/vekfile/PlanGenerator.h"

namespace {

struct TDocumentDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
using TDocumentPtr = std::unique_ptr<TScheduleDocument, TDocumentDeleter>;

constexpr int Runs = 5;
constexpr double GoalMs = 1000;

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

// The table as it stands, then its last column moved before the one
// before it and the start column renamed (to Name).
TColumnLayout Changed(TScheduleDocument& Doc, const String& Name)
{
    TColumnLayout layout;
    const int count = Doc.GetTableColCount(tbTable);
    for (int i = 0; i < count; ++i)
        layout.Columns.push_back({Doc.GetColumnCaption(tbTable, i), Doc.GetColumnType(tbTable, i),
            Doc.GetHeader(tbTable, i)->Strings->CommaText(), i});
    std::swap(layout.Columns[std::size_t(count - 1)], layout.Columns[std::size_t(count - 2)]);
    layout.Columns[std::size_t(Doc.GetConnection(tbTable, cnStart))].Name = Name;
    return layout;
}

}  // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    FormatSettings = TFormatSettings::Default();
    TDocumentPtr doc(Create<TScheduleDocument>(nullptr));
    doc->ActionNew();
    TPlanOptions options;
    options.Tasks = 100000;
    options.Positions = 500;
    options.Absences = 5000;
    options.Seed = 7;
    GeneratePlan(*doc, options);
    doc->SettleDeferredUpdates();

    TNodeData* first = doc->NodeToRow(doc->StringTreeGrid1, doc->StringTreeGrid1->GetFirst());
    const int last = doc->GetTableColCount(tbTable) - 1;
    const TPositionLayout start = doc->PositionLayoutOf(doc->GetConnection(tbTable, cnPosition));
    const String names[2] = {start.Positions[0].Name, start.Positions[1].Name};
    bool ok = true;
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        const String moved = doc->GetData(first, last);
        const TColumnLayout layout = Changed(*doc, run % 2 ? "Start" : "Begin");
        TPositionLayout positions = doc->PositionLayoutOf(doc->GetConnection(tbTable, cnPosition));
        for (std::size_t p = 0; p < 2; ++p)
            positions.Positions[p].Name = names[p] + (run % 2 ? "" : " renamed");
        const auto t = std::chrono::steady_clock::now();
        doc->BeginUpdate("setting up...");
        doc->ApplyColumnLayout(tbTable, layout);
        doc->ApplyPositionLayout(positions, doc->GetConnection(tbTable, cnPosition));
        doc->EndUpdate();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
        ok = ok && doc->GetData(first, last - 1) == moved && doc->GetTableRowCount(tbTable) == options.Tasks &&
             doc->PositionLayoutOf(doc->GetConnection(tbTable, cnPosition)).Positions[1].Name ==
                 positions.Positions[1].Name;
    }
    const double median = Median(times);
    std::printf("apply a moved and a renamed column and two renamed positions to 100,000 tasks and 5,000 absent "
                "days, outermost EndUpdate included: median %.0f ms (goal < %.0f ms)%s\n",
        median, GoalMs, ok ? "" : "; CELLS WRONG");
    return ok && median < GoalMs ? 0 : 1;
}
