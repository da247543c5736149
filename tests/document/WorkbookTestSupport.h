#pragma once
// Hand-made workbook files: zip archives built from XML strings, and a
// small .xlsx / .ods writer of the parts a test names.
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using TZipParts = std::vector<std::pair<std::string, std::string>>;

// The bytes of a zip archive holding the parts (deflated).
inline std::string MakeZip(const TZipParts& Parts)
{
    char name[] = "/tmp/vek-zip-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0)
        close(fd);
    int error = 0;
    zip_t* zip = zip_open(name, ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return {};
    // The parts' bytes are read at zip_close: Parts outlives it.
    for (const auto& [part, bytes] : Parts) {
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        if (source && zip_file_add(zip, part.c_str(), source, ZIP_FL_OVERWRITE) < 0)
            zip_source_free(source);
    }
    zip_close(zip);
    std::ifstream in(name, std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    std::remove(name);
    return out.str();
}

inline void WriteFile(const std::string& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary) << Bytes;
}

// An .xlsx of named sheets, each given as its <sheetData> content, with
// optional shared strings (the <si> items) and styles (the whole part).
struct TXlsxSheet {
    std::string Name;
    std::string SheetData;
};

inline std::string MakeXlsx(const std::vector<TXlsxSheet>& Sheets, const std::string& SharedItems = {},
    const std::string& Styles = {})
{
    TZipParts parts;
    std::string sheets, rels;
    for (std::size_t i = 0; i < Sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        sheets += "<sheet name=\"" + Sheets[i].Name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts.push_back({"xl/worksheets/sheet" + n + ".xml",
            "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<sheetData>" + Sheets[i].SheetData + "</sheetData></worksheet>"});
    }
    rels += "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    parts.push_back({"_rels/.rels",
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    parts.push_back({"xl/workbook.xml",
        "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" + sheets +
            "</sheets></workbook>"});
    parts.push_back({"xl/_rels/workbook.xml.rels",
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
            rels + "</Relationships>"});
    if (!SharedItems.empty())
        parts.push_back({"xl/sharedStrings.xml",
            "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                SharedItems + "</sst>"});
    if (!Styles.empty())
        parts.push_back({"xl/styles.xml", Styles});
    return MakeZip(parts);
}

// An .ods of named tables, each given as its rows' XML.
inline std::string MakeOds(const std::vector<TXlsxSheet>& Tables)
{
    std::string body;
    for (const auto& t : Tables)
        body += "<table:table table:name=\"" + t.Name + "\">" + t.SheetData + "</table:table>";
    return MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"content.xml",
            "<?xml version=\"1.0\"?><office:document-content "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>" +
                body + "</office:spreadsheet></office:body></office:document-content>"}});
}

// A string cell of an .ods row.
inline std::string OdsText(const std::string& Text)
{
    return "<table:table-cell office:value-type=\"string\"><text:p>" + Text + "</text:p></table:table-cell>";
}
