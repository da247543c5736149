// The splash: visible at once with the version, centred on the screen,
// hidden by its timer but still there for status texts.
#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/Timers.h"
#include "shell/MessageDialog.h"
#include "shell/SplashForm.h"
#include "tests/support/PlatformFixture.h"

TEST(SplashForm, ShowsCentredWithVersionAndItsTimerHidesIt)
{
    EnsureApplication();
    auto* splash = Create<TSplashForm>(Application);
    EXPECT_TRUE(splash->Visible());
    EXPECT_EQ(splash->ClientWidth(), 404);
    EXPECT_EQ(splash->ClientHeight(), 304);
    EXPECT_EQ(splash->Label3->Caption(), "Version " + GetFileVersion());
    EXPECT_EQ(splash->Shape1->Width(), splash->Label3->Width() + 5);
    const TRect work = Screen->WorkAreaRect();
    EXPECT_EQ(splash->Left(), work.Left + (work.Width() - splash->Width()) / 2);
    EXPECT_EQ(splash->Top(), work.Top + (work.Height() - splash->Height()) / 2);
    EXPECT_EQ(splash->StatusLabel->Caption(), "VEK wird initialisiert...");
    EXPECT_FALSE(splash->Timer->Enabled());
    EXPECT_EQ(splash->Timer->Interval(), 2000u);
    EXPECT_EQ(splash->Image1->Picture()->Width(), 400);
    splash->Timer->SetEnabled(true);
    splash->TimerTimer(splash->Timer);
    EXPECT_FALSE(splash->Visible());
    EXPECT_FALSE(splash->Timer->Enabled());
    splash->StatusLabel->SetCaption("loading...");
    EXPECT_EQ(splash->StatusLabel->Caption(), "loading...");
    delete splash;
}
