#include "platform/Types.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

TEST(Rect, HalfOpenEdgesAreOutside)
{
    const TRect r = Bounds(10, 20, 5, 3);
    EXPECT_EQ(r, Rect(10, 20, 15, 23));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.Height(), 3);
    for (TPoint p : {Point(10, 20), Point(14, 22)})
        EXPECT_TRUE(PtInRect(r, p)) << p.X << "," << p.Y;
    // The right and bottom edges, and just before the left and top ones.
    for (TPoint p : {Point(15, 22), Point(14, 23), Point(9, 20), Point(10, 19)})
        EXPECT_FALSE(PtInRect(r, p)) << p.X << "," << p.Y;
    EXPECT_FALSE(PtInRect(Rect(5, 5, 5, 9), Point(5, 6)));  // zero width holds nothing
}

TEST(Rect, EmptinessAndEquality)
{
    EXPECT_TRUE(IsRectEmpty(TRect()));
    EXPECT_TRUE(IsRectEmpty(Rect(0, 0, 0, 10)));
    EXPECT_TRUE(IsRectEmpty(Rect(0, 0, 10, 0)));
    EXPECT_TRUE(IsRectEmpty(Rect(10, 0, 5, 10)));  // inverted
    EXPECT_FALSE(IsRectEmpty(Rect(0, 0, 1, 1)));
    EXPECT_TRUE(EqualRect(Rect(1, 2, 3, 4), Rect(1, 2, 3, 4)));
    EXPECT_FALSE(EqualRect(Rect(1, 2, 3, 4), Rect(1, 2, 3, 5)));
    EXPECT_EQ(Rect(0, 0, 10, 6).CenterPoint(), Point(5, 3));
}

TEST(Rect, IntersectTouchingEdgesIsEmpty)
{
    TRect d = Rect(7, 7, 7, 7);
    // Sharing only the edge x = 10 means no common pixel.
    EXPECT_FALSE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_EQ(d, TRect());
    EXPECT_FALSE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(0, 10, 10, 20)));
    EXPECT_EQ(d, TRect());

    EXPECT_TRUE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(9, 5, 20, 20)));
    EXPECT_EQ(d, Rect(9, 5, 10, 10));

    // The destination may be one of the sources.
    TRect a = Rect(0, 0, 10, 10);
    EXPECT_TRUE(IntersectRect(a, a, Rect(-5, 2, 4, 30)));
    EXPECT_EQ(a, Rect(0, 2, 4, 10));

    // An empty source empties the result even when "inside" the other.
    EXPECT_FALSE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(3, 3, 3, 8)));
    EXPECT_EQ(d, TRect());
}

TEST(Rect, UnionIgnoresEmptyRects)
{
    TRect d;
    EXPECT_TRUE(UnionRect(d, Rect(0, 0, 2, 2), Rect(5, 5, 8, 9)));
    EXPECT_EQ(d, Rect(0, 0, 8, 9));
    // An empty rectangle far away does not stretch the union.
    EXPECT_TRUE(UnionRect(d, Rect(100, 100, 100, 100), Rect(5, 5, 8, 9)));
    EXPECT_EQ(d, Rect(5, 5, 8, 9));
    EXPECT_TRUE(UnionRect(d, Rect(1, 1, 3, 3), Rect(-50, -50, -50, 10)));
    EXPECT_EQ(d, Rect(1, 1, 3, 3));
    d = Rect(1, 2, 3, 4);
    EXPECT_FALSE(UnionRect(d, TRect(), Rect(4, 4, 2, 2)));
    EXPECT_EQ(d, TRect());
    TRect a = Rect(0, 0, 1, 1);
    EXPECT_TRUE(UnionRect(a, Rect(4, 4, 6, 6), a));
    EXPECT_EQ(a, Rect(0, 0, 6, 6));
}

TEST(Rect, OffsetAndInflate)
{
    TRect r = Rect(10, 10, 20, 30);
    OffsetRect(r, -15, 5);
    EXPECT_EQ(r, Rect(-5, 15, 5, 35));
    InflateRect(r, 2, -3);
    EXPECT_EQ(r, Rect(-7, 18, 7, 32));
    EXPECT_EQ(r.Width(), 14);
    InflateRect(r, -7, 0);
    EXPECT_TRUE(IsRectEmpty(r));
}

TEST(MulDiv, RoundsHalfAwayFromZero)
{
    struct Case {
        int A, B, C, Expected;
    };
    // 3.33, 0.67, 0.5, 1.5, 2.5 (away from zero, not to even), then the signs.
    const Case cases[] = {{10, 1, 3, 3},  {2, 1, 3, 1},    {1, 1, 2, 1},   {3, 1, 2, 2},   {5, 1, 2, 3},
                          {-1, 1, 2, -1}, {-5, 1, 2, -3},  {5, -1, 2, -3}, {5, 1, -2, -3}, {-5, 1, -2, 3},
                          {-10, 1, 3, -3}, {-2, 1, 3, -1}, {0, 7, -3, 0},  {96, 120, 96, 120}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.A, c.B, c.C), c.Expected) << c.A << " * " << c.B << " / " << c.C;
}

TEST(MulDiv, WideIntermediateAndFailures)
{
    // The product exceeds 32 bits; the quotient does not.
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDiv(100000, 100000, 1000), 10000000);
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);   // too large
    EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);  // just past INT_MAX
    static_assert(MulDiv(3, 1, 2) == 2);
}

namespace {
enum TFruit { fApple, fBanana, fCherry, fDate, fElder };
enum class TWide { First = 0, Mid = 70, Last = 99 };
}  // namespace

TEST(Set, MembershipAndOperators)
{
    using TFruits = TSet<TFruit>;
    TFruits a{fApple, fCherry};
    TFruits b = fCherry;
    b.Include(fDate);

    EXPECT_TRUE(a.Contains(fApple));
    EXPECT_FALSE(a.Contains(fBanana));
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a + b, (TFruits{fApple, fCherry, fDate}));
    EXPECT_EQ(a - b, TFruits(fApple));
    EXPECT_EQ(a * b, TFruits(fCherry));
    EXPECT_TRUE((a * TFruits{fBanana, fElder}).Empty());
    EXPECT_NE(a, b);

    EXPECT_TRUE(TFruits(fApple) <= a);
    EXPECT_TRUE(a <= a);
    EXPECT_FALSE(a <= b);
    EXPECT_TRUE(a >= TFruits());
    EXPECT_TRUE(TFruits() <= TFruits());

    a -= TFruits(fApple);
    a.Exclude(fElder);  // not a member: no change
    EXPECT_EQ(a, TFruits(fCherry));
    a.Clear();
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Count(), 0);
}

TEST(Set, OutOfRangeValuesNeverBecomeMembers)
{
    using TFive = TSet<TFruit, 5>;
    TFive s{fApple};
    const auto bogus = static_cast<TFruit>(5);
    const auto negative = static_cast<TFruit>(-1);
    EXPECT_THROW(s.Include(bogus), ERangeError);
    EXPECT_THROW(s.Include(negative), ERangeError);
    EXPECT_FALSE(s.Contains(bogus));
    EXPECT_FALSE(s.Contains(negative));
    s.Exclude(bogus);
    EXPECT_EQ(s, TFive(fApple));

    // Bits from a file beyond the element range are dropped.
    auto f = TFive::FromBits(0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(f.Count(), 5);
    EXPECT_EQ(f.Bits(), 0x1Fu);
    EXPECT_EQ(TSet<TFruit>::FromBits((TSet<TFruit>{fBanana, fElder}).Bits()),
              (TSet<TFruit>{fBanana, fElder}));
}

TEST(Set, WiderThanOneWord)
{
    using TWides = TSet<TWide, 100>;
    TWides s{TWide::First, TWide::Last};
    s.Include(TWide::Mid);
    EXPECT_TRUE(s.Contains(TWide::Last));
    EXPECT_TRUE(s.Contains(TWide::Mid));
    EXPECT_FALSE(s.Contains(static_cast<TWide>(64)));
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s - TWides{TWide::Mid}, (TWides{TWide::First, TWide::Last}));

    std::vector<int> seen;
    s.ForEach([&](TWide w) { seen.push_back(int(w)); });
    EXPECT_EQ(seen, (std::vector<int>{0, 70, 99}));
    EXPECT_THROW(s.Include(static_cast<TWide>(100)), ERangeError);
}
