#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Characters of the bytes 0x80..0x9F; the undefined ones stand for themselves.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(String& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one character at pos and advances pos. Overlong forms, surrogates,
// values above U+10FFFF and truncated sequences give U+FFFD for one byte, so
// that the text resynchronises at the next byte.
char32_t NextUtf8(const String& s, size_t& pos, bool& valid)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    valid = true;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra;
    char32_t c;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1;
        c = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2;
        c = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        valid = false;
        ++pos;
        return kReplacement;
    }
    if (s.size() - pos <= static_cast<size_t>(extra)) {
        valid = false;
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char b = byte(pos + static_cast<size_t>(i));
        if ((b & 0xC0) != 0x80) {
            valid = false;
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        valid = false;
        ++pos;
        return kReplacement;
    }
    pos += static_cast<size_t>(extra) + 1;
    return c;
}

// The text with every invalid sequence replaced; the input itself when it is
// valid already.
String SanitizeUtf8(const String& s)
{
    String out;
    out.reserve(s.size());
    size_t pos = 0;
    bool valid;
    while (pos < s.size())
        AppendUtf8(out, NextUtf8(s, pos, valid));
    return out;
}

int Windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == c)
            return 0x80 + i;
    return -1;
}

String DecodeUtf16(const std::string& bytes, size_t start, bool bigEndian)
{
    std::u16string units;
    units.reserve((bytes.size() - start) / 2);
    size_t i = start;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    String out = Utf16ToUtf8(units);
    if (i < bytes.size())  // a lone last byte cannot be a character
        AppendUtf8(out, kReplacement);
    return out;
}

bool StartsWith(const std::string& s, const char* prefix, size_t n)
{
    return s.size() >= n && s.compare(0, n, prefix, n) == 0;
}

bool StartsWithMark(const std::string& s)
{
    return StartsWith(s, "\xEF\xBB\xBF", 3) || StartsWith(s, "\xFF\xFE", 2) || StartsWith(s, "\xFE\xFF", 2);
}

}  // namespace

String Windows1252ToUtf8(const std::string& bytes)
{
    String out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F)
            AppendUtf8(out, kHigh1252[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

bool Utf8ToWindows1252(const String& text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    size_t pos = 0;
    bool valid;
    while (pos < text.size()) {
        const char32_t c = NextUtf8(text, pos, valid);
        const int b = valid ? Windows1252Byte(c) : -1;
        if (b < 0)
            return false;
        out += static_cast<char>(b);
    }
    return true;
}

String Utf16ToUtf8(const std::u16string& text)
{
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(const String& text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    bool valid;
    while (pos < text.size()) {
        const char32_t c = NextUtf8(text, pos, valid);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

String DecodeText(const std::string& bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        return SanitizeUtf8(bytes.substr(3));
    if (StartsWith(bytes, "\xFF\xFE", 2))
        return DecodeUtf16(bytes, 2, false);
    if (StartsWith(bytes, "\xFE\xFF", 2))
        return DecodeUtf16(bytes, 2, true);
    return Windows1252ToUtf8(bytes);
}

std::string EncodeText(const String& text)
{
    std::string ansi;
    // Windows-1252 bytes that look like a byte-order mark would be read back
    // as another encoding, so such a text goes out as UTF-8 as well.
    if (Utf8ToWindows1252(text, ansi) && !StartsWithMark(ansi))
        return ansi;
    return "\xEF\xBB\xBF" + SanitizeUtf8(text);
}

String LoadTextFile(const String& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return DecodeText(stream.ReadBytes(stream.Size() - stream.Position()));
}

void SaveTextFile(const String& fileName, const String& text)
{
    // A failed save must leave the previous file as it was.
    WriteFileAtomic(fileName, EncodeText(text));
}

void SplitLines(const String& text, std::vector<String>& lines)
{
    lines.clear();
    size_t start = 0;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text, start, i - start);
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.emplace_back(text, start, n - start);
}
