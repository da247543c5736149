#include "platform/Colors.h"

#include <gtest/gtest.h>

TEST(Colors, RgbPacksRedInTheLowByte)
{
    const TColor c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
    EXPECT_EQ(RGB(255, 0, 0), clRed);
    EXPECT_EQ(RGB(0, 0, 255), clBlue);
    EXPECT_EQ(RGB(0, 128, 0), clGreen);
    EXPECT_EQ(GetRValue(clSkyBlue), 0xA6);
    EXPECT_EQ(GetBValue(clCream), 0xF0);
}

TEST(Colors, PlainAndSpecialValuesPassThrough)
{
    for (TColor c : {clBlack, clMaroon, clTeal, clWhite, clMoneyGreen, clMedGray, RGB(1, 2, 3)})
        EXPECT_EQ(ColorToRGB(c), c);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clDefault));
}

TEST(Colors, SystemColoursKeepTheirClassicIndexes)
{
    EXPECT_EQ(clScrollBar, 0x80000000u);
    EXPECT_EQ(clInfoBk, 0x80000018u);
    EXPECT_EQ(clHotLight, 0x8000001Au);  // 25 is skipped
    EXPECT_EQ(clMenuBar, 0x8000001Eu);
}

TEST(Colors, SystemColoursResolveThroughTheFixedTable)
{
    const TColor all[] = {clScrollBar, clBackground, clActiveCaption, clInactiveCaption, clMenu,
                          clWindow, clWindowFrame, clMenuText, clWindowText, clCaptionText,
                          clActiveBorder, clInactiveBorder, clAppWorkSpace, clHighlight,
                          clHighlightText, clBtnFace, clBtnShadow, clGrayText, clBtnText,
                          clInactiveCaptionText, clBtnHighlight, cl3DDkShadow, cl3DLight,
                          clInfoText, clInfoBk, clHotLight, clGradientActiveCaption,
                          clGradientInactiveCaption, clMenuHighlight, clMenuBar};
    for (TColor c : all) {
        ASSERT_TRUE(IsSystemColor(c));
        const TColor rgb = ColorToRGB(c);
        EXPECT_EQ(rgb & 0xFF000000u, 0u) << std::hex << c;
        EXPECT_EQ(rgb, GetSysColor(int(c & 0xFF)));
    }
    // A light theme: white windows with black text, a mid-tone face that is
    // neither, selections readable against their text.
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnText), clBlack);
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_NE(face, clWhite);
    EXPECT_GT(GetRValue(face), 160);
    EXPECT_LT(GetRValue(ColorToRGB(clBtnShadow)), GetRValue(face));
    EXPECT_GT(GetRValue(ColorToRGB(clBtnHighlight)), GetRValue(face));
    EXPECT_NE(ColorToRGB(clHighlight), ColorToRGB(clHighlightText));
    EXPECT_NE(ColorToRGB(clInfoBk), ColorToRGB(clInfoText));
}

TEST(Colors, UnknownSystemIndexesAreBlack)
{
    EXPECT_EQ(ColorToRGB(clSystemColor | 25), 0u);
    EXPECT_EQ(ColorToRGB(clSystemColor | 31), 0u);
    EXPECT_EQ(ColorToRGB(clSystemColor | 0xFF), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(SystemColorCount), 0u);
    // Stray high bits still name a system colour by the low byte.
    EXPECT_EQ(ColorToRGB(0xFF000005u), ColorToRGB(clWindow));
}

TEST(Colors, SignedFileFormRoundTrips)
{
    // Files hold the signed decimal: system colours are negative there.
    EXPECT_EQ(int(clBtnFace), -2147483633);
    EXPECT_EQ(TColor(-2147483633), clBtnFace);
    EXPECT_EQ(int(clNone), 536870911);
    for (TColor c : {clBlack, clWhite, clNone, clDefault, clHighlight, clMenuBar})
        EXPECT_EQ(TColor(int(c)), c);
}
