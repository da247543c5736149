// Copy and export of 100,000 selected rows of ten columns: putting them on
// the clipboard (the formats render only when read), the text, CSV, HTML
// and rich text exports, and saving and loading the node stream. Each figure
// is the median of several runs, printed with its goal.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"

namespace {

constexpr Cardinal RowCount = 100000;
constexpr int ColumnCount = 10;
constexpr int Runs = 5;

using TClock = std::chrono::steady_clock;

struct TBenchRow {
    Cardinal Id;
};

double Median(std::function<void()> Work)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        const TClock::time_point start = TClock::now();
        Work();
        times.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TStringTreeGrid* MakeTree()
{
    auto* tree = Create<TStringTreeGrid>(nullptr);
    tree->SetNodeDataSize(sizeof(TBenchRow));
    for (int c = 0; c < ColumnCount; ++c)
        tree->Header()->Columns()->Add()->SetText("Spalte " + std::to_string(c));
    TTGSelectionOptions selection = tree->TreeOptions()->SelectionOptions();
    selection.Include(toMultiSelect);
    tree->TreeOptions()->SetSelectionOptions(selection);
    tree->OnGetText = [](TBaseTreeGrid* t, TGridNode* n, TColumnIndex c, TVSTTextType, String& text) {
        text = "Zeile " + std::to_string(t->GetNodeData<TBenchRow>(n)->Id) + " / " + std::to_string(c);
    };
    tree->OnSaveNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) {
        if (n)
            s.WriteUInt32(t->GetNodeData<TBenchRow>(n)->Id);
    };
    tree->OnLoadNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) {
        t->GetNodeData<TBenchRow>(n)->Id = s.ReadUInt32();
    };
    return tree;
}

void Print(const char* What, double Ms, double Goal)
{
    std::printf("%-22s %9.1f ms   (goal under %.0f ms: %s)\n", What, Ms, Goal, Ms < Goal ? "met" : "missed");
}

}  // namespace

int main()
{
    // Offscreen unless a display is asked for.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();

    TStringTreeGrid* tree = MakeTree();
    for (Cardinal i = 0; i < RowCount; ++i)
        tree->GetNodeData<TBenchRow>(tree->AddChild(nullptr))->Id = i;
    tree->SelectAll(false);
    std::size_t bytes = 0;

    std::printf("%u selected rows of %d columns, median of %d runs\n", RowCount, ColumnCount, Runs);
    Print("Copy", Median([&] { tree->CopyToClipBoard(); }), 20);
    Print("text", Median([&] { bytes += tree->ContentToText(tstSelected, "\t").size(); }), 250);
    Print("CSV", Median([&] { bytes += tree->ContentToText(tstSelected, FormatSettings.ListSeparator).size(); }),
        250);
    Print("HTML", Median([&] { bytes += tree->ContentToHTML(tstSelected).size(); }), 800);
    Print("rich text", Median([&] { bytes += tree->ContentToRTF(tstSelected).size(); }), 500);
    std::string saved;
    Print("stream save", Median([&] {
        TMemoryStream stream;
        tree->SaveToStream(stream);
        saved = stream.DataString();
    }),
        50);
    TStringTreeGrid* copy = MakeTree();
    Print("stream load", Median([&] {
        TMemoryStream stream;
        stream.WriteBytes(saved);
        stream.SetPosition(0);
        copy->LoadFromStream(stream);
    }),
        100);
    std::printf("(%zu bytes exported, %zu bytes of stream, %u rows loaded)\n", bytes, saved.size(),
        copy->RootNode()->ChildCount);
    copy->Free();
    tree->Free();
    Application->Shutdown();
    return 0;
}
