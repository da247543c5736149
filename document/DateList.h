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

class tDateList {
public:
    int Count() const { return int(FItems.size()); }
    // The list owns the item.
    TDateListItem* Add(std::unique_ptr<TDateListItem> Item);
    TDateListItem* Add(double Start, double Ende, int Position, TNodeData* Node = nullptr, const String& Name = String());
    // Null for an index out of range.
    TDateListItem* GetItems(int I) const;
    void Delete(int I);
    void Clear() { FItems.clear(); }
    // By start, then by end, ascending.
    void SortDate();

private:
    std::vector<std::unique_ptr<TDateListItem>> FItems;
};
