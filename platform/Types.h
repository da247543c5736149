#pragma once
// Basic types of the class library the program is written against: integer
// aliases, text, dates, points and rectangles, sets and colours.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <type_traits>

#include "platform/Exceptions.h"

// Text is UTF-8 throughout; routines that count characters say so.
using String = std::string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using LongInt = std::int32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using WideChar = char16_t;

// Days since 1899-12-30, the time of day as the fraction.
using TDateTime = double;

// ---------------------------------------------------------------------------
// Points, sizes and rectangles. A rectangle is half-open as in GDI: it holds
// the pixels x with Left <= x < Right and y with Top <= y < Bottom, so
// Right - Left is the width and a rectangle with Right <= Left is empty.

// Horizontal alignment of text, shared by the standard controls and the tree-grid.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
// Reading order and layout: right to left mirrors menus and lay-outs.
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

struct TPoint {
    int X = 0;
    int Y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}

    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
    friend constexpr TPoint operator+(const TPoint& a, const TPoint& b) { return {a.X + b.X, a.Y + b.Y}; }
    friend constexpr TPoint operator-(const TPoint& a, const TPoint& b) { return {a.X - b.X, a.Y - b.Y}; }
};

struct TSize {
    int cx = 0;
    int cy = 0;

    constexpr TSize() = default;
    constexpr TSize(int ACx, int ACy) : cx(ACx), cy(ACy) {}

    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int ALeft, int ATop, int ARight, int ABottom)
        : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
    constexpr TRect(const TPoint& ATopLeft, const TPoint& ABottomRight)
        : Left(ATopLeft.X), Top(ATopLeft.Y), Right(ABottomRight.X), Bottom(ABottomRight.Y) {}

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TSize Size() const { return {Width(), Height()}; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr TPoint CenterPoint() const { return {Left + Width() / 2, Top + Height() / 2}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(const TPoint& P) const
    {
        return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
    }
    void SetWidth(int Value) { Right = Left + Value; }
    void SetHeight(int Value) { Bottom = Top + Value; }

    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// Readable test failures and log lines.
inline std::ostream& operator<<(std::ostream& Out, const TPoint& P)
{
    return Out << '(' << P.X << ", " << P.Y << ')';
}
inline std::ostream& operator<<(std::ostream& Out, const TSize& S)
{
    return Out << S.cx << 'x' << S.cy;
}
inline std::ostream& operator<<(std::ostream& Out, const TRect& R)
{
    return Out << '(' << R.Left << ", " << R.Top << ")-(" << R.Right << ", " << R.Bottom << ')';
}

constexpr TPoint Point(int X, int Y) { return {X, Y}; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height)
{
    return {Left, Top, Left + Width, Top + Height};
}

// True when P lies inside R; the right and bottom edges are outside.
constexpr bool PtInRect(const TRect& R, const TPoint& P) { return R.Contains(P); }
constexpr bool IsRectEmpty(const TRect& R) { return R.IsEmpty(); }
constexpr bool EqualRect(const TRect& A, const TRect& B) { return A == B; }

// Dest becomes the common part of A and B; when they do not overlap it becomes
// the all-zero rectangle and the result is false. Dest may alias A or B.
inline bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B)
{
    TRect r{A.Left > B.Left ? A.Left : B.Left, A.Top > B.Top ? A.Top : B.Top,
            A.Right < B.Right ? A.Right : B.Right, A.Bottom < B.Bottom ? A.Bottom : B.Bottom};
    if (r.IsEmpty()) {
        Dest = TRect();
        return false;
    }
    Dest = r;
    return true;
}

// Dest becomes the smallest rectangle holding A and B; an empty rectangle
// adds nothing. False (and Dest all zero) when both are empty.
inline bool UnionRect(TRect& Dest, const TRect& A, const TRect& B)
{
    if (A.IsEmpty()) {
        Dest = B.IsEmpty() ? TRect() : B;
        return !B.IsEmpty();
    }
    if (B.IsEmpty()) {
        Dest = A;
        return true;
    }
    Dest = TRect{A.Left < B.Left ? A.Left : B.Left, A.Top < B.Top ? A.Top : B.Top,
                 A.Right > B.Right ? A.Right : B.Right, A.Bottom > B.Bottom ? A.Bottom : B.Bottom};
    return true;
}

inline bool OffsetRect(TRect& R, int DX, int DY)
{
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return true;
}

// Grows R by DX on the left and right and by DY on the top and bottom
// (negative values shrink it).
inline bool InflateRect(TRect& R, int DX, int DY)
{
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
    return true;
}

// Number * Numerator / Denominator computed in 64 bits and rounded half away
// from zero. -1 when Denominator is 0 or the result does not fit in an int.
constexpr int MulDiv(int Number, int Numerator, int Denominator)
{
    if (Denominator == 0)
        return -1;
    const std::int64_t p = std::int64_t(Number) * Numerator;
    const std::int64_t d = Denominator;
    std::int64_t q = p / d;
    const std::int64_t r = p % d;
    const std::int64_t absR = r < 0 ? -r : r;
    const std::int64_t absD = d < 0 ? -d : d;
    if (2 * absR >= absD)
        q += ((p < 0) != (d < 0)) ? -1 : 1;
    if (q < INT32_MIN || q > INT32_MAX)
        return -1;
    return int(q);
}

// ---------------------------------------------------------------------------
// TSet<E>: a Pascal-style set over an enumeration whose values are 0..N-1.
// Values outside that range are never members: Include throws ERangeError,
// Contains answers false, so a value read from a file cannot corrupt the set.

[[noreturn]] inline void RaiseSetRangeError(long long Value, std::size_t Size)
{
    throw ERangeError("Set element " + std::to_string(Value) + " out of range 0.." +
                      std::to_string(Size - 1));
}

template <typename E, std::size_t N = 64>
class TSet {
    static_assert(std::is_enum_v<E> || std::is_integral_v<E>, "TSet needs an enumeration");
    static constexpr std::size_t WordCount = (N + 63) / 64;

public:
    using Element = E;
    static constexpr std::size_t Size = N;

    constexpr TSet() = default;
    constexpr TSet(E Value) { Include(Value); }  // NOLINT: a single element converts
    constexpr TSet(std::initializer_list<E> Values)
    {
        for (E v : Values)
            Include(v);
    }

    constexpr bool Contains(E Value) const
    {
        const long long i = static_cast<long long>(Value);
        if (i < 0 || static_cast<unsigned long long>(i) >= N)
            return false;
        return (FBits[i / 64] >> (i % 64)) & 1u;
    }
    constexpr TSet& Include(E Value)
    {
        const std::size_t i = Index(Value);
        FBits[i / 64] |= std::uint64_t(1) << (i % 64);
        return *this;
    }
    constexpr TSet& Exclude(E Value)
    {
        const long long i = static_cast<long long>(Value);
        if (i >= 0 && static_cast<unsigned long long>(i) < N)
            FBits[i / 64] &= ~(std::uint64_t(1) << (i % 64));
        return *this;
    }
    constexpr TSet& Clear()
    {
        for (auto& w : FBits)
            w = 0;
        return *this;
    }
    constexpr bool Empty() const
    {
        for (auto w : FBits)
            if (w)
                return false;
        return true;
    }
    constexpr int Count() const
    {
        int n = 0;
        for (auto w : FBits)
            for (; w; w &= w - 1)
                ++n;
        return n;
    }

    // Union, difference and intersection, as Pascal's + - *.
    constexpr TSet& operator+=(const TSet& S)
    {
        for (std::size_t i = 0; i < WordCount; ++i)
            FBits[i] |= S.FBits[i];
        return *this;
    }
    constexpr TSet& operator-=(const TSet& S)
    {
        for (std::size_t i = 0; i < WordCount; ++i)
            FBits[i] &= ~S.FBits[i];
        return *this;
    }
    constexpr TSet& operator*=(const TSet& S)
    {
        for (std::size_t i = 0; i < WordCount; ++i)
            FBits[i] &= S.FBits[i];
        return *this;
    }
    friend constexpr TSet operator+(TSet A, const TSet& B) { return A += B; }
    friend constexpr TSet operator-(TSet A, const TSet& B) { return A -= B; }
    friend constexpr TSet operator*(TSet A, const TSet& B) { return A *= B; }
    friend constexpr bool operator==(const TSet& A, const TSet& B)
    {
        for (std::size_t i = 0; i < WordCount; ++i)
            if (A.FBits[i] != B.FBits[i])
                return false;
        return true;
    }
    // Subset and superset, as Pascal's <= and >=.
    friend constexpr bool operator<=(const TSet& A, const TSet& B) { return (A - B).Empty(); }
    friend constexpr bool operator>=(const TSet& A, const TSet& B) { return (B - A).Empty(); }

    // The low 64 members as bits (bit i for value i), as sets are kept in
    // settings and files. FromBits ignores bits beyond N.
    constexpr UInt64 Bits() const { return FBits[0]; }
    static constexpr TSet FromBits(UInt64 Bits)
    {
        TSet s;
        if constexpr (N < 64)
            Bits &= (std::uint64_t(1) << N) - 1;
        s.FBits[0] = Bits;
        return s;
    }

    // Calls F(e) for every member in ascending order.
    template <typename F>
    void ForEach(F&& Fn) const
    {
        for (std::size_t i = 0; i < N; ++i)
            if ((FBits[i / 64] >> (i % 64)) & 1u)
                Fn(static_cast<E>(i));
    }

private:
    static constexpr std::size_t Index(E Value)
    {
        const long long i = static_cast<long long>(Value);
        if (i < 0 || static_cast<unsigned long long>(i) >= N)
            RaiseSetRangeError(i, N);
        return static_cast<std::size_t>(i);
    }

    std::uint64_t FBits[WordCount] = {};
};

// Colours are basic values too; their constants live in their own header.
#include "platform/Colors.h"
