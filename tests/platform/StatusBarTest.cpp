// The status bar: panels, their rectangles and texts.
#include <gtest/gtest.h>

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

TEST(StatusBar, PanelsKeepTheirTextsAndOnlyChangesRepaint)
{
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 300);
    auto* bar = Create<TStatusBar>(form);
    bar->SetParent(form);
    // Sits at the bottom of the form by default.
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
    EXPECT_EQ(bar->Width(), form->ClientWidth());

    for (int i = 0; i < 4; ++i)
        bar->Panels()->Add()->SetWidth(100);
    bar->Panels()->Items(0)->SetText("Table total: 12");
    bar->Panels()->Items(3)->SetText("File has changed");
    EXPECT_EQ(bar->Panels()->Items(1)->Text(), "");
    int changes = bar->ChangeCount();
    bar->Panels()->Items(3)->SetText("File has changed");
    EXPECT_EQ(bar->ChangeCount(), changes);
    bar->Panels()->Items(3)->SetText("");
    EXPECT_EQ(bar->ChangeCount(), changes + 1);
    EXPECT_THROW(bar->Panels()->Items(4), EListError);
    EXPECT_THROW(bar->Panels()->Items(-1), EListError);

    // Panels follow each other by width; the last reaches the right end.
    EXPECT_EQ(bar->PanelRect(1).Left, 100);
    EXPECT_EQ(bar->PanelRect(2).Right, 300);
    EXPECT_EQ(bar->PanelRect(3).Right, bar->ClientWidth());
    EXPECT_TRUE(bar->PanelRect(4).IsEmpty());
    // A bar narrower than its panels clips them instead of going negative.
    bar->SetAlign(alNone);
    bar->SetWidth(150);
    EXPECT_EQ(bar->PanelRect(2).Left, 150);
    EXPECT_EQ(bar->PanelRect(2).Width(), 0);

    bar->Panels()->Delete(0);
    EXPECT_EQ(bar->Panels()->Count(), 3);
    EXPECT_EQ(bar->Panels()->Items(2)->Text(), "");
    delete form;
}

TEST(StatusBar, SimplePanelAndPaintingWithoutAWindow)
{
    EnsureApplication();
    auto* bar = Create<TStatusBar>(nullptr);
    bar->SetBounds(0, 0, 200, 20);
    bar->Panels()->Add()->SetText("one");
    int changes = bar->ChangeCount();
    // The simple text repaints only while it is shown.
    bar->SetSimpleText("working...");
    EXPECT_EQ(bar->ChangeCount(), changes);
    bar->SetSimplePanel(true);
    bar->SetSimpleText("still working...");
    EXPECT_GT(bar->ChangeCount(), changes);

    TBitmap picture;
    bar->PaintTo(&picture);
    EXPECT_EQ(picture.Width(), 200);
    // The background is the face colour, far from any text.
    EXPECT_EQ(picture.Canvas()->Pixels(195, 1), ColorToRGB(clBtnFace));
    EXPECT_FALSE(bar->HandleAllocated());
    delete bar;
}
