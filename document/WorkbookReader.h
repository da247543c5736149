#pragma once
// Reading workbook files (.xlsx and .ods) into worksheets of texts. Every
// cell arrives as the text a user sees in a spreadsheet: dates and times in
// the program's format settings, numbers in their cell format.
#include <cstddef>
#include <memory>
#include <vector>

#include "document/Workbook.h"

// Fills Sheets from the bytes of a workbook file; EWorkbookError with a
// clear message for anything that is not a readable workbook or exceeds the
// bounds of TWorkbookFile.
void ReadWorkbook(const void* Data, std::size_t Size, std::vector<std::unique_ptr<TWorkbookFile::TSheet>>& Sheets);

// The text of a number as a spreadsheet cell with that number format shows
// it (built-in format number and, for custom ones, the format code).
// Date1904: the workbook counts days from 1904.
String WorkbookNumberText(double Value, int FormatId, const String& FormatCode, bool Date1904);
