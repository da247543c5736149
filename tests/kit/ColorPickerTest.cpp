// The colour picker's layout, comb colours, hits, picks and keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "components/ColorPickerPopup.h"
#include "components/KitTranslation.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

class ColorPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        picker = Create<TColorPickerPopup>(nullptr);
    }
    void TearDown() override { delete picker; }

    void Press(TPoint P) { picker->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(P)); }
    void Release(TPoint P) { picker->Perform(WM_LBUTTONUP, 0, PointToLParam(P)); }
    void Click(TPoint P)
    {
        Press(P);
        Release(P);
    }
    void Key(Word K) { picker->Perform(WM_KEYDOWN, K, 0); }
    TPoint CombCentre() const
    {
        const TRect r = picker->ColorCombRect();
        return {r.Left + picker->Radius(), r.Top + picker->Radius()};
    }
    TColor CombColorAt(TPoint Offset) const
    {
        const int k = picker->CombIndexAt(CombCentre() + Offset);
        return k < 0 ? clNone : picker->ColorCombs()[std::size_t(k)].Color;
    }
    TColorPickerPopup* picker = nullptr;
};

}  // namespace

TEST_F(ColorPicker, LayoutOfGridAndCustomSection)
{
    EXPECT_EQ(picker->Width(), 164);
    EXPECT_EQ(picker->Margin(), 2);
    EXPECT_EQ(picker->Radius(), 63);
    EXPECT_EQ(picker->CombSize(), 11);
    EXPECT_EQ(picker->BWCombRect().Width(), 147);
    EXPECT_EQ(picker->BWCombRect().Height(), 22);
    EXPECT_EQ(picker->ColorCombRect().Width(), 126);
    // Cells from (e + s, 2e) on, 18 px apart.
    EXPECT_EQ(picker->CellRect(0), TRect(10, 4, 28, 22));
    EXPECT_EQ(picker->CellRect(13), TRect(100, 22, 118, 40));
    EXPECT_EQ(picker->CellRect(39), TRect(136, 76, 154, 94));
    EXPECT_EQ(picker->Height(), picker->GridHeight());
    // The custom cell below the grid, its colour square at its right end.
    EXPECT_EQ(picker->CustomTextRect().Top, 98);
    EXPECT_EQ(picker->CustomColorRect().Right, picker->CustomTextRect().Right - 3);
    EXPECT_EQ(picker->CustomColorRect().Width(), 18);
    // The comb and greys lie below it.
    EXPECT_EQ(picker->ColorCombRect().Top, picker->GridHeight());
    EXPECT_GT(picker->CustomHeight(), picker->GridHeight() + 126);
}

TEST_F(ColorPicker, GridHitsAtCentresButNotInGapsOrMargins)
{
    EXPECT_EQ(picker->SelectionFromPoint({19, 13}), 0);
    EXPECT_EQ(picker->SelectionFromPoint({109, 31}), 13);
    EXPECT_EQ(picker->SelectionFromPoint({153, 93}), 39);
    // Left and right of the columns: no cell, not the next row's first.
    EXPECT_EQ(picker->SelectionFromPoint({9, 13}), -1);
    EXPECT_EQ(picker->SelectionFromPoint({156, 13}), -1);
    EXPECT_EQ(picker->SelectionFromPoint({19, 2}), -1);
    EXPECT_EQ(picker->SelectionFromPoint({19, 96}), -1);
    EXPECT_EQ(picker->SelectionFromPoint({20, 100}), -2);

    picker->SetShowSysColors(true);
    // A gap of 3e, then 25 system colours in four rows.
    EXPECT_EQ(picker->SelectionFromPoint({19, 97}), -1);
    EXPECT_EQ(picker->SelectionFromPoint({19, 109}), 40);
    EXPECT_EQ(picker->CellRect(40), TRect(10, 100, 28, 118));
    EXPECT_EQ(picker->SelectionFromPoint({19, 163}), 64);
    EXPECT_EQ(picker->SelectionFromPoint({37, 163}), -1);
    EXPECT_EQ(picker->GridColor(40 + 13), clHighlight);
    EXPECT_EQ(picker->CustomTextRect().Top, 100 + 72 + 4);

    picker->SetDefaultText("Automatic");
    const TRect d = picker->DefaultTextRect();
    EXPECT_EQ(d.Left, 10);
    EXPECT_EQ(d.Top, 4);
    EXPECT_EQ(picker->SelectionFromPoint({80, d.Top + 2}), -3);
    EXPECT_EQ(picker->CellRect(0).Top, d.Bottom + 4);
    EXPECT_EQ(picker->SelectionFromPoint({19, d.Bottom + 4 + 9}), 0);
    EXPECT_EQ(picker->SelectionFromPoint({19, d.Bottom + 2}), -1);
    EXPECT_EQ(picker->GridColor(-3), clDefault);
}

TEST_F(ColorPicker, PaintsTheNamedColoursInTheirCells)
{
    TBitmap b;
    picker->PaintTo(&b);
    EXPECT_EQ(b.Canvas()->Pixels(109, 31), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(19, 13), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(145, 85), clWhite);
    // The gap between two cells is the face.
    EXPECT_EQ(b.Canvas()->Pixels(100, 31), ColorToRGB(clBtnFace));
}

TEST_F(ColorPicker, TheCombsColoursFollowTheCentresBrightness)
{
    picker->CalculateCombLayout();
    ASSERT_EQ(picker->ColorCombs().size(), 127u);
    ASSERT_EQ(picker->BWCombs().size(), 17u);
    EXPECT_EQ(CombColorAt({0, 0}), clWhite);
    // The corners lie 2 x 63 x cos 30° x 0.5 = 54.6 px out: magenta to the
    // right, green to the left, pure.
    EXPECT_EQ(CombColorAt({55, 0}), RGB(255, 0, 255));
    EXPECT_EQ(CombColorAt({-55, 0}), RGB(0, 255, 0));
    // Half-way out toward red (corner 1, at 30° below the right one).
    EXPECT_EQ(CombColorAt({14, 24}), RGB(255, 128, 128));

    picker->SetCenterIntensity(0);
    EXPECT_EQ(CombColorAt({0, 0}), clBlack);
    EXPECT_EQ(CombColorAt({14, 24}), RGB(128, 0, 0));
    EXPECT_EQ(CombColorAt({55, 0}), RGB(255, 0, 255));

    // The greys: white, fifteen levels from 225 down by 15, black.
    const auto& g = picker->BWCombs();
    EXPECT_EQ(g[0].Color, clWhite);
    EXPECT_EQ(g[0].Position, TPoint(11, 11));
    EXPECT_EQ(g[1].Color, RGB(225, 225, 225));
    EXPECT_EQ(g[1].Position, TPoint(33, 6));
    EXPECT_EQ(g[2].Position, TPoint(38, 14));
    EXPECT_EQ(g[15].Color, RGB(15, 15, 15));
    EXPECT_EQ(g[16].Color, clBlack);
    EXPECT_EQ(g[16].Position, TPoint(124, 11));
    const TRect bw = picker->BWCombRect();
    EXPECT_EQ(picker->GreyIndexAt({bw.Left + 38, bw.Top + 13}), 2);
    EXPECT_EQ(picker->GreyIndexAt({bw.Left + 124 + 9, bw.Top + 11}), 16);
    EXPECT_EQ(picker->GreyIndexAt({bw.Left + 140, bw.Top + 1}), -1);
}

TEST_F(ColorPicker, PicksEndWithTheColourAndOutsideClicksDoNothing)
{
    Click({109, 31});
    EXPECT_EQ(picker->ModalResult(), mrOk);
    EXPECT_EQ(picker->SelectionColor(), clBlue);

    picker->SetModalResult(mrNone);
    Click({-40, -40});
    Click({1, 1});
    EXPECT_EQ(picker->ModalResult(), mrNone);

    // The custom cell opens the custom section; a comb click picks there.
    Click({20, 100});
    EXPECT_TRUE(picker->CustomSectionOpen());
    EXPECT_EQ(picker->Height(), picker->CustomHeight());
    EXPECT_EQ(picker->ModalResult(), mrNone);
    Click(CombCentre() + TPoint{-55, 0});
    EXPECT_EQ(picker->ModalResult(), mrOk);
    EXPECT_EQ(picker->SelectionColor(), RGB(0, 255, 0));
    EXPECT_EQ(picker->SelectedIndex(), -2);

    // The slider's bottom darkens the comb; releasing there picks nothing.
    picker->SetModalResult(mrNone);
    const TRect s = picker->SliderRect();
    Click({s.Left + 5, s.Bottom - 1});
    EXPECT_LT(picker->CenterIntensity(), 0.05);
    EXPECT_EQ(picker->ModalResult(), mrNone);
    // A drag over the comb that leaves it keeps the last cell.
    Press(CombCentre());
    picker->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(CombCentre() + TPoint{120, 0}));
    EXPECT_EQ(picker->CustomIndex(), 1);
    // A press outside every area clears it.
    picker->SetModalResult(mrNone);
    Press({1, picker->Height() - 1});
    EXPECT_EQ(picker->CustomIndex(), 0);
}

TEST_F(ColorPicker, SelectionColourMarksItsCell)
{
    picker->SetSelectionColor(clBlue);
    EXPECT_EQ(picker->SelectedIndex(), 13);
    EXPECT_FALSE(picker->CustomSectionOpen());
    picker->SetSelectionColor(RGB(255, 128, 128));
    EXPECT_EQ(picker->SelectedIndex(), -2);
    EXPECT_TRUE(picker->CustomSectionOpen());
    EXPECT_EQ(picker->CustomColor(), RGB(255, 128, 128));
    EXPECT_EQ(picker->Height(), picker->CustomHeight());
    picker->SetSelectionColor(RGB(15, 15, 15));
    EXPECT_EQ(picker->CustomIndex(), -16);
    // A system colour is marked only while the system colours show.
    picker->SetSelectionColor(clBtnFace);
    EXPECT_EQ(picker->SelectedIndex(), -1);
    picker->SetShowSysColors(true);
    picker->SetSelectionColor(clBtnFace);
    EXPECT_EQ(picker->SelectedIndex(), 55);
    picker->SetDefaultText("Default");
    picker->SetSelectionColor(clDefault);
    EXPECT_EQ(picker->SelectedIndex(), -3);
}

TEST_F(ColorPicker, KeysMoveTheHoverAndPick)
{
    Key(VK_RIGHT);
    EXPECT_EQ(picker->HoverIndex(), 0);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(picker->HoverIndex(), 9);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(picker->HoverIndex(), -2);  // from the top row to the custom cell
    Key(VK_RIGHT);
    EXPECT_EQ(picker->HoverIndex(), 0);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(picker->HoverIndex(), 39);
    // Return on the custom cell with nothing mixed opens the section.
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_TRUE(picker->CustomSectionOpen());
    EXPECT_EQ(picker->ModalResult(), mrNone);
    // Space takes the hovered cell.
    picker->SetHoverIndex(26);
    Key(VK_SPACE);
    EXPECT_EQ(picker->ModalResult(), mrOk);
    EXPECT_EQ(picker->SelectionColor(), clYellow);
    Key(VK_ESCAPE);
    EXPECT_EQ(picker->ModalResult(), mrCancel);

    // Hidden system colours take no hover; accelerators pick and open.
    picker->SetHoverIndex(45);
    EXPECT_EQ(picker->HoverIndex(), -1);
    picker->SetDefaultText("&Automatic");
    picker->SetModalResult(mrNone);
    picker->Perform(WM_SYSKEYDOWN, 'A', KF_ALTDOWN_BIT);
    EXPECT_EQ(picker->ModalResult(), mrOk);
    EXPECT_EQ(picker->SelectionColor(), clDefault);
}

TEST_F(ColorPicker, PlacedBelowItsAnchorWithinTheScreen)
{
    const TRect screen = Screen->MonitorRect({0, 0});
    picker->DestRect = TRect(100, 100, 180, 120);
    picker->ShowPopupAligned();
    EXPECT_EQ(picker->Left(), 100);
    EXPECT_EQ(picker->Top(), 120);
    // Near the bottom: above the anchor. Near the right: inside.
    picker->DestRect = TRect(screen.Right - 20, screen.Bottom - 30, screen.Right, screen.Bottom - 10);
    picker->ShowPopupAligned();
    EXPECT_EQ(picker->Top() + picker->Height(), screen.Bottom - 30);
    EXPECT_EQ(picker->Left() + picker->Width(), screen.Right);
    // Left of the screen it starts at its edge.
    picker->DestRect = TRect(screen.Left - 50, 100, screen.Left - 10, 120);
    picker->ShowPopupAligned();
    EXPECT_EQ(picker->Left(), screen.Left);
}

TEST_F(ColorPicker, ShownItTakesAllInputTranslatesItsTextAndIgnoresOutsidePresses)
{
    auto* owner = Create<TForm>(nullptr);
    owner->SetBorderStyle(bsNone);
    owner->SetBounds(0, 0, 600, 500);
    auto* field = Create<TRecordingControl>(owner);
    field->SetParent(owner);
    field->SetBounds(0, 0, 600, 500);
    owner->Show();
    SetKitTranslator([](const String& T) { return T == "mix colour" ? String("Farbe &mischen") : T; });
    picker->DestRect = TRect(300, 40, 380, 60);
    bool openAfterOutsidePress = false;
    SetModalHook([&](TCustomForm*) {
        EXPECT_EQ(picker->CustomText(), "Farbe &mischen");
        EXPECT_EQ(picker->BoundsRect().TopLeft(), TPoint(300, 60));
        ::Click(field, {20, 20});
        openAfterOutsidePress = picker->Visible();
        // Keys sent to the window beneath reach the picker.
        KeyDown(field, VK_ESCAPE);
    });
    EXPECT_EQ(picker->Popup(), mrCancel);
    EXPECT_TRUE(openAfterOutsidePress);
    EXPECT_FALSE(picker->Visible());
    const std::vector<UINT> beneath = field->Messages();
    EXPECT_EQ(std::count(beneath.begin(), beneath.end(), WM_LBUTTONDOWN), 0);
    // Alt with the custom text's accelerator opens the custom section; a
    // click in the grid picks.
    SetModalHook([&](TCustomForm*) {
        KeyDown(picker, 'M', "", TShiftState{ssAlt});
        EXPECT_TRUE(picker->CustomSectionOpen());
        const TRect blue = picker->CellRect(13);
        ::Click(picker, {(blue.Left + blue.Right) / 2, (blue.Top + blue.Bottom) / 2});
    });
    EXPECT_EQ(picker->Popup(), mrOk);
    EXPECT_EQ(picker->SelectionColor(), clBlue);
    SetModalHook(nullptr);
    SetKitTranslator(nullptr);
    delete owner;
}
