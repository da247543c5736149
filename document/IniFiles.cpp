#include "document/IniFiles.h"

#include "document/LZR.h"
#include "platform/AtomicFile.h"
#include "platform/DateUtils.h"
#include "platform/Exceptions.h"
#include "platform/FormatSettings.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

#include <cstring>
#include <filesystem>

namespace {

// Sections with more lines than this keep an index of their keys; below it
// a scan of the few lines is quicker than hashing.
constexpr std::size_t KeyIndexThreshold = 16;

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

inline bool HasNonAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() == b.size()) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const char ca = a[i];
            const char cb = b[i];
            if ((static_cast<unsigned char>(ca) | static_cast<unsigned char>(cb)) & 0x80)
                return AnsiCompareText(String(a), String(b)) == 0;
            if (ca != cb && AsciiLower(ca) != AsciiLower(cb))
                return false;
        }
        return true;
    }
    // Different lengths can only be equal through characters beyond ASCII.
    if (!HasNonAscii(a) && !HasNonAscii(b))
        return false;
    return AnsiCompareText(String(a), String(b)) == 0;
}

// Part of a line before its first "=", or npos when it has none.
inline std::size_t KeyLength(const String& line)
{
    const void* eq = std::memchr(line.data(), '=', line.size());
    return eq ? std::size_t(static_cast<const char*>(eq) - line.data()) : String::npos;
}

void AppendOneLine(String& out, const String& value)
{
    // A line break in a value would end the line in the file and turn the
    // rest into a stray line of the section.
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r') {
            out += ' ';
            if (i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
}

inline bool HasLineBreak(const String& s) { return s.find_first_of("\r\n") != String::npos; }

// A name as it can stand in the file: its line breaks are blanks, as in values.
String OneLine(const String& s)
{
    String out;
    AppendOneLine(out, s);
    return out;
}

} // namespace

std::size_t TIniNameHash::operator()(std::string_view s) const
{
    // FNV-1a over the lower-case form. Names beyond ASCII hash their upper
    // case of the lower case, which is the same for all case variants of a
    // name (the comparison then decides).
    String folded;
    if (HasNonAscii(s)) {
        folded = AnsiUpperCase(AnsiLowerCase(String(s)));
        s = folded;
    }
    std::uint64_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(AsciiLower(c));
        h *= 1099511628211ull;
    }
    return std::size_t(h);
}

bool TIniNameEqual::operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }

// ---------------------------------------------------------------------------
// TCustomIniFile

int TCustomIniFile::ReadInteger(const String& Section, const String& Ident, int Default) const
{
    String s = ReadString(Section, Ident, String());
    if (s.size() >= 3 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = "$" + s.substr(2);
    return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

namespace {

template <class Convert>
double ReadConverted(const TCustomIniFile& ini, const String& Section, const String& Ident, double Default,
                     Convert convert)
{
    const String s = ini.ReadString(Section, Ident, String());
    if (s.empty())
        return Default;
    try {
        return convert(s);
    } catch (const EConvertError&) {
        return Default;
    }
}

} // namespace

TDateTime TCustomIniFile::ReadDate(const String& Section, const String& Ident, TDateTime Default) const
{
    return ReadConverted(*this, Section, Ident, Default, [](const String& s) { return StrToDate(s, FormatSettings); });
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Ident, TDateTime Default) const
{
    return ReadConverted(*this, Section, Ident, Default,
                         [](const String& s) { return StrToDateTime(s, FormatSettings); });
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, double Default) const
{
    return ReadConverted(*this, Section, Ident, Default,
                         [](const String& s) { return StrToFloat(s, FormatSettings); });
}

TDateTime TCustomIniFile::ReadTime(const String& Section, const String& Ident, TDateTime Default) const
{
    return ReadConverted(*this, Section, Ident, Default, [](const String& s) { return StrToTime(s, FormatSettings); });
}

void TCustomIniFile::WriteDate(const String& Section, const String& Ident, TDateTime Value)
{
    WriteString(Section, Ident, DateToStr(Value, FormatSettings));
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Ident, TDateTime Value)
{
    String s = DateToStr(Value, FormatSettings);
    // The time as the texts round it, to the millisecond: a time that rounds
    // to midnight is none.
    int hour, min, sec, msec;
    DecodeTime(Value, hour, min, sec, msec);
    if (hour != 0 || min != 0 || sec != 0 || msec != 0)
        s += " " + TimeToStr(Value, FormatSettings);
    WriteString(Section, Ident, s);
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value, FormatSettings));
}

void TCustomIniFile::WriteTime(const String& Section, const String& Ident, TDateTime Value)
{
    WriteString(Section, Ident, TimeToStr(Value, FormatSettings));
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) const
{
    TStringList keys;
    ReadSection(Section, keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------------------
// TIniSection

int TIniSection::IndexOfKey(const String& key) const
{
    // The key of a line ends at its first "=", so it never holds one.
    if (key.find('=') != String::npos)
        return -1;
    if (HasLineBreak(key))
        return IndexOfKey(OneLine(key));
    if (FLines.size() > KeyIndexThreshold) {
        if (!FKeys) {
            FKeys = std::make_unique<std::unordered_map<String, int, TIniNameHash, TIniNameEqual>>();
            FKeys->reserve(FLines.size());
            for (std::size_t i = 0; i < FLines.size(); ++i) {
                const std::size_t k = KeyLength(FLines[i]);
                if (k != String::npos)
                    FKeys->emplace(FLines[i].substr(0, k), int(i));
            }
        }
        const auto it = FKeys->find(key);
        return it == FKeys->end() ? -1 : it->second;
    }
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const String& line = FLines[i];
        // Quick reject: an ASCII key can only match a line of which it is the
        // prefix, case aside, followed by "=".
        if (line.size() > key.size() && line[key.size()] == '=' && SameName(std::string_view(line).substr(0, key.size()), key))
            return int(i);
        const std::size_t k = KeyLength(line);
        if (k != String::npos && k != key.size() && SameName(std::string_view(line).substr(0, k), key))
            return int(i);
    }
    return -1;
}

void TIniSection::Append(String line)
{
    if (FKeys) {
        const std::size_t k = KeyLength(line);
        if (k != String::npos)
            FKeys->emplace(line.substr(0, k), int(FLines.size()));
    }
    FLines.push_back(std::move(line));
}

void TIniSection::Replace(int index, String line) { FLines[std::size_t(index)] = std::move(line); }

void TIniSection::Delete(int index)
{
    FLines.erase(FLines.begin() + index);
    FKeys.reset();
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const String& FileName) : TCustomIniFile(FileName) { LoadValues(); }

TMemIniFile::~TMemIniFile() { Clear(); }

TIniSection* TMemIniFile::FindSection(const String& Section) const
{
    if (HasLineBreak(Section))
        return FindSection(OneLine(Section));
    if (FLastFound && SameName(FLastFound->Name, Section))
        return FLastFound;
    const auto it = FIndex.find(std::string_view(Section));
    if (it == FIndex.end())
        return nullptr;
    FLastFound = it->second;
    return FLastFound;
}

TIniSection& TMemIniFile::AddSection(const String& Section)
{
    TIniSection& section = FSectionList.emplace_back(Section);
    section.FSelf = std::prev(FSectionList.end());
    const auto [it, inserted] = FIndex.emplace(std::string_view(section.Name), &section);
    if (!inserted) {
        // Through the tail: a file of many sections of one name stays linear.
        TIniSection* first = it->second;
        (first->FLastSameName ? first->FLastSameName : first)->FNextSameName = &section;
        first->FLastSameName = &section;
    }
    FSections.reset();
    return section;
}

void TMemIniFile::RemoveSection(TIniSection* section)
{
    const auto it = FIndex.find(std::string_view(section->Name));
    if (it != FIndex.end()) {
        if (it->second == section) {
            // The key views the removed section's name: re-key on the next one.
            TIniSection* next = section->FNextSameName;
            FIndex.erase(it);
            if (next) {
                next->FLastSameName = section->FLastSameName == next ? nullptr : section->FLastSameName;
                FIndex.emplace(std::string_view(next->Name), next);
            }
        } else {
            TIniSection* first = it->second;
            TIniSection* prev = first;
            while (prev->FNextSameName && prev->FNextSameName != section)
                prev = prev->FNextSameName;
            prev->FNextSameName = section->FNextSameName;
            if (first->FLastSameName == section)
                first->FLastSameName = prev == first ? nullptr : prev;
        }
    }
    FSectionList.erase(section->FSelf);
    FSections.reset();
    FLastFound = nullptr;
}

void TMemIniFile::Clear()
{
    FIndex.clear();
    FSectionList.clear();
    FSections.reset();
    FLastFound = nullptr;
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    const TIniSection* section = FindSection(Section);
    if (!section)
        return Default;
    const int i = section->IndexOfKey(Ident);
    if (i < 0)
        return Default;
    const String& line = section->FLines[std::size_t(i)];
    return line.substr(KeyLength(line) + 1);
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value)
{
    // A line break in a name would split the file on reload, as in a value.
    if (HasLineBreak(Section) || HasLineBreak(Ident)) {
        WriteString(OneLine(Section), OneLine(Ident), Value);
        return;
    }
    TIniSection* section = FindSection(Section);
    if (!section)
        section = &AddSection(Section);
    String line;
    line.reserve(Ident.size() + 1 + Value.size());
    line += Ident;
    line += '=';
    AppendOneLine(line, Value);
    const int i = section->IndexOfKey(Ident);
    if (i >= 0)
        section->Replace(i, std::move(line));
    else
        section->Append(std::move(line));
}

void TMemIniFile::ReadSection(const String& Section, TStrings& Strings) const
{
    Strings.BeginUpdate();
    try {
        Strings.Clear();
        if (const TIniSection* section = FindSection(Section)) {
            for (const String& line : section->FLines) {
                const std::size_t k = KeyLength(line);
                Strings.Add(k == String::npos ? String() : line.substr(0, k));
            }
        }
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& Strings) const
{
    Strings.BeginUpdate();
    try {
        Strings.Clear();
        for (const TIniSection& section : FSectionList)
            Strings.Add(section.Name);
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings& Strings) const
{
    Strings.BeginUpdate();
    try {
        Strings.Clear();
        if (const TIniSection* section = FindSection(Section))
            for (const String& line : section->FLines)
                Strings.Add(line);
    } catch (...) {
        Strings.EndUpdate();
        throw;
    }
    Strings.EndUpdate();
}

void TMemIniFile::EraseSection(const String& Section)
{
    if (TIniSection* section = FindSection(Section))
        RemoveSection(section);
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident)
{
    TIniSection* section = FindSection(Section);
    if (!section)
        return;
    const int i = section->IndexOfKey(Ident);
    if (i >= 0)
        section->Delete(i);
}

void TMemIniFile::GetStrings(TStrings& List) const
{
    List.BeginUpdate();
    try {
        List.Clear();
        for (const TIniSection& section : FSectionList) {
            List.Add("[" + section.Name + "]");
            for (const String& line : section.FLines)
                List.Add(line);
            List.Add(String());
        }
    } catch (...) {
        List.EndUpdate();
        throw;
    }
    List.EndUpdate();
}

String TMemIniFile::GetText() const
{
    std::size_t size = 0;
    for (const TIniSection& section : FSectionList) {
        size += section.Name.size() + 6;
        for (const String& line : section.FLines)
            size += line.size() + 2;
    }
    String text;
    text.reserve(size);
    for (const TIniSection& section : FSectionList) {
        text += '[';
        text += section.Name;
        text += "]\r\n";
        for (const String& line : section.FLines) {
            text += line;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void TMemIniFile::ParseLine(TIniSection*& current, std::string_view line)
{
    if (line.empty() || line[0] == ';')
        return;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        current = &AddSection(String(line.substr(1, line.size() - 2)));
        return;
    }
    // Lines before the first section belong to none and are dropped.
    if (current)
        current->Append(String(line));
}

void TMemIniFile::SetStrings(const TStrings& List)
{
    Clear();
    TIniSection* current = nullptr;
    const int count = List.Count();
    for (int i = 0; i < count; ++i) {
        const String line = List.Get(i);
        ParseLine(current, line);
    }
}

void TMemIniFile::SetText(const String& Text)
{
    Clear();
    TIniSection* current = nullptr;
    const char* p = Text.data();
    const char* const end = p + Text.size();
    while (p < end) {
        const char* e = p;
        while (e < end && *e != '\r' && *e != '\n')
            ++e;
        ParseLine(current, std::string_view(p, std::size_t(e - p)));
        if (e < end && *e == '\r' && e + 1 < end && e[1] == '\n')
            e += 2;
        else if (e < end)
            ++e;
        p = e;
    }
}

void TMemIniFile::LoadFromBytes(const std::string& Bytes)
{
    TLZR lzr;
    std::string text;
    if (lzr.DeCompress(Bytes.data(), Bytes.size(), text))
        SetText(DecodeText(text));
    else
        SetText(DecodeText(Bytes));
}

void TMemIniFile::LoadValues()
{
    // Only a file that is not there gives an empty ini; one that cannot be
    // examined raises, so that the caller does not take it for a new file.
    std::error_code error;
    const auto status = FFileName.empty() ? std::filesystem::file_status()
                                          : std::filesystem::status(FFileName, error);
    if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory)
        throw EFOpenError("Cannot open file \"" + FFileName + "\". " + error.message());
    if (!std::filesystem::is_regular_file(status)) {
        Clear();
        return;
    }
    std::string bytes;
    {
        TFileStream file(FFileName, fmOpenRead | fmShareDenyWrite);
        bytes = file.ReadBytes(file.Remaining());
    }
    LoadFromBytes(bytes);
}

void TMemIniFile::UpdateFile(bool Compressed)
{
    std::string bytes = EncodeText(GetText());
    if (Compressed) {
        TLZR lzr;
        std::string packed;
        // Should compression fail, the plain text is still a valid file.
        if (lzr.Compress(bytes.data(), bytes.size(), packed))
            bytes = std::move(packed);
    }
    WriteFileAtomic(FFileName, bytes);
}

const TStrings& TMemIniFile::Sections() const
{
    if (!FSections) {
        auto list = std::make_unique<TStringList>();
        list->BeginUpdate();
        for (const TIniSection& section : FSectionList)
            list->AddObject(section.Name, const_cast<TIniSection*>(&section));
        list->EndUpdate();
        FSections = std::move(list);
    }
    return *FSections;
}
