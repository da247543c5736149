// Reading .xlsx and .ods workbooks with libzip and pugixml. The files come
// from anywhere: every size, count, index and reference is checked against
// the bounds of TWorkbookFile before use, and unpacking stops at them.
#include "document/WorkbookReader.h"

#include <zip.h>

#include <charconv>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <map>
#include <pugixml.hpp>

#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

using TSheetList = std::vector<std::unique_ptr<TWorkbookFile::TSheet>>;

namespace {

constexpr int MaxTextDepth = 64;
constexpr int MaxSheets = 1024;

[[noreturn]] void Fail(const String& Why) { throw EWorkbookError("The workbook cannot be read: " + Why); }

// ---- the zip container ----------------------------------------------------------------

class TZipReader {
public:
    TZipReader(const void* Data, std::size_t Size)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(Data, Size, 0, &error);
        if (!source) {
            zip_error_fini(&error);
            Fail("out of memory");
        }
        FZip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!FZip) {
            zip_source_free(source);
            zip_error_fini(&error);
            Fail("it is not a zip archive (.xlsx and .ods are read).");
        }
        zip_error_fini(&error);
    }
    ~TZipReader()
    {
        if (FZip)
            zip_discard(FZip);
    }
    TZipReader(const TZipReader&) = delete;
    TZipReader& operator=(const TZipReader&) = delete;

    bool Has(const String& Name) const { return Locate(Name) >= 0; }

    // The unpacked part; false when it is not there.
    bool Read(const String& Name, String& Bytes)
    {
        const zip_int64_t index = Locate(Name);
        if (index < 0)
            return false;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(FZip, zip_uint64_t(index), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
            st.size > TWorkbookFile::MaxPartSize)
            Fail("the part " + Name + " unpacks to more than a workbook may hold.");
        zip_file_t* file = zip_fopen_index(FZip, zip_uint64_t(index), 0);
        if (!file)
            Fail("the part " + Name + " cannot be unpacked.");
        Bytes.clear();
        char buffer[65536];
        for (;;) {
            const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
            if (got < 0) {
                zip_fclose(file);
                Fail("the part " + Name + " is damaged.");
            }
            if (got == 0)
                break;
            // The sizes in the archive are not trusted: unpacking stops at the bounds.
            FTotal += std::size_t(got);
            if (Bytes.size() + std::size_t(got) > TWorkbookFile::MaxPartSize ||
                FTotal > TWorkbookFile::MaxTotalUnpacked) {
                zip_fclose(file);
                Fail("the part " + Name + " unpacks to more than a workbook may hold.");
            }
            Bytes.append(buffer, std::size_t(got));
        }
        zip_fclose(file);
        return true;
    }

private:
    zip_int64_t Locate(const String& Name) const
    {
        zip_int64_t index = zip_name_locate(FZip, Name.c_str(), ZIP_FL_ENC_GUESS);
        if (index < 0)
            index = zip_name_locate(FZip, Name.c_str(), ZIP_FL_NOCASE);
        return index;
    }

    zip_t* FZip = nullptr;
    std::size_t FTotal = 0;
};

void ParseXml(pugi::xml_document& Doc, const String& Bytes, const String& Name)
{
    const pugi::xml_parse_result result =
        Doc.load_buffer(Bytes.data(), Bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        Fail("the part " + Name + " is not well-formed XML (" + result.description() + " at byte " +
             IntToStr(Int64(result.offset)) + ").");
}

// The name without its namespace prefix.
const char* Local(const char* Name)
{
    const char* colon = std::strchr(Name, ':');
    return colon ? colon + 1 : Name;
}

bool IsLocal(const pugi::xml_node& Node, const char* Name) { return std::strcmp(Local(Node.name()), Name) == 0; }

pugi::xml_node Child(const pugi::xml_node& Node, const char* Name)
{
    for (pugi::xml_node child : Node.children())
        if (IsLocal(child, Name))
            return child;
    return {};
}

// The attribute by local name, preferring the given prefix.
pugi::xml_attribute Attr(const pugi::xml_node& Node, const char* Name, const char* Prefix = nullptr)
{
    pugi::xml_attribute any;
    for (pugi::xml_attribute a : Node.attributes()) {
        if (std::strcmp(Local(a.name()), Name) != 0)
            continue;
        if (!Prefix)
            return a;
        const std::size_t n = std::strlen(Prefix);
        if (std::strncmp(a.name(), Prefix, n) == 0 && a.name()[n] == ':')
            return a;
        if (!any)
            any = a;
    }
    return any;
}

// A non-negative decimal number, at most Max; Def for anything else.
Int64 Count(const char* Text, Int64 Def, Int64 Max)
{
    Int64 value = 0;
    const char* end = Text + std::strlen(Text);
    auto [p, ec] = std::from_chars(Text, end, value);
    if (ec == std::errc::result_out_of_range)
        return Max + 1;
    if (ec != std::errc() || p != end || value < 0)
        return Def;
    return value;
}

bool ParseDouble(const char* Text, double& Value)
{
    while (*Text == ' ')
        ++Text;
    const char* end = Text + std::strlen(Text);
    while (end > Text && end[-1] == ' ')
        --end;
    if (*Text == '+')
        ++Text;
    auto [p, ec] = std::from_chars(Text, end, Value);
    return ec == std::errc() && p == end && std::isfinite(Value);
}

void AppendUtf8(String& Out, unsigned Code)
{
    if (Code < 0x80) {
        Out += char(Code);
    } else if (Code < 0x800) {
        Out += char(0xC0 | (Code >> 6));
        Out += char(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += char(0xE0 | (Code >> 12));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    } else {
        Out += char(0xF0 | (Code >> 18));
        Out += char(0x80 | ((Code >> 12) & 0x3F));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    }
}

// Office Open XML writes characters XML cannot hold as "_xHHHH_".
String DecodeXString(const String& Text)
{
    if (Text.find("_x") == String::npos)
        return Text;
    String out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '_' && i + 6 < Text.size() && Text[i + 1] == 'x' && Text[i + 6] == '_') {
            unsigned code = 0;
            auto [p, ec] = std::from_chars(Text.data() + i + 2, Text.data() + i + 6, code, 16);
            if (ec == std::errc() && p == Text.data() + i + 6 && !(code >= 0xD800 && code <= 0xDFFF)) {
                AppendUtf8(out, code);
                i += 6;
                continue;
            }
        }
        out += Text[i];
    }
    return out;
}

String CutText(String Text)
{
    int chars = 0;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80 && chars++ == TWorkbookFile::MaxCellText) {
            Text.resize(i);
            break;
        }
    return Text;
}

// Stores one cell, within the bounds.
void PutCell(TWorkbookFile::TSheet& Sheet, std::size_t& Cells, Int64 Row, Int64 Column, const String& Text)
{
    if (Text.empty())
        return;
    if (Row < 1 || Row > TWorkbookFile::MaxRows)
        Fail("worksheet \"" + Sheet.Name + "\" has a cell in row " + IntToStr(Row) + ", beyond the last row.");
    if (Column < 1 || Column > TWorkbookFile::MaxColumns)
        Fail("worksheet \"" + Sheet.Name + "\" has a cell in column " + IntToStr(Column) +
             ", beyond the last column.");
    if (++Cells > TWorkbookFile::MaxCells)
        Fail("it has more than " + IntToStr(Int64(TWorkbookFile::MaxCells)) + " cells.");
    Sheet.Put(int(Row), int(Column), CutText(Text));
}

// ---- number formats -------------------------------------------------------------------

enum TNumberKind { nkGeneral, nkFixed, nkDate, nkTime, nkDateTime };

struct TNumberFormat {
    TNumberKind Kind = nkGeneral;
    int Decimals = 0;
    bool Thousands = false;
    bool Percent = false;
    bool Seconds = false;
};

TNumberFormat Classify(int Id, const String& Code)
{
    TNumberFormat f;
    switch (Id) {
    case 1: f.Kind = nkFixed; return f;
    case 2: f.Kind = nkFixed, f.Decimals = 2; return f;
    case 3: f.Kind = nkFixed, f.Thousands = true; return f;
    case 4: f.Kind = nkFixed, f.Decimals = 2, f.Thousands = true; return f;
    case 9: f.Kind = nkFixed, f.Percent = true; return f;
    case 10: f.Kind = nkFixed, f.Decimals = 2, f.Percent = true; return f;
    case 18: case 20: f.Kind = nkTime; return f;
    case 19: case 21: case 45: case 46: case 47: f.Kind = nkTime, f.Seconds = true; return f;
    case 22: f.Kind = nkDateTime; return f;
    default: break;
    }
    if ((Id >= 14 && Id <= 17) || (Id >= 27 && Id <= 36) || (Id >= 50 && Id <= 58)) {
        f.Kind = nkDate;
        return f;
    }
    if (Code.empty())
        return f;
    // The first section without literal text, escapes, colours and locales.
    String plain;
    for (std::size_t i = 0; i < Code.size() && Code[i] != ';'; ++i) {
        const char ch = Code[i];
        if (ch == '"') {
            const std::size_t close = Code.find('"', i + 1);
            i = close == String::npos ? Code.size() : close;
        } else if (ch == '\\' || ch == '_' || ch == '*') {
            ++i;
        } else if (ch == '[') {
            const std::size_t close = Code.find(']', i + 1);
            const String inside = close == String::npos ? String() : LowerCase(Code.substr(i + 1, close - i - 1));
            // Elapsed hours, minutes or seconds stay: they make a time.
            if (!inside.empty() && inside.find_first_not_of(inside[0]) == String::npos &&
                (inside[0] == 'h' || inside[0] == 'm' || inside[0] == 's'))
                plain += inside;
            i = close == String::npos ? Code.size() : close;
        } else {
            plain += char(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    for (const char* marker : {"am/pm", "a/p"}) {
        std::size_t at;
        while ((at = plain.find(marker)) != String::npos)
            plain.erase(at, std::strlen(marker));
    }
    if (plain == "general")
        return f;
    const bool day = plain.find_first_of("dy") != String::npos;
    const bool time = plain.find_first_of("hs") != String::npos;
    const bool month = plain.find('m') != String::npos;
    if (day || time || month) {
        f.Seconds = plain.find('s') != String::npos;
        f.Kind = (day || (month && !time)) ? (time ? nkDateTime : nkDate) : nkTime;
        return f;
    }
    if (plain.find_first_of("0#?") != String::npos) {
        f.Kind = nkFixed;
        f.Percent = plain.find('%') != String::npos;
        const std::size_t point = plain.find('.');
        f.Thousands = plain.find(',') < point;
        if (point != String::npos)
            for (std::size_t i = point + 1; i < plain.size() && (plain[i] == '0' || plain[i] == '#' || plain[i] == '?');
                 ++i)
                ++f.Decimals;
        if (f.Decimals > 15)
            f.Decimals = 15;
    }
    return f;
}

String FixedText(double Value, const TNumberFormat& F)
{
    if (F.Percent)
        Value *= 100;
    if (std::fabs(Value) >= 1e15)
        return FloatToStr(Value, FormatSettings);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", F.Decimals, Value);
    String digits = buffer;
    if (digits == "-0" || digits.find_first_not_of("-0.") == String::npos)
        if (!digits.empty() && digits[0] == '-')
            digits.erase(0, 1);
    const std::size_t point = digits.find('.');
    String whole = digits.substr(0, point);
    const String fraction = point == String::npos ? String() : digits.substr(point + 1);
    if (F.Thousands) {
        const bool negative = !whole.empty() && whole[0] == '-';
        String body = negative ? whole.substr(1) : whole;
        String grouped;
        for (std::size_t i = 0; i < body.size(); ++i) {
            if (i > 0 && (body.size() - i) % 3 == 0)
                grouped += FormatSettings.ThousandSeparator;
            grouped += body[i];
        }
        whole = (negative ? "-" : "") + grouped;
    }
    String text = whole;
    if (!fraction.empty())
        text += FormatSettings.DecimalSeparator + fraction;
    if (F.Percent)
        text += "%";
    return text;
}

String DateTimeText(TDateTime Value, TNumberKind Kind, bool Seconds)
{
    const String time = Seconds ? "tt" : "t";
    switch (Kind) {
    case nkDate: return FormatDateTime("ddddd", Value, FormatSettings);
    case nkTime: return FormatDateTime(time, Value, FormatSettings);
    default: return FormatDateTime(Frac(Value) == 0 ? String("ddddd") : "ddddd " + time, Value, FormatSettings);
    }
}

}  // namespace

String WorkbookNumberText(double Value, int FormatId, const String& FormatCode, bool Date1904)
{
    const TNumberFormat f = Classify(FormatId, FormatCode);
    switch (f.Kind) {
    case nkGeneral: return FloatToStr(Value, FormatSettings);
    case nkFixed: return FixedText(Value, f);
    default: break;
    }
    // Serial days: the 1900 count takes 1900 for a leap year, so its days
    // before March 1900 lie one day off the calendar.
    if (Value < 0 || Value > 2958465.0)
        return FloatToStr(Value, FormatSettings);
    TDateTime date = Value;
    if (Date1904)
        date += 1462;
    else if (Value < 61 && f.Kind != nkTime)
        date += 1;
    return DateTimeText(date, f.Kind, f.Seconds);
}

namespace {

// ---- .xlsx ----------------------------------------------------------------------------

struct TRelations {
    std::map<String, String> ById;
    std::map<String, String> ByType;  // the last segment of the type
};

// Part names relative to the folder of the part that refers to them.
String ResolveTarget(const String& Folder, const String& Target)
{
    String path = Target[0] == '/' ? Target.substr(1) : Folder + Target;
    // Folders up are folded in; nothing climbs out of the archive.
    String out;
    std::size_t start = 0;
    std::vector<String> parts;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == String::npos)
            slash = path.size();
        const String part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    for (const String& part : parts)
        out += (out.empty() ? "" : "/") + part;
    return out;
}

TRelations ReadRelations(TZipReader& Zip, const String& Name, const String& Folder)
{
    TRelations rels;
    String bytes;
    if (!Zip.Read(Name, bytes))
        return rels;
    pugi::xml_document doc;
    ParseXml(doc, bytes, Name);
    for (pugi::xml_node rel : doc.document_element().children()) {
        if (!IsLocal(rel, "Relationship"))
            continue;
        const String target = rel.attribute("Target").value();
        if (target.empty() || String(rel.attribute("TargetMode").value()) == "External")
            continue;
        const String resolved = ResolveTarget(Folder, target);
        rels.ById[rel.attribute("Id").value()] = resolved;
        const String type = rel.attribute("Type").value();
        rels.ByType.emplace(type.substr(type.rfind('/') + 1), resolved);
    }
    return rels;
}

// The text of a string item: its own <t> or the runs' <t>, without the
// phonetic hints.
String ItemText(const pugi::xml_node& Item)
{
    String text;
    for (pugi::xml_node child : Item.children()) {
        if (IsLocal(child, "t"))
            text += child.text().get();
        else if (IsLocal(child, "r"))
            text += Child(child, "t").text().get();
        if (text.size() > std::size_t(TWorkbookFile::MaxCellText) * 4)
            break;
    }
    return DecodeXString(text);
}

struct TXlsxStyles {
    std::vector<int> XfFormat;           // cellXfs index -> numFmtId
    std::map<int, String> CustomFormats;  // numFmtId -> code
};

TXlsxStyles ReadStyles(TZipReader& Zip, const String& Name)
{
    TXlsxStyles styles;
    String bytes;
    if (Name.empty() || !Zip.Read(Name, bytes))
        return styles;
    pugi::xml_document doc;
    ParseXml(doc, bytes, Name);
    const pugi::xml_node root = doc.document_element();
    for (pugi::xml_node fmt : Child(root, "numFmts").children())
        if (IsLocal(fmt, "numFmt") && styles.CustomFormats.size() < 4096)
            styles.CustomFormats[int(Count(fmt.attribute("numFmtId").value(), -1, 100000))] =
                fmt.attribute("formatCode").value();
    for (pugi::xml_node xf : Child(root, "cellXfs").children())
        if (IsLocal(xf, "xf") && styles.XfFormat.size() < 65536)
            styles.XfFormat.push_back(int(Count(xf.attribute("numFmtId").value(), 0, 100000)));
    return styles;
}

// "B12" -> column 2, row 12; false for anything else.
bool ParseCellRef(const char* Ref, Int64& Row, Int64& Column)
{
    Int64 column = 0;
    const char* p = Ref;
    while (std::isalpha(static_cast<unsigned char>(*p))) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(*p)) - 'A' + 1);
        if (column > Int64(TWorkbookFile::MaxColumns) * 26)
            column = Int64(TWorkbookFile::MaxColumns) + 1;
        ++p;
    }
    if (p == Ref || !*p)
        return false;
    const Int64 row = Count(p, -1, TWorkbookFile::MaxRows);
    if (row < 0)
        return false;
    Row = row;
    Column = column;
    return true;
}

void ReadXlsxSheet(TZipReader& Zip, const String& Part, TWorkbookFile::TSheet& Sheet,
    const std::vector<String>& Shared, const TXlsxStyles& Styles, bool Date1904, std::size_t& Cells)
{
    String bytes;
    if (!Zip.Read(Part, bytes))
        Fail("the worksheet \"" + Sheet.Name + "\" is missing.");
    pugi::xml_document doc;
    ParseXml(doc, bytes, Part);
    bytes.clear();
    bytes.shrink_to_fit();
    const pugi::xml_node data = Child(doc.document_element(), "sheetData");
    Int64 rowNumber = 0;
    for (pugi::xml_node row : data.children()) {
        if (!IsLocal(row, "row"))
            continue;
        const pugi::xml_attribute r = row.attribute("r");
        rowNumber = r ? Count(r.value(), -1, TWorkbookFile::MaxRows) : rowNumber + 1;
        if (rowNumber < 1 || rowNumber > TWorkbookFile::MaxRows)
            Fail("worksheet \"" + Sheet.Name + "\" has a row number out of range.");
        Int64 column = 0;
        for (pugi::xml_node cell : row.children()) {
            if (!IsLocal(cell, "c"))
                continue;
            const pugi::xml_attribute ref = cell.attribute("r");
            Int64 cellRow = rowNumber;
            if (ref) {
                if (!ParseCellRef(ref.value(), cellRow, column))
                    Fail("worksheet \"" + Sheet.Name + "\" has a bad cell reference \"" +
                         CutText(ref.value()).substr(0, 40) + "\".");
            } else {
                ++column;
            }
            const String type = cell.attribute("t").value();
            const char* value = Child(cell, "v").text().get();
            String text;
            if (type == "s") {
                const Int64 index = Count(value, -1, Int64(Shared.size()));
                if (*value == 0)
                    continue;
                if (index < 0 || index >= Int64(Shared.size()))
                    Fail("worksheet \"" + Sheet.Name + "\" refers to shared string " + CutText(value).substr(0, 20) +
                         ", which does not exist.");
                text = Shared[std::size_t(index)];
            } else if (type == "inlineStr") {
                text = ItemText(Child(cell, "is"));
            } else if (type == "b") {
                text = *value == 0 ? String() : String(value) == "1" || String(value) == "true" ? "TRUE" : "FALSE";
            } else if (type == "str" || type == "e") {
                text = DecodeXString(value);
            } else if (type == "d") {
                int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
                TDateTime date = 0, time = 0;
                const int got = std::sscanf(value, "%4d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s);
                if (got >= 3 && TryEncodeDate(y, mo, d, date) && (got < 5 || TryEncodeTime(h, mi, s, 0, time)))
                    text = DateTimeText(date + time, got >= 5 && time != 0 ? nkDateTime : nkDate, false);
                else
                    text = value;
            } else {
                double number = 0;
                if (*value == 0)
                    continue;
                if (!ParseDouble(value, number)) {
                    text = value;
                } else {
                    const Int64 xf = Count(cell.attribute("s").value(), 0, 1 << 20);
                    const int id = xf < Int64(Styles.XfFormat.size()) ? Styles.XfFormat[std::size_t(xf)] : 0;
                    auto custom = Styles.CustomFormats.find(id);
                    text = WorkbookNumberText(number, id,
                        custom == Styles.CustomFormats.end() ? String() : custom->second, Date1904);
                }
            }
            PutCell(Sheet, Cells, cellRow, column, text);
        }
    }
}

void ReadXlsx(TZipReader& Zip, TSheetList& Sheets)
{
    String workbookPart = "xl/workbook.xml";
    const TRelations root = ReadRelations(Zip, "_rels/.rels", "");
    if (auto it = root.ByType.find("officeDocument"); it != root.ByType.end())
        workbookPart = it->second;
    const std::size_t slash = workbookPart.rfind('/');
    const String folder = slash == String::npos ? String() : workbookPart.substr(0, slash + 1);
    const String relsName = folder + "_rels/" + workbookPart.substr(slash == String::npos ? 0 : slash + 1) + ".rels";
    const TRelations rels = ReadRelations(Zip, relsName, folder);

    String bytes;
    if (!Zip.Read(workbookPart, bytes))
        Fail("it holds no workbook (.xlsx and .ods are read).");
    pugi::xml_document book;
    ParseXml(book, bytes, workbookPart);
    const pugi::xml_node bookRoot = book.document_element();
    const String date1904 = Child(bookRoot, "workbookPr").attribute("date1904").value();
    const bool is1904 = date1904 == "1" || date1904 == "true";

    std::vector<String> shared;
    auto sharedPart = rels.ByType.find("sharedStrings");
    const String sharedName = sharedPart != rels.ByType.end() ? sharedPart->second : folder + "sharedStrings.xml";
    if (Zip.Read(sharedName, bytes)) {
        pugi::xml_document doc;
        ParseXml(doc, bytes, sharedName);
        std::size_t total = 0;
        for (pugi::xml_node si : doc.document_element().children()) {
            if (!IsLocal(si, "si"))
                continue;
            shared.push_back(CutText(ItemText(si)));
            total += shared.back().size();
            if (shared.size() > TWorkbookFile::MaxCells || total > TWorkbookFile::MaxTotalUnpacked)
                Fail("it has too many shared strings.");
        }
    }
    auto stylesPart = rels.ByType.find("styles");
    const TXlsxStyles styles =
        ReadStyles(Zip, stylesPart != rels.ByType.end() ? stylesPart->second : folder + "styles.xml");

    std::size_t cells = 0;
    int number = 0;
    for (pugi::xml_node sheet : Child(bookRoot, "sheets").children()) {
        if (!IsLocal(sheet, "sheet"))
            continue;
        if (++number > MaxSheets)
            Fail("it has too many worksheets.");
        auto entry = std::make_unique<TWorkbookFile::TSheet>();
        entry->Name = CutText(sheet.attribute("name").value());
        String part;
        if (pugi::xml_attribute id = Attr(sheet, "id", "r")) {
            auto it = rels.ById.find(id.value());
            if (it != rels.ById.end())
                part = it->second;
        }
        if (part.empty())
            part = folder + "worksheets/sheet" + IntToStr(number) + ".xml";
        // A chart sheet or a dialog sheet is there by name, without cells.
        if (Zip.Has(part) && part.find("worksheets/") != String::npos)
            ReadXlsxSheet(Zip, part, *entry, shared, styles, is1904, cells);
        Sheets.push_back(std::move(entry));
    }
}

// ---- .ods -----------------------------------------------------------------------------

void OdsText(const pugi::xml_node& Node, String& Out, int Depth)
{
    if (Depth > MaxTextDepth)
        Fail("a cell's text is nested too deeply.");
    for (pugi::xml_node child : Node.children()) {
        if (Out.size() > std::size_t(TWorkbookFile::MaxCellText) * 4)
            return;
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            Out += child.value();
        } else if (child.type() == pugi::node_element) {
            if (IsLocal(child, "s")) {
                const Int64 n = Count(Attr(child, "c").value(), 1, 1000);
                Out.append(std::size_t(n > 1000 ? 1000 : n < 1 ? 1 : n), ' ');
            } else if (IsLocal(child, "tab")) {
                Out += '\t';
            } else if (IsLocal(child, "line-break")) {
                Out += '\n';
            } else if (!IsLocal(child, "note") && !IsLocal(child, "annotation")) {
                OdsText(child, Out, Depth + 1);
            }
        }
    }
}

String OdsCellText(const pugi::xml_node& Cell)
{
    const String type = Attr(Cell, "value-type", "office").value();
    if (type == "date") {
        const char* value = Attr(Cell, "date-value", "office").value();
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
        TDateTime date = 0, time = 0;
        const int got = std::sscanf(value, "%5d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s);
        if (got >= 3 && TryEncodeDate(y, mo, d, date) && (got < 5 || TryEncodeTime(h, mi, s, 0, time)))
            return DateTimeText(date + time, time != 0 ? nkDateTime : nkDate, false);
    } else if (type == "time") {
        const char* value = Attr(Cell, "time-value", "office").value();
        int h = 0, mi = 0, s = 0;
        TDateTime time = 0;
        if (std::sscanf(value, "PT%dH%dM%dS", &h, &mi, &s) >= 2 && h >= 0 && TryEncodeTime(h % 24, mi, s, 0, time))
            return DateTimeText(time, nkTime, s != 0);
    } else if (type == "boolean") {
        const String value = Attr(Cell, "boolean-value", "office").value();
        return value == "true" || value == "1" ? "TRUE" : "FALSE";
    }
    String text;
    bool first = true;
    for (pugi::xml_node p : Cell.children()) {
        if (!IsLocal(p, "p"))
            continue;
        if (!first)
            text += '\n';
        first = false;
        OdsText(p, text, 0);
    }
    if (text.empty() && (type == "float" || type == "percentage" || type == "currency")) {
        double number = 0;
        if (ParseDouble(Attr(Cell, "value", "office").value(), number))
            return FloatToStr(number, FormatSettings);
    }
    return text;
}

void ReadOdsRows(const pugi::xml_node& Parent, TWorkbookFile::TSheet& Sheet, Int64& Row, std::size_t& Cells, int Depth)
{
    if (Depth > 8)
        Fail("worksheet \"" + Sheet.Name + "\" nests its rows too deeply.");
    for (pugi::xml_node node : Parent.children()) {
        if (Row > TWorkbookFile::MaxRows)
            return;
        if (IsLocal(node, "table-row-group") || IsLocal(node, "table-header-rows") || IsLocal(node, "table-rows")) {
            ReadOdsRows(node, Sheet, Row, Cells, Depth + 1);
            continue;
        }
        if (!IsLocal(node, "table-row"))
            continue;
        const Int64 rowRepeat = std::max<Int64>(1, Count(Attr(node, "number-rows-repeated").value(), 1, Int64(1) << 40));
        // The row's cells once, with their columns.
        std::vector<std::pair<Int64, String>> cells;
        Int64 column = 1;
        for (pugi::xml_node cell : node.children()) {
            if (!IsLocal(cell, "table-cell") && !IsLocal(cell, "covered-table-cell"))
                continue;
            const Int64 repeat =
                std::max<Int64>(1, Count(Attr(cell, "number-columns-repeated").value(), 1, Int64(1) << 40));
            const String text = OdsCellText(cell);
            if (!text.empty()) {
                if (column + repeat - 1 > TWorkbookFile::MaxColumns)
                    Fail("worksheet \"" + Sheet.Name + "\" has a cell beyond the last column.");
                if (Int64(cells.size()) + repeat > Int64(TWorkbookFile::MaxCells))
                    Fail("it has more than " + IntToStr(Int64(TWorkbookFile::MaxCells)) + " cells.");
                for (Int64 k = 0; k < repeat; ++k)
                    cells.emplace_back(column + k, text);
            }
            column += repeat;
            if (column > Int64(1) << 40)
                column = Int64(1) << 40;
        }
        if (!cells.empty()) {
            if (Row + rowRepeat - 1 > TWorkbookFile::MaxRows)
                Fail("worksheet \"" + Sheet.Name + "\" has a cell beyond the last row.");
            if (Cells + std::size_t(rowRepeat) * cells.size() > TWorkbookFile::MaxCells)
                Fail("it has more than " + IntToStr(Int64(TWorkbookFile::MaxCells)) + " cells.");
            for (Int64 k = 0; k < rowRepeat; ++k)
                for (const auto& [c, text] : cells)
                    PutCell(Sheet, Cells, Row + k, c, text);
        }
        Row += rowRepeat;
    }
}

void ReadOds(TZipReader& Zip, TSheetList& Sheets)
{
    String bytes;
    if (!Zip.Read("content.xml", bytes))
        Fail("it holds no spreadsheet content (.xlsx and .ods are read).");
    pugi::xml_document doc;
    ParseXml(doc, bytes, "content.xml");
    bytes.clear();
    const pugi::xml_node spreadsheet = Child(Child(doc.document_element(), "body"), "spreadsheet");
    if (!spreadsheet)
        Fail("it is an OpenDocument file but no spreadsheet.");
    std::size_t cells = 0;
    int number = 0;
    for (pugi::xml_node table : spreadsheet.children()) {
        if (!IsLocal(table, "table"))
            continue;
        if (++number > MaxSheets)
            Fail("it has too many worksheets.");
        auto entry = std::make_unique<TWorkbookFile::TSheet>();
        entry->Name = CutText(Attr(table, "name", "table").value());
        Int64 row = 1;
        ReadOdsRows(table, *entry, row, cells, 0);
        Sheets.push_back(std::move(entry));
    }
}

}  // namespace

void ReadWorkbook(const void* Data, std::size_t Size, TSheetList& Sheets)
{
    Sheets.clear();
    if (!Data || Size < 4)
        Fail("the file is empty or too short.");
    const auto* bytes = static_cast<const unsigned char*>(Data);
    if (bytes[0] == 0xD0 && bytes[1] == 0xCF && bytes[2] == 0x11 && bytes[3] == 0xE0)
        Fail("it is in the older binary format; save it as .xlsx or .ods first.");
    if (Size > TWorkbookFile::MaxFileSize)
        Fail("the file is too large.");
    TZipReader zip(Data, Size);
    if (zip.Has("content.xml") && !zip.Has("xl/workbook.xml"))
        ReadOds(zip, Sheets);
    else
        ReadXlsx(zip, Sheets);
}
