#pragma once
// Shared drawing routines of the tree-grid unit: alpha blending of 32-bit
// bitmaps (the timechart's bars use it too) and the text helpers that draw,
// shorten, wrap and measure texts on a canvas.
//
// Text is UTF-8. The text routines count and cut in characters (code
// points), never inside one, and measure through the canvas's own text
// extent, so what they compute is what the canvas draws. TreeFromNode and
// ShowError live with the node store (BaseTreeGrid.h, TreeGridTypes.h).
#include "platform/Graphics.h"
#include "platform/Types.h"

// ---------------------------------------------------------------------------
// Alpha blending

enum TBlendMode {
    // Every channel moves from the destination towards the source by the
    // constant alpha, then the bias is added.
    bmConstantAlpha,
    // As above with the source pixel's fourth byte as alpha.
    bmPerPixelAlpha,
    // As above with constantAlpha * (source's fourth byte) / 256 as alpha.
    bmMasterAlpha,
    // The destination moves towards the colour passed as the bias
    // (0x00BBGGRR) by the constant alpha; the source is not read.
    bmConstantAlphaAndColor
};

// Blends R of Source onto Destination at Target (for bmConstantAlphaAndColor:
// onto R of Destination; Source may then be null). With s and d a source and
// destination channel (blue, green, red and the fourth byte alike):
//   t = (256*d + a*(s - d)) div 256, result = t + Bias clamped to 0..255
// and for bmConstantAlphaAndColor, with c the colour's channel (0 for the
// fourth byte):
//   result = (c*a + d*(256 - a)) div 256.
// Alpha counts 0..256 (256 copies the source); values outside are clamped.
// R and the rectangle it lands on are clipped to both bitmaps, so a
// rectangle partly outside either only blends the pixels both have; an empty
// R does nothing. A missing bitmap fails with EAssertionFailed "Alpha
// blending DC error: no bitmap available.", a pixel format other than
// pf32bit with "Alpha blending error: bitmap must use 32 bpp.".
void AlphaBlend(TBitmap* Source, TBitmap* Destination, const TRect& R, const TPoint& Target, TBlendMode Mode,
    int ConstantAlpha, int Bias);
// The same on the bitmaps the canvases draw on (none for a printer or a
// window canvas).
void AlphaBlend(TCanvas* Source, TCanvas* Destination, const TRect& R, const TPoint& Target, TBlendMode Mode,
    int ConstantAlpha, int Bias);

// ---------------------------------------------------------------------------
// Text

// Draws Text (its first Length characters; all of it for a negative Length)
// into Bounds with the canvas's font. Lines are as high as the font's cell.
// DT_RIGHT and DT_CENTER align each line, DT_RTLREADING is passed on, and the
// text is clipped to Bounds unless DT_NOCLIP is given. DT_SINGLELINE draws
// one line at the top (centred with DT_VCENTER); otherwise lines end at NUL,
// CR, LF, CR LF or U+2028 and drawing stops at the first line that would
// start at or below Bounds.Bottom. With DT_CALCRECT nothing is drawn:
// Bounds.Bottom becomes the bottom of the last line and, with AdjustRight,
// Bounds.Right becomes Left + the widest line. Returns the height of the
// lines laid out.
int DrawTextW(TCanvas* DC, const String& Text, int Length, TRect& Bounds, unsigned Format, bool AdjustRight);

// The longest proper prefix of S that fits in Width together with "...",
// followed by "..." (a text that fits whole still loses its last character).
// Empty for an empty text, a width <= 0, or when the ellipsis alone does not
// fit. EllipsisWidth 0 measures "...".
String ShortenString(TCanvas* DC, const String& S, int Width, int EllipsisWidth = 0);

// S trimmed and broken into lines (joined with LF) that fit Bounds' width,
// measured by GetStringDrawRect with DrawFormat. Words are separated by
// single spaces; a word wider than a line is split, each piece at least one
// character. RightToLeft fills lines from the last word backwards and splits
// an overlong word from its end.
String WrapString(TCanvas* DC, const String& S, const TRect& Bounds, bool RightToLeft, unsigned DrawFormat);

// Bounds becomes the rectangle S needs with DrawFormat, laid out from a
// 1 x 1 rectangle at Bounds' top-left (DrawText's calculation mode).
void GetStringDrawRect(TCanvas* DC, const String& S, TRect& Bounds, unsigned DrawFormat);

// ---------------------------------------------------------------------------
// Small helpers

// R with Left <= Right and Top <= Bottom.
TRect OrderRect(const TRect& R);

// Colour values of image-list drawing.
constexpr TColor CLR_NONE = 0xFFFFFFFFu;
constexpr TColor CLR_DEFAULT = 0xFF000000u;

// Colour as the RGB value image-list drawing takes: clNone becomes CLR_NONE,
// clDefault CLR_DEFAULT, a system colour its RGB value.
TColor GetRGBColor(TColor Value);
