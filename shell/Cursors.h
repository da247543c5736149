#pragma once
// The program's own mouse cursors, registered with the screen by number:
// 1 .. 9 a hand with a clock filling up in nine steps (the wait before a
// drag starts), 10 an open hand, 11 a closed (grabbing) hand, 12 the switch
// between two rows; 98 and 99 a magnifying glass.
constexpr int crHandTimerFirst = 1;
constexpr int crHandTimerLast = 9;
constexpr int crHandOpen = 10;
constexpr int crHandClosed = 11;
constexpr int crHandSwitch = 12;
// 98 (crZoomIn, "ZOOM_IN") and 99 (crZoomOut, "ZOOM_OUT") are the print
// preview's, declared with it.

#include <memory>

class TBitmap;

// The picture of cursor Index (white is transparent); null for another number.
std::unique_ptr<TBitmap> CursorPicture(int Index);
// Draws the cursors and registers them; needs the toolkit's application.
void RegisterCursors();
