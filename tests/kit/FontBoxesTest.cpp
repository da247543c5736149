// The font name and size boxes on the fonts installed here.
#include <gtest/gtest.h>

#include "components/FontNameComboBox.h"
#include "components/FontSizeComboBox.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "tests/support/PlatformFixture.h"

namespace {

class FontBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { delete form; }
    template <class T>
    T* Put()
    {
        auto* c = Create<T>(form);
        c->SetParent(form);
        return c;
    }
    // A name box holding the given items and nothing recently used.
    TFontNameComboBox* NameBox(std::initializer_list<const char*> Items)
    {
        auto* box = Put<TFontNameComboBox>();
        box->Items()->Clear();
        for (const char* s : Items)
            box->Items()->Add(s);
        return box;
    }
    TForm* form = nullptr;
};

std::vector<String> ItemsOf(TComboBox* Box)
{
    std::vector<String> out;
    for (int i = 0; i < Box->Items()->Count(); ++i)
        out.push_back(Box->Items()->Get(i));
    return out;
}

}  // namespace

TEST_F(FontBoxes, TheNameBoxListsTheInstalledFontsByKind)
{
    auto* box = Put<TFontNameComboBox>();
    box->Loaded();
    std::vector<String> expected;
    int bitmapFonts = 0;
    for (const TScreenFont& f : Screen->Fonts()) {
        if (!f.Scalable)
            ++bitmapFonts;
        else
            expected.push_back(f.Name + (f.Symbol ? "=TS" : "=TA"));
    }
    ASSERT_FALSE(expected.empty()) << "no scalable fonts installed";
    std::vector<String> got = ItemsOf(box);
    EXPECT_EQ(got.size(), expected.size());
    for (const String& e : expected)
        EXPECT_NE(std::find(got.begin(), got.end(), e), got.end()) << e;
    for (std::size_t i = 1; i < got.size(); ++i)
        EXPECT_LE(AnsiCompareText(got[i - 1], got[i]), 0);
    EXPECT_EQ(box->CountUsed(), 0);

    box->SetFontTypes(TFontTypes{ftRaster});
    EXPECT_EQ(box->Items()->Count(), bitmapFonts);
    box->SetFontTypes(TFontTypes{ftTrueTypeAnsi, ftTrueTypeSymbol, ftRaster});
    EXPECT_EQ(box->Items()->Count(), int(expected.size()) + bitmapFonts);
}

TEST_F(FontBoxes, EntriesShowTheGlyphOfTheirKind)
{
    auto* box = NameBox({"Face=TA", "Face=TS", "Face=R"});
    TBitmap b(200, 18);
    const TRect r(0, 0, 200, 18);
    auto at = [&](int Index, int X, int Y) {
        box->DrawItem(b.Canvas(), Index, r, {});
        return b.Canvas()->Pixels(X, Y);
    };
    // The glyph sits at (2, 1): the front letter's bar of a scalable face,
    // the middle bar of the bitmap face's letter.
    EXPECT_EQ(at(0, 10, 6), clBlack);
    EXPECT_EQ(at(1, 10, 6), clNavy);
    EXPECT_EQ(at(2, 10, 6), ColorToRGB(clWindow));
    EXPECT_EQ(at(2, 9, 9), clMaroon);
    EXPECT_EQ(at(0, 9, 9), ColorToRGB(clWindow));
    // Without glyphs the text starts at 4 and nothing is drawn at the
    // glyph's place.
    box->SetShowImagesFontType(false);
    EXPECT_EQ(at(0, 10, 6), ColorToRGB(clWindow));
}

TEST_F(FontBoxes, FiveRecentlyUsedAfterASixthAndNamesMatchWholeFaces)
{
    auto* box = NameBox({"A=TA", "B=TA", "C=TA", "D=TA", "E=TA", "F=TA", "G=TA"});
    for (const char* name : {"B", "C", "D", "E", "F"})
        box->SetFontName(name);
    EXPECT_EQ(box->CountUsed(), 5);
    box->SetFontName("G");
    EXPECT_EQ(box->CountUsed(), 5);
    EXPECT_EQ(box->FontName(), "G");
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(ItemsOf(box), (std::vector<String>{"G=TA", "F=TA", "E=TA", "D=TA", "C=TA", "A=TA", "B=TA", "C=TA",
                                                 "D=TA", "E=TA", "F=TA", "G=TA"}));
    // A recently used one moves up; it is not added again.
    box->SetFontName("D");
    EXPECT_EQ(box->CountUsed(), 5);
    EXPECT_EQ(box->Items()->Get(0), "D=TA");
    EXPECT_EQ(box->Items()->Get(3), "E=TA");
    // An unknown face changes nothing.
    box->SetFontName("Nowhere");
    EXPECT_EQ(box->FontName(), "D");
    EXPECT_EQ(box->ItemIndex(), 0);

    // The face name is the whole name before "=".
    auto* other = NameBox({"OpenSymbol=TA", "Symbol=TS"});
    other->SetFontName("Symbol");
    EXPECT_EQ(other->FontName(), "Symbol");
    EXPECT_EQ(other->Items()->Get(0), "Symbol=TS");
}

TEST_F(FontBoxes, ClickOnAClosedBoxTakesTheEntryAsTheFont)
{
    auto* box = NameBox({"A=TA", "B=TA"});
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SelectByUser(1);
    EXPECT_EQ(box->FontName(), "B");
    EXPECT_EQ(clicks, 1);
    // Not moved: only closing the list chooses.
    EXPECT_EQ(box->CountUsed(), 0);
}

TEST_F(FontBoxes, TheSampleStaysOnTheScreenBesideTheOpenList)
{
    auto* box = Put<TFontNameComboBox>();
    box->Loaded();
    box->SetFontName("DejaVu Sans");
    form->Show();
    const TRect screen = Screen->MonitorRect(form->ClientToScreen(TPoint{0, 0}));
    TFormExampleFont* sample = box->Sample();

    box->SetLeft(10);
    box->SetTop(10);
    box->SetDroppedDown(true);
    ASSERT_TRUE(box->Down());
    const TPoint corner = box->ClientToScreen(TPoint{box->Width(), box->Height()});
    EXPECT_EQ(sample->Left(), corner.X);
    EXPECT_EQ(sample->Top(), corner.Y);
    EXPECT_TRUE(sample->Visible());
    EXPECT_EQ(sample->PanelFontName->Caption(), "DejaVu Sans");
    EXPECT_EQ(sample->PanelPreview->Caption(), "AaBbYyZz");
    EXPECT_EQ(sample->PanelPreview->Font()->Size(), 20);
    box->SetDroppedDown(false);
    EXPECT_FALSE(sample->Visible());
    EXPECT_FALSE(box->Down());

    // Near the screen's right and bottom edges it ends at the box's left
    // and top instead.
    form->SetBounds(screen.Right - 250, screen.Bottom - 60, 250, 60);
    box->SetBounds(0, 0, 200, 22);
    box->SetPreviewText("Sample");
    box->SetDroppedDown(true);
    const TPoint origin = box->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(sample->Left() + sample->Width(), origin.X);
    EXPECT_EQ(sample->Top() + sample->Height(), origin.Y);
    EXPECT_EQ(sample->PanelPreview->Caption(), "Sample");
    box->SetDroppedDown(false);
}

TEST_F(FontBoxes, SizesOfAScalableFontAreTheSixteenFixedOnes)
{
    auto* box = Put<TFontSizeComboBox>();
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetText("12");
    box->SetFontName("DejaVu Sans");
    EXPECT_EQ(ItemsOf(box), (std::vector<String>{"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                                                 "28", "36", "48", "72"}));
    EXPECT_EQ(box->ItemIndex(), 4);
    EXPECT_EQ(clicks, 1);
    // A size not listed stays shown; an unknown font lists nothing.
    box->SetText("13");
    box->SetFontName("No Such Font");
    EXPECT_EQ(box->Items()->Count(), 0);
    EXPECT_EQ(box->Text(), "13");
    EXPECT_EQ(clicks, 2);
}

TEST(FontSizes, ABitmapFontListsEachOfItsSizesOnceInPoints)
{
    TScreenFont f;
    f.Scalable = false;
    // (cell height - internal leading) * 72 / 96, rounded.
    f.Sizes = {{20, 4}, {13, 2}, {16, 3}, {15, 2}};
    EXPECT_EQ(TFontSizeComboBox::SizesOf(f, 96), (std::vector<int>{8, 10, 12}));
    EXPECT_EQ(TFontSizeComboBox::SizesOf(f, 120), (std::vector<int>{7, 8, 10}));
    f.Sizes.clear();
    EXPECT_TRUE(TFontSizeComboBox::SizesOf(f, 96).empty());
}
