#include "platform/TextFile.h"

#include "platform/Exceptions.h"
#include "tests/support/TestData.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string ReadFileBytes(const String& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const String& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool IsValidUtf8(const String& s)
{
    return QByteArrayView(s.data(), static_cast<qsizetype>(s.size())).isValidUtf8();
}

// Unicode code point of a UTF-8 text holding one character, through Qt.
char32_t OnlyCodePoint(const String& s)
{
    const auto ucs4 = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUcs4();
    return ucs4.size() == 1 ? ucs4[0] : 0xFFFFFFFF;
}

const std::string kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

TEST(TextEncoding, Windows1252HoldsEveryByte)
{
    // Spot checks against the published table, including the undefined bytes.
    const std::pair<unsigned char, char32_t> table[] = {
        {0x41, U'A'},     {0x80, 0x20AC}, {0x81, 0x0081}, {0x83, 0x0192}, {0x8D, 0x008D}, {0x8E, 0x017D},
        {0x8F, 0x008F},   {0x90, 0x0090}, {0x92, 0x2019}, {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178},
        {0xA0, 0x00A0},   {0xE4, 0x00E4}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const auto& [byte, cp] : table)
        EXPECT_EQ(OnlyCodePoint(Windows1252ToUtf8(std::string(1, static_cast<char>(byte)))), cp) << int(byte);

    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const String text = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(text));
    std::string back;
    ASSERT_TRUE(Utf8ToWindows1252(text, back));
    EXPECT_EQ(back, all);
    // The whole range, mark-free, is written as Windows-1252 unchanged.
    EXPECT_EQ(EncodeText(text), all);
    EXPECT_EQ(DecodeText(all), text);
}

TEST(TextEncoding, PicksWindows1252OrUtf8WithMark)
{
    EXPECT_EQ(EncodeText("\xC3\xA4"), "\xE4");                       // ä
    EXPECT_EQ(EncodeText("5 \xE2\x82\xAC\r\n"), "5 \x80\r\n");        // €
    EXPECT_EQ(EncodeText(""), "");
    EXPECT_EQ(EncodeText("\xC3\xA4\xCE\xBB"), kUtf8Bom + "\xC3\xA4\xCE\xBB");  // äλ
    EXPECT_EQ(EncodeText("\xF0\x9F\x98\x80"), kUtf8Bom + "\xF0\x9F\x98\x80");
    // Windows-1252 bytes that would read back as a byte-order mark.
    EXPECT_EQ(EncodeText("\xC3\xAF\xC2\xBB\xC2\xBFx"), kUtf8Bom + "\xC3\xAF\xC2\xBB\xC2\xBFx");  // "ï»¿x"
    EXPECT_EQ(EncodeText("\xC3\xBF\xC3\xBE"), kUtf8Bom + "\xC3\xBF\xC3\xBE");                      // "ÿþ"
    EXPECT_EQ(EncodeText("\xC3\xBE\xC3\xBF"), kUtf8Bom + "\xC3\xBE\xC3\xBF");                      // "þÿ"
    for (const String& t : {String("\xC3\xAF\xC2\xBB\xC2\xBFx"), String("\xC3\xBF\xC3\xBE"), String("\xC3\xBE\xC3\xBF")})
        EXPECT_EQ(DecodeText(EncodeText(t)), t);
}

TEST(TextEncoding, InvalidUtf8NeverBreaksTheEncoder)
{
    const String bad[] = {
        "\xFF",           "\xC3",         "abc\xE2\x82",    "\xC0\xAF",     "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\x80\x80",   "ok\xC3\xA4\xF5", String("\0\xFE", 2),
    };
    for (const String& s : bad) {
        const std::string bytes = EncodeText(s);
        ASSERT_EQ(bytes.substr(0, 3), kUtf8Bom) << s;
        const String back = DecodeText(bytes);
        EXPECT_TRUE(IsValidUtf8(back)) << s;
        EXPECT_NE(back.find("\xEF\xBF\xBD"), String::npos) << s;  // U+FFFD
    }
    std::string ansi;
    EXPECT_FALSE(Utf8ToWindows1252("\xC3", ansi));

    // Random bytes: decoding gives valid text and a save and load keeps it.
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng() % 40, '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng());
        if (round % 3 == 0)
            bytes.insert(0, round % 2 ? "\xFE\xFF" : kUtf8Bom);
        const String text = DecodeText(bytes);
        ASSERT_TRUE(IsValidUtf8(text));
        ASSERT_EQ(DecodeText(EncodeText(text)), text);
        ASSERT_TRUE(IsValidUtf8(DecodeText(EncodeText(bytes))));
    }
}

TEST(TextEncoding, ReadsByTheByteOrderMark)
{
    EXPECT_EQ(DecodeText(kUtf8Bom + "\xCE\xBB\xC3\xA4"), "\xCE\xBB\xC3\xA4");
    EXPECT_EQ(DecodeText(kUtf8Bom), "");
    // Without a mark, the same bytes are Windows-1252.
    EXPECT_EQ(DecodeText("\xCE\xBB"), "\xC3\x8E\xC2\xBB");
    // A UTF-8 file whose bytes are broken keeps what it can.
    EXPECT_EQ(DecodeText(kUtf8Bom + "a\xFFz"), "a\xEF\xBF\xBDz");

    // "Aλ𝄞\r\n" in UTF-16, both byte orders.
    const std::string le("\xFF\xFE" "A\0" "\xBB\x03" "\x34\xD8\x1E\xDD" "\r\0\n\0", 14);
    const std::string be("\xFE\xFF" "\0A" "\x03\xBB" "\xD8\x34\xDD\x1E" "\0\r\0\n", 14);
    const String expected = "A\xCE\xBB\xF0\x9D\x84\x9E\r\n";
    EXPECT_EQ(DecodeText(le), expected);
    EXPECT_EQ(DecodeText(be), expected);
    EXPECT_EQ(DecodeText("\xFF\xFE"), "");
    // A lone surrogate and an odd last byte become U+FFFD.
    EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x34\xD8" "A\0" "B", 7)), "\xEF\xBF\xBD" "A\xEF\xBF\xBD");
    EXPECT_EQ(DecodeText(std::string("\xFE\xFF\xDC\x00", 4)), "\xEF\xBF\xBD");

    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(expected)), expected);
    EXPECT_EQ(Utf8ToUtf16(expected).size(), 6u);
}

TEST(TextFile, SavesAndLoads)
{
    const String dir = vektest::TempDir();
    SaveTextFile(dir + "/ansi.txt", "Gr\xC3\xB6\xC3\x9F" "e\r\n");  // Größe
    EXPECT_EQ(ReadFileBytes(dir + "/ansi.txt"), "Gr\xF6\xDF" "e\r\n");
    EXPECT_EQ(LoadTextFile(dir + "/ansi.txt"), "Gr\xC3\xB6\xC3\x9F" "e\r\n");

    const String greek = "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\r\n\xC3\xA4\r\n";  // Αθήνα, ä
    SaveTextFile(dir + "/greek.txt", greek);
    EXPECT_EQ(ReadFileBytes(dir + "/greek.txt"), kUtf8Bom + greek);
    EXPECT_EQ(LoadTextFile(dir + "/greek.txt"), greek);

    // Overwriting replaces the whole file.
    SaveTextFile(dir + "/greek.txt", "x");
    EXPECT_EQ(ReadFileBytes(dir + "/greek.txt"), "x");

    WriteFileBytes(dir + "/utf16.txt", std::string("\xFF\xFE" "a\0\r\0\n\0" "\xE4\0", 10));
    EXPECT_EQ(LoadTextFile(dir + "/utf16.txt"), "a\r\n\xC3\xA4");

    EXPECT_THROW(LoadTextFile(dir + "/missing.txt"), EFOpenError);
    EXPECT_THROW(LoadTextFile(dir), EFOpenError);
    EXPECT_THROW(SaveTextFile(dir + "/no/folder.txt", "x"), EFCreateError);
}

TEST(TextFile, SplitLinesOnEveryLineEnd)
{
    using V = std::vector<String>;
    const std::pair<String, V> cases[] = {
        {"", V{}},
        {"one", V{"one"}},
        {"a\r\nb\nc\rd\r\n", V{"a", "b", "c", "d"}},
        {"\r\n\r\n", V{"", ""}},
        {"\n\r", V{"", ""}},  // LF then CR: two line ends, not one
        {"a\r\r\nb", V{"a", "", "b"}},
        {String("x\0y\n", 4), V{String("x\0y", 3)}},
    };
    V lines{"stale"};  // each call replaces what the list held
    for (const auto& [text, expected] : cases) {
        SplitLines(text, lines);
        EXPECT_EQ(lines, expected) << text;
    }
}
