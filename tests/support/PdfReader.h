#pragma once
// A small reader of the PDF files the printer writes, for tests: the page
// objects with their media boxes, whether fonts are embedded, and each
// page's text as a reader would extract it (through the fonts' ToUnicode
// maps), in drawing order.
#include <string>
#include <vector>

struct TPdfPage {
    double MediaBox[4] = {0, 0, 0, 0};
    bool Rotated = false;  // the page carries a /Rotate entry
    std::string Text;      // every text shown on the page, each piece followed by "\n"
};

struct TPdfDocument {
    bool Valid = false;
    std::vector<TPdfPage> Pages;
    int EmbeddedFonts = 0;  // font files (FontFile, FontFile2, FontFile3)
};

TPdfDocument ReadPdf(const std::string& FileName);
