#pragma once
// String and number helpers of the class library. Text is UTF-8. The "Ansi"
// routines are the Unicode-aware ones; UpperCase, LowerCase and CompareText
// treat only the ASCII letters. Copy, Pos and Length count characters (code
// points); a byte that is not valid UTF-8 counts as one character.
#include "platform/Types.h"

#include <initializer_list>
#include <type_traits>

struct TFormatSettings;

// Unicode-aware case mapping and comparison.
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
// Negative, zero or positive, ignoring case. The order is that of the
// case-folded characters, the same on every machine.
int AnsiCompareText(const String& a, const String& b);
// Negative, zero or positive, case counts.
int AnsiCompareStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
// Case-insensitive equality for any letters.
bool SameText(const String& a, const String& b);
// A key equal for two texts exactly when AnsiSameText holds for them, for
// hashing texts that are compared without regard to case.
String AnsiCaseKey(const String& s);

// ASCII-only case mapping and comparison (bytes above 127 are left alone).
String UpperCase(const String& s);
String LowerCase(const String& s);
int CompareText(const String& a, const String& b);
int CompareStr(const String& a, const String& b);

// Characters of s (code points).
int Length(const String& s);
// count characters from the index-th (from 1); an index below 1 counts from
// the first, an index past the end or a count below 1 gives "".
String Copy(const String& s, int index, int count);
// Index (from 1, in characters) of the first occurrence of sub in s; 0 when
// there is none or sub is empty.
int Pos(const String& sub, const String& s);

String IntToStr(int value);
String IntToStr(Int64 value);
// Leading blanks, a sign and "$", "0x" or "x" hexadecimal are accepted;
// anything after the number is an error. A hexadecimal text may use every bit
// ("$FFFFFFFF" is -1); a decimal one must lie in the range.
int StrToInt(const String& s);
int StrToIntDef(const String& s, int def);
bool TryStrToInt(const String& s, int& value);
Int64 StrToInt64(const String& s);
Int64 StrToInt64Def(const String& s, Int64 def);
bool TryStrToInt64(const String& s, Int64& value);

// Remove the characters up to and including the blank (so control
// characters too) from the ends.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// The file name made absolute (against the current folder) and normalised:
// "." and ".." steps and doubled separators are gone, so "./x" and "x" name
// one file by one text. Symbolic links are left as they are. Empty stays
// empty.
String ExpandFileName(const String& FileName);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
struct TReplaceFlags {
    unsigned Bits = 0;
    TReplaceFlags() = default;
    TReplaceFlags(std::initializer_list<TReplaceFlag> flags)
    {
        for (TReplaceFlag f : flags)
            Bits |= static_cast<unsigned>(f);
    }
    bool Contains(TReplaceFlag f) const { return (Bits & static_cast<unsigned>(f)) != 0; }
};
// Replaces the first (or with rfReplaceAll every) occurrence of oldPattern;
// rfIgnoreCase matches letters of any case. An empty pattern replaces nothing.
String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     TReplaceFlags flags = {});

// Number rounding of the class library.
Int64 Trunc(double x);  // toward zero
double Frac(double x);  // x - Trunc(x), sign of x
Int64 Round(double x);  // to nearest, a half to the even neighbour

// Floating-point text: up to 15 significant digits, the shortest form, the
// exponent written as in "1E20" or "1E-5"; the decimal separator of the
// settings. Reading accepts blanks around the number, a sign, digits with
// the decimal separator and an exponent; nothing else.
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double def);
double StrToFloatDef(const String& s, double def, const TFormatSettings& settings);
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);

// One argument of Format: an integer, a floating-point number or a text.
class TVarRec {
public:
    enum TKind { vtInteger, vtUnsigned, vtFloat, vtString };

    template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> &&
                                               !std::is_same_v<T, char>,
                                           int> = 0>
    TVarRec(T v) : Kind(vtInteger), I(static_cast<Int64>(v))
    {
    }
    template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_signed_v<T> &&
                                               !std::is_same_v<T, bool> && !std::is_same_v<T, char>,
                                           int> = 0>
    TVarRec(T v) : Kind(vtUnsigned), U(static_cast<UInt64>(v))
    {
    }
    TVarRec(bool) = delete;
    TVarRec(char v) : Kind(vtString), S(1, v) {}
    TVarRec(double v) : Kind(vtFloat), D(v) {}
    TVarRec(float v) : Kind(vtFloat), D(v) {}
    TVarRec(const char* v) : Kind(vtString), S(v ? v : "") {}
    TVarRec(const String& v) : Kind(vtString), S(v) {}

    TKind Kind;
    Int64 I = 0;
    UInt64 U = 0;
    double D = 0;
    String S;
};

// Formats as the class library does: "%" [index ":"] ["-"] [width] ["." prec]
// type, with the types d, u, x (integers), f, n, g, e (numbers; n groups
// thousands), s (text) and "%%". A specifier that does not fit its argument,
// or a missing argument, raises EConvertError.
String Format(const String& format, std::initializer_list<TVarRec> args);
String Format(const String& format, std::initializer_list<TVarRec> args,
              const TFormatSettings& settings);

// The id of this process.
Cardinal GetCurrentProcessId();

// Dates, times and the format settings belong to the same family of helpers.
#include "platform/DateUtils.h"
#include "platform/FormatSettings.h"
