// The tree-grid unit's pictures, painted pixel by pixel into 32-bit bitmaps.
#include "components/TreeGrid/TreeGridImages.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "components/TreeGrid/TreeGridTypes.h"

// ---------------------------------------------------------------------------
// TTGImageList

namespace {

std::uint32_t ToPixel(TColor C)
{
    const TColor c = ColorToRGB(C);
    return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

TColor FromPixel(std::uint32_t P) { return RGB(Byte((P >> 16) & 0xFF), Byte((P >> 8) & 0xFF), Byte(P & 0xFF)); }

}  // namespace

TTGImageList::TTGImageList(int AWidth, int AHeight) : FWidth(std::max(AWidth, 1)), FHeight(std::max(AHeight, 1)) {}

TTGImageList::~TTGImageList() = default;

void TTGImageList::SetSize(int AWidth, int AHeight)
{
    Clear();
    FWidth = std::max(AWidth, 1);
    FHeight = std::max(AHeight, 1);
}

void TTGImageList::Clear() { FImages.clear(); }

int TTGImageList::AddFrom(const TBitmap& Source, int X, int Y, TColor TransparentColor)
{
    auto image = std::make_unique<TBitmap>(FWidth, FHeight);
    const std::uint32_t key = ToPixel(TransparentColor);
    for (int y = 0; y < FHeight; ++y) {
        auto* row = static_cast<std::uint32_t*>(image->ScanLine(y));
        const int sy = Y + y;
        const bool rowInside = sy >= 0 && sy < Source.Height();
        const auto* src = rowInside ? static_cast<const std::uint32_t*>(Source.ScanLine(sy)) : nullptr;
        for (int x = 0; x < FWidth; ++x) {
            const int sx = X + x;
            row[x] = (src && sx >= 0 && sx < Source.Width()) ? (src[sx] | 0xFF000000u) : key;
        }
    }
    image->SetTransparentColor(ColorToRGB(TransparentColor));
    image->SetTransparent(true);
    FImages.push_back(std::move(image));
    return Count() - 1;
}

void TTGImageList::Draw(TCanvas* Canvas, int X, int Y, int Index)
{
    if (Canvas && Index >= 0 && Index < Count())
        Canvas->Draw(X, Y, FImages[std::size_t(Index)].get());
}

TBitmap* TTGImageList::Image(int Index) const
{
    return Index >= 0 && Index < Count() ? FImages[std::size_t(Index)].get() : nullptr;
}

TColor TTGImageList::TransparentColor(int Index) const
{
    const TBitmap* b = Image(Index);
    return b ? b->TransparentColor() : clNone;
}

TColor TTGImageList::Pixel(int Index, int X, int Y) const
{
    const TBitmap* b = Image(Index);
    if (!b || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return clNone;
    const TColor c = FromPixel(static_cast<const std::uint32_t*>(b->ScanLine(Y))[X]);
    return c == ColorToRGB(b->TransparentColor()) ? clNone : c;
}

// ---------------------------------------------------------------------------
// Painting

namespace {

// The key colour of every strip's background; no picture uses it.
constexpr TColor KeyColor = clFuchsia;
constexpr int ImageSize = 16;

// Draws into one square cell of a strip.
class TCellPainter {
public:
    TCellPainter(TBitmap& B, int Cell, int Size) : FB(B), FOX(Cell * Size), FSize(Size) {}
    void Pixel(int X, int Y, TColor C)
    {
        if (X < 0 || Y < 0 || X >= FSize || Y >= FSize || Y >= FB.Height())
            return;
        static_cast<std::uint32_t*>(FB.ScanLine(Y))[FOX + X] = ToPixel(C);
    }
    // Half-open rectangle.
    void Fill(int L, int T, int R, int B, TColor C)
    {
        for (int y = T; y < B; ++y)
            for (int x = L; x < R; ++x)
                Pixel(x, y, C);
    }
    // Top/left and bottom/right edges of [L, R) x [T, B) in two colours.
    void Edge(int L, int T, int R, int B, TColor TopLeft, TColor BottomRight)
    {
        Fill(L, T, R, T + 1, TopLeft);
        Fill(L, T, L + 1, B, TopLeft);
        Fill(L, B - 1, R, B, BottomRight);
        Fill(R - 1, T, R, B, BottomRight);
    }
    int Size() const { return FSize; }

private:
    TBitmap& FB;
    int FOX;
    int FSize;
};

enum TBoxKind { bkRadio, bkCheck, bkMixed, bkButton };
enum TMarkKind { mkCheck, mkTick };
enum TLook { lkLight, lkDark, lkFlat, lkXP, lkSystem, lkSystemFlat };

struct TPalette {
    TColor Face, FaceHot, FacePressed, FaceDisabled, Mark, MarkDisabled;
    TColor Outer1, Outer2, Inner1, Inner2;  // top-left / bottom-right of the two frame rings
    bool TwoRings;
};

// A warm face under the pointer, a pale one when disabled.
constexpr TColor HotFace = RGB(0xFF, 0xF8, 0xE0);
constexpr TColor DisabledFace = RGB(0xF0, 0xF0, 0xF0);

TPalette PaletteFor(TLook Look)
{
    switch (Look) {
    case lkLight:
        return {clWhite, HotFace, clSilver, DisabledFace, clBlack, clGray, clGray, clWhite, clBlack, clSilver, true};
    case lkDark:
        return {clWhite, HotFace, clSilver, DisabledFace, clBlack, clGray, clBlack, clBlack, clGray, clGray, true};
    case lkFlat:
        return {clWhite, HotFace, clSilver, DisabledFace, clBlack, clGray, clGray, clGray, clGray, clGray, false};
    case lkXP:
        return {RGB(0xF4, 0xF4, 0xF0), RGB(0xFF, 0xF0, 0xCF), RGB(0xB0, 0xB0, 0xA7), RGB(0xF0, 0xF0, 0xEA),
                RGB(0x21, 0xA1, 0x21), RGB(0xCA, 0xC8, 0xBB), RGB(0x1C, 0x51, 0x80), RGB(0x1C, 0x51, 0x80),
                RGB(0xFF, 0xBD, 0x55), RGB(0xFF, 0xBD, 0x55), false};
    case lkSystem:
        return {clWindow, clWindow, clBtnFace, clBtnFace, clWindowText, clGrayText,
                clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight, true};
    case lkSystemFlat:
        return {clWindow, clWindow, clBtnFace, clBtnFace, clWindowText, clGrayText,
                clBtnShadow, clBtnShadow, clBtnShadow, clBtnShadow, false};
    }
    return {};
}

TColor FaceOf(const TPalette& P, TTGCheckImageState State)
{
    switch (State) {
    case cisHot:
        return P.FaceHot;
    case cisPressed:
        return P.FacePressed;
    case cisDisabled:
        return P.FaceDisabled;
    default:
        return P.Face;
    }
}

void PaintCheckMark(TCellPainter& P, const TRect& Box, TMarkKind Kind, TColor C)
{
    if (Kind == mkCheck) {
        // A bold check mark in the middle of the box.
        const int x0 = Box.Left + (Box.Width() - 7) / 2, y0 = Box.Top + (Box.Height() - 7) / 2;
        for (int i = 0; i < 7; ++i) {
            const int bottom = y0 + (i <= 2 ? 4 + i : 8 - i);
            P.Fill(x0 + i, bottom - 2, x0 + i + 1, bottom + 1, C);
        }
    } else {
        // A tick that reaches past the box's top-right corner.
        const int x0 = Box.Left + 2, y0 = Box.Top + Box.Height() / 2;
        for (int i = 0; i < 3; ++i)
            P.Fill(x0 + i, y0 + i - 1, x0 + i + 2, y0 + i + 1, C);
        for (int i = 0; i < 9; ++i)
            P.Fill(x0 + 3 + i, y0 + 1 - i, x0 + 5 + i, y0 + 3 - i, C);
    }
}

void PaintBox(TCellPainter& P, const TRect& Box, TBoxKind Kind, bool Checked, TMarkKind Mark, TLook Look,
    TTGCheckImageState State)
{
    const TPalette pal = PaletteFor(Look);
    const TColor face = FaceOf(pal, State);
    const TColor mark = State == cisDisabled ? pal.MarkDisabled : pal.Mark;
    const bool hotRing = Look == lkXP && State == cisHot;

    if (Kind == bkRadio) {
        // Rings by the distance from the centre, lit from the top-left.
        const double cx = Box.Left + (Box.Width() - 1) / 2.0, cy = Box.Top + (Box.Height() - 1) / 2.0;
        const double r = std::min(Box.Width(), Box.Height()) / 2.0;
        for (int y = Box.Top; y < Box.Bottom; ++y)
            for (int x = Box.Left; x < Box.Right; ++x) {
                const double dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
                const bool topLeft = dx + dy < 0;
                if (d2 > r * r)
                    continue;
                if (d2 > (r - 1) * (r - 1))
                    P.Pixel(x, y, topLeft ? pal.Outer1 : pal.Outer2);
                else if (pal.TwoRings && d2 > (r - 2) * (r - 2))
                    P.Pixel(x, y, topLeft ? pal.Inner1 : pal.Inner2);
                else if (hotRing && d2 > (r - 2) * (r - 2))
                    P.Pixel(x, y, pal.Inner1);
                else if (Checked && d2 <= (r * 0.4) * (r * 0.4))
                    P.Pixel(x, y, mark);
                else
                    P.Pixel(x, y, face);
            }
        return;
    }

    if (Kind == bkButton) {
        // A raised button, sunken while pressed.
        const bool down = State == cisPressed;
        P.Fill(Box.Left, Box.Top, Box.Right, Box.Bottom, Look == lkXP ? face : TColor(clSilver));
        P.Edge(Box.Left, Box.Top, Box.Right, Box.Bottom, down ? TColor(clBlack) : TColor(clWhite),
            down ? TColor(clWhite) : TColor(clBlack));
        P.Edge(Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1, down ? TColor(clGray) : TColor(clSilver),
            down ? TColor(clSilver) : TColor(clGray));
        if (State == cisHot)
            P.Edge(Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1, clWhite, clGray);
        // Three dots: the button stands for "more".
        const int y = Box.Top + Box.Height() / 2 + (down ? 1 : 0);
        for (int i = 0; i < 3; ++i) {
            const int x = Box.Left + Box.Width() / 2 - 4 + 3 * i + (down ? 1 : 0);
            P.Fill(x, y, x + 2, y + 2, State == cisDisabled ? TColor(clGray) : TColor(clBlack));
        }
        return;
    }

    P.Fill(Box.Left, Box.Top, Box.Right, Box.Bottom, face);
    P.Edge(Box.Left, Box.Top, Box.Right, Box.Bottom, pal.Outer1, pal.Outer2);
    if (pal.TwoRings || hotRing)
        P.Edge(Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1, pal.Inner1, pal.Inner2);
    const int inset = pal.TwoRings ? 2 : 1;
    const TRect inner(Box.Left + inset, Box.Top + inset, Box.Right - inset, Box.Bottom - inset);
    if (Kind == bkMixed)
        P.Fill(inner.Left + 2, inner.Top + 2, inner.Right - 2, inner.Bottom - 2, mark);
    else if (Checked)
        PaintCheckMark(P, inner, Mark, mark);
}

// Images 1 - 20 of a check list into cells 1 - 20 of Strip.
void PaintCheckGroups(TBitmap& Strip, int Size, const TRect& Box, TMarkKind Mark, TLook Look)
{
    struct TGroup {
        TBoxKind Kind;
        bool Checked;
    };
    const TGroup groups[5] = {{bkRadio, false}, {bkRadio, true}, {bkCheck, false}, {bkCheck, true}, {bkMixed, true}};
    for (int g = 0; g < 5; ++g)
        for (int s = 0; s < 4; ++s) {
            TCellPainter p(Strip, 1 + 4 * g + s, Size);
            PaintBox(p, Box, groups[g].Kind, groups[g].Checked, Mark, Look, TTGCheckImageState(s));
        }
}

std::unique_ptr<TBitmap> NewStrip(int Count, int Size)
{
    auto strip = std::make_unique<TBitmap>(Count * Size, Size);
    for (int y = 0; y < Size; ++y)
        std::fill_n(static_cast<std::uint32_t*>(strip->ScanLine(y)), Count * Size, ToPixel(KeyColor));
    return strip;
}

// A 9 x 9 expand button with rounded corners and a face shaded from white at
// the top to a cool grey at the bottom; Minus leaves out the vertical stroke.
std::unique_ptr<TBitmap> PaintShadedButton(bool Minus)
{
    constexpr int Size = 9;
    auto strip = NewStrip(1, Size);
    TCellPainter p(*strip, 0, Size);
    const TColor frame = RGB(0x7B, 0x94, 0xAD);
    for (int y = 1; y < Size - 1; ++y) {
        const int shade = 0xFF - (y - 1) * 0x38 / (Size - 3);
        p.Fill(1, y, Size - 1, y + 1, RGB(Byte(shade), Byte(shade), Byte(std::min(0xFF, shade + 0x0C))));
    }
    p.Fill(1, 0, Size - 1, 1, frame);
    p.Fill(1, Size - 1, Size - 1, Size, frame);
    p.Fill(0, 1, 1, Size - 1, frame);
    p.Fill(Size - 1, 1, Size, Size - 1, frame);
    const TColor stroke = RGB(0x20, 0x30, 0x40);
    p.Fill(2, Size / 2, Size - 2, Size / 2 + 1, stroke);
    if (!Minus)
        p.Fill(Size / 2, 2, Size / 2 + 1, Size - 2, stroke);
    return strip;
}

std::unique_ptr<TBitmap> PaintCheckStrip(TMarkKind Mark, TLook Look)
{
    auto strip = NewStrip(CheckImageCount, ImageSize);
    const TRect box(2, 2, 15, 15);
    PaintCheckGroups(*strip, ImageSize, box, Mark, Look);
    for (int s = 0; s < 4; ++s) {
        TCellPainter p(*strip, ckButtonNormal + s, ImageSize);
        PaintBox(p, TRect(1, 1, 15, 15), bkButton, false, Mark, Look, TTGCheckImageState(s));
    }
    return strip;
}

void PaintTriangle(TCellPainter& P, bool Up, TColor Fill, TColor Light, TColor Dark)
{
    // Seven pixels wide at the base, four rows high, centred in the cell.
    for (int row = 0; row < 4; ++row) {
        const int y = Up ? 6 + row : 9 - row;
        const int half = row;
        P.Fill(8 - half - 1, y, 8 + half, y + 1, Fill);
        P.Pixel(8 - half - 1, y, Up ? Dark : Light);
        P.Pixel(8 + half - 1, y, Up ? Light : Dark);
    }
}

std::unique_ptr<TBitmap> PaintUtilityStrip()
{
    auto strip = NewStrip(UtilityImageCount, ImageSize);
    TBitmap& s = *strip;
    {
        // Drop marks: a bar at the leading edge with an arrow pointing at it.
        TCellPainter l(s, uiDropMarkLeft, ImageSize), r(s, uiDropMarkRight, ImageSize);
        l.Fill(0, 1, 2, 15, clBlack);
        r.Fill(14, 1, 16, 15, clBlack);
        for (int i = 0; i < 4; ++i) {
            l.Fill(3 + i, 8 - 3 + i, 4 + i, 8 + 3 - i, clBlack);
            r.Fill(12 - i, 8 - 3 + i, 13 - i, 8 + 3 - i, clBlack);
        }
    }
    {
        TCellPainter d(s, uiSortDescendingClassic, ImageSize), a(s, uiSortAscendingClassic, ImageSize);
        PaintTriangle(d, false, clSilver, clWhite, clGray);
        PaintTriangle(a, true, clSilver, clWhite, clGray);
    }
    {
        // Themed sort glyphs: thin chevrons.
        TCellPainter d(s, uiSortDescendingThemed, ImageSize), a(s, uiSortAscendingThemed, ImageSize);
        for (int i = 0; i < 4; ++i) {
            d.Pixel(4 + i, 6 + i, clGray);
            d.Pixel(11 - i, 6 + i, clGray);
            a.Pixel(4 + i, 9 - i, clGray);
            a.Pixel(11 - i, 9 - i, clGray);
        }
    }
    {
        // The hot underline of a header button: a band at the bottom,
        // rounded at the outer ends.
        const TColor hot = RGB(0xF8, 0xA9, 0x00), edge = RGB(0xFC, 0xD0, 0x70);
        TCellPainter l(s, uiHotUnderlineLeft, ImageSize), m(s, uiHotUnderlineMiddle, ImageSize),
            r(s, uiHotUnderlineRight, ImageSize);
        l.Fill(1, 13, 16, 16, hot);
        l.Pixel(1, 13, edge);
        l.Pixel(0, 14, edge);
        l.Fill(0, 15, 1, 16, hot);
        m.Fill(0, 13, 16, 16, hot);
        r.Fill(0, 13, 15, 16, hot);
        r.Pixel(14, 13, edge);
        r.Pixel(15, 14, edge);
        r.Fill(15, 15, 16, 16, hot);
    }
    return strip;
}

// The classic greys, black and white as the system's button colours.
void MapSystemColours(TBitmap& B)
{
    const std::pair<TColor, TColor> map[] = {{clBlack, clBtnText}, {clGray, clBtnShadow}, {clSilver, clBtnFace},
        {clWhite, clBtnHighlight}, {RGB(0x40, 0x40, 0x40), cl3DDkShadow}};
    for (int y = 0; y < B.Height(); ++y) {
        auto* row = static_cast<std::uint32_t*>(B.ScanLine(y));
        for (int x = 0; x < B.Width(); ++x)
            for (const auto& [from, to] : map)
                if ((row[x] | 0xFF000000u) == ToPixel(from)) {
                    row[x] = ToPixel(to);
                    break;
                }
    }
}

std::mutex& ImageListLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

std::unique_ptr<TBitmap> LoadTreeGridImageStrip(const String& Name, bool MapColours)
{
    std::unique_ptr<TBitmap> strip;
    if (Name == "TG_CHECK_LIGHT")
        strip = PaintCheckStrip(mkCheck, lkLight);
    else if (Name == "TG_CHECK_DARK")
        strip = PaintCheckStrip(mkCheck, lkDark);
    else if (Name == "TG_TICK_LIGHT")
        strip = PaintCheckStrip(mkTick, lkLight);
    else if (Name == "TG_TICK_DARK")
        strip = PaintCheckStrip(mkTick, lkDark);
    else if (Name == "TG_FLAT")
        strip = PaintCheckStrip(mkCheck, lkFlat);
    else if (Name == "TG_XP")
        strip = PaintCheckStrip(mkCheck, lkXP);
    else if (Name == "TG_UTILITIES")
        strip = PaintUtilityStrip();
    else if (Name == "TG_XPBUTTONMINUS" || Name == "TG_XPBUTTONPLUS")
        strip = PaintShadedButton(Name == "TG_XPBUTTONMINUS");
    if (strip && MapColours)
        MapSystemColours(*strip);
    return strip;
}

void ConvertImageList(TTGImageList* List, const String& ResourceName, bool MapColours)
{
    const std::lock_guard<std::mutex> guard(ImageListLock());
    const std::unique_ptr<TBitmap> strip = LoadTreeGridImageStrip(ResourceName, MapColours);
    if (!strip || strip->Height() <= 0 || strip->Width() < strip->Height()) {
        const String message = "Internal image \"" + ResourceName + "\" is missing or corrupt.";
        TreeGridAssertFailed(message.c_str());
    }
    if (!List)
        return;
    const int size = strip->Height();
    List->SetSize(size, size);
    const TColor transparent = FromPixel(static_cast<const std::uint32_t*>(strip->ScanLine(0))[0]);
    for (int i = 0; i < strip->Width() / size; ++i)
        List->AddFrom(*strip, i * size, 0, transparent);
}

void CreateSystemImageSet(std::unique_ptr<TTGImageList>& List, bool Flat, TTGImageList* ButtonImages)
{
    const int size = SystemMenuCheckSize + 3;
    if (!List)
        List = std::make_unique<TTGImageList>(size, size);
    List->SetSize(size, size);
    auto strip = NewStrip(21, size);
    const TRect box(1, 2, size - 2, size - 1);
    PaintCheckGroups(*strip, size, box, mkCheck, Flat ? lkSystemFlat : lkSystem);
    for (int i = 0; i < 21; ++i)
        List->AddFrom(*strip, i * size, 0, KeyColor);
    if (ButtonImages)
        for (int i = ckButtonNormal; i < std::min(ckButtonNormal + 4, ButtonImages->Count()); ++i) {
            const TBitmap* b = ButtonImages->Image(i);
            List->AddFrom(*b, (b->Width() - size) / 2, (b->Height() - size) / 2, ButtonImages->TransparentColor(i));
        }
}

std::unique_ptr<TTGCursorImage> LoadTreeGridCursor(const String& Name)
{
    const bool header = Name == "TG_HEADERSPLIT";
    if (!header && Name != "TG_VERTSPLIT")
        return nullptr;
    constexpr int size = 32;
    auto cursor = std::make_unique<TTGCursorImage>();
    cursor->Image = NewStrip(1, size);
    cursor->TransparentColor = KeyColor;
    cursor->HotSpot = TPoint(size / 2, size / 2);
    TCellPainter p(*cursor->Image, 0, size);
    // Drawn for the header splitter (two upright bars, arrows left and
    // right); the row splitter is the same picture turned by 90 degrees.
    auto put = [&](int X, int Y, TColor C) {
        if (header)
            p.Pixel(X, Y, C);
        else
            p.Pixel(Y, X, C);
    };
    auto bar = [&](int L, int T, int R, int B, TColor C) {
        for (int y = T; y < B; ++y)
            for (int x = L; x < R; ++x)
                put(x, y, C);
    };
    // White outline first, the black picture inside it.
    bar(13, 7, 19, 25, clWhite);
    bar(5, 12, 27, 20, clWhite);
    bar(14, 8, 15, 24, clBlack);
    bar(17, 8, 18, 24, clBlack);
    for (int i = 0; i < 4; ++i) {
        bar(7 + i, 16 - i, 8 + i, 16 + i + 1, clBlack);
        bar(24 - i, 16 - i, 25 - i, 16 + i + 1, clBlack);
    }
    bar(11, 16, 14, 17, clBlack);
    bar(18, 16, 21, 17, clBlack);
    return cursor;
}
