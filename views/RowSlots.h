#pragma once
// Records kept per row in a vector, found through a slot number the row
// carries: a freed slot serves the next row that needs one.
#include <cstdint>
#include <vector>

// A slot of Records for a new record, reset to a default one: a freed slot
// if there is one, else one more at the end.
template <typename T>
std::uint32_t TakeSlot(std::vector<T>& Records, std::vector<std::uint32_t>& Free)
{
    std::uint32_t slot = 0;
    if (!Free.empty()) {
        slot = Free.back();
        Free.pop_back();
        Records[slot] = T();
    } else {
        slot = std::uint32_t(Records.size());
        Records.emplace_back();
    }
    return slot;
}
