#pragma once
// The windowed control the tree grid derives from. Its widget is created
// only when the control is shown, so a tree without one is a plain model.
#include "platform/Controls.h"
