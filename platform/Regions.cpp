#include "platform/Regions.h"

#include <QPolygon>
#include <QRegion>

TRegion::TRegion() : FRegion(std::make_unique<QRegion>()) {}
TRegion::~TRegion() = default;
TRegion::TRegion(const TRegion& Other) : FRegion(std::make_unique<QRegion>(*Other.FRegion)) {}
TRegion::TRegion(TRegion&& Other) noexcept : FRegion(std::make_unique<QRegion>())
{
    FRegion.swap(Other.FRegion);
}
TRegion::TRegion(const QRegion& R) : FRegion(std::make_unique<QRegion>(R)) {}

TRegion& TRegion::operator=(const TRegion& Other)
{
    *FRegion = *Other.FRegion;
    return *this;
}

TRegion& TRegion::operator=(TRegion&& Other) noexcept
{
    FRegion->swap(*Other.FRegion);
    return *this;
}

static QRect ToQRect(const TRect& R)
{
    if (R.IsEmpty())
        return QRect();
    return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

TRegion TRegion::FromRect(const TRect& R)
{
    // GDI orders the corners of a region's rectangle.
    TRect n{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom)};
    return TRegion(QRegion(ToQRect(n)));
}

TRegion TRegion::FromEllipse(const TRect& R)
{
    TRect n{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom)};
    if (n.IsEmpty())
        return TRegion();
    return TRegion(QRegion(ToQRect(n), QRegion::Ellipse));
}

TRegion TRegion::FromPolygon(const TPoint* Points, int Count, TPolyFillMode Mode)
{
    if (!Points || Count < 3)
        return TRegion();
    // Qt's polygon regions take a pixel when its top-left point lies inside,
    // with the left and top edges inside: the rule GDI fills by.
    QPolygon poly;
    poly.reserve(Count);
    for (int i = 0; i < Count; ++i)
        poly << QPoint(Points[i].X, Points[i].Y);
    return TRegion(QRegion(poly, Mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

bool TRegion::IsEmpty() const { return FRegion->isEmpty(); }

TRect TRegion::Bounds() const
{
    if (FRegion->isEmpty())
        return TRect();
    const QRect b = FRegion->boundingRect();
    return TRect(b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
}

bool TRegion::Contains(int X, int Y) const { return FRegion->contains(QPoint(X, Y)); }

bool TRegion::Intersects(const TRect& R) const
{
    if (R.IsEmpty())
        return false;
    return FRegion->intersects(ToQRect(R));
}

void TRegion::Offset(int DX, int DY) { FRegion->translate(DX, DY); }

std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> out;
    for (const QRect& r : *FRegion)
        out.emplace_back(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return out;
}

int TRegion::Kind() const
{
    if (FRegion->isEmpty())
        return NULLREGION;
    return FRegion->rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRegion TRegion::Intersected(const TRegion& Other) const { return TRegion(FRegion->intersected(*Other.FRegion)); }
TRegion TRegion::United(const TRegion& Other) const { return TRegion(FRegion->united(*Other.FRegion)); }
TRegion TRegion::Subtracted(const TRegion& Other) const { return TRegion(FRegion->subtracted(*Other.FRegion)); }
TRegion TRegion::Xored(const TRegion& Other) const { return TRegion(FRegion->xored(*Other.FRegion)); }

bool operator==(const TRegion& A, const TRegion& B) { return *A.FRegion == *B.FRegion; }

const QRegion& TRegion::Qt() const { return *FRegion; }
QRegion& TRegion::Qt() { return *FRegion; }

// ---------------------------------------------------------------------------

TRegion CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
    return TRegion::FromRect(TRect(Left, Top, Right, Bottom));
}
TRegion CreateRectRgnIndirect(const TRect& R) { return TRegion::FromRect(R); }
TRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom)
{
    return TRegion::FromEllipse(TRect(Left, Top, Right, Bottom));
}
TRegion CreateEllipticRgnIndirect(const TRect& R) { return TRegion::FromEllipse(R); }
TRegion CreatePolygonRgn(const TPoint* Points, int Count, int FillMode)
{
    return TRegion::FromPolygon(Points, Count, FillMode == WINDING ? WINDING : ALTERNATE);
}

int CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode)
{
    switch (Mode) {
    case RGN_AND: Dest = A.Intersected(B); break;
    case RGN_OR: Dest = A.United(B); break;
    case RGN_XOR: Dest = A.Xored(B); break;
    case RGN_DIFF: Dest = A.Subtracted(B); break;
    case RGN_COPY: Dest = A; break;
    default: return RGN_ERROR;
    }
    return Dest.Kind();
}

bool PtInRegion(const TRegion& Rgn, int X, int Y) { return Rgn.Contains(X, Y); }
bool RectInRegion(const TRegion& Rgn, const TRect& R) { return Rgn.Intersects(R); }
bool EqualRgn(const TRegion& A, const TRegion& B) { return A == B; }

int GetRgnBox(const TRegion& Rgn, TRect& Box)
{
    Box = Rgn.Bounds();
    return Rgn.Kind();
}

int OffsetRgn(TRegion& Rgn, int DX, int DY)
{
    Rgn.Offset(DX, DY);
    return Rgn.Kind();
}
