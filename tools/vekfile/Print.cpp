// vekfile print-table and print-chart: the print dialogs driven without
// showing them, their preview answered with "print all".
#include "tools/vekfile/Print.h"

#include <filesystem>
#include <iostream>

#include "platform/DateUtils.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "printing/PrintListDialog.h"
#include "printing/PrintTimeChartDialog.h"
#include "tools/vekfile/HeadlessPlanner.h"

namespace {

const char* const TableUsage =
    "usage: vekfile print-table FILE OUT.pdf [--paper A4|Letter] [--landscape] [--rows all|filtered|selected]"
    " [--columns LIST]\n";
const char* const ChartUsage = "usage: vekfile print-chart FILE OUT.pdf --from DATE --days N --pages P [--low-quality]\n";

// The plan's file as its printouts name it, and the low-quality answer.
class TPrintingPlanner : public THeadlessPlanner {
public:
    using THeadlessPlanner::THeadlessPlanner;
    String FileName;
    bool LowQuality = false;
    String GetDocumentFileName() const override { return FileName; }
    bool AskYesNo(const String&) override { return LowQuality; }
};

TFormatSettings FixedFormats()
{
    TFormatSettings f = TFormatSettings::Default();
    f.ShortDateFormat = "dd.mm.yyyy";
    f.LongTimeFormat = "hh:nn:ss";
    f.DateSeparator = ".";
    f.TimeSeparator = ":";
    return f;
}

int BadArguments(const String& Error, const char* Usage)
{
    std::cerr << "vekfile: " << Error << "\n" << Usage;
    return 2;
}

struct TPrintJob {
    String File;
    String Out;
    TPaperKind Paper = pkA4;
    TPrinterOrientation Orientation = poPortrait;
};

// The headless planner with the plan loaded, or null (message written).
std::unique_ptr<TPrintingPlanner, TPlannerDeleter> LoadPlan(const TPrintJob& Job)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application->Initialize();
    FormatSettings = FixedFormats();
    std::unique_ptr<TPrintingPlanner, TPlannerDeleter> p(Create<TPrintingPlanner>(nullptr));
    p->ActionNew();
    if (!p->Load(Job.File)) {
        std::cerr << "vekfile: " << Job.File << " could not be loaded"
                  << (p->FLoadError.empty() ? String() : ": " + p->FLoadError) << "\n";
        return nullptr;
    }
    p->SettleDeferredUpdates();
    p->SetActiveTable(tbTable);
    std::error_code error;
    p->FileName = std::filesystem::absolute(Job.File, error).string();
    TPrinter* printer = Printer();
    printer->FallbackFileName = nullptr;
    printer->SetOutputFileName(Job.Out);
    printer->SetPaper(Job.Paper);
    printer->SetOrientation(Job.Orientation);
    return p;
}

// Runs a dialog's printout; 1 (with the reason) when nothing was written.
template <class TDialog>
int PrintWith(TDialog& Dialog, const TPrintJob& Job)
{
    Dialog.PrintPreviewDialog1->PrintWithoutPreview = true;
    try {
        Dialog.Print();
    } catch (const std::exception& E) {
        std::cerr << "vekfile: " << Job.Out << " could not be written: " << E.what() << "\n";
        std::filesystem::remove(Job.Out);
        return 1;
    }
    return 0;
}

bool SplitFiles(const std::vector<String>& Files, TPrintJob& Job)
{
    if (Files.size() != 2)
        return false;
    Job.File = Files[0];
    Job.Out = Files[1];
    return true;
}

}  // namespace

int PrintTableCommand(const std::vector<String>& Args)
{
    TPrintJob job;
    std::vector<String> files;
    String rows = "all";
    bool hasColumns = false;
    String columns;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const String& a = Args[i];
        if (a == "--landscape") {
            job.Orientation = poLandscape;
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            files.push_back(a);
            continue;
        }
        if (i + 1 >= Args.size())
            return BadArguments(a + " needs a value", TableUsage);
        const String& v = Args[++i];
        if (a == "--paper" && (v == "A4" || v == "Letter")) {
            job.Paper = v == "A4" ? pkA4 : pkLetter;
        } else if (a == "--rows" && (v == "all" || v == "filtered" || v == "selected")) {
            rows = v;
        } else if (a == "--columns") {
            hasColumns = true;
            columns = v;
        } else {
            return BadArguments("bad option " + a + " " + v, TableUsage);
        }
    }
    if (!SplitFiles(files, job))
        return BadArguments("print-table takes a plan and a PDF file", TableUsage);

    auto p = LoadPlan(job);
    if (!p)
        return 1;
    std::unique_ptr<TPrintListDialog, void (*)(TPrintListDialog*)> d(Create<TPrintListDialog>(nullptr, p.get()),
        [](TPrintListDialog* D) { D->Free(); });
    d->Load(TPrintSettings::From(*p));
    d->FillColumns();
    if (hasColumns) {
        std::vector<bool> wanted(std::size_t(d->ColumnCount()), false);
        std::size_t from = 0;
        while (!columns.empty() && from <= columns.size()) {
            const std::size_t comma = std::min(columns.find(',', from), columns.size());
            const String item = columns.substr(from, comma - from);
            from = comma + 1;
            int index = -1;
            for (int c = 0; c < int(wanted.size()) && index < 0; ++c)
                if (p->GetColumnCaption(tbTable, c) == item)
                    index = c;
            if (index < 0) {
                const int n = StrToIntDef(item, 0);
                index = n >= 1 && n <= int(wanted.size()) && IntToStr(n) == item ? n - 1 : -1;
            }
            if (index < 0 || index >= int(wanted.size()))
                return BadArguments("no column \"" + item + "\" in the task table", TableUsage);
            wanted[std::size_t(index)] = true;
        }
        for (std::size_t c = 0; c < wanted.size(); ++c)
            d->SetColumnChecked(int(c), wanted[c]);
    }
    (rows == "selected" ? d->SelectedTasks : rows == "filtered" ? d->FilteredTasks : d->AllTasks)->SetChecked(true);
    d->UpdateCount();
    if (!d->OKButton->Enabled()) {
        std::cerr << "vekfile: no " << rows << " rows to print in " << job.File << "\n";
        return 1;
    }
    return PrintWith(*d, job);
}

int PrintChartCommand(const std::vector<String>& Args)
{
    TPrintJob job;
    std::vector<String> files;
    bool lowQuality = false;
    TDateTime from = 0;
    int days = 0, pages = 0;
    const TFormatSettings formats = FixedFormats();
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const String& a = Args[i];
        if (a == "--low-quality") {
            lowQuality = true;
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            files.push_back(a);
            continue;
        }
        if (i + 1 >= Args.size())
            return BadArguments(a + " needs a value", ChartUsage);
        const String& v = Args[++i];
        bool ok = true;
        if (a == "--from") {
            ok = v.size() == 10 && TryStrToDate(v, from, formats);
        } else if (a == "--days") {
            days = StrToIntDef(v, 0);
            ok = days >= 1 && days <= 10000 && IntToStr(days) == v;
        } else if (a == "--pages") {
            pages = StrToIntDef(v, 0);
            ok = pages >= 1 && pages <= 20 && IntToStr(pages) == v;
        } else {
            ok = false;
        }
        if (!ok)
            return BadArguments("bad option " + a + " " + v, ChartUsage);
    }
    if (!SplitFiles(files, job) || from == 0 || days == 0 || pages == 0)
        return BadArguments("print-chart takes a plan, a PDF file, --from, --days and --pages", ChartUsage);

    auto p = LoadPlan(job);
    if (!p)
        return 1;
    p->LowQuality = lowQuality;
    std::unique_ptr<TPrintTimeChartDialog, void (*)(TPrintTimeChartDialog*)> d(
        Create<TPrintTimeChartDialog>(nullptr, p.get()), [](TPrintTimeChartDialog* D) { D->Free(); });
    d->Load(TPrintSettings::From(*p));
    d->RadioFreeInput->SetChecked(true);
    d->FreeInputClick();
    d->startpicker->SetDate(from);
    d->endepicker->SetDate(from + days);
    d->EndDateChange();
    d->pages->SetPosition(pages);
    return PrintWith(*d, job);
}
