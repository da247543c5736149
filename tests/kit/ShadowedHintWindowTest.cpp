// The kit's windows that cast a shadow: the hint window and the popups ask
// the platform for it (which draws it outside their bounds).
#include <gtest/gtest.h>

#include "components/ColorPickerPopup.h"
#include "components/DateTimePopup.h"
#include "components/ShadowedHintWindow.h"
#include "tests/support/PlatformFixture.h"

namespace {

template <class T>
struct TShadowProbe : T {
    using T::T;
    bool Shadowed() { return (this->GetCreateParams().WindowClassStyle & CS_DROPSHADOW) != 0; }
};

template <class T>
bool Shadowed()
{
    auto* w = Create<TShadowProbe<T>>(nullptr);
    const bool shadowed = w->Shadowed();
    delete w;
    return shadowed;
}

}  // namespace

TEST(ShadowedHint, TheHintAndThePopupsAskForAShadow)
{
    EnsureApplication();
    EXPECT_TRUE(Shadowed<TShadowedHintWindow>());
    EXPECT_FALSE(Shadowed<THintWindow>());
    EXPECT_TRUE(Shadowed<TDateTimePopup>());
    EXPECT_TRUE(Shadowed<TColorPickerPopup>());
    EXPECT_FALSE(Shadowed<TfmDropDown>());
    auto* dropDown = Create<TShadowProbe<TfmDropDown>>(nullptr);
    dropDown->SetDropShadow(true);
    EXPECT_TRUE(dropDown->Shadowed());
    delete dropDown;

    // The hint keeps the bounds it is given.
    auto* hint = Create<TShadowedHintWindow>(nullptr);
    const TRect r = hint->CalcHintRect(300, "Start of the bar", nullptr);
    const TRect at(r.Left + 50, r.Top + 60, r.Right + 50, r.Bottom + 60);
    hint->ActivateHint(at, "Start of the bar");
    EXPECT_EQ(hint->BoundsRect(), at);
    EXPECT_TRUE(hint->Visible());
    delete hint;

    // Made the application's class, the hints show in it.
    const TClass before = Application->HintWindowClass();
    Application->SetHintWindowClass(TShadowedHintWindow::StaticClassInfo());
    EXPECT_EQ(Application->HintWindowClass(), TShadowedHintWindow::StaticClassInfo());
    Application->SetHintWindowClass(before);
}
