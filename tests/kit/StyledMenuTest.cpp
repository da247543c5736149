// The styled menus: the working colours, the items' measures, what an item
// looks like (colours in computed rectangles) and how items are hooked.
#include <gtest/gtest.h>

#include "components/StyledMenu.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/MenuBar.h"
#include "platform/MenuWindow.h"
#include "platform/Menus.h"
#include "tests/support/PlatformFixture.h"

namespace {

class StyledMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        styled = Create<TStyledMenu>(form);
        popup = Create<TPopupMenu>(form);
        styled->SetActive(true);
    }
    void TearDown() override { delete form; }
    TMenuItem* AddItem(TMenu* Menu, const String& Caption)
    {
        auto* item = Create<TMenuItem>(form);
        item->SetCaption(Caption);
        Menu->Items()->Add(item);
        return item;
    }
    // A 16 x 16 picture in Colour, its top-right pixel see-through.
    TImageList* Icons(TColor Colour)
    {
        auto* list = Create<TImageList>(form);
        list->SetSize(16, 16);
        TBitmap image(16, 16);
        TBitmap mask(16, 16);
        image.Canvas()->Brush()->SetColor(Colour);
        image.Canvas()->FillRect({0, 0, 16, 16});
        mask.Canvas()->Brush()->SetColor(clBlack);
        mask.Canvas()->FillRect({0, 0, 16, 16});
        mask.Canvas()->SetPixels(15, 0, clWhite);
        list->Add(&image, &mask);
        return list;
    }
    // The item drawn into a fresh bitmap of Width x Height.
    TBitmap* Draw(TMenuItem* Item, TOwnerDrawState State = {}, int Width = 200, int Height = 24)
    {
        shot = std::make_unique<TBitmap>(Width, Height);
        shot->Canvas()->Brush()->SetColor(clFuchsia);
        shot->Canvas()->FillRect({0, 0, Width, Height});
        styled->DrawItem(Item, shot->Canvas(), {0, 0, Width, Height}, State);
        return shot.get();
    }
    TColor At(int X, int Y) { return shot->Canvas()->Pixels(X, Y); }
    const TStyledMenuPalette& P() { return styled->Palette(); }

    TForm* form = nullptr;
    TStyledMenu* styled = nullptr;
    TPopupMenu* popup = nullptr;
    std::unique_ptr<TBitmap> shot;
};

}  // namespace

TEST(StyledMenuColours, Arithmetic)
{
    // Half-way cases round up: 245 x 50 / 100 = 122.5.
    EXPECT_EQ(NewColor(RGB(10, 36, 106), 50), RGB(133, 146, 181));
    EXPECT_EQ(NewColor(RGB(0, 0, 0), 30), RGB(77, 77, 77));
    EXPECT_EQ(NewColor(RGB(0, 100, 200), 250), RGB(255, 255, 255));
    EXPECT_EQ(GetShadeColor(RGB(212, 208, 200), 90), RGB(122, 120, 110));
    EXPECT_EQ(GetShadeColor(RGB(10, 0, 250), 20), RGB(0, 0, 230));
    EXPECT_EQ(GetShadeColor(RGB(250, 254, 250), -10), RGB(255, 255, 255));
    EXPECT_EQ(GrayColor(RGB(255, 0, 0), 10), RGB(95, 95, 95));
    EXPECT_EQ(GrayColor(RGB(255, 255, 250), 10), RGB(240, 240, 240));
    EXPECT_EQ(TopMenuFontColor(RGB(219, 216, 209), clBlack), clBlack);
    EXPECT_EQ(TopMenuFontColor(RGB(10, 201, 10), clBlack), clBlack);
    EXPECT_EQ(TopMenuFontColor(RGB(10, 36, 106), clBlack), RGB(231, 233, 240));
}

TEST_F(StyledMenu, SystemColoursAtBothDepths)
{
    // Button face (212, 208, 200), highlight (10, 36, 106), shadow (128,
    // 128, 128), worked by hand.
    styled->SetGlobalColor(32);
    EXPECT_TRUE(styled->Is16Bit());
    EXPECT_EQ(P().Color, RGB(249, 248, 247));
    EXPECT_EQ(P().IconBackColor, RGB(219, 216, 209));
    EXPECT_EQ(P().SelectColor, RGB(177, 185, 207));
    EXPECT_EQ(P().SelectBorderColor, RGB(10, 36, 106));
    EXPECT_EQ(P().MenuBarColor, RGB(212, 208, 200));
    EXPECT_EQ(P().DisabledColor, RGB(141, 141, 141));
    EXPECT_EQ(P().SeparatorColor, RGB(160, 160, 160));
    EXPECT_EQ(P().CheckedColor, RGB(10, 36, 106));
    EXPECT_EQ(P().CheckedAreaColor, RGB(206, 211, 225));
    EXPECT_EQ(P().CheckedAreaSelectColor, RGB(133, 146, 181));
    EXPECT_EQ(P().SelectFontColor, ColorToRGB(styled->Font()->Color()));
    EXPECT_EQ(P().MenuBorderColor, RGB(122, 120, 110));
    EXPECT_EQ(P().MenuShadowColor, RGB(136, 134, 124));

    styled->SetGlobalColor(15);
    EXPECT_FALSE(styled->Is16Bit());
    EXPECT_EQ(P().Color, clWhite);
    EXPECT_EQ(P().IconBackColor, RGB(212, 208, 200));
    EXPECT_EQ(P().SelectColor, clWhite);
    EXPECT_EQ(P().DisabledColor, RGB(128, 128, 128));
    EXPECT_EQ(P().SeparatorColor, RGB(128, 128, 128));
    EXPECT_EQ(P().CheckedAreaColor, clWhite);
    EXPECT_EQ(P().CheckedAreaSelectColor, clWhite);
    EXPECT_EQ(P().MenuBorderColor, RGB(128, 128, 128));
}

TEST_F(StyledMenu, OwnColoursAndTheDimmedSelection)
{
    styled->SetUseSystemColors(false);
    styled->SetColor(clYellow);
    styled->SetSelectColor(RGB(0, 0, 200));
    styled->SetGlobalColor(32);
    EXPECT_EQ(P().Color, clYellow);
    EXPECT_EQ(P().IconBackColor, RGB(212, 208, 200));
    EXPECT_EQ(P().SelectColor, RGB(0, 0, 200));
    EXPECT_EQ(P().CheckedAreaColor, RGB(0, 0, 200));
    EXPECT_EQ(P().DisabledColor, ColorToRGB(clInactiveCaption));
    styled->SetUseDimColor(true);
    styled->SetGlobalColor(32);
    EXPECT_EQ(P().SelectColor, NewColor(RGB(0, 0, 200), 68));
    EXPECT_EQ(P().CheckedAreaColor, NewColor(RGB(0, 0, 200), 80));
    EXPECT_EQ(P().CheckedAreaSelectColor, RGB(128, 128, 228));
    styled->SetGlobalColor(15);
    EXPECT_EQ(P().SelectColor, RGB(0, 0, 200));
    EXPECT_EQ(P().CheckedAreaColor, clWhite);
    EXPECT_EQ(P().CheckedAreaSelectColor, clSilver);
    EXPECT_EQ(P().MenuShadowColor, RGB(128, 128, 128));

    // A colour set later is worked in before the next paint.
    styled->SetGlobalColor(32);
    styled->SetColor(clLime);
    Draw(AddItem(popup, "Open"));
    EXPECT_EQ(P().Color, clLime);
    EXPECT_EQ(At(100, 12), clLime);
}

TEST_F(StyledMenu, Measures)
{
    TBitmap canvasHolder(10, 10);
    TCanvas* c = canvasHolder.Canvas();
    TFont big;
    big.SetName("Arial");
    big.SetHeight(-30);
    styled->SetFont(&big);
    c->Font()->Assign(&big);
    const int th = c->TextHeight("W");
    ASSERT_GT(th, 20);

    TMenuItem* line = AddItem(popup, "-");
    int w = 0, h = 0;
    styled->MeasureItem(line, c, w, h);
    EXPECT_EQ(h, 4);

    TMenuItem* open = AddItem(popup, "&Open");
    w = h = 0;
    styled->MeasureItem(open, c, w, h);
    EXPECT_EQ(h, th + (th * 3 + 2) / 4);
    EXPECT_EQ(w, c->TextWidth("&Open") + 5 - c->TextWidth("&") + 24);
    // Proposals are only raised.
    w = 2000;
    h = 300;
    styled->MeasureItem(open, c, w, h);
    EXPECT_EQ(w, 2000);
    EXPECT_EQ(h, 300);

    open->SetShortCut(ShortCut('O', {ssCtrl}));
    open->Add(Create<TMenuItem>(form));
    styled->SetIconWidth(30);
    w = h = 0;
    styled->MeasureItem(open, c, w, h);
    EXPECT_EQ(w, c->TextWidth("&OpenCtrl+OWWW") + 5 - c->TextWidth("&") + 6 + 30);

    // A tall icon sets the height; a wide one the icon column's part.
    TMenuItem* pic = AddItem(popup, "Pic");
    auto* list = Create<TImageList>(form);
    list->SetSize(40, 64);
    TBitmap image(40, 64);
    list->Add(&image, nullptr);
    popup->SetImages(list);
    pic->SetImageIndex(0);
    w = h = 0;
    styled->MeasureItem(pic, c, w, h);
    EXPECT_EQ(h, 70);
    EXPECT_EQ(w, c->TextWidth("Pic") + 5 + 40);

    // A menu bar's entry has no icon column.
    auto* main = Create<TMainMenu>(form);
    TMenuItem* file = AddItem(main, "File");
    file->Add(Create<TMenuItem>(form));
    w = h = 0;
    styled->MeasureItem(file, c, w, h);
    EXPECT_EQ(w, c->TextWidth("File") + 5);
}

TEST_F(StyledMenu, BackgroundSelectionAndDisabledItems)
{
    TMenuItem* item = AddItem(popup, "Open");
    Draw(item);
    EXPECT_EQ(At(100, 12), P().Color);
    EXPECT_EQ(At(5, 12), P().IconBackColor);
    EXPECT_EQ(At(23, 0), P().IconBackColor);
    EXPECT_EQ(At(24, 0), P().Color);

    // Selected: a framed box one pixel in from top and bottom.
    Draw(item, {odSelected});
    EXPECT_EQ(At(100, 0), P().Color);
    EXPECT_EQ(At(100, 1), P().SelectBorderColor);
    EXPECT_EQ(At(0, 12), P().SelectBorderColor);
    EXPECT_EQ(At(199, 12), P().SelectBorderColor);
    EXPECT_EQ(At(150, 12), P().SelectColor);
    EXPECT_EQ(At(5, 12), P().SelectColor);
    EXPECT_EQ(At(100, 22), P().SelectBorderColor);
    EXPECT_EQ(At(100, 23), P().Color);

    // Disabled, under the pointer: no box.
    item->SetEnabled(false);
    Draw(item, {odSelected, odDisabled});
    EXPECT_EQ(At(150, 12), P().Color);
    EXPECT_EQ(At(100, 1), P().Color);

    // Switched off, nothing is drawn.
    styled->SetActive(false);
    Draw(item);
    EXPECT_EQ(At(100, 12), clFuchsia);
}

TEST_F(StyledMenu, CheckMarksAndSeparators)
{
    TMenuItem* item = AddItem(popup, "Grid");
    item->SetChecked(true);
    Draw(item);
    // The 10 x 10 box centred in the 24 px column, 24 px high item.
    EXPECT_EQ(At(7, 7), P().CheckedColor);
    EXPECT_EQ(At(16, 16), P().CheckedColor);
    EXPECT_EQ(At(6, 7), P().IconBackColor);
    EXPECT_EQ(At(17, 12), P().IconBackColor);
    EXPECT_EQ(At(8, 8), P().CheckedAreaColor);
    // The mark's first stroke: down-right, then up-right.
    EXPECT_EQ(At(9, 11), clBlack);
    EXPECT_EQ(At(10, 12), clBlack);
    EXPECT_EQ(At(12, 12), clBlack);
    EXPECT_EQ(At(15, 9), clBlack);
    EXPECT_EQ(At(9, 13), clBlack);  // the third row
    EXPECT_EQ(At(10, 14), clBlack);
    // Disabled, the mark takes the disabled colour.
    item->SetEnabled(false);
    Draw(item);
    EXPECT_EQ(At(9, 11), P().DisabledColor);

    // A checked item with an icon has the icon framed instead.
    item->SetEnabled(true);
    popup->SetImages(Icons(clRed));
    item->SetImageIndex(0);
    Draw(item);
    EXPECT_EQ(At(1, 12), P().SelectBorderColor);
    EXPECT_EQ(At(20, 12), P().SelectBorderColor);
    EXPECT_EQ(At(2, 12), P().CheckedAreaColor);
    EXPECT_EQ(At(10, 10), clRed);  // checked icons are not dimmed
    Draw(item, {odSelected});
    EXPECT_EQ(At(2, 12), P().CheckedAreaSelectColor);

    TMenuItem* line = AddItem(popup, "-");
    Draw(line, {}, 200, 4);
    EXPECT_EQ(At(31, 2), P().SeparatorColor);
    EXPECT_EQ(At(199, 2), P().SeparatorColor);
    EXPECT_EQ(At(30, 2), P().Color);
    EXPECT_EQ(At(100, 1), P().Color);
    EXPECT_EQ(At(10, 2), P().IconBackColor);
}

TEST_F(StyledMenu, IconsAtRestDisabledAndSelected)
{
    popup->SetImages(Icons(clRed));
    TMenuItem* item = AddItem(popup, "Cut");
    item->SetImageIndex(0);
    // At rest: dimmed 30 percent toward white, 4 px in, 3 px down.
    Draw(item);
    EXPECT_EQ(At(4, 3), RGB(255, 77, 77));
    EXPECT_EQ(At(19, 18), RGB(255, 77, 77));
    EXPECT_EQ(At(3, 3), P().IconBackColor);
    EXPECT_EQ(At(19, 3), P().IconBackColor);  // the see-through pixel

    // Disabled: grey, then 40 percent toward white, every opaque pixel.
    item->SetEnabled(false);
    Draw(item);
    for (TPoint p : {TPoint{4, 3}, TPoint{12, 10}, TPoint{4, 18}, TPoint{19, 18}})
        EXPECT_EQ(At(p.X, p.Y), RGB(159, 159, 159)) << p;
    EXPECT_EQ(At(19, 3), P().IconBackColor);

    // Selected: lifted a pixel up and left over its shadow.
    item->SetEnabled(true);
    Draw(item, {odSelected});
    EXPECT_EQ(At(3, 2), clRed);
    EXPECT_EQ(At(18, 17), clRed);
    EXPECT_EQ(At(20, 19), GetShadeColor(P().SelectColor, 50));
    EXPECT_EQ(At(5, 19), GetShadeColor(P().SelectColor, 50));
    EXPECT_EQ(At(21, 4), P().SelectColor);

    // At 15 bits an icon at rest keeps its colours.
    styled->SetGlobalColor(15);
    styled->DrawItem(item, shot->Canvas(), {0, 0, 200, 24}, {});
    EXPECT_EQ(At(4, 3), P().IconBackColor == clWhite ? clRed : clRed);
}

TEST_F(StyledMenu, MenuBarEntries)
{
    auto* main = Create<TMainMenu>(form);
    TMenuItem* file = AddItem(main, "File");
    file->Add(Create<TMenuItem>(form));
    Draw(file, {}, 60, 20);
    EXPECT_EQ(At(45, 10), P().MenuBarColor);
    // Dropped down: the box and a shadow along the right edge.
    Draw(file, {odSelected}, 60, 20);
    EXPECT_EQ(At(0, 10), P().SelectBorderColor);
    EXPECT_EQ(At(52, 10), P().SelectBorderColor);
    EXPECT_EQ(At(45, 10), P().SelectColor);
    EXPECT_EQ(At(55, 10), GetShadeColor(P().MenuBarColor, 30));
    // Under the pointer: the same box, no shadow; a pixel below the top.
    Draw(file, {odHotLight}, 60, 20);
    EXPECT_EQ(At(45, 10), P().SelectColor);
    EXPECT_EQ(At(52, 10), P().SelectBorderColor);
    EXPECT_EQ(At(55, 10), P().MenuBarColor);
    EXPECT_EQ(At(20, 0), ColorToRGB(clFuchsia));
    EXPECT_EQ(At(20, 1), P().SelectBorderColor);
    EXPECT_EQ(At(20, 19), P().SelectBorderColor);
}

TEST_F(StyledMenu, TheLastBarEntryPaintsTheRestOfTheBar)
{
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 100);
    auto* main = Create<TMainMenu>(form);
    TMenuItem* file = AddItem(main, "File");
    TMenuItem* help = AddItem(main, "Help");
    auto* bar = Create<TMenuBar>(form);
    bar->SetParent(form);
    bar->SetAlign(alTop);
    bar->SetMenu(main);
    styled->SetDrawMenuBar(true);
    const TColor barColour = RGB(200, 230, 200);
    styled->SetMenuBarColor(barColour);
    styled->InitItem(main, true, true);
    form->Show();
    bar->Repaint();
    TCanvas* c = bar->BackBuffer()->Canvas();
    const TRect f = bar->ItemRect(file), h = bar->ItemRect(help);
    const int mid = bar->Height() / 2;
    EXPECT_EQ(c->Pixels((f.Left + f.Right) / 2, 0), barColour);
    EXPECT_EQ(c->Pixels(h.Right + 1, mid), barColour);
    EXPECT_EQ(c->Pixels(bar->Width() - 1, mid), barColour);
    // A hidden entry is not the last one: the one before it paints on.
    help->SetVisible(false);
    bar->Repaint();
    EXPECT_EQ(c->Pixels(bar->Width() - 1, mid), barColour);
    EXPECT_EQ(c->Pixels(f.Right + 2, mid), barColour);
    styled->SetDrawMenuBar(false);
    bar->Repaint();
    EXPECT_EQ(c->Pixels(bar->Width() - 1, mid), ColorToRGB(bar->Color()));
}

TEST_F(StyledMenu, FlatPopupLevelsDrawTheirFrameAndShadow)
{
    AddItem(popup, "Open");
    AddItem(popup, "Close");
    styled->InitItem(popup, true, true);
    styled->SetFlatMenu(true);
    bool seen = false;
    TModalHookGuard hook([&](TCustomForm* F) {
        auto* w = dynamic_cast<TMenuWindow*>(F);
        ASSERT_NE(w, nullptr);
        seen = true;
        w->Update();
        TCanvas* c = w->BackBuffer()->Canvas();
        const int W = w->Width(), H = w->Height(), mid = H / 2;
        EXPECT_EQ(w->EntryRect(0).TopLeft(), (TPoint{3, 3}));
        EXPECT_EQ(w->EntryRect(1).Right, W - 5);
        EXPECT_EQ(c->Pixels(0, mid), P().MenuBorderColor);
        EXPECT_EQ(c->Pixels(W - 3, mid), P().MenuBorderColor);
        EXPECT_EQ(c->Pixels(W / 2, H - 3), P().MenuBorderColor);
        for (int x : {1, 2, W - 5, W - 4})
            EXPECT_EQ(c->Pixels(x, mid), P().IconBackColor) << x;
        EXPECT_EQ(c->Pixels(W / 2, 2), P().IconBackColor);
        EXPECT_EQ(c->Pixels(W - 1, mid), P().MenuShadowColor);
        EXPECT_EQ(c->Pixels(W - 2, 2), P().MenuShadowColor);
        EXPECT_EQ(c->Pixels(W / 2, H - 1), P().MenuShadowColor);
        // Inside, the items as ever.
        EXPECT_EQ(c->Pixels(W - 10, w->EntryRect(0).Top + 3), P().Color);
        w->ClosePopup(mrCancel);
    });
    popup->Popup(50, 50);
    EXPECT_TRUE(seen);
}

TEST_F(StyledMenu, HookingLeavesOthersAlone)
{
    TMenuItem* plain = AddItem(popup, "Plain");
    TMenuItem* marked = AddItem(popup, "Marked");
    TMenuItem* own = AddItem(popup, "Own");
    marked->SetTag(999);
    int ownCalls = 0;
    own->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState) { ++ownCalls; };
    styled->SetOverrideOwnerDraw(false);
    styled->InitItem(popup, true, true);
    EXPECT_TRUE(plain->OnAdvancedDrawItem && plain->OnMeasureItem);
    EXPECT_FALSE(marked->OnAdvancedDrawItem || marked->OnMeasureItem);
    own->OnAdvancedDrawItem(own, nullptr, {}, {});
    EXPECT_EQ(ownCalls, 1);
    EXPECT_TRUE(own->OnMeasureItem);

    // Overriding replaces the item's own handler.
    styled->SetOverrideOwnerDraw(true);
    TBitmap b(50, 20);
    own->OnAdvancedDrawItem(own, b.Canvas(), {0, 0, 50, 20}, {});
    EXPECT_EQ(ownCalls, 1);

    // Unhooking takes away only ours.
    plain->OnMeasureItem = [](TObject*, TCanvas*, int&, int&) {};
    styled->SetActive(false);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    EXPECT_TRUE(plain->OnMeasureItem);
    EXPECT_FALSE(own->OnAdvancedDrawItem);

    // Popup menus only when asked for.
    styled->SetStyledControls({xcMainMenu});
    styled->SetActive(true);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
}

TEST_F(StyledMenu, ItemsMadeLaterAreHookedWhenActivated)
{
    auto* main = Create<TMainMenu>(form);
    TMenuItem* language = AddItem(main, "Language");
    styled->SetStyledControls({});
    styled->ForceComponent(main);
    EXPECT_TRUE(language->OnAdvancedDrawItem);
    EXPECT_EQ(styled->StyledControls(), TStyledControls{});

    auto* english = Create<TMenuItem>(form);
    english->SetCaption("English");
    auto* sub = Create<TMenuItem>(form);
    english->Add(sub);
    language->Add(english);
    EXPECT_FALSE(english->OnAdvancedDrawItem);
    styled->ActivateMenuItem(english, false);
    EXPECT_TRUE(english->OnAdvancedDrawItem);
    EXPECT_FALSE(sub->OnAdvancedDrawItem);
    styled->ActivateMenuItem(language, true);
    EXPECT_TRUE(sub->OnAdvancedDrawItem && sub->OnMeasureItem);
}

TEST_F(StyledMenu, AutoDetectHooksItemsMadeLaterOnItsForm)
{
    TMenuItem* quiet = AddItem(popup, "Quiet");
    EXPECT_FALSE(quiet->OnAdvancedDrawItem);
    styled->SetAutoDetect(true);
    TMenuItem* later = AddItem(popup, "Later");
    EXPECT_TRUE(later->OnAdvancedDrawItem && later->OnMeasureItem);
    // Items of another form are that form's business.
    TForm* other = Create<TForm>(nullptr);
    auto* foreign = Create<TMenuItem>(other);
    EXPECT_FALSE(foreign->OnAdvancedDrawItem);
    delete other;
    styled->SetActive(false);
    EXPECT_FALSE(AddItem(popup, "Off")->OnAdvancedDrawItem);
}

TEST(StyledMenuManager, LendsTheLookAndGoesWithTheLastComponent)
{
    EnsureApplication();
    ASSERT_EQ(StyledMenuManager(), nullptr);
    TForm* main = Create<TForm>(nullptr);
    auto* styled = Create<TStyledMenu>(main);
    ASSERT_NE(StyledMenuManager(), nullptr);
    styled->SetActive(true);
    styled->Loaded();
    EXPECT_EQ(StyledMenuManager()->ActiveStyledMenu(), styled);

    // A dialog of the application with a popup menu of its own.
    TForm* dialog = nullptr;
    Application->CreateForm(dialog);
    auto* popup = Create<TPopupMenu>(dialog);
    auto* item = Create<TMenuItem>(dialog);
    item->SetCaption("Copy");
    popup->Items()->Add(item);
    // Styled once the manager's message comes, not before.
    EXPECT_FALSE(item->OnAdvancedDrawItem);
    StyledMenuManager()->PostStyling();
    ProcessEvents();
    EXPECT_TRUE(item->OnAdvancedDrawItem);
    EXPECT_TRUE(StyledMenuManager()->IsStyled(dialog));

    // A form made later on the styled form is styled at the next message.
    auto* owned = Create<TForm>(main);
    auto* ownedPopup = Create<TPopupMenu>(owned);
    auto* paste = Create<TMenuItem>(owned);
    ownedPopup->Items()->Add(paste);
    ProcessEvents();
    EXPECT_TRUE(paste->OnAdvancedDrawItem);

    // A second component; the first goes and the dialog takes the second's
    // look, then the manager goes with the last.
    TForm* other = Create<TForm>(nullptr);
    auto* second = Create<TStyledMenu>(other);
    second->SetActive(true);
    second->Loaded();
    delete main;
    ASSERT_NE(StyledMenuManager(), nullptr);
    EXPECT_EQ(StyledMenuManager()->ActiveStyledMenu(), second);
    ASSERT_TRUE(item->OnAdvancedDrawItem);
    TBitmap b(80, 20);
    item->OnAdvancedDrawItem(item, b.Canvas(), {0, 0, 80, 20}, {});
    EXPECT_EQ(b.Canvas()->Pixels(60, 10), second->Palette().Color);
    delete other;
    EXPECT_EQ(StyledMenuManager(), nullptr);
    EXPECT_FALSE(item->OnAdvancedDrawItem);
    delete dialog;
}
