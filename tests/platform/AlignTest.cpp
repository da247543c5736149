// Alignment of a form's children as the form resizes.
#include <gtest/gtest.h>

#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

TEST(Align, EdgesTakeTheirStripsInOrderAndClientTakesTheRest)
{
    auto* f = Create<TForm>(nullptr);
    f->SetBounds(0, 0, 400, 300);
    const int cw = f->ClientWidth(), ch = f->ClientHeight();
    auto* top = Build<TRecordingControl>(f, "Top").Parent(f).Bounds(0, 0, 10, 30).Align(alTop).Get();
    auto* bottom = Build<TRecordingControl>(f, "Bottom").Parent(f).Bounds(0, 0, 10, 20).Align(alBottom).Get();
    auto* left = Build<TRecordingControl>(f, "Left").Parent(f).Bounds(0, 0, 50, 10).Align(alLeft).Get();
    auto* right = Build<TRecordingControl>(f, "Right").Parent(f).Bounds(0, 0, 40, 10).Align(alRight).Get();
    auto* client = Build<TRecordingControl>(f, "Client").Parent(f).Align(alClient).Get();
    auto* fixed = Build<TRecordingControl>(f, "Fixed").Parent(f).Bounds(5, 6, 7, 8).Get();

    auto check = [&](int W, int H) {
        EXPECT_EQ(top->BoundsRect(), TRect(0, 0, W, 30));
        EXPECT_EQ(bottom->BoundsRect(), TRect(0, H - 20, W, H));
        EXPECT_EQ(left->BoundsRect(), TRect(0, 30, 50, H - 20));
        EXPECT_EQ(right->BoundsRect(), TRect(W - 40, 30, W, H - 20));
        EXPECT_EQ(client->BoundsRect(), TRect(50, 30, W - 40, H - 20));
        EXPECT_EQ(fixed->BoundsRect(), TRect(5, 6, 12, 14));
    };
    check(cw, ch);
    f->SetBounds(0, 0, 500, 400);
    check(f->ClientWidth(), f->ClientHeight());
    // Too small for the edges: the client part never goes negative.
    f->SetBounds(0, 0, 60, 40);
    EXPECT_GE(client->Width(), 0);
    EXPECT_GE(client->Height(), 0);
    // A hidden edge gives its strip back.
    f->SetBounds(0, 0, 400, 300);
    top->SetVisible(false);
    EXPECT_EQ(left->Top(), 0);
    EXPECT_EQ(client->Top(), 0);
    delete f;
}
