#include "network/ByteQueue.h"

#include <algorithm>

namespace {

constexpr std::size_t MoveAbove = std::size_t(1) << 20;

}  // namespace

void TByteQueue::Append(const void* Data, std::size_t Count)
{
    if (Count == 0)
        return;
    if (FStart > 0 && (FStart >= FData.size() / 2 || FStart > MoveAbove)) {
        FData.erase(0, FStart);
        FStart = 0;
    }
    FData.append(static_cast<const char*>(Data), Count);
}

void TByteQueue::Consume(std::size_t Count)
{
    FStart += std::min(Count, Size());
    if (FStart == FData.size())
        Clear();
}

void TByteQueue::Clear()
{
    // A queue that held a whole document gives the memory back.
    if (FData.capacity() > MoveAbove)
        std::string().swap(FData);
    else
        FData.clear();
    FStart = 0;
}
