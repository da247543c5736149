// Saving and loading a large plan: 100,000 tasks and 5,000 absent days on
// 500 positions, compressed and plain, with every deferred update run after
// the load. Prints the medians and the goals.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "document/ScheduleDocument.h"
#include "platform/Forms.h"
#include "tools/vekfile/PlanGenerator.h"

namespace {

struct TDocumentDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
using TDocumentPtr = std::unique_ptr<TScheduleDocument, TDocumentDeleter>;

TDocumentPtr NewDocument()
{
    TDocumentPtr doc(Create<TScheduleDocument>(nullptr));
    doc->ActionNew();
    return doc;
}

double Seconds(std::chrono::steady_clock::time_point Since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Since).count();
}

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

// Resident memory now, in megabytes.
double ResidentMB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void RunDeferredUpdates(TScheduleDocument& Doc) { Doc.SettleDeferredUpdates(); }

}  // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    FormatSettings = TFormatSettings::Default();
    const String dir = "/tmp/vek-bench-" + std::to_string(::getpid()) + "/";
    ::mkdir(dir.c_str(), 0777);
    const int runs = 5;
    {
        auto doc = NewDocument();
        TPlanOptions options;
        options.Tasks = 100000;
        options.Positions = 500;
        options.Absences = 5000;
        options.Seed = 7;
        GeneratePlan(*doc, options);

        std::vector<double> packed, plain;
        for (int i = 0; i < runs; ++i) {
            doc->FKomprimiert = true;
            auto t = std::chrono::steady_clock::now();
            doc->SaveTo(dir + "packed.vek");
            packed.push_back(Seconds(t));
            doc->FKomprimiert = false;
            t = std::chrono::steady_clock::now();
            doc->SaveTo(dir + "plain.vek");
            plain.push_back(Seconds(t));
        }
        std::printf("save compressed: median %.0f ms (goal < 500 ms)\n", Median(packed) * 1000);
        std::printf("save plain:      median %.0f ms\n", Median(plain) * 1000);
        doc->ClearRows();
    }

    std::vector<double> packed, plain, loadOnly, deferred;
    double memory = 0;
    for (int i = 0; i < runs; ++i) {
        const double before = ResidentMB();
        auto doc = NewDocument();
        auto t = std::chrono::steady_clock::now();
        if (!doc->Load(dir + "packed.vek")) {
            std::printf("load failed\n");
            return 1;
        }
        loadOnly.push_back(Seconds(t));
        const auto d = std::chrono::steady_clock::now();
        RunDeferredUpdates(*doc);
        deferred.push_back(Seconds(d));
        packed.push_back(Seconds(t));
        memory = std::max(memory, ResidentMB() - before);
        doc->ClearRows();
        doc.reset();
        auto other = NewDocument();
        t = std::chrono::steady_clock::now();
        other->Load(dir + "plain.vek");
        RunDeferredUpdates(*other);
        plain.push_back(Seconds(t));
        other->ClearRows();
    }
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("load compressed with deferred updates: median %.0f ms (goal < 1500 ms)\n", Median(packed) * 1000);
    std::printf("load plain with deferred updates:      median %.0f ms\n", Median(plain) * 1000);
    std::printf("  of which Load alone (compressed): median %.0f ms, the deferred updates: median %.0f ms\n",
                Median(loadOnly) * 1000, Median(deferred) * 1000);
    std::printf("memory of the loaded plan: %.0f MB (goal < 400 MB); process peak %.0f MB\n", memory,
                double(usage.ru_maxrss) / 1024.0);
    std::remove((dir + "packed.vek").c_str());
    std::remove((dir + "plain.vek").c_str());
    ::rmdir(dir.c_str());
    Application->Shutdown();
    return 0;
}
