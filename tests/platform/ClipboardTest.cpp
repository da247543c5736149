// The clipboard: text, format names and their MIME types, and data objects
// read as another program reads them, through the toolkit's clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <map>

#include "platform/Clipbrd.h"
#include "tests/platform/FixedDataObject.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Counts what it is asked to render.
class TTestDataObject : public TFixedDataObject {
public:
    std::map<TClipFormat, int> Renders;

    TTestDataObject()
    {
        OnRender = [this](TClipFormat F) { ++Renders[F]; };
    }
    int TotalRenders() const
    {
        int n = 0;
        for (const auto& [id, count] : Renders)
            n += count;
        return n;
    }
};

std::string Z(const char* S, std::size_t N) { return std::string(S, N); }

// "Grüße €" in the object's two text encodings, each with its terminating zero.
const std::string Ansi = Z("Gr\xFC\xDF" "e \x80\0", 8);
const std::string Unicode = Z("G\0r\0\xFC\0\xDF\0" "e\0 \0\xAC\x20\0\0", 16);
const char* const Utf8Text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";

std::string Bytes(const QByteArray& A) { return std::string(A.constData(), std::size_t(A.size())); }

const QMimeData* ClipboardMime() { return QGuiApplication::clipboard()->mimeData(); }

std::shared_ptr<TTestDataObject> TextObject()
{
    auto obj = std::make_shared<TTestDataObject>();
    obj->Data[CF_TEXT] = Ansi;
    obj->Data[CF_UNICODETEXT] = Unicode;
    return obj;
}

}  // namespace

TEST(Clipboard, TextRoundTrip)
{
    EnsureApplication();
    ASSERT_TRUE(SetClipboardText("Plan \xC3\xBC" "ber Tage\r\nzwei"));
    EXPECT_EQ(GetClipboardText(), "Plan \xC3\xBC" "ber Tage\r\nzwei");
    ASSERT_TRUE(SetClipboardText(""));
    EXPECT_EQ(GetClipboardText(), "");
}

TEST(Clipboard, FormatsTravelUnderTheirMimeTypes)
{
    EXPECT_EQ(ClipboardFormatMimeTypes(CF_TEXT), std::vector<String>{"text/plain"});
    EXPECT_EQ(ClipboardFormatMimeTypes(CF_UNICODETEXT), std::vector<String>{"text/plain;charset=utf-8"});
    EXPECT_EQ(ClipboardFormatMimeTypes(RegisterClipboardFormat("html format")), std::vector<String>{"text/html"});
    EXPECT_EQ(ClipboardFormatMimeTypes(RegisterClipboardFormat("Rich Text Format")),
              (std::vector<String>{"text/rtf", "application/rtf"}));
    EXPECT_EQ(ClipboardFormatMimeTypes(RegisterClipboardFormat("CSV")), std::vector<String>{"text/csv"});
    // Names of the program's own: made up from the name, or given.
    const TClipFormat rows = RegisterClipboardFormat("Tree Grid Data");
    EXPECT_EQ(ClipboardFormatMimeTypes(rows), std::vector<String>{"application/x-vek-tree-grid-data"});
    const TClipFormat odd = RegisterClipboardFormat("Vek Odd/Name: 2");
    EXPECT_EQ(ClipboardFormatMimeTypes(odd), std::vector<String>{"application/x-vek-vek-odd-name--2"});
    const TClipFormat given = RegisterClipboardFormat("Vek Given Type", "application/x-given");
    EXPECT_EQ(RegisterClipboardFormat("VEK GIVEN TYPE", "application/x-other"), given);
    EXPECT_EQ(ClipboardFormatMimeTypes(given), std::vector<String>{"application/x-given"});
    // No MIME type for the standard formats other programs cannot read.
    EXPECT_TRUE(ClipboardFormatMimeTypes(2).empty());
    EXPECT_TRUE(ClipboardFormatMimeTypes(0xFFF0).empty());
    // And back.
    EXPECT_EQ(ClipboardFormatOfMimeType("text/plain"), CF_TEXT);
    EXPECT_EQ(ClipboardFormatOfMimeType("TEXT/PLAIN;charset=UTF-8"), CF_UNICODETEXT);
    EXPECT_EQ(ClipboardFormatOfMimeType("application/rtf"), RegisterClipboardFormat("Rich Text Format"));
    EXPECT_EQ(ClipboardFormatOfMimeType("application/x-vek-tree-grid-data"), rows);
    EXPECT_EQ(ClipboardFormatOfMimeType("application/x-given"), given);
    EXPECT_EQ(ClipboardFormatOfMimeType("image/png"), 0);
}

TEST(Clipboard, QueryReportsTheFirstMismatch)
{
    TFormatEtc offered;
    offered.cfFormat = CF_TEXT;
    TFormatEtc asked = offered;
    EXPECT_EQ(QueryOfferedFormat({offered}, asked), S_OK);
    asked.dwAspect = 4;
    EXPECT_EQ(QueryOfferedFormat({offered}, asked), DV_E_DVASPECT);
    asked.tymed = 4;
    EXPECT_EQ(QueryOfferedFormat({offered}, asked), DV_E_TYMED);
    asked = offered;
    asked.lindex = 0;
    EXPECT_EQ(QueryOfferedFormat({offered}, asked), DV_E_LINDEX);
    asked.cfFormat = CF_UNICODETEXT;
    EXPECT_EQ(QueryOfferedFormat({offered}, asked), DV_E_FORMATETC);
}

TEST(Clipboard, AnotherProgramReadsEachFormatWhenItAsks)
{
    EnsureApplication();
    auto obj = TextObject();
    const std::string html = "<b>Plan</b>";
    obj->Data[RegisterClipboardFormat("HTML Format")] = ClipboardHtmlOfHtml(html) + '\0';
    obj->Data[RegisterClipboardFormat("Rich Text Format")] = Z("{\\rtf1 x}\0", 10);
    obj->Data[RegisterClipboardFormat("CSV")] = Z("a;\xE4\r\n\0", 7);
    obj->Data[RegisterClipboardFormat("Vek Test Rows")] = Z("\x01\0\x02", 3);
    ASSERT_EQ(OleSetClipboard(obj), S_OK);
    EXPECT_EQ(OleIsCurrentClipboard(obj), S_OK);

    const QMimeData* m = ClipboardMime();
    ASSERT_NE(m, nullptr);
    const QStringList formats = m->formats();
    for (const char* mime : {"text/plain", "text/plain;charset=utf-8", "text/html", "text/rtf", "application/rtf",
                             "text/csv", "application/x-vek-vek-test-rows"})
        EXPECT_TRUE(formats.contains(mime)) << mime;
    EXPECT_EQ(obj->TotalRenders(), 0);  // listing the types renders nothing

    EXPECT_EQ(Bytes(m->data("text/html")), html);
    EXPECT_EQ(obj->TotalRenders(), 1);
    EXPECT_EQ(Bytes(m->data("text/plain")), Utf8Text);
    EXPECT_EQ(Bytes(m->data("text/plain;charset=utf-8")), Utf8Text);
    EXPECT_EQ(m->text().toStdString(), Utf8Text);
    EXPECT_EQ(Bytes(m->data("application/rtf")), "{\\rtf1 x}");
    EXPECT_EQ(Bytes(m->data("text/csv")), "a;\xC3\xA4\r\n");
    EXPECT_EQ(Bytes(m->data("application/x-vek-vek-test-rows")), Z("\x01\0\x02", 3));
    EXPECT_EQ(obj->Flushes, 0);
}

TEST(Clipboard, UnicodeTextAloneAlsoServesPlainText)
{
    EnsureApplication();
    auto obj = std::make_shared<TTestDataObject>();
    obj->Data[CF_UNICODETEXT] = Unicode;
    ASSERT_EQ(OleSetClipboard(obj), S_OK);
    EXPECT_EQ(Bytes(ClipboardMime()->data("text/plain")), Utf8Text);
}

TEST(Clipboard, HtmlWithABadHeaderGivesNothing)
{
    std::string html;
    const std::string good = ClipboardHtmlOfHtml("<p>x</p>");
    ASSERT_TRUE(HtmlOfClipboardHtml(good, html));
    EXPECT_EQ(html, "<p>x</p>");
    // The fragment comments of a whole document mark the fragment; the
    // document is what other programs get.
    const std::string doc = "<html><body><!--StartFragment-->y<!--EndFragment--></body></html>";
    ASSERT_TRUE(HtmlOfClipboardHtml(ClipboardHtmlOfHtml(doc), html));
    EXPECT_EQ(html, doc);
    // Without a document the fragment is taken.
    ASSERT_TRUE(HtmlOfClipboardHtml("StartHTML:-1\r\nEndHTML:-1\r\nStartFragment:63\r\nEndFragment:64\r\n<i>z</i>", html));
    EXPECT_EQ(html, "z");
    for (const char* bad : {"", "<p>no header</p>", "StartHTML:10\r\nEndHTML:999\r\n<p>", "StartHTML:9\r\nEndHTML:3\r\n<p>",
                            "StartHTML:\r\nEndHTML:5\r\n<p>", "EndHTML:5\r\n<p>x</p>"})
        EXPECT_FALSE(HtmlOfClipboardHtml(bad, html)) << bad;

    EnsureApplication();
    auto obj = std::make_shared<TTestDataObject>();
    obj->Data[RegisterClipboardFormat("HTML Format")] = "StartHTML:50\r\nEndHTML:4000\r\n<p>x</p>";
    ASSERT_EQ(OleSetClipboard(obj), S_OK);
    EXPECT_TRUE(ClipboardMime()->data("text/html").isEmpty());
}

TEST(Clipboard, AnotherProgramsDataReadThroughADataObject)
{
    EnsureApplication();
    // A name is known by its MIME type once it is registered.
    const TClipFormat rows = RegisterClipboardFormat("Tree Grid Data");
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8(Utf8Text));
    mime->setHtml("<i>x</i>");
    mime->setData("application/x-vek-tree-grid-data", QByteArray("\x05\x00", 2));
    QGuiApplication::clipboard()->setMimeData(mime);

    IDataObjectPtr obj;
    ASSERT_EQ(OleGetClipboard(obj), S_OK);
    ASSERT_TRUE(obj);
    std::string bytes;
    ASSERT_TRUE(GetDataBytes(*obj, CF_UNICODETEXT, bytes));
    EXPECT_EQ(bytes, Unicode);
    ASSERT_TRUE(GetDataBytes(*obj, CF_TEXT, bytes));
    EXPECT_EQ(bytes, Ansi);
    ASSERT_TRUE(GetDataBytes(*obj, RegisterClipboardFormat("HTML Format"), bytes));
    ASSERT_EQ(bytes.back(), '\0');
    std::string html;
    ASSERT_TRUE(HtmlOfClipboardHtml(bytes, html));
    EXPECT_EQ(html, "<i>x</i>");
    ASSERT_TRUE(GetDataBytes(*obj, rows, bytes));
    EXPECT_EQ(bytes, Z("\x05\0", 2));
    EXPECT_FALSE(GetDataBytes(*obj, RegisterClipboardFormat("CSV"), bytes));
    EXPECT_EQ(OleIsCurrentClipboard(obj), S_FALSE);

    // Ours comes back as it went.
    auto own = TextObject();
    ASSERT_EQ(OleSetClipboard(own), S_OK);
    ASSERT_EQ(OleGetClipboard(obj), S_OK);
    EXPECT_EQ(obj, own);
}

TEST(Clipboard, ANewOwnerReleasesOurObject)
{
    EnsureApplication();
    std::weak_ptr<TTestDataObject> first;
    std::weak_ptr<TTestDataObject> second;
    {
        auto a = TextObject();
        auto b = TextObject();
        first = a;
        second = b;
        ASSERT_EQ(OleSetClipboard(a), S_OK);
        ASSERT_EQ(OleSetClipboard(b), S_OK);
        EXPECT_EQ(OleIsCurrentClipboard(a), S_FALSE);
        EXPECT_EQ(OleIsCurrentClipboard(b), S_OK);
    }
    EXPECT_TRUE(first.expired());
    ASSERT_FALSE(second.expired());
    QGuiApplication::clipboard()->setText("someone else");
    EXPECT_TRUE(second.expired());

    // Emptying lets go as well, and only of ours.
    auto c = TextObject();
    std::weak_ptr<TTestDataObject> third = c;
    ASSERT_EQ(OleSetClipboard(c), S_OK);
    c.reset();
    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_TRUE(third.expired());
    SetClipboardText("kept");
    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_EQ(GetClipboardText(), "kept");
}

TEST(Clipboard, FlushingRendersEachFormatOnceAndKeepsTheData)
{
    EnsureApplication();
    auto obj = TextObject();
    obj->Data[RegisterClipboardFormat("CSV")] = Z("1;2\0", 4);
    std::weak_ptr<TTestDataObject> weak = obj;
    ASSERT_EQ(OleSetClipboard(obj), S_OK);
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(obj->Flushes, 1);
    EXPECT_EQ(obj->Renders, (std::map<TClipFormat, int>{
                                {CF_TEXT, 1}, {CF_UNICODETEXT, 1}, {RegisterClipboardFormat("CSV"), 1}}));
    EXPECT_EQ(OleIsCurrentClipboard(obj), S_FALSE);
    obj.reset();
    EXPECT_TRUE(weak.expired());
    // The copy answers without the object.
    const QMimeData* m = ClipboardMime();
    EXPECT_EQ(Bytes(m->data("text/plain;charset=utf-8")), Utf8Text);
    EXPECT_EQ(Bytes(m->data("text/csv")), "1;2");
    // Nothing of ours left: flushing again does nothing.
    EXPECT_EQ(OleFlushClipboard(), S_OK);
}
