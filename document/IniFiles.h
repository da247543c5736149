#pragma once
// Ini files: sections of key=value lines. The in-memory one holds the whole
// file, loaded at once (compressed or plain text) and written back at once;
// documents, undo snapshots, network messages, settings and language files
// are all such files.
//
// Names of sections and keys compare without regard to case and the first
// match wins: a repeated section or key stays in the file but is never seen
// by a lookup. Lines are kept exactly as read.
#include "platform/Classes.h"
#include "platform/StringList.h"
#include "platform/Types.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TCustomIniFile : public TObject {
    VEK_DECLARE_CLASS(TCustomIniFile, TObject)

public:
    explicit TCustomIniFile(const String& FileName) : FFileName(FileName) {}

    const String& FileName() const { return FFileName; }

    virtual String ReadString(const String& Section, const String& Ident, const String& Default) const = 0;
    virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
    // Decimal, "$" or "0x" hexadecimal; anything else, and an empty or
    // missing value, gives the default.
    virtual int ReadInteger(const String& Section, const String& Ident, int Default) const;
    virtual void WriteInteger(const String& Section, const String& Ident, int Value);
    // Any non-zero number is true; written as "1" and "0".
    virtual bool ReadBool(const String& Section, const String& Ident, bool Default) const;
    virtual void WriteBool(const String& Section, const String& Ident, bool Value);
    // In the regional formats of the global FormatSettings; a value that
    // does not convert gives the default.
    virtual TDateTime ReadDate(const String& Section, const String& Ident, TDateTime Default) const;
    virtual TDateTime ReadDateTime(const String& Section, const String& Ident, TDateTime Default) const;
    virtual double ReadFloat(const String& Section, const String& Ident, double Default) const;
    virtual TDateTime ReadTime(const String& Section, const String& Ident, TDateTime Default) const;
    virtual void WriteDate(const String& Section, const String& Ident, TDateTime Value);
    // The date, then a blank and the time only when the time of day is not 0.
    virtual void WriteDateTime(const String& Section, const String& Ident, TDateTime Value);
    virtual void WriteFloat(const String& Section, const String& Ident, double Value);
    virtual void WriteTime(const String& Section, const String& Ident, TDateTime Value);

    // Each clears Strings first; a missing section leaves it empty.
    virtual void ReadSection(const String& Section, TStrings& Strings) const = 0;
    virtual void ReadSections(TStrings& Strings) const = 0;
    virtual void ReadSectionValues(const String& Section, TStrings& Strings) const = 0;
    virtual void EraseSection(const String& Section) = 0;
    virtual void DeleteKey(const String& Section, const String& Ident) = 0;

    bool ValueExists(const String& Section, const String& Ident) const;

protected:
    String FFileName;
};

// Case-insensitive hashing and equality of section and key names, agreeing
// with the string lists' comparison.
struct TIniNameHash {
    std::size_t operator()(std::string_view s) const;
};
struct TIniNameEqual {
    bool operator()(std::string_view a, std::string_view b) const;
};

// One section: its name as written in the header and its lines as read.
class TIniSection : public TObject {
    VEK_DECLARE_CLASS(TIniSection, TObject)

public:
    explicit TIniSection(const String& name) : Name(name) {}

    const String Name;
    const std::vector<String>& Lines() const { return FLines; }

private:
    friend class TMemIniFile;

    // Index of the first line with the key, -1 when none.
    int IndexOfKey(const String& key) const;
    void Append(String line);
    void Replace(int index, String line);
    void Delete(int index);

    std::vector<String> FLines;
    // Large sections (language files, settings lists) keep an index of their
    // keys: key -> first line. Built on the first lookup, dropped when lines
    // move.
    mutable std::unique_ptr<std::unordered_map<String, int, TIniNameHash, TIniNameEqual>> FKeys;
    // Next section of the same name, in file order; and, kept on the first
    // section of a name only, the last one (null when it is the only one).
    TIniSection* FNextSameName = nullptr;
    TIniSection* FLastSameName = nullptr;
    std::list<TIniSection>::iterator FSelf;
};

class TMemIniFile : public TCustomIniFile {
    VEK_DECLARE_CLASS(TMemIniFile, TCustomIniFile)

public:
    // Loads the file when the name is set and the file exists; raises the
    // stream error when it exists but cannot be read.
    explicit TMemIniFile(const String& FileName = String());
    ~TMemIniFile() override;

    String ReadString(const String& Section, const String& Ident, const String& Default) const override;
    // Line breaks inside the value become blanks, so the line stays one line
    // in the file.
    void WriteString(const String& Section, const String& Ident, const String& Value) override;
    void ReadSection(const String& Section, TStrings& Strings) const override;
    void ReadSections(TStrings& Strings) const override;
    void ReadSectionValues(const String& Section, TStrings& Strings) const override;
    void EraseSection(const String& Section) override;
    void DeleteKey(const String& Section, const String& Ident) override;

    // Appends a new, empty section, even when one of that name exists.
    TIniSection& AddSection(const String& Section);
    void Clear();
    // The whole ini as lines: per section its header, its lines and an empty line.
    void GetStrings(TStrings& List) const;
    // Replaces everything by the sections parsed from the lines.
    void SetStrings(const TStrings& List);
    // The same as one text, lines ending in CR LF; and parsing a text whose
    // lines end in CR LF, LF or CR.
    String GetText() const;
    void SetText(const String& Text);
    // Reloads from FileName; a missing file or an empty name gives an empty ini.
    void LoadValues();
    // The bytes of a file: a compressed stream, or else plain text.
    void LoadFromBytes(const std::string& Bytes);
    // Writes the whole ini to FileName, compressed or as plain text, through
    // a temporary file renamed over the old one; errors are raised.
    void UpdateFile(bool Compressed);

    // Section names in file order, each with its TIniSection as object. A
    // view rebuilt after changes; valid until the next change of sections.
    const TStrings& Sections() const;
    int SectionCount() const { return int(FSectionList.size()); }

private:
    // First section of the name, or null.
    TIniSection* FindSection(const String& Section) const;
    void RemoveSection(TIniSection* section);
    void ParseLine(TIniSection*& current, std::string_view line);

    std::list<TIniSection> FSectionList;
    // Name (a view of the first section's Name) -> first section of that name.
    std::unordered_map<std::string_view, TIniSection*, TIniNameHash, TIniNameEqual> FIndex;
    mutable std::unique_ptr<TStringList> FSections;
    // The section found last: documents are read and written section by
    // section, key after key. Always the first section of its name.
    mutable TIniSection* FLastFound = nullptr;
};
