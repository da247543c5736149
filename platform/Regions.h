#pragma once
// Regions: sets of device pixels built from rectangles, ellipses and
// polygons, combined as GDI combines them. They serve as clip regions of a
// canvas and for hit tests. A region is a value; copies are cheap.
#include "platform/Types.h"

#include <memory>
#include <vector>

class QRegion;

// CombineRgn modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Region kinds returned by CombineRgn, GetRgnBox, OffsetRgn and GetClipBox.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// Polygon fill modes.
enum TPolyFillMode : int { ALTERNATE = 1, WINDING = 2 };

class TRegion {
public:
    TRegion();  // empty
    ~TRegion();
    TRegion(const TRegion& Other);
    TRegion(TRegion&& Other) noexcept;
    TRegion& operator=(const TRegion& Other);
    TRegion& operator=(TRegion&& Other) noexcept;

    // The pixels of R (right and bottom edges outside).
    static TRegion FromRect(const TRect& R);
    // The ellipse inscribed in R.
    static TRegion FromEllipse(const TRect& R);
    // The inside of the polygon through Points; a pixel (x, y) belongs to it
    // when the point (x, y) lies inside, edges on the left and top counting
    // as inside, as GDI fills.
    static TRegion FromPolygon(const TPoint* Points, int Count, TPolyFillMode Mode = ALTERNATE);

    bool IsEmpty() const;
    // Bounding box; all zero for an empty region.
    TRect Bounds() const;
    bool Contains(int X, int Y) const;
    // True when any pixel of R belongs to the region.
    bool Intersects(const TRect& R) const;
    void Offset(int DX, int DY);
    // The region as disjoint rectangles, top to bottom, left to right.
    std::vector<TRect> Rects() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;

    TRegion Intersected(const TRegion& Other) const;
    TRegion United(const TRegion& Other) const;
    TRegion Subtracted(const TRegion& Other) const;
    TRegion Xored(const TRegion& Other) const;

    friend bool operator==(const TRegion& A, const TRegion& B);

    // Platform code only.
    const QRegion& Qt() const;
    QRegion& Qt();
    explicit TRegion(const QRegion& R);

private:
    std::unique_ptr<QRegion> FRegion;
};

// The GDI-shaped calls of the rest of the program.
TRegion CreateRectRgn(int Left, int Top, int Right, int Bottom);
TRegion CreateRectRgnIndirect(const TRect& R);
TRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
TRegion CreateEllipticRgnIndirect(const TRect& R);
TRegion CreatePolygonRgn(const TPoint* Points, int Count, int FillMode);
// Dest becomes A combined with B (B is ignored for RGN_COPY). Dest may be
// A or B. Returns the kind of the result, RGN_ERROR for an unknown mode
// (Dest is then left alone).
int CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode);
bool PtInRegion(const TRegion& Rgn, int X, int Y);
bool RectInRegion(const TRegion& Rgn, const TRect& R);
bool EqualRgn(const TRegion& A, const TRegion& B);
int GetRgnBox(const TRegion& Rgn, TRect& Box);
int OffsetRgn(TRegion& Rgn, int DX, int DY);
