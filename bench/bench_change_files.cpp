// A change file of 150,000 new rows (as many as the reader's bound on
// elements allows) applied to a plan: one bracket, so the window is
// refreshed once and not per row. Prints the median of three runs (goal: a
// few seconds).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "document/ScheduleDocument.h"
#include "platform/Forms.h"

namespace {

// As the main window's status bar: a walk over every row, left out while
// a bracket is open.
class TCountingDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    void UpdateStatusBar() override
    {
        if (IsUpdating())
            return;
        int rows = 0;
        ForEach(tbTable, feAll, 0, [&rows](TNodeData*, NativeInt) { ++rows; });
        Walked += rows;
    }
    long long Walked = 0;
};

struct TDocumentDeleter {
    void operator()(TScheduleDocument* d) const
    {
        d->ClearRows();
        d->Free();
    }
};

}  // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    FormatSettings = TFormatSettings::Default();
    constexpr int Rows = 150000;
    const std::string file = "/tmp/vek-bench-" + std::to_string(::getpid()) + ".diff";
    {
        std::ofstream out(file, std::ios::binary);
        out << "<?xml version=\"1.0\"?>\r\n<data>\r\n";
        for (int i = 0; i < Rows; ++i)
            out << "<new></new>\r\n";
        out << "</data>\r\n";
    }
    std::vector<double> times;
    bool ok = true;
    long long walked = 0;
    for (int run = 0; run < 3; ++run) {
        std::unique_ptr<TCountingDocument, TDocumentDeleter> doc(Create<TCountingDocument>(nullptr));
        doc->ActionNew();
        const auto t0 = std::chrono::steady_clock::now();
        ok = doc->LoadDiff(file) && ok;
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        ok = ok && doc->GetTableRowCount(tbTable) == Rows;
        walked = doc->Walked;
    }
    std::remove(file.c_str());
    std::sort(times.begin(), times.end());
    std::printf("change file of %d new rows: LoadDiff median %.2f s (goal: a few seconds); status bar walked %lld "
                "rows in all%s\n",
                Rows, times[1], walked, ok ? "" : "; FAILED");
    Application->Shutdown();
    return ok ? 0 : 1;
}
