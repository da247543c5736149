// Partial painting: the update region decides what a paint touches, in
// the back buffer and in the messages the control sees.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

constexpr TColor Marker = clFuchsia;

struct TPaintRecord {
    UINT Msg;
    TRect Clip;  // the canvas's ClipRect (client coordinates; window ones for WM_NCPAINT)
};

// Records the paint messages with the clip each one had, and fills its
// client area with Fill.
class TPaintProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TPaintRecord> Paints;
    TColor Fill = clLime;
    std::function<void()> DuringPaint;

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> r;
        for (const TPaintRecord& p : Paints)
            r.push_back(p.Msg);
        return r;
    }

    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_NCPAINT || Message.Msg == WM_ERASEBKGND || Message.Msg == WM_PAINT)
            Paints.push_back({Message.Msg, Message.DC() ? Message.DC()->ClipRect() : TRect()});
        TCustomControl::WndProc(Message);
    }

protected:
    void Paint() override
    {
        if (DuringPaint)
            DuringPaint();
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }
};

struct ProbeForm {
    TForm* Form;
    TPaintProbe* P;
    explicit ProbeForm(TBorderStyle Border = bsSingle)
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(40, 40, 300, 240);
        P = Create<TPaintProbe>(Form);
        P->SetParent(Form);
        P->SetBorderStyle(Border);
        P->SetBounds(10, 10, 120, 100);
        Form->Show();
        P->Update();
        ProcessEvents();
        P->Paints.clear();
    }
    ~ProbeForm() { delete Form; }

    // Paints the whole back buffer in the marker colour, outside any paint.
    void Mark()
    {
        TCanvas* c = P->BackBuffer()->Canvas();
        c->Brush()->SetColor(Marker);
        c->FillRect({0, 0, P->Width(), P->Height()});
    }
    // Every pixel of the back buffer that is no longer the marker lies in
    // Expected (window coordinates); returns how many changed.
    int ChangedOutside(const TRegion& Expected, int* Changed = nullptr) const
    {
        TCanvas* c = P->BackBuffer()->Canvas();
        int outside = 0, changed = 0;
        for (int y = 0; y < P->Height(); ++y)
            for (int x = 0; x < P->Width(); ++x)
                if (c->Pixels(x, y) != Marker) {
                    ++changed;
                    if (!Expected.Contains(x, y))
                        ++outside;
                }
        if (Changed)
            *Changed = changed;
        return outside;
    }
};

using Msgs = std::vector<UINT>;

TRegion InWindow(TWinControl* C, TRect R)
{
    const TPoint o = C->ClientOffset();
    OffsetRect(R, o.X, o.Y);
    return TRegion::FromRect(R);
}

}  // namespace

TEST(UpdateRegion, InvalidRectanglesArePaintedAndNothingElse)
{
    ProbeForm f;
    ASSERT_EQ(f.P->ClientOffset(), TPoint(2, 2));

    // One small rectangle: one paint clipped to exactly it.
    f.Mark();
    const TRect r{20, 30, 30, 40};
    f.P->InvalidateRect(r);
    f.P->Update();
    ASSERT_EQ(f.P->Messages(), (Msgs{WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(f.P->Paints[1].Clip, r);
    int changed = 0;
    EXPECT_EQ(f.ChangedOutside(InWindow(f.P, r), &changed), 0);
    EXPECT_EQ(changed, 100);

    // Two apart: one paint over both, the pixels between untouched.
    f.Mark();
    f.P->Paints.clear();
    f.P->InvalidateRect({5, 5, 15, 15});
    f.P->InvalidateRect({60, 50, 70, 60});
    f.P->Update();
    ASSERT_EQ(f.P->Messages(), (Msgs{WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(f.P->Paints[1].Clip, TRect(5, 5, 70, 60));
    EXPECT_EQ(f.ChangedOutside(InWindow(f.P, {5, 5, 15, 15}).United(InWindow(f.P, {60, 50, 70, 60})), &changed), 0);
    EXPECT_EQ(changed, 200);

    // Parts outside the client area are dropped; nothing left, nothing painted.
    f.P->Paints.clear();
    f.P->InvalidateRect({-50, -50, -10, -10});
    f.P->Update();
    EXPECT_TRUE(f.P->Paints.empty());
}

TEST(UpdateRegion, BorderIsPaintedOnlyWhenItWasInvalidated)
{
    ProbeForm f;
    f.Mark();
    f.P->Invalidate();
    f.P->Update();
    EXPECT_EQ(f.P->Messages(), (Msgs{WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(f.ChangedOutside(InWindow(f.P, f.P->ClientRect())), 0);

    // A frame change paints the frame alone while the client stays.
    f.Mark();
    f.P->Paints.clear();
    f.P->FrameChanged();
    f.P->Update();
    ASSERT_EQ(f.P->Messages(), (Msgs{WM_NCPAINT}));
    int changed = 0;
    const TRegion frame = TRegion::FromRect({0, 0, 120, 100}).Subtracted(InWindow(f.P, f.P->ClientRect()));
    EXPECT_EQ(f.ChangedOutside(frame, &changed), 0);
    EXPECT_GT(changed, 0);

    // RedrawWindow names the frame on request, and paints at once.
    f.P->Paints.clear();
    const TRect top{0, -2, 120, 1};  // the top edge and the client's first row
    RedrawWindow(f.P->Handle(), &top, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_EQ(f.P->Messages(), (Msgs{WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(f.P->Paints[2].Clip, TRect(0, 0, 116, 1));
    f.P->Paints.clear();
    RedrawWindow(f.P->Handle(), &top, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(f.P->Messages(), (Msgs{WM_ERASEBKGND, WM_PAINT}));
}

TEST(UpdateRegion, ExposureOnlyCopiesTheBackBuffer)
{
    ProbeForm f;
    f.Mark();
    f.P->Host()->repaint();
    EXPECT_TRUE(f.P->Paints.empty());
    EXPECT_EQ(f.ChangedOutside(TRegion()), 0);
    // PaintTo still paints everything.
    TBitmap picture;
    f.P->PaintTo(&picture);
    EXPECT_EQ(f.P->Messages(), (Msgs{WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}));
    EXPECT_EQ(f.P->Paints[2].Clip, f.P->ClientRect());
    EXPECT_EQ(picture.Canvas()->Pixels(60, 50), clLime);
}

TEST(UpdateRegion, ValidatingAskingAndBeginPaint)
{
    ProbeForm f;
    const HWND h = f.P->Handle();
    TRect box;
    EXPECT_FALSE(GetUpdateRect(h, &box, false));
    EXPECT_TRUE(box.IsEmpty());
    f.P->InvalidateRect({10, 10, 20, 20});
    f.P->InvalidateRect({40, 40, 50, 50});
    ASSERT_TRUE(GetUpdateRect(h, &box, false));
    EXPECT_EQ(box, TRect(10, 10, 50, 50));
    TRect part{0, 0, 30, 30};
    ValidateRect(h, &part);
    ASSERT_TRUE(GetUpdateRect(h, &box, false));
    EXPECT_EQ(box, TRect(40, 40, 50, 50));

    // Outside a paint BeginPaint gives the back buffer's canvas clipped to
    // what waits, erased, and validates it.
    f.Mark();
    TPaintStruct ps;
    TCanvas* c = BeginPaint(h, ps);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(ps.rcPaint, TRect(40, 40, 50, 50));
    EXPECT_EQ(c->ClipRect(), ps.rcPaint);
    EXPECT_EQ(f.P->Messages(), (Msgs{WM_ERASEBKGND}));
    EXPECT_FALSE(GetUpdateRect(h, nullptr, false));
    c->Brush()->SetColor(clBlue);
    c->FillRect(f.P->ClientRect());
    EndPaint(h, ps);
    int changed = 0;
    EXPECT_EQ(f.ChangedOutside(InWindow(f.P, {40, 40, 50, 50}), &changed), 0);
    EXPECT_EQ(changed, 100);
    EXPECT_EQ(f.P->PaintCanvas(), nullptr);

    // Inside a paint it is the paint in progress.
    TRect seen;
    TCanvas* during = nullptr;
    f.P->DuringPaint = [&] {
        TPaintStruct inner;
        during = BeginPaint(h, inner);
        seen = inner.rcPaint;
        EndPaint(h, inner);
    };
    f.P->InvalidateRect({3, 4, 9, 7});
    f.P->Update();
    EXPECT_EQ(during, f.P->BackBuffer()->Canvas());
    EXPECT_EQ(seen, TRect(3, 4, 9, 7));

    ValidateRect(h, nullptr);
    f.P->Invalidate();
    ValidateRect(h, nullptr);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, false));
}

TEST(UpdateRegion, ScrollBarChangesRepaintOnlyTheBar)
{
    ProbeForm f(bsNone);
    const HWND h = f.P->Handle();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 999;
    si.nPage = 100;
    SetScrollInfo(h, SB_VERT, si, true);
    f.P->Update();
    f.P->Paints.clear();
    const TRegion bar = TRegion::FromRect({120 - 17, 0, 120, 100});

    f.Mark();
    SetScrollPos(h, SB_VERT, 500, true);
    f.P->Update();
    EXPECT_EQ(f.P->Messages(), (Msgs{WM_NCPAINT}));
    int changed = 0;
    EXPECT_EQ(f.ChangedOutside(bar, &changed), 0);
    EXPECT_GT(changed, 0);

    // Dragging the thumb redraws the bar as it goes, the client not at all.
    f.Mark();
    f.P->Paints.clear();
    NextClick();
    MouseDown(f.P, {120 - 9, 52});  // on the thumb
    for (int y : {60, 70, 80}) {
        MouseMove(f.P, {120 - 9, y});
        f.P->Update();
    }
    MouseUp(f.P, {120 - 9, 80});
    f.P->Update();
    EXPECT_EQ(f.ChangedOutside(bar), 0);
    for (UINT m : f.P->Messages())
        EXPECT_EQ(m, UINT(WM_NCPAINT));
    EXPECT_FALSE(f.P->Paints.empty());
}
