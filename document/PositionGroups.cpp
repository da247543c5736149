// The position groups behind the group tabs, and what follows a group when
// the groups are set up anew.
#include <algorithm>
#include <deque>
#include <unordered_map>

#include "document/ScheduleDocument.h"

void TScheduleDocument::AddPositionGroup(const String& Name, const String& CommaText)
{
    if (FPositionGroup.Count() == 0)
        FPositionGroup.Add(String());
    FPositionGroup.Add(CommaText);
    // The captions run beside the groups, whatever a file left in them.
    while (FPositionGroupNames.Count() < FPositionGroup.Count())
        FPositionGroupNames.Add(String());
    while (FPositionGroupNames.Count() > FPositionGroup.Count())
        FPositionGroupNames.Delete(FPositionGroupNames.Count() - 1);
    FPositionGroupNames.Put(FPositionGroup.Count() - 1, Name);
    PositionGroupTabsChanged(false);
}

void TScheduleDocument::ResetPositionGroups()
{
    FPositionGroup.Clear();
    FPositionGroup.Add(String());
    FPositionGroupNames.Clear();
    FPositionGroupNames.Add(String());
    PositionGroupTabsChanged(true);
}

void TScheduleDocument::FollowGroupFilters(const TStrings& OldNames, const std::vector<int>& Origins)
{
    std::vector<TFilter> kept;
    kept.reserve(FFilters.size());
    for (TFilter& filter : FFilters) {
        int old = -1;
        for (int i = 1; i < OldNames.Count() && old < 0; ++i)
            if (OldNames.Get(i) == filter.Group)
                old = i;
        if (old < 0) {
            kept.push_back(std::move(filter));
            continue;
        }
        auto now = std::find(Origins.begin(), Origins.end(), old);
        if (now == Origins.end())
            continue;
        const int index = int(now - Origins.begin());
        if (index > 0 && index < FPositionGroupNames.Count()) {
            filter.Group = FPositionGroupNames.Get(index);
            kept.push_back(std::move(filter));
        }
    }
    FFilters = std::move(kept);
}

std::vector<TColor> TScheduleDocument::ColorsFollowTexts(const std::vector<TColor>& Colors, const TStrings& OldTexts,
    const TStrings& NewTexts)
{
    // Old entries of each text, the first one first.
    std::unordered_map<String, std::deque<std::size_t>> old;
    for (int j = 0; j < OldTexts.Count() && std::size_t(j) < Colors.size(); ++j)
        old[OldTexts.Get(j)].push_back(std::size_t(j));
    std::vector<TColor> result(std::size_t(std::max(0, NewTexts.Count())));
    std::vector<std::size_t> added;
    for (int i = 0; i < NewTexts.Count(); ++i) {
        auto it = old.find(NewTexts.Get(i));
        if (it != old.end() && !it->second.empty()) {
            result[std::size_t(i)] = Colors[it->second.front()];
            it->second.pop_front();
        } else {
            added.push_back(std::size_t(i));
        }
    }
    std::vector<TColor> defaults;
    FillUpColors(defaults, int(added.size()));
    for (std::size_t k = 0; k < added.size(); ++k)
        result[added[k]] = defaults[k];
    return result;
}
