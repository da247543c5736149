// The clock: its face and hands drawn by hand-computed points, its square
// shape and its timer.
#include <gtest/gtest.h>

#include "components/Clock.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

TColor Px(TBitmap& B, int X, int Y) { return B.Canvas()->Pixels(X, Y); }

// A 100 x 100 face on yellow: centre (50, 50), radius 50.
void Face(TBitmap& B, TDateTime Time, int Size = 100)
{
    B.SetSize(Size, Size);
    B.Canvas()->Brush()->SetColor(clYellow);
    B.Canvas()->FillRect(TRect(0, 0, Size, Size));
    DrawClock(B.Canvas(), TRect(0, 0, Size, Size), Time);
}

}  // namespace

TEST(Clock, HandsEndWhereTheTimePointsWithGreyShadows)
{
    EnsureApplication();
    TBitmap b;
    Face(b, EncodeTime(3, 0, 0, 0));
    // The hour hand (0.6 of the radius) points right, the minute hand
    // (0.8) straight up.
    EXPECT_EQ(Px(b, 80, 50), clBlack);
    EXPECT_EQ(Px(b, 81, 51), clGray);
    EXPECT_EQ(Px(b, 82, 50), clWhite);
    EXPECT_EQ(Px(b, 50, 10), clBlack);
    EXPECT_EQ(Px(b, 51, 11), clGray);
    EXPECT_EQ(Px(b, 50, 8), clWhite);
    // Outside the round face the background stays.
    EXPECT_EQ(Px(b, 2, 2), clYellow);

    Face(b, EncodeTime(18, 30, 0, 0));
    // The minute hand points straight down; the hour hand half-way between
    // six and seven: 195 degrees from twelve, 30 px out.
    EXPECT_EQ(Px(b, 50, 90), clBlack);
    EXPECT_EQ(Px(b, 51, 91), clGray);
    EXPECT_EQ(Px(b, 42, 79), clBlack);  // 50 - 30 sin 15°, 50 + 30 cos 15°
    EXPECT_EQ(Px(b, 43, 80), clGray);
    // Nothing points right any more.
    EXPECT_EQ(Px(b, 80, 50), clWhite);
}

TEST(Clock, HourMarksOnTheRimAndTicksOnlyOnLargeFaces)
{
    EnsureApplication();
    TBitmap b;
    // Half the width 40: marks only. Twelve at the top, three at the right.
    Face(b, EncodeTime(0, 0, 0, 0), 80);
    EXPECT_EQ(Px(b, 40, 2), clBlack);
    EXPECT_EQ(Px(b, 78, 40), clBlack);
    EXPECT_EQ(Px(b, 70, 40), clWhite);
    // 41: a tick line runs from 0.85 of the radius to the mark.
    Face(b, EncodeTime(0, 0, 0, 0), 82);
    EXPECT_EQ(Px(b, 76, 41), clBlack);
    EXPECT_EQ(Px(b, 78, 41), clBlack);
    EXPECT_EQ(Px(b, 73, 41), clWhite);
    EXPECT_EQ(Px(b, 41, 4), clBlack);
}

TEST(Clock, StaysSquareAndShowsItsTimeAsHint)
{
    EnsureApplication();
    PinClock(EncodeDateTime(2024, 5, 6, 9, 41, 0, 0));
    auto* clock = Create<TClock>(nullptr);
    EXPECT_EQ(clock->Width(), 25);
    EXPECT_EQ(clock->Height(), 25);
    clock->SetBounds(3, 4, 40, 17);
    EXPECT_EQ(clock->BoundsRect(), TRect(3, 4, 20, 21));
    clock->SetWidth(60);
    EXPECT_EQ(clock->Width(), 17);

    clock->SetClockColor(clAqua);
    clock->SetPointerColor(clNavy);
    TBitmap b;
    clock->PaintTo(&b);
    EXPECT_EQ(b.Canvas()->Pixels(12, 8), clAqua);  // right of the centre, off both hands at 9:41
    EXPECT_EQ(b.Canvas()->Pixels(8, 8), clNavy);   // the centre
    EXPECT_EQ(clock->Hint(), FormatDateTime("t", EncodeTime(9, 41, 0, 0)));
    EXPECT_DOUBLE_EQ(clock->LastTime(), EncodeTime(9, 41, 0, 0));
    UnpinClock();
    delete clock;
}

TEST(Clock, ATimerTickRepaintsTheRunningClock)
{
    EnsureApplication();
    PinClock(EncodeDateTime(2024, 5, 6, 10, 0, 0, 0));
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 100, 100);
    auto* clock = Create<TClock>(form);
    clock->SetParent(form);
    clock->SetRunning(true);
    form->HandleNeeded();
    ASSERT_TRUE(clock->HandleAllocated());
    clock->Update();
    EXPECT_TRUE(clock->UpdateRegion().IsEmpty());
    AdvancePinnedClock(60 * 60 * 1000);
    clock->Perform(WM_TIMER, tCustomClock::ClockTimerId);
    EXPECT_FALSE(clock->UpdateRegion().IsEmpty());
    clock->Update();
    EXPECT_DOUBLE_EQ(clock->LastTime(), EncodeTime(11, 0, 0, 0));
    // Another timer of the window is not the clock's.
    clock->Perform(WM_TIMER, 77);
    EXPECT_TRUE(clock->UpdateRegion().IsEmpty());
    clock->SetRunning(false);
    EXPECT_FALSE(clock->Running());
    UnpinClock();
    delete form;
}
