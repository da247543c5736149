// Start and end of the tree-grid unit.
#include "components/TreeGrid/TreeGridUnit.h"

#include <atomic>
#include <mutex>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/Forms.h"

namespace {

struct TUnitState {
    std::recursive_mutex Lock;
    std::atomic<bool> Initialized{false};
    bool Starting = false;
    bool FormatsRegistered = false;
    TClipFormat Reference = 0;
    TClipFormat Data = 0;
    std::unique_ptr<TTGImageList> LightCheck, DarkCheck, LightTick, DarkTick, Flat, XP, Utility;
    std::unique_ptr<TTGImageList> System, SystemFlat;
    std::unique_ptr<TTGCursorImage> HeaderSplit, VertSplit;
};

// Made on first use, never by the order of global constructors.
TUnitState& State()
{
    static TUnitState state;
    return state;
}

std::unique_ptr<TTGImageList> LoadList(const char* Name, bool MapColours)
{
    auto list = std::make_unique<TTGImageList>(16, 16);
    ConvertImageList(list.get(), Name, MapColours);
    return list;
}

void RegisterFormats(TUnitState& S)
{
    if (S.FormatsRegistered)
        return;
    S.FormatsRegistered = true;
    // Other programs see the program's own formats under these types.
    S.Data = RegisterClipboardFormat("Tree Grid Data", "application/x-vek-tree-grid-data");
    RegisterClipboardFormat("Rich Text Format Without Objects", "application/x-vek-rtf-without-objects");
    const TClass anyTree = TBaseTreeGrid::StaticClassInfo();
    const TClass stringTree = TCustomStringTreeGrid::StaticClassInfo();
    RegisterTGClipboardFormat("Tree Grid Data", anyTree, 50);
    RegisterTGClipboardFormat("HTML Format", stringTree, 80);
    RegisterTGClipboardFormat("Rich Text Format Without Objects", stringTree, 84);
    RegisterTGClipboardFormat("Rich Text Format", stringTree, 85);
    RegisterTGClipboardFormat("CSV", stringTree, 90);
    RegisterTGClipboardFormat(CF_UNICODETEXT, stringTree, 95);
    RegisterTGClipboardFormat(CF_TEXT, stringTree, 100);
}

void Start(TUnitState& s);

TUnitState& Ready()
{
    TUnitState& s = State();
    if (!s.Initialized.load(std::memory_order_acquire))
        InitializeGlobalStructures();
    return s;
}

}  // namespace

void InitializeGlobalStructures()
{
    TUnitState& s = State();
    const std::lock_guard<std::recursive_mutex> guard(s.Lock);
    if (s.Initialized.load(std::memory_order_relaxed) || s.Starting)
        return;  // done, or being done further up this thread's stack
    s.Starting = true;
    try {
        Start(s);
    } catch (...) {
        s.Starting = false;
        FinalizeGlobalStructures();
        throw;
    }
    s.Starting = false;
    s.Initialized.store(true, std::memory_order_release);
}

namespace {

void Start(TUnitState& s)
{
    // The timer resolution and OLE of other systems need nothing here:
    // timers are precise and data transfer needs no start-up.
    s.Reference = RegisterClipboardFormat("Tree Grid Reference", "application/x-vek-tree-grid-reference");
    s.LightCheck = LoadList("TG_CHECK_LIGHT", false);
    s.DarkCheck = LoadList("TG_CHECK_DARK", false);
    s.LightTick = LoadList("TG_TICK_LIGHT", false);
    s.DarkTick = LoadList("TG_TICK_DARK", false);
    s.Flat = LoadList("TG_FLAT", true);
    s.XP = LoadList("TG_XP", false);
    s.Utility = LoadList("TG_UTILITIES", true);
    CreateSystemImageSet(s.System, false, s.DarkCheck.get());
    CreateSystemImageSet(s.SystemFlat, true, s.Flat.get());
    s.HeaderSplit = LoadTreeGridCursor("TG_HEADERSPLIT");
    s.VertSplit = LoadTreeGridCursor("TG_VERTSPLIT");
    RegisterFormats(s);
}

}  // namespace

void FinalizeGlobalStructures()
{
    TUnitState& s = State();
    const std::lock_guard<std::recursive_mutex> guard(s.Lock);
    s.Initialized.store(false, std::memory_order_release);
    s.LightCheck.reset();
    s.DarkCheck.reset();
    s.LightTick.reset();
    s.DarkTick.reset();
    s.Flat.reset();
    s.XP.reset();
    s.Utility.reset();
    s.System.reset();
    s.SystemFlat.reset();
    s.HeaderSplit.reset();
    s.VertSplit.reset();
}

bool TreeGridUnitInitialized() { return State().Initialized.load(std::memory_order_acquire); }

TTGImageList* LightCheckImages() { return Ready().LightCheck.get(); }
TTGImageList* DarkCheckImages() { return Ready().DarkCheck.get(); }
TTGImageList* LightTickImages() { return Ready().LightTick.get(); }
TTGImageList* DarkTickImages() { return Ready().DarkTick.get(); }
TTGImageList* FlatImages() { return Ready().Flat.get(); }
TTGImageList* XPImages() { return Ready().XP.get(); }
TTGImageList* UtilityImages() { return Ready().Utility.get(); }
TTGImageList* SystemCheckImages() { return Ready().System.get(); }
TTGImageList* SystemFlatCheckImages() { return Ready().SystemFlat.get(); }

const TTGCursorImage* TreeGridCursor(int Cursor)
{
    TUnitState& s = Ready();
    if (Cursor == crHeaderSplit)
        return s.HeaderSplit.get();
    if (Cursor == crVertSplit)
        return s.VertSplit.get();
    return nullptr;
}

void RegisterSplitCursors()
{
    static bool registered = false;
    if (registered || !Screen)
        return;
    registered = true;
    for (int cursor : {crVertSplit, crHeaderSplit}) {
        const TTGCursorImage* image = TreeGridCursor(cursor);
        Screen->SetCursors(cursor, CreateCursorFromBitmap(image->Image.get(), image->HotSpot, image->TransparentColor));
    }
}

TClipFormat CF_TREEGRIDREFERENCE() { return Ready().Reference; }

TClipFormat CF_TREEGRIDDATA() { return Ready().Data; }
