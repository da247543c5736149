// Panel, shape, image, paint box, splitter and radio group.
#include <algorithm>

#include "platform/ExtCtrls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Exceptions.h"

// ---------------------------------------------------------------------------
// TPanel

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->Brush()->SetStyle(bsSolid);
    for (int i = 0; i < Width && Rect.Width() > 0 && Rect.Height() > 0; ++i) {
        Canvas->Brush()->SetColor(TopColor);
        Canvas->FillRect({Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1});
        Canvas->FillRect({Rect.Left, Rect.Top, Rect.Left + 1, Rect.Bottom});
        Canvas->Brush()->SetColor(BottomColor);
        Canvas->FillRect({Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom});
        Canvas->FillRect({Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom});
        Rect.Left += 1;
        Rect.Top += 1;
        Rect.Right -= 1;
        Rect.Bottom -= 1;
    }
}

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    FControlStyle.Include(csOpaque);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TPanel::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(Value, 1);
    Realign();
    Invalidate();
}

void TPanel::SetBorderWidth(int Value)
{
    FBorderWidth = std::max(Value, 0);
    Realign();
    Invalidate();
}

void TPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TPanel::SetShowCaption(bool Value)
{
    FShowCaption = Value;
    Invalidate();
}

TRect TPanel::InnerRect()
{
    TRect r = ClientRect();
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    r.Left += inset;
    r.Top += inset;
    r.Right = std::max(r.Left, r.Right - inset);
    r.Bottom = std::max(r.Top, r.Bottom - inset);
    return r;
}

void TPanel::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (Value)
        Realign();
}

bool TPanel::ChildrenSize(int& AWidth, int& AHeight)
{
    int right = 0;
    int bottom = 0;
    bool any = false;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        any = true;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (!any)
        return false;
    const TRect client = ClientRect();
    const TRect inner = InnerRect();
    // The border and bevels on the far sides, and the non-client frame.
    AWidth = right + (client.Right - inner.Right) + (Width() - client.Width());
    AHeight = bottom + (client.Bottom - inner.Bottom) + (Height() - client.Height());
    return true;
}

void TPanel::AlignControls(TControl* AControl, TRect& Rect)
{
    AlignInner(AControl, Rect);
    int w = 0;
    int h = 0;
    if (!FAutoSize || !ChildrenSize(w, h) || (w == Width() && h == Height()))
        return;
    SetBounds(Left(), Top(), w, h);
    // Children aligned to the panel follow its new size.
    TRect r = ClientRect();
    AlignInner(AControl, r);
}

void TPanel::AlignInner(TControl* AControl, TRect& Rect)
{
    const TRect inner = InnerRect();
    const TRect client = ClientRect();
    Rect.Left += inner.Left - client.Left;
    Rect.Top += inner.Top - client.Top;
    Rect.Right -= client.Right - inner.Right;
    Rect.Bottom -= client.Bottom - inner.Bottom;
    Rect.Right = std::max(Rect.Left, Rect.Right);
    Rect.Bottom = std::max(Rect.Top, Rect.Bottom);
    TCustomControl::AlignControls(AControl, Rect);
}

void TPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    auto bevel = [&](TBevelCut Cut) {
        if (Cut == bvNone)
            return;
        if (Cut == bvSpace) {
            r.Left += FBevelWidth;
            r.Top += FBevelWidth;
            r.Right -= FBevelWidth;
            r.Bottom -= FBevelWidth;
            return;
        }
        const bool raised = Cut == bvRaised;
        Frame3D(c, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, FBevelWidth);
    };
    bevel(FBevelOuter);
    r.Left += FBorderWidth;
    r.Top += FBorderWidth;
    r.Right -= FBorderWidth;
    r.Bottom -= FBorderWidth;
    bevel(FBevelInner);
    if (!FShowCaption || Caption().empty())
        return;
    c->SetFont(Font());
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (FAlignment == taCenter)
        flags |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    c->DrawText(Caption(), r, flags);
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape()
{
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::SetShape(TShapeType Value)
{
    if (FShape != Value) {
        FShape = Value;
        Invalidate();
    }
}

void TShape::Paint()
{
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    // The pen's middle runs half its width inside the bounds.
    const int pw = FPen->Width();
    int x = pw / 2;
    int y = x;
    int w = Width() - pw + 1;
    int h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: {
        const int s = std::min(w, h) / 4;
        c->RoundRect(x, y, x + w, y + h, s, s);
        break;
    }
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TPicture, TImage

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        FBitmap.reset();
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p == this)
            return;
        if (p->FBitmap) {
            Bitmap()->Assign(p->FBitmap.get());
        } else {
            FBitmap.reset();
        }
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        SetBitmap(b);
        return;
    }
    TPersistent::Assign(Source);
}

TBitmap* TPicture::Bitmap()
{
    if (!FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        // Drawing on the picture's bitmap changes the picture.
        FBitmap->OnChange = [this](TObject*) { Changed(); };
    }
    return FBitmap.get();
}

void TPicture::SetBitmap(TBitmap* Value)
{
    if (!Value)
        FBitmap.reset();
    else if (Value != FBitmap.get())
        Bitmap()->Assign(Value);
    Changed();
}

int TPicture::Width() const { return FBitmap ? FBitmap->Width() : 0; }
int TPicture::Height() const { return FBitmap ? FBitmap->Height() : 0; }

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::PictureChanged()
{
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value)
{
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    FTransparent = Value;
    Invalidate();
}

void TImage::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    PictureChanged();
}

TRect TImage::DestRect()
{
    const int pw = FPicture->Width();
    const int ph = FPicture->Height();
    const int cw = Width();
    const int ch = Height();
    if (pw <= 0 || ph <= 0)
        return {};
    int w = pw;
    int h = ph;
    if (FStretch) {
        if (FProportional) {
            // Fit inside, keeping the ratio; computed in 64 bits.
            if (std::int64_t(cw) * ph <= std::int64_t(ch) * pw) {
                w = cw;
                h = int(std::int64_t(cw) * ph / pw);
            } else {
                h = ch;
                w = int(std::int64_t(ch) * pw / ph);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (FCenter)
        OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty())
        return;
    const bool old = g->Transparent();
    g->SetTransparent(FTransparent);
    Canvas()->StretchDraw(DestRect(), g);
    g->SetTransparent(old);
}

// ---------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint()
{
    Canvas()->SetFont(Font());
    Canvas()->Brush()->SetColor(Color());
    if (OnPaint)
        OnPaint(this);
}

// ---------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    SetParentColor(true);
    FControlStyle.Exclude(csClickEvents);
}

void TSplitter::AlignChanged() { SetCursor(Horizontal() ? crHSplit : crVSplit); }

void TSplitter::Dispatch(TMessage& Message)
{
    // The alignment may have changed since the cursor was chosen.
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == WM_SETCURSOR)
        AlignChanged();
    TGraphicControl::Dispatch(Message);
    if (Message.Msg == WM_CANCELMODE)
        FDragging = false;
}

void TSplitter::SetBeveled(bool Value)
{
    FBeveled = Value;
    Invalidate();
}

TControl* TSplitter::FindControl()
{
    TWinControl* p = Parent();
    if (!p)
        return nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        bool touches = false;
        switch (Align()) {
        case alLeft: touches = c->Left() + c->Width() == Left(); break;
        case alRight: touches = c->Left() == Left() + Width(); break;
        case alTop: touches = c->Top() + c->Height() == Top(); break;
        case alBottom: touches = c->Top() == Top() + Height(); break;
        default: break;
        }
        if (touches)
            return c;
    }
    return nullptr;
}

int TSplitter::ControlSize(TControl* C) const { return Horizontal() ? C->Width() : C->Height(); }

int TSplitter::MaxSize(TControl* C)
{
    TWinControl* p = Parent();
    const bool h = Horizontal();
    // What the parent has across, less MinSize left for the rest, less every
    // other control aligned on the same axis (this splitter included).
    int m = (h ? p->ClientWidth() : p->ClientHeight()) - FMinSize;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (!c->Visible())
            continue;
        const TAlign a = c->Align();
        if (h && (a == alLeft || a == alRight))
            m -= c->Width();
        else if (!h && (a == alTop || a == alBottom))
            m -= c->Height();
    }
    return m + ControlSize(C);
}

bool TSplitter::DoCanResize(int& NewSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, NewSize, accept);
    return accept;
}

void TSplitter::ApplySize(TControl* C, int NewSize)
{
    switch (Align()) {
    case alLeft: C->SetWidth(NewSize); break;
    case alTop: C->SetHeight(NewSize); break;
    case alRight: C->SetBounds(C->Left() + C->Width() - NewSize, C->Top(), NewSize, C->Height()); break;
    case alBottom: C->SetBounds(C->Left(), C->Top() + C->Height() - NewSize, C->Width(), NewSize); break;
    default: break;
    }
    if (TWinControl* p = Parent())
        p->Realign();
}

bool TSplitter::MoveBy(int Delta)
{
    TControl* c = FDragging ? FDragControl : FindControl();
    if (!c)
        return false;
    const int start = FDragging ? FStartSize : ControlSize(c);
    const bool grows = Align() == alLeft || Align() == alTop;
    const int asked = start + (grows ? Delta : -Delta);
    const int max = std::max(0, MaxSize(c));
    // Within MinSize .. MaxSize; a drag below MinSize closes the control
    // with AutoSnap. A parent too small for MinSize leaves what there is.
    int s = std::min(std::max(asked, FMinSize), max);
    if (FAutoSnap && asked < FMinSize)
        s = 0;
    if (!DoCanResize(s))
        return false;
    s = std::clamp(s, 0, max);
    if (s == ControlSize(c))
        return false;
    TControlWatch watch(this);
    ApplySize(c, s);
    if (watch && OnMoved)
        OnMoved(this);
    return true;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    AlignChanged();
    FDragControl = FindControl();
    if (!FDragControl)
        return;
    FDragging = true;
    FStartSize = ControlSize(FDragControl);
    FStartPos = Horizontal() ? X + Left() : Y + Top();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging || FResizeStyle == rsNone)
        return;
    const int pos = Horizontal() ? X + Left() : Y + Top();
    MoveBy(pos - FStartPos);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FDragging && Button == mbLeft) {
        const int pos = Horizontal() ? X + Left() : Y + Top();
        if (FResizeStyle != rsNone)
            MoveBy(pos - FStartPos);
        FDragging = false;
        FDragControl = nullptr;
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSplitter::Paint()
{
    TCanvas* c = Canvas();
    TRect r{0, 0, Width(), Height()};
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (FBeveled) {
        if (Horizontal())
            r = {r.Left + 1, r.Top, r.Right - 1, r.Bottom};
        else
            r = {r.Left, r.Top + 1, r.Right, r.Bottom - 1};
        Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    }
}

// ---------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), FItems(std::make_unique<TStringList>())
{
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TRadioGroup::~TRadioGroup() { FItems->OnChange = nullptr; }

void TRadioGroup::BeforeDestruction()
{
    // The buttons go with us; they are not to call back while they do.
    for (TRadioButton* b : FButtons)
        b->OnClick = nullptr;
    FButtons.clear();
    TGroupBox::BeforeDestruction();
}

void TRadioGroup::Notification(TComponent* AComponent, TOperation Operation)
{
    TGroupBox::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), AComponent), FButtons.end());
}

void TRadioGroup::Dispatch(TMessage& Message)
{
    TGroupBox::Dispatch(Message);
    if (Message.Msg == WM_SIZE)
        ArrangeButtons();
}

void TRadioGroup::SetItems(TStrings* Value)
{
    if (Value)
        FItems->Assign(*Value);
}

void TRadioGroup::SetColumns(int Value)
{
    FColumns = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::ItemsChanged()
{
    FUpdating = true;
    while (int(FButtons.size()) > FItems->Count()) {
        TRadioButton* b = FButtons.back();
        FButtons.pop_back();
        delete b;
    }
    while (int(FButtons.size()) < FItems->Count()) {
        auto* b = Create<TRadioButton>(this);
        // Told when a button is freed by anyone but us.
        b->FreeNotification(this);
        b->OnClick = [this, b](TObject*) { ButtonClick(b); };
        b->SetParent(this);
        FButtons.push_back(b);
    }
    for (int i = 0; i < FItems->Count(); ++i)
        FButtons[std::size_t(i)]->SetCaption(FItems->Get(i));
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    for (int i = 0; i < int(FButtons.size()); ++i)
        FButtons[std::size_t(i)]->SetChecked(i == FItemIndex);
    FUpdating = false;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons()
{
    if (FButtons.empty())
        return;
    const int n = int(FButtons.size());
    const int rows = (n + FColumns - 1) / FColumns;
    const TRect client = ClientRect();
    const int top = 16;
    const int w = std::max(0, (client.Width() - 10) / FColumns);
    const int h = std::max(1, (client.Height() - top - 4) / std::max(rows, 1));
    for (int i = 0; i < n; ++i) {
        const int col = i / rows;
        const int row = i % rows;
        FButtons[std::size_t(i)]->SetBounds(8 + col * w, top + row * h, w, std::min(h, 24));
    }
}

void TRadioGroup::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (Value == FItemIndex)
        return;
    if (Value < 0) {
        FItemIndex = -1;
        FUpdating = true;
        for (TRadioButton* b : FButtons)
            b->SetChecked(false);
        FUpdating = false;
        return;
    }
    // The button's click reports the change.
    FButtons[std::size_t(Value)]->SetChecked(true);
}

void TRadioGroup::ButtonClick(TRadioButton* Button)
{
    if (FUpdating || !Button->Checked())
        return;
    const auto it = std::find(FButtons.begin(), FButtons.end(), Button);
    if (it == FButtons.end())
        return;
    FItemIndex = int(it - FButtons.begin());
    Click();
}
