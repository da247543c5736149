#include "platform/Colors.h"

namespace {

// A light desktop: grey-beige faces, white windows, dark blue selection,
// black text.
constexpr TColor SystemColors[SystemColorCount] = {
    RGB(212, 208, 200),  // clScrollBar
    RGB(58, 110, 165),   // clBackground
    RGB(10, 36, 106),    // clActiveCaption
    RGB(128, 128, 128),  // clInactiveCaption
    RGB(212, 208, 200),  // clMenu
    RGB(255, 255, 255),  // clWindow
    RGB(0, 0, 0),        // clWindowFrame
    RGB(0, 0, 0),        // clMenuText
    RGB(0, 0, 0),        // clWindowText
    RGB(255, 255, 255),  // clCaptionText
    RGB(212, 208, 200),  // clActiveBorder
    RGB(212, 208, 200),  // clInactiveBorder
    RGB(128, 128, 128),  // clAppWorkSpace
    RGB(10, 36, 106),    // clHighlight
    RGB(255, 255, 255),  // clHighlightText
    RGB(212, 208, 200),  // clBtnFace
    RGB(128, 128, 128),  // clBtnShadow
    RGB(128, 128, 128),  // clGrayText
    RGB(0, 0, 0),        // clBtnText
    RGB(212, 208, 200),  // clInactiveCaptionText
    RGB(255, 255, 255),  // clBtnHighlight
    RGB(64, 64, 64),     // cl3DDkShadow
    RGB(212, 208, 200),  // cl3DLight
    RGB(0, 0, 0),        // clInfoText
    RGB(255, 255, 225),  // clInfoBk
    RGB(0, 0, 0),        // (unused)
    RGB(0, 0, 128),      // clHotLight
    RGB(166, 202, 240),  // clGradientActiveCaption
    RGB(192, 192, 192),  // clGradientInactiveCaption
    RGB(10, 36, 106),    // clMenuHighlight
    RGB(212, 208, 200),  // clMenuBar
};

}  // namespace

TColor GetSysColor(int Index)
{
    if (Index < 0 || Index >= SystemColorCount)
        return 0;
    return SystemColors[Index];
}

TColor ColorToRGB(TColor Color)
{
    if (IsSystemColor(Color))
        return GetSysColor(int(Color & 0xFF));
    return Color;
}
