#pragma once
// The drawing the collapsible tool bar's tab and the collapsible splitter's
// button share: a pixel arrow and the dotted grip texture.
#include "platform/Colors.h"
#include "platform/Types.h"

class TCanvas;

enum TKitArrowDirection { adUp, adDown, adLeft, adRight };

// An arrow of Size is drawn with an odd size (one less when even, at least
// 1): rows of 2n - 1, 2n - 3, ... 1 pixels.
int KitArrowSize(int Size);
// The arrow's bounding box: 2n - 1 across its direction, n along it.
TSize KitArrowExtent(int Size, TKitArrowDirection Direction);
// The arrow with its bounding box's top-left corner at X, Y.
void DrawKitArrow(TCanvas* Canvas, int X, int Y, int Size, TKitArrowDirection Direction, TColor Color);
// Fills R with Back and dots it with a 3 x 3 cell: Color1 at (1, 1) and
// Color2 at (2, 2) of each cell, counted from R's corner. An area 2 px or
// less across or along is only filled.
void DrawKitTexture(TCanvas* Canvas, const TRect& R, TColor Back, TColor Color1, TColor Color2);
