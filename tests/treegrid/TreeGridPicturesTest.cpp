// Check images of each kind and the background picture, checked pixel by
// pixel in computed rectangles. The trees draw no texts.
#include "TreeGridTestSupport.h"
#include "components/TreeGrid/CustomDrawTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/ImgList.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr TColor TreeColor = 0x00F0E8E0;
constexpr TColor FocusedSel = 0x00C06020;
constexpr TColor UnfocusedSel = 0x00A0A0A0;
constexpr TColor CustomColor = 0x002080E0;
constexpr TColor Key = 0x00FF00FF;

using TDrawTreePtr = std::unique_ptr<TCustomDrawTreeGrid, TTreeDeleter>;

// A quarter of B over three quarters of A.
TColor Quarter(TColor A, TColor B)
{
    return RGB(Byte((3 * GetRValue(A) + GetRValue(B)) / 4), Byte((3 * GetGValue(A) + GetGValue(B)) / 4),
        Byte((3 * GetBValue(A) + GetBValue(B)) / 4));
}

// The background picture's pixels: all different within the 8 x 6 picture.
TColor PicturePixel(int X, int Y)
{
    return RGB(Byte(20 + X * 25), Byte(30 + Y * 30), 200);
}

struct Pictures : ::testing::Test {
    TDrawTreePtr tree;
    TBitmap bitmap;

    void SetUp() override
    {
        EnsureApplication();
        tree.reset(Create<TCustomDrawTreeGrid>(nullptr));
        tree->SetBounds(0, 0, 200, 60);
        tree->SetColor(TreeColor);
        tree->Colors()->SetFocusedSelectionColor(FocusedSel);
        tree->Colors()->SetFocusedSelectionBorderColor(FocusedSel);
        tree->Colors()->SetUnfocusedSelectionColor(UnfocusedSel);
        tree->Colors()->SetUnfocusedSelectionBorderColor(UnfocusedSel);
        SetPaint(toShowTreeLines, false);
        SetPaint(toShowButtons, false);
    }
    void SetPaint(TTGPaintOption Option, bool On)
    {
        TTGPaintOptions options = tree->TreeOptions()->PaintOptions();
        if (On)
            options.Include(Option);
        else
            options.Exclude(Option);
        tree->TreeOptions()->SetPaintOptions(options);
    }
    void Paint(TRect Window = TRect(0, 0, 200, 60))
    {
        bitmap.SetSize(Window.Width(), Window.Height());
        tree->PaintTree(bitmap.Canvas(), Window, {0, 0}, WindowPaintOptions);
    }
    TColor At(int X, int Y) { return bitmap.Canvas()->Pixels(X, Y); }
    // Each pixel of the bitmap is what Expected says; reports the first that is not.
    template <class F> void ExpectPixels(F Expected, const char* What)
    {
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (At(x, y) != Expected(x, y)) {
                    ADD_FAILURE() << What << ": pixel (" << x << ", " << y << ") is " << std::hex << At(x, y)
                                  << " instead of " << Expected(x, y);
                    return;
                }
    }
};

// A check box in the first row: checked, at the first level.
TGridNode* CheckedRow(TCustomDrawTreeGrid* Tree)
{
    TTGMiscOptions misc = Tree->TreeOptions()->MiscOptions();
    misc.Include(toCheckSupport);
    Tree->TreeOptions()->SetMiscOptions(misc);
    Tree->SetRootNodeCount(2);
    TGridNode* first = Tree->GetFirst();
    first->CheckType = ctCheckBox;
    first->CheckState = csCheckedNormal;
    return first;
}

}  // namespace

TEST_F(Pictures, EachKindShowsItsListAndASelectedBoxTakesATintOfTheSelection)
{
    EXPECT_EQ(tree->CheckImageKind(), ckSystemDefault);
    TGridNode* first = CheckedRow(tree.get());
    // One level of indentation (toShowRoot), centred on the row's middle.
    const int x0 = tree->Margin() + int(tree->Indent()), y0 = 9 - 8;
    const struct {
        TTGCheckImageKind Kind;
        TTGImageList* List;
    } kinds[] = {{ckLightCheck, LightCheckImages()}, {ckDarkCheck, DarkCheckImages()},
        {ckLightTick, LightTickImages()}, {ckDarkTick, DarkTickImages()}, {ckFlat, FlatImages()}, {ckXP, XPImages()},
        {ckSystemFlat, SystemFlatCheckImages()}, {ckSystemDefault, SystemCheckImages()}};
    for (bool selected : {false, true}) {
        tree->SetSelected(first, selected);
        for (TColor popup : {UnfocusedSel, FocusedSel}) {
            SetPaint(toPopupMode, popup == FocusedSel);
            for (const auto& k : kinds) {
                tree->SetCheckImageKind(k.Kind);
                Paint();
                int compared = 0;
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x) {
                        const TColor c = k.List->Pixel(ckCheckCheckedNormal, x, y);
                        if (c == clNone)
                            continue;
                        ++compared;
                        ASSERT_EQ(At(x0 + x, y0 + y), selected ? Quarter(c, popup) : c)
                            << "kind " << int(k.Kind) << " selected " << selected << " at " << x << ", " << y;
                    }
                EXPECT_GT(compared, 50) << int(k.Kind);
            }
        }
    }
    // The lists differ, so the comparisons above tell the kinds apart.
    int differing = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            differing += DarkTickImages()->Pixel(ckCheckCheckedNormal, x, y) !=
                SystemCheckImages()->Pixel(ckCheckCheckedNormal, x, y);
    EXPECT_GT(differing, 0);
}

TEST_F(Pictures, CustomCheckImagesTakeTheirSizeAndLeaveWhenFreed)
{
    TGridNode* first = CheckedRow(tree.get());
    const int x0 = tree->Margin() + int(tree->Indent());
    const int labelWithout = x0;
    EXPECT_EQ(tree->GetDisplayRect(first, NoColumn, true).Left, labelWithout + 16 + 2);

    // Custom without a list: no box and no room for one.
    tree->SetCheckImageKind(ckCustom);
    EXPECT_EQ(tree->GetDisplayRect(first, NoColumn, true).Left, labelWithout);
    Paint();
    for (int x = 0; x < 60; ++x)
        ASSERT_EQ(At(x, 9), TreeColor) << x;

    // A list of 20 x 20 boxes, each with a transparent 2 x 2 corner.
    auto* custom = new TImageList(nullptr);
    custom->SetSize(20, 20);
    TBitmap box(20, 20);
    box.Canvas()->Brush()->SetColor(CustomColor);
    box.Canvas()->FillRect(TRect(0, 0, 20, 20));
    box.Canvas()->Brush()->SetColor(Key);
    box.Canvas()->FillRect(TRect(0, 0, 2, 2));
    for (int i = 0; i < CheckImageCount; ++i)
        custom->AddMasked(&box, Key);
    tree->SetCustomCheckImages(custom);
    EXPECT_EQ(tree->GetDisplayRect(first, NoColumn, true).Left, labelWithout + 20 + 2);
    Paint();
    const int y0 = 9 - 10;
    EXPECT_EQ(At(x0 + 1, y0 + 1), TreeColor) << "the transparent corner";
    EXPECT_EQ(At(x0 + 2, y0 + 2), CustomColor);
    EXPECT_EQ(At(x0 + 19, 9), CustomColor);
    EXPECT_EQ(At(x0 + 20, 9), TreeColor);
    tree->SetSelected(first, true);
    Paint();
    EXPECT_EQ(At(x0 + 10, 9), Quarter(CustomColor, UnfocusedSel));

    // The list goes first: the tree lets go of it and paints no box.
    custom->Free();
    EXPECT_EQ(tree->CustomCheckImages(), nullptr);
    tree->SetSelected(first, false);
    Paint();
    EXPECT_EQ(At(x0 + 10, 9), TreeColor);
    EXPECT_EQ(tree->GetDisplayRect(first, NoColumn, true).Left, labelWithout);
}

TEST_F(Pictures, TiledBackgroundScrollsWithTheRows)
{
    tree->SetRootNodeCount(2);  // rows to y 36, then the area below them
    TPicture picture;
    picture.Bitmap()->SetSize(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            picture.Bitmap()->Canvas()->SetPixels(x, y, PicturePixel(x, y));
    tree->SetBackground(&picture);
    tree->SetBackgroundOffset(0, 3);
    tree->SetBackgroundOffset(1, -2);

    Paint(TRect(0, 7, 200, 67));
    ExpectPixels([](int, int) { return TreeColor; }, "without toShowBackground");

    SetPaint(toShowBackground, true);
    const auto mod = [](int V, int N) { return ((V % N) + N) % N; };
    for (TPoint origin : {TPoint(0, 7), TPoint(5, 0), TPoint(13, 29)}) {
        Paint(TRect(origin.X, origin.Y, origin.X + 200, origin.Y + 60));
        ExpectPixels([&](int X, int Y) { return PicturePixel(mod(X + origin.X + 3, 8), mod(Y + origin.Y - 2, 6)); },
            "tiled");
    }
}

TEST_F(Pictures, StaticBackgroundStaysInTheClientArea)
{
    tree->SetRootNodeCount(2);
    TPicture picture;
    picture.Bitmap()->SetSize(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            picture.Bitmap()->Canvas()->SetPixels(x, y, PicturePixel(x, y));
    SetPaint(toShowBackground, true);
    SetPaint(toStaticBackground, true);

    // Straddling the first two rows, then in the area below the rows; the
    // scroll position (the window's top) does not move it.
    for (TPoint place : {TPoint(30, 10), TPoint(100, 45)}) {
        tree->SetBackgroundOffset(0, place.X);
        tree->SetBackgroundOffset(1, place.Y);
        for (int top : {0, 7}) {
            for (bool transparent : {false, true}) {
                picture.Bitmap()->SetTransparent(transparent);
                picture.Bitmap()->SetTransparentColor(PicturePixel(0, 0));
                tree->SetBackground(&picture);
                Paint(TRect(0, top, 200, top + 60));
                ExpectPixels(
                    [&](int X, int Y) {
                        const int px = X - place.X, py = Y - place.Y;
                        if (px < 0 || py < 0 || px >= 8 || py >= 6 || (transparent && px == 0 && py == 0))
                            return TreeColor;
                        return PicturePixel(px, py);
                    },
                    "static");
            }
        }
    }
}

TEST(TreeBackground, DrawingOnThePictureShowsAtOnce)
{
    EnsureApplication();
    TTreePtr tree = MakeTree();
    tree->SetBounds(0, 0, 104, 64);
    TTGPaintOptions paint = tree->TreeOptions()->PaintOptions();
    paint.Include(toShowBackground);
    tree->TreeOptions()->SetPaintOptions(paint);
    tree->Background()->Bitmap()->SetSize(8, 8);
    tree->Background()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
    tree->Background()->Bitmap()->Canvas()->FillRect(TRect(0, 0, 8, 8));
    tree->HandleNeeded();
    tree->Update();
    const TPoint o = tree->ClientOffset();
    TCanvas* window = tree->BackBuffer()->Canvas();
    ASSERT_EQ(window->Pixels(o.X + 50, o.Y + 30), ColorToRGB(clRed));

    // Drawn on after the tree showed it, without handing it over again.
    tree->Background()->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
    tree->Background()->Bitmap()->Canvas()->FillRect(TRect(0, 0, 8, 8));
    tree->Update();
    EXPECT_EQ(window->Pixels(o.X + 50, o.Y + 30), ColorToRGB(clBlue));
}
