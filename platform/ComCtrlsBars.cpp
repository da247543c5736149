// Status bar, tool bar and tool buttons, up-down buttons.
#include <algorithm>
#include <limits>

#include "platform/ComCtrls.h"
#include "platform/ActnList.h"
#include "platform/Graphics.h"

// ---------------------------------------------------------------------------
// Status bar

void TStatusPanel::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    FBar->PanelChanged();
}

void TStatusPanel::SetWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FWidth == Value)
        return;
    FWidth = Value;
    FBar->PanelChanged();
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (FBevel == Value)
        return;
    FBevel = Value;
    FBar->PanelChanged();
}

int TStatusPanel::Index() const { return FBar->Panels()->IndexOf(this); }

TStatusPanel* TStatusPanels::Add()
{
    FItems.push_back(std::make_unique<TStatusPanel>(FBar));
    FBar->PanelChanged();
    return FItems.back().get();
}

TStatusPanel* TStatusPanels::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Status panel index out of range: " + std::to_string(Index));
    return FItems[std::size_t(Index)].get();
}

void TStatusPanels::Delete(int Index)
{
    Items(Index);
    FItems.erase(FItems.begin() + Index);
    FBar->PanelChanged();
}

void TStatusPanels::Clear()
{
    FItems.clear();
    FBar->PanelChanged();
}

int TStatusPanels::IndexOf(const TStatusPanel* Panel) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Panel)
            return int(i);
    return -1;
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(this)
{
    FColor = clBtnFace;
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::PanelChanged()
{
    ++FChangeCount;
    Invalidate();
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (FSimplePanel == Value)
        return;
    FSimplePanel = Value;
    PanelChanged();
}

void TStatusBar::SetSimpleText(const String& Value)
{
    if (FSimpleText == Value)
        return;
    FSimpleText = Value;
    if (FSimplePanel)
        PanelChanged();
}

void TStatusBar::SetSizeGrip(bool Value)
{
    FSizeGrip = Value;
    Invalidate();
}

TRect TStatusBar::PanelRect(int Index)
{
    int count = FPanels.Count();
    if (Index < 0 || Index >= count)
        return {};
    TRect c = ClientRect();
    int x = c.Left;
    for (int i = 0; i < Index; ++i)
        x += FPanels[i]->Width();
    int right = Index == count - 1 ? c.Right : x + FPanels[Index]->Width();
    x = std::min(x, c.Right);
    right = std::clamp(right, x, std::max(x, c.Right));
    return {x, c.Top + 2, right, c.Bottom};
}

void TStatusBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->SetColor(clWindowText);
    auto text = [&](const String& S, TRect R) {
        R.Left += 3;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(S, R, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
    };
    if (FSimplePanel) {
        text(FSimpleText, ClientRect());
        return;
    }
    for (int i = 0; i < FPanels.Count(); ++i) {
        TRect r = PanelRect(i);
        if (FPanels[i]->Bevel() != pbNone) {
            c->Pen()->SetColor(FPanels[i]->Bevel() == pbLowered ? clBtnShadow : clBtnHighlight);
            c->MoveTo(r.Right - 2, r.Top);
            c->LineTo(r.Right - 2, r.Bottom);
        }
        text(FPanels[i]->Text(), r);
    }
}

// ---------------------------------------------------------------------------
// Tool buttons

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle.Include(csCaptureMouse);
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* AParent)
{
    TGraphicControl::SetParent(AParent);
    if (TToolBar* bar = ToolBar())
        bar->Realign();
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (FStyle != tbsCheck)
        FDown = false;
    if (TToolBar* bar = ToolBar())
        bar->Realign();
    Invalidate();
}

int TToolButton::Index() const
{
    TToolBar* bar = ToolBar();
    if (!bar)
        return -1;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i) == this)
            return i;
    return -1;
}

void TToolButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    Invalidate();
}

void TToolButton::SetDown(bool Value)
{
    if (FStyle != tbsCheck)
        Value = false;
    if (FDown == Value)
        return;
    TToolBar* bar = ToolBar();
    if (FGrouped && bar) {
        // The group: the neighbouring grouped check buttons on either side.
        int index = Index();
        auto inGroup = [&](int i) {
            TToolButton* b = bar->Buttons(i);
            return b->FGrouped && b->FStyle == tbsCheck;
        };
        if (!Value && !FAllowAllUp)
            return;
        if (Value) {
            for (int i = index - 1; i >= 0 && inGroup(i); --i)
                bar->Buttons(i)->FDown = false, bar->Buttons(i)->Invalidate();
            for (int i = index + 1; i < bar->ButtonCount() && inGroup(i); ++i)
                bar->Buttons(i)->FDown = false, bar->Buttons(i)->Invalidate();
        }
    }
    FDown = Value;
    Invalidate();
}

void TToolButton::Click()
{
    if (FStyle == tbsSeparator || FStyle == tbsDivider)
        return;
    if (FStyle == tbsCheck)
        SetDown(!FDown);
    if (OnClick)
        OnClick(this);
    else if (Action())
        Action()->Execute();
}

void TToolButton::ActionChange(TAction* Sender)
{
    SetCaption(Sender->Caption());
    SetHint(Sender->Hint());
    SetEnabled(Sender->Enabled());
    if (FStyle == tbsCheck)
        FDown = Sender->Checked();
    FImageIndex = Sender->ImageIndex();
    if (Visible() != Sender->Visible()) {
        SetVisible(Sender->Visible());
        if (TToolBar* bar = ToolBar())
            bar->Realign();
    }
    Invalidate();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled() && FStyle != tbsSeparator && FStyle != tbsDivider) {
        FPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // The click itself comes from the control's own click handling.
    if (Button == mbLeft && FPressed) {
        FPressed = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r{0, 0, Width(), Height()};
    if (FStyle == tbsSeparator)
        return;
    if (FStyle == tbsDivider) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(Width() / 2, 2);
        c->LineTo(Width() / 2, Height() - 2);
        return;
    }
    if (FDown || FPressed) {
        c->Brush()->SetColor(clBtnHighlight);
        c->FillRect(r);
        c->Pen()->SetColor(clBtnShadow);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(r);
        c->Brush()->SetStyle(bsSolid);
    }
    TToolBar* bar = ToolBar();
    if (bar && bar->ShowCaptions() && !Caption().empty()) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(Enabled() ? clWindowText : clGrayText);
        c->DrawText(Caption(), r, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
        c->Brush()->SetStyle(bsSolid);
    }
}

// ---------------------------------------------------------------------------
// Tool bar

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    FColor = clBtnFace;
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

int TToolBar::ButtonCount()
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i)))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int Index)
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)))
            if (n++ == Index)
                return b;
    throw EListError("Tool button index out of range: " + std::to_string(Index));
}

void TToolBar::SetButtonWidth(int Value)
{
    FButtonWidth = std::max(Value, 1);
    Realign();
}

void TToolBar::SetButtonHeight(int Value)
{
    FButtonHeight = std::max(Value, 1);
    Realign();
}

void TToolBar::SetShowCaptions(bool Value)
{
    FShowCaptions = Value;
    Realign();
    Invalidate();
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect)
{
    // Buttons and other controls (boxes, up-downs) in the order they joined
    // the bar, left to right, one row; a control keeps its own width and
    // stands centred on the buttons' height.
    int x = Rect.Left;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->Visible() || control->Align() != alNone)
            continue;
        auto* b = dynamic_cast<TToolButton*>(control);
        if (!b) {
            control->SetBounds(x, Rect.Top + (FButtonHeight - control->Height()) / 2, control->Width(),
                control->Height());
            x += control->Width();
            continue;
        }
        int w = FButtonWidth;
        if (b->Style() == tbsSeparator || b->Style() == tbsDivider)
            w = SeparatorWidth;
        else if (FShowCaptions)
            w = std::max(FButtonWidth, MeasureTextWidth(Font(), b->Caption()) + 8);
        if (b->Style() == tbsDropDown)
            w += 14;
        b->SetBounds(x, Rect.Top, w, FButtonHeight);
        x += w;
    }
    TCustomControl::AlignControls(AControl, Rect);
}

void TToolBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// Up-down

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clBtnFace;
    SetBounds(0, 0, 17, 25);
}

TUpDown::~TUpDown()
{
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
}

void TUpDown::SetMin(int Value)
{
    FMin = Value;
    if (FMax < FMin)
        FMax = FMin;
    SetPosition(FPosition);
}

void TUpDown::SetMax(int Value)
{
    FMax = Value;
    if (FMin > FMax)
        FMin = FMax;
    SetPosition(FPosition);
}

void TUpDown::SetPosition(int Value)
{
    Value = std::clamp(Value, FMin, FMax);
    if (FPosition == Value)
        return;
    FPosition = Value;
    UpdateAssociate();
}

void TUpDown::SetAssociate(TControl* Value)
{
    if (FAssociate == Value)
        return;
    if (FAssociate)
        FAssociate->RemoveFreeNotification(this);
    FAssociate = Value;
    if (FAssociate)
        FAssociate->FreeNotification(this);
    UpdateAssociate();
}

void TUpDown::UpdateAssociate()
{
    if (FAssociate)
        FAssociate->SetText(std::to_string(FPosition));
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate)
        FAssociate = nullptr;
}

void TUpDown::ClickButton(TUDBtnType Button)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (allow) {
        // The limits are read after OnChanging, which may move them; the
        // step is worked out in 64 bits so that it cannot wrap around.
        long long step = Button == btNext ? FIncrement : -(long long)FIncrement;
        long long next = (long long)FPosition + step;
        if (next > FMax)
            next = FWrap ? FMin : FMax;
        else if (next < FMin)
            next = FWrap ? FMax : FMin;
        FPosition = int(std::clamp<long long>(next, FMin, FMax));
        UpdateAssociate();
        Invalidate();
    }
    if (OnClick)
        OnClick(this, Button);
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    // Up (vertical) and right (horizontal) are the next button.
    if (FOrientation == udVertical)
        ClickButton(Y < Height() / 2 ? btNext : btPrev);
    else
        ClickButton(X >= Width() / 2 ? btNext : btPrev);
}

void TUpDown::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    TRect r = ClientRect();
    if (FOrientation == udVertical) {
        c->Rectangle(r.Left, r.Top, r.Right, r.Top + r.Height() / 2);
        c->Rectangle(r.Left, r.Top + r.Height() / 2, r.Right, r.Bottom);
    } else {
        c->Rectangle(r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom);
        c->Rectangle(r.Left + r.Width() / 2, r.Top, r.Right, r.Bottom);
    }
    c->Brush()->SetStyle(bsSolid);
}
