// The date-time picker driven by synthetic keys and clicks: fields typed,
// selected, stepped and committed.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

class DateTimePickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Saved = FormatSettings;
        FormatSettings.ShortDateFormat = "dd.mm.yyyy";
        FormatSettings.DateSeparator = ".";
        FormatSettings.LongTimeFormat = "hh:nn:ss";
        FormatSettings.TimeSeparator = ":";
        FormatSettings.TimeAMString = "AM";
        FormatSettings.TimePMString = "PM";
        FormatSettings.TwoDigitYearCenturyWindow = 50;
        Form = Create<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 100);
        Picker = Create<TDateTimePicker>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 10, 220, 24);
        Form->Show();
        Picker->SetFocus();
        Picker->SetDateTime(EncodeDateTime(2023, 3, 5, 10, 30, 15, 0));
        Picker->OnChange = [this](TObject*) { Changes.push_back(Picker->DateTime()); };
    }
    void TearDown() override
    {
        delete Form;
        FormatSettings = Saved;
        UnpinClock();
    }
    // Each character as the keyboard brings it: the key, its character.
    void Type(const String& Text)
    {
        for (char ch : Text) {
            const Word vk = ch >= '0' && ch <= '9' ? Word(ch) : ch >= 'a' && ch <= 'z' ? Word(ch - 'a' + 'A')
                            : ch == '.'                   ? VK_OEM_PERIOD
                            : ch == ' '                   ? VK_SPACE
                                                          : Word(0);
            KeyDown(Picker, vk, String(1, ch));
            KeyUp(Picker, vk);
        }
    }
    void Press(Word Key, TShiftState Shift = {})
    {
        KeyDown(Picker, Key, "", Shift);
        KeyUp(Picker, Key, Shift);
    }
    void ClickOn(TDateTimePart Part)
    {
        const TRect r = Picker->PartRect(Part);
        ASSERT_FALSE(r.IsEmpty());
        Click(Picker, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    }
    String Shown() { return FormatDateTime("dd.mm.yyyy hh:nn:ss", Picker->DateTime()); }

    TFormatSettings Saved;
    TForm* Form = nullptr;
    TDateTimePicker* Picker = nullptr;
    std::vector<TDateTime> Changes;
};

}  // namespace

TEST_F(DateTimePickerTest, TypedDateCommitsOnceForEachField)
{
    EXPECT_EQ(Picker->SelectedPart(), dtpDay);
    Type("1");
    EXPECT_EQ(Picker->DisplayText(), "1.03.2023");  // typed, not committed
    EXPECT_TRUE(Changes.empty());
    Type("7.01.2024");
    EXPECT_EQ(Shown(), "17.01.2024 10:30:15");
    EXPECT_EQ(Picker->DisplayText(), "17.01.2024");
    ASSERT_EQ(Changes.size(), 3u);  // day, month, year
    EXPECT_EQ(Changes[0], EncodeDateTime(2023, 3, 17, 10, 30, 15, 0));
    EXPECT_EQ(Changes[1], EncodeDateTime(2023, 1, 17, 10, 30, 15, 0));
    EXPECT_EQ(Picker->SelectedPart(), dtpYear);

    // A digit that leaves no room for a second moves on at once; the same
    // value typed again changes nothing and fires nothing.
    Press(VK_HOME);  // year 1
    Changes.clear();
    ClickOn(dtpDay);
    Type("4");
    EXPECT_EQ(Picker->SelectedPart(), dtpMonth);
    Type("1");
    Press(VK_RIGHT);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "04.01.0001");
    EXPECT_EQ(Changes.size(), 1u);
    // A number the field cannot take is dropped.
    ClickOn(dtpMonth);
    Type("00");
    EXPECT_EQ(FormatDateTime("dd.mm", Picker->DateTime()), "04.01");
    EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(DateTimePickerTest, SelectionFollowsClicksArrowsAndSeparators)
{
    ClickOn(dtpYear);
    EXPECT_EQ(Picker->SelectedPart(), dtpYear);
    Press(VK_LEFT);
    EXPECT_EQ(Picker->SelectedPart(), dtpMonth);
    Press(VK_RIGHT);
    Press(VK_RIGHT);  // past the last field: the first
    EXPECT_EQ(Picker->SelectedPart(), dtpDay);
    Type(".");
    EXPECT_EQ(Picker->SelectedPart(), dtpMonth);
    // A click left of all fields takes the nearest one; pending digits are
    // committed when the selection moves.
    Type("1");
    Click(Picker, {1, 5});
    EXPECT_EQ(Picker->SelectedPart(), dtpDay);
    EXPECT_EQ(Shown(), "05.01.2023 10:30:15");
    EXPECT_TRUE(Picker->Focused());
    EXPECT_TRUE(Changes.size() == 1u);
}

TEST_F(DateTimePickerTest, UpAndDownWrapWithoutCarryHomeAndEndGoToTheLimits)
{
    Picker->SetDateTime(EncodeDateTime(2023, 12, 31, 23, 59, 59, 0));
    Press(VK_UP);  // the day
    EXPECT_EQ(Shown(), "01.12.2023 23:59:59");
    Press(VK_DOWN);
    EXPECT_EQ(Shown(), "31.12.2023 23:59:59");
    Press(VK_RIGHT);
    Press(VK_UP);  // the month, the year stays
    EXPECT_EQ(Shown(), "31.01.2023 23:59:59");
    Press(VK_END);
    EXPECT_EQ(Shown(), "31.12.2023 23:59:59");
    Press(VK_HOME);
    EXPECT_EQ(Shown(), "31.01.2023 23:59:59");
    Press(VK_RIGHT);
    Press(VK_END);  // the year
    EXPECT_EQ(Shown(), "31.01.9999 23:59:59");
    Press(VK_UP);
    EXPECT_EQ(Shown(), "31.01.0001 23:59:59");
    EXPECT_EQ(Changes.size(), 7u);
    // Keys with Ctrl or Alt are not the picker's.
    Press(VK_UP, ssCtrl);
    EXPECT_EQ(Changes.size(), 7u);
}

TEST_F(DateTimePickerTest, ADayPastTheMonthsEndIsCutToItsLastDay)
{
    Picker->SetDateTime(EncodeDate(2024, 2, 10));
    Type("31");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "29.02.2024");
    EXPECT_EQ(Changes.size(), 1u);
    // Typed but not complete, then left: cut on leaving.
    Picker->SetDateTime(EncodeDate(2023, 4, 10));
    Press(VK_LEFT);  // the day
    Type("3");
    EXPECT_EQ(Picker->DisplayText(), "3.04.2023");
    Type("1");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "30.04.2023");
    // Stepping the month from a 31st lands on the shorter month's end.
    Picker->SetDateTime(EncodeDate(2024, 1, 31));
    ClickOn(dtpMonth);
    Press(VK_UP);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "29.02.2024");
    // Up on the day wraps within the month's own days.
    ClickOn(dtpDay);
    Press(VK_UP);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "01.02.2024");
}

TEST_F(DateTimePickerTest, ShortYearsFollowTheCenturyWindowOfTheClock)
{
    PinClock(EncodeDate(2024, 6, 1));
    ClickOn(dtpYear);
    Type("24");
    EXPECT_EQ(Picker->DisplayText(), "05.03.24");  // four digits fit: still typing
    Press(VK_LEFT);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "05.03.2024");
    ClickOn(dtpYear);
    Type("80");
    Picker->Perform(WM_KILLFOCUS);  // leaving the control commits too
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "05.03.1980");
    ClickOn(dtpYear);
    Type("7");
    Press(VK_RIGHT);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "05.03.2007");
    // A two-digit year field is complete after two digits; another clock
    // reads the same digits into another century.
    PinClock(EncodeDate(2090, 1, 1));
    Picker->SetFormat("dd.mm.yy");
    ClickOn(dtpYear);
    Type("24");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", Picker->DateTime()), "05.03.2124");
    EXPECT_EQ(Picker->DisplayText(), "05.03.24");
}

TEST_F(DateTimePickerTest, LimitsClampCodeAndUser)
{
    Picker->SetDateTime(EncodeDate(2024, 1, 15));
    Picker->SetMinDate(EncodeDate(2024, 1, 10));
    Picker->SetMaxDate(EncodeDate(2024, 2, 20));
    Type("05");
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 1, 10));
    ClickOn(dtpMonth);
    Press(VK_END);
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 2, 20));
    ClickOn(dtpYear);
    Press(VK_UP);  // the only year in range: nothing to step to
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 2, 20));
    EXPECT_EQ(Changes.size(), 2u);
    Picker->SetDateTime(EncodeDate(2030, 1, 1));
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 2, 20));
    Picker->SetMinDate(EncodeDate(2024, 3, 1));  // a new limit moves the value
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 3, 1));
    EXPECT_EQ(Changes.size(), 2u);
}

TEST_F(DateTimePickerTest, TimeFieldsAndTheAmPmMarker)
{
    Picker->SetKind(dtkTime);
    EXPECT_EQ(Picker->DisplayText(), "10:30:15");
    Type("0945");
    EXPECT_EQ(Picker->SelectedPart(), dtpSecond);
    Press(VK_END);
    EXPECT_EQ(Shown(), "05.03.2023 09:45:59");
    Press(VK_UP);  // no carry into the minutes
    EXPECT_EQ(Shown(), "05.03.2023 09:45:00");
    Type("7");
    EXPECT_EQ(Shown(), "05.03.2023 09:45:07");  // 70 cannot be: done
    EXPECT_EQ(Picker->Date(), EncodeDate(2023, 3, 5));

    Picker->SetFormat("h:nn ampm");
    EXPECT_EQ(Picker->DisplayText(), "9:45 AM");
    ClickOn(dtpAmPm);
    Type("p");
    EXPECT_EQ(Picker->DisplayText(), "9:45 PM");
    ClickOn(dtpHour);
    Type("12");
    EXPECT_EQ(Shown(), "05.03.2023 12:45:07");  // 12 PM is noon
    Press(VK_DOWN);  // the minutes: the hour was complete
    EXPECT_EQ(Shown(), "05.03.2023 12:44:07");
    ClickOn(dtpHour);
    Press(VK_DOWN);
    EXPECT_EQ(Shown(), "05.03.2023 11:44:07");
}

TEST_F(DateTimePickerTest, CodeIsSilentCheckboxAndStepFireOnChange)
{
    Picker->SetDateTime(EncodeDateTime(2024, 12, 31, 10, 30, 0, 0));
    Picker->SetFormat("yyyy-mm-dd");
    Picker->SetDate(EncodeDate(2025, 1, 5));
    EXPECT_EQ(Picker->Time(), EncodeTime(10, 30, 0, 0));
    Picker->SetDateTime(std::numeric_limits<double>::quiet_NaN());  // refused
    EXPECT_EQ(Picker->DisplayText(), "2025-01-05");
    EXPECT_TRUE(Changes.empty());

    Picker->Step(-5);
    EXPECT_EQ(Picker->Date(), EncodeDate(2024, 12, 31));
    EXPECT_EQ(Changes.size(), 1u);

    // Space toggles the check box (and types no separator); without one it
    // does nothing.
    Type(" ");
    EXPECT_TRUE(Picker->Checked());
    EXPECT_EQ(Changes.size(), 1u);
    Picker->SetShowCheckbox(true);
    Type(" ");
    EXPECT_FALSE(Picker->Checked());
    EXPECT_EQ(Changes.size(), 2u);
    Click(Picker, {8, 10});
    EXPECT_TRUE(Picker->Checked());
    EXPECT_EQ(Changes.size(), 3u);
    EXPECT_EQ(Picker->SelectedPart(), dtpYear);
}

namespace {

// What the test does while the drop-down is open; the popup is handed in
// with its calendar.
struct TDropDownScript {
    std::function<void(TCustomForm* Popup, TMonthCalendar* Calendar)> Run;
    int Opened = 0;
    TModalHookGuard Hook{[this](TCustomForm* F) {
        ++Opened;
        ASSERT_TRUE(F->IsPopup());
        ASSERT_EQ(F->ControlCount(), 1);
        auto* calendar = dynamic_cast<TMonthCalendar*>(F->Controls(0));
        ASSERT_NE(calendar, nullptr);
        if (Run)
            Run(F, calendar);
    }};
};

void ClickDay(TMonthCalendar* Calendar, TDateTime Day)
{
    const TRect r = Calendar->DayRect(Day);
    ASSERT_FALSE(r.IsEmpty());
    Click(Calendar, {r.Left + 2, r.Top + 2});
}

}  // namespace

TEST_F(DateTimePickerTest, TheDropDownPicksByClickAndReturnAndPagesWithoutClosing)
{
    TDropDownScript script;
    const TRect button = Picker->ButtonRect();
    ASSERT_FALSE(button.IsEmpty());
    script.Run = [&](TCustomForm* Popup, TMonthCalendar* Calendar) {
        EXPECT_TRUE(Picker->DroppedDown());
        EXPECT_EQ(Calendar->Date(), EncodeDate(2023, 3, 5));
        // Below the picker, the owner keeping the focus.
        EXPECT_EQ(Popup->Top(), Form->ClientToScreen({0, Picker->Top()}).Y + Picker->Height());
        EXPECT_TRUE(Picker->Focused());
        ClickDay(Calendar, EncodeDate(2023, 3, 20));
    };
    Click(Picker, {(button.Left + button.Right) / 2, 5});
    EXPECT_EQ(script.Opened, 1);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(), "20.03.2023 10:30:15");  // the time stays
    EXPECT_EQ(Changes.size(), 1u);

    script.Run = [&](TCustomForm* Popup, TMonthCalendar* Calendar) {
        KeyDown(Calendar, VK_NEXT);  // a month on
        KeyDown(Calendar, VK_RIGHT);
        KeyDown(Calendar, VK_DOWN);
        EXPECT_TRUE(Popup->Visible());
        EXPECT_EQ(Calendar->Date(), EncodeDate(2023, 4, 28));
        Click(Calendar, {Calendar->ClientWidth() - 5, 5});  // the title's arrow pages on
        EXPECT_TRUE(Popup->Visible());
        EXPECT_EQ(Calendar->VisibleMonth(), EncodeDate(2023, 5, 1));
        KeyDown(Calendar, VK_RETURN);
    };
    Press(VK_F4);
    EXPECT_EQ(script.Opened, 2);
    EXPECT_EQ(Shown(), "28.04.2023 10:30:15");
    EXPECT_EQ(Changes.size(), 2u);
}

TEST_F(DateTimePickerTest, EscAndAnOutsidePressCloseTheDropDownAndKeepTheDate)
{
    TDropDownScript script;
    script.Run = [&](TCustomForm* Popup, TMonthCalendar* Calendar) {
        KeyDown(Calendar, VK_RIGHT);
        KeyDown(Calendar, VK_ESCAPE);
        EXPECT_FALSE(Popup->Visible());
    };
    Press(VK_DOWN, {ssAlt});
    EXPECT_EQ(script.Opened, 1);
    script.Run = [&](TCustomForm* Popup, TMonthCalendar* Calendar) {
        KeyDown(Calendar, VK_LEFT);
        Click(Form, {280, 90});
        EXPECT_FALSE(Popup->Visible());
    };
    Press(VK_F4);
    EXPECT_EQ(script.Opened, 2);
    EXPECT_EQ(Shown(), "05.03.2023 10:30:15");
    EXPECT_TRUE(Changes.empty());
    EXPECT_TRUE(Picker->Focused());

    // A time picker has no calendar.
    Picker->SetKind(dtkTime);
    EXPECT_TRUE(Picker->ButtonRect().IsEmpty());
    Press(VK_F4);
    Press(VK_DOWN, {ssAlt});
    EXPECT_EQ(script.Opened, 2);
}
