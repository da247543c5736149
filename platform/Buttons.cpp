// Buttons: the click protocol (form result first, then the handler), the
// toolkit push button, and the self-drawn speed button with its groups.
#include "platform/Buttons.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

#include "platform/ActnList.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/QtNativeControl.h"

TButton::TButton(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetColor(clBtnFace);
}

TButton::~TButton() { SetAction(nullptr); }

void TButton::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        UpdateNative();
        return;
    }
    TNativeControl::Dispatch(Message);
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    UpdateNative();
}

void TButton::Click()
{
    // The result goes on the form first, so that OnClick may take it back.
    if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone)
        form->SetModalResult(FModalResult);
    if (OnClick)
        OnClick(this);
    else if (Action())
        Action()->Execute();
}

QWidget* TButton::CreateNativeWidget(QWidget* Parent)
{
    auto* b = new QPushButton(Parent);
    b->setAutoDefault(false);
    ConnectUser(this, b, &QPushButton::clicked, [this] { Click(); });
    return b;
}

void TButton::SyncNativeWidget()
{
    auto* b = NativeAs<QPushButton>(this);
    b->setText(ToQString(Caption()));
    b->setDefault(FDefault);
}

void TButton::ActionChange(TAction* Sender)
{
    SetCaption(Sender->Caption());
    SetHint(Sender->Hint());
    SetEnabled(Sender->Enabled());
    SetVisible(Sender->Visible());
}

// ---------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}
TBitBtn::~TBitBtn() = default;

void TBitBtn::SetKind(TBitBtnKind Value)
{
    struct TKindInfo {
        const char* Caption;
        TModalResult Result;
    };
    static const TKindInfo kinds[] = {
        {"", mrNone},          {"OK", mrOk},     {"Cancel", mrCancel}, {"&Help", mrNone},
        {"&Yes", mrYes},       {"&No", mrNo},    {"&Close", mrClose},  {"Abort", mrAbort},
        {"&Retry", mrRetry},   {"&Ignore", mrIgnore}, {"&All", mrAll},
    };
    FKind = Value;
    if (Value == bkCustom)
        return;
    SetCaption(kinds[Value].Caption);
    SetModalResult(kinds[Value].Result);
    if (Value == bkOK || Value == bkYes)
        SetDefault(true);
    if (Value == bkCancel || Value == bkNo)
        SetCancel(true);
}

TBitmap* TBitBtn::Glyph()
{
    if (!FGlyph)
        FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
    Glyph()->Assign(Value);
    UpdateNative();
}

void TBitBtn::SyncNativeWidget()
{
    TButton::SyncNativeWidget();
    auto* b = NativeAs<QPushButton>(this);
    if (FGlyph && FGlyph->Width() > 0)
        b->setIcon(QIcon(QPixmap::fromImage(FGlyph->Image())));
    else
        b->setIcon(QIcon());
}

// ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 23, 22);
    FControlStyle.Exclude(csDoubleClicks);
    // The button clicks itself once its Down state is settled.
    FControlStyle.Exclude(csClickEvents);
}

TSpeedButton::~TSpeedButton() { SetAction(nullptr); }

void TSpeedButton::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_ENABLEDCHANGED)
        Invalidate();
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (FDown == Value)
        return;
    // The pressed button of a group without AllowAllUp stays pressed.
    if (!Value && FDown && !FAllowAllUp)
        return;
    FDown = Value;
    if (Value && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->FGroupIndex == FGroupIndex) {
                b->FDown = false;
                b->Invalidate();
            }
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

TBitmap* TSpeedButton::Glyph()
{
    if (!FGlyph)
        FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    Glyph()->Assign(Value);
    Invalidate();
}

void TSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
    else if (Action())
        Action()->Execute();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled()) {
        FPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool wasPressed = FPressed;
    FPressed = false;
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!wasPressed || Button != mbLeft)
        return;
    Invalidate();
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
        return;
    if (FGroupIndex > 0)
        SetDown(!FDown);
    Click();
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    if (!c)
        return;
    const TRect r{0, 0, Width(), Height()};
    const bool sunk = FDown || FPressed;
    c->Brush()->SetColor(sunk && FGroupIndex > 0 ? clBtnHighlight : clBtnFace);
    c->FillRect(r);
    if (!FFlat || sunk) {
        c->Pen()->SetColor(sunk ? clBtnShadow : clBtnHighlight);
        c->MoveTo(0, Height() - 1);
        c->LineTo(0, 0);
        c->LineTo(Width() - 1, 0);
        c->Pen()->SetColor(sunk ? clBtnHighlight : clBtnShadow);
        c->LineTo(Width() - 1, Height() - 1);
        c->LineTo(0, Height() - 1);
    }
    const int shift = sunk ? 1 : 0;
    if (FImages && FImageIndex >= 0) {
        FImages->Draw(c, (Width() - FImages->Width()) / 2 + shift, (Height() - FImages->Height()) / 2 + shift,
                      FImageIndex, Enabled());
    } else if (FGlyph && FGlyph->Width() > 0) {
        c->Draw((Width() - FGlyph->Width()) / 2 + shift, (Height() - FGlyph->Height()) / 2 + shift, FGlyph.get());
    } else if (!Caption().empty()) {
        TRect t{shift, shift, Width() + shift, Height() + shift};
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(Enabled() ? clBtnText : clGrayText);
        c->DrawText(StripHotkey(Caption()), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void TSpeedButton::ActionChange(TAction* Sender)
{
    SetCaption(Sender->Caption());
    SetHint(Sender->Hint());
    SetEnabled(Sender->Enabled());
    SetVisible(Sender->Visible());
    if (FGroupIndex > 0)
        SetDown(Sender->Checked());
    FImageIndex = Sender->ImageIndex();
    Invalidate();
}
