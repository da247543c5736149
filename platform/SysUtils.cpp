#include "platform/SysUtils.h"

#include "platform/Exceptions.h"
#include "platform/FormatSettings.h"

#include <unistd.h>

#include <QChar>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

QString ToQ(const String& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

String FromQ(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return String(b.constData(), static_cast<std::size_t>(b.size()));
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length in bytes of the character starting at s[i]; a byte that does not
// start a well-formed sequence is a character of its own.
std::size_t CharLength(const String& s, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    if (c < 0x80)
        return 1;
    else if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4;
    else
        return 1;
    if (i + n > s.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k)
        if (!IsContinuation(static_cast<unsigned char>(s[i + k])))
            return 1;
    const unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
    // Overlong forms, surrogates and values above U+10FFFF.
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
        return 1;
    return n;
}

// Code point at s[i] (len bytes from CharLength); a stray byte stands for
// itself offset into a private range so it never equals a real character.
char32_t CodePoint(const String& s, std::size_t i, std::size_t len)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (len == 1)
        return c < 0x80 ? c : static_cast<char32_t>(0x110000 + c);
    char32_t v = c & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k)
        v = (v << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return v;
}

char32_t Fold(char32_t c)
{
    return c < 0x110000 ? QChar::toCaseFolded(c) : c;
}

// Byte offset of the index-th character (from 0); s.size() when past the end.
std::size_t ByteOffset(const String& s, int index)
{
    std::size_t i = 0;
    for (int k = 0; k < index && i < s.size(); ++k)
        i += CharLength(s, i);
    return i;
}

// Length in bytes of a match of pattern at s[i] ignoring case, or 0.
std::size_t MatchIgnoringCase(const String& s, std::size_t i, const String& pattern)
{
    std::size_t a = i;
    std::size_t b = 0;
    while (b < pattern.size()) {
        if (a >= s.size())
            return 0;
        const std::size_t la = CharLength(s, a);
        const std::size_t lb = CharLength(pattern, b);
        if (Fold(CodePoint(s, a, la)) != Fold(CodePoint(pattern, b, lb)))
            return 0;
        a += la;
        b += lb;
    }
    return a - i;
}

// Reads an integer as the class library does: leading blanks, an optional
// sign, decimal digits or "$"/"0x"/"x" hexadecimal, nothing after. Decimal
// values must fit the range; hexadecimal ones may use all bits of the
// unsigned type and wrap (so "$FFFFFFFF" is -1 for a 32-bit integer).
template <typename T>
bool ParseInteger(const String& s, T& out)
{
    using U = std::make_unsigned_t<T>;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    } else if (i < n && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    }
    if (i >= n)
        return false;
    U value = 0;
    if (hex) {
        for (; i < n; ++i) {
            const char c = s[i];
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<unsigned>(c - 'A' + 10);
            else
                return false;
            if (value > (std::numeric_limits<U>::max() >> 4))
                return false;
            value = static_cast<U>((value << 4) | digit);
        }
        if (negative)
            value = static_cast<U>(U(0) - value);
        out = static_cast<T>(value);
        return true;
    }
    // Decimal: the magnitude may reach max+1 only for a negative number.
    const U limit = negative ? static_cast<U>(static_cast<U>(std::numeric_limits<T>::max()) + 1)
                             : static_cast<U>(std::numeric_limits<T>::max());
    for (; i < n; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (limit - digit) / 10)
            return false;
        value = static_cast<U>(value * 10 + digit);
    }
    if (negative)
        out = value == 0 ? T(0) : static_cast<T>(-static_cast<T>(value - 1) - 1);
    else
        out = static_cast<T>(value);
    return true;
}

[[noreturn]] void RaiseNotInteger(const String& s)
{
    throw EConvertError("'" + s + "' is not a valid integer value");
}

template <typename T>
T IntegerOrRaise(const String& s)
{
    T v = 0;
    if (!ParseInteger(s, v))
        RaiseNotInteger(s);
    return v;
}

template <typename T>
T IntegerOrDefault(const String& s, T def)
{
    T v = 0;
    return ParseInteger(s, v) ? v : def;
}

// value is only written on success.
template <typename T>
bool TryInteger(const String& s, T& value)
{
    T v = 0;
    if (!ParseInteger(s, v))
        return false;
    value = v;
    return true;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// Where the text between leading and trailing blanks begins and ends.
struct TNonBlank {
    std::size_t b, e;
};

TNonBlank NonBlankSpan(const String& s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return {b, e};
}

// "1.5e+20" from the C library form to the class library's "1.5E20":
// capital E, no plus sign, no leading zeros in the exponent.
String TidyExponent(String s)
{
    const std::size_t e = s.find_first_of("eE");
    if (e == String::npos)
        return s;
    String mant = s.substr(0, e);
    String exp = s.substr(e + 1);
    String sign;
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
        if (exp[0] == '-')
            sign = "-";
        exp.erase(0, 1);
    }
    const std::size_t nz = exp.find_first_not_of('0');
    exp = nz == String::npos ? "0" : exp.substr(nz);
    return mant + "E" + sign + exp;
}

String ReplaceDecimalPoint(String s, const TFormatSettings& settings)
{
    const std::size_t p = s.find('.');
    if (p != String::npos)
        s.replace(p, 1, settings.DecimalSeparator);
    return s;
}

String NonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// printf-style conversion without the C library's locale.
String ToChars(double value, std::chars_format fmt, int precision)
{
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
    if (r.ec != std::errc())
        return NonFinite(value);
    return String(buf, r.ptr);
}

String GeneralFloat(double value, int precision, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return NonFinite(value);
    return ReplaceDecimalPoint(TidyExponent(ToChars(value, std::chars_format::general, precision)),
                               settings);
}

} // namespace

String AnsiUpperCase(const String& s)
{
    // Filters upper-case a cell of every row; most cells are plain ASCII,
    // which needs no trip through UTF-16.
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        String r = s;
        for (char& c : r)
            c = AsciiUpper(c);
        return r;
    }
    return FromQ(ToQ(s).toUpper());
}

String AnsiLowerCase(const String& s)
{
    return FromQ(ToQ(s).toLower());
}

int AnsiCompareText(const String& a, const String& b)
{
    // Case-folded and compared by character, so the order does not depend on
    // the machine's collation and sorted files stay sorted everywhere.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t la = CharLength(a, i);
        const std::size_t lb = CharLength(b, j);
        const char32_t ca = Fold(CodePoint(a, i, la));
        const char32_t cb = Fold(CodePoint(b, j, lb));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        i += la;
        j += lb;
    }
    return static_cast<int>(i < a.size()) - static_cast<int>(j < b.size());
}

int AnsiCompareStr(const String& a, const String& b)
{
    // UTF-8 byte order is code point order.
    return Sign(a.compare(b));
}

bool AnsiSameText(const String& a, const String& b)
{
    return AnsiCompareText(a, b) == 0;
}

bool AnsiSameStr(const String& a, const String& b)
{
    return a == b;
}

bool SameText(const String& a, const String& b)
{
    return AnsiSameText(a, b);
}

String AnsiCaseKey(const String& s)
{
    // The folded characters as AnsiCompareText compares them, three bytes
    // each (stray bytes fold to values above U+10FFFF, which still fit).
    String key;
    key.reserve(s.size() * 3);
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            // ASCII folds to its lower case.
            key.push_back('\0');
            key.push_back('\0');
            key.push_back(AsciiLower(static_cast<char>(b)));
            ++i;
            continue;
        }
        const std::size_t len = CharLength(s, i);
        const char32_t c = Fold(CodePoint(s, i, len));
        key.push_back(static_cast<char>((c >> 16) & 0xFF));
        key.push_back(static_cast<char>((c >> 8) & 0xFF));
        key.push_back(static_cast<char>(c & 0xFF));
        i += len;
    }
    return key;
}

String UpperCase(const String& s)
{
    String r = s;
    for (char& c : r)
        c = AsciiUpper(c);
    return r;
}

String LowerCase(const String& s)
{
    String r = s;
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

int CompareText(const String& a, const String& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const int cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size());
}

int CompareStr(const String& a, const String& b)
{
    return Sign(a.compare(b));
}

int Length(const String& s)
{
    int n = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        ++n;
    return n;
}

String Copy(const String& s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count < 1)
        return String();
    const std::size_t b = ByteOffset(s, index - 1);
    std::size_t e = b;
    for (int k = 0; k < count && e < s.size(); ++k)
        e += CharLength(s, e);
    return s.substr(b, e - b);
}

int Pos(const String& sub, const String& s)
{
    if (sub.empty())
        return 0;
    int index = 1;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i), ++index)
        if (s.compare(i, sub.size(), sub) == 0)
            return index;
    return 0;
}

String IntToStr(int value)
{
    return std::to_string(value);
}

String IntToStr(Int64 value)
{
    return std::to_string(value);
}

int StrToInt(const String& s)
{
    return IntegerOrRaise<int>(s);
}

int StrToIntDef(const String& s, int def)
{
    return IntegerOrDefault(s, def);
}

bool TryStrToInt(const String& s, int& value)
{
    return TryInteger(s, value);
}

Int64 StrToInt64(const String& s)
{
    return IntegerOrRaise<Int64>(s);
}

Int64 StrToInt64Def(const String& s, Int64 def)
{
    return IntegerOrDefault(s, def);
}

bool TryStrToInt64(const String& s, Int64& value)
{
    return TryInteger(s, value);
}

String Trim(const String& s)
{
    const auto [b, e] = NonBlankSpan(s);
    return s.substr(b, e - b);
}

String TrimLeft(const String& s)
{
    std::size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    return s.substr(b);
}

String TrimRight(const String& s)
{
    std::size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return s.substr(0, e);
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     TReplaceFlags flags)
{
    if (oldPattern.empty())
        return s;
    const bool all = flags.Contains(rfReplaceAll);
    const bool ignoreCase = flags.Contains(rfIgnoreCase);
    String r;
    r.reserve(s.size());
    std::size_t i = 0;
    bool replaced = false;
    while (i < s.size()) {
        if (!replaced || all) {
            const std::size_t m = ignoreCase ? MatchIgnoringCase(s, i, oldPattern)
                                             : (s.compare(i, oldPattern.size(), oldPattern) == 0
                                                    ? oldPattern.size()
                                                    : 0);
            if (m > 0) {
                r += newPattern;
                i += m;
                replaced = true;
                continue;
            }
        } else {
            r.append(s, i, String::npos);
            break;
        }
        const std::size_t len = CharLength(s, i);
        r.append(s, i, len);
        i += len;
    }
    return r;
}

Int64 Trunc(double x)
{
    // The range check keeps the conversion defined; a value this large is
    // a fault of the caller, as with the class library.
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0))
        throw ERangeError("Floating point value out of range");
    return static_cast<Int64>(x);
}

double Frac(double x)
{
    return x - std::trunc(x);
}

Int64 Round(double x)
{
    const double f = std::floor(x);
    const double diff = x - f;
    double r;
    if (diff > 0.5)
        r = f + 1;
    else if (diff < 0.5)
        r = f;
    else
        r = std::fmod(f, 2.0) == 0 ? f : f + 1;
    return Trunc(r);
}

String FloatToStr(double value)
{
    return FloatToStr(value, FormatSettings);
}

String FloatToStr(double value, const TFormatSettings& settings)
{
    if (value == 0)
        value = 0;  // no "-0"
    return GeneralFloat(value, 15, settings);
}

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings)
{
    const auto [b, e] = NonBlankSpan(s);
    if (e - b > 1000)
        return false;
    // Rebuilt in the one form from_chars reads: sign, digits, ".", exponent.
    String text;
    std::size_t i = b;
    if (i < e && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            text += '-';
        ++i;
    }
    int digits = 0;
    bool leadingZerosOnly = true;
    while (i < e && s[i] >= '0' && s[i] <= '9') {
        if (s[i] != '0')
            leadingZerosOnly = false;
        text += s[i++];
        ++digits;
    }
    const String& sep = settings.DecimalSeparator;
    if (!sep.empty() && s.compare(i, sep.size(), sep) == 0 && i + sep.size() <= e) {
        i += sep.size();
        text += '.';
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    bool negativeExponent = false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        text += 'e';
        if (i < e && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            text += s[i++];
        }
        int expDigits = 0;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            text += s[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != e)
        return false;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ptr != text.data() + text.size())
        return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large is an error.
        if (!negativeExponent && !leadingZerosOnly)
            return false;
        v = 0;
    } else if (r.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

bool TryStrToFloat(const String& s, double& value)
{
    return TryStrToFloat(s, value, FormatSettings);
}

double StrToFloat(const String& s, const TFormatSettings& settings)
{
    double v = 0;
    if (!TryStrToFloat(s, v, settings))
        throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

double StrToFloat(const String& s)
{
    return StrToFloat(s, FormatSettings);
}

double StrToFloatDef(const String& s, double def, const TFormatSettings& settings)
{
    double v = 0;
    return TryStrToFloat(s, v, settings) ? v : def;
}

double StrToFloatDef(const String& s, double def)
{
    return StrToFloatDef(s, def, FormatSettings);
}

// ---------------------------------------------------------------- Format

namespace {

// Widths and precisions beyond this are a malformed format, not a request for
// megabytes of blanks.
constexpr int kMaxFormatWidth = 1024;

[[noreturn]] void RaiseBadFormat(const String& format)
{
    throw EConvertError("Format '" + format + "' invalid or incompatible with argument");
}

String PadField(String text, int width, bool leftAlign)
{
    const int len = Length(text);
    if (width > len) {
        const String pad(static_cast<std::size_t>(width - len), ' ');
        text = leftAlign ? text + pad : pad + text;
    }
    return text;
}

String GroupThousands(const String& fixed, const TFormatSettings& settings)
{
    // fixed is "[-]digits[.digits]".
    std::size_t start = (!fixed.empty() && fixed[0] == '-') ? 1 : 0;
    std::size_t point = fixed.find('.');
    if (point == String::npos)
        point = fixed.size();
    String intPart = fixed.substr(start, point - start);
    String grouped;
    const std::size_t n = intPart.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0 && (n - k) % 3 == 0)
            grouped += settings.ThousandSeparator;
        grouped += intPart[k];
    }
    String r = fixed.substr(0, start) + grouped;
    if (point < fixed.size())
        r += settings.DecimalSeparator + fixed.substr(point + 1);
    return r;
}

String ScientificFloat(double value, int precision)
{
    // The class library writes d.dddE+ddd: at least three exponent digits,
    // always a sign; precision counts all significant digits.
    String s = ToChars(value, std::chars_format::scientific, std::max(precision - 1, 0));
    const std::size_t e = s.find('e');
    if (e == String::npos)
        return s;
    String exp = s.substr(e + 1);
    const char sign = exp.empty() ? '+' : exp[0];
    String digits = exp.substr(1);
    while (digits.size() < 3)
        digits = "0" + digits;
    return s.substr(0, e) + "E" + sign + digits;
}

} // namespace

String Format(const String& format, std::initializer_list<TVarRec> args)
{
    return Format(format, args, FormatSettings);
}

String Format(const String& format, std::initializer_list<TVarRec> args,
              const TFormatSettings& settings)
{
    const TVarRec* argv = args.begin();
    const std::size_t argc = args.size();
    std::size_t next = 0;
    String out;
    std::size_t i = 0;
    const std::size_t n = format.size();

    auto readNumber = [&](int& value) {
        value = 0;
        bool any = false;
        while (i < n && format[i] >= '0' && format[i] <= '9') {
            value = value * 10 + (format[i] - '0');
            if (value > kMaxFormatWidth)
                RaiseBadFormat(format);
            ++i;
            any = true;
        }
        return any;
    };
    auto takeArg = [&]() -> const TVarRec& {
        if (next >= argc)
            RaiseBadFormat(format);
        return argv[next++];
    };
    auto starArg = [&]() {
        const TVarRec& a = takeArg();
        if (a.Kind != TVarRec::vtInteger || a.I < 0 || a.I > kMaxFormatWidth)
            RaiseBadFormat(format);
        return static_cast<int>(a.I);
    };

    while (i < n) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Optional argument index "n:".
        {
            const std::size_t save = i;
            int index = 0;
            if (readNumber(index) && i < n && format[i] == ':') {
                ++i;
                if (static_cast<std::size_t>(index) >= argc)
                    RaiseBadFormat(format);
                next = static_cast<std::size_t>(index);
            } else {
                i = save;
            }
        }
        bool leftAlign = false;
        if (i < n && format[i] == '-') {
            leftAlign = true;
            ++i;
        }
        int width = 0;
        if (i < n && format[i] == '*') {
            ++i;
            width = starArg();
        } else {
            readNumber(width);
        }
        int precision = -1;
        if (i < n && format[i] == '.') {
            ++i;
            if (i < n && format[i] == '*') {
                ++i;
                precision = starArg();
            } else {
                readNumber(precision);
            }
        }
        if (i >= n)
            RaiseBadFormat(format);
        const char type = AsciiLower(format[i++]);
        const TVarRec& a = takeArg();
        String field;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            bool negative = false;
            UInt64 magnitude = 0;
            if (a.Kind == TVarRec::vtInteger) {
                if (type == 'd') {
                    negative = a.I < 0;
                    magnitude = negative ? UInt64(0) - static_cast<UInt64>(a.I)
                                         : static_cast<UInt64>(a.I);
                } else if (a.I < 0 && a.I >= std::numeric_limits<std::int32_t>::min()) {
                    // A negative 32-bit value shows its bits, as the class
                    // library's integers do.
                    magnitude = static_cast<std::uint32_t>(a.I);
                } else {
                    magnitude = static_cast<UInt64>(a.I);
                }
            } else if (a.Kind == TVarRec::vtUnsigned) {
                magnitude = a.U;
            } else {
                RaiseBadFormat(format);
            }
            char buf[32];
            auto r = std::to_chars(buf, buf + sizeof buf, magnitude, type == 'x' ? 16 : 10);
            String digits(buf, r.ptr);
            if (type == 'x')
                digits = UpperCase(digits);
            if (precision > static_cast<int>(digits.size()))
                digits = String(static_cast<std::size_t>(precision) - digits.size(), '0') + digits;
            field = (negative ? "-" : "") + digits;
            break;
        }
        case 'f':
        case 'n':
        case 'g':
        case 'e': {
            double v;
            if (a.Kind == TVarRec::vtFloat)
                v = a.D;
            else if (a.Kind == TVarRec::vtInteger)
                v = static_cast<double>(a.I);
            else if (a.Kind == TVarRec::vtUnsigned)
                v = static_cast<double>(a.U);
            else
                RaiseBadFormat(format);
            if (!std::isfinite(v)) {
                field = NonFinite(v);
            } else if (type == 'f' || type == 'n') {
                const String fixed = ToChars(v, std::chars_format::fixed,
                                             precision < 0 ? 2 : std::min(precision, 18));
                field = type == 'n' ? GroupThousands(fixed, settings)
                                    : ReplaceDecimalPoint(fixed, settings);
            } else if (type == 'g') {
                field = GeneralFloat(v, precision <= 0 ? 15 : std::min(precision, 18), settings);
            } else {
                field = ReplaceDecimalPoint(
                    ScientificFloat(v, precision <= 0 ? 15 : std::min(precision, 18)), settings);
            }
            break;
        }
        case 's':
            if (a.Kind != TVarRec::vtString)
                RaiseBadFormat(format);
            field = precision >= 0 ? Copy(a.S, 1, precision) : a.S;
            break;
        default:
            RaiseBadFormat(format);
        }
        out += PadField(std::move(field), width, leftAlign);
    }
    return out;
}

String ExpandFileName(const String& FileName)
{
    if (FileName.empty())
        return FileName;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(FileName), ec);
    if (ec)
        p = std::filesystem::path(FileName);
    String r = p.lexically_normal().string();
    // "dir/." normalises to "dir/": a file name has no trailing separator.
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    return r;
}

Cardinal GetCurrentProcessId() { return static_cast<Cardinal>(::getpid()); }
