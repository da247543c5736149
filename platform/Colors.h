#pragma once
// Colours: TColor is the 32-bit 0x00BBGGRR value. A value with the top bit
// set names a system colour by its index in the low byte; ColorToRGB turns it
// into a plain colour through one fixed table, so what is drawn and exported
// does not depend on the desktop the program runs on.
#include "platform/Types.h"

// Files and settings keep a colour as the signed 32-bit decimal the class
// library writes (a system colour is negative there): write int(Color); a
// value read back as int converts to the same TColor.
using TColor = std::uint32_t;

constexpr TColor RGB(Byte R, Byte G, Byte B)
{
    return TColor(R) | (TColor(G) << 8) | (TColor(B) << 16);
}
constexpr Byte GetRValue(TColor C) { return Byte(C & 0xFF); }
constexpr Byte GetGValue(TColor C) { return Byte((C >> 8) & 0xFF); }
constexpr Byte GetBValue(TColor C) { return Byte((C >> 16) & 0xFF); }

constexpr TColor clSystemColor = 0x80000000u;
// Any value with the top bit set is a system colour; the low byte is its index.
constexpr bool IsSystemColor(TColor C) { return (C & clSystemColor) != 0; }

// Plain colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// "No colour" (draw nothing) and "the control's default colour". Neither is
// a system colour; ColorToRGB returns them unchanged.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours, by their classic index.
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
// Index 25 has no colour of its own.
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr int SystemColorCount = 31;

// The RGB value of system colour Index (0..SystemColorCount-1); 0 (black)
// for an index without a colour.
TColor GetSysColor(int Index);

// A system colour becomes its fixed RGB value (black for an unknown index);
// every other value, clNone and clDefault included, is returned unchanged.
TColor ColorToRGB(TColor Color);
