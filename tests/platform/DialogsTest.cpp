// Common dialogs and the message and input boxes, answered by the hooks.
#include <gtest/gtest.h>

#include "platform/Buttons.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {
struct TDialogHookGuard {
    explicit TDialogHookGuard(std::function<bool(TCommonDialog*)> H) { SetDialogHook(std::move(H)); }
    ~TDialogHookGuard() { SetDialogHook(nullptr); }
};
}  // namespace

TEST(Dialogs, FiltersParseInPairsAndBadFiltersAreBounded)
{
    auto f = ParseFileFilter("Plans (*.vek)|*.vek|Text|*.txt; *.csv|All|*.*");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].Description, "Plans (*.vek)");
    EXPECT_EQ(f[1].Masks, (std::vector<String>{"*.txt", "*.csv"}));
    EXPECT_EQ(ParseFileFilter("Lonely description").size(), 0u);
    EXPECT_EQ(ParseFileFilter("Empty||Ok|*.a|Tail").size(), 1u);
    String huge;
    for (int i = 0; i < 5000; ++i)
        huge += "d|*.x|";
    EXPECT_EQ(ParseFileFilter(huge).size(), 256u);
}

TEST(Dialogs, FileDialogsTakeTheHooksAnswerAndAddTheDefaultExtension)
{
    TSaveDialog save(nullptr);
    save.SetFilter("Plans|*.vek");
    save.SetDefaultExt("vek");
    save.SetOptions({ofOverwritePrompt});
    {
        TDialogHookGuard hook([](TCommonDialog* D) {
            auto* s = dynamic_cast<TSaveDialog*>(D);
            EXPECT_NE(s, nullptr);
            EXPECT_TRUE(s->Options().Contains(ofOverwritePrompt));
            s->SetFileName("/tmp/plans.v2/week");
            return true;
        });
        EXPECT_TRUE(save.Execute());
    }
    EXPECT_EQ(save.FileName(), "/tmp/plans.v2/week.vek");
    {
        TDialogHookGuard hook([](TCommonDialog* D) {
            static_cast<TOpenDialog*>(D)->SetFileName("/tmp/a.txt");
            return false;
        });
        TOpenDialog open(nullptr);
        open.SetDefaultExt("txt");
        EXPECT_FALSE(open.Execute());
        // A refused dialog adds nothing to what the hook typed.
        EXPECT_TRUE(open.Files().empty());
        EXPECT_EQ(open.FileName(), "/tmp/a.txt");
    }
}

TEST(Dialogs, FontAndColourDialogsKeepWhatTheAnswerSet)
{
    TFontDialog fd(nullptr);
    TColorDialog cd(nullptr);
    TDialogHookGuard hook([](TCommonDialog* D) {
        if (auto* f = dynamic_cast<TFontDialog*>(D)) {
            f->Font()->SetName("Serif");
            f->Font()->SetSize(14);
        }
        if (auto* c = dynamic_cast<TColorDialog*>(D))
            c->SetColor(RGB(1, 2, 3));
        return true;
    });
    EXPECT_TRUE(fd.Execute());
    EXPECT_TRUE(cd.Execute());
    EXPECT_EQ(fd.Font()->Name(), "Serif");
    EXPECT_EQ(fd.Font()->Size(), 14);
    EXPECT_EQ(cd.Color(), RGB(1, 2, 3));
}

TEST(Dialogs, InputQueryAndShowMessageAreFormsTheModalHookAnswers)
{
    EnsureApplication();
    String value = "old";
    {
        TModalHookGuard hook([](TCustomForm* F) {
            auto* edit = dynamic_cast<TEdit*>(F->FindComponent("Edit"));
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->Text(), "old");
            edit->SetText("new name");
            static_cast<TButton*>(F->FindComponent("OK"))->Click();
        });
        EXPECT_TRUE(InputQuery("Rename", "Name:", value));
    }
    EXPECT_EQ(value, "new name");
    {
        TModalHookGuard hook([](TCustomForm* F) {
            static_cast<TEdit*>(F->FindComponent("Edit"))->SetText("ignored");
            static_cast<TButton*>(F->FindComponent("Cancel"))->Click();
        });
        EXPECT_FALSE(InputQuery("Rename", "Name:", value));
    }
    EXPECT_EQ(value, "new name");
    String shown;
    {
        TModalHookGuard hook([&](TCustomForm* F) {
            shown = static_cast<TControl*>(F->FindComponent("Message"))->Caption();
            KeyDown(F, VK_ESCAPE);
        });
        ShowMessage("Could not write to vek.ini.");
    }
    EXPECT_EQ(shown, "Could not write to vek.ini.");
}
