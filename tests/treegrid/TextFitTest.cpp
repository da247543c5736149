// Shortening, wrapping, measuring and drawing texts, with characters of one
// to four bytes, always measured by the same canvas that draws them.
#include <gtest/gtest.h>

#include <vector>

#include "components/TreeGrid/TreeGridUtils.h"
#include "platform/SysUtils.h"

#include "tests/support/PlatformFixture.h"

namespace {

// Splits at code points; false when S is not well-formed UTF-8.
bool Characters(const String& S, std::vector<String>& Out)
{
    Out.clear();
    for (std::size_t i = 0; i < S.size();) {
        const auto b = static_cast<unsigned char>(S[i]);
        const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
        if (n == 0 || i + n > S.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(S[i + k]) & 0xC0) != 0x80)
                return false;
        Out.push_back(S.substr(i, n));
        i += n;
    }
    return true;
}

std::vector<String> Split(const String& S, char Sep)
{
    std::vector<String> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= S.size(); ++i)
        if (i == S.size() || S[i] == Sep) {
            parts.push_back(S.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

const String Mixed = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC" "uro \xF0\x9F\x98\x80 \xC3\x9C" "bersicht";  // 2-, 3-, 4-byte characters
const String LongWord = "Gr\xC3\xB6\xC3\x9F" "en\xC3\xA4nderungs\xC3\xBC" "bersicht\xE2\x82\xAC";

class TextFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();  // text needs the application object
        Bmp.SetSize(300, 200);
        C = Bmp.Canvas();
        C->Font()->SetName("DejaVu Sans");
        C->Font()->SetHeight(-13);
        try {
            C->TextWidth("x");
        } catch (const EInvalidOperation&) {
            FAIL() << "text cannot be measured without the application object";
        }
    }
    int W(const String& S) { return C->TextWidth(S); }
    int Measured(const String& S, unsigned Format)
    {
        TRect r;
        GetStringDrawRect(C, S, r, Format);
        return r.Width();
    }

    TBitmap Bmp;
    TCanvas* C = nullptr;
};

TEST_F(TextFit, ShortenGivesTheLongestCharacterPrefixThatFits)
{
    const int ellipsis = W("...");
    std::vector<String> chars;
    ASSERT_TRUE(Characters(Mixed, chars));
    for (int width = 1; width <= W(Mixed) + 20; ++width) {
        const String r = ShortenString(C, Mixed, width);
        if (ellipsis >= width) {
            EXPECT_EQ(r, "") << width;
            continue;
        }
        ASSERT_GE(r.size(), 3u);
        ASSERT_EQ(r.substr(r.size() - 3), "...") << width;
        const String prefix = r.substr(0, r.size() - 3);
        std::vector<String> got;
        ASSERT_TRUE(Characters(prefix, got)) << "cut inside a character at width " << width;
        ASSERT_EQ(Mixed.compare(0, prefix.size(), prefix), 0);
        // It fits, and one more character would not (or the whole text is
        // the next step, which the search never takes).
        EXPECT_LE(W(prefix) + ellipsis, width);
        if (got.size() + 1 < chars.size()) {
            EXPECT_GT(W(prefix + chars[got.size()]) + ellipsis, width) << width;
        }
        EXPECT_LT(got.size(), chars.size());
    }
}

TEST_F(TextFit, ShortenEdgeCases)
{
    EXPECT_EQ(ShortenString(C, "", 100), "");
    EXPECT_EQ(ShortenString(C, "Hallo", 0), "");
    EXPECT_EQ(ShortenString(C, "Hallo", -5), "");
    // A text that fits whole still drops its last character.
    EXPECT_EQ(ShortenString(C, "Hallo", 1000), "Hall...");
    EXPECT_EQ(ShortenString(C, "\xC3\xA4\xC3\xB6", 1000), "\xC3\xA4...");
    // The ellipsis width given is used instead of measuring.
    EXPECT_EQ(ShortenString(C, "Hallo", 50, 50), "");
    EXPECT_EQ(ShortenString(C, "Hallo", 1000, 999), "...");
    // Bytes that are not UTF-8 count as characters of their own.
    EXPECT_EQ(ShortenString(C, "ab\xFF\xC3", 1000), "ab\xFF...");
}

TEST_F(TextFit, WrapSplitsAnOverlongWordIntoFittingPieces)
{
    for (int width : {0, 5, 20, 37, 60}) {
        for (bool rtl : {false, true}) {
            const String wrapped = WrapString(C, LongWord, TRect(0, 0, width, 50), rtl, DT_SINGLELINE);
            const std::vector<String> lines = Split(wrapped, '\n');
            String joined;
            std::vector<String> chars;
            for (const String& l : lines) {
                ASSERT_TRUE(Characters(l, chars)) << "cut inside a character: " << wrapped;
                ASSERT_GE(chars.size(), 1u) << "empty line in " << wrapped;
                if (chars.size() > 1) {
                    EXPECT_LE(Measured(l, DT_SINGLELINE), width) << l;
                }
                joined += l;
            }
            EXPECT_EQ(joined, LongWord);
            ASSERT_GT(lines.size(), 1u) << width;
            if (width == 0) {
                ASSERT_TRUE(Characters(LongWord, chars));
                EXPECT_EQ(lines.size(), chars.size());
            }
            // Left to right fills the first piece, right to left the last.
            const String& full = rtl ? lines.back() : lines.front();
            const String& other = rtl ? lines[lines.size() - 2] : lines[1];
            std::vector<String> otherChars;
            Characters(other, otherChars);
            const String grown = rtl ? otherChars.back() + full : full + otherChars.front();
            if (width > 0) {
                EXPECT_GT(Measured(grown, DT_SINGLELINE), width);
            }
        }
    }
}

TEST_F(TextFit, WrapFillsLinesGreedily)
{
    const String text = "  Das ist ein Satz mit \xC3\xBC" "berl\xC3\xA4ngen W\xC3\xB6rtern und \xE2\x82\xAC-Zeichen ";
    const String trimmed = Trim(text);
    const int width = W("ist ein Satz") + 2;
    for (bool rtl : {false, true}) {
        const String wrapped = WrapString(C, text, TRect(10, 0, 10 + width, 10), rtl, DT_SINGLELINE);
        ASSERT_FALSE(wrapped.empty());
        EXPECT_NE(wrapped.back(), '\n');
        const std::vector<String> lines = Split(wrapped, '\n');
        String joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(Measured(lines[i], DT_SINGLELINE), width) << lines[i];
            joined += (i ? " " : "") + lines[i];
            // The word that starts the next line (or ends the previous one
            // for right to left) would not have fitted.
            if (i + 1 < lines.size()) {
                const std::vector<String> next = Split(lines[i + 1], ' ');
                const std::vector<String> here = Split(lines[i], ' ');
                const String grown = rtl ? here.back() + " " + lines[i + 1] : lines[i] + " " + next.front();
                EXPECT_GT(Measured(grown, DT_SINGLELINE), width) << grown;
            }
        }
        EXPECT_EQ(joined, trimmed);
    }
    // Two spaces make an empty word, which keeps both spaces on a line.
    EXPECT_EQ(WrapString(C, "a  b", TRect(0, 0, 500, 10), false, DT_SINGLELINE), "a  b");
    EXPECT_EQ(WrapString(C, "   ", TRect(0, 0, 500, 10), false, DT_SINGLELINE), "");
}

TEST_F(TextFit, MeasuringMatchesTheCanvas)
{
    TRect r(10, 20, 400, 400);
    GetStringDrawRect(C, Mixed, r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r, TRect(10, 20, 10 + W(Mixed), 20 + C->TextHeight(Mixed)));

    // Multi-line: every break counts, CR LF as one; the widest line sets the
    // right edge only when asked.
    const String text("a\r\nbb\nccc\rd\xE2\x80\xA8" "eeeee\0f", 21);
    const int lineHeight = C->FontAscent() + C->FontDescent();
    TRect m(5, 7, 6, 8);
    EXPECT_EQ(DrawTextW(C, text, -1, m, DT_CALCRECT, false), 6 * lineHeight);
    EXPECT_EQ(m, TRect(5, 7, 6, 7 + 6 * lineHeight));
    DrawTextW(C, text, -1, m, DT_CALCRECT, true);
    EXPECT_EQ(m.Right, 5 + W("eeeee"));
    // Length counts characters: "ä" and "b" only.
    TRect n(0, 0, 1, 1);
    DrawTextW(C, "\xC3\xA4" "b\ncc", 2, n, DT_CALCRECT, true);
    EXPECT_EQ(n, TRect(0, 0, W("\xC3\xA4" "b"), lineHeight));
}

TEST_F(TextFit, DrawTextWClipsAlignsAndStopsAtTheBottom)
{
    // Text and cell in one colour: the filled cells show where lines went,
    // without looking at glyphs.
    const TColor paper = RGB(0x10, 0x20, 0x30), ink = RGB(0xF0, 0x80, 0x00);
    auto reset = [&] {
        C->Brush()->SetColor(paper);
        C->FillRect(TRect(0, 0, 300, 200));
        C->Brush()->SetColor(ink);
        C->Font()->SetColor(ink);
    };
    const int lh = C->FontAscent() + C->FontDescent();
    const String three = "WWW\nWWW\nWWW";
    const int w = W("WWW");

    reset();
    TRect b(20, 10, 200, 10 + lh + lh / 2);
    DrawTextW(C, three, -1, b, DT_LEFT, false);
    EXPECT_EQ(C->Pixels(20, 10 + lh / 2), ink);            // first line
    EXPECT_EQ(C->Pixels(20, 10 + lh + 1), ink);            // second line, inside the bounds
    EXPECT_EQ(C->Pixels(20, b.Bottom + 1), paper);         // second line clipped at the bottom
    EXPECT_EQ(C->Pixels(20, 10 + 2 * lh + lh / 2), paper); // third line not drawn
    EXPECT_EQ(C->Pixels(20 + w + 2, 10 + lh / 2), paper);

    reset();
    DrawTextW(C, three, -1, b, DT_LEFT | DT_NOCLIP, false);
    EXPECT_EQ(C->Pixels(20, b.Bottom + 1), ink);           // unclipped second line
    EXPECT_EQ(C->Pixels(20, 10 + 2 * lh + lh / 2), paper); // still stops at the bottom

    reset();
    DrawTextW(C, three, -1, b, DT_RIGHT, false);
    EXPECT_EQ(C->Pixels(199, 10 + lh / 2), ink);
    EXPECT_EQ(C->Pixels(200 - w - 2, 10 + lh / 2), paper);

    reset();
    TRect single(20, 50, 200, 50 + 3 * lh);
    DrawTextW(C, "WWW\nWWW", -1, single, DT_SINGLELINE | DT_VCENTER, false);
    const int top = 50 + (3 * lh - lh) / 2;
    EXPECT_EQ(C->Pixels(20, 51), paper);
    EXPECT_EQ(C->Pixels(20, top + lh / 2), ink);
}

}  // namespace
