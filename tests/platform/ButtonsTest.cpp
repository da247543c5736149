// Buttons: standard kinds, the speed button's groups and its painting.
#include <gtest/gtest.h>

#include <QPushButton>

#include "platform/Buttons.h"
#include "platform/QtNativeControl.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

TEST(Buttons, BitBtnKindsGiveResultsAndRolesAndClickingByMouseWorks)
{
    EnsureApplication();
    auto* f = Create<TForm>(nullptr);
    auto* ok = Build<TBitBtn>(f, "OK").Parent(f).Bounds(10, 10, 75, 25).Get();
    ok->SetKind(bkOK);
    auto* cancel = Build<TBitBtn>(f, "Cancel").Parent(f).Bounds(100, 10, 75, 25).Get();
    cancel->SetKind(bkCancel);
    EXPECT_EQ(ok->ModalResult(), mrOk);
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(cancel->ModalResult(), mrCancel);
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(ok->Caption(), "OK");
    // A click on the widget comes back as Click.
    int clicks = 0;
    cancel->OnClick = [&](TObject*) { ++clicks; };
    f->Show();
    ASSERT_NE(cancel->NativeWidget(), nullptr);
    NativeAs<QPushButton>(cancel)->click();
    EXPECT_EQ(NativeAs<QPushButton>(ok)->text(), "OK");
    EXPECT_TRUE(NativeAs<QPushButton>(ok)->isDefault());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(f->ModalResult(), mrCancel);
    delete f;
}

TEST(Buttons, SpeedButtonGroupsPressOneAtATime)
{
    EnsureApplication();
    auto* f = Create<TForm>(nullptr);
    f->SetBounds(0, 0, 200, 100);
    TSpeedButton* b[3];
    std::vector<int> clicked;
    for (int i = 0; i < 3; ++i) {
        b[i] = Build<TSpeedButton>(f, "Speed" + std::to_string(i)).Parent(f).Bounds(i * 30, 0, 23, 22).Get();
        b[i]->SetGroupIndex(1);
        b[i]->OnClick = [&, i](TObject*) { clicked.push_back(i * 10 + (b[i]->Down() ? 1 : 0)); };
    }
    f->Show();
    NextClick();
    Click(b[0], {5, 5});
    NextClick();
    Click(b[2], {5, 5});
    EXPECT_FALSE(b[0]->Down());
    EXPECT_TRUE(b[2]->Down());
    // Without AllowAllUp the pressed one stays down when clicked again.
    NextClick();
    Click(b[2], {5, 5});
    EXPECT_TRUE(b[2]->Down());
    b[2]->SetAllowAllUp(true);
    NextClick();
    Click(b[2], {5, 5});
    EXPECT_FALSE(b[2]->Down());
    // Down is settled before OnClick runs.
    EXPECT_EQ(clicked, (std::vector<int>{1, 21, 21, 20}));
    // A button outside any group never stays down.
    b[1]->SetGroupIndex(0);
    b[1]->SetDown(true);
    EXPECT_FALSE(b[1]->Down());
    delete f;
}

TEST(Buttons, SpeedButtonPaintsSunkWhenDown)
{
    auto* f = Create<TForm>(nullptr);
    f->SetBounds(0, 0, 100, 60);
    auto* b = Build<TSpeedButton>(f, "Speed").Parent(f).Bounds(10, 10, 30, 30).Get();
    b->SetGroupIndex(1);
    TBitmap up, down;
    f->PaintTo(&up);
    b->SetDown(true);
    f->PaintTo(&down);
    const TPoint c = f->ClientOffset();
    // Raised: light top-left edge; sunk: the shadow is there instead.
    EXPECT_EQ(up.Canvas()->Pixels(c.X + 10, c.Y + 15), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(down.Canvas()->Pixels(c.X + 10, c.Y + 15), ColorToRGB(clBtnShadow));
    delete f;
}
