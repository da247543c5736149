#pragma once
// Bytes that join at the back and leave from the front: the outgoing queue
// of a socket and the receive buffer of a connection. Bytes taken from the
// front stay in memory until they are half of it (or more than 1 MiB), and
// then go in one move, so a steady stream costs linear time, not a move per
// message; an emptied queue gives back a large block.
#include <cstddef>
#include <string>

class TByteQueue {
public:
    void Append(const void* Data, std::size_t Count);
    // The waiting bytes, front first; valid until the next change.
    const char* Data() const { return FData.data() + FStart; }
    std::size_t Size() const { return FData.size() - FStart; }
    bool Empty() const { return FStart == FData.size(); }
    // Takes Count bytes (at most Size()) off the front.
    void Consume(std::size_t Count);
    void Clear();
    // Bytes held in memory, taken ones included (for tests of the moves).
    std::size_t Held() const { return FData.size(); }

private:
    std::string FData;
    std::size_t FStart = 0;
};
