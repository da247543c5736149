#pragma once
// The clipboard formats trees can render: one process-wide list ordered by
// priority (lower = preferred), and the registry of format names and ids
// that the system clipboard keeps (ids 1 - 16 are the standard formats,
// names registered by the program get ids from 0xC000 up; the same name in
// any case gives the same id).
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"

using TClipFormat = Word;

// Standard formats.
constexpr TClipFormat CF_TEXT = 1;
constexpr TClipFormat CF_UNICODETEXT = 13;
constexpr TClipFormat CF_MAX_STANDARD = 16;

// Fields of a format descriptor.
constexpr Cardinal DVASPECT_CONTENT = 1;
constexpr Cardinal TYMED_HGLOBAL = 1;

struct TFormatEtc {
    TClipFormat cfFormat = 0;
    void* ptd = nullptr;  // target device
    Cardinal dwAspect = DVASPECT_CONTENT;
    int lindex = -1;
    Cardinal tymed = TYMED_HGLOBAL;
};

// The id of Name, registered on first use; 0 for an empty name or when no
// id is left. Names longer than the registry keeps are cut to
// MaxClipboardFormatName characters.
constexpr int MaxClipboardFormatName = 2048;
TClipFormat RegisterClipboardFormat(const String& Name);
// The name of a registered id ("" for a standard or unknown one).
String GetClipboardFormatName(TClipFormat Format);
// The name the format list shows for Format: the standard formats' own
// names ("Plain text", "Unicode text", ...), else the registered name.
String ClipboardFormatDescription(TClipFormat Format);

struct TClipboardFormatListEntry {
    String Description;
    TClass TreeClass = nullptr;  // the least derived tree class that can render it
    Cardinal Priority = 0;
    TFormatEtc FormatEtc;
};

class TClipboardFormatList {
public:
    // Adds an entry and keeps the list sorted by ascending priority.
    void Add(const TClipboardFormatListEntry& Entry);
    // Frees all entries.
    void Clear();
    int Count() const { return int(FList.size()); }
    const TClipboardFormatListEntry& Entry(int Index) const { return FList.at(std::size_t(Index)); }

    // The descriptors of the entries TreeClass can render (its own class or
    // an ancestor's) and, with AllowedFormats, whose name is in that list;
    // in priority order.
    void EnumerateFormats(TClass TreeClass, std::vector<TFormatEtc>& Formats,
        const TStrings* AllowedFormats = nullptr) const;
    // The tree class of the format named Name (any case), searching from the
    // end; null when there is none. FormatId gets the entry's id.
    TClass FindFormat(const String& Name, TClipFormat& FormatId) const;
    TClass FindFormat(const String& Name) const;

private:
    std::vector<TClipboardFormatListEntry> FList;
};

// The process-wide list, with the tree-grid unit started.
TClipboardFormatList& ClipboardFormatList();

// Registers Description as a clipboard format, enters it in the list and
// returns its id (0, and no entry, for an empty description).
TClipFormat RegisterTGClipboardFormat(const String& Description, TClass TreeClass, Cardinal Priority,
    Cardinal Tymed = TYMED_HGLOBAL, void* TargetDevice = nullptr, Cardinal Aspect = DVASPECT_CONTENT,
    int Index = -1);
// Enters an existing format: standard ids take their own names, others the
// registered name. An id without a name is not entered; the result is then 0.
TClipFormat RegisterTGClipboardFormat(TClipFormat Format, TClass TreeClass, Cardinal Priority);
