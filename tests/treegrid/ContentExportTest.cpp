// Content export of the string tree, pinned byte by byte: delimited and
// Unicode text, CSV, HTML with the clipboard's header, and rich text.
#include "TreeGridTestSupport.h"

#include <map>

#include "platform/FormatSettings.h"
#include "platform/Graphics.h"
#include "platform/TextFile.h"

namespace {

// A tree with the columns "Name" and "Wert"; each row's cells come from
// Texts by the row's id ("<id>:<column>").
struct TExportTree {
    TTreePtr Tree = MakeTree(sizeof(TRow));
    std::map<std::string, String> Texts;

    explicit TExportTree(bool Columns = true)
    {
        if (Columns) {
            Tree->Header()->Columns()->Add()->SetText("Name");
            Tree->Header()->Columns()->Add()->SetText("Wert");
        }
        Tree->OnGetText = [this](TBaseTreeGrid* t, TGridNode* n, TColumnIndex c, TVSTTextType, String& text) {
            text = Texts[std::to_string(Row(t, n).Id) + ":" + std::to_string(c)];
        };
    }
    TGridNode* Add(TGridNode* Parent, int Id, const String& Name, const String& Value = String())
    {
        TGridNode* n = Tree->AddChild(Parent);
        Row(Tree.get(), n).Id = Id;
        Texts[std::to_string(Id) + ":0"] = Name;
        Texts[std::to_string(Id) + ":-1"] = Name;
        Texts[std::to_string(Id) + ":1"] = Value;
        return n;
    }
};

}  // namespace

TEST(ContentExport, DelimitedTextQuotesAndPadsLevels)
{
    TExportTree e;
    TGridNode* a = e.Add(nullptr, 1, "Plan; A", "say \"hi\"");
    TGridNode* a1 = e.Add(a, 2, "two\r\nlines", "x");
    e.Add(a1, 3, "deep", "1;2");
    e.Add(nullptr, 4, "B\xC3\xBC", "");
    e.Tree->FullExpand();

    EXPECT_EQ(e.Tree->ContentToText(tstAll, ";"),
        "Name;;;Wert\r\n"
        "\"Plan; A\";;;\"say \"\"hi\"\"\"\r\n"
        ";\"two\r\nlines\";;x\r\n"
        ";;deep;\"1;2\"\r\n"
        "B\xC3\xBC;;;\r\n");
    // The Unicode form quotes for the separator and line breaks only, but
    // doubles the quotes inside what it quotes.
    EXPECT_EQ(Utf16ToUtf8(e.Tree->ContentToUnicode(tstAll, "\t")),
        "Name\t\t\tWert\r\n"
        "Plan; A\t\t\tsay \"hi\"\r\n"
        "\t\"two\r\nlines\"\t\tx\r\n"
        "\t\tdeep\t1;2\r\n"
        "B\xC3\xBC\t\t\t\r\n");
    EXPECT_EQ(Utf16ToUtf8(e.Tree->ContentToUnicode(tstAll, ";")).substr(0, 43),
        "Name;;;Wert\r\n\"Plan; A\";;;say \"hi\"\r\n;\"two\r\nl");

    // Without columns: the level's padding, then the text.
    TExportTree plain(false);
    TGridNode* p = plain.Add(nullptr, 1, "top");
    plain.Add(p, 2, "a,b");
    plain.Tree->FullExpand();
    EXPECT_EQ(plain.Tree->ContentToText(tstAll, ","), "top\r\n,\"a,b\"\r\n");
}

TEST(ContentExport, SourcesAndExportModes)
{
    TExportTree e;
    TGridNode* a = e.Add(nullptr, 1, "a", "1");
    TGridNode* b = e.Add(nullptr, 2, "b", "2");
    TGridNode* c = e.Add(nullptr, 3, "c", "3");
    e.Tree->SetSelection(toMultiSelect, true);
    e.Tree->SetSelected(a, true);
    e.Tree->SetSelected(c, true);
    EXPECT_EQ(e.Tree->ContentToText(tstSelected, ","), "Name,Wert\r\na,1\r\nc,3\r\n");

    a->CheckType = b->CheckType = c->CheckType = ctCheckBox;
    a->CheckState = csCheckedNormal;
    b->CheckState = csUncheckedNormal;
    c->CheckState = csMixedNormal;
    e.Tree->TreeOptions()->SetExportMode(emChecked);
    EXPECT_EQ(e.Tree->ContentToText(tstAll, ","), "Name,Wert\r\na,1\r\n");
    EXPECT_NE(e.Tree->ContentToHTML(tstAll).find(">a</td>"), std::string::npos);
    EXPECT_EQ(e.Tree->ContentToHTML(tstAll).find(">b</td>"), std::string::npos);
    // The Unicode text takes every node of the source whatever the mode.
    EXPECT_EQ(Utf16ToUtf8(e.Tree->ContentToUnicode(tstAll, ",")), "Name,Wert\r\na,1\r\nb,2\r\nc,3\r\n");
    e.Tree->TreeOptions()->SetExportMode(emUnchecked);
    EXPECT_EQ(e.Tree->ContentToText(tstAll, ","), "Name,Wert\r\nb,2\r\n");
}

TEST(ContentExport, CsvTakesTheListSeparator)
{
    TExportTree e;
    e.Add(nullptr, 1, "x", "1,5");
    const String saved = FormatSettings.ListSeparator;
    FormatSettings.ListSeparator = ";";
    EXPECT_EQ(e.Tree->ContentToClipboard(RegisterClipboardFormat("CSV"), tstAll), "Name;Wert\r\nx;1,5\r\n");
    FormatSettings.ListSeparator = ",";
    EXPECT_EQ(e.Tree->ContentToClipboard(RegisterClipboardFormat("CSV"), tstAll), "Name,Wert\r\nx,\"1,5\"\r\n");
    FormatSettings.ListSeparator = saved;
}

TEST(ContentExport, HtmlTableWithFixedFontsAndColours)
{
    TExportTree e;
    TGridNode* a = e.Add(nullptr, 1, "R&D", "a<b");
    e.Add(a, 2, "\"q\"", "\xE2\x82\xAC");
    e.Tree->FullExpand();
    e.Tree->SetSelected(a, true);
    // The owner makes selected rows bold, as the program's tables do.
    e.Tree->OnPaintText = [](TBaseTreeGrid* t, TCanvas* canvas, TGridNode* n, TColumnIndex, TVSTTextType) {
        if (t->Selected(n))
            canvas->Font()->SetStyle(TFontStyles{fsBold});
    };
    e.Tree->Header()->Columns()->Items(1)->SetAlignment(taRightJustify);
    e.Tree->Header()->Columns()->Items(1)->SetColor(TColor(0x00CCEEFF));

    const std::string html = e.Tree->ContentToHTML(tstAll, "Liste \"1\"");
    EXPECT_EQ(html,
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><style type=\"text/css\">\r\n"
        ".default{font: 8pt \"Tahoma\";color:#000000;}\r\n"
        ".header{font: 8pt \"Tahoma\";color:#000000;}\r\n"
        ".noborder{border-style:none;padding-left:4px;padding-right:4px;}\r\n"
        ".normalborder {border-top:none; border-left:none; vertical-align:top;border-right:none;"
        "border-bottom:none;padding-left:4px;padding-right:4px;}</style>\r\n"
        "<table class=\"default\" bgcolor=#FFFFFF  caption=\"Liste &quot;1&quot;\" border=\"1\" frame=box "
        "cellspacing=\"0\" cellpadding=4>\r\n"
        "<tr class=\"header\" style=\"padding-left:4px;padding-right:4px;\">\r\n"
        "<th height=\"17px\" align=left colspan=\"2\" bgcolor=#D4D0C8 width=\"50px\">Name</th>"
        "<th height=\"17px\" align=right bgcolor=#D4D0C8 width=\"50px\">Wert</th></tr>\r\n"
        " <tr class=\"default\">\r\n"
        " <td class=\"normalborder\"  style=\"font: bold 8pt 'Tahoma';color:#000000;\" height=\"18px\" align=left "
        "colspan=\"2\">R&amp;D</td>"
        " <td class=\"normalborder\"  style=\"font: bold 8pt 'Tahoma';color:#000000;\" height=\"18px\" align=right "
        "bgcolor=#FFEECC>a&lt;b</td> </tr>\r\n"
        " <tr class=\"default\">\r\n"
        " <td height=\"18px\">&nbsp;</td> <td class=\"normalborder\"  height=\"18px\" align=left>&quot;q&quot;</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=right bgcolor=#FFEECC>\xE2\x82\xAC</td> </tr>\r\n"
        "</table>");
}

TEST(ContentExport, ClipboardHtmlHeaderCountsBytes)
{
    const std::string empty = MakeFragment("");
    EXPECT_EQ(empty.substr(0, 97),
        "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000301\r\nStartFragment:00000269\r\n"
        "EndFragment:00000269\r\n");
    EXPECT_EQ(empty.size(), 301u);
    EXPECT_EQ(empty.substr(269), "<!--EndFragment--></body></html>");

    const std::string table = "<table>\xE2\x82\xAC</table>";
    const std::string wrapped = MakeFragment(table);
    EXPECT_EQ(wrapped.substr(269, table.size()), table);
    EXPECT_NE(wrapped.find("EndFragment:00000287"), std::string::npos);
    EXPECT_NE(wrapped.find("EndHTML:00000319"), std::string::npos);
}

TEST(ContentExport, RichTextEscapesAndMeasuresCells)
{
    TExportTree e;
    TGridNode* a = e.Add(nullptr, 1, "{a}\\", "\xC3\xBC\xF0\x9F\x98\x80");
    e.Add(a, 2, "kid", "2");
    e.Tree->FullExpand();
    e.Tree->Header()->Columns()->Items(1)->SetAlignment(taRightJustify);
    e.Tree->Header()->Columns()->Items(1)->SetWidth(80);
    const std::string rtf = e.Tree->ContentToRTF(tstAll);
    EXPECT_EQ(rtf.substr(0, 64), "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Tahoma;}}");
    // Right edges in twips: 50 px and 130 px.
    EXPECT_NE(rtf.find("\\uc1\\trowd\\trgaph70\\cellx750\\cellx1950"), std::string::npos);
    EXPECT_NE(rtf.find(" \\{a\\}\\\\\\cell"), std::string::npos);
    // U+00FC, then the surrogate pair of U+1F600 as signed 16-bit units.
    EXPECT_NE(rtf.find("\\qr\\f0\\cf1\\fs16\\b0\\i0\\ul0 \\u252\\'3f\\u-10179\\'3f\\u-8704\\'3f\\cell"), std::string::npos);
    // The child's row is indented by one level in the main column.
    EXPECT_NE(rtf.find("\\li270"), std::string::npos);
    EXPECT_EQ(rtf.back(), '}');
    std::size_t rows = 0;
    for (std::size_t at = rtf.find("\\row"); at != std::string::npos; at = rtf.find("\\row", at + 1))
        ++rows;
    EXPECT_EQ(rows, 3u);  // the header and two rows
}
