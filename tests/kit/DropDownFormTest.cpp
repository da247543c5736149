// The drop-down base and the date popup: placement in the work area, the
// roll-down's steps, the sizing codes, and the popup's loop driven by
// synthetic input from the modal hook.
#include <gtest/gtest.h>

#include "components/DateTimePopup.h"
#include "components/DropDownForm.h"
#include "platform/DateUtils.h"
#include "platform/FormBuilder.h"
#include "tests/support/PlatformFixture.h"

namespace {

const TRect WorkArea(0, 30, 800, 600);

TRect Wanted(int Left, int Top, int Width, int Height) { return TRect(Left, Top, Left + Width, Top + Height); }

int Count(const TRecordingControl* C, UINT Msg)
{
    const std::vector<UINT> m = C->Messages();
    return int(std::count(m.begin(), m.end(), Msg));
}

// A parent form with a field, and a drop-down with a control of its own.
struct TDropDownScene {
    TForm* Owner;
    TRecordingControl* OwnerField;
    TfmDropDown* Popup;
    TRecordingControl* PopupField;

    TDropDownScene()
    {
        EnsureApplication();
        Owner = Create<TForm>(nullptr);
        Owner->SetBorderStyle(bsNone);
        Owner->SetBounds(0, 0, 400, 300);
        OwnerField = Build<TRecordingControl>(Owner, "OwnerField").Parent(Owner).Bounds(10, 10, 300, 250);
        Popup = Create<TfmDropDown>(nullptr);
        Popup->SetAnimateDropDown(false);
        Popup->SetBounds(0, 0, 120, 100);
        PopupField = Build<TRecordingControl>(Popup, "PopupField").Parent(Popup).Bounds(10, 10, 60, 40);
        Owner->Show();
    }
    ~TDropDownScene()
    {
        delete Popup;
        delete Owner;
    }
    TDropDownScene(const TDropDownScene&) = delete;
    TDropDownScene& operator=(const TDropDownScene&) = delete;
    TModalResult Run(TModalHook Hook)
    {
        TModalHookGuard guard(std::move(Hook));
        return Popup->RollDownForm(Owner, 200, 100);
    }
};

}  // namespace

TEST(DropDownPlacement, BelowAboveAndClampedInTheWorkArea)
{
    TDropDownPlacement p = PlaceDropDown(Wanted(100, 200, 150, 100), WorkArea);
    EXPECT_EQ(p.Position, ddpBelow);
    EXPECT_EQ(p.Bounds, Wanted(100, 200, 150, 100));
    // No room below: above, its top moved up by its height.
    p = PlaceDropDown(Wanted(100, 550, 150, 100), WorkArea);
    EXPECT_EQ(p.Position, ddpAbove);
    EXPECT_EQ(p.Bounds, Wanted(100, 450, 150, 100));
    // Room neither below nor above: it ends at the work area's bottom.
    p = PlaceDropDown(Wanted(100, 300, 150, 400), WorkArea);
    EXPECT_EQ(p.Position, ddpAbove);
    EXPECT_EQ(p.Bounds, Wanted(100, 200, 150, 400));
    // Taller than the work area: it starts at its top, never above it.
    p = PlaceDropDown(Wanted(100, 300, 150, 700), WorkArea);
    EXPECT_EQ(p.Bounds.Top, 30);
    // The sides hold it.
    EXPECT_EQ(PlaceDropDown(Wanted(720, 100, 150, 100), WorkArea).Bounds.Left, 650);
    EXPECT_EQ(PlaceDropDown(Wanted(-40, 100, 150, 100), WorkArea).Bounds.Left, 0);
    EXPECT_EQ(PlaceDropDown(Wanted(-40, 100, 900, 100), WorkArea).Bounds.Left, 0);
}

TEST(DropDownRollDown, StepsNeverShowMoreThanTheFormHolds)
{
    const std::vector<int> a = RollDownSteps(153, 16);
    ASSERT_EQ(a.size(), 15U);
    EXPECT_EQ(a.front(), 10);
    EXPECT_EQ(a.back(), 150);
    // 150 at 16 steps of 9 rows would ask for 153 rows at the end.
    const std::vector<int> b = RollDownSteps(150, 16);
    ASSERT_EQ(b.size(), 17U);
    EXPECT_EQ(b[15], 144);
    EXPECT_EQ(b.back(), 150);
    // Fewer rows than steps: one row at a time.
    EXPECT_EQ(RollDownSteps(5, 16), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(RollDownSteps(0, 16).empty());
}

TEST(DropDownSizing, TheFreeEdgesAnswerSizingCodes)
{
    // Opened below: bottom-right corner, bottom and right edges.
    EXPECT_EQ(DropDownHitCode({115, 95}, 120, 100, ddpBelow), HTBOTTOMRIGHT);
    EXPECT_EQ(DropDownHitCode({111, 91}, 120, 100, ddpBelow), HTBOTTOMRIGHT);
    EXPECT_EQ(DropDownHitCode({50, 96}, 120, 100, ddpBelow), HTBOTTOM);
    EXPECT_EQ(DropDownHitCode({116, 50}, 120, 100, ddpBelow), HTRIGHT);
    EXPECT_EQ(DropDownHitCode({50, 2}, 120, 100, ddpBelow), HTCLIENT);
    // Opened above: the top ones instead.
    EXPECT_EQ(DropDownHitCode({117, 2}, 120, 100, ddpAbove), HTTOPRIGHT);
    EXPECT_EQ(DropDownHitCode({50, 4}, 120, 100, ddpAbove), HTTOP);
    EXPECT_EQ(DropDownHitCode({116, 50}, 120, 100, ddpAbove), HTRIGHT);
    EXPECT_EQ(DropDownHitCode({50, 96}, 120, 100, ddpAbove), HTCLIENT);

    // The form answers them while sizable, and keeps the last answer.
    TDropDownScene s;
    s.Popup->SetBounds(200, 100, 120, 100);
    const auto hit = [&](int X, int Y) {
        return int(s.Popup->Perform(WM_NCHITTEST, 0, PointToLParam(s.Popup->ClientToScreen({X, Y}))));
    };
    EXPECT_EQ(hit(50, 96), HTBOTTOM);
    EXPECT_EQ(s.Popup->CurrentNCHitCode(), HTBOTTOM);
    s.Popup->SetSizable(false);
    EXPECT_EQ(hit(50, 96), HTCLIENT);
}

TEST(DropDown, WithoutAParentNothingIsShown)
{
    TDropDownScene s;
    try {
        s.Popup->RollDownForm(nullptr, 10, 10);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, "DropDownForm must have a parent form.");
    }
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_FALSE(s.Popup->RolledDownOnce());
}

TEST(DropDown, AnOutsidePressClosesItAndReachesNothingBeneath)
{
    TDropDownScene s;
    TDropDownStates during;
    bool shown = false;
    const TModalResult r = s.Run([&](TCustomForm*) {
        during = s.Popup->DropDownState();
        shown = s.Popup->Visible();
        // A press on the popup's control reaches it, and the popup stays.
        Click(s.PopupField, {5, 5});
        EXPECT_EQ(Count(s.PopupField, WM_LBUTTONDOWN), 1);
        EXPECT_TRUE(s.Popup->Visible());
        Click(s.OwnerField, {20, 20});
    });
    EXPECT_EQ(r, mrCancel);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(during.Contains(ddsShown));
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_TRUE(s.Popup->DropDownState().Contains(ddsHidden));
    EXPECT_EQ(Count(s.OwnerField, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(s.Popup->BoundsRect(), TRect(200, 100, 320, 200));
    EXPECT_EQ(s.Popup->DropDownPosition(), ddpBelow);
}

TEST(DropDown, ASizingPressReleasedOutsideKeepsItOpen)
{
    TDropDownScene s;
    bool open = false;
    s.Run([&](TCustomForm*) {
        MouseDown(s.Popup, {50, 97});
        MouseUp(s.OwnerField, {20, 20});
        open = s.Popup->Visible();
        EXPECT_FALSE(s.Popup->LButtonDown());
        s.Popup->Close();
    });
    EXPECT_TRUE(open);
    EXPECT_FALSE(s.Popup->Visible());
}

TEST(DropDown, EscCancelsAReusedPopupThatLastGaveOk)
{
    TDropDownScene s;
    EXPECT_EQ(s.Run([&](TCustomForm*) { s.Popup->SetModalResult(mrOk); }), mrOk);
    EXPECT_EQ(s.Run([&](TCustomForm*) {
        EXPECT_EQ(s.Popup->ModalResult(), mrNone);
        s.PopupField->SetFocus();
        KeyDown(s.PopupField, VK_ESCAPE);
    }),
              mrCancel);
    // Posted, the close waits for the messages before it.
    bool stillShown = false;
    EXPECT_EQ(s.Run([&](TCustomForm*) {
        s.Popup->CloseDropDown();
        stillShown = s.Popup->Visible();
        ProcessEventsUntil([&] { return !s.Popup->Visible(); }, 5000);
    }),
              mrCancel);
    EXPECT_TRUE(stillShown);
}

TEST(DropDown, AnExceptionInTheLoopStillHidesIt)
{
    TDropDownScene s;
    EXPECT_THROW(s.Run([](TCustomForm*) { throw Exception("broken"); }), Exception);
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_FALSE(s.Popup->IsPopup());
    EXPECT_TRUE(s.Popup->DropDownState().Contains(ddsHidden));
    // And it drops down again.
    EXPECT_EQ(s.Run([&](TCustomForm*) { s.Popup->SetModalResult(mrOk); }), mrOk);
}

TEST(DropDown, TheRollDownGrowsItToItsFullHeight)
{
    TDropDownScene s;
    s.Popup->SetAnimateDropDown(true);
    s.Popup->SetRollDownSpeed(0);
    s.Popup->SetBounds(0, 0, 120, 153);
    s.Run([&](TCustomForm*) { s.Popup->SetModalResult(mrOk); });
    ASSERT_EQ(s.Popup->LastRollDown().size(), 15U);
    EXPECT_EQ(s.Popup->Height(), 153);
    // Nothing of the animation is left on the form.
    EXPECT_EQ(s.Popup->ControlCount(), 1);
}

TEST(DateTimePopup, ADayPicksPagingAndArrowsDoNotEscKeepsTheDate)
{
    EnsureApplication();
    TForm* owner = Create<TForm>(nullptr);
    owner->Show();
    auto* popup = Create<TDateTimePopup>(nullptr);
    popup->SetAnimateDropDown(false);
    // As large as its calendar.
    EXPECT_EQ(popup->ClientWidth(), popup->Calendar()->Width());
    EXPECT_EQ(popup->ClientHeight(), popup->Calendar()->Height());
    const TDateTime set = EncodeDate(2026, 3, 11);
    const TDateTime day = EncodeDate(2026, 3, 19);
    int changes = 0;
    popup->OnChange = [&](TObject*) { ++changes; };
    popup->SetDate(set);
    {
        TModalHookGuard guard([&](TCustomForm*) {
            TMonthCalendar* c = popup->Calendar();
            // The title's arrows and the arrow keys move without closing.
            Click(c, {c->ClientWidth() - 5, 5});
            Click(c, {5, 5});
            KeyDown(c, VK_RIGHT);
            KeyDown(c, VK_DOWN);
            EXPECT_TRUE(popup->Visible());
            EXPECT_EQ(changes, 0);
            const TRect r = c->DayRect(day);
            Click(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        });
        EXPECT_EQ(popup->RollDownForm(owner, 50, 50), mrOk);
    }
    EXPECT_EQ(popup->Date(), day);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(popup->Visible());

    popup->SetDate(set);
    {
        TModalHookGuard guard([&](TCustomForm*) {
            KeyDown(popup->Calendar(), VK_LEFT);
            KeyDown(popup->Calendar(), VK_ESCAPE);
        });
        EXPECT_EQ(popup->RollDownForm(owner, 50, 50), mrCancel);
    }
    EXPECT_EQ(popup->Date(), set);
    // Return picks the day the keys moved to.
    popup->SetDate(set);
    {
        TModalHookGuard guard([&](TCustomForm*) {
            KeyDown(popup->Calendar(), VK_LEFT);
            KeyDown(popup->Calendar(), VK_RETURN);
        });
        EXPECT_EQ(popup->RollDownForm(owner, 50, 50), mrOk);
    }
    EXPECT_EQ(popup->Date(), set - 1);
    delete popup;
    delete owner;
}
