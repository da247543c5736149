// The program's cursors: each number registered, each picture its own, the
// timer's clock filling up step by step.
#include <gtest/gtest.h>

#include <set>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "shell/Cursors.h"
#include "tests/support/PlatformFixture.h"

namespace {

int DarkPixels(TBitmap& B)
{
    int n = 0;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            n += B.Canvas()->Pixels(x, y) == 0x000000;
    return n;
}

}  // namespace

TEST(Cursors, TwelveDistinctCursorsAndAFillingClock)
{
    EnsureApplication();
    RegisterCursors();
    std::set<HCURSOR> seen{Screen->Cursors(crDefault)};
    for (int n = crHandTimerFirst; n <= crHandSwitch; ++n)
        EXPECT_TRUE(seen.insert(Screen->Cursors(n)).second) << n;
    EXPECT_EQ(CursorPicture(0), nullptr);
    EXPECT_EQ(CursorPicture(13), nullptr);

    int last = DarkPixels(*CursorPicture(crHandOpen));
    for (int n = crHandTimerFirst; n <= crHandTimerLast; ++n) {
        auto picture = CursorPicture(n);
        const int dark = DarkPixels(*picture);
        EXPECT_GT(dark, last) << n;
        last = dark;
        // The corners stay transparent.
        EXPECT_EQ(picture->Canvas()->Pixels(0, 31), clWhite);
    }
    EXPECT_NE(DarkPixels(*CursorPicture(crHandClosed)), DarkPixels(*CursorPicture(crHandOpen)));
}
