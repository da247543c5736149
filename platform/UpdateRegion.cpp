// The update region by handle: invalidating, validating and asking for it,
// RedrawWindow, and BeginPaint/EndPaint inside and outside a paint.
#include "platform/Controls.h"
#include "platform/Graphics.h"

namespace {

TRegion WindowRect(TWinControl* C) { return TRegion::FromRect({0, 0, C->Width(), C->Height()}); }

// R (client coordinates) in window coordinates.
TRegion ClientToWindow(TWinControl* C, TRegion R)
{
    const TPoint o = C->ClientOffset();
    R.Offset(o.X, o.Y);
    return R;
}

void Redraw(TWinControl* C, TRegion Area, UINT Flags)
{
    Area = Area.Intersected((Flags & RDW_FRAME) ? WindowRect(C) : TRegion::FromRect(C->ClientInWindow()));
    if (Flags & RDW_INVALIDATE)
        C->InvalidateWindowArea(Area);
    else if (Flags & RDW_VALIDATE)
        C->ValidateWindowArea(Area);
    if (Flags & RDW_ALLCHILDREN) {
        const TPoint o = C->ClientOffset();
        for (int i = 0; i < C->ControlCount(); ++i) {
            auto* w = dynamic_cast<TWinControl*>(C->Controls(i));
            if (!w || !w->HandleAllocated())
                continue;
            TRegion a = Area;
            a.Offset(-(o.X + w->Left()), -(o.Y + w->Top()));
            if (!a.Intersected(WindowRect(w)).IsEmpty())
                Redraw(w, a, Flags);
        }
    }
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW))
        C->Update();
}

}  // namespace

bool InvalidateRect(HWND Handle, const TRect* R, bool)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    if (R)
        c->InvalidateRect(*R);
    else
        c->Invalidate();
    return true;
}

bool ValidateRect(HWND Handle, const TRect* R)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    const TRegion client = TRegion::FromRect(c->ClientInWindow());
    c->ValidateWindowArea(R ? ClientToWindow(c, TRegion::FromRect(*R)).Intersected(client) : client);
    return true;
}

bool GetUpdateRect(HWND Handle, TRect* R, bool)
{
    TWinControl* c = FindControl(Handle);
    TRect box;
    if (c) {
        const TRect client = c->ClientInWindow();
        box = c->UpdateRegion().Intersected(TRegion::FromRect(client)).Bounds();
        if (!box.IsEmpty())
            OffsetRect(box, -client.Left, -client.Top);
    }
    if (R)
        *R = box;
    return !box.IsEmpty();
}

bool UpdateWindow(HWND Handle)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    c->Update();
    return true;
}

bool RedrawWindow(HWND Handle, const TRect* R, const TRegion* Rgn, UINT Flags)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    TRegion area;
    if (R)
        area = ClientToWindow(c, TRegion::FromRect(*R));
    else if (Rgn)
        area = ClientToWindow(c, *Rgn);
    else
        area = WindowRect(c);
    Redraw(c, area, Flags);
    return true;
}

TCanvas* BeginPaint(HWND Handle, TPaintStruct& Paint)
{
    Paint = TPaintStruct();
    TWinControl* c = FindControl(Handle);
    if (!c)
        return nullptr;
    Paint.hdc = c->BeginWindowPaint(Paint.rcPaint, Paint.fErase);
    return Paint.hdc;
}

bool EndPaint(HWND Handle, const TPaintStruct& Paint)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    c->EndWindowPaint(Paint.rcPaint);
    return true;
}

// ---------------------------------------------------------------------------

TCanvas* TWinControl::BeginWindowPaint(TRect& Paint, bool& Erase)
{
    Erase = false;
    if (FPaintCanvas) {
        // Inside WM_PAINT: the paint in progress, validated when it began.
        Paint = FPaintCanvas->ClipRect();
        return FPaintCanvas;
    }
    FitBackBuffer();
    const TRect client = ClientInWindow();
    const TRegion area = FUpdateRgn.Intersected(TRegion::FromRect(client));
    FUpdateRgn = FUpdateRgn.Subtracted(area);
    TCanvas* c = FBackBuffer->Canvas();
    FOutsidePaintSaved = c->SaveDC();
    c->SetWindowOrg(0, 0);
    c->SetViewportOrg(client.Left, client.Top);
    c->SelectClipRgn(&area);
    FPaintCanvas = c;
    Paint = area.IsEmpty() ? TRect() : c->ClipRect();
    if (!area.IsEmpty())
        Erase = Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(c)) == 0;
    return c;
}

void TWinControl::EndWindowPaint(const TRect& Paint)
{
    if (!FOutsidePaintSaved || !FBackBuffer)
        return;
    FBackBuffer->Canvas()->RestoreDC(FOutsidePaintSaved);
    FOutsidePaintSaved = 0;
    FPaintCanvas = nullptr;
    TRect r = Paint;
    const TPoint o = ClientOffset();
    OffsetRect(r, o.X, o.Y);
    PresentArea(r);
}
