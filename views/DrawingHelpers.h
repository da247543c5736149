#pragma once
// Small drawing and colour routines of the views: rounding, colour
// arithmetic in RGB and HSV, the due-date arrow, the dotted focus frame, the
// wavy underline and an elliptic invalidation.
#include <vector>

#include "platform/Colors.h"
#include "platform/Regions.h"
#include "platform/Types.h"

class TCanvas;
class TWinControl;

// The nearest integer, a half going to the even neighbour. Values within a
// hair of a half count as the half, so that a product that should be
// exactly x.5 rounds the same whatever the floating-point error. Values
// beyond the integer range are clamped; not a number gives 0.
int Nearest(double Value);

// Red, green and blue as 0..1, hue in degrees 0..360.
void RGBToHSV(double R, double G, double B, double& H, double& S, double& V);
void HSVToRGB(double H, double S, double V, double& R, double& G, double& B);
void ColorToHSV(TColor Color, double& H, double& S, double& V);
TColor HSVToColor(double H, double S, double V);

// Percent > 0 lightens (raises the HSV value towards 1 by that share of
// what is left), percent < 0 darkens (takes that share off the value).
TColor FlashColor(TColor Color, int Percent);
// Each channel moves from C1 towards C2 by Percent (0 gives C1, 100 C2).
TColor FadeColorRGB(TColor C1, TColor C2, double Percent);
// White on dark colours (HSV value at most 0.8), else black.
TColor VisibleContrast(TColor Color);

// The outline of an arrow from From to To (its head at To), sized by Scale
// (1 at zoom 100): a shaft of two curves and a head of four segments,
// flattened into a polygon. Empty when the points coincide.
std::vector<TPoint> ArrowOutline(TPoint From, TPoint To, double Scale);
// Mode 0 strokes the outline with the pen, 1 fills it with the brush, 2
// does both.
void DrawArrow(TCanvas* DC, TPoint From, TPoint To, double Scale, int Mode);
TRegion ArrowRgn(TCanvas* DC, TPoint From, TPoint To, double Scale);

// The dotted focus frame of R, corners in any order. It inverts, so drawing
// it twice leaves the canvas as it was.
void FocusRect(TCanvas* DC, const TRect& R);
// A red wavy line of single pixels from X over Length + 1 pixels: at Y - 1
// where (Phase + x) mod 4 is 0 or 1, else at Y - 2.
void SnakeLine(TCanvas* DC, int X, int Y, int Length, int Phase);
// Invalidates the ellipse inscribed in R, its right and bottom edges
// included.
void InvalidateEllipse(TWinControl* Window, const TRect& R);
