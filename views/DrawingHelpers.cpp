#include "views/DrawingHelpers.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/Controls.h"
#include "platform/Graphics.h"

int Nearest(double Value)
{
    if (std::isnan(Value))
        return 0;
    if (Value >= double(INT_MAX))
        return INT_MAX;
    if (Value <= double(INT_MIN))
        return INT_MIN;
    const double floor = std::floor(Value);
    const double frac = Value - floor;
    if (std::fabs(frac - 0.5) < 1e-9) {
        const auto low = static_cast<long long>(floor);
        return int(low % 2 == 0 ? low : low + 1);
    }
    return int(std::lround(Value));
}

void RGBToHSV(double R, double G, double B, double& H, double& S, double& V)
{
    const double max = std::max({R, G, B});
    const double min = std::min({R, G, B});
    V = max;
    S = max == 0 ? 0 : (max - min) / max;
    H = 0;
    if (S == 0)
        return;
    const double d = max - min;
    if (R == max)
        H = (G - B) / d;
    else if (G == max)
        H = 2 + (B - R) / d;
    else
        H = 4 + (R - G) / d;
    H *= 60;
    if (H < 0)
        H += 360;
}

void HSVToRGB(double H, double S, double V, double& R, double& G, double& B)
{
    if (S == 0) {
        R = G = B = V;
        return;
    }
    if (H >= 360)
        H = 0;
    const double sector = H / 60;
    const int i = int(std::trunc(sector));
    const double f = sector - i;
    const double p = V * (1 - S);
    const double q = V * (1 - S * f);
    const double t = V * (1 - S * (1 - f));
    switch (i) {
    case 0: R = V, G = t, B = p; break;
    case 1: R = q, G = V, B = p; break;
    case 2: R = p, G = V, B = t; break;
    case 3: R = p, G = q, B = V; break;
    case 4: R = t, G = p, B = V; break;
    default: R = V, G = p, B = q; break;
    }
}

void ColorToHSV(TColor Color, double& H, double& S, double& V)
{
    const TColor c = ColorToRGB(Color);
    RGBToHSV(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0, H, S, V);
}

TColor HSVToColor(double H, double S, double V)
{
    double r = 0, g = 0, b = 0;
    HSVToRGB(H, S, V, r, g, b);
    auto channel = [](double X) { return Byte(std::clamp(Nearest(X * 255), 0, 255)); };
    return RGB(channel(r), channel(g), channel(b));
}

TColor FlashColor(TColor Color, int Percent)
{
    double h = 0, s = 0, v = 0;
    ColorToHSV(Color, h, s, v);
    if (Percent > 0)
        v += (1 - v) * Percent / 100.0;
    else if (Percent < 0)
        v *= 1 + Percent / 100.0;
    return HSVToColor(h, s, std::clamp(v, 0.0, 1.0));
}

TColor FadeColorRGB(TColor C1, TColor C2, double Percent)
{
    const TColor a = ColorToRGB(C1);
    const TColor b = ColorToRGB(C2);
    auto mix = [Percent](int X, int Y) { return Byte(std::clamp(X + Nearest(Percent * (Y - X) / 100.0), 0, 255)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

TColor VisibleContrast(TColor Color)
{
    double h = 0, s = 0, v = 0;
    ColorToHSV(Color, h, s, v);
    return v <= 0.8 ? clWhite : clBlack;
}

namespace {

struct TVec {
    double X, Y;
};

TPoint ToPoint(TVec V) { return {Nearest(V.X), Nearest(V.Y)}; }

// A cubic curve from P0 over P1 and P2 to P3, without its first point.
void AddCurve(std::vector<TPoint>& Out, TVec P0, TVec P1, TVec P2, TVec P3)
{
    constexpr int Steps = 8;
    for (int i = 1; i <= Steps; ++i) {
        const double t = double(i) / Steps;
        const double u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        const TPoint p = ToPoint({a * P0.X + b * P1.X + c * P2.X + d * P3.X, a * P0.Y + b * P1.Y + c * P2.Y + d * P3.Y});
        if (Out.empty() || !(Out.back() == p))
            Out.push_back(p);
    }
}

}  // namespace

std::vector<TPoint> ArrowOutline(TPoint From, TPoint To, double Scale)
{
    std::vector<TPoint> out;
    const double dx = To.X - From.X, dy = To.Y - From.Y;
    const double length = std::hypot(dx, dy);
    if (length < 1 || !(Scale > 0))
        return out;
    const TVec u{dx / length, dy / length};
    const TVec n{-u.Y, u.X};
    const double shaft = 1.5 * Scale;
    const double headWidth = 5 * Scale;
    const double headLength = std::min(8 * Scale, length);
    const double bow = std::min(2 * Scale, length / 8);
    auto at = [&](double Along, double Across) {
        return TVec{u.X * Along + n.X * Across, u.Y * Along + n.Y * Across};
    };
    const double base = length - headLength;
    // The shaft bows a little to one side, as a drawn arrow does.
    const TVec start = at(0, shaft);
    out.push_back(ToPoint(start));
    AddCurve(out, start, at(base / 3, shaft + bow), at(2 * base / 3, shaft + bow), at(base, shaft));
    for (TVec p : {at(base, headWidth), TVec{double(To.X - From.X), double(To.Y - From.Y)}, at(base, -headWidth),
             at(base, -shaft)})
        out.push_back(ToPoint(p));
    AddCurve(out, at(base, -shaft), at(2 * base / 3, -shaft + bow), at(base / 3, -shaft + bow), at(0, -shaft));
    // Rounded about the start point, then moved there: the same arrow
    // anywhere on a canvas has the same pixels (halves round to even, which
    // a move by an odd number of pixels would otherwise change).
    for (TPoint& p : out)
        p = {p.X + From.X, p.Y + From.Y};
    return out;
}

void DrawArrow(TCanvas* DC, TPoint From, TPoint To, double Scale, int Mode)
{
    const std::vector<TPoint> outline = ArrowOutline(From, To, Scale);
    if (!DC || outline.size() < 3)
        return;
    if (Mode == 0) {
        std::vector<TPoint> closed = outline;
        closed.push_back(outline.front());
        DC->Polyline(closed);
        return;
    }
    if (Mode == 1) {
        const TPenStyle style = DC->Pen()->Style();
        DC->Pen()->SetStyle(psClear);
        DC->Polygon(outline);
        DC->Pen()->SetStyle(style);
        return;
    }
    DC->Polygon(outline);
}

TRegion ArrowRgn(TCanvas* DC, TPoint From, TPoint To, double Scale)
{
    (void)DC;
    const std::vector<TPoint> outline = ArrowOutline(From, To, Scale);
    if (outline.size() < 3)
        return TRegion();
    return CreatePolygonRgn(outline.data(), int(outline.size()), ALTERNATE);
}

void FocusRect(TCanvas* DC, const TRect& R)
{
    if (!DC)
        return;
    DC->DrawFocusRect(TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                            std::max(R.Top, R.Bottom)});
}

void SnakeLine(TCanvas* DC, int X, int Y, int Length, int Phase)
{
    if (!DC)
        return;
    for (int x = X; x <= X + Length; ++x) {
        const int step = ((Phase + x) % 4 + 4) % 4;
        DC->SetPixels(x, step <= 1 ? Y - 1 : Y - 2, clRed);
    }
}

void InvalidateEllipse(TWinControl* Window, const TRect& R)
{
    if (!Window)
        return;
    const TRegion region = CreateEllipticRgn(R.Left, R.Top, R.Right + 1, R.Bottom + 1);
    for (const TRect& part : region.Rects())
        Window->InvalidateRect(part);
}
