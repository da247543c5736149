#pragma once
// The pictures of the program's own mouse cursors. The chart's are
// numbered in views/ChartCursors.h; 98 (crZoomIn, "ZOOM_IN") and 99
// (crZoomOut, "ZOOM_OUT") are the print preview's, declared with it.
#include "views/ChartCursors.h"

#include <memory>

class TBitmap;

// The picture of cursor Index (white is transparent); null for another number.
std::unique_ptr<TBitmap> CursorPicture(int Index);
// Draws the cursors and registers them; needs the toolkit's application.
void RegisterCursors();
