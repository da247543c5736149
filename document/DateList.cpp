#include "document/DateList.h"

#include <algorithm>

TDateListItem* tDateList::Add(std::unique_ptr<TDateListItem> Item)
{
    if (!Item)
        Item = std::make_unique<TDateListItem>();
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

TDateListItem* tDateList::Add(double Start, double Ende, int Position, TNodeData* Node, const String& Name)
{
    auto item = std::make_unique<TDateListItem>();
    item->start = Start;
    item->ende = Ende;
    item->position = Position;
    item->node = Node;
    item->name = Name;
    return Add(std::move(item));
}

TDateListItem* tDateList::GetItems(int I) const
{
    return I >= 0 && I < Count() ? FItems[std::size_t(I)].get() : nullptr;
}

void tDateList::Delete(int I)
{
    if (I >= 0 && I < Count())
        FItems.erase(FItems.begin() + I);
}

void tDateList::SortDate()
{
    std::sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
        if (a->start != b->start)
            return a->start < b->start;
        return a->ende < b->ende;
    });
}
