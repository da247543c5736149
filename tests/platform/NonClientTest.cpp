// The emulated non-client area: a strip taken in WM_NCCALCSIZE and the
// window scroll bars.
#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

using Msgs = std::vector<UINT>;

struct StripForm {
    TForm* Form;
    TRecordingControl* C;
    StripForm(int Strip)
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(30, 30, 400, 300);
        C = Create<TRecordingControl>(Form);
        C->Strip = Strip;
        C->SetParent(Form);
        C->SetBounds(10, 10, 200, 150);
        Form->Show();
        C->Log.clear();
    }
    ~StripForm()
    {
        ReleaseCapture();
        delete Form;
    }
    // The scroll codes of the Msg messages the control got.
    std::vector<int> ScrollCodes(UINT Msg) const
    {
        std::vector<int> r;
        for (const TMessage& m : C->Log)
            if (m.Msg == Msg)
                r.push_back(m.ScrollCode());
        return r;
    }
};

}  // namespace

TEST(NonClient, StripShrinksTheClientAndIsHitTested)
{
    StripForm f(20);
    EXPECT_EQ(f.C->ClientRect(), TRect(0, 0, 200, 130));
    EXPECT_EQ(f.C->ClientOrigin(), f.Form->ClientToScreen({10, 30}));

    // A press in the strip (above the client origin) is a non-client press.
    NextClick();
    MouseDown(f.C, {50, -10});
    MouseUp(f.C, {50, -10});
    ASSERT_GE(f.C->Log.size(), 3u);
    EXPECT_EQ(f.C->Log[0].Msg, UINT(WM_NCHITTEST));
    EXPECT_EQ(f.C->Log[0].Pos(), f.C->ClientToScreen({50, -10}));
    EXPECT_EQ(f.C->Log[1].Msg, UINT(WM_SETCURSOR));
    EXPECT_EQ(f.C->Log[1].CursorHitTest(), HTBORDER);
    Msgs rest;
    for (const TMessage& m : f.C->Log)
        if (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_LBUTTONDOWN || m.Msg == WM_NCLBUTTONUP)
            rest.push_back(m.Msg);
    EXPECT_EQ(rest, (Msgs{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}));

    // The control may answer the hit test itself.
    f.C->OnMessage = [](TMessage& M) {
        if (M.Msg != WM_NCHITTEST)
            return false;
        M.Result = HTCLIENT;
        return true;
    };
    f.C->Log.clear();
    Click(f.C, {50, -10});
    EXPECT_EQ(f.C->Log.back().Msg, UINT(WM_CAPTURECHANGED));
    bool clientDown = false;
    for (const TMessage& m : f.C->Log)
        if (m.Msg == WM_LBUTTONDOWN) {
            clientDown = true;
            EXPECT_EQ(m.Pos(), TPoint(50, -10));
        }
    EXPECT_TRUE(clientDown);

    // A frame change with a wider strip sends WM_SIZE at once.
    f.C->OnMessage = nullptr;
    f.C->Log.clear();
    f.C->Strip = 30;
    f.C->FrameChanged();
    ASSERT_EQ(f.C->Messages(), (Msgs{WM_SIZE}));
    EXPECT_EQ(f.C->Log[0].Height(), 120);
}

TEST(NonClient, ScrollBarsTakeRoomAndSendScrollCodes)
{
    StripForm f(0);
    const HWND h = f.C->Handle();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 1999999;  // past 16 bits on purpose
    si.nPage = 100000;
    si.nPos = 0;
    SetScrollInfo(h, SB_VERT, si, true);
    ASSERT_EQ(f.C->Messages(), (Msgs{WM_SIZE}));
    EXPECT_EQ(f.C->ClientRect(), TRect(0, 0, 200 - 17, 150));
    f.C->Log.clear();

    // Client coordinates of points on the bar, which lies right of the client.
    const int x = 200 - 17 + 8;
    // The down arrow, below the thumb, the up arrow.
    for (auto [y, code] : {std::pair{150 - 5, SB_LINEDOWN}, {100, SB_PAGEDOWN}, {5, SB_LINEUP}}) {
        Click(f.C, {x, y});
        EXPECT_EQ(f.ScrollCodes(WM_VSCROLL), (std::vector<int>{code, SB_ENDSCROLL})) << y;
        f.C->Log.clear();
    }

    // Dragging the thumb: tracking positions in full 32 bits.
    int trackSeen = -1;
    f.C->OnMessage = [&](TMessage& M) {
        if (M.Msg == WM_VSCROLL && M.ScrollCode() == SB_THUMBTRACK) {
            TScrollInfo q;
            q.fMask = SIF_TRACKPOS;
            GetScrollInfo(h, SB_VERT, q);
            trackSeen = q.nTrackPos;
        }
        return false;
    };
    NextClick();
    MouseDown(f.C, {x, 17 + 2});  // top of the thumb
    MouseMove(f.C, {x, 80});
    MouseMove(f.C, {x, 400});  // far below: the end
    MouseUp(f.C, {x, 400});
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL),
              (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_EQ(trackSeen, 1999999 - 100000 + 1);
    EXPECT_GT(trackSeen, 65535);
    // The position is the program's to set; tracking changed only TrackPos.
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 5000000, true), 0);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 1900000);  // clamped to the last page

    // A range that fits the page hides the bar and gives the room back.
    f.C->Log.clear();
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 99;
    si.nPage = 100;
    SetScrollInfo(h, SB_VERT, si, true);
    EXPECT_EQ(f.C->Messages(), (Msgs{WM_SIZE}));
    EXPECT_EQ(f.C->ClientWidth(), 200);
    EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, true));
    EXPECT_EQ(f.C->ClientRect(), TRect(0, 0, 183, 133));
    EXPECT_FALSE(GetScrollInfo(0, SB_VERT, si));
}

namespace {

// A vertical bar over 0..999 with a page of 100 on the strip form's control,
// which moves the position as a program would.
struct BarForm : StripForm {
    HWND H;
    BarForm() : StripForm(0)
    {
        H = C->Handle();
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = 999;
        si.nPage = 100;
        SetScrollInfo(H, SB_VERT, si, true);
        C->OnMessage = [this](TMessage& M) {
            if (M.Msg == WM_VSCROLL && M.ScrollCode() == SB_PAGEDOWN)
                SetScrollPos(H, SB_VERT, GetScrollPos(H, SB_VERT) + 100, true);
            return false;
        };
        C->Log.clear();
    }
    static constexpr int X = 200 - 9;  // client x of the bar's middle
    void Repeat() { C->Perform(WM_SYSTIMER, ScrollRepeatTimer); }
    UINT RepeatInterval() const { return TimerInterval(H, ScrollRepeatTimer, true); }
};

// The colour in the middle of an arrow's glyph (window coordinates), as
// the system colour it should be.
TColor GlyphAt(TWinControl* C, int X, int Y)
{
    C->Update();
    const TColor c = C->BackBuffer()->Canvas()->Pixels(X, Y);
    for (TColor sys : {clBtnText, clBtnShadow})
        if (ColorToRGB(sys) == c)
            return sys;
    return c;
}

}  // namespace

TEST(NonClient, HeldArrowRepeatsAfterAPauseWhileThePointerStaysOnIt)
{
    BarForm f;
    NextClick();
    MouseDown(f.C, {BarForm::X, 150 - 5});
    // At once, then after the long pause, then at the short interval.
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN}));
    EXPECT_EQ(f.RepeatInterval(), ScrollRepeatDelay);
    EXPECT_EQ(ScrollRepeatDelay, 400u);
    f.Repeat();
    EXPECT_EQ(f.RepeatInterval(), ScrollRepeatInterval);
    EXPECT_EQ(ScrollRepeatInterval, 50u);
    f.Repeat();
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN}));
    // Off the arrow nothing comes; back on it, it goes on.
    MouseMove(f.C, {BarForm::X, 100});
    f.Repeat();
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL).size(), 3u);
    MouseMove(f.C, {BarForm::X, 150 - 3});
    f.Repeat();
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL).size(), 4u);
    // The release ends it.
    MouseUp(f.C, {BarForm::X, 150 - 3});
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL).back(), SB_ENDSCROLL);
    EXPECT_EQ(f.RepeatInterval(), 0u);
    f.C->Log.clear();
    f.Repeat();
    EXPECT_TRUE(f.C->Log.empty());
}

TEST(NonClient, HeldTrackPagesUntilTheThumbReachesThePointer)
{
    BarForm f;
    // The thumb starts at the top; the pointer holds the track near the bottom.
    NextClick();
    MouseDown(f.C, {BarForm::X, 150 - 30});
    for (int i = 0; i < 20; ++i)
        f.Repeat();
    MouseUp(f.C, {BarForm::X, 150 - 30});
    const std::vector<int> codes = f.ScrollCodes(WM_VSCROLL);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.back(), SB_ENDSCROLL);
    const int pages = int(codes.size()) - 1;
    EXPECT_LT(pages, 10);  // it stopped before the end of the range
    // The thumb now lies under the pointer.
    TScrollBarLayout L = GetScrollBarLayout(f.C, SB_VERT);
    EXPECT_TRUE(L.Thumb.Contains({BarForm::X, 150 - 30})) << L.Thumb.Top << ".." << L.Thumb.Bottom;
}

TEST(NonClient, DisabledArrowsSendNothingAndLookGreyed)
{
    BarForm f;
    // The down arrow's glyph, enabled.
    const int gx = 200 - 9, gy = 150 - 9;
    EXPECT_EQ(GlyphAt(f.C, gx, gy), clBtnText);
    EXPECT_TRUE(EnableScrollBar(f.H, SB_VERT, ESB_DISABLE_RTDN));
    EXPECT_FALSE(EnableScrollBar(f.H, SB_VERT, ESB_DISABLE_RTDN));
    EXPECT_EQ(GlyphAt(f.C, gx, gy), clBtnShadow);
    EXPECT_EQ(GlyphAt(f.C, gx, 8), clBtnText);  // the up arrow still works
    Click(f.C, {BarForm::X, 150 - 5});
    EXPECT_TRUE(f.ScrollCodes(WM_VSCROLL).empty());
    Click(f.C, {BarForm::X, 5});
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEUP, SB_ENDSCROLL}));

    // Both ways: the whole bar, thumb and track included.
    f.C->Log.clear();
    EnableScrollBar(f.H, SB_BOTH, ESB_DISABLE_BOTH);
    EXPECT_TRUE(GetScrollBarLayout(f.C, SB_VERT).Thumb.IsEmpty());
    for (int y : {5, 22, 100, 150 - 5})
        Click(f.C, {BarForm::X, y});
    EXPECT_TRUE(f.ScrollCodes(WM_VSCROLL).empty());
    EXPECT_EQ(GlyphAt(f.C, gx, 8), clBtnShadow);
    EnableScrollBar(f.H, SB_VERT, ESB_ENABLE_BOTH);
    EXPECT_EQ(GlyphAt(f.C, gx, gy), clBtnText);
    EXPECT_FALSE(GetScrollBarLayout(f.C, SB_VERT).Thumb.IsEmpty());

    // A bar kept for SIF_DISABLENOSCROLL that cannot scroll: shown, greyed,
    // silent; enabled again once it can scroll.
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    si.nMax = 49;
    si.nPage = 100;
    SetScrollInfo(f.H, SB_VERT, si, true);
    EXPECT_EQ(f.C->ClientWidth(), 200 - 17);
    EXPECT_EQ(GlyphAt(f.C, gx, gy), clBtnShadow);
    f.C->Log.clear();
    Click(f.C, {BarForm::X, 150 - 5});
    EXPECT_TRUE(f.ScrollCodes(WM_VSCROLL).empty());
    EnableScrollBar(f.H, SB_VERT, ESB_DISABLE_BOTH);
    si.nMax = 999;
    SetScrollInfo(f.H, SB_VERT, si, true);
    EXPECT_EQ(GlyphAt(f.C, gx, gy), clBtnText);
    Click(f.C, {BarForm::X, 150 - 5});
    EXPECT_EQ(f.ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST(NonClient, SidewaysWheelTurnsComeAsShiftedWheelMessages)
{
    StripForm f(0);
    for (int delta : {120, -240}) {
        f.C->Log.clear();
        SidewaysWheel(f.C, {20, 20}, delta);
        ASSERT_EQ(f.C->Messages(), (Msgs{CM_MOUSEWHEEL}));
        EXPECT_EQ(f.C->Log[0].WheelDelta(), delta);  // left counts as up
        EXPECT_TRUE(f.C->Log[0].WheelKeys() & MK_SHIFT);
    }
    f.C->Log.clear();
    Wheel(f.C, {20, 20}, 120);
    ASSERT_EQ(f.C->Messages(), (Msgs{CM_MOUSEWHEEL}));
    EXPECT_FALSE(f.C->Log[0].WheelKeys() & MK_SHIFT);
}

TEST(NonClient, EverySizingCodeMovesItsOwnEdgesAndKeepsAMinimum)
{
    const TRect start{100, 100, 400, 300};
    const TPoint d{30, 20};
    struct TCase {
        int Code;
        TRect Expected;
    };
    for (const TCase& c : {TCase{HTLEFT, {130, 100, 400, 300}}, TCase{HTRIGHT, {100, 100, 430, 300}},
                           TCase{HTTOP, {100, 120, 400, 300}}, TCase{HTBOTTOM, {100, 100, 400, 320}},
                           TCase{HTTOPLEFT, {130, 120, 400, 300}}, TCase{HTTOPRIGHT, {100, 120, 430, 300}},
                           TCase{HTBOTTOMLEFT, {130, 100, 400, 320}}, TCase{HTBOTTOMRIGHT, {100, 100, 430, 320}}})
        EXPECT_EQ(SizedBounds(start, c.Code, d), c.Expected) << c.Code;
    // Dragged past the opposite edge, the window keeps a sliver and does
    // not turn inside out.
    const TRect tiny = SizedBounds(start, HTTOPLEFT, {1000, 1000});
    EXPECT_EQ(tiny.Right, 400);
    EXPECT_EQ(tiny.Bottom, 300);
    EXPECT_GT(tiny.Width(), 0);
    EXPECT_GT(tiny.Height(), 0);
    EXPECT_EQ(SizedBounds(start, HTBOTTOMRIGHT, {-1000, -1000}).TopLeft(), start.TopLeft());
}

TEST(NonClient, APressOnASizingCodeResizesTheTopLevelWindowUntilTheRelease)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, 300, 200);
    auto* grip = Create<TRecordingControl>(form);
    grip->SetParent(form);
    grip->SetBounds(0, 0, 300, 200);
    int code = HTCLIENT;
    grip->OnMessage = [&](TMessage& M) {
        if (M.Msg != WM_NCHITTEST)
            return false;
        M.Result = code;
        return true;
    };
    form->Show();
    // The points are the screen's: the grip moves with the edge it drags.
    auto at = [grip](TPoint Screen) { return grip->ScreenToClient(Screen); };
    const TRect start{100, 100, 400, 300};
    for (int c = HTSIZEFIRST; c <= HTSIZELAST; ++c) {
        form->SetBounds(100, 100, 300, 200);
        code = c;
        MouseDown(grip, at({250, 200}));
        code = HTCLIENT;
        MouseMove(grip, at({260, 190}));
        EXPECT_EQ(form->BoundsRect(), SizedBounds(start, c, {10, -10})) << c;
        // Moved and released outside the window: it still follows.
        MouseMove(grip, at({60, 500}));
        MouseUp(grip, at({60, 500}));
        const TRect released = SizedBounds(start, c, {-190, 300});
        EXPECT_EQ(form->BoundsRect(), released) << c;
        NextClick();
        MouseMove(grip, at({120, 120}));
        EXPECT_EQ(form->BoundsRect(), released) << c;
    }
    // A press in the client area sizes nothing.
    form->SetBounds(100, 100, 300, 200);
    MouseDown(grip, {150, 100});
    MouseMove(grip, {160, 110});
    MouseUp(grip, {160, 110});
    EXPECT_EQ(form->BoundsRect(), start);
    delete form;
}

TEST(NonClient, WindowedChildrenSitInTheClientArea)
{
    StripForm f(20);
    auto* child = Create<TRecordingControl>(f.Form);
    child->SetParent(f.C);
    child->SetBounds(5, 5, 50, 40);
    child->HandleNeeded();
    ASSERT_NE(child->Host(), nullptr);
    // Below the strip, where the child's client origin says it is.
    EXPECT_EQ(child->Host()->geometry(), QRect(5, 25, 50, 40));
    EXPECT_EQ(child->ClientOrigin(), f.C->ClientToScreen({5, 5}));
    f.C->Strip = 30;
    f.C->FrameChanged();
    EXPECT_EQ(child->Host()->geometry(), QRect(5, 35, 50, 40));
}
