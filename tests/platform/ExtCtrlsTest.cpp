// Panel, shape, image, paint box and radio group.
#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

TEST(ExtCtrls, PanelKeepsAlignedChildrenInsideBorderAndBevels)
{
    auto* panel = Create<TPanel>(nullptr);
    panel->SetBounds(0, 0, 200, 100);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    auto* top = Create<TPanel>(panel);
    top->SetParent(panel);
    top->SetHeight(20);
    top->SetAlign(alTop);
    auto* rest = Create<TPanel>(panel);
    rest->SetParent(panel);
    rest->SetAlign(alClient);
    // 2 + 3 + 2 pixels on every side.
    EXPECT_EQ(top->BoundsRect(), TRect(7, 7, 193, 27));
    EXPECT_EQ(rest->BoundsRect(), TRect(7, 27, 193, 93));
    panel->SetBevelInner(bvNone);
    EXPECT_EQ(rest->BoundsRect(), TRect(5, 25, 195, 95));
    delete panel;
}

TEST(ExtCtrls, PanelPaintsItsBevelsAroundItsColour)
{
    EnsureApplication();
    auto* panel = Create<TPanel>(nullptr);
    panel->SetBounds(0, 0, 50, 30);
    panel->SetColor(clYellow);
    TBitmap bmp;
    panel->PaintTo(&bmp);
    TCanvas* c = bmp.Canvas();
    EXPECT_EQ(c->Pixels(0, 10), ColorToRGB(clBtnHighlight));  // raised: light top-left
    EXPECT_EQ(c->Pixels(49, 10), ColorToRGB(clBtnShadow));    // and dark bottom-right
    EXPECT_EQ(c->Pixels(25, 15), clYellow);
    panel->SetBevelOuter(bvLowered);
    panel->PaintTo(&bmp);
    EXPECT_EQ(c->Pixels(0, 10), ColorToRGB(clBtnShadow));
    delete panel;
}

TEST(ExtCtrls, ShapesFillTheirFormWithTheBrushAndFollowItsChanges)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 200);
    form->SetColor(clWhite);
    auto* shape = Create<TShape>(form);
    shape->SetParent(form);
    shape->SetBounds(0, 0, 100, 40);
    shape->Brush()->SetColor(clRed);
    shape->Pen()->SetColor(clBlue);
    TBitmap bmp;
    const TPoint o = form->ClientOffset();
    form->PaintTo(&bmp);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 50, o.Y + 20), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 0, o.Y + 20), clBlue);
    // A circle is centred in the bounds: the corners stay the parent's.
    shape->SetShape(stCircle);
    shape->Brush()->SetColor(clLime);
    form->PaintTo(&bmp);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 50, o.Y + 20), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 10, o.Y + 20), clWhite);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 31, o.Y + 1), clWhite);
    delete form;
}

TEST(ExtCtrls, ImagePlacesItsPictureAsAsked)
{
    EnsureApplication();
    auto* image = Create<TImage>(nullptr);
    image->SetBounds(0, 0, 100, 50);
    EXPECT_EQ(image->DestRect(), TRect());
    image->Picture()->Bitmap()->SetSize(20, 10);
    image->Picture()->Changed();
    EXPECT_EQ(image->DestRect(), TRect(0, 0, 20, 10));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), TRect(40, 20, 60, 30));
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), TRect(0, 0, 100, 50));
    image->SetProportional(true);
    image->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(image->DestRect(), TRect(0, 25, 100, 75));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 20);
    EXPECT_EQ(image->Height(), 10);
    delete image;
}

TEST(ExtCtrls, PaintBoxPaintsThroughOnPaintWithItsOwnOrigin)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 200);
    auto* box = Create<TPaintBox>(form);
    box->SetParent(form);
    box->SetBounds(30, 40, 20, 20);
    int paints = 0;
    box->OnPaint = [&](TObject*) {
        ++paints;
        box->Canvas()->Brush()->SetColor(clFuchsia);
        box->Canvas()->FillRect({0, 0, 500, 500});  // clipped to the box
    };
    TBitmap bmp;
    form->PaintTo(&bmp);
    const TPoint o = form->ClientOffset();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 30, o.Y + 40), clFuchsia);
    EXPECT_NE(bmp.Canvas()->Pixels(o.X + 50, o.Y + 40), clFuchsia);
    EXPECT_NE(bmp.Canvas()->Pixels(o.X + 29, o.Y + 40), clFuchsia);
    delete form;
}

TEST(ExtCtrls, RadioGroupButtonsFollowItemsAndIndex)
{
    auto* group = Create<TRadioGroup>(nullptr);
    group->SetBounds(0, 0, 200, 120);
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->Items()->SetCommaText("Day,Minute,Hour");
    ASSERT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(1)->Caption(), "Minute");
    group->SetItemIndex(1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicks, 1);
    // A click on another button moves the index.
    group->Buttons(2)->SetChecked(true);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicks, 2);
    group->SetItemIndex(5);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->Buttons(2)->Checked());
    EXPECT_EQ(clicks, 2);
    // Fewer items: the buttons go, an index past them is forgotten.
    group->SetItemIndex(2);
    group->Items()->Delete(2);
    EXPECT_EQ(group->ButtonCount(), 2);
    EXPECT_EQ(group->ItemIndex(), -1);
    // Two columns share the width.
    group->Items()->SetCommaText("a,b,c,d");
    group->SetColumns(2);
    EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
    EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
    delete group;
}

TEST(ExtCtrls, RadioGroupForgetsAButtonFreedElsewhere)
{
    auto* group = Create<TRadioGroup>(nullptr);
    group->Items()->SetCommaText("a,b,c");
    delete group->Buttons(1);
    EXPECT_EQ(group->ButtonCount(), 2);
    EXPECT_EQ(group->Buttons(1)->Caption(), "c");
    delete group;
}

TEST(ExtCtrls, AnAutoSizedPanelFollowsItsChildren)
{
    auto* panel = Create<TPanel>(nullptr);
    panel->SetBounds(10, 10, 200, 100);
    panel->SetBevelOuter(bvRaised);  // one pixel on each side
    auto* a = Create<TPanel>(panel);
    a->SetParent(panel);
    a->SetBounds(5, 5, 50, 20);
    auto* b = Create<TPanel>(panel);
    b->SetParent(panel);
    b->SetBounds(10, 40, 30, 10);
    panel->SetAutoSize(true);
    EXPECT_EQ(panel->BoundsRect(), TRect(10, 10, 10 + 56, 10 + 51));
    b->SetLeft(100);
    EXPECT_EQ(panel->Width(), 131);
    b->Hide();
    EXPECT_EQ(panel->BoundsRect(), TRect(10, 10, 10 + 56, 10 + 26));
    delete b;
    a->SetHeight(30);
    EXPECT_EQ(panel->Height(), 36);
    // Without children it keeps what it has.
    delete a;
    EXPECT_EQ(panel->Height(), 36);
    // A child aligned to the top keeps the width and sets the height.
    auto* top = Create<TPanel>(panel);
    top->SetHeight(24);
    top->SetAlign(alTop);
    top->SetParent(panel);
    EXPECT_EQ(panel->BoundsRect(), TRect(10, 10, 10 + 56, 10 + 26));
    EXPECT_EQ(top->BoundsRect(), TRect(1, 1, 55, 25));
    panel->SetAutoSize(false);
    top->SetHeight(10);
    EXPECT_EQ(panel->Height(), 26);
    delete panel;
}
