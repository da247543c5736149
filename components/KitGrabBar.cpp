#include "components/KitGrabBar.h"

#include <algorithm>

#include "platform/Graphics.h"

int KitArrowSize(int Size)
{
    if (Size % 2 == 0)
        --Size;
    return std::max(1, Size);
}

TSize KitArrowExtent(int Size, TKitArrowDirection Direction)
{
    const int n = KitArrowSize(Size);
    if (Direction == adUp || Direction == adDown)
        return {2 * n - 1, n};
    return {n, 2 * n - 1};
}

void DrawKitArrow(TCanvas* Canvas, int X, int Y, int Size, TKitArrowDirection Direction, TColor Color)
{
    const int n = KitArrowSize(Size);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    // Row i (0 at the point) holds 2i + 1 pixels, centred on the axis.
    for (int i = 0; i < n; ++i) {
        const int along = Direction == adUp || Direction == adLeft ? i : n - 1 - i;
        const int from = n - 1 - i;
        const int to = n + i;  // exclusive
        if (Direction == adUp || Direction == adDown)
            Canvas->FillRect({X + from, Y + along, X + to, Y + along + 1});
        else
            Canvas->FillRect({X + along, Y + from, X + along + 1, Y + to});
    }
}

void DrawKitTexture(TCanvas* Canvas, const TRect& R, TColor Back, TColor Color1, TColor Color2)
{
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Back);
    Canvas->FillRect(R);
    if (R.Width() <= 2 || R.Height() <= 2)
        return;
    for (int y = R.Top; y < R.Bottom; y += 3)
        for (int x = R.Left; x < R.Right; x += 3) {
            if (x + 1 < R.Right && y + 1 < R.Bottom)
                Canvas->SetPixels(x + 1, y + 1, Color1);
            if (x + 2 < R.Right && y + 2 < R.Bottom)
                Canvas->SetPixels(x + 2, y + 2, Color2);
        }
}
