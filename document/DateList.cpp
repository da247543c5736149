#include "document/DateList.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

UInt64 NextDateListVersion()
{
    static std::atomic<UInt64> counter{0};
    return ++counter;
}

}  // namespace

// ---- TDateCoverage ----

void TDateCoverage::Add(double Start, double Ende)
{
    // An entry with a NaN bound matches no day when compared one by one;
    // leaving it out keeps the sort well defined and the answers the same.
    if (std::isnan(Start) || std::isnan(Ende))
        return;
    FPending.emplace_back(Start, Ende);
}

void TDateCoverage::Build() const
{
    std::vector<std::pair<double, double>> all;
    all.reserve(FStarts.size() + FPending.size());
    // The running maxima cannot give the ends back, so earlier entries are
    // kept as (start, max last) pairs: for coverage that loses nothing, as a
    // query only ever reads the maximum over a prefix of starts.
    for (std::size_t i = 0; i < FStarts.size(); ++i)
        all.emplace_back(FStarts[i], FMaxLast[i] + 1);
    all.insert(all.end(), FPending.begin(), FPending.end());
    FPending.clear();
    std::sort(all.begin(), all.end());
    FStarts.resize(all.size());
    FMaxLast.resize(all.size());
    double best = -INFINITY;
    for (std::size_t i = 0; i < all.size(); ++i) {
        FStarts[i] = all[i].first;
        best = std::max(best, all[i].second - 1);
        FMaxLast[i] = best;
    }
}

bool TDateCoverage::Covers(double Day) const
{
    if (!FPending.empty())
        Build();
    const auto it = std::upper_bound(FStarts.begin(), FStarts.end(), Day);
    if (it == FStarts.begin())
        return false;
    return FMaxLast[std::size_t(it - FStarts.begin()) - 1] >= Day;
}

// ---- tDateList ----

void tDateList::Changed() { FVersion = NextDateListVersion(); }

TDateListItem* tDateList::Add(std::unique_ptr<TDateListItem> Item)
{
    if (!Item)
        Item = std::make_unique<TDateListItem>();
    FItems.push_back(std::move(Item));
    Changed();
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

TDateListItem* tDateList::Insert(int I, std::unique_ptr<TDateListItem> Item)
{
    if (!Item)
        Item = std::make_unique<TDateListItem>();
    if (I < 0 || I > Count())
        I = Count();
    auto it = FItems.insert(FItems.begin() + I, std::move(Item));
    Changed();
    return it->get();
}

TDateListItem* tDateList::GetItems(int I) const
{
    return I >= 0 && I < Count() ? FItems[std::size_t(I)].get() : nullptr;
}

void tDateList::Delete(int I)
{
    if (I >= 0 && I < Count()) {
        FItems.erase(FItems.begin() + I);
        Changed();
    }
}

void tDateList::Clear()
{
    FItems.clear();
    Changed();
}

void tDateList::SortDate()
{
    std::sort(FItems.begin(), FItems.end(), [](const auto& a, const auto& b) {
        if (a->start != b->start)
            return a->start < b->start;
        return a->ende < b->ende;
    });
    Changed();
}

bool tDateList::CoversDay(double Day) const
{
    if (FCoverageVersion != FVersion) {
        FCoverage.Clear();
        for (const auto& item : FItems)
            FCoverage.Add(item->start, item->ende);
        FCoverageVersion = FVersion;
    }
    return FCoverage.Covers(Day);
}
