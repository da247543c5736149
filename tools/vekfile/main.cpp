// vekfile: looks into, converts, dumps and generates document files.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "document/LZR.h"
#include "document/ScheduleDocument.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"
#include "tools/vekfile/Picture.h"
#include "tools/vekfile/Print.h"
#include "tools/vekfile/PlanGenerator.h"

namespace {

// The tool runs headless: no question is asked, nothing is shown.
class TToolDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;
    bool AskConfirmation(const String&) override { return true; }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { std::cerr << Text << "\n"; }
};

struct TDocumentDeleter {
    void operator()(TScheduleDocument* d) const
    {
        d->ClearRows();
        d->Free();
    }
};
using TToolDocumentPtr = std::unique_ptr<TToolDocument, TDocumentDeleter>;

TToolDocumentPtr NewDocument()
{
    TToolDocumentPtr doc(Create<TToolDocument>(nullptr));
    doc->ActionNew();
    return doc;
}

bool ReadFile(const String& Name, std::string& Bytes)
{
    std::ifstream in(Name, std::ios::binary);
    if (!in)
        return false;
    std::stringstream s;
    s << in.rdbuf();
    Bytes = s.str();
    return !in.bad();
}

bool WriteFile(const String& Name, const std::string& Bytes)
{
    std::ofstream out(Name, std::ios::binary | std::ios::trunc);
    out << Bytes;
    return bool(out);
}

int Usage()
{
    std::cerr << "usage: vekfile compress IN OUT | decompress IN OUT | text FILE | dump FILE | resave IN OUT |\n"
                 "       generate [--tasks N] [--positions P] [--absences A] [--minutes] [--seed S] OUT |\n"
                 "       picture FILE OUT.png [--from YYYY-MM-DD] [--days N] [--day-width PX] [--zoom PCT]\n"
                 "               [--font-size PT] [--now \"YYYY-MM-DD hh:mm\"] [--select ID[,ID...]]\n"
                 "               [--screen WxH [--overview WxH]] |\n"
                 "       print-table FILE OUT.pdf [--paper A4|Letter] [--landscape] [--rows all|filtered|selected]\n"
                 "               [--columns LIST] |\n"
                 "       print-chart FILE OUT.pdf --from DATE --days N --pages P [--low-quality]\n";
    return 2;
}

// Loads a document and settles it as the window would once idle: what
// every command that loads works on.
bool LoadDocument(TScheduleDocument& Doc, const String& Name)
{
    if (!Doc.Load(Name)) {
        std::cerr << "vekfile: " << Name << " could not be loaded";
        if (!Doc.FLoadError.empty())
            std::cerr << ": " << Doc.FLoadError;
        std::cerr << "\n";
        return false;
    }
    Doc.SettleDeferredUpdates();
    return true;
}

nlohmann::json Dump(TScheduleDocument& Doc)
{
    using nlohmann::json;
    json out;
    out["version"] = {Doc.FFileVersion, Doc.FFileSubVersion};
    out["minUnit"] = int(Doc.FMinUnit);
    json positions = json::array();
    const ICommaText list = Doc.Positiongroups(true, true);
    for (int i = 0; i < list->Count(); ++i)
        positions.push_back({{"name", list->Item(i, 0)},
                             {"rows", StrToIntDef(list->Item(i, 2), 1)},
                             {"week", WeekInfo2String(i < int(Doc.FWeekInfo.size()) ? Doc.FWeekInfo[std::size_t(i)]
                                                                                      : DefaultWeekInfo())}});
    out["positions"] = positions;
    json holidays = json::array();
    for (const THolidayData& h : Doc.FHolidayList)
        holidays.push_back(
            {{"name", h.name}, {"day", h.day}, {"month", h.month}, {"enabled", h.enabled}, {"easter", h.easter}});
    out["holidays"] = holidays;
    static const char* const roleNames[ConnectionCount] = {
        "None", "Position", "Start", "End", "Length", "Termin", "Color", "TextLeftTop", "TextLeftMiddle",
        "TextLeftBottom", "TextcenterTop", "TextCenterMiddle", "TextCenterBottom", "TextRightTop",
        "TextRightMiddle", "TextRightBottom", "LengthWithWeekend", "Interval"};
    json tables;
    for (TWhichTable table : {tbTable, tbExclude}) {
        json t;
        json columns = json::array();
        for (int c = 0; c < Doc.GetTableColCount(table); ++c) {
            const TConnection role = Doc.GetColumnConnection(table, c);
            THeaderData* header = Doc.GetHeader(table, c);
            json strings = json::array();
            if (header)
                for (int i = 0; i < header->Strings->Count(); ++i)
                    strings.push_back(header->Strings->Get(i));
            columns.push_back({{"caption", Doc.GetColumnCaption(table, c)},
                               {"type", int(Doc.GetColumnType(table, c))},
                               {"role", role == cnNone ? json(nullptr) : json(roleNames[role])},
                               {"format", Doc.GetColumnFormat(table, c)},
                               {"strings", strings}});
        }
        t["columns"] = columns;
        json rows = json::array();
        Doc.ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
            json cells = json::array();
            for (int c = 0; c < Doc.GetTableColCount(table); ++c)
                cells.push_back(Doc.GetData(Row, c));
            rows.push_back({{"id", Row->ID},
                            {"cells", cells},
                            {"valid", Row->nodeValid},
                            {"start", Row->nodeStart},
                            {"end", Doc.GetEndOf(Row)},
                            {"termin", Doc.GetTerminOf(Row)},
                            {"length", Row->nodeLength},
                            {"position", Row->nodePosition},
                            {"shownRow", Doc.GetPositionOf(Row)}});
        });
        t["rows"] = rows;
        tables[table == tbTable ? "tbTable" : "tbExclude"] = t;
    }
    out["tables"] = tables;
    json overlapping = json::array();
    for (int i = 0; i < Doc.FOverlappingNodes.Count(); ++i)
        if (auto* row = static_cast<TNodeData*>(Doc.FOverlappingNodes.Items(i)))
            overlapping.push_back(row->ID);
    out["overlapping"] = overlapping;
    return out;
}

int Run(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const String command = argv[1];
    if ((command == "compress" || command == "decompress") && argc == 4) {
        std::string in, out;
        if (!ReadFile(argv[2], in)) {
            std::cerr << "vekfile: cannot read " << argv[2] << "\n";
            return 1;
        }
        TLZR lzr;
        const bool ok = command == "compress" ? lzr.Compress(in.data(), in.size(), out)
                                              : lzr.DeCompress(in.data(), in.size(), out);
        if (!ok) {
            std::cerr << "vekfile: " << argv[2] << ": not a valid compressed stream\n";
            return 1;
        }
        if (!WriteFile(argv[3], out)) {
            std::cerr << "vekfile: cannot write " << argv[3] << "\n";
            return 1;
        }
        return 0;
    }
    if (command == "text" && argc == 3) {
        std::string in;
        if (!ReadFile(argv[2], in)) {
            std::cerr << "vekfile: cannot read " << argv[2] << "\n";
            return 1;
        }
        TMemIniFile ini;
        try {
            TScheduleDocument::ReadDocumentBytes(in, ini);
        } catch (const std::exception& e) {
            std::cerr << "vekfile: " << argv[2] << ": " << e.what() << "\n";
            return 1;
        }
        std::cout << ini.GetText();
        return 0;
    }
    if (command == "dump" && argc == 3) {
        auto doc = NewDocument();
        if (!LoadDocument(*doc, argv[2]))
            return 1;
        std::cout << Dump(*doc).dump(1) << "\n";
        return 0;
    }
    if (command == "resave" && argc == 4) {
        auto doc = NewDocument();
        if (!LoadDocument(*doc, argv[2]))
            return 1;
        doc->SaveTo(argv[3]);
        return 0;
    }
    if (command == "picture") {
        // Drawn off any screen: no display is needed.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        Application->Initialize();
        return PictureCommand(std::vector<String>(argv + 2, argv + argc));
    }
    if (command == "print-table")
        return PrintTableCommand(std::vector<String>(argv + 2, argv + argc));
    if (command == "print-chart")
        return PrintChartCommand(std::vector<String>(argv + 2, argv + argc));
    if (command == "generate" && argc >= 3) {
        TPlanOptions options;
        for (int i = 2; i < argc - 1; ++i) {
            const String a = argv[i];
            auto number = [&](int& Field) {
                if (i + 1 >= argc - 1)
                    return false;
                Field = StrToIntDef(argv[++i], -1);
                return Field >= 0;
            };
            int seed = 0;
            if ((a == "--tasks" && number(options.Tasks)) || (a == "--positions" && number(options.Positions)) ||
                (a == "--absences" && number(options.Absences)))
                continue;
            if (a == "--seed" && number(seed)) {
                options.Seed = unsigned(seed);
                continue;
            }
            if (a == "--minutes") {
                options.Minutes = true;
                continue;
            }
            return Usage();
        }
        if (options.Positions < 1)
            options.Positions = 1;
        auto doc = NewDocument();
        GeneratePlan(*doc, options);
        doc->SaveTo(argv[argc - 1]);
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
    int result = 1;
    try {
        result = Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vekfile: " << e.what() << "\n";
        result = 1;
    }
    Application->Shutdown();
    return result;
}
