// Content export of the string tree: its rows as delimited text, Unicode
// text, HTML and rich text, and the clipboard's forms of them.
//
// The texts come from the owner (OnGetText) and may hold anything: the text
// forms quote what would break a row, the markup forms escape what would
// break the markup.
#include <cstdio>
#include <map>

#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/Colors.h"
#include "platform/FormatSettings.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

const char* const CRLF = "\r\n";

String Repeated(const String& Piece, Cardinal Count)
{
    String s;
    s.reserve(Piece.size() * Count);
    for (Cardinal i = 0; i < Count; ++i)
        s += Piece;
    return s;
}

bool HasLineBreak(const String& Text) { return Text.find_first_of("\r\n") != String::npos; }

// Text in double quotes with every inner double quote doubled.
void AppendQuoted(std::string& Out, const String& Text)
{
    Out += '"';
    for (char c : Text) {
        if (c == '"')
            Out += '"';
        Out += c;
    }
    Out += '"';
}

void AppendHtmlText(std::string& Out, const String& Text)
{
    for (char c : Text) {
        switch (c) {
        case '&': Out += "&amp;"; break;
        case '<': Out += "&lt;"; break;
        case '>': Out += "&gt;"; break;
        case '"': Out += "&quot;"; break;
        default: Out += c;
        }
    }
}

String HtmlColor(TColor Color)
{
    const auto rgb = static_cast<std::uint32_t>(ColorToRGB(Color));
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    return buffer;
}

TAlignment Mirrored(TAlignment A)
{
    if (A == taLeftJustify)
        return taRightJustify;
    if (A == taRightJustify)
        return taLeftJustify;
    return A;
}

const char* HtmlAlign(TAlignment A)
{
    switch (A) {
    case taRightJustify: return " align=right";
    case taCenter: return " align=center";
    default: return " align=left";
    }
}

// The font's style and size as CSS takes them: " bold 8pt 'Tahoma';" with
// Quote around the name.
String CssFont(const TFont* Font, char Quote)
{
    String s;
    const TFontStyles style = Font->Style();
    if (style.Contains(fsUnderline))
        s += " underline";
    if (style.Contains(fsItalic))
        s += " italic";
    if (style.Contains(fsBold))
        s += " bold";
    const int size = Font->Size();
    s += " " + std::to_string(size < 0 ? Font->Height() : size) + (size < 0 ? "px " : "pt ");
    s += Quote;
    AppendHtmlText(s, Font->Name());
    s += Quote;
    s += ';';
    return s;
}

// Bytes to reserve for Rows rows of Columns cells of about PerCell bytes.
std::size_t ExportReserve(std::size_t Rows, std::size_t Columns, std::size_t PerCell)
{
    return 1024 + (Rows + 1) * std::max<std::size_t>(Columns, 1) * PerCell;
}

bool SameFont(const TFont* A, const TFont* B)
{
    return A->Name() == B->Name() && A->Height() == B->Height() && A->Style() == B->Style() &&
        A->Color() == B->Color();
}

// Rich text: "\", "{" and "}" escaped, line breaks and tabs as control
// words, every character above 127 as its UTF-16 units (signed) with "?"
// for readers that cannot show it.
void AppendRtfText(std::string& Out, const String& Text)
{
    const std::u16string units = Utf8ToUtf16(Text);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        switch (u) {
        case u'\\': Out += "\\\\"; break;
        case u'{': Out += "\\{"; break;
        case u'}': Out += "\\}"; break;
        case u'\t': Out += "\\tab "; break;
        case u'\r':
            if (i + 1 < units.size() && units[i + 1] == u'\n')
                ++i;
            Out += "\\line ";
            break;
        case u'\n': Out += "\\line "; break;
        default:
            if (u < 128) {
                Out += char(u);
            } else {
                Out += "\\u" + std::to_string(int(std::int16_t(u))) + "\\'3f";
            }
        }
    }
}

// Font and colour tables of a rich text, filled while the rows are written.
struct TRtfTables {
    std::vector<String> Fonts;
    std::vector<TColor> Colors;

    int FontIndex(const String& Name)
    {
        for (std::size_t i = 0; i < Fonts.size(); ++i)
            if (Fonts[i] == Name)
                return int(i);
        Fonts.push_back(Name);
        return int(Fonts.size()) - 1;
    }
    int ColorIndex(TColor Color)
    {
        const TColor rgb = ColorToRGB(Color);
        for (std::size_t i = 0; i < Colors.size(); ++i)
            if (Colors[i] == rgb)
                return int(i) + 1;  // 0 is the reader's default colour
        Colors.push_back(rgb);
        return int(Colors.size());
    }
    // The switches that select Font; rows mostly share one font, so the
    // last answer is kept.
    const std::string& Switches(const TFont* Font)
    {
        if (!LastSwitches.empty() && Font->Name() == LastName && Font->Height() == LastHeight &&
            Font->Style() == LastStyle && Font->Color() == LastColor)
            return LastSwitches;
        LastName = Font->Name();
        LastHeight = Font->Height();
        LastStyle = Font->Style();
        LastColor = Font->Color();
        LastSwitches = MakeSwitches(Font);
        return LastSwitches;
    }

private:
    String LastName;
    int LastHeight = 0;
    TFontStyles LastStyle;
    TColor LastColor = clNone;
    std::string LastSwitches;

    std::string MakeSwitches(const TFont* Font)
    {
        const int size = Font->Size();
        const int points = size < 0 ? MulDiv(Font->Height(), 72, 96) : size;
        const TFontStyles style = Font->Style();
        return "\\f" + std::to_string(FontIndex(Font->Name())) + "\\cf" + std::to_string(ColorIndex(Font->Color())) +
            "\\fs" + std::to_string(points * 2) + (style.Contains(fsBold) ? "\\b" : "\\b0") +
            (style.Contains(fsItalic) ? "\\i" : "\\i0") + (style.Contains(fsUnderline) ? "\\ul" : "\\ul0");
    }
};

const char* RtfAlign(TAlignment A)
{
    switch (A) {
    case taRightJustify: return "\\qr";
    case taCenter: return "\\qc";
    default: return "";
    }
}

}  // namespace

// ---- sources --------------------------------------------------------------------

void TCustomStringTreeGrid::GetRenderStartValues(TVSTTextSourceType Source, TGridNode*& Node,
    TTGGetNextNode& GetNextNode)
{
    switch (Source) {
    case tstInitialized:
        Node = GetFirstInitialized();
        GetNextNode = [this](TGridNode* N) { return GetNextInitialized(N); };
        break;
    case tstSelected:
        Node = GetFirstSelected();
        GetNextNode = [this](TGridNode* N) { return GetNextSelected(N); };
        break;
    case tstCutCopySet:
        Node = GetFirstCutCopy();
        GetNextNode = [this](TGridNode* N) { return GetNextCutCopy(N); };
        break;
    case tstVisible:
        Node = GetFirstVisible(nullptr, true);
        GetNextNode = [this](TGridNode* N) { return GetNextVisible(N, true); };
        break;
    default:
        Node = GetFirst();
        GetNextNode = [this](TGridNode* N) { return GetNext(N); };
    }
}

TNodeArray TCustomStringTreeGrid::SourceNodes(TVSTTextSourceType Source, bool ExportableOnly, Cardinal& MaxLevel)
{
    TNodeArray nodes;
    MaxLevel = 0;
    TGridNode* run = nullptr;
    TTGGetNextNode next;
    GetRenderStartValues(Source, run, next);
    for (; run; run = next(run))
        if (!ExportableOnly || CanExportNode(run)) {
            nodes.push_back(run);
            MaxLevel = std::max(MaxLevel, GetNodeLevel(run));
        }
    return nodes;
}

bool TCustomStringTreeGrid::CanExportNode(TGridNode* Node) const
{
    switch (FOptions->ExportMode()) {
    case emChecked: return Node->CheckState == csCheckedNormal;
    case emUnchecked: return Node->CheckState == csUncheckedNormal;
    default: return true;
    }
}

// ---- delimited text -------------------------------------------------------------

std::string TCustomStringTreeGrid::DelimitedText(TVSTTextSourceType Source, const String& Separator,
    bool ApplyExportMode, bool QuoteQuotes)
{
    auto append = [&](std::string& out, const String& text) {
        if ((!Separator.empty() && text.find(Separator) != String::npos) ||
            (QuoteQuotes && text.find('"') != String::npos) || HasLineBreak(text))
            AppendQuoted(out, text);
        else
            out += text;
    };
    Cardinal maxLevel = 0;
    const TNodeArray nodes = SourceNodes(Source, false, maxLevel);
    const std::vector<TColumnIndex> columns =
        FHeader->UseColumns() ? FHeader->Columns()->GetVisibleColumns() : std::vector<TColumnIndex>();
    const TColumnIndex mainColumn = FHeader->MainColumn();
    std::string out;
    // Room for the usual row at once: growing a large text step by step
    // copies it again and again.
    out.reserve(ExportReserve(nodes.size(), columns.size(), 24));
    if (!columns.empty()) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            append(out, FHeader->Columns()->Items(columns[i])->Text());
            if (columns[i] == mainColumn)
                out += Repeated(Separator, maxLevel);
            if (i + 1 < columns.size())
                out += Separator;
        }
        out += CRLF;
    }
    for (TGridNode* node : nodes) {
        if (ApplyExportMode && !CanExportNode(node))
            continue;
        const Cardinal level = GetNodeLevel(node);
        if (columns.empty()) {
            out += Repeated(Separator, level);
            append(out, Text(node, NoColumn));
        } else {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (columns[i] == mainColumn)
                    out += Repeated(Separator, level);
                append(out, Text(node, columns[i]));
                if (columns[i] == mainColumn)
                    out += Repeated(Separator, maxLevel - level);
                if (i + 1 < columns.size())
                    out += Separator;
            }
        }
        out += CRLF;
    }
    return out;
}

// A text holding the separator, a double quote or a line break is quoted.
std::string TCustomStringTreeGrid::ContentToText(TVSTTextSourceType Source, const String& Separator)
{
    return DelimitedText(Source, Separator, true, true);
}

// Every node of the source whatever the export mode; quoted are only texts
// holding the separator or a line break.
std::u16string TCustomStringTreeGrid::ContentToUnicode(TVSTTextSourceType Source, const String& Separator)
{
    return Utf8ToUtf16(DelimitedText(Source, Separator, false, false));
}

// ---- HTML ---------------------------------------------------------------------------

std::string TCustomStringTreeGrid::ContentToHTML(TVSTTextSourceType Source, const String& Caption)
{
    const String padding =
        "padding-left:" + std::to_string(FMargin) + "px;padding-right:" + std::to_string(FMargin) + "px;";
    const String indent = std::to_string(FIndent);
    const String lineStyle = FLineStyle == lsSolid ? "solid;" : "dotted;";
    const TTGPaintOptions paint = FOptions->PaintOptions();
    // Named styles for the tree's and the header's fonts; the inline form
    // for a cell whose font the owner changed.
    auto namedStyle = [](const String& name, const TFont* font) {
        return "." + name + "{font:" + CssFont(font, '"') + "color:" + HtmlColor(font->Color()) + ";}";
    };
    auto inlineStyle = [](const TFont* font) {
        return " style=\"font:" + CssFont(font, '\'') + "color:" + HtmlColor(font->Color()) + ";\"";
    };

    std::string out = "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
    out += "<style type=\"text/css\">";
    out += CRLF;
    out += namedStyle("default", Font());
    out += CRLF;
    out += namedStyle("header", FHeader->Font());
    out += CRLF;
    if (paint.Contains(toShowHorzGridLines))
        out += ".noborder{border-style:" + lineStyle + " border-bottom:1;border-left:0;border-right:0; border-top:0;" +
            padding + "}";
    else
        out += ".noborder{border-style:none;" + padding + "}";
    out += CRLF;
    out += ".normalborder {border-top:none; border-left:none; vertical-align:top;";
    out += paint.Contains(toShowVertGridLines) ? "border-right:1 " + lineStyle : String("border-right:none;");
    out += paint.Contains(toShowHorzGridLines) ? "border-bottom:1 " + lineStyle : String("border-bottom:none;");
    out += padding + "}";
    out += "</style>";
    out += CRLF;

    out += "<table class=\"default\" bgcolor=" + HtmlColor(Color()) + " ";
    if (!Caption.empty()) {
        out += " caption=\"";
        AppendHtmlText(out, Caption);
        out += "\"";
    }
    if (BorderStyle() != bsNone)
        out += " border=\"1\" frame=box";
    out += " cellspacing=\"0\" cellpadding=" + std::to_string(FMargin) + ">";
    out += CRLF;

    Cardinal maxLevel = 0;
    const TNodeArray nodes = SourceNodes(Source, true, maxLevel);
    out.reserve(out.size() + ExportReserve(nodes.size(), FHeader->Columns()->Count(), 120));

    TTreeGridColumns* columnList = FHeader->Columns();
    const std::vector<TColumnIndex> columns =
        FHeader->UseColumns() ? columnList->GetVisibleColumns() : std::vector<TColumnIndex>();
    const TColumnIndex mainColumn = FHeader->MainColumn();
    auto directionAndAlign = [](std::string& out, bool rightToLeft, TAlignment alignment) {
        if (rightToLeft) {
            out += " dir=\"rtl\"";
            alignment = Mirrored(alignment);
        }
        out += HtmlAlign(alignment);
    };

    if (!columns.empty()) {
        if (OnBeforeHeaderExport)
            OnBeforeHeaderExport(this);
        out += "<tr class=\"header\" style=\"" + padding + "\">";
        out += CRLF;
        for (TColumnIndex c : columns) {
            TTreeGridColumn* column = columnList->Items(c);
            if (OnBeforeColumnExport)
                OnBeforeColumnExport(this, c);
            out += "<th height=\"" + std::to_string(FHeader->Height()) + "px\"";
            directionAndAlign(out, column->UseRightToLeftReading(), column->CaptionAlignment());
            if (c == mainColumn && maxLevel > 0)
                out += " colspan=\"" + std::to_string(maxLevel + 1) + "\"";
            out += " bgcolor=" + HtmlColor(clBtnFace) + " width=\"" + std::to_string(column->Width()) + "px\">";
            AppendHtmlText(out, column->Text());
            out += "</th>";
            if (OnAfterColumnExport)
                OnAfterColumnExport(this, c);
        }
        out += "</tr>";
        out += CRLF;
        if (OnAfterHeaderExport)
            OnAfterHeaderExport(this);
    }

    TBitmap scratch(1, 1);
    TCanvas* canvas = scratch.Canvas();
    const std::vector<TColumnIndex> cells = columns.empty() ? std::vector<TColumnIndex>{NoColumn} : columns;
    for (TGridNode* node : nodes) {
        bool allowed = true;
        if (OnBeforeNodeExport)
            OnBeforeNodeExport(this, node, allowed);
        if (!allowed)
            continue;
        const String height = std::to_string(NodeHeight(node)) + "px";
        const Cardinal level = GetNodeLevel(node);
        out += " <tr class=\"default\">";
        out += CRLF;
        for (TColumnIndex c : cells) {
            TTreeGridColumn* column = c >= 0 ? columnList->Items(c) : nullptr;
            const bool parentColor = !column || column->Options().Contains(coParentColor);
            if (!SameFont(canvas->Font(), Font()))
                canvas->SetFont(Font());
            DoPaintText(node, canvas, c, ttNormal);
            if (c == mainColumn || !column) {
                for (Cardinal i = 0; i < level; ++i) {
                    if (parentColor)
                        out += i == 0 ? " <td height=\"" + height + "\">&nbsp;</td>" : String(" <td>&nbsp;</td>");
                    else
                        out += "<td class=\"noborder\" width=\"" + indent + "\" height=\"" + height + "\" bgcolor=" +
                            HtmlColor(column->Color()) + ">&nbsp;</td>";
                }
            }
            out += " <td class=\"normalborder\" ";
            if (!SameFont(canvas->Font(), Font()))
                out += inlineStyle(canvas->Font());
            out += " height=\"" + height + "\"";
            if (column)
                directionAndAlign(out, column->UseRightToLeftReading(), column->Alignment());
            else
                directionAndAlign(out, BiDiMode() != bdLeftToRight, Alignment());
            if ((c == mainColumn || !column) && maxLevel > 0 && level < maxLevel)
                out += " colspan=\"" + std::to_string(maxLevel - level + 1) + "\"";
            if (column && !parentColor)
                out += " bgcolor=" + HtmlColor(column->Color());
            out += ">";
            AppendHtmlText(out, Text(node, c));
            out += "</td>";
        }
        if (OnAfterNodeExport)
            OnAfterNodeExport(this, node);
        out += " </tr>";
        out += CRLF;
    }
    out += "</table>";
    return out;
}

std::string MakeFragment(const std::string& Html)
{
    static const std::string docType = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static const std::string start = "<html><head><META http-equiv=Content-Type content=\"text/html; "
                                     "charset=utf-8\"></head><body><!--StartFragment-->";
    static const std::string end = "<!--EndFragment--></body></html>";
    auto header = [](std::size_t startHtml, std::size_t endHtml, std::size_t startFragment, std::size_t endFragment) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer,
            "Version:1.0\r\nStartHTML:%.8zu\r\nEndHTML:%.8zu\r\nStartFragment:%.8zu\r\nEndFragment:%.8zu\r\n",
            startHtml, endHtml, startFragment, endFragment);
        return std::string(buffer);
    };
    const std::size_t headerSize = header(0, 0, 0, 0).size();
    const std::size_t startFragment = headerSize + docType.size() + start.size();
    const std::size_t endFragment = startFragment + Html.size();
    return header(headerSize, endFragment + end.size(), startFragment, endFragment) + docType + start + Html + end;
}

// ---- rich text -------------------------------------------------------------------

std::string TCustomStringTreeGrid::ContentToRTF(TVSTTextSourceType Source)
{
    TRtfTables tables;
    tables.FontIndex(Font()->Name());
    TTreeGridColumns* columnList = FHeader->Columns();
    const std::vector<TColumnIndex> columns =
        FHeader->UseColumns() ? columnList->GetVisibleColumns() : std::vector<TColumnIndex>();
    const TColumnIndex mainColumn = FHeader->MainColumn();

    // The cells' right edges in twips, 15 to the pixel.
    std::string rowStart = "\\uc1\\trowd\\trgaph70";
    if (columns.empty()) {
        rowStart += "\\cellx" + std::to_string(std::max(TreeClientWidth(), 1) * 15);
    } else {
        int right = 0;
        for (TColumnIndex c : columns) {
            right += columnList->Items(c)->Width();
            rowStart += "\\cellx" + std::to_string(right * 15);
        }
    }
    auto cell = [&](std::string& out, TAlignment alignment, const TFont* font, int indentTwips, const String& text) {
        out += "\\pard\\intbl";
        out += RtfAlign(alignment);
        if (indentTwips > 0)
            out += "\\li" + std::to_string(indentTwips);
        out += tables.Switches(font);
        out += ' ';
        AppendRtfText(out, text);
        out += "\\cell";
    };

    Cardinal maxLevel = 0;
    const TNodeArray nodes = SourceNodes(Source, true, maxLevel);
    const std::vector<TColumnIndex> cells = columns.empty() ? std::vector<TColumnIndex>{NoColumn} : columns;
    std::string body;
    body.reserve(ExportReserve(nodes.size(), cells.size(), 96) + 4096);
    if (!columns.empty()) {
        body += rowStart;
        for (TColumnIndex c : columns) {
            TTreeGridColumn* column = columnList->Items(c);
            cell(body, column->CaptionAlignment(), FHeader->Font(), 0, column->Text());
        }
        body += "\\row";
        body += CRLF;
    }
    TBitmap scratch(1, 1);
    TCanvas* canvas = scratch.Canvas();
    for (TGridNode* run : nodes) {
        const int indent = int(GetNodeLevel(run) * FIndent * 15);
        body += rowStart;
        for (TColumnIndex c : cells) {
            if (!SameFont(canvas->Font(), Font()))
                canvas->SetFont(Font());
            DoPaintText(run, canvas, c, ttNormal);
            const TAlignment alignment = c >= 0 ? columnList->Items(c)->Alignment() : Alignment();
            cell(body, alignment, canvas->Font(), c == mainColumn || c < 0 ? indent : 0, Text(run, c));
        }
        body += "\\row";
        body += CRLF;
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (std::size_t i = 0; i < tables.Fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + " ";
        AppendRtfText(out, tables.Fonts[i]);
        out += ";}";
    }
    out += "}{\\colortbl;";
    for (TColor color : tables.Colors) {
        const auto rgb = static_cast<std::uint32_t>(color);
        out += "\\red" + std::to_string(rgb & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) + "\\blue" +
            std::to_string((rgb >> 16) & 0xFF) + ";";
    }
    out += "}";
    out += CRLF;
    // The tables go in front of the rows in the room kept for them, so that
    // the rows are not copied into new memory.
    body.insert(0, out);
    body += "}";
    return body;
}

// ---- the clipboard's forms ---------------------------------------------------------

std::string TCustomStringTreeGrid::ContentToClipboard(TClipFormat Format, TVSTTextSourceType Source)
{
    const String name = GetClipboardFormatName(Format);
    std::string data;
    if (Format == CF_TEXT) {
        // The 8-bit text holds UTF-8 behind a byte-order mark where the code
        // page cannot hold every character.
        data = EncodeText(ContentToText(Source, "\t"));
    } else if (Format == CF_UNICODETEXT) {
        const std::u16string text = ContentToUnicode(Source, "\t");
        data.reserve(text.size() * 2);
        for (char16_t u : text) {
            data += char(u & 0xFF);
            data += char(u >> 8);
        }
    } else if (AnsiSameText(name, "CSV")) {
        data = EncodeText(ContentToText(Source, FormatSettings.ListSeparator));
    } else if (AnsiSameText(name, "Rich Text Format") || AnsiSameText(name, "Rich Text Format Without Objects")) {
        data = ContentToRTF(Source);
    } else if (AnsiSameText(name, "HTML Format")) {
        data = MakeFragment(ContentToHTML(Source));
    }
    return data;
}

HRESULT TCustomStringTreeGrid::RenderOLEData(const TFormatEtc& FormatEtcIn, TStream& Medium, bool ForClipboard)
{
    if (TBaseTreeGrid::RenderOLEData(FormatEtcIn, Medium, ForClipboard) == S_OK)
        return S_OK;
    const std::string data = ContentToClipboard(FormatEtcIn.cfFormat, ForClipboard ? tstCutCopySet : tstSelected);
    if (data.empty())
        return E_FAIL;
    Medium.WriteBytes(data);
    return S_OK;
}
