#include "views/BarPictureCache.h"

#include <algorithm>

#include "platform/Graphics.h"
#include "views/RowSlots.h"

const TBarPictureCache::TEntry* TBarPictureCache::Find(const TNodeData* Row) const
{
    if (!Row || Row->PictureSlot == 0 || Row->PictureSlot > FEntries.size())
        return nullptr;
    const TEntry& e = FEntries[Row->PictureSlot - 1];
    return e.Row == Row ? &e : nullptr;
}

bool TBarPictureCache::Live(const TUse& Use) const
{
    const TEntry& e = FEntries[Use.Slot];
    return e.Row && e.LastUse == Use.Stamp;
}

void TBarPictureCache::Use(TEntry& Entry)
{
    Entry.LastUse = ++FClock;
    FUses.push_back({std::uint32_t(&Entry - FEntries.data()), Entry.LastUse});
    // Stale records are dropped once they outnumber the live ones.
    if (FUses.size() > 2 * FCount + 64) {
        std::deque<TUse> live;
        for (const TUse& u : FUses)
            if (Live(u))
                live.push_back(u);
        FUses.swap(live);
    }
}

bool TBarPictureCache::Reuse(TNodeData* Row, const TPictureKey& Key)
{
    TEntry* e = Find(Row);
    if (!e || !(e->Key == Key) || !Row->Bitmap || Row->Bitmap->Width() != Key.Part.Width() ||
        Row->Bitmap->Height() != Key.Part.Height())
        return false;
    Use(*e);
    return true;
}

void TBarPictureCache::Drawn(TNodeData* Row, const TPictureKey& Key)
{
    const std::size_t bytes = std::size_t(std::max(0, Key.Part.Width())) * std::size_t(std::max(0, Key.Part.Height())) * 4;
    TEntry* e = Find(Row);
    if (!e) {
        const std::uint32_t slot = TakeSlot(FEntries, FFree);
        e = &FEntries[slot];
        e->Row = Row;
        Row->PictureSlot = slot + 1;
        ++FCount;
    }
    FBytes = FBytes - e->Bytes + bytes;
    e->Bytes = bytes;
    e->Key = Key;
    Use(*e);
    Evict(Row);
}

void TBarPictureCache::Free(TEntry& Entry, bool FreePixels)
{
    TNodeData* row = Entry.Row;
    const auto slot = std::uint32_t(&Entry - FEntries.data());
    FBytes -= Entry.Bytes;
    if (FreePixels && row->Bitmap)
        row->Bitmap->SetSize(0, 0);
    if (row->PictureSlot == slot + 1)
        row->PictureSlot = 0;
    FFree.push_back(slot);
    Entry = TEntry();
    --FCount;
}

void TBarPictureCache::Evict(TNodeData* Keep)
{
    while (FBytes > FBudget && !FUses.empty()) {
        const TUse u = FUses.front();
        FUses.pop_front();
        if (!Live(u))
            continue;
        TEntry& e = FEntries[u.Slot];
        if (e.Row == Keep) {
            // Only the newest is left: it stays, whatever its size.
            FUses.push_back(u);
            if (FCount == 1)
                break;
            continue;
        }
        Free(e, true);
    }
}

void TBarPictureCache::Forget(TNodeData* Row)
{
    if (TEntry* e = Find(Row))
        Free(*e, false);
}

void TBarPictureCache::Clear()
{
    for (TEntry& e : FEntries)
        if (e.Row)
            Free(e, true);
    FUses.clear();
}

void TBarPictureCache::SetBudget(std::size_t Bytes)
{
    FBudget = Bytes;
    Evict(nullptr);
}
