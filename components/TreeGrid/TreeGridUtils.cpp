// Alpha blending and the text helpers of the tree-grid unit.
#include "components/TreeGrid/TreeGridUtils.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/SysUtils.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---------------------------------------------------------------------------
// Blending

inline int Clamp255(int V) { return V < 0 ? 0 : (V > 255 ? 255 : V); }

// Scalar blend of one pixel; also the tail of every row on the fast path.
// Pixels are 32-bit values with blue in the low byte, the fourth byte on top.
inline std::uint32_t BlendPixel(std::uint32_t S, std::uint32_t D, int A, int Bias)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int s = int((S >> shift) & 0xFF);
        const int d = int((D >> shift) & 0xFF);
        const int t = (256 * d + A * (s - d)) / 256;
        out |= std::uint32_t(Clamp255(t + Bias)) << shift;
    }
    return out;
}

inline std::uint32_t ColorPixel(std::uint32_t C, std::uint32_t D, int A)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int c = int((C >> shift) & 0xFF);
        const int d = int((D >> shift) & 0xFF);
        out |= std::uint32_t((c * A + d * (256 - A)) / 256) << shift;
    }
    return out;
}

inline int PixelAlpha(TBlendMode Mode, std::uint32_t S, int ConstantAlpha)
{
    switch (Mode) {
    case bmPerPixelAlpha:
        return int(S >> 24);
    case bmMasterAlpha:
        return (ConstantAlpha * int(S >> 24)) / 256;
    default:
        return ConstantAlpha;
    }
}

#if defined(__SSE2__)
// Four pixels per step. Every channel is d*(256 - a) + s*a, which equals
// 256*d + a*(s - d) and is never negative for a in 0..256, so the pairwise
// 16-bit multiply-add gives it exactly in 32 bits and the shift is the
// division. The two saturating packs clamp to 0..255.
inline __m128i BlendFour(__m128i S, __m128i D, __m128i W, __m128i BiasV)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i sLo = _mm_unpacklo_epi8(S, zero), sHi = _mm_unpackhi_epi8(S, zero);
    const __m128i dLo = _mm_unpacklo_epi8(D, zero), dHi = _mm_unpackhi_epi8(D, zero);
    // W holds per pixel (256 - a) in the low and a in the high 16 bits.
    const __m128i w0 = _mm_shuffle_epi32(W, 0x00), w1 = _mm_shuffle_epi32(W, 0x55);
    const __m128i w2 = _mm_shuffle_epi32(W, 0xAA), w3 = _mm_shuffle_epi32(W, 0xFF);
    __m128i p0 = _mm_madd_epi16(_mm_unpacklo_epi16(dLo, sLo), w0);
    __m128i p1 = _mm_madd_epi16(_mm_unpackhi_epi16(dLo, sLo), w1);
    __m128i p2 = _mm_madd_epi16(_mm_unpacklo_epi16(dHi, sHi), w2);
    __m128i p3 = _mm_madd_epi16(_mm_unpackhi_epi16(dHi, sHi), w3);
    p0 = _mm_add_epi32(_mm_srli_epi32(p0, 8), BiasV);
    p1 = _mm_add_epi32(_mm_srli_epi32(p1, 8), BiasV);
    p2 = _mm_add_epi32(_mm_srli_epi32(p2, 8), BiasV);
    p3 = _mm_add_epi32(_mm_srli_epi32(p3, 8), BiasV);
    return _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
}

inline __m128i Weights(__m128i A)
{
    return _mm_or_si128(_mm_sub_epi32(_mm_set1_epi32(256), A), _mm_slli_epi32(A, 16));
}
#endif

void BlendRow(const std::uint32_t* Src, std::uint32_t* Dst, int Count, TBlendMode Mode, int Alpha, int Bias)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i biasV = _mm_set1_epi32(Bias);
    switch (Mode) {
    case bmConstantAlpha: {
        const __m128i w = _mm_set1_epi32((256 - Alpha) | (Alpha << 16));
        for (; i + 4 <= Count; i += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), BlendFour(s, d, w, biasV));
        }
        break;
    }
    case bmPerPixelAlpha:
        for (; i + 4 <= Count; i += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), BlendFour(s, d, Weights(_mm_srli_epi32(s, 24)), biasV));
        }
        break;
    case bmMasterAlpha: {
        // Source alpha (< 256) times constant alpha (<= 256) fits the low
        // 16 bits of each lane; the high halves multiply zeros.
        const __m128i master = _mm_set1_epi32(Alpha);
        for (; i + 4 <= Count; i += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
            const __m128i a = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(s, 24), master), 8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), BlendFour(s, d, Weights(a), biasV));
        }
        break;
    }
    case bmConstantAlphaAndColor:
        break;
    }
#endif
    for (; i < Count; ++i)
        Dst[i] = BlendPixel(Src[i], Dst[i], PixelAlpha(Mode, Src[i], Alpha), Bias);
}

void ColorRow(std::uint32_t Color, std::uint32_t* Dst, int Count, int Alpha)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i w = _mm_set1_epi32((256 - Alpha) | (Alpha << 16));
    const __m128i c = _mm_set1_epi32(int(Color));
    const __m128i noBias = _mm_setzero_si128();
    for (; i + 4 <= Count; i += 4) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), BlendFour(c, d, w, noBias));
    }
#endif
    for (; i < Count; ++i)
        Dst[i] = ColorPixel(Color, Dst[i], Alpha);
}

TBitmap* CheckedBitmap(TBitmap* Bitmap)
{
    TGAssert(Bitmap != nullptr, "Alpha blending DC error: no bitmap available.");
    TGAssert(Bitmap->PixelFormat() == pf32bit, "Alpha blending error: bitmap must use 32 bpp.");
    return Bitmap;
}

// Half-open [Lo, Hi) clipped to [0, Size); 64-bit so that no coordinate
// sum can overflow.
struct TSpan {
    std::int64_t Lo, Hi;
};
inline TSpan Clip(TSpan S, std::int64_t Size) { return {std::max<std::int64_t>(S.Lo, 0), std::min(S.Hi, Size)}; }

std::uint32_t* Row(TBitmap* B, int Y) { return static_cast<std::uint32_t*>(B->ScanLine(Y)); }

}  // namespace

void AlphaBlend(TBitmap* Source, TBitmap* Destination, const TRect& R, const TPoint& Target, TBlendMode Mode,
    int ConstantAlpha, int Bias)
{
    if (R.IsEmpty())
        return;
    const int alpha = std::clamp(ConstantAlpha, 0, 256);
    TBitmap* dst = CheckedBitmap(Destination);

    if (Mode == bmConstantAlphaAndColor) {
        const TSpan xs = Clip({R.Left, R.Right}, dst->Width());
        const TSpan ys = Clip({R.Top, R.Bottom}, dst->Height());
        if (xs.Lo >= xs.Hi || ys.Lo >= ys.Hi)
            return;
        // 0x00BBGGRR to the pixel's byte order, the fourth byte 0.
        const auto color = std::uint32_t(Bias);
        const std::uint32_t pixel = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
        for (auto y = ys.Lo; y < ys.Hi; ++y)
            ColorRow(pixel, Row(dst, int(y)) + xs.Lo, int(xs.Hi - xs.Lo), alpha);
        return;
    }

    TBitmap* src = CheckedBitmap(Source);
    // Any bias beyond +-256 saturates every channel the same way.
    const int bias = std::clamp(Bias, -256, 256);
    const std::int64_t dx = std::int64_t(Target.X) - R.Left, dy = std::int64_t(Target.Y) - R.Top;
    TSpan xs = Clip({R.Left, R.Right}, src->Width());
    TSpan ys = Clip({R.Top, R.Bottom}, src->Height());
    const TSpan txs = Clip({xs.Lo + dx, xs.Hi + dx}, dst->Width());
    const TSpan tys = Clip({ys.Lo + dy, ys.Hi + dy}, dst->Height());
    xs = {txs.Lo - dx, txs.Hi - dx};
    ys = {tys.Lo - dy, tys.Hi - dy};
    if (xs.Lo >= xs.Hi || ys.Lo >= ys.Hi)
        return;
    const int width = int(xs.Hi - xs.Lo);
    const int height = int(ys.Hi - ys.Lo);

    if (src == dst) {
        // Blending a bitmap onto itself: read the source before any write.
        std::vector<std::uint32_t> copy(std::size_t(width) * std::size_t(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(copy.data() + std::size_t(y) * std::size_t(width), Row(src, int(ys.Lo) + y) + xs.Lo,
                std::size_t(width) * 4);
        for (int y = 0; y < height; ++y)
            BlendRow(copy.data() + std::size_t(y) * std::size_t(width), Row(dst, int(tys.Lo) + y) + txs.Lo, width,
                Mode, alpha, bias);
        return;
    }
    for (int y = 0; y < height; ++y)
        BlendRow(Row(src, int(ys.Lo) + y) + xs.Lo, Row(dst, int(tys.Lo) + y) + txs.Lo, width, Mode, alpha, bias);
}

void AlphaBlend(TCanvas* Source, TCanvas* Destination, const TRect& R, const TPoint& Target, TBlendMode Mode,
    int ConstantAlpha, int Bias)
{
    if (R.IsEmpty())
        return;
    TBitmap* src = Source ? Source->Bitmap() : nullptr;
    TBitmap* dst = Destination ? Destination->Bitmap() : nullptr;
    if (Mode != bmConstantAlphaAndColor)
        CheckedBitmap(src);
    AlphaBlend(src, CheckedBitmap(dst), R, Target, Mode, ConstantAlpha, Bias);
}

// ---------------------------------------------------------------------------
// Text

namespace {

// Byte length of the character at S[I]: a well-formed UTF-8 sequence, or 1
// for a byte that does not start one (counted as a character of its own).
std::size_t CharLength(const String& S, std::size_t I)
{
    const auto b = static_cast<unsigned char>(S[I]);
    std::size_t n = 1;
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        n = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        n = 4;
    if (n == 1 || I + n > S.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(S[I + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// Byte offsets of the character boundaries of S: 0, then the end of each
// character; size = characters + 1.
std::vector<std::size_t> Boundaries(const String& S)
{
    std::vector<std::size_t> b;
    b.reserve(S.size() + 1);
    b.push_back(0);
    for (std::size_t i = 0; i < S.size();) {
        i += CharLength(S, i);
        b.push_back(i);
    }
    return b;
}

int LineHeight(TCanvas* DC) { return DC->FontAscent() + DC->FontDescent(); }

}  // namespace

int DrawTextW(TCanvas* DC, const String& Text, int Length, TRect& Bounds, unsigned Format, bool AdjustRight)
{
    if (!DC)
        return 0;
    String text = Text;
    if (Length >= 0) {
        const std::vector<std::size_t> b = Boundaries(Text);
        if (std::size_t(Length) + 1 < b.size())
            text.resize(b[std::size_t(Length)]);
    }
    const int lineHeight = LineHeight(DC);

    std::vector<String> lines;
    if (Format & DT_SINGLELINE) {
        lines.push_back(text.substr(0, text.find('\0')));
    } else {
        std::size_t start = 0, i = 0;
        while (i < text.size()) {
            const char c = text[i];
            std::size_t breakLength = 0;
            if (c == '\0' || c == '\n')
                breakLength = 1;
            else if (c == '\r')
                breakLength = (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            else if (text.compare(i, 3, "\xE2\x80\xA8") == 0)
                breakLength = 3;
            if (breakLength) {
                lines.push_back(text.substr(start, i - start));
                i += breakLength;
                start = i;
            } else {
                ++i;
            }
        }
        if (start < text.size() || lines.empty())
            lines.push_back(text.substr(start));
    }

    int top = Bounds.Top;
    if ((Format & DT_SINGLELINE) && (Format & DT_VCENTER))
        top = Bounds.Top + (Bounds.Height() - lineHeight) / 2;

    if (Format & DT_CALCRECT) {
        int widest = 0;
        for (const String& l : lines)
            widest = std::max(widest, DC->TextWidth(l));
        const int height = int(lines.size()) * lineHeight;
        Bounds.Bottom = top + height;
        if (AdjustRight)
            Bounds.Right = Bounds.Left + widest;
        return height;
    }

    // Each line goes through the canvas as one single line, which aligns it
    // and passes right-to-left reading on; the clip covers all lines.
    const unsigned lineFormat = DT_SINGLELINE | DT_NOPREFIX | (Format & (DT_RIGHT | DT_CENTER | DT_RTLREADING));
    const bool clip = !(Format & DT_NOCLIP);
    int saved = 0;
    if (clip) {
        saved = DC->SaveDC();
        DC->IntersectClipRect(Bounds);
    }
    int drawn = 0;
    for (const String& l : lines) {
        const int lineTop = top + drawn * lineHeight;
        if (!(Format & DT_SINGLELINE) && lineTop >= Bounds.Bottom)
            break;
        TRect r(Bounds.Left, lineTop, Bounds.Right, lineTop + lineHeight);
        DC->DrawText(l, r, lineFormat | DT_NOCLIP);
        ++drawn;
    }
    if (clip)
        DC->RestoreDC(saved);
    return drawn * lineHeight;
}

String ShortenString(TCanvas* DC, const String& S, int Width, int EllipsisWidth)
{
    if (!DC || S.empty() || Width <= 0)
        return String();
    if (EllipsisWidth == 0)
        EllipsisWidth = DC->TextWidth("...");
    if (EllipsisWidth >= Width)
        return String();
    const std::vector<std::size_t> b = Boundaries(S);
    int low = 0, high = int(b.size()) - 2;  // prefix lengths 0..length-1
    while (low < high) {
        const int probe = (low + high + 1) / 2;
        if (DC->TextWidth(S.substr(0, b[std::size_t(probe)])) + EllipsisWidth > Width)
            high = probe - 1;
        else
            low = probe;
    }
    return S.substr(0, b[std::size_t(low)]) + "...";
}

void GetStringDrawRect(TCanvas* DC, const String& S, TRect& Bounds, unsigned DrawFormat)
{
    Bounds.Right = Bounds.Left + 1;
    Bounds.Bottom = Bounds.Top + 1;
    if (DC)
        DC->DrawText(S, Bounds, DrawFormat | DT_CALCRECT);
}

namespace {

int MeasuredWidth(TCanvas* DC, const String& S, unsigned DrawFormat)
{
    TRect r;
    GetStringDrawRect(DC, S, r, DrawFormat);
    return r.Width();
}

// The longest piece of Word (at least one character) that fits in Width:
// from its start, or from its end for right-to-left. Returns the byte length.
std::size_t FittingPiece(TCanvas* DC, const String& Word, int Width, bool FromEnd, unsigned DrawFormat)
{
    const std::vector<std::size_t> b = Boundaries(Word);
    const int count = int(b.size()) - 1;
    auto piece = [&](int n) {
        return FromEnd ? Word.substr(b[std::size_t(count - n)]) : Word.substr(0, b[std::size_t(n)]);
    };
    int low = 1, high = count;
    while (low < high) {
        const int probe = (low + high + 1) / 2;
        if (MeasuredWidth(DC, piece(probe), DrawFormat) > Width)
            high = probe - 1;
        else
            low = probe;
    }
    return FromEnd ? Word.size() - b[std::size_t(count - low)] : b[std::size_t(low)];
}

}  // namespace

String WrapString(TCanvas* DC, const String& S, const TRect& Bounds, bool RightToLeft, unsigned DrawFormat)
{
    if (!DC)
        return String();
    const String text = Trim(S);
    std::vector<String> words;
    for (std::size_t start = 0;;) {
        const std::size_t space = text.find(' ', start);
        words.push_back(text.substr(start, space == String::npos ? String::npos : space - start));
        if (space == String::npos)
            break;
        start = space + 1;
    }
    if (RightToLeft)
        std::reverse(words.begin(), words.end());

    const int width = Bounds.Width();
    std::vector<String> lines;
    String line;
    for (String word : words) {
        for (;;) {
            const String candidate = line.empty() ? word : (RightToLeft ? word + " " + line : line + " " + word);
            if (MeasuredWidth(DC, candidate, DrawFormat) <= width) {
                line = candidate;
                break;
            }
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
                continue;
            }
            if (word.empty())
                break;
            // A word wider than a whole line gives up the piece that fits.
            const std::size_t n = FittingPiece(DC, word, width, RightToLeft, DrawFormat);
            if (RightToLeft) {
                lines.push_back(word.substr(word.size() - n));
                word.resize(word.size() - n);
            } else {
                lines.push_back(word.substr(0, n));
                word.erase(0, n);
            }
            if (word.empty())
                break;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    if (RightToLeft)
        std::reverse(lines.begin(), lines.end());

    String result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            result += '\n';
        result += lines[i];
    }
    return result;
}

// ---------------------------------------------------------------------------

TRect OrderRect(const TRect& R)
{
    return TRect(std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
        std::max(R.Top, R.Bottom));
}

TColor GetRGBColor(TColor Value)
{
    if (Value == clNone)
        return CLR_NONE;
    if (Value == clDefault)
        return CLR_DEFAULT;
    return ColorToRGB(Value);
}
