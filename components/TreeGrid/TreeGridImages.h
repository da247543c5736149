#pragma once
// The tree-grid unit's own pictures: the check, tick, flat, XP and utility
// image strips, the system check image sets and the two splitter cursors.
// All are drawn in code, pixel by pixel, so they look the same everywhere.
//
// Layout of every check image list (16 x 16 each):
//   0        empty
//   1 - 4    radio button unchecked: normal, hot, pressed, disabled
//   5 - 8    radio button checked, the same four states
//   9 - 12   check box unchecked
//   13 - 16  check box checked
//   17 - 20  three-state box mixed
//   21 - 24  push button
// Utility images (16 x 16): see the TTGUtilityImage values.
#include <memory>
#include <vector>

#include "platform/Graphics.h"

// A small list of equally sized images, each with its transparent colour.
class TTGImageList {
public:
    explicit TTGImageList(int AWidth = 16, int AHeight = 16);
    ~TTGImageList();
    TTGImageList(const TTGImageList&) = delete;
    TTGImageList& operator=(const TTGImageList&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return int(FImages.size()); }
    // Changing the size removes all images.
    void SetSize(int AWidth, int AHeight);
    void Clear();

    // Adds the Width x Height piece of Source whose top-left is (X, Y)
    // (parts outside Source become transparent); pixels of TransparentColor
    // are left out when the image is drawn. Returns the new index.
    int AddFrom(const TBitmap& Source, int X, int Y, TColor TransparentColor);
    // Draws image Index with its top-left at (X, Y); nothing for an index
    // out of range.
    void Draw(TCanvas* Canvas, int X, int Y, int Index);

    // The picture of image Index (null when out of range).
    TBitmap* Image(int Index) const;
    TColor TransparentColor(int Index) const;
    // What drawing image Index puts at its pixel (X, Y): the colour, or
    // clNone where the image is transparent or the place is outside it.
    TColor Pixel(int Index, int X, int Y) const;

private:
    int FWidth;
    int FHeight;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};

// Indexes of the check image lists.
constexpr int ckEmptyImage = 0;
constexpr int ckRadioUncheckedNormal = 1;
constexpr int ckRadioCheckedNormal = 5;
constexpr int ckCheckUncheckedNormal = 9;
constexpr int ckCheckCheckedNormal = 13;
constexpr int ckCheckMixedNormal = 17;
constexpr int ckButtonNormal = 21;
constexpr int CheckImageCount = 25;
// Which check images a tree shows: one of the unit's lists, the owner's own
// (ckCustom) or the system look.
enum TTGCheckImageKind : std::uint8_t {
    ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat, ckSystemDefault
};

// Offsets of the four states within each group.
enum TTGCheckImageState { cisNormal, cisHot, cisPressed, cisDisabled };

enum TTGUtilityImage {
    uiDropMarkLeft,
    uiDropMarkRight,
    uiSortDescendingClassic,
    uiSortAscendingClassic,
    uiSortDescendingThemed,
    uiSortAscendingThemed,
    uiHotUnderlineLeft,
    uiHotUnderlineMiddle,
    uiHotUnderlineRight,
    UtilityImageCount
};

// The size of a menu check mark; the system check images are 3 pixels
// larger each way.
constexpr int SystemMenuCheckSize = 13;

// The strip of images named Name ("TG_CHECK_LIGHT", "TG_CHECK_DARK",
// "TG_TICK_LIGHT", "TG_TICK_DARK", "TG_FLAT", "TG_XP", "TG_UTILITIES"; the
// shaded 9 x 9 expand buttons "TG_XPBUTTONMINUS", "TG_XPBUTTONPLUS"),
// painted now: images side by side, each as wide as the strip is high, the
// top-left pixel in the transparent colour. With MapColours the classic
// greys, black and white become the button colours of the system colour
// table. Null for an unknown name.
std::unique_ptr<TBitmap> LoadTreeGridImageStrip(const String& Name, bool MapColours);

// List becomes the images of strip ResourceName (square, the strip's height
// as their size), each transparent in the strip's top-left colour. Runs
// under a process-wide lock. An unknown name fails with EAssertionFailed
// "Internal image "<name>" is missing or corrupt.".
void ConvertImageList(TTGImageList* List, const String& ResourceName, bool MapColours);

// The system check images in the button colours of the system colour table:
// image 0 empty, 1 - 20 radio buttons, check boxes and three-state boxes in
// a rectangle inset (1, 2, width - 2, height - 1), Flat giving the flat
// look; then the push buttons of ButtonImages (images 21 - 24), vertically
// centred. List is created when null.
void CreateSystemImageSet(std::unique_ptr<TTGImageList>& List, bool Flat, TTGImageList* ButtonImages);

// Cursors of their own: the column splitter of the header and the splitter
// of row heights, registered as screen cursors 63 and 62.
constexpr int crHeaderSplit = 63;
constexpr int crVertSplit = 62;

struct TTGCursorImage {
    std::unique_ptr<TBitmap> Image;  // transparent in TransparentColor
    TColor TransparentColor = clNone;
    TPoint HotSpot;
};

// "TG_HEADERSPLIT" or "TG_VERTSPLIT", painted now; null for another name.
std::unique_ptr<TTGCursorImage> LoadTreeGridCursor(const String& Name);

// Wheel panning: the picture shown where panning began (32 x 32, its key
// colour 0xFF00FF transparent) for scrolling both ways, sideways only or up
// and down only, and the cursors for the eight directions and the three
// idle looks, registered with the screen when panning first starts.
enum TTGPanningImage { piMoveAll, piMoveEW, piMoveNS };
constexpr int crPanningN = 64;
constexpr int crPanningNE = 65;
constexpr int crPanningE = 66;
constexpr int crPanningSE = 67;
constexpr int crPanningS = 68;
constexpr int crPanningSW = 69;
constexpr int crPanningW = 70;
constexpr int crPanningNW = 71;
constexpr int crPanningIdleAll = 72;
constexpr int crPanningIdleEW = 73;
constexpr int crPanningIdleNS = 74;
constexpr int crPanningFirst = crPanningN;
constexpr int crPanningLast = crPanningIdleNS;
std::unique_ptr<TBitmap> PanningPicture(TTGPanningImage Image);
// The cursor's picture (white transparent); null for another number.
std::unique_ptr<TBitmap> PanningCursorPicture(int Cursor);

class TRegion;
// The pixels of Image that are not TransparentColor, row by row; an empty
// image fails with EAssertionFailed "Invalid wheel panning image.".
TRegion CreateClipRegion(TBitmap* Image, TColor TransparentColor);
