// The window scroll bars: their state, layout, drawing and mouse handling,
// which turns clicks and drags into WM_HSCROLL/WM_VSCROLL requests.
#include <algorithm>
#include <memory>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"

namespace {

TWinControl* BarOwner(HWND Handle, int Bar)
{
    if (Bar != SB_HORZ && Bar != SB_VERT)
        return nullptr;
    return FindControl(Handle);
}

long long RangeOf(const TScrollBarState& S) { return (long long)S.Max - S.Min + 1; }

// The largest position: the page's last line ends at Max.
int MaxPos(const TScrollBarState& S)
{
    const long long m = (long long)S.Max - std::max<long long>((long long)S.Page - 1, 0);
    return int(std::max<long long>(S.Min, m));
}

bool WantsBar(const TScrollBarState& S)
{
    return S.Max > S.Min && (S.Page == 0 || RangeOf(S) > (long long)S.Page);
}

void SendScroll(TWinControl* Control, int Bar, int Code, int Pos)
{
    Control->Perform(Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeWParam(Code, Pos), 0);
}

// A bar that cannot scroll (shown only for SIF_DISABLENOSCROLL) is disabled
// as a whole, as is one EnableScrollBar disabled both ways.
bool BarDisabled(const TScrollBarState& S) { return !WantsBar(S) || S.DisabledArrows == ESB_DISABLE_BOTH; }

bool ArrowDisabled(const TScrollBarState& S, bool Low)
{
    return BarDisabled(S) || (S.DisabledArrows & (Low ? ESB_DISABLE_LTUP : ESB_DISABLE_RTDN));
}

// Only the bar is drawn again, not the window.
void InvalidateBar(TWinControl* Control, int Bar)
{
    TNonClientState& nc = Control->NonClient();
    Control->InvalidateWindowArea(TRegion::FromRect(Bar == SB_VERT ? nc.VBar : nc.HBar));
}

int CodeOf(TScrollBarPart Part)
{
    switch (Part) {
    case sbpLineUp: return SB_LINEUP;
    case sbpLineDown: return SB_LINEDOWN;
    case sbpPageUp: return SB_PAGEUP;
    case sbpPageDown: return SB_PAGEDOWN;
    default: return -1;
    }
}

// The arrow's glyph, a small triangle pointing away from the bar's middle,
// embossed when disabled.
void DrawArrowGlyph(TCanvas* Canvas, const TRect& Box, bool Vertical, bool Low, bool Disabled)
{
    const int cx = (Box.Left + Box.Right) / 2;
    const int cy = (Box.Top + Box.Bottom) / 2;
    auto glyph = [&](int dx, int dy, TColor Color) {
        Canvas->Brush()->SetColor(Color);
        for (int i = 0; i < 4; ++i) {
            // Row i of the triangle, counted from its tip, 2i + 1 wide.
            const int along = Low ? -2 + i : 1 - i;
            if (Vertical)
                Canvas->FillRect({cx - i + dx, cy + along + dy, cx + i + 1 + dx, cy + along + 1 + dy});
            else
                Canvas->FillRect({cx + along + dx, cy - i + dy, cx + along + 1 + dx, cy + i + 1 + dy});
        }
    };
    if (Disabled) {
        glyph(1, 1, clBtnHighlight);
        glyph(0, 0, clBtnShadow);
    } else {
        glyph(0, 0, clBtnText);
    }
}

}  // namespace

TScrollBarLayout GetScrollBarLayout(TWinControl* Control, int Bar)
{
    TScrollBarLayout L;
    TNonClientState& nc = Control->NonClient();
    L.Vertical = Bar == SB_VERT;
    L.Bar = L.Vertical ? nc.VBar : nc.HBar;
    if (L.Bar.IsEmpty())
        return L;
    const int start = L.Vertical ? L.Bar.Top : L.Bar.Left;
    const int length = L.Vertical ? L.Bar.Height() : L.Bar.Width();
    const int arrow = std::min(ScrollBarSize, length / 2);
    if (L.Vertical) {
        L.LoArrow = {L.Bar.Left, start, L.Bar.Right, start + arrow};
        L.HiArrow = {L.Bar.Left, start + length - arrow, L.Bar.Right, start + length};
    } else {
        L.LoArrow = {start, L.Bar.Top, start + arrow, L.Bar.Bottom};
        L.HiArrow = {start + length - arrow, L.Bar.Top, start + length, L.Bar.Bottom};
    }
    L.TrackStart = start + arrow;
    L.TrackLength = length - 2 * arrow;
    const TScrollBarState& s = nc.Bars[Bar];
    if (BarDisabled(s) || L.TrackLength < MinThumbSize)
        return L;
    const long long range = RangeOf(s);
    long long thumb = s.Page ? (long long)L.TrackLength * s.Page / range : ScrollBarSize;
    thumb = std::clamp<long long>(thumb, MinThumbSize, L.TrackLength);
    L.ThumbLength = int(thumb);
    const long long span = (long long)MaxPos(s) - s.Min;
    const int pos = s.Tracking ? s.TrackPos : s.Pos;
    const long long off = span > 0 ? ((long long)pos - s.Min) * (L.TrackLength - thumb) / span : 0;
    const int t0 = L.TrackStart + int(off);
    if (L.Vertical)
        L.Thumb = {L.Bar.Left, t0, L.Bar.Right, t0 + L.ThumbLength};
    else
        L.Thumb = {t0, L.Bar.Top, t0 + L.ThumbLength, L.Bar.Bottom};
    return L;
}

TScrollBarPart ScrollBarPartAt(const TScrollBarLayout& L, const TPoint& P)
{
    if (!L.Bar.Contains(P))
        return sbpNone;
    if (L.LoArrow.Contains(P))
        return sbpLineUp;
    if (L.HiArrow.Contains(P))
        return sbpLineDown;
    if (L.Thumb.IsEmpty())
        return sbpNone;
    if (L.Thumb.Contains(P))
        return sbpThumb;
    const int along = L.Vertical ? P.Y : P.X;
    return along < (L.Vertical ? L.Thumb.Top : L.Thumb.Left) ? sbpPageUp : sbpPageDown;
}

int ScrollPosFromThumb(TWinControl* Control, int Bar, const TScrollBarLayout& L, int ThumbStart)
{
    const TScrollBarState& s = Control->NonClient().Bars[Bar];
    const long long free = L.TrackLength - L.ThumbLength;
    const long long span = (long long)MaxPos(s) - s.Min;
    if (free <= 0 || span <= 0)
        return s.Min;
    const long long off = std::clamp<long long>(ThumbStart - L.TrackStart, 0, free);
    return int(s.Min + (off * span + free / 2) / free);
}

void DrawScrollBars(TWinControl* Control, TCanvas* Canvas)
{
    TNonClientState& nc = Control->NonClient();
    for (int bar : {SB_HORZ, SB_VERT}) {
        const TScrollBarLayout L = GetScrollBarLayout(Control, bar);
        if (L.Bar.IsEmpty())
            continue;
        Canvas->Brush()->SetColor(clScrollBar);
        Canvas->FillRect(L.Bar);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect(L.LoArrow);
        Canvas->FillRect(L.HiArrow);
        Canvas->Brush()->SetColor(clBtnShadow);
        Canvas->FrameRect(L.LoArrow);
        Canvas->FrameRect(L.HiArrow);
        const TScrollBarState& s = nc.Bars[bar];
        DrawArrowGlyph(Canvas, L.LoArrow, L.Vertical, true, ArrowDisabled(s, true));
        DrawArrowGlyph(Canvas, L.HiArrow, L.Vertical, false, ArrowDisabled(s, false));
        if (!L.Thumb.IsEmpty()) {
            Canvas->Brush()->SetColor(clBtnFace);
            Canvas->FillRect(L.Thumb);
            Canvas->Brush()->SetColor(clBtnShadow);
            Canvas->FrameRect(L.Thumb);
        }
    }
    if (!nc.VBar.IsEmpty() && !nc.HBar.IsEmpty()) {
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect({nc.VBar.Left, nc.HBar.Top, nc.VBar.Right, nc.HBar.Bottom});
    }
}

void ScrollBarMouseDown(TWinControl* Control, int HitTest, const TPoint& Screen)
{
    const int bar = HitTest == HTVSCROLL ? SB_VERT : SB_HORZ;
    const TPoint p = Screen - WindowOrigin(Control);
    const TScrollBarLayout L = GetScrollBarLayout(Control, bar);
    TNonClientState& nc = Control->NonClient();
    TScrollBarState& s = nc.Bars[bar];
    const TScrollBarPart part = ScrollBarPartAt(L, p);
    if (part == sbpNone || (part == sbpLineUp && ArrowDisabled(s, true)) ||
        (part == sbpLineDown && ArrowDisabled(s, false)))
        return;
    nc.TrackBar = bar;
    nc.TrackPart = part;
    nc.TrackPointer = p;
    nc.Repeating = false;
    if (part == sbpThumb) {
        s.Tracking = true;
        s.TrackPos = s.Pos;
        nc.TrackGrab = (L.Vertical ? p.Y - L.Thumb.Top : p.X - L.Thumb.Left);
        return;
    }
    // An arrow or the track: at once, then again while held; the release
    // ends the scroll.
    nc.TrackGrab = -1;
    TControlWatch watch(Control);
    SendScroll(Control, bar, CodeOf(part), 0);
    if (watch && Control->HandleAllocated() && nc.TrackBar == bar)
        SetSystemTimer(Control->Handle(), ScrollRepeatTimer, ScrollRepeatDelay);
}

void ScrollBarRepeat(TWinControl* Control)
{
    TNonClientState& nc = Control->NonClient();
    if (nc.TrackBar < 0 || nc.TrackGrab >= 0) {
        KillSystemTimer(Control->Handle(), ScrollRepeatTimer);
        return;
    }
    if (!nc.Repeating) {
        nc.Repeating = true;
        SetSystemTimer(Control->Handle(), ScrollRepeatTimer, ScrollRepeatInterval);
    }
    // Only while the pointer is on what was pressed; the track stops once
    // the thumb has come under the pointer.
    const int bar = nc.TrackBar;
    if (ScrollBarPartAt(GetScrollBarLayout(Control, bar), nc.TrackPointer) == nc.TrackPart)
        SendScroll(Control, bar, CodeOf(nc.TrackPart), 0);
}

bool ScrollBarMouseMove(TWinControl* Control, const TPoint& Screen)
{
    TNonClientState& nc = Control->NonClient();
    if (nc.TrackBar < 0)
        return false;
    const TPoint p = Screen - WindowOrigin(Control);
    nc.TrackPointer = p;
    if (nc.TrackGrab < 0)
        return true;
    const int bar = nc.TrackBar;
    const TScrollBarLayout L = GetScrollBarLayout(Control, bar);
    const int start = (L.Vertical ? p.Y : p.X) - nc.TrackGrab;
    const int pos = ScrollPosFromThumb(Control, bar, L, start);
    TScrollBarState& s = nc.Bars[bar];
    if (pos != s.TrackPos) {
        s.TrackPos = pos;
        InvalidateBar(Control, bar);
        SendScroll(Control, bar, SB_THUMBTRACK, pos);
    }
    return true;
}

bool ScrollBarMouseUp(TWinControl* Control, const TPoint& Screen)
{
    TNonClientState& nc = Control->NonClient();
    if (nc.TrackBar < 0)
        return false;
    ScrollBarMouseMove(Control, Screen);
    const int bar = nc.TrackBar;
    const bool thumb = nc.TrackGrab >= 0;
    nc.TrackBar = -1;
    nc.TrackPart = sbpNone;
    if (Control->HandleAllocated())
        KillSystemTimer(Control->Handle(), ScrollRepeatTimer);
    TScrollBarState& s = nc.Bars[bar];
    TControlWatch watch(Control);
    if (thumb)
        SendScroll(Control, bar, SB_THUMBPOSITION, s.TrackPos);
    if (!watch)
        return true;
    s.Tracking = false;
    SendScroll(Control, bar, SB_ENDSCROLL, 0);
    if (watch)
        InvalidateBar(Control, bar);
    return true;
}

// ---------------------------------------------------------------------------

int SetScrollInfo(HWND Handle, int Bar, const TScrollInfo& Info, bool Redraw)
{
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c)
        return 0;
    TScrollBarState& s = c->NonClient().Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        s.Min = Info.nMin;
        s.Max = std::max(Info.nMin, Info.nMax);
    }
    if (Info.fMask & SIF_PAGE)
        s.Page = UINT(std::min<long long>(Info.nPage, RangeOf(s)));
    if (Info.fMask & SIF_POS)
        s.Pos = Info.nPos;
    s.Pos = std::clamp(s.Pos, s.Min, MaxPos(s));
    // A bar kept shown though it cannot scroll is disabled; once it can
    // again, it is enabled again.
    if ((Info.fMask & SIF_DISABLENOSCROLL) && WantsBar(s))
        s.DisabledArrows = ESB_ENABLE_BOTH;
    const bool show = WantsBar(s) || (Info.fMask & SIF_DISABLENOSCROLL && s.Visible);
    if (show != s.Visible) {
        s.Visible = show;
        c->FrameChanged();
    } else if (Redraw) {
        InvalidateBar(c, Bar);
    }
    return s.Pos;
}

bool GetScrollInfo(HWND Handle, int Bar, TScrollInfo& Info)
{
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c)
        return false;
    const TScrollBarState& s = c->NonClient().Bars[Bar];
    if (Info.fMask & SIF_RANGE) {
        Info.nMin = s.Min;
        Info.nMax = s.Max;
    }
    if (Info.fMask & SIF_PAGE)
        Info.nPage = s.Page;
    if (Info.fMask & SIF_POS)
        Info.nPos = s.Pos;
    if (Info.fMask & SIF_TRACKPOS)
        Info.nTrackPos = s.Tracking ? s.TrackPos : s.Pos;
    return true;
}

int SetScrollPos(HWND Handle, int Bar, int Pos, bool Redraw)
{
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c)
        return 0;
    const int old = c->NonClient().Bars[Bar].Pos;
    TScrollInfo i;
    i.fMask = SIF_POS;
    i.nPos = Pos;
    SetScrollInfo(Handle, Bar, i, Redraw);
    return old;
}

int GetScrollPos(HWND Handle, int Bar)
{
    TWinControl* c = BarOwner(Handle, Bar);
    return c ? c->NonClient().Bars[Bar].Pos : 0;
}

bool EnableScrollBar(HWND Handle, int Bar, UINT Arrows)
{
    if (Bar == SB_BOTH) {
        const bool h = EnableScrollBar(Handle, SB_HORZ, Arrows);
        const bool v = EnableScrollBar(Handle, SB_VERT, Arrows);
        return h || v;
    }
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c)
        return false;
    TScrollBarState& s = c->NonClient().Bars[Bar];
    Arrows &= ESB_DISABLE_BOTH;
    if (s.DisabledArrows == Arrows)
        return false;
    s.DisabledArrows = Arrows;
    InvalidateBar(c, Bar);
    return true;
}

bool ShowScrollBar(HWND Handle, int Bar, bool Show)
{
    if (Bar == SB_BOTH)
        return ShowScrollBar(Handle, SB_HORZ, Show) && ShowScrollBar(Handle, SB_VERT, Show);
    TWinControl* c = BarOwner(Handle, Bar);
    if (!c)
        return false;
    TScrollBarState& s = c->NonClient().Bars[Bar];
    if (s.Visible != Show) {
        s.Visible = Show;
        c->FrameChanged();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Sizing a top-level window by its edges.

namespace {

// The smallest window a drag leaves.
constexpr int MinTrackSize = 16;

struct TSizeTrack {
    std::unique_ptr<TControlWatch> Window;
    int HitTest = 0;
    TPoint Start;
    TRect StartBounds;
};
TSizeTrack gSizeTrack;

}  // namespace

TRect SizedBounds(const TRect& Start, int HitTest, const TPoint& Delta)
{
    TRect r = Start;
    const bool left = HitTest == HTLEFT || HitTest == HTTOPLEFT || HitTest == HTBOTTOMLEFT;
    const bool right = HitTest == HTRIGHT || HitTest == HTTOPRIGHT || HitTest == HTBOTTOMRIGHT;
    const bool top = HitTest == HTTOP || HitTest == HTTOPLEFT || HitTest == HTTOPRIGHT;
    const bool bottom = HitTest == HTBOTTOM || HitTest == HTBOTTOMLEFT || HitTest == HTBOTTOMRIGHT;
    if (left)
        r.Left = std::min(Start.Left + Delta.X, Start.Right - MinTrackSize);
    if (right)
        r.Right = std::max(Start.Right + Delta.X, Start.Left + MinTrackSize);
    if (top)
        r.Top = std::min(Start.Top + Delta.Y, Start.Bottom - MinTrackSize);
    if (bottom)
        r.Bottom = std::max(Start.Bottom + Delta.Y, Start.Top + MinTrackSize);
    return r;
}

void SizeTrackStart(TWinControl* Control, int HitTest, const TPoint& Screen)
{
    TWinControl* top = Control;
    while (top->Parent())
        top = top->Parent();
    gSizeTrack.Window = std::make_unique<TControlWatch>(top);
    gSizeTrack.HitTest = HitTest;
    gSizeTrack.Start = Screen;
    gSizeTrack.StartBounds = top->BoundsRect();
}

bool SizeTrackMouse(bool Release, const TPoint& Screen)
{
    if (!gSizeTrack.Window)
        return false;
    auto* window = static_cast<TWinControl*>(gSizeTrack.Window->Get());
    if (!window || Release) {
        gSizeTrack.Window.reset();
        return window != nullptr;
    }
    const TRect r = SizedBounds(gSizeTrack.StartBounds, gSizeTrack.HitTest, Screen - gSizeTrack.Start);
    if (r != window->BoundsRect())
        window->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    return true;
}
