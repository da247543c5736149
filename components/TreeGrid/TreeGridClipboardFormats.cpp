// The tree-grid unit's list of clipboard formats.
#include "components/TreeGrid/TreeGridClipboardFormats.h"

#include <algorithm>

#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/SysUtils.h"

namespace {

const char* const StandardNames[CF_MAX_STANDARD] = {"Plain text", "Windows bitmap", "Windows metafile",
    "Symbolic link", "Data interchange format", "Tiff image", "OEM text", "DIB image", "Palette data",
    "Pen data", "Riff audio data", "Wav audio data", "Unicode text", "Enhanced metafile image", "File name(s)",
    "Locale descriptor"};

// The list as it is, without starting the unit (the unit's start-up fills it).
TClipboardFormatList& RawList()
{
    static TClipboardFormatList list;
    return list;
}

}  // namespace

String ClipboardFormatDescription(TClipFormat Format)
{
    if (Format >= 1 && Format <= CF_MAX_STANDARD)
        return StandardNames[Format - 1];
    return GetClipboardFormatName(Format);
}

// ---------------------------------------------------------------------------

void TClipboardFormatList::Add(const TClipboardFormatListEntry& Entry)
{
    // Registering a format again for the same trees updates it; a second
    // entry would offer the format twice.
    const auto same = std::find_if(FList.begin(), FList.end(), [&](const TClipboardFormatListEntry& E) {
        return E.FormatEtc.cfFormat == Entry.FormatEtc.cfFormat && E.TreeClass == Entry.TreeClass;
    });
    if (same != FList.end())
        FList.erase(same);
    FList.push_back(Entry);
    std::stable_sort(FList.begin(), FList.end(),
        [](const TClipboardFormatListEntry& A, const TClipboardFormatListEntry& B) { return A.Priority < B.Priority; });
}

void TClipboardFormatList::Clear() { FList.clear(); }

void TClipboardFormatList::EnumerateFormats(TClass TreeClass, std::vector<TFormatEtc>& Formats,
    const TStrings* AllowedFormats) const
{
    Formats.clear();
    if (!TreeClass)
        return;
    for (const TClipboardFormatListEntry& e : FList) {
        if (!e.TreeClass || !TreeClass->InheritsFrom(e.TreeClass))
            continue;
        if (AllowedFormats && AllowedFormats->IndexOf(e.Description) < 0)
            continue;
        // A format registered for an ancestor and again for a descendant
        // is offered once, at its better priority.
        if (std::any_of(Formats.begin(), Formats.end(),
                [&](const TFormatEtc& F) { return F.cfFormat == e.FormatEtc.cfFormat; }))
            continue;
        Formats.push_back(e.FormatEtc);
    }
}

TClass TClipboardFormatList::FindFormat(const String& Name, TClipFormat& FormatId) const
{
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
        if (AnsiSameText(it->Description, Name)) {
            FormatId = it->FormatEtc.cfFormat;
            return it->TreeClass;
        }
    return nullptr;
}

TClass TClipboardFormatList::FindFormat(const String& Name) const
{
    TClipFormat id = 0;
    return FindFormat(Name, id);
}

TClipboardFormatList& ClipboardFormatList()
{
    InitializeGlobalStructures();
    return RawList();
}

TClipFormat RegisterTGClipboardFormat(const String& Description, TClass TreeClass, Cardinal Priority,
    Cardinal Tymed, void* TargetDevice, Cardinal Aspect, int Index)
{
    const TClipFormat id = RegisterClipboardFormat(Description);
    if (id == 0)
        return 0;
    TClipboardFormatListEntry e;
    e.Description = Description;
    e.TreeClass = TreeClass;
    e.Priority = Priority;
    e.FormatEtc.cfFormat = id;
    e.FormatEtc.ptd = TargetDevice;
    e.FormatEtc.dwAspect = Aspect;
    e.FormatEtc.lindex = Index;
    e.FormatEtc.tymed = Tymed;
    RawList().Add(e);
    return id;
}

TClipFormat RegisterTGClipboardFormat(TClipFormat Format, TClass TreeClass, Cardinal Priority)
{
    const String name = ClipboardFormatDescription(Format);
    if (name.empty())
        return 0;
    TClipboardFormatListEntry e;
    e.Description = name;
    e.TreeClass = TreeClass;
    e.Priority = Priority;
    e.FormatEtc.cfFormat = Format;
    RawList().Add(e);
    return Format;
}
