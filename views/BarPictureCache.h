#pragma once
// The bar pictures kept between paints. A row's picture (its TNodeData
// Bitmap) covers only the part of the bar inside the canvas; it is reused
// while that part and the bar's size stay the same. All pictures together
// stay within a budget of bytes: when a new one would exceed it, the
// pictures drawn least recently are freed first.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "document/DocumentTypes.h"
#include "platform/Types.h"

// What a picture shows: the bar's size, the part of it inside the canvas
// (relative to the bar's top-left corner) and its look (how far a selected
// bar's colour is faded at its flash step; 0 for a bar not selected).
struct TPictureKey {
    int Width = 0;
    int Height = 0;
    TRect Part;
    int Look = 0;
    friend bool operator==(const TPictureKey&, const TPictureKey&) = default;
};

class TBarPictureCache {
public:
    static constexpr std::size_t DefaultBudget = std::size_t(128) << 20;

    explicit TBarPictureCache(std::size_t Budget = DefaultBudget) : FBudget(Budget) {}
    TBarPictureCache(const TBarPictureCache&) = delete;
    TBarPictureCache& operator=(const TBarPictureCache&) = delete;

    // Whether the row's picture shows Key (and may be put on the canvas as
    // it is); the row becomes the most recently drawn.
    bool Reuse(TNodeData* Row, const TPictureKey& Key);
    // The row's picture was drawn anew for Key. Pictures drawn least
    // recently are freed while the budget is exceeded (never this one).
    void Drawn(TNodeData* Row, const TPictureKey& Key);
    // The row is being freed.
    void Forget(TNodeData* Row);
    // Frees every picture.
    void Clear();

    std::size_t Budget() const { return FBudget; }
    void SetBudget(std::size_t Bytes);
    std::size_t Bytes() const { return FBytes; }
    std::size_t Count() const { return FCount; }
    bool Holds(const TNodeData* Row) const { return Find(Row) != nullptr; }
    // Whether the row's kept picture was drawn with Look.
    bool HasLook(const TNodeData* Row, int Look) const
    {
        const TEntry* e = Find(Row);
        return e && e->Key.Look == Look;
    }

private:
    // A row's record, found through the slot number the row carries: a
    // repaint of a gesture looks up hundreds of bars, and a hash table's
    // scattered nodes cost a cache miss each.
    struct TEntry {
        TNodeData* Row = nullptr;  // null: a free slot
        TPictureKey Key;
        std::size_t Bytes = 0;
        std::uint64_t LastUse = 0;
    };
    // A use of a slot's picture, in the order of use. A picture used again
    // gets a new record and its older ones go stale (their stamp is no
    // longer the entry's): marking a use costs an append.
    struct TUse {
        std::uint32_t Slot;
        std::uint64_t Stamp;
    };
    const TEntry* Find(const TNodeData* Row) const;
    TEntry* Find(const TNodeData* Row) { return const_cast<TEntry*>(std::as_const(*this).Find(Row)); }
    bool Live(const TUse& Use) const;
    void Use(TEntry& Entry);
    void Evict(TNodeData* Keep);
    void Free(TEntry& Entry, bool FreePixels);

    std::size_t FBudget;
    std::size_t FBytes = 0;
    std::uint64_t FClock = 0;
    // Least recently used first.
    std::deque<TUse> FUses;
    std::vector<TEntry> FEntries;
    std::vector<std::uint32_t> FFree;
    std::size_t FCount = 0;
};
