// The emulated non-client area: a strip taken in WM_NCCALCSIZE and the
// window scroll bars.
#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "platform/Forms.h"
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
