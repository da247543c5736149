// The unit's own pictures and its start-up: every check type and state has
// an image, the lists are built once and on demand, drawing leaves the
// transparent parts alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "components/TreeGrid/TreeGridUnit.h"
#include "tests/treegrid/TreeGridTestSupport.h"

namespace {

// What an image draws, row by row (clNone where it is transparent).
std::vector<TColor> Picture(const TTGImageList& L, int Index)
{
    std::vector<TColor> p;
    for (int y = 0; y < L.Height(); ++y)
        for (int x = 0; x < L.Width(); ++x)
            p.push_back(L.Pixel(Index, x, y));
    return p;
}

int Opaque(const TTGImageList& L, int Index)
{
    int n = 0;
    for (TColor c : Picture(L, Index))
        n += c != clNone ? 1 : 0;
    return n;
}

struct TNamedList {
    const char* Name;
    TTGImageList* (*Get)();
};
const TNamedList CheckLists[] = {{"light check", LightCheckImages}, {"dark check", DarkCheckImages},
    {"light tick", LightTickImages}, {"dark tick", DarkTickImages}, {"flat", FlatImages}, {"XP", XPImages}};

TEST(TreeGridImages, EveryCheckTypeAndStateHasItsOwnImage)
{
    for (const TNamedList& n : CheckLists) {
        const TTGImageList* l = n.Get();
        ASSERT_NE(l, nullptr) << n.Name;
        EXPECT_EQ(l->Width(), 16);
        EXPECT_EQ(l->Height(), 16);
        ASSERT_EQ(l->Count(), CheckImageCount) << n.Name;
        EXPECT_EQ(Opaque(*l, ckEmptyImage), 0) << n.Name;
        std::set<std::vector<TColor>> seen;
        for (int i = 1; i < CheckImageCount; ++i) {
            EXPECT_GT(Opaque(*l, i), 40) << n.Name << " image " << i;
            // Unchecked, checked and mixed, normal, hot, pressed and
            // disabled all look different.
            EXPECT_TRUE(seen.insert(Picture(*l, i)).second) << n.Name << " image " << i << " repeats another";
        }
    }
}

TEST(TreeGridImages, SystemSetsHoldTheButtonFramesAndTheNodeButtons)
{
    for (auto [list, buttons] : {std::pair{SystemCheckImages(), DarkCheckImages()},
             std::pair{SystemFlatCheckImages(), FlatImages()}}) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->Width(), SystemMenuCheckSize + 3);
        ASSERT_EQ(list->Count(), 25);
        EXPECT_EQ(Opaque(*list, 0), 0);
        for (int i = 1; i <= 20; ++i) {
            EXPECT_GT(Opaque(*list, i), 40) << i;
            // Inset (1, 2, width - 2, height - 1): row 0, row 15, column 0
            // and the last two columns stay clear.
            for (int k = 0; k < 16; ++k) {
                EXPECT_EQ(list->Pixel(i, k, 0), clNone) << i;
                EXPECT_EQ(list->Pixel(i, k, 15), clNone) << i;
                EXPECT_EQ(list->Pixel(i, 0, k), clNone) << i;
                EXPECT_EQ(list->Pixel(i, 14, k), clNone) << i;
            }
        }
        // Checked differs from unchecked, pressed from normal.
        EXPECT_NE(Picture(*list, 1), Picture(*list, 5));
        EXPECT_NE(Picture(*list, 9), Picture(*list, 13));
        EXPECT_NE(Picture(*list, 13), Picture(*list, 17));
        EXPECT_NE(Picture(*list, 9), Picture(*list, 11));
        for (int i = 21; i <= 24; ++i)
            EXPECT_EQ(Picture(*list, i), Picture(*buttons, i)) << i;
    }
    EXPECT_NE(Picture(*SystemCheckImages(), 9), Picture(*SystemFlatCheckImages(), 9));
}

TEST(TreeGridImages, MappedStripsUseTheButtonColours)
{
    auto colours = [](const TTGImageList& L) {
        std::set<TColor> s;
        for (int i = 0; i < L.Count(); ++i)
            for (TColor c : Picture(L, i))
                s.insert(c);
        return s;
    };
    const std::set<TColor> flat = colours(*FlatImages());
    EXPECT_EQ(flat.count(clSilver), 0u);
    EXPECT_EQ(flat.count(ColorToRGB(clBtnFace)), 1u);
    const std::set<TColor> utilities = colours(*UtilityImages());
    EXPECT_EQ(utilities.count(clSilver), 0u);
    // The XP look keeps its own colours.
    TTGImageList unmapped;
    ConvertImageList(&unmapped, "TG_XP", false);
    EXPECT_EQ(colours(unmapped), colours(*XPImages()));
}

TEST(TreeGridImages, UtilityImages)
{
    const TTGImageList* u = UtilityImages();
    ASSERT_EQ(u->Count(), UtilityImageCount);
    for (int i = 0; i < UtilityImageCount; ++i)
        EXPECT_GT(Opaque(*u, i), 5) << i;
    // The drop marks sit at the leading and the trailing edge.
    EXPECT_NE(u->Pixel(uiDropMarkLeft, 0, 8), clNone);
    EXPECT_EQ(u->Pixel(uiDropMarkLeft, 15, 8), clNone);
    EXPECT_NE(u->Pixel(uiDropMarkRight, 15, 8), clNone);
    EXPECT_EQ(u->Pixel(uiDropMarkRight, 0, 8), clNone);
    EXPECT_NE(Picture(*u, uiSortAscendingClassic), Picture(*u, uiSortDescendingClassic));
    EXPECT_NE(Picture(*u, uiSortAscendingThemed), Picture(*u, uiSortDescendingThemed));
}

TEST(TreeGridImages, UnknownStripIsAnAssertion)
{
    TTGImageList l;
    EXPECT_THAT(MessageOf<EAssertionFailed>([&] { ConvertImageList(&l, "TG_NOPE", false); }),
        ::testing::HasSubstr("Internal image \"TG_NOPE\" is missing or corrupt."));
    EXPECT_EQ(LoadTreeGridImageStrip("TG_NOPE", true), nullptr);
}

TEST(TreeGridImages, DrawingLeavesTransparentPixelsAlone)
{
    const TColor back = RGB(1, 2, 3);
    TTGImageList* l = LightCheckImages();
    TBitmap target(40, 40);
    target.Canvas()->Brush()->SetColor(back);
    target.Canvas()->FillRect(TRect(0, 0, 40, 40));
    l->Draw(target.Canvas(), 10, 12, ckCheckCheckedNormal);
    l->Draw(target.Canvas(), 0, 0, 99);  // out of range: nothing
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const TColor want = l->Pixel(ckCheckCheckedNormal, x - 10, y - 12);
            EXPECT_EQ(target.Canvas()->Pixels(x, y), want == clNone ? back : want) << x << "," << y;
        }
}

TEST(TreeGridImages, AddFromOutsideTheSourceIsTransparent)
{
    TBitmap strip(20, 16);
    TTGImageList l;
    EXPECT_EQ(l.AddFrom(strip, 10, 0, clFuchsia), 0);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(l.Pixel(0, 9, y), clWhite);
        EXPECT_EQ(l.Pixel(0, 10, y), clNone);
    }
    EXPECT_EQ(l.Pixel(0, -1, 0), clNone);
    EXPECT_EQ(l.Pixel(1, 0, 0), clNone);
}

TEST(TreeGridImages, CursorsOfTheirOwn)
{
    for (int cursor : {crHeaderSplit, crVertSplit}) {
        const TTGCursorImage* c = TreeGridCursor(cursor);
        ASSERT_NE(c, nullptr);
        ASSERT_NE(c->Image, nullptr);
        EXPECT_EQ(c->Image->Width(), 32);
        EXPECT_EQ(c->Image->Height(), 32);
        EXPECT_TRUE(TRect(0, 0, 32, 32).Contains(c->HotSpot));
        int black = 0, clear = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const TColor p = c->Image->Canvas()->Pixels(x, y);
                black += p == clBlack;
                clear += p == c->TransparentColor;
            }
        EXPECT_GT(black, 20);
        EXPECT_GT(clear, 500);
    }
    // One picture is the other turned.
    const TBitmap* h = TreeGridCursor(crHeaderSplit)->Image.get();
    const TBitmap* v = TreeGridCursor(crVertSplit)->Image.get();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(static_cast<const std::uint32_t*>(h->ScanLine(y))[x],
                static_cast<const std::uint32_t*>(v->ScanLine(x))[y]);
    EXPECT_EQ(TreeGridCursor(5), nullptr);
    EXPECT_EQ(LoadTreeGridCursor("TG_OTHER"), nullptr);
}

TEST(TreeGridUnit, StartsOnceOnFirstUseAndAgainAfterTheEnd)
{
    TTGImageList* first = FlatImages();
    EXPECT_TRUE(TreeGridUnitInitialized());
    EXPECT_EQ(FlatImages(), first);
    InitializeGlobalStructures();
    EXPECT_EQ(FlatImages(), first);
    const TClipFormat reference = CF_TREEGRIDREFERENCE();
    EXPECT_EQ(GetClipboardFormatName(reference), "Tree Grid Reference");

    FinalizeGlobalStructures();
    EXPECT_FALSE(TreeGridUnitInitialized());
    // Several threads asking at once get one and the same set.
    std::vector<TTGImageList*> got(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < got.size(); ++i)
        threads.emplace_back([&got, i] { got[i] = LightTickImages(); });
    for (std::thread& t : threads)
        t.join();
    for (TTGImageList* l : got) {
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l, got.front());
        EXPECT_EQ(l->Count(), CheckImageCount);
    }
    // The formats are registered once for the whole process.
    EXPECT_EQ(CF_TREEGRIDREFERENCE(), reference);
    int treeData = 0;
    for (int i = 0; i < ClipboardFormatList().Count(); ++i)
        treeData += ClipboardFormatList().Entry(i).Description == "Tree Grid Data";
    EXPECT_EQ(treeData, 1);
}

}  // namespace
