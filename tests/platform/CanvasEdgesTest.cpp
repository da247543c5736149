// Three-D edges and the masked copy, checked pixel by pixel.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/Colors.h"
#include "platform/Graphics.h"

namespace {

constexpr TColor Marker = 0x030201;

struct TEdgeCanvas {
    TBitmap B{12, 10};
    TEdgeCanvas()
    {
        B.Canvas()->Brush()->SetColor(Marker);
        B.Canvas()->FillRect(TRect(0, 0, 12, 10));
    }
    TColor At(int X, int Y) { return B.Canvas()->Pixels(X, Y); }
};

TColor Rgb(TColor C) { return ColorToRGB(C); }

}  // namespace

TEST(CanvasEdges, EachKindDrawsItsOuterAndInnerColours)
{
    // Edge, flags, then outer top-left, outer bottom-right, inner top-left,
    // inner bottom-right.
    using TCase = std::tuple<unsigned, unsigned, TColor, TColor, TColor, TColor>;
    const TCase cases[] = {
        {EDGE_RAISED, 0, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
        {EDGE_SUNKEN, 0, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
        {EDGE_ETCHED, 0, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
        {EDGE_BUMP, 0, cl3DLight, cl3DDkShadow, cl3DDkShadow, cl3DLight},
        {EDGE_RAISED, BF_SOFT, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow},
        {EDGE_SUNKEN, BF_SOFT, cl3DDkShadow, clBtnHighlight, clBtnShadow, cl3DLight},
        {EDGE_RAISED, BF_FLAT, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace},
        {EDGE_SUNKEN, BF_MONO, clWindowFrame, clWindowFrame, clWindow, clWindow},
        {EDGE_SUNKEN, BF_MONO | BF_FLAT, clWindowFrame, clWindowFrame, clWindow, clWindow},
    };
    for (const auto& [edge, flags, outerTL, outerBR, innerTL, innerBR] : cases) {
        TEdgeCanvas c;
        TRect r(1, 1, 11, 9);
        EXPECT_TRUE(c.B.Canvas()->DrawEdge(r, edge, BF_RECT | flags));
        const std::string what = std::to_string(edge) + "/" + std::to_string(flags);
        EXPECT_EQ(r, TRect(1, 1, 11, 9)) << what;  // not adjusted
        // Outer ring: the right and bottom lines own the shared corners.
        EXPECT_EQ(c.At(1, 1), Rgb(outerTL)) << what;
        EXPECT_EQ(c.At(5, 1), Rgb(outerTL)) << what;
        EXPECT_EQ(c.At(1, 5), Rgb(outerTL)) << what;
        EXPECT_EQ(c.At(10, 1), Rgb(outerBR)) << what;
        EXPECT_EQ(c.At(1, 8), Rgb(outerBR)) << what;
        EXPECT_EQ(c.At(10, 8), Rgb(outerBR)) << what;
        EXPECT_EQ(c.At(10, 5), Rgb(outerBR)) << what;
        // Inner ring, one pixel in.
        EXPECT_EQ(c.At(2, 2), Rgb(innerTL)) << what;
        EXPECT_EQ(c.At(9, 2), Rgb(innerBR)) << what;
        EXPECT_EQ(c.At(2, 7), Rgb(innerBR)) << what;
        EXPECT_EQ(c.At(5, 7), Rgb(innerBR)) << what;
        // Nothing inside or outside.
        EXPECT_EQ(c.At(5, 5), Marker) << what;
        EXPECT_EQ(c.At(3, 3), Marker) << what;
        EXPECT_EQ(c.At(0, 0), Marker) << what;
        EXPECT_EQ(c.At(11, 9), Marker) << what;
    }
}

TEST(CanvasEdges, SidesMiddleAndAdjust)
{
    // Only left and bottom: the left line runs down to the bottom line, the
    // inner ring moves in from those sides only.
    TEdgeCanvas c;
    TRect r(1, 1, 11, 9);
    c.B.Canvas()->DrawEdge(r, EDGE_SUNKEN, BF_LEFT | BF_BOTTOM | BF_ADJUST);
    EXPECT_EQ(r, TRect(3, 1, 11, 7));
    EXPECT_EQ(c.At(1, 1), Rgb(clBtnShadow));
    EXPECT_EQ(c.At(1, 7), Rgb(clBtnShadow));
    EXPECT_EQ(c.At(1, 8), Rgb(clBtnHighlight));
    EXPECT_EQ(c.At(10, 8), Rgb(clBtnHighlight));
    EXPECT_EQ(c.At(2, 1), Rgb(cl3DDkShadow));
    EXPECT_EQ(c.At(2, 7), Rgb(cl3DLight));
    EXPECT_EQ(c.At(10, 7), Rgb(cl3DLight));
    EXPECT_EQ(c.At(5, 1), Marker);  // no top
    EXPECT_EQ(c.At(10, 3), Marker);  // no right

    // Top and right only, with one border: the top line reaches the right.
    TEdgeCanvas d;
    r = TRect(1, 1, 11, 9);
    d.B.Canvas()->DrawEdge(r, BDR_RAISEDINNER, BF_TOP | BF_RIGHT | BF_ADJUST);
    EXPECT_EQ(r, TRect(1, 2, 10, 9));
    EXPECT_EQ(d.At(1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(d.At(9, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(d.At(10, 1), Rgb(clBtnShadow));
    EXPECT_EQ(d.At(10, 8), Rgb(clBtnShadow));
    EXPECT_EQ(d.At(1, 8), Marker);

    // The middle is filled with the face colour (the window's under
    // BF_MONO); brush and pen stay as they were.
    for (unsigned mono : {0u, unsigned(BF_MONO)}) {
        TEdgeCanvas e;
        TCanvas* cv = e.B.Canvas();
        cv->Brush()->SetColor(clRed);
        cv->Pen()->SetColor(clLime);
        int brushChanges = 0;
        cv->Brush()->OnChange = [&](TObject*) { ++brushChanges; };
        r = TRect(1, 1, 11, 9);
        cv->DrawEdge(r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | mono);
        EXPECT_EQ(r, TRect(3, 3, 9, 7));
        EXPECT_EQ(e.At(3, 3), Rgb(mono ? clWindow : clBtnFace));
        EXPECT_EQ(e.At(8, 6), Rgb(mono ? clWindow : clBtnFace));
        EXPECT_EQ(e.At(0, 0), Marker);
        EXPECT_EQ(cv->Brush()->Color(), clRed);
        EXPECT_EQ(cv->Pen()->Color(), clLime);
        EXPECT_EQ(brushChanges, 0);
    }

    // With a window origin the edge lands in logical coordinates.
    TEdgeCanvas f;
    f.B.Canvas()->SetWindowOrg(-2, -1);
    r = TRect(0, 0, 4, 4);
    f.B.Canvas()->DrawEdge(r, BDR_SUNKENOUTER, BF_RECT);
    f.B.Canvas()->SetWindowOrg(0, 0);
    EXPECT_EQ(f.At(2, 1), Rgb(clBtnShadow));
    EXPECT_EQ(f.At(5, 4), Rgb(clBtnHighlight));
}

TEST(CanvasEdges, MaskedCopyKeepsTheCanvasUnderTransparentPixels)
{
    TBitmap picture(4, 3);
    TCanvas* pc = picture.Canvas();
    pc->Brush()->SetColor(clFuchsia);  // the key: bottom-left pixel
    pc->FillRect(TRect(0, 0, 4, 3));
    pc->SetPixels(1, 0, clNavy);
    pc->SetPixels(2, 1, clYellow);
    pc->SetPixels(3, 2, clTeal);

    TEdgeCanvas c;
    c.B.Canvas()->CopyRectMasked(TRect(5, 5, 9, 8), &picture, TRect(0, 0, 4, 3));
    EXPECT_EQ(c.At(6, 5), Rgb(clNavy));
    EXPECT_EQ(c.At(7, 6), Rgb(clYellow));
    EXPECT_EQ(c.At(8, 7), Rgb(clTeal));
    for (auto [x, y] : {std::pair{5, 5}, {8, 5}, {5, 7}, {6, 6}})
        EXPECT_EQ(c.At(x, y), Marker) << x << "," << y;

    // A part of the picture, with another key colour.
    picture.SetTransparentColor(clNavy);
    TEdgeCanvas d;
    d.B.Canvas()->CopyRectMasked(TRect(0, 0, 2, 2), &picture, TRect(1, 0, 3, 2));
    EXPECT_EQ(d.At(0, 0), Marker);  // navy: the canvas stays
    EXPECT_EQ(d.At(1, 0), Rgb(clFuchsia));
    EXPECT_EQ(d.At(1, 1), Rgb(clYellow));
    EXPECT_EQ(d.At(2, 0), Marker);  // outside the destination
}
