// TWinControl: children, the lazily made window, the non-client layout,
// focus, keys and painting into the back buffer; TCustomControl and
// TGraphicControl.
#include <algorithm>

#include <QCoreApplication>
#include <QWidget>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/QtWidgetHost.h"

namespace {

// Set while PaintTo paints the windowed children into the same picture
// (on the screen they paint themselves).
thread_local bool PaintingChildWindows = false;

struct TPaintCanvasScope {
    TCanvas*& Slot;
    TCanvas* Old;
    TPaintCanvasScope(TCanvas*& ASlot, TCanvas* Value) : Slot(ASlot), Old(ASlot) { Slot = Value; }
    ~TPaintCanvasScope() { Slot = Old; }
};

}  // namespace

TPoint WindowOrigin(TWinControl* Control)
{
    if (!Control->Parent())
        return TPoint{Control->Left(), Control->Top()} + Control->FrameOffset();
    return Control->Parent()->ClientOrigin() + TPoint{Control->Left(), Control->Top()};
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    // Children are freed by their owners; here they are only let go.
    while (!FControls.empty())
        RemoveControl(FControls.back());
    DestroyHandle();
}

// ---------------------------------------------------------------------------
// Children.

void TWinControl::InsertControl(TControl* AControl)
{
    if (!AControl || AControl->FParent == this)
        return;
    for (TWinControl* p = this; p; p = p->Parent())
        if (p == AControl)
            throw EInvalidOperation("A control cannot be put inside itself");
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (AControl->FParentFont && AControl->FFont) {
        AControl->FFontFromParent = true;
        AControl->FFont->Assign(Font());
        AControl->FFontFromParent = false;
    }
    if (AControl->FParentColor)
        AControl->ApplyColor(Color());
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(w);
        if (HandleAllocated() && w->Visible())
            w->HandleNeeded();
    }
    if (AControl->Align() != alNone || SizeFollowsChildren())
        Realign();
    if (AControl->Visible())
        InvalidateRect(AControl->BoundsRect());
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        TWinControl* f = FindFocusedControl();
        for (TWinControl* p = f; p; p = p->Parent())
            if (p == w) {
                SetFocusedControl(nullptr);
                break;
            }
        w->DestroyHandle();
    }
    if (GetCaptureControl() == AControl)
        SetCaptureControl(nullptr);
    if (HoverControl() == AControl)
        SetHoverControl(nullptr);
    const TRect r = AControl->BoundsRect();
    FControls.erase(it);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
    AControl->FParent = nullptr;
    if (AControl->Align() != alNone || SizeFollowsChildren())
        Realign();
    InvalidateRect(r);
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled, bool AllowWinControls)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled()))
            continue;
        if (!AllowWinControls && dynamic_cast<TWinControl*>(c))
            continue;
        if (c->BoundsRect().Contains(P))
            return c;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// The window.

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    if (!FHandle)
        CreateWnd();
}

void TWinControl::CreateWnd()
{
    if (!QCoreApplication::instance())
        throw EInvalidOperation("A window needs the application to be initialized");
    QWidget* parentWidget = FParent ? FParent->FHost : nullptr;
    FHost = new QtWidgetHost(this, parentWidget);
    if (!FParent && (GetCreateParams().WindowClassStyle & CS_DROPSHADOW) && TranslucentWindows()) {
        FHost->ShadowMargin = DropShadowSize;
        FHost->setAttribute(Qt::WA_OpaquePaintEvent, false);
        FHost->setAttribute(Qt::WA_TranslucentBackground);
    }
    FHandle = NewHandle(this);
    UpdateClientRect(true);
    UpdateHostGeometry();
    InvalidateWindowArea(TRegion::FromRect({0, 0, FWidth, FHeight}));
    if (!FParent)
        FHost->setWindowTitle(QString::fromStdString(Caption()));
    if (FParent)
        FHost->setVisible(FVisible);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (w->Visible())
                w->HandleNeeded();
}

void TWinControl::DestroyWnd()
{
    ReleaseHandle(FHandle);
    FHandle = 0;
    FUpdateRgn = TRegion();
    if (FHost) {
        QtWidgetHost* h = FHost;
        FHost = nullptr;
        h->Control = nullptr;
        delete h;
    }
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
    if (GetCaptureControl() == this)
        SetCaptureControl(nullptr);
    DestroyWnd();
}

void TWinControl::RecreateWnd()
{
    if (!FHandle) {
        FrameChanged();
        return;
    }
    const bool shown = FHost->isVisible();
    DestroyHandle();
    HandleNeeded();
    if (shown && !FParent)
        FHost->show();
}

bool TWinControl::Showing() const { return FHost && FHost->isVisible(); }

void TWinControl::SetWindowTitle(const String& Title)
{
    if (FHost && !FParent)
        FHost->setWindowTitle(QString::fromStdString(Title));
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D)
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

TCreateParams TWinControl::GetCreateParams()
{
    TCreateParams p;
    CreateParams(p);
    return p;
}

void TWinControl::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    FrameChanged();
}

void TWinControl::SetCtl3D(bool Value)
{
    if (FCtl3D == Value)
        return;
    FCtl3D = Value;
    FrameChanged();
}

TNonClientState& TWinControl::NonClient()
{
    if (!FNonClient)
        FNonClient = std::make_unique<TNonClientState>();
    return *FNonClient;
}

// ---------------------------------------------------------------------------
// Geometry and the non-client area.

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    if (FParent && FVisible)
        FParent->InvalidateRect(BoundsRect());
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateHostGeometry();
    if (sized) {
        UpdateClientRect(true);
        InvalidateWindowArea(TRegion::FromRect({0, 0, FWidth, FHeight}));
    }
    if (FParent && FVisible)
        FParent->InvalidateRect(BoundsRect());
    RequestAlign();
    if (sized)
        Resize();
}

void TWinControl::UpdateHostGeometry()
{
    if (!FHost)
        return;
    FHost->SettingGeometry = true;
    if (FParent) {
        // The parent's widget spans its whole window, its non-client area
        // included; the bounds are in its client coordinates.
        const TPoint o = FParent->ClientOffset();
        FHost->setGeometry(FLeft + o.X, FTop + o.Y, FWidth, FHeight);
    } else {
        // The toolkit places a window's frame at the corner it is given;
        // its report comes back later and is known by this list.
        if (FHost->pos() != QPoint(FLeft, FTop)) {
            if (FMovesAsked.size() >= 16)
                FMovesAsked.erase(FMovesAsked.begin());
            FMovesAsked.push_back({FLeft, FTop});
            FHost->move(FLeft, FTop);
        }
        FHost->resize(FWidth + FHost->ShadowMargin, FHeight + FHost->ShadowMargin);
    }
    FHost->SettingGeometry = false;
}

void TWinControl::HostResized(int AWidth, int AHeight)
{
    if (AWidth != FWidth || AHeight != FHeight)
        SetBounds(FLeft, FTop, AWidth, AHeight);
}

void TWinControl::UpdateClientRect(bool SendSize)
{
    TNCCalcSizeParams p;
    p.Rgrc[0] = BoundsRect();
    p.Rgrc[1] = p.Rgrc[0];
    p.Rgrc[2] = p.Rgrc[0];
    Perform(WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&p));
    TRect r = p.Rgrc[0];
    OffsetRect(r, -FLeft, -FTop);
    r.Left = std::clamp(r.Left, 0, FWidth);
    r.Top = std::clamp(r.Top, 0, FHeight);
    r.Right = std::clamp(r.Right, r.Left, FWidth);
    r.Bottom = std::clamp(r.Bottom, r.Top, FHeight);
    const bool changed = !FClientKnown || r.Width() != FClientInWindow.Width() ||
                         r.Height() != FClientInWindow.Height();
    const bool moved = r != FClientInWindow;
    FClientInWindow = r;
    FClientKnown = true;
    // A client area that moved or changed its size shows nothing of the
    // old picture where it should.
    if (moved) {
        InvalidateWindowArea(TRegion::FromRect({0, 0, FWidth, FHeight}));
        // Windowed children move with the client area's corner.
        for (TControl* c : FControls)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateHostGeometry();
    }
    if (changed && SendSize) {
        Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(r.Width(), r.Height()));
        Realign();
    }
}

void TWinControl::FrameChanged()
{
    UpdateClientRect(true);
    InvalidateWindowArea(TRegion::FromRect({0, 0, FWidth, FHeight}).Subtracted(TRegion::FromRect(FClientInWindow)));
}

TRect TWinControl::ClientRect()
{
    if (!FClientKnown)
        UpdateClientRect(false);
    return {0, 0, FClientInWindow.Width(), FClientInWindow.Height()};
}

TPoint TWinControl::ClientOffset()
{
    if (!FClientKnown)
        UpdateClientRect(false);
    return FClientInWindow.TopLeft();
}

TPoint TWinControl::ClientOrigin() { return WindowOrigin(this) + ClientOffset(); }

TRect TWinControl::ClientInWindow()
{
    if (!FClientKnown)
        UpdateClientRect(false);
    return FClientInWindow;
}

void TWinControl::DefaultNCCalcSize(TMessage& Message)
{
    TRect& r = Message.CalcSizeParams()->Rgrc[0];
    const TCreateParams cp = GetCreateParams();
    int border = 0;
    if (cp.ExStyle & WS_EX_CLIENTEDGE)
        border = 2;
    else if (cp.Style & WS_BORDER)
        border = 1;
    r.Left += border;
    r.Top += border;
    r.Right -= border;
    r.Bottom -= border;
    if (FNonClient)
        FNonClient->BorderWidth = border;
    if (!FNonClient)
        return;
    TNonClientState& nc = *FNonClient;
    nc.VBar = {};
    nc.HBar = {};
    const bool v = nc.Bars[SB_VERT].Visible;
    const bool h = nc.Bars[SB_HORZ].Visible;
    // In window coordinates: the parent-relative rectangle less the origin.
    const int ox = r.Left - FLeft;
    const int oy = r.Top - FTop;
    const int w = std::max(0, r.Width());
    const int hgt = std::max(0, r.Height());
    const int vw = v ? std::min(ScrollBarSize, w) : 0;
    const int hh = h ? std::min(ScrollBarSize, hgt) : 0;
    if (v)
        nc.VBar = {ox + w - vw, oy, ox + w, oy + hgt - hh};
    if (h)
        nc.HBar = {ox, oy + hgt - hh, ox + w - vw, oy + hgt};
    r.Right -= vw;
    r.Bottom -= hh;
}

void TWinControl::DefaultNCHitTest(TMessage& Message)
{
    const TPoint p = Message.Pos() - WindowOrigin(this);
    if (!TRect(0, 0, FWidth, FHeight).Contains(p))
        Message.Result = HTNOWHERE;
    else if ((void)ClientRect(), FClientInWindow.Contains(p))
        Message.Result = HTCLIENT;
    else if (FNonClient && FNonClient->VBar.Contains(p))
        Message.Result = HTVSCROLL;
    else if (FNonClient && FNonClient->HBar.Contains(p))
        Message.Result = HTHSCROLL;
    else
        Message.Result = HTBORDER;
}

void TWinControl::DefaultNCPaint(TCanvas* Canvas)
{
    const TCreateParams cp = GetCreateParams();
    if (cp.ExStyle & WS_EX_CLIENTEDGE) {
        Canvas->Brush()->SetColor(clBtnShadow);
        Canvas->FrameRect({0, 0, FWidth, FHeight});
        Canvas->Brush()->SetColor(clBtnHighlight);
        Canvas->FrameRect({1, 1, FWidth - 1, FHeight - 1});
    } else if (cp.Style & WS_BORDER) {
        Canvas->Brush()->SetColor(clWindowFrame);
        Canvas->FrameRect({0, 0, FWidth, FHeight});
    }
    if (FNonClient)
        DrawScrollBars(this, Canvas);
}

// ---------------------------------------------------------------------------
// Alignment, in the class library's order: top, bottom, left, right, client.

void TWinControl::AlignChildren(TControl* AControl)
{
    if (FAlignLevel > 0 || FAligning)
        return;
    FAligning = true;
    try {
        TRect r = ClientRect();
        AlignControls(AControl, r);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TWinControl::Realign() { AlignChildren(nullptr); }

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    static constexpr TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Visible() && c->Align() == a)
                list.push_back(c);
        auto key = [a](TControl* c) {
            switch (a) {
            case alTop: return c->Top();
            case alBottom: return -(c->Top() + c->Height());
            case alLeft: return c->Left();
            case alRight: return -(c->Left() + c->Width());
            default: return 0;
            }
        };
        // On a tie the control that asked for the alignment goes first.
        std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
            const int kx = key(x), ky = key(y);
            return kx < ky || (kx == ky && x == AControl && y != AControl);
        });
        for (TControl* c : list) {
            switch (a) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
                Rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
                Rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
                Rect.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
                Rect.Right -= c->Width();
                break;
            default:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Visibility, focus, keys.

void TWinControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    TControl::SetVisible(Value);
    if (Value) {
        if (!FParent || FParent->HandleAllocated()) {
            HandleNeeded();
            FHost->show();
        }
    } else {
        if (FHost)
            FHost->hide();
        TWinControl* f = FindFocusedControl();
        if (f && ContainsControl(f))
            SetFocusedControl(nullptr);
    }
}

void TWinControl::SetParent(TWinControl* AParent) { TControl::SetParent(AParent); }

bool TWinControl::CanFocus()
{
    for (TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const { return FindFocusedControl() == this; }

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    SetFocusedControl(this);
}

void TWinControl::DoEnter()
{
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit()
{
    if (OnExit) OnExit(this);
}
void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(WideChar& Key)
{
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        Word key = Message.CharCode();
        const TShiftState shift = KeyDataToShiftState(Message.KeyData());
        // The form sees a key before and after the control: shortcuts and
        // key preview first, Enter and Escape for its buttons last.
        TCustomForm* form = GetParentForm(this);
        TControlWatch formWatch(form);
        TControlWatch selfWatch(this);
        if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) {
            // What the control wants of the keys a dialog uses itself.
            const LRESULT wants = Perform(WM_GETDLGCODE, Message.WParam, 0);
            if (!selfWatch)
                return;
            if (form)
                form->KeyBeforeControl(this, key, shift);
            if (!selfWatch)
                return;
            // Tab and Shift+Tab move the focus on the form, unless the
            // control takes them.
            if (key == VK_TAB && form && formWatch && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) &&
                !(wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
                key = 0;
                NoteDialogKeyTaken();
                const bool forward = !shift.Contains(ssShift);
                if (TWinControl* next = form->FindNextControl(this, forward, true, false))
                    SetFocusedControl(next, forward ? TFocusCause::Tab : TFocusCause::BackTab);
                if (!selfWatch)
                    return;
            }
            if (key)
                KeyDown(key, shift);
            if (key && formWatch && selfWatch && !(wants & DLGC_WANTALLKEYS))
                form->KeyAfterControl(this, key, shift);
            if (!selfWatch)
                return;
        } else {
            if (form)
                form->KeyUpPreview(this, key, shift);
            if (key)
                KeyUp(key, shift);
        }
        Message.SetCharCode(key);
        if (key == 0)
            Message.Result = 0;
        else
            DefaultHandler(Message);
        return;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
        WideChar ch = WideChar(Message.CharCode());
        // Alt and a letter: the accelerator of the form's menu first.
        if (Message.Msg == WM_SYSCHAR)
            if (TCustomForm* form = GetParentForm(this); form && form->IsMenuKey(ch)) {
                Message.Result = 0;
                return;
            }
        KeyPress(ch);
        Message.SetCharCode(ch);
        if (ch != 0)
            DefaultHandler(Message);
        return;
    }
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_TEXTCHANGED: SetWindowTitle(Caption()); return;
    default: TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE: DefaultNCCalcSize(Message); return;
    case WM_NCHITTEST: DefaultNCHitTest(Message); return;
    case WM_NCPAINT:
        if (Message.DC())
            DefaultNCPaint(Message.DC());
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:  // a second press on a scroll bar scrolls again
        if (Message.HitTest() == HTVSCROLL || Message.HitTest() == HTHSCROLL)
            ScrollBarMouseDown(this, Message.HitTest(), Message.Pos());
        else if (Message.HitTest() >= HTSIZEFIRST && Message.HitTest() <= HTSIZELAST)
            SizeTrackStart(this, Message.HitTest(), Message.Pos());
        return;
    case WM_SYSTIMER:
        if (Message.TimerID() == ScrollRepeatTimer)
            ScrollBarRepeat(this);
        return;
    case WM_ERASEBKGND:
        if (TCanvas* c = Message.DC()) {
            c->Brush()->SetColor(Color());
            c->FillRect(ClientRect());
        }
        Message.Result = 1;
        return;
    case WM_PAINT:
        if (TCanvas* c = Message.DC())
            PaintControls(c);
        return;
    case WM_SETCURSOR: {
        if (!FHost)
            return;
        if (const int hit = Message.CursorHitTest(); hit >= HTSIZEFIRST && hit <= HTSIZELAST) {
            // The sizing codes show the arrow along the edges they move.
            static constexpr TCursor Sizing[] = {crSizeWE,   crSizeWE,   crSizeNS,   crSizeNWSE,
                                                 crSizeNESW, crSizeNS,   crSizeNESW, crSizeNWSE};
            ApplyQtCursor(FHost, Sizing[hit - HTSIZEFIRST]);
            Message.Result = 1;
            return;
        }
        if (Message.CursorHitTest() != HTCLIENT) {
            // The frame shows the arrow, whatever a handler chose before.
            ApplyQtCursor(FHost, crDefault);
            Message.Result = 1;
            return;
        }
        TCursor cur = Cursor();
        const TPoint p = ScreenToClient(GetCursorPos());
        if (TControl* c = ControlAtPos(p))
            if (c->Cursor() != crDefault)
                cur = c->Cursor();
        if (Screen && Screen->Cursor() != crDefault)
            cur = Screen->Cursor();
        ApplyQtCursor(FHost, cur);
        Message.Result = 1;
        return;
    }
    case WM_SETREDRAW:
        FRedraw = Message.WParam != 0;
        // What changed meanwhile (scroll bars included) was not recorded.
        if (FRedraw)
            InvalidateWindowArea(TRegion::FromRect({0, 0, FWidth, FHeight}));
        return;
    case WM_GETDLGCODE: Message.Result = 0; return;
    default: TControl::DefaultHandler(Message);
    }
}

// ---------------------------------------------------------------------------
// Painting.

void TWinControl::Invalidate()
{
    if (FHost && FRedraw)
        InvalidateWindowRect(ClientInWindow());
}

void TWinControl::InvalidateRect(const TRect& R)
{
    if (!FHost || !FRedraw)
        return;
    TRect r = R;
    IntersectRect(r, r, ClientRect());
    const TPoint o = ClientOffset();
    OffsetRect(r, o.X, o.Y);
    if (!r.IsEmpty())
        InvalidateWindowRect(r);
}

void TWinControl::InvalidateWindowArea(const TRegion& Area)
{
    if (!FHost || !FRedraw)
        return;
    if (Area.Kind() == SIMPLEREGION) {
        InvalidateWindowRect(Area.Bounds());
        return;
    }
    const TRegion a = Area.Intersected(TRegion::FromRect({0, 0, FWidth, FHeight}));
    if (a.IsEmpty())
        return;
    FUpdateRgn = FUpdateRgn.United(a);
    PresentArea(a.Bounds());
}

void TWinControl::InvalidateWindowRect(TRect R)
{
    if (!FHost || !FRedraw || !IntersectRect(R, R, TRect{0, 0, FWidth, FHeight}))
        return;
    // A window invalid as a whole stays one rectangle: a tree whose rows
    // change one by one invalidates all of it again and again, which then
    // adds nothing.
    TRect held;
    if (FUpdateRgn.Kind() != SIMPLEREGION || !IntersectRect(held, FUpdateRgn.Bounds(), R) || !(held == R))
        FUpdateRgn = FUpdateRgn.United(TRegion::FromRect(R));
    PresentArea(R);
}

void TWinControl::ValidateWindowArea(const TRegion& Area) { FUpdateRgn = FUpdateRgn.Subtracted(Area); }

void TWinControl::PresentArea(const TRect& R)
{
    if (FHost && !R.IsEmpty())
        FHost->update(R.Left, R.Top, R.Width(), R.Height());
}

void TWinControl::PresentAreaNow(const TRect& R)
{
    if (FHost && FHost->isVisible() && !R.IsEmpty())
        FHost->repaint(R.Left, R.Top, R.Width(), R.Height());
}

void TWinControl::Update()
{
    if (!FHost || FUpdateRgn.IsEmpty())
        return;
    if (FHost->isVisible())
        FHost->repaint(FUpdateRgn.Qt());
    // A window the system does not show (minimised, or no screen at all)
    // gets no paint event; its picture is still brought up to date.
    if (!FUpdateRgn.IsEmpty())
        PaintWindowBuffer();
}

void TWinControl::PaintControls(TCanvas* Canvas)
{
    for (TControl* c : FControls) {
        if (!c->Visible() || dynamic_cast<TWinControl*>(c) || !Canvas->RectVisible(c->BoundsRect()))
            continue;
        const int saved = Canvas->SaveDC();
        const TPoint vp = Canvas->ViewportOrg();
        Canvas->SetViewportOrg(vp.X + c->Left(), vp.Y + c->Top());
        Canvas->IntersectClipRect({0, 0, c->Width(), c->Height()});
        c->PaintControl(Canvas);
        Canvas->RestoreDC(saved);
    }
}

void TWinControl::PaintControl(TCanvas* Canvas) { PaintWindow(Canvas, nullptr); }

namespace {

// Clips Canvas to Area (device pixels) within the clip it has.
void ClipTo(TCanvas* Canvas, const TRegion& Area)
{
    const TRegion r = Canvas->HasClipRegion() ? Canvas->ClipRegion().Intersected(Area) : Area;
    Canvas->SelectClipRgn(&r);
}

}  // namespace

void TWinControl::PaintWindow(TCanvas* Canvas, const TRegion* Area)
{
    TPaintCanvasScope scope(FPaintCanvas, Canvas);
    const TRect window{0, 0, FWidth, FHeight};
    const TRect client = ClientInWindow();
    // Area in the canvas's device pixels.
    const TPoint origin = Canvas->LogicalToDevice({0, 0});
    auto device = [&](TRegion R) {
        R.Offset(origin.X, origin.Y);
        return R;
    };
    const TRegion whole = TRegion::FromRect(window);
    const TRegion nonClient = (Area ? Area->Intersected(whole) : whole).Subtracted(TRegion::FromRect(client));
    if (!nonClient.IsEmpty()) {
        const int saved = Canvas->SaveDC();
        ClipTo(Canvas, device(nonClient));
        Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(Canvas));
        Canvas->RestoreDC(saved);
    }

    const TRegion clientArea = Area ? Area->Intersected(TRegion::FromRect(client)) : TRegion::FromRect(client);
    if (clientArea.IsEmpty())
        return;
    const int saved = Canvas->SaveDC();
    ClipTo(Canvas, device(clientArea));
    const TPoint vp = Canvas->ViewportOrg();
    Canvas->SetViewportOrg(vp.X + client.Left, vp.Y + client.Top);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(Canvas));
    if (PaintingChildWindows) {
        for (TControl* c : FControls) {
            auto* w = dynamic_cast<TWinControl*>(c);
            if (!w || !w->Visible())
                continue;
            const int s = Canvas->SaveDC();
            const TPoint v = Canvas->ViewportOrg();
            Canvas->SetViewportOrg(v.X + w->Left(), v.Y + w->Top());
            w->PaintControl(Canvas);
            Canvas->RestoreDC(s);
        }
    }
    Canvas->RestoreDC(saved);
}

void TWinControl::FitBackBuffer()
{
    if (!FBackBuffer)
        FBackBuffer = std::make_unique<TBitmap>();
    if (FBackBuffer->Width() != FWidth || FBackBuffer->Height() != FHeight) {
        FBackBuffer->SetSize(FWidth, FHeight);
        FUpdateRgn = TRegion::FromRect({0, 0, FWidth, FHeight});
    }
}

void TWinControl::PaintWindowBuffer()
{
    FitBackBuffer();
    const TRegion area = FUpdateRgn.Intersected(TRegion::FromRect({0, 0, FWidth, FHeight}));
    FUpdateRgn = TRegion();
    if (area.IsEmpty())
        return;
    const bool old = PaintingChildWindows;
    PaintingChildWindows = false;
    try {
        PaintWindow(FBackBuffer->Canvas(), &area);
    } catch (...) {
        PaintingChildWindows = old;
        throw;
    }
    PaintingChildWindows = old;
}

void TWinControl::PaintTo(TBitmap* Bitmap)
{
    Bitmap->SetSize(FWidth, FHeight);
    const bool old = PaintingChildWindows;
    PaintingChildWindows = true;
    try {
        PaintControl(Bitmap->Canvas());
    } catch (...) {
        PaintingChildWindows = old;
        throw;
    }
    PaintingChildWindows = old;
}

// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && Message.DC()) {
        Paint();
        PaintControls(Message.DC());
        return;
    }
    TWinControl::Dispatch(Message);
}

TCanvas* TCustomControl::Canvas()
{
    if (PaintCanvas())
        return PaintCanvas();
    if (!FBackBuffer) {
        FBackBuffer = std::make_unique<TBitmap>();
        FBackBuffer->SetSize(Width(), Height());
    }
    return FBackBuffer->Canvas();
}

void TCustomControl::Paint() {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Paint() {}

void TGraphicControl::PaintControl(TCanvas* Canvas)
{
    TCanvas* old = FCanvas;
    FCanvas = Canvas;
    try {
        Paint();
    } catch (...) {
        FCanvas = old;
        throw;
    }
    FCanvas = old;
}
