#pragma once
// vekfile picture: the chart of a plan as a PNG, drawn as the window draws
// it, without a display and without the user's settings.
#include <memory>
#include <vector>

#include "platform/Types.h"

class TBitmap;

struct TPictureOptions {
    String File;
    String Out;
    // Without --from the picture starts today.
    bool HasFrom = false;
    TDateTime From = 0;
    int Days = 14;
    // 0 keeps the document's own value.
    int DayWidth = 0;
    int Zoom = 0;
    int FontSize = 0;
    bool HasNow = false;
    TDateTime Now = 0;
    std::vector<int> Select;
    // The chart body's client area (0: the picture of the span instead) and
    // the overview strip's (0: the chart body).
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    int OverviewWidth = 0;
    int OverviewHeight = 0;
};

// The command's arguments after "picture"; false, with Error saying why,
// for a missing or bad one.
bool ParsePictureOptions(const std::vector<String>& Args, TPictureOptions& Options, String& Error);

// The picture the options ask for; null, with Error saying why, when the
// plan cannot be loaded or a selected row is not in it.
std::unique_ptr<TBitmap> MakePicture(const TPictureOptions& Options, String& Error);

// The whole command: 0 when OUT.png was written, else a message on stderr,
// status 1 (2 for bad arguments) and no file.
int PictureCommand(const std::vector<String>& Args);
