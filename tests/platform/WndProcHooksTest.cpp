// Hooks in front of a control's window procedure.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr UINT Probe = WM_USER + 7;

struct THooked {
    TRecordingControl* Control = Create<TRecordingControl>(nullptr);
    std::vector<String> Seen;

    ~THooked() { delete Control; }

    // A hook that notes its name and passes the message on.
    TWndProcHook Passing(const String& Name)
    {
        return [this, Name](TMessage& M, const TWndMethod& Next) {
            if (M.Msg == Probe)
                Seen.push_back(Name);
            Next(M);
        };
    }
    bool ReachedWndProc() const { return !Control->Log.empty() && Control->Log.back().Msg == Probe; }
};

}  // namespace

TEST(WndProcHooks, NewestFirstThenTheWindowProcedure)
{
    THooked h;
    const int a = AddWndProcHook(h.Control, h.Passing("a"));
    const int b = AddWndProcHook(h.Control, h.Passing("b"));
    const int c = AddWndProcHook(h.Control, h.Passing("c"));
    EXPECT_NE(a, b);
    h.Control->Perform(Probe);
    EXPECT_EQ(h.Seen, (std::vector<String>{"c", "b", "a"}));
    EXPECT_TRUE(h.ReachedWndProc());

    // Removed in any order.
    RemoveWndProcHook(h.Control, b);
    h.Seen.clear();
    h.Control->Perform(Probe);
    EXPECT_EQ(h.Seen, (std::vector<String>{"c", "a"}));
    RemoveWndProcHook(h.Control, c);
    RemoveWndProcHook(h.Control, a);
    RemoveWndProcHook(h.Control, a);  // twice is harmless
    h.Seen.clear();
    h.Control->Perform(Probe);
    EXPECT_TRUE(h.Seen.empty());
}

TEST(WndProcHooks, AHookAnswersAndTheRestSeeNothing)
{
    THooked h;
    AddWndProcHook(h.Control, h.Passing("old"));
    AddWndProcHook(h.Control, [](TMessage& M, const TWndMethod& Next) {
        if (M.Msg == Probe) {
            M.Result = 42;
            return;
        }
        Next(M);
    });
    EXPECT_EQ(h.Control->Perform(Probe), 42);
    EXPECT_TRUE(h.Seen.empty());
    EXPECT_FALSE(h.ReachedWndProc());
    // A hook may also act after the rest.
    AddWndProcHook(h.Control, [](TMessage& M, const TWndMethod& Next) {
        Next(M);
        if (M.Msg == Probe)
            M.Result += 1;
    });
    EXPECT_EQ(h.Control->Perform(Probe), 43);
}

TEST(WndProcHooks, RemovedFromInsideAHook)
{
    THooked h;
    AddWndProcHook(h.Control, h.Passing("bottom"));
    int middle = 0;
    middle = AddWndProcHook(h.Control, h.Passing("middle"));
    int self = 0;
    self = AddWndProcHook(h.Control, [&](TMessage& M, const TWndMethod& Next) {
        if (M.Msg == Probe) {
            h.Seen.push_back("top");
            // Takes itself and the one below out, and still passes this
            // message on.
            RemoveWndProcHook(h.Control, self);
            RemoveWndProcHook(h.Control, middle);
        }
        Next(M);
    });
    h.Control->Perform(Probe);
    EXPECT_EQ(h.Seen, (std::vector<String>{"top", "bottom"}));
    EXPECT_TRUE(h.ReachedWndProc());
    h.Seen.clear();
    h.Control->Perform(Probe);
    EXPECT_EQ(h.Seen, std::vector<String>{"bottom"});
}

TEST(WndProcHooks, InputFromTheToolkitPassesThroughTheHooks)
{
    EnsureApplication();
    TForm* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 200);
    auto* c = Create<TRecordingControl>(form);
    c->SetParent(form);
    c->SetBounds(10, 10, 100, 100);
    form->Show();
    int downs = 0;
    AddWndProcHook(c, [&](TMessage& M, const TWndMethod& Next) {
        if (M.Msg == WM_LBUTTONDOWN) {
            ++downs;
            return;  // swallowed
        }
        Next(M);
    });
    NextClick();
    MouseDown(c, {5, 5});
    MouseUp(c, {5, 5});
    EXPECT_EQ(downs, 1);
    const std::vector<UINT> got = c->Messages();
    EXPECT_EQ(std::count(got.begin(), got.end(), UINT(WM_LBUTTONDOWN)), 0);
    EXPECT_EQ(std::count(got.begin(), got.end(), UINT(WM_LBUTTONUP)), 1);
    delete form;
}
