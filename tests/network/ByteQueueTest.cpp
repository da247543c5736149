// The byte queue against a plain string doing the same: appends and takes of
// every size, with the moves that drop taken bytes in between.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "network/ByteQueue.h"

TEST(ByteQueue, KeepsTheBytesInOrderThroughEveryMove)
{
    TByteQueue q;
    std::string model;
    std::mt19937 random(7);
    std::size_t held = 0;
    std::uint8_t next = 0;
    for (int step = 0; step < 20000; ++step) {
        const std::size_t n = random() % (step % 100 == 0 ? 300000 : 3000);
        if (random() % 2) {
            std::string bytes(n, '\0');
            for (char& c : bytes)
                c = char(next++);
            q.Append(bytes.data(), bytes.size());
            model += bytes;
        } else {
            q.Consume(n);
            model.erase(0, std::min(n, model.size()));
        }
        ASSERT_EQ(q.Size(), model.size());
        ASSERT_EQ(q.Empty(), model.empty());
        ASSERT_EQ(std::string(q.Data(), q.Size()), model) << "step " << step;
        held = std::max(held, q.Held());
    }
    // Taken bytes do not pile up: the queue never held much more than twice
    // what waited at its fullest plus one large append.
    EXPECT_LT(held, 4 * std::size_t(300000) + 2 * (std::size_t(1) << 20));
}

TEST(ByteQueue, TakingMoreThanThereIsEmptiesIt)
{
    TByteQueue q;
    q.Append("abc", 3);
    q.Consume(10);
    EXPECT_TRUE(q.Empty());
    q.Append("de", 2);
    EXPECT_EQ(std::string(q.Data(), q.Size()), "de");
    q.Clear();
    EXPECT_EQ(q.Size(), 0U);
}
