// Text through the system clipboard and back, non-ASCII included.
#include <gtest/gtest.h>

#include "platform/Clipbrd.h"
#include "tests/support/PlatformFixture.h"

TEST(Clipboard, TextRoundTrip)
{
    EnsureApplication();
    ASSERT_TRUE(SetClipboardText("Plan \xC3\xBC" "ber Tage\r\nzwei"));
    EXPECT_EQ(GetClipboardText(), "Plan \xC3\xBC" "ber Tage\r\nzwei");
    ASSERT_TRUE(SetClipboardText(""));
    EXPECT_EQ(GetClipboardText(), "");
}
