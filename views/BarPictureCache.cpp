#include "views/BarPictureCache.h"

#include <algorithm>
#include <iterator>

#include "platform/Graphics.h"

void TBarPictureCache::Use(TNodeData* Row, TEntry& Entry)
{
    Entry.LastUse = ++FClock;
    FUses.push_back({Row, Entry.LastUse});
    // Stale records are dropped once they outnumber the live ones.
    if (FUses.size() > 2 * FEntries.size() + 64) {
        std::deque<TUse> live;
        for (const TUse& u : FUses) {
            const auto it = FEntries.find(u.Row);
            if (it != FEntries.end() && it->second.LastUse == u.Stamp)
                live.push_back(u);
        }
        FUses.swap(live);
    }
}

bool TBarPictureCache::Reuse(TNodeData* Row, const TPictureKey& Key)
{
    auto it = FEntries.find(Row);
    if (it == FEntries.end() || !(it->second.Key == Key) || !Row->Bitmap ||
        Row->Bitmap->Width() != Key.Part.Width() || Row->Bitmap->Height() != Key.Part.Height())
        return false;
    Use(Row, it->second);
    return true;
}

void TBarPictureCache::Drawn(TNodeData* Row, const TPictureKey& Key)
{
    const std::size_t bytes = std::size_t(std::max(0, Key.Part.Width())) * std::size_t(std::max(0, Key.Part.Height())) * 4;
    TEntry& e = FEntries[Row];
    FBytes = FBytes - e.Bytes + bytes;
    e.Bytes = bytes;
    e.Key = Key;
    Use(Row, e);
    Evict(Row);
}

void TBarPictureCache::Free(TNodeData* Row, bool FreePixels)
{
    auto it = FEntries.find(Row);
    if (it == FEntries.end())
        return;
    FBytes -= it->second.Bytes;
    FEntries.erase(it);
    if (FreePixels && Row->Bitmap)
        Row->Bitmap->SetSize(0, 0);
}

void TBarPictureCache::Evict(TNodeData* Keep)
{
    while (FBytes > FBudget && !FUses.empty()) {
        const TUse u = FUses.front();
        FUses.pop_front();
        const auto it = FEntries.find(u.Row);
        if (it == FEntries.end() || it->second.LastUse != u.Stamp)
            continue;
        if (u.Row == Keep) {
            // Only the newest is left: it stays, whatever its size.
            FUses.push_back(u);
            if (FEntries.size() == 1)
                break;
            continue;
        }
        Free(u.Row, true);
    }
}

void TBarPictureCache::Forget(TNodeData* Row) { Free(Row, false); }

void TBarPictureCache::Clear()
{
    for (auto& [row, entry] : FEntries)
        if (row->Bitmap)
            row->Bitmap->SetSize(0, 0);
    FEntries.clear();
    FUses.clear();
    FBytes = 0;
}

void TBarPictureCache::SetBudget(std::size_t Bytes)
{
    FBudget = Bytes;
    Evict(nullptr);
}
