#include "components/TreeGrid/NodePool.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "components/TreeGrid/TreeGridTypes.h"

namespace {
// Address space only: pages are committed when first touched. One region
// holds tens of millions of nodes; a larger tree opens a further region.
constexpr std::size_t ReservationSize = std::size_t(16) << 30;
// Used when the system refuses the reservation.
constexpr std::size_t HeapRegionSize = std::size_t(4) << 20;

// The leak checker does not look into anonymous mappings: nodes kept there
// would hide every pointer they hold and report all of it as leaked. Under
// the sanitizers the pool takes its regions from the heap, which is scanned.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ReserveAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool ReserveAddressSpace = false;
#else
constexpr bool ReserveAddressSpace = true;
#endif
#else
constexpr bool ReserveAddressSpace = true;
#endif
}  // namespace

// Slots of a node with data are rounded to 32 bytes, so that with 64-byte
// cache lines a node's first 32 bytes never straddle two lines: walking a
// large tree then reads one line per node instead of two for most of them.
std::size_t TNodePool::SlotSizeFor(std::size_t size)
{
    size = AlignedNodeSize(size < sizeof(void*) ? sizeof(void*) : size);
    return size > 64 ? (size + 31) & ~std::size_t(31) : size;
}

TNodePool::TNodePool(std::size_t slotSize) : FSlotSize(SlotSizeFor(slotSize))
{
}

TNodePool::~TNodePool()
{
    for (const TRegion& r : FRegions) {
        if (r.Mapped)
            munmap(r.Base, r.Size);
        else
            std::free(r.Base);
    }
}

void TNodePool::AddRegion()
{
    TRegion r{nullptr, 0, false};
    void* p = ReserveAddressSpace ? mmap(nullptr, ReservationSize, PROT_READ | PROT_WRITE,
                                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)
                                  : MAP_FAILED;
    if (p != MAP_FAILED) {
        // Large pages: a big tree is walked in sibling order, which after a
        // sort is no longer memory order, and small pages would make nearly
        // every step a translation miss.
        madvise(p, ReservationSize, MADV_HUGEPAGE);
        r = TRegion{static_cast<char*>(p), ReservationSize, true};
    } else {
        std::size_t size = HeapRegionSize < FSlotSize * 16 ? FSlotSize * 16 : HeapRegionSize;
        size = AlignedNodeSize(size);
        void* h = std::aligned_alloc(TreeNodeAlignment, size);
        if (!h)
            throw std::bad_alloc();
        r = TRegion{static_cast<char*>(h), size, false};
    }
    FRegions.push_back(r);
    FNext = r.Base;
    FEnd = r.Base + r.Size;
}

void* TNodePool::Allocate()
{
    void* result;
    if (FFreeList) {
        result = FFreeList;
        FFreeList = *static_cast<void**>(FFreeList);
        std::memset(result, 0, FSlotSize);
    } else {
        if (FNext == nullptr || std::size_t(FEnd - FNext) < FSlotSize)
            AddRegion();
        result = FNext;
        FNext += FSlotSize;
        // Fresh mapped pages are zero already; heap regions are not.
        if (!FRegions.back().Mapped)
            std::memset(result, 0, FSlotSize);
    }
    ++FLiveCount;
    return result;
}

void TNodePool::Free(void* block)
{
    if (!block)
        return;
    *static_cast<void**>(block) = FFreeList;
    FFreeList = block;
    if (--FLiveCount == 0)
        ReleaseAll();
}

// With no live block the pool starts over: mapped pages go back to the system
// (and read as zero again), heap regions are freed.
void TNodePool::ReleaseAll()
{
    FFreeList = nullptr;
    if (FRegions.empty())
        return;
    const bool single = FRegions.size() == 1;
    TRegion first = FRegions.front();
    for (std::size_t i = 1; i < FRegions.size(); ++i) {
        if (FRegions[i].Mapped)
            munmap(FRegions[i].Base, FRegions[i].Size);
        else
            std::free(FRegions[i].Base);
    }
    FRegions.clear();
    if (first.Mapped) {
        madvise(first.Base, single ? std::size_t(FNext - first.Base) : first.Size, MADV_DONTNEED);
        madvise(first.Base, first.Size, MADV_HUGEPAGE);
        FRegions.push_back(first);
        FNext = first.Base;
        FEnd = first.Base + first.Size;
    } else {
        std::free(first.Base);
        FNext = FEnd = nullptr;
    }
}

void TNodePool::CollectLive(std::vector<void*>& Blocks, bool (*IsLive)(const void* Block)) const
{
    Blocks.reserve(Blocks.size() + FLiveCount);
    for (std::size_t r = 0; r < FRegions.size(); ++r) {
        char* p = FRegions[r].Base;
        char* end = r + 1 == FRegions.size() ? FNext : FRegions[r].Base + FRegions[r].Size;
        for (; p + FSlotSize <= end; p += FSlotSize) {
            __builtin_prefetch(p + 8 * FSlotSize);
            if (IsLive(p))
                Blocks.push_back(p);
        }
    }
}
