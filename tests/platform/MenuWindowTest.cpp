// Our own menus: items measured and drawn through their events with the
// right sizes and states, keys and accelerators, sub-menus, the pointer, an
// outside press, placement at the screen's edges, the plain look, and the
// menu bar's entries.
#include <gtest/gtest.h>

#include "platform/ControlsPrivate.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/MenuBar.h"
#include "platform/MenuWindow.h"
#include "platform/Menus.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

using THookGuard = TModalHookGuard;

TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, const String& Caption)
{
    auto* item = Create<TMenuItem>(Owner);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

TMenuWindow* Level(TCustomForm* F)
{
    auto* w = dynamic_cast<TMenuWindow*>(F);
    EXPECT_NE(w, nullptr);
    return w;
}

TPoint Centre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

TColor PixelAt(TWinControl* W, TPoint P)
{
    W->Update();
    return W->BackBuffer() ? W->BackBuffer()->Canvas()->Pixels(P.X, P.Y) : clNone;
}

// A popup menu on a form, with the items the tests use.
struct TMenuScene {
    TForm* Form;
    TRecordingControl* Field;
    TPopupMenu* Popup;
    TMenuItem* Open;
    TMenuItem* Line;
    TMenuItem* Locked;
    TMenuItem* More;
    TMenuItem* MoreA;
    TMenuItem* MoreB;
    TMenuItem* Delta;
    std::vector<String> Clicks;

    TMenuScene()
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 500, 400);
        Field = Build<TRecordingControl>(Form, "Field").Parent(Form).Bounds(0, 0, 500, 400);
        Popup = Create<TPopupMenu>(Form);
        Open = AddItem(Popup->Items(), Form, "Open");
        Line = AddItem(Popup->Items(), Form, "-");
        Locked = AddItem(Popup->Items(), Form, "Locked");
        Locked->SetEnabled(false);
        More = AddItem(Popup->Items(), Form, "More");
        MoreA = AddItem(More, Form, "Alpha");
        MoreB = AddItem(More, Form, "Beta");
        Delta = AddItem(Popup->Items(), Form, "&Delta");
        for (TMenuItem* i : {Open, Locked, MoreA, MoreB, Delta})
            i->OnClick = [this](TObject* S) {
                // The menu is closed before the click arrives.
                EXPECT_EQ(OpenMenuWindow(), nullptr);
                Clicks.push_back(static_cast<TMenuItem*>(S)->Caption());
            };
        Form->Show();
    }
    TMenuScene(const TMenuScene&) = delete;
    TMenuScene& operator=(const TMenuScene&) = delete;
    ~TMenuScene() { delete Form; }
};

}  // namespace

TEST(MenuWindow, OwnerDrawnItemsAreMeasuredAndDrawnWithTheirStates)
{
    TMenuScene s;
    s.Open->SetDefault(true);
    s.Delta->SetChecked(true);
    struct TMeasure {
        TMenuItem* Item;
        int Width, Height;
    };
    struct TDraw {
        TMenuItem* Item;
        TRect Rect;
        TOwnerDrawState State;
    };
    std::vector<TMeasure> measured;
    std::vector<TDraw> drawn;
    for (TMenuItem* i : {s.Open, s.Line, s.Locked, s.More, s.Delta}) {
        i->OnMeasureItem = [&](TObject* S, TCanvas* C, int& W, int& H) {
            ASSERT_NE(C, nullptr);
            measured.push_back({static_cast<TMenuItem*>(S), W, H});
            const bool line = static_cast<TMenuItem*>(S)->IsLine();
            W = std::max(W, 150);
            H = line ? 4 : 30;
        };
        i->OnAdvancedDrawItem = [&](TObject* S, TCanvas* C, TRect R, TOwnerDrawState St) {
            drawn.push_back({static_cast<TMenuItem*>(S), R, St});
            C->FillRect(R);
        };
    }
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        KeyDown(w, VK_DOWN);  // Open
        KeyDown(w, VK_DOWN);  // Locked: the separator is passed over
        drawn.clear();
        w->Repaint();
        KeyDown(w, VK_ESCAPE);
    });
    s.Popup->Popup(100, 100);

    // Every item was asked once, the plain size proposed.
    ASSERT_EQ(measured.size(), 5U);
    EXPECT_EQ(measured[1].Item, s.Line);
    EXPECT_EQ(measured[1].Height, TMenuMetrics::SeparatorHeight);
    EXPECT_GT(measured[0].Width, 0);
    EXPECT_GT(measured[0].Height, 0);
    ASSERT_EQ(drawn.size(), 5U);
    // One width for all, each its own height, one after the other.
    int top = TMenuMetrics::Frame;
    for (const TDraw& d : drawn) {
        EXPECT_EQ(d.Rect.Left, TMenuMetrics::Frame);
        EXPECT_EQ(d.Rect.Width(), 150);
        EXPECT_EQ(d.Rect.Top, top);
        EXPECT_EQ(d.Rect.Height(), d.Item == s.Line ? 4 : 30);
        top = d.Rect.Bottom;
    }
    auto stateOf = [&](TMenuItem* I) {
        for (const TDraw& d : drawn)
            if (d.Item == I)
                return d.State;
        return TOwnerDrawState{};
    };
    EXPECT_EQ(stateOf(s.Open), TOwnerDrawState{odDefault});
    EXPECT_EQ(stateOf(s.Locked), (TOwnerDrawState{odSelected, odGrayed, odDisabled}));
    EXPECT_EQ(stateOf(s.Delta), TOwnerDrawState{odChecked});
    EXPECT_EQ(stateOf(s.More), TOwnerDrawState{});
    EXPECT_TRUE(s.Clicks.empty());
}

TEST(MenuWindow, KeysWalkTheLevelsAndChoose)
{
    TMenuScene s;
    std::vector<String> seen;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        KeyDown(w, VK_UP);  // from nothing, up wraps to the last
        seen.push_back(w->Entry(w->Selected())->Caption());
        KeyDown(w, VK_DOWN);  // round to the first
        KeyDown(w, VK_DOWN);  // over the separator
        seen.push_back(w->Entry(w->Selected())->Caption());
        // Enter on a disabled item does nothing.
        KeyDown(w, VK_RETURN);
        EXPECT_TRUE(w->Visible());
        KeyDown(w, VK_UP);
        seen.push_back(w->Entry(w->Selected())->Caption());
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_RIGHT);
        TMenuWindow* sub = w->SubMenu();
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->ParentItem(), s.More);
        EXPECT_EQ(sub->Selected(), 0);
        // Keys go to the newest level; Esc closes one level.
        KeyDown(w, VK_DOWN);
        EXPECT_EQ(sub->Selected(), 1);
        KeyDown(w, VK_ESCAPE);
        EXPECT_EQ(w->SubMenu(), nullptr);
        EXPECT_TRUE(w->Visible());
        KeyDown(w, VK_RETURN);  // Enter opens it again
        ASSERT_NE(w->SubMenu(), nullptr);
        KeyDown(w, VK_LEFT);
        EXPECT_EQ(w->SubMenu(), nullptr);
        KeyDown(w, VK_RIGHT);
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_RETURN);  // Beta
    });
    s.Popup->Popup(50, 50);
    EXPECT_EQ(seen, (std::vector<String>{"&Delta", "Locked", "Open"}));
    EXPECT_EQ(s.Clicks, std::vector<String>{"Beta"});

    // Accelerators: the marked letter, else the first one; case does not
    // matter.
    for (const char* typed : {"d", "O"}) {
        THookGuard h([&](TCustomForm* F) { KeyDown(Level(F), Word(std::toupper(typed[0])), typed); });
        s.Popup->Popup(50, 50);
    }
    EXPECT_EQ(s.Clicks, (std::vector<String>{"Beta", "&Delta", "Open"}));
    // Esc on the first level closes the menu without a choice.
    THookGuard h([&](TCustomForm* F) { KeyDown(Level(F), VK_ESCAPE); });
    s.Popup->Popup(50, 50);
    EXPECT_EQ(s.Clicks.size(), 3U);
}

TEST(MenuWindow, ThePointerSelectsOpensAndChoosesAndAnOutsidePressReachesNothing)
{
    TMenuScene s;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        // A level appearing under the pointer selects nothing until it moves.
        EXPECT_EQ(w->Selected(), -1);
        MouseMove(w, Centre(w->EntryRect(2)));
        EXPECT_EQ(w->Entry(w->Selected()), s.Locked);
        // A disabled item is not chosen.
        Click(w, Centre(w->EntryRect(2)));
        EXPECT_TRUE(w->Visible());
        // Hovering an item with a sub-menu opens it after a pause; a click
        // opens it at once.
        MouseMove(w, Centre(w->EntryRect(3)));
        EXPECT_EQ(w->SubMenu(), nullptr);
        w->Perform(WM_TIMER, 1);
        ASSERT_NE(w->SubMenu(), nullptr);
        TMenuWindow* sub = w->SubMenu();
        EXPECT_GE(sub->Left(), w->Left() + w->Width() - TMenuMetrics::SubMenuOverlap);
        MouseMove(sub, Centre(sub->EntryRect(0)));
        EXPECT_EQ(sub->Selected(), 0);
        EXPECT_EQ(w->Entry(w->Selected()), s.More);
        Click(sub, Centre(sub->EntryRect(0)));
    });
    s.Popup->Popup(60, 60);
    EXPECT_EQ(s.Clicks, std::vector<String>{"Alpha"});

    THookGuard outside([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_DOWN);
        KeyDown(w, VK_RIGHT);
        ASSERT_NE(w->SubMenu(), nullptr);
        s.Field->Log.clear();
        Click(s.Field, {400, 350});
        EXPECT_FALSE(w->Visible());
    });
    s.Popup->Popup(60, 60);
    EXPECT_EQ(s.Clicks.size(), 1U);
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_TRUE(s.Field->Messages().empty());
}

TEST(MenuWindow, MenusStayInsideTheWorkArea)
{
    TMenuScene s;
    const TRect work = Screen->MonitorWorkAreaRect({0, 0});
    TRect first, sub;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        first = w->BoundsRect();
        KeyDown(w, VK_UP);
        KeyDown(w, VK_UP);
        KeyDown(w, VK_RIGHT);
        ASSERT_NE(w->SubMenu(), nullptr);
        sub = w->SubMenu()->BoundsRect();
        KeyDown(w, VK_ESCAPE);
        KeyDown(w, VK_ESCAPE);
    });
    const TPoint corner{work.Right - 3, work.Bottom - 3};
    s.Popup->Popup(corner.X, corner.Y);
    // Opened towards the point from left and above it.
    EXPECT_EQ(first.Right, corner.X);
    EXPECT_EQ(first.Bottom, corner.Y);
    // The sub-menu has no room right of it: it opens on the left.
    EXPECT_LE(sub.Right, first.Left + TMenuMetrics::SubMenuOverlap);
    EXPECT_GE(sub.Left, work.Left);
    EXPECT_LE(sub.Bottom, work.Bottom);
    // A point off the screen still gives a menu on it.
    s.Popup->Popup(work.Left - 500, work.Top - 500);
    EXPECT_EQ(first.TopLeft(), work.TopLeft());
}

TEST(MenuWindow, ItemsWithoutHandlersDrawThePlainLook)
{
    TMenuScene s;
    s.Delta->SetChecked(true);
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        KeyDown(w, VK_DOWN);
        const TRect open = w->EntryRect(0), line = w->EntryRect(1), delta = w->EntryRect(4);
        // The selected item in the highlight, the others on the menu colour.
        EXPECT_EQ(PixelAt(w, {open.Right - 2, open.Top + 1}), ColorToRGB(clHighlight));
        EXPECT_EQ(PixelAt(w, {delta.Right - 2, delta.Top + 1}), ColorToRGB(clMenu));
        // The separator is an etched line across its middle.
        const int y = (line.Top + line.Bottom) / 2 - 1;
        EXPECT_EQ(PixelAt(w, {line.Left + 10, y}), ColorToRGB(clBtnShadow));
        EXPECT_EQ(PixelAt(w, {line.Left + 10, y + 1}), ColorToRGB(clBtnHighlight));
        // The check mark is drawn in the icon column.
        int marked = 0;
        for (int x = delta.Left; x < delta.Left + 24; ++x)
            for (int yy = delta.Top; yy < delta.Bottom; ++yy)
                marked += PixelAt(w, {x, yy}) == ColorToRGB(clMenuText);
        EXPECT_GT(marked, 6);
        // The sub-menu arrow at the right of "More".
        const TRect more = w->EntryRect(3);
        int arrow = 0;
        for (int x = more.Right - TMenuMetrics::ArrowColumn; x < more.Right; ++x)
            arrow += PixelAt(w, {x, (more.Top + more.Bottom) / 2}) == ColorToRGB(clMenuText);
        EXPECT_GT(arrow, 0);
        KeyDown(w, VK_ESCAPE);
    });
    s.Popup->Popup(40, 40);
}

TEST(MenuWindow, AMeasureEventFramesItsLevelUntilTheNextMenu)
{
    TMenuScene s;
    int painted = 0;
    s.Open->OnMeasureItem = [&](TObject*, TCanvas*, int&, int&) {
        ASSERT_NE(MenuWindowMeasuring(), nullptr);
        TMenuFrame frame;
        frame.Left = frame.Top = 3;
        frame.Right = frame.Bottom = 5;
        frame.CornerCut = 2;
        frame.Paint = [&](TMenuWindow* W, TCanvas* C) {
            ++painted;
            C->Brush()->SetColor(clRed);
            C->FillRect({W->Width() - 5, 0, W->Width(), W->Height()});
        };
        MenuWindowMeasuring()->SetFrame(std::move(frame));
    };
    TMenuWindow* level = nullptr;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = level = Level(F);
        const int last = w->EntryCount() - 1;
        EXPECT_EQ(w->EntryRect(0).TopLeft(), (TPoint{3, 3}));
        EXPECT_EQ(w->EntryRect(last).Right, w->Width() - 5);
        EXPECT_EQ(w->EntryRect(last).Bottom, w->Height() - 5);
        // Painted over the entries, in the room asked for.
        EXPECT_EQ(PixelAt(w, {w->Width() - 4, w->EntryRect(0).Top + 2}), ColorToRGB(clRed));
        EXPECT_GT(painted, 0);
        // The window's shape leaves out the two corners; the frame brings
        // its own shadow, so the toolkit adds no band.
        auto* host = static_cast<QtWidgetHost*>(WidgetOf(w));
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(host->ShadowMargin, 0);
        EXPECT_FALSE(host->mask().contains(QPoint(w->Width() - 1, 0)));
        EXPECT_FALSE(host->mask().contains(QPoint(1, w->Height() - 2)));
        EXPECT_TRUE(host->mask().contains(QPoint(w->Width() - 3, 0)));
        EXPECT_TRUE(host->mask().contains(QPoint(w->Width() - 1, 2)));
        KeyDown(w, VK_ESCAPE);
    });
    s.Popup->Popup(40, 40);
    EXPECT_EQ(MenuWindowMeasuring(), nullptr);

    // The window is reused plain by a menu that asks for no frame.
    s.Open->OnMeasureItem = nullptr;
    THookGuard plain([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        EXPECT_EQ(w, level);
        EXPECT_FALSE(w->Frame().Paint);
        EXPECT_EQ(w->EntryRect(0).TopLeft(), (TPoint{TMenuMetrics::Frame, TMenuMetrics::Frame}));
        auto* host = static_cast<QtWidgetHost*>(WidgetOf(w));
        EXPECT_TRUE(host->mask().isEmpty());
        EXPECT_EQ(host->ShadowMargin, TranslucentWindows() ? DropShadowSize : 0);
        KeyDown(w, VK_ESCAPE);
    });
    s.Popup->Popup(40, 40);
}

TEST(Menus, ItemsReachTheirMenuAndOneDefaultPerLevel)
{
    EnsureApplication();
    auto* owner = Create<TComponent>(nullptr);
    auto* menu = Create<TPopupMenu>(owner);
    auto* images = Create<TImageList>(owner);
    menu->SetImages(images);
    TMenuItem* a = AddItem(menu->Items(), owner, "A");
    TMenuItem* b = AddItem(menu->Items(), owner, "B");
    TMenuItem* deep = AddItem(b, owner, "Deep");
    EXPECT_EQ(deep->GetParentMenu(), menu);
    EXPECT_EQ(deep->GetParentMenu()->Images(), images);
    EXPECT_EQ(menu->Items()->GetParentMenu(), menu);
    auto* loose = Create<TMenuItem>(owner);
    EXPECT_EQ(loose->GetParentMenu(), nullptr);
    b->Remove(deep);
    EXPECT_EQ(deep->GetParentMenu(), nullptr);

    a->SetDefault(true);
    b->SetDefault(true);
    EXPECT_FALSE(a->Default());
    EXPECT_TRUE(b->Default());

    // Changes reach the menu's OnChange.
    int changes = 0;
    menu->OnChange = [&](TObject*, TMenuItem*, bool) { ++changes; };
    a->SetCaption("A2");
    a->SetCaption("A2");
    a->SetEnabled(false);
    EXPECT_EQ(changes, 2);

    EXPECT_FALSE(Screen->MenuFont()->Name().empty());
    EXPECT_EQ(Screen->MenuFont()->Color(), clMenuText);
    delete owner;
}

TEST(MenuWindow, AnItemFreedWhileTheMenuIsOpenClosesIt)
{
    TMenuScene s;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        KeyDown(w, VK_DOWN);
        delete s.Open;
        EXPECT_FALSE(w->Visible());
    });
    s.Popup->Popup(50, 50);
    EXPECT_TRUE(s.Clicks.empty());
}

// ---------------------------------------------------------------------------

namespace {

struct TBarScene {
    TForm* Form;
    TMainMenu* Menu;
    TMenuBar* Bar;
    TMenuItem* File;
    TMenuItem* Edit;
    TMenuItem* Help;
    TMenuItem* Quit;
    int Quits = 0;

    TBarScene()
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 400, 300);
        Menu = Create<TMainMenu>(Form);
        File = AddItem(Menu->Items(), Form, "&File");
        Quit = AddItem(File, Form, "&Quit");
        Quit->OnClick = [this](TObject*) { ++Quits; };
        Edit = AddItem(Menu->Items(), Form, "&Edit");
        AddItem(Edit, Form, "Copy");
        Help = AddItem(Menu->Items(), Form, "&Help");
        AddItem(Help, Form, "About");
        Form->SetMenu(Menu);
        Bar = Build<TMenuBar>(Form, "Bar").Parent(Form).Align(alTop).Get();
        Bar->SetMenu(Menu);
        Form->Show();
    }
    TBarScene(const TBarScene&) = delete;
    TBarScene& operator=(const TBarScene&) = delete;
    ~TBarScene() { delete Form; }
};

}  // namespace

TEST(MenuBar, EntriesAreMeasuredAndDrawnThroughTheirEvents)
{
    TBarScene s;
    const int plain = s.Bar->Height();
    EXPECT_GT(plain, 0);
    std::vector<std::pair<TMenuItem*, TOwnerDrawState>> drawn;
    for (TMenuItem* i : {s.File, s.Edit, s.Help}) {
        i->OnMeasureItem = [](TObject*, TCanvas*, int& W, int& H) {
            W = 60;
            H = 30;
        };
        i->OnAdvancedDrawItem = [&](TObject* S, TCanvas*, TRect R, TOwnerDrawState St) {
            EXPECT_EQ(R.Width(), 60);
            EXPECT_EQ(R.Height(), 30);
            drawn.emplace_back(static_cast<TMenuItem*>(S), St);
        };
    }
    // The bar follows its entries once the menu says it changed.
    s.File->SetCaption("&File");
    EXPECT_EQ(s.Bar->Height(), plain);
    s.File->SetCaption("&Files");
    EXPECT_EQ(s.Bar->Height(), 30);
    EXPECT_EQ(s.Bar->ItemRect(s.Edit), TRect(62, 0, 122, 30));

    MouseMove(s.Bar, {70, 5});
    drawn.clear();
    s.Bar->Repaint();
    ASSERT_EQ(drawn.size(), 3U);
    EXPECT_EQ(drawn[0].second, TOwnerDrawState{});
    EXPECT_EQ(drawn[1].second, TOwnerDrawState{odHotLight});

    // While dropped down the entry is drawn selected, and no other hot.
    THookGuard hook([&](TCustomForm* F) {
        drawn.clear();
        s.Bar->Repaint();
        KeyDown(Level(F), VK_ESCAPE);
    });
    Click(s.Bar, {70, 5});
    ASSERT_EQ(drawn.size(), 3U);
    EXPECT_EQ(drawn[1].second, TOwnerDrawState{odSelected});
    EXPECT_EQ(drawn[0].second, TOwnerDrawState{});
}

TEST(MenuBar, AltAndALetterDropsDownAndLeftAndRightGoToTheNeighbours)
{
    TBarScene s;
    std::vector<TMenuItem*> opened;
    std::vector<Word> keys{VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT, VK_ESCAPE};
    std::size_t next = 0;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        opened.push_back(w->ParentItem());
        // The level opens below its entry.
        const TRect entry = s.Bar->ItemRect(w->ParentItem());
        EXPECT_EQ(w->Left(), s.Bar->ClientToScreen(entry.TopLeft()).X);
        EXPECT_EQ(w->Top(), s.Bar->ClientToScreen(entry.BottomRight()).Y);
        if (next < keys.size())
            KeyDown(w, keys[next++]);
    });
    KeyDown(s.Form, 'E', "e", {ssAlt});
    EXPECT_EQ(opened, (std::vector<TMenuItem*>{s.Edit, s.Help, s.File, s.Edit, s.File}));
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_EQ(s.Bar->DroppedItem(), nullptr);

    // The accelerator inside the dropped-down menu chooses.
    THookGuard h([&](TCustomForm* F) { KeyDown(Level(F), 'Q', "q"); });
    KeyDown(s.Form, 'F', "f", {ssAlt});
    EXPECT_EQ(s.Quits, 1);
    // A letter no entry has does nothing.
    KeyDown(s.Form, 'X', "x", {ssAlt});
    EXPECT_EQ(s.Quits, 1);
}

TEST(MenuBar, ThePointerGoesFromEntryToEntryAndAPressOnTheOpenOneClosesIt)
{
    TBarScene s;
    std::vector<TMenuItem*> opened;
    THookGuard hook([&](TCustomForm* F) {
        TMenuWindow* w = Level(F);
        opened.push_back(w->ParentItem());
        if (opened.size() == 1)
            MouseMove(s.Bar, Centre(s.Bar->ItemRect(s.Help)));
        else
            Click(s.Bar, Centre(s.Bar->ItemRect(s.Help)));
    });
    Click(s.Bar, Centre(s.Bar->ItemRect(s.File)));
    EXPECT_EQ(opened, (std::vector<TMenuItem*>{s.File, s.Help}));
    EXPECT_EQ(s.Bar->DroppedItem(), nullptr);
}
