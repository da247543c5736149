// Arbitrary bytes as a workbook: reading either succeeds within the bounds
// or raises EWorkbookError, and whatever was read can be walked. The first
// byte chooses what the rest is: 0 a whole file; 1 the worksheet part of an
// .xlsx; 2 its shared strings; 3 the content part of an .ods. The parts are
// packed into a valid archive here, so the XML readers are reached directly.
#include "document/Workbook.h"

#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Pack(const std::vector<std::pair<std::string, std::string>>& Parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!target)
        return {};
    zip_source_keep(target);
    zip_t* zip = zip_open_from_source(target, ZIP_TRUNCATE, nullptr);
    if (!zip) {
        zip_source_free(target);
        zip_source_free(target);
        return {};
    }
    // The parts' bytes are read at zip_close: Parts outlives it.
    for (const auto& [name, bytes] : Parts) {
        zip_source_t* part = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        if (part && zip_file_add(zip, name.c_str(), part, ZIP_FL_OVERWRITE) < 0)
            zip_source_free(part);
    }
    std::string out;
    if (zip_close(zip) == 0 && zip_source_open(target) == 0) {
        char buffer[65536];
        zip_int64_t got;
        while ((got = zip_source_read(target, buffer, sizeof buffer)) > 0)
            out.append(buffer, std::size_t(got));
        zip_source_close(target);
    } else {
        zip_discard(zip);
    }
    zip_source_free(target);
    return out;
}

const char* const Workbook =
    "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>";
const char* const Relations =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "</Relationships>";
const char* const Styles = "<styleSheet><cellXfs><xf numFmtId=\"14\"/><xf numFmtId=\"4\"/></cellXfs></styleSheet>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string file;
    switch (data[0] % 4) {
    case 0: file = rest; break;
    case 1:
        file = Pack({{"xl/workbook.xml", Workbook}, {"xl/_rels/workbook.xml.rels", Relations},
            {"xl/styles.xml", Styles}, {"xl/worksheets/sheet1.xml", rest}});
        break;
    case 2:
        file = Pack({{"xl/workbook.xml", Workbook}, {"xl/_rels/workbook.xml.rels", Relations},
            {"xl/sharedStrings.xml", rest},
            {"xl/worksheets/sheet1.xml",
                "<worksheet><sheetData><row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>3</v></c></row></sheetData>"
                "</worksheet>"}});
        break;
    default: file = Pack({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", rest}});
    }
    TWorkbookFile book;
    try {
        book.OpenFromMemory(file.data(), file.size());
    } catch (const EWorkbookError&) {
        return 0;
    }
    if (book.WorksheetCount() < 1)
        std::abort();
    for (int s = 1; s <= book.WorksheetCount() && s <= 4; ++s) {
        book.Activate(s);
        const TWorkbookCell last = book.LastUsedCell();
        if (last.Row < 1 || last.Row > TWorkbookFile::MaxRows || last.Column < 1 ||
            last.Column > TWorkbookFile::MaxColumns)
            std::abort();
        for (int r = 1; r <= last.Row && r <= 16; ++r)
            for (int c = 1; c <= last.Column && c <= 16; ++c)
                if (book.Cell(r, c).size() > std::size_t(TWorkbookFile::MaxCellText) * 4)
                    std::abort();
        book.Worksheet(book.Name(s));
    }
    return 0;
}
