#pragma once
// Lists of dated entries (holidays, automatic exclusions, absent days, the
// intervals the overlap scan sorts), ordered by start and end.
#include <memory>
#include <vector>

#include "platform/Types.h"

struct TNodeData;

struct TDateListItem {
    double start = 0;
    double ende = 0;
    std::int32_t position = 0;  // -9 = all positions
    TNodeData* node = nullptr;
    String name;
    double value = 0;
};

// Which whole days a set of [start, ende) entries covers: a day d is covered
// when some entry has start <= d <= ende - 1. Answers by binary search over
// the entries sorted by start with a running maximum of their ends, so a
// query costs log n whatever the order the entries came in.
class TDateCoverage {
public:
    void Clear() { FStarts.clear(), FMaxLast.clear(), FPending.clear(); }
    // Entries added after the last query are merged in by the next one.
    void Add(double Start, double Ende);
    bool Covers(double Day) const;
    bool Empty() const { return FStarts.empty() && FPending.empty(); }

private:
    void Build() const;
    mutable std::vector<double> FStarts;   // sorted
    mutable std::vector<double> FMaxLast;  // max(ende - 1) over FStarts[0..i]
    mutable std::vector<std::pair<double, double>> FPending;
};

class tDateList {
public:
    tDateList() = default;
    tDateList(const tDateList&) = delete;
    tDateList& operator=(const tDateList&) = delete;

    int Count() const { return int(FItems.size()); }
    // The list owns the item.
    TDateListItem* Add(std::unique_ptr<TDateListItem> Item);
    TDateListItem* Add(double Start, double Ende, int Position, TNodeData* Node = nullptr, const String& Name = String());
    // Null for an index out of range.
    TDateListItem* GetItems(int I) const;
    // The list owns the item; an index out of range appends.
    TDateListItem* Insert(int I, std::unique_ptr<TDateListItem> Item);
    void Delete(int I);
    void Clear();
    // By start, then by end, ascending.
    void SortDate();
    // Whether some entry has start <= Day <= ende - 1 (binary search).
    bool CoversDay(double Day) const;
    // Changes with every change of the list made through its methods; unique
    // across all lists, so it identifies the contents for caches.
    UInt64 Version() const { return FVersion; }

private:
    void Changed();
    std::vector<std::unique_ptr<TDateListItem>> FItems;
    UInt64 FVersion = 0;
    mutable UInt64 FCoverageVersion = ~UInt64(0);
    mutable TDateCoverage FCoverage;
};
