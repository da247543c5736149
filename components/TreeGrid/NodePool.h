#pragma once
// Fixed-size, zero-filled, 16-byte aligned blocks for the nodes of one tree.
// Slots are carved from large address-space reservations in ascending address
// order, so that a run of new nodes also ascends in memory: the selection
// array, kept sorted by address, then appends instead of shifting. When the
// last block goes the memory is handed back to the system at once.
#include <cstddef>
#include <vector>

class TNodePool {
public:
    explicit TNodePool(std::size_t slotSize);
    ~TNodePool();
    TNodePool(const TNodePool&) = delete;
    TNodePool& operator=(const TNodePool&) = delete;

    // The slot size a pool made for blocks of Size bytes uses.
    static std::size_t SlotSizeFor(std::size_t Size);

    void* Allocate();
    void Free(void* block);
    std::size_t SlotSize() const { return FSlotSize; }
    std::size_t LiveCount() const { return FLiveCount; }
    // Every block handed out and not freed, in memory order. IsLive tells a
    // block from a freed one (the pool keeps no map of its own).
    void CollectLive(std::vector<void*>& Blocks, bool (*IsLive)(const void* Block)) const;

private:
    struct TRegion {
        char* Base;
        std::size_t Size;   // bytes reserved
        bool Mapped;        // from the system's page mapping (else from the heap)
    };
    void AddRegion();
    void ReleaseAll();

    std::size_t FSlotSize;
    std::size_t FLiveCount = 0;
    std::vector<TRegion> FRegions;
    char* FNext = nullptr;  // bump pointer inside the last region
    char* FEnd = nullptr;
    void* FFreeList = nullptr;
};
