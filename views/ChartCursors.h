#pragma once
// The program's own mouse cursors, by the number the screen knows them by:
// 1 .. 9 a hand with a clock filling up in nine steps (the wait before a
// dragged bar switches the group tab), 10 an open hand, 11 a closed
// (grabbing) hand, 12 the switch between the two tables' bars. The shell
// draws and registers them at start-up; the chart only names them.
constexpr int crHandTimerFirst = 1;
constexpr int crHandTimerLast = 9;
constexpr int crHandOpen = 10;
constexpr int crHandClosed = 11;
constexpr int crHandSwitch = 12;
