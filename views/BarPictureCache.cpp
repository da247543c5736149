#include "views/BarPictureCache.h"

#include <algorithm>
#include <iterator>

#include "platform/Graphics.h"

bool TBarPictureCache::Reuse(TNodeData* Row, const TPictureKey& Key)
{
    auto it = FEntries.find(Row);
    if (it == FEntries.end() || !(it->second.Key == Key) || !Row->Bitmap ||
        Row->Bitmap->Width() != Key.Part.Width() || Row->Bitmap->Height() != Key.Part.Height())
        return false;
    FOrder.splice(FOrder.begin(), FOrder, it->second.Place);
    return true;
}

void TBarPictureCache::Drawn(TNodeData* Row, const TPictureKey& Key)
{
    const std::size_t bytes = std::size_t(std::max(0, Key.Part.Width())) * std::size_t(std::max(0, Key.Part.Height())) * 4;
    auto it = FEntries.find(Row);
    if (it == FEntries.end()) {
        FOrder.push_front(Row);
        it = FEntries.emplace(Row, TEntry{FOrder.begin(), Key, 0}).first;
    } else {
        FOrder.splice(FOrder.begin(), FOrder, it->second.Place);
    }
    FBytes = FBytes - it->second.Bytes + bytes;
    it->second.Bytes = bytes;
    it->second.Key = Key;
    Evict(Row);
}

void TBarPictureCache::Free(TNodeData* Row, bool FreePixels)
{
    auto it = FEntries.find(Row);
    if (it == FEntries.end())
        return;
    FBytes -= it->second.Bytes;
    FOrder.erase(it->second.Place);
    FEntries.erase(it);
    if (FreePixels && Row->Bitmap)
        Row->Bitmap->SetSize(0, 0);
}

void TBarPictureCache::Evict(TNodeData* Keep)
{
    while (FBytes > FBudget && !FOrder.empty()) {
        TNodeData* last = FOrder.back();
        if (last == Keep) {
            // Only the newest is left: it stays, whatever its size.
            if (FOrder.size() == 1)
                break;
            FOrder.splice(FOrder.begin(), FOrder, std::prev(FOrder.end()));
            continue;
        }
        Free(last, true);
    }
}

void TBarPictureCache::Forget(TNodeData* Row) { Free(Row, false); }

void TBarPictureCache::Clear()
{
    while (!FOrder.empty())
        Free(FOrder.back(), true);
}

void TBarPictureCache::SetBudget(std::size_t Bytes)
{
    FBudget = Bytes;
    Evict(nullptr);
}
