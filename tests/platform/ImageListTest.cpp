// Image lists: masks, transparent colour, enabled, disabled and blended
// drawing.
#include <gtest/gtest.h>

#include "platform/Graphics.h"
#include "platform/ImgList.h"

namespace {

TBitmap* Picture(int W, int H, TColor Back, TColor Dot)
{
    auto* b = new TBitmap(W, H);
    b->Canvas()->Brush()->SetColor(Back);
    b->Canvas()->FillRect({0, 0, W, H});
    b->Canvas()->Brush()->SetColor(Dot);
    b->Canvas()->FillRect({4, 4, 8, 8});
    return b;
}

}  // namespace

TEST(ImageList, MaskedPicturesDrawOnlyTheirOpaquePixels)
{
    TImageList list(nullptr);
    std::unique_ptr<TBitmap> pic(Picture(16, 16, clFuchsia, clRed));
    EXPECT_EQ(list.AddMasked(pic.get(), clFuchsia), 0);
    EXPECT_EQ(list.AddMasked(pic.get(), clDefault), 1);  // bottom-left is fuchsia too
    std::unique_ptr<TBitmap> mask(Picture(16, 16, clWhite, clBlack));
    EXPECT_EQ(list.Add(pic.get(), mask.get()), 2);
    EXPECT_EQ(list.Add(pic.get(), nullptr), 3);
    EXPECT_EQ(list.Count(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(list.Opaque(i, 5, 5)) << i;
        EXPECT_FALSE(list.Opaque(i, 0, 0)) << i;
    }
    EXPECT_TRUE(list.Opaque(3, 0, 0));

    TBitmap target(40, 40);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect({0, 0, 40, 40});
    list.Draw(target.Canvas(), 10, 10, 0);
    EXPECT_EQ(target.Canvas()->Pixels(15, 15), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(11, 11), clBlue);
    list.Draw(target.Canvas(), 10, 10, 99);  // out of range: nothing
    EXPECT_THROW(list.Delete(99), EListError);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list.Add(nullptr, nullptr), EInvalidOperation);
}

TEST(ImageList, DisabledIsGreyAndBlendedMixesHalfway)
{
    TImageList list(nullptr);
    std::unique_ptr<TBitmap> pic(Picture(16, 16, clFuchsia, clRed));
    list.AddMasked(pic.get(), clFuchsia);
    TBitmap target(16, 16);
    list.Draw(target.Canvas(), 0, 0, 0, false);
    const TColor grey = target.Canvas()->Pixels(5, 5);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clWhite);
    list.DrawBlended(target.Canvas(), 0, 0, 0, clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), RGB(127, 0, 127));
    // Changing the size empties the list; sizes are kept sane.
    list.SetSize(0, 100000);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Width(), 1);
    EXPECT_EQ(list.Height(), 256);
}
