#pragma once
// The clipboard formats trees can render: one process-wide list ordered by
// priority (lower = preferred). Format ids and names are the clipboard's
// (platform/Clipbrd.h).
#include <vector>

#include "platform/Classes.h"
#include "platform/Clipbrd.h"
#include "platform/StringList.h"

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
