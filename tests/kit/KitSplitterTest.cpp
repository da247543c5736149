// The collapsible splitter on forms with aligned panels: its button, clicks
// against drags, folding and unfolding the neighbour in every alignment.
#include <gtest/gtest.h>

#include "components/KitSplitter.h"
#include "platform/ComponentDump.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

namespace {

struct SplitScene {
    TForm* Form;
    TPanel* Neighbour;
    TKitSplitter* Splitter;
    std::vector<String> Events;
    explicit SplitScene(TAlign Align)
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(40, 40, 400, 300);
        Neighbour = Create<TPanel>(Form);
        Neighbour->SetParent(Form);
        Splitter = Create<TKitSplitter>(Form);
        Splitter->SetName("Splitter");
        auto* rest = Create<TPanel>(Form);
        rest->SetParent(Form);
        rest->SetAlign(alClient);
        const int w = Form->ClientWidth();
        const int h = Form->ClientHeight();
        // Placed so that alignment puts the neighbour at the edge and the
        // splitter next to it.
        switch (Align) {
        case alTop: Neighbour->SetBounds(0, 0, w, 100); Splitter->SetBounds(0, 150, w, 10); break;
        case alBottom: Neighbour->SetBounds(0, h - 100, w, 100); Splitter->SetBounds(0, 100, w, 10); break;
        case alLeft: Neighbour->SetBounds(0, 0, 100, h); Splitter->SetBounds(150, 0, 10, h); break;
        default: Neighbour->SetBounds(w - 100, 0, 100, h); Splitter->SetBounds(100, 0, 10, h); break;
        }
        Neighbour->SetAlign(Align);
        Splitter->SetAlign(Align);
        Splitter->SetParent(Form);
        Splitter->OnMaximize = [this](TObject*) { Events.push_back("maximize"); };
        Splitter->OnMinimize = [this](TObject*) { Events.push_back("minimize"); };
        Splitter->OnRestore = [this](TObject*) { Events.push_back("restore"); };
        Splitter->OnClose = [this](TObject*) { Events.push_back("close"); };
        Form->Show();
    }
    ~SplitScene()
    {
        ReleaseCapture();
        delete Form;
    }
    bool Vertical() const { return Splitter->Align() == alLeft || Splitter->Align() == alRight; }
    int Size() const { return Vertical() ? Neighbour->Width() : Neighbour->Height(); }
    // Pointer input at screen points, wherever the splitter is by then.
    void Down(TPoint Screen) { MouseDown(Splitter, Splitter->ScreenToClient(Screen)); }
    void Move(TPoint Screen) { MouseMove(Splitter, Splitter->ScreenToClient(Screen)); }
    void Up(TPoint Screen) { MouseUp(Splitter, Splitter->ScreenToClient(Screen)); }
    TPoint ButtonCentre() { return Splitter->ClientToScreen(Splitter->ButtonRect().CenterPoint()); }
    // Along the drag axis.
    TPoint Along(TPoint P, int By) const { return Vertical() ? TPoint{P.X + By, P.Y} : TPoint{P.X, P.Y + By}; }
    // A press beside the button, dragged By pixels.
    void Drag(int By)
    {
        NextClick();
        const TPoint p = Splitter->ClientToScreen({3, 3});
        Down(p);
        Move(Along(p, By / 2));
        Move(Along(p, By));
        Up(Along(p, By));
    }
};

using Events = std::vector<String>;

}  // namespace

TEST(KitSplitter, TheButtonSitsInTheMiddleOrAtTheEnd)
{
    SplitScene s(alTop);
    TKitSplitter* k = s.Splitter;
    ASSERT_EQ(k->Width(), 400);
    EXPECT_EQ(k->ButtonRect(), TRect(150, 1, 250, 9));
    k->SetButtonWidth(1000);
    EXPECT_EQ(k->ButtonRect(), TRect(1, 1, 399, 9));
    k->SetButtonWidthType(btwPercentage);
    EXPECT_EQ(k->ButtonWidth(), 100);
    k->SetButtonWidth(50);
    EXPECT_EQ(k->ButtonRect(), TRect(100, 1, 300, 9));
    k->SetButtonWidth(-5);
    EXPECT_EQ(k->ButtonWidth(), 0);
    EXPECT_TRUE(k->ButtonRect().IsEmpty());
    k->SetButtonWidthType(btwPixels);
    k->SetButtonWidth(100);
    k->SetBeveled(true);
    EXPECT_EQ(k->ButtonRect(), TRect(150, 4, 250, 6));
    k->SetBeveled(false);
    // Three squares of the thickness less 2 px, ending 1 px inside.
    k->SetButtonStyle(bsWindows);
    EXPECT_EQ(k->ButtonRect(), TRect(399 - 24, 1, 399, 9));
    k->SetWindowsButtons({wbClose});
    EXPECT_EQ(k->ButtonRect(), TRect(399 - 8, 1, 399, 9));
    k->SetShowButton(false);
    EXPECT_TRUE(k->ButtonRect().IsEmpty());

    SplitScene v(alLeft);
    const int h = v.Splitter->Height();
    EXPECT_EQ(v.Splitter->ButtonRect(), TRect(1, (h - 100) / 2, 9, (h - 100) / 2 + 100));
    v.Splitter->SetButtonStyle(bsWindows);
    EXPECT_EQ(v.Splitter->ButtonRect(), TRect(1, 1, 9, 25));
}

TEST(KitSplitter, FivePixelsOfMovementAreAClickSixADrag)
{
    SplitScene s(alTop);
    // Thick enough that the pointer stays on the button 5 px off.
    s.Splitter->SetHeight(20);
    ASSERT_EQ(s.Splitter->ButtonRect(), TRect(150, 1, 250, 19));
    NextClick();
    s.Down(s.ButtonCentre());
    s.Move(s.Along(s.ButtonCentre(), -5));
    s.Up(s.Along(s.ButtonCentre(), 5));
    EXPECT_TRUE(s.Splitter->Maximized());
    EXPECT_EQ(s.Size(), s.Splitter->MinSize());
    EXPECT_EQ(s.Events, (Events{"maximize"}));
    NextClick();
    Click(s.Splitter, s.Splitter->ButtonRect().CenterPoint());
    EXPECT_FALSE(s.Splitter->Maximized());
    EXPECT_EQ(s.Size(), 100);

    // Six pixels: the splitter follows and the neighbour keeps the new size.
    s.Events.clear();
    NextClick();
    const TPoint c = s.ButtonCentre();
    s.Down(c);
    s.Move(s.Along(c, 6));
    s.Up(s.Along(c, 6));
    EXPECT_FALSE(s.Splitter->Maximized());
    EXPECT_EQ(s.Size(), 106);
    EXPECT_EQ(s.Splitter->RestorePos(), 106);
    EXPECT_TRUE(s.Events.empty());
}

TEST(KitSplitter, MaximizeFoldsTheNeighbourAndRestoreBringsItBack)
{
    for (TAlign a : {alTop, alBottom, alLeft, alRight}) {
        SplitScene s(a);
        ASSERT_EQ(s.Size(), 100) << a;
        s.Splitter->SetMaximized(true);
        EXPECT_EQ(s.Size(), s.Splitter->MinSize()) << a;
        EXPECT_EQ(s.Splitter->RestorePos(), 100) << a;
        // The splitter still touches its neighbour.
        EXPECT_EQ(s.Splitter->FindControl(), s.Neighbour) << a;
        s.Splitter->SetMaximized(false);
        EXPECT_EQ(s.Size(), 100) << a;
        EXPECT_EQ(s.Events, (Events{"maximize", "restore"})) << a;
    }
}

TEST(KitSplitter, SettingTheStateItHasKeepsTheSizeToRestore)
{
    SplitScene s(alTop);
    s.Splitter->SetMaximized(true);
    s.Splitter->SetMaximized(true);
    EXPECT_EQ(s.Splitter->RestorePos(), 100);
    s.Splitter->SetMaximized(false);
    s.Splitter->SetMaximized(false);
    EXPECT_EQ(s.Size(), 100);
    EXPECT_EQ(s.Events, (Events{"maximize", "restore"}));

    s.Splitter->SetMinimized(true);
    const int pushed = s.Size();
    EXPECT_GT(pushed, 100);
    s.Splitter->SetMinimized(true);
    EXPECT_EQ(s.Splitter->RestorePos(), 100);
    s.Splitter->SetMinimized(false);
    EXPECT_EQ(s.Size(), 100);
}

TEST(KitSplitter, MinimizeAndMaximizeFromMinimized)
{
    SplitScene s(alTop);
    s.Splitter->SetMinimized(true);
    EXPECT_TRUE(s.Splitter->Minimized());
    // Pushed the other way: the neighbour above takes what there is.
    EXPECT_EQ(s.Size(), s.Form->ClientHeight() - 10 - s.Splitter->MinSize());
    EXPECT_EQ(s.Splitter->RestorePos(), 100);
    s.Splitter->SetMaximized(true);
    EXPECT_FALSE(s.Splitter->Minimized());
    EXPECT_EQ(s.Size(), s.Splitter->MinSize());
    EXPECT_EQ(s.Splitter->RestorePos(), 100);
    s.Splitter->SetMaximized(false);
    EXPECT_EQ(s.Size(), 100);
    EXPECT_EQ(s.Events, (Events{"minimize", "maximize", "restore"}));

    // The Windows style's squares act by their kind.
    s.Events.clear();
    s.Splitter->SetButtonStyle(bsWindows);
    const TRect r = s.Splitter->ButtonRect();
    for (int i : {0, 0, 2}) {
        NextClick();
        Click(s.Splitter, {r.Left + 8 * i + 4, 5});
    }
    EXPECT_EQ(s.Events, (Events{"minimize", "restore", "close"}));
    EXPECT_EQ(s.Size(), 100);
}

TEST(KitSplitter, DraggingToTheMinimumMaximizesAndBackRestores)
{
    SplitScene s(alTop);
    s.Drag(-100);
    EXPECT_TRUE(s.Splitter->Maximized());
    EXPECT_EQ(s.Size(), s.Splitter->MinSize());
    EXPECT_EQ(s.Events, (Events{"maximize"}));
    s.Drag(50);
    EXPECT_FALSE(s.Splitter->Maximized());
    EXPECT_EQ(s.Size(), s.Splitter->MinSize() + 50);
    EXPECT_EQ(s.Splitter->RestorePos(), s.Splitter->MinSize() + 50);
    EXPECT_EQ(s.Events, (Events{"maximize", "restore"}));
    // An ordinary drag afterwards only keeps the new size.
    s.Drag(10);
    EXPECT_EQ(s.Splitter->RestorePos(), s.Splitter->MinSize() + 60);
    EXPECT_EQ(s.Events.size(), 2u);
}

TEST(KitSplitter, WithoutANeighbourNothingFolds)
{
    SplitScene s(alTop);
    s.Neighbour->SetVisible(false);
    s.Splitter->SetMaximized(true);
    s.Splitter->SetMinimized(true);
    EXPECT_FALSE(s.Splitter->Maximized());
    EXPECT_FALSE(s.Splitter->Minimized());
    EXPECT_TRUE(s.Events.empty());
}

TEST(KitSplitter, WithoutAllowDragOnlyTheButtonWorks)
{
    SplitScene s(alTop);
    s.Splitter->SetAllowDrag(false);
    s.Drag(40);
    EXPECT_EQ(s.Size(), 100);
    NextClick();
    Click(s.Splitter, s.Splitter->ButtonRect().CenterPoint());
    EXPECT_TRUE(s.Splitter->Maximized());
}

TEST(KitSplitter, TheHighlightFollowsThePointerInItsColour)
{
    SplitScene s(alTop);
    TKitSplitter* k = s.Splitter;
    k->SetButtonHighlightColor(clYellow);
    k->SetButtonColor(clSilver);
    auto face = [&] {
        TBitmap b;
        k->PaintTo(&b);
        return b.Canvas()->Pixels(151, 1);
    };
    EXPECT_EQ(face(), ColorToRGB(clSilver));
    MouseMove(k, {200, 5});
    EXPECT_TRUE(k->ButtonHighlighted());
    EXPECT_EQ(face(), ColorToRGB(clYellow));
    EXPECT_EQ(k->Cursor(), k->ButtonCursor());
    MouseMove(k, {20, 5});
    EXPECT_FALSE(k->ButtonHighlighted());
    EXPECT_EQ(k->Cursor(), crVSplit);

    // Worked out from the active caption towards the button face, 180/255
    // of the way, each channel rounded to the nearest.
    k->SetAutoHighlightColor(true);
    const TColor a = ColorToRGB(clActiveCaption);
    const TColor f = ColorToRGB(clBtnFace);
    auto expect = [](int A, int F) { return int(A + (F - A) * 180.0 / 255.0 + 0.5); };
    EXPECT_EQ(k->ButtonHighlightColor(), RGB(Byte(expect(GetRValue(a), GetRValue(f))),
                                             Byte(expect(GetGValue(a), GetGValue(f))),
                                             Byte(expect(GetBValue(a), GetBValue(f)))));
    EXPECT_EQ(KitAutoHighlightColor(), RGB(153, 157, 172));
    MouseMove(k, {200, 5});
    EXPECT_EQ(face(), RGB(153, 157, 172));
    k->SetAutoHighlightColor(false);
    EXPECT_EQ(k->ButtonHighlightColor(), TColor(0xFFCFCF));
}

TEST(KitSplitter, RestorePosIsWrittenOnlyWhileFolded)
{
    SplitScene s(alTop);
    EXPECT_EQ(DumpComponents(s.Form).find("Splitter.RestorePos"), String::npos);
    s.Splitter->SetMaximized(true);
    EXPECT_NE(DumpComponents(s.Form).find("Splitter.RestorePos=100\n"), String::npos);
}
