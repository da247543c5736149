// Three-D edges and the masked copy of transparent pictures on a canvas.
#include "platform/GraphicsQt.h"

namespace {

struct TBorderColors {
    TColor TopLeft, BottomRight;
};

// The colours of one border. Raised: light above and left, dark below and
// right; sunken the other way round. The outer border takes the softer
// light and the harder shadow, the inner one the others; BF_SOFT trades the
// lights of the top and left.
TBorderColors BorderColors(bool Outer, bool Raised, bool Soft)
{
    TColor light = Outer != Soft ? cl3DLight : clBtnHighlight;
    TColor dark = Outer != Soft ? clBtnShadow : cl3DDkShadow;
    if (Raised)
        return {light, Outer ? cl3DDkShadow : clBtnShadow};
    return {dark, Outer ? clBtnHighlight : cl3DLight};
}

}  // namespace

bool TCanvas::DrawEdge(TRect& Rect, unsigned Edge, unsigned Flags)
{
    TRect r = Rect;
    const bool mono = Flags & BF_MONO;
    const bool flat = !mono && (Flags & BF_FLAT);
    const bool soft = Flags & BF_SOFT;
    QPainter* p = Ready();
    auto fill = [&](int L, int T, int R, int B, TColor C) {
        if (!p || R <= L || B <= T)
            return;
        const TPoint a = LogicalToDevice(TPoint(L, T));
        PrepareCopy();
        p->fillRect(QRect(a.X, a.Y, R - L, B - T), ColorToQColor(C));
    };
    const bool left = Flags & BF_LEFT, top = Flags & BF_TOP, right = Flags & BF_RIGHT, bottom = Flags & BF_BOTTOM;
    for (bool outer : {true, false}) {
        const unsigned kind = Edge & (outer ? BDR_OUTER : BDR_INNER);
        if (!kind)
            continue;
        TBorderColors c;
        if (mono)
            c = outer ? TBorderColors{clWindowFrame, clWindowFrame} : TBorderColors{clWindow, clWindow};
        else if (flat)
            c = outer ? TBorderColors{clBtnShadow, clBtnShadow} : TBorderColors{clBtnFace, clBtnFace};
        else
            c = BorderColors(outer, kind & (BDR_RAISEDOUTER | BDR_RAISEDINNER), soft);
        // The right and bottom lines own the corners they share with the
        // left and top ones.
        if (left)
            fill(r.Left, r.Top, r.Left + 1, bottom ? r.Bottom - 1 : r.Bottom, c.TopLeft);
        if (top)
            fill(r.Left, r.Top, right ? r.Right - 1 : r.Right, r.Top + 1, c.TopLeft);
        if (right)
            fill(r.Right - 1, r.Top, r.Right, r.Bottom, c.BottomRight);
        if (bottom)
            fill(r.Left, r.Bottom - 1, r.Right, r.Bottom, c.BottomRight);
        r.Left += left;
        r.Top += top;
        r.Right -= right;
        r.Bottom -= bottom;
    }
    if (Flags & BF_MIDDLE)
        fill(r.Left, r.Top, r.Right, r.Bottom, mono ? clWindow : clBtnFace);
    if (Flags & BF_ADJUST)
        Rect = r;
    return true;
}

void TCanvas::CopyRectMasked(const TRect& Dest, TBitmap* Picture, const TRect& Source)
{
    if (!Picture || Picture->Empty() || Dest.IsEmpty() || Source.IsEmpty())
        return;
    // The keyed copy is made before drawing starts: the picture may be the
    // canvas's own bitmap.
    const QImage masked = Picture->FImpl->Masked(Picture->FTransparentColor);
    DrawImage(masked, Dest, Source);
}
