// Label, edit, memo, check and radio buttons, group box and scroll bar. The
// native controls push their fields into their widget in SyncNativeWidget
// and hear of the user through the widget's user signals only (edited,
// clicked, activated), never through the signals that also echo our own
// changes.
#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextOption>

#include "platform/Clipbrd.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/GraphicsQt.h"
#include "platform/QtNativeControl.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

namespace {

// The characters of a UTF-8 text as the widget counts them (UTF-16 units).
std::u16string Utf16(const String& S) { return ToQString(S).toStdU16String(); }
String Utf8(const std::u16string& S) { return FromQString(QString::fromStdU16String(S)); }

Qt::Alignment QtHorizontal(TAlignment A)
{
    switch (A) {
    case taRightJustify: return Qt::AlignRight;
    case taCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

// Stores Value in Field; true when that changed it, so the caller refreshes.
template <typename T>
bool Store(T& Field, T Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

// Holds Flag up while a nested change runs, and lowers it however that ends.
class TFlagUp {
public:
    explicit TFlagUp(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagUp() { FFlag = false; }
    TFlagUp(const TFlagUp&) = delete;
    TFlagUp& operator=(const TFlagUp&) = delete;

private:
    bool& FFlag;
};

// Text the user typed: FromUser tells the change handling that the widget
// shows it already. OnChange may free the control, so the flag is only
// lowered on a control that is still there.
void SetTextByUser(TControl* Control, bool& FromUser, const String& Text)
{
    FromUser = true;
    TControlWatch watch(Control);
    try {
        Control->SetText(Text);
    } catch (...) {
        if (watch)
            FromUser = false;
        throw;
    }
    if (watch)
        FromUser = false;
}

// A text change the user made is in the widget already: it is not pushed back.
void DispatchTextChanged(TNativeControl* Control, TMessage& Message, bool FromUser)
{
    if (FromUser)
        Control->TWinControl::Dispatch(Message);
    else
        Control->TNativeControl::Dispatch(Message);
}

}  // namespace

// ---------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 65, 17);
    FControlStyle.Include(csOpaque);
    SetParentColor(true);
}

void TLabel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::Dispatch(Message);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TLabel::SetAlignment(TAlignment Value)
{
    if (Store(FAlignment, Value))
        Invalidate();
}

void TLabel::SetLayout(TTextLayout Value)
{
    if (Store(FLayout, Value))
        Invalidate();
}

void TLabel::SetWordWrap(bool Value)
{
    if (Store(FWordWrap, Value)) {
        AdjustBounds();
        Invalidate();
    }
}

void TLabel::SetAutoSize(bool Value)
{
    if (Store(FAutoSize, Value))
        AdjustBounds();
}

void TLabel::SetTransparent(bool Value)
{
    if (Store(FTransparent, Value))
        Invalidate();
}

void TLabel::SetShowAccelChar(bool Value)
{
    if (Store(FShowAccelChar, Value)) {
        AdjustBounds();
        Invalidate();
    }
}

unsigned TLabel::TextFlags() const
{
    unsigned f = DT_EXPANDTABS;
    if (FWordWrap)
        f |= DT_WORDBREAK;
    if (!FShowAccelChar)
        f |= DT_NOPREFIX;
    if (FAlignment == taRightJustify)
        f |= DT_RIGHT;
    else if (FAlignment == taCenter)
        f |= DT_CENTER;
    return f;
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    // Measuring needs the toolkit's fonts; without them the bounds stay.
    if (!qGuiApp)
        return;
    TBitmap b(1, 1);
    TCanvas* c = b.Canvas();
    c->SetFont(Font());
    TRect r{0, 0, FWordWrap ? Width() : 0, 0};
    const String text = Caption().empty() ? String(" ") : Caption();
    c->DrawText(text, r, TextFlags() | DT_CALCRECT);
    int left = Left();
    if (!FWordWrap) {
        // Right-aligned labels grow to the left, centred ones both ways.
        if (FAlignment == taRightJustify)
            left += Width() - r.Width();
        else if (FAlignment == taCenter)
            left += (Width() - r.Width()) / 2;
    }
    SetBounds(left, Top(), FWordWrap ? Width() : r.Width(), r.Height());
}

void TLabel::Paint()
{
    TCanvas* c = Canvas();
    const TRect client{0, 0, Width(), Height()};
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(client);
    }
    c->Brush()->SetStyle(bsClear);
    c->SetFont(Font());
    if (!Enabled())
        c->Font()->SetColor(clGrayText);
    TRect r = client;
    unsigned flags = TextFlags();
    if (FLayout != tlTop) {
        TRect m = client;
        c->DrawText(Caption(), m, flags | DT_CALCRECT);
        const int dy = FLayout == tlBottom ? client.Height() - m.Height() : (client.Height() - m.Height()) / 2;
        r.Top += dy;
    }
    c->DrawText(Caption(), r, flags);
}

// ---------------------------------------------------------------------------
// TEdit

TEdit::TEdit(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
    SetBorderStyle(bsSingle);
}

String TEdit::Constrained(const String& Value) const
{
    String v = Value;
    if (FCharCase == ecUpperCase)
        v = AnsiUpperCase(v);
    else if (FCharCase == ecLowerCase)
        v = AnsiLowerCase(v);
    if (FMaxLength > 0) {
        std::u16string u = Utf16(v);
        if (int(u.size()) > FMaxLength) {
            u.resize(std::size_t(FMaxLength));
            // Never cut a character in half.
            if (!u.empty() && u.back() >= 0xD800 && u.back() <= 0xDBFF)
                u.pop_back();
            v = Utf8(u);
        }
    }
    return v;
}

void TEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        const String c = Constrained(Text());
        if (c != Text()) {
            // The nested change does the rest, once.
            SetText(c);
            return;
        }
        const int len = int(Utf16(Text()).size());
        FSelStart = std::min(FSelStart, len);
        FSelLength = std::min(FSelLength, len - FSelStart);
        DispatchTextChanged(this, Message, FFromUser);
        Change();
        return;
    }
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    }
    if (Message.Msg == WM_COPY || Message.Msg == WM_CUT || Message.Msg == WM_PASTE) {
        ClipboardMessage(Message.Msg);
        return;
    }
    TNativeControl::Dispatch(Message);
}

void TEdit::ClipboardMessage(UINT Msg)
{
    // A hidden password never leaves the field.
    if (Msg != WM_PASTE && FSelLength > 0 && FPasswordChar == 0)
        SetClipboardText(SelText());
    if (Msg == WM_COPY || FReadOnly)
        return;
    if (Msg == WM_CUT && FPasswordChar != 0)
        return;
    const std::u16string insert = Msg == WM_PASTE ? Utf16(GetClipboardText()) : std::u16string();
    if (Msg == WM_CUT && FSelLength == 0)
        return;
    std::u16string text = Utf16(Text());
    const std::size_t start = std::min(std::size_t(FSelStart), text.size());
    text.replace(start, std::min(std::size_t(FSelLength), text.size() - start), insert);
    SetText(Utf8(text));
    FSelStart = std::min(int(start + insert.size()), int(Utf16(Text()).size()));
    FSelLength = 0;
    UpdateNative();
}

void TEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(Value, 0);
    UpdateNative();
}

void TEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    UpdateNative();
}

void TEdit::SetPasswordChar(char Value)
{
    FPasswordChar = Value;
    UpdateNative();
}

void TEdit::SetCharCase(TEditCharCase Value)
{
    FCharCase = Value;
    SetText(Constrained(Text()));
}

void TEdit::SetSelStart(int Value)
{
    const int len = int(Utf16(Text()).size());
    FSelStart = std::clamp(Value, 0, len);
    FSelLength = 0;
    UpdateNative();
}

void TEdit::SetSelLength(int Value)
{
    const int len = int(Utf16(Text()).size());
    FSelLength = std::clamp(Value, 0, len - FSelStart);
    UpdateNative();
}

String TEdit::SelText() const
{
    const std::u16string u = Utf16(Text());
    return Utf8(u.substr(std::size_t(FSelStart), std::size_t(FSelLength)));
}

void TEdit::SelectAll()
{
    FSelStart = 0;
    FSelLength = int(Utf16(Text()).size());
    UpdateNative();
}

void TEdit::DoEnter()
{
    if (FAutoSelect)
        SelectAll();
    TNativeControl::DoEnter();
}

QWidget* TEdit::CreateNativeWidget(QWidget* Parent)
{
    auto* e = new QLineEdit(Parent);
    ConnectUser(this, e, &QLineEdit::textEdited, [this](const QString& T) {
        FModified = true;
        // The typed text may be cut or re-cased: the widget is told before
        // OnChange runs, which may free us.
        const String typed = FromQString(T);
        if (Constrained(typed) != typed)
            WithSync([&] { NativeAs<QLineEdit>(this)->setText(ToQString(Constrained(typed))); });
        SetTextByUser(this, FFromUser, typed);
    });
    ConnectUser(this, e, &QLineEdit::selectionChanged, [this] {
        auto* w = NativeAs<QLineEdit>(this);
        if (w->hasSelectedText()) {
            FSelStart = w->selectionStart();
            FSelLength = int(w->selectedText().size());
        } else {
            FSelStart = w->cursorPosition();
            FSelLength = 0;
        }
    });
    ConnectUser(this, e, &QLineEdit::cursorPositionChanged, [this](int, int New) {
        if (!NativeAs<QLineEdit>(this)->hasSelectedText()) {
            FSelStart = New;
            FSelLength = 0;
        }
    });
    return e;
}

void TEdit::SyncNativeWidget()
{
    auto* e = NativeAs<QLineEdit>(this);
    const QString t = ToQString(Text());
    if (e->text() != t)
        e->setText(t);
    e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    e->setReadOnly(FReadOnly);
    e->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
    e->setFrame(BorderStyle() != bsNone);
    e->setSelection(FSelStart, FSelLength);
    if (FSelLength == 0)
        e->setCursorPosition(FSelStart);
}

// ---------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TComponent* AOwner) : TNativeControl(AOwner), FLines(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    SetColor(clWindow);
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
}

TMemo::~TMemo()
{
    FLines->OnChange = nullptr;
    DestroyHandle();
}

namespace {

// The lines' text without the break after the last line, as the widget
// shows it.
String JoinLines(const TStrings& L)
{
    String s;
    for (int i = 0; i < L.Count(); ++i) {
        if (i)
            s += "\r\n";
        s += L.Get(i);
    }
    return s;
}

}  // namespace

void TMemo::LinesChanged()
{
    if (FFromText)
        return;
    TFlagUp fromLines(FFromLines);
    SetText(JoinLines(*FLines));
}

void TMemo::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        if (!FFromLines) {
            TFlagUp fromText(FFromText);
            FLines->SetText(Text());
        }
        DispatchTextChanged(this, Message, FFromUser);
        Change();
        return;
    }
    if (Message.Msg == WM_GETDLGCODE) {
        // Tab and Enter (the key is asked about in WParam) stay in the text
        // when it wants them; Escape still reaches the cancel button.
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        if (FWantTabs)
            Message.Result |= DLGC_WANTTAB;
        if (FWantReturns && Message.WParam == VK_RETURN)
            Message.Result |= DLGC_WANTALLKEYS;
        return;
    }
    TNativeControl::Dispatch(Message);
}

void TMemo::Change()
{
    if (OnChange)
        OnChange(this);
}

void TMemo::SetLines(TStrings* Value)
{
    if (Value)
        FLines->Assign(*Value);
}

void TMemo::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    UpdateNative();
}

void TMemo::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    UpdateNative();
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
    FScrollBars = Value;
    UpdateNative();
}

void TMemo::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    UpdateNative();
}

QWidget* TMemo::CreateNativeWidget(QWidget* Parent)
{
    auto* e = new QPlainTextEdit(Parent);
    // textChanged also follows setPlainText; the sync bracket drops that echo.
    ConnectUser(this, e, &QPlainTextEdit::textChanged, [this] {
        String t = FromQString(NativeAs<QPlainTextEdit>(this)->toPlainText());
        // The widget breaks lines with LF; the control's text uses CR LF.
        String crlf;
        crlf.reserve(t.size());
        for (char ch : t) {
            if (ch == '\n')
                crlf += "\r\n";
            else
                crlf += ch;
        }
        SetTextByUser(this, FFromUser, crlf);
    });
    return e;
}

void TMemo::SyncNativeWidget()
{
    auto* e = NativeAs<QPlainTextEdit>(this);
    QString t = ToQString(Text());
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (e->toPlainText() != t)
        e->setPlainText(t);
    e->setReadOnly(FReadOnly);
    e->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    auto policy = [this](bool Horizontal) {
        const bool on = FScrollBars == ssBoth || FScrollBars == (Horizontal ? ssHorizontal : ssVertical);
        return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    };
    e->setHorizontalScrollBarPolicy(policy(true));
    e->setVerticalScrollBarPolicy(policy(false));
    QTextOption o = e->document()->defaultTextOption();
    o.setAlignment(QtHorizontal(FAlignment));
    e->document()->setDefaultTextOption(o);
}

// ---------------------------------------------------------------------------
// TCheckBox, TRadioButton

TCheckBox::TCheckBox(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == cbGrayed && !FAllowGrayed)
        Value = cbUnchecked;
    if (FState == Value)
        return;
    FState = Value;
    UpdateNative();
    Click();
}

void TCheckBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
    if (!Value && FState == cbGrayed)
        SetState(cbUnchecked);
    UpdateNative();
}

void TCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

QWidget* TCheckBox::CreateNativeWidget(QWidget* Parent)
{
    auto* b = new QCheckBox(Parent);
    // The widget toggles on its own; Toggle pushes our next state over it
    // before OnClick runs (which may free us).
    ConnectUser(this, b, &QCheckBox::clicked, [this] { Toggle(); });
    return b;
}

void TCheckBox::SyncNativeWidget()
{
    auto* b = NativeAs<QCheckBox>(this);
    b->setText(ToQString(Caption()));
    b->setTristate(FAllowGrayed);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
    SetColor(clBtnFace);
}

void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    UpdateNative();
    if (!Value)
        return;
    if (TWinControl* p = Parent())
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this)
                r->SetChecked(false);
    Click();
}

QWidget* TRadioButton::CreateNativeWidget(QWidget* Parent)
{
    auto* b = new QRadioButton(Parent);
    // Siblings live in other windows: the exclusion is ours, not the widget's.
    b->setAutoExclusive(false);
    ConnectUser(this, b, &QRadioButton::clicked, [this] {
        // A click on the checked button leaves it checked.
        if (FChecked)
            UpdateNative();
        else
            SetChecked(true);
    });
    return b;
}

void TRadioButton::SyncNativeWidget()
{
    auto* b = NativeAs<QRadioButton>(this);
    b->setText(ToQString(Caption()));
    b->setChecked(FChecked);
}

// ---------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 185, 105);
    FControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
}

QWidget* TGroupBox::CreateNativeWidget(QWidget* Parent) { return new QGroupBox(Parent); }

void TGroupBox::SyncNativeWidget() { NativeAs<QGroupBox>(this)->setTitle(ToQString(Caption())); }

void TGroupBox::AlignControls(TControl* AControl, TRect& Rect)
{
    // Below the caption line and inside the frame.
    Rect.Top += 16;
    Rect.Left += 2;
    Rect.Right -= 2;
    Rect.Bottom -= 2;
    if (Rect.Bottom < Rect.Top)
        Rect.Bottom = Rect.Top;
    if (Rect.Right < Rect.Left)
        Rect.Right = Rect.Left;
    TNativeControl::AlignControls(AControl, Rect);
}

// ---------------------------------------------------------------------------
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TNativeControl(AOwner)
{
    SetBounds(0, 0, 121, 17);
    SetTabStop(true);
}

int TScrollBar::Clamped(int Value) const
{
    const int hi = FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax;
    return std::clamp(Value, FMin, hi);
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    if (!ComponentState().Contains(csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    UpdateNative();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMax < AMin)
        throw EInvalidOperation("Scroll bar property out of range");
    FMin = AMin;
    FMax = AMax;
    if (FPageSize > FMax - FMin + 1)
        FPageSize = FMax - FMin + 1;
    const int p = Clamped(APosition);
    const bool changed = p != FPosition;
    FPosition = p;
    UpdateNative();
    if (changed)
        Change();
}

void TScrollBar::SetPosition(int Value) { SetParams(Value, FMin, FMax); }

void TScrollBar::SetPageSize(int Value)
{
    FPageSize = std::clamp(Value, 0, FMax - FMin + 1);
    SetParams(FPosition, FMin, FMax);
}

void TScrollBar::Scroll(TScrollCode Code, int Pos)
{
    int p = Pos;
    TControlWatch watch(this);
    if (OnScroll)
        OnScroll(this, Code, p);
    if (!watch)
        return;
    // The widget may stand where the handler did not let it go.
    if (Clamped(p) == FPosition)
        UpdateNative();
    else
        SetPosition(p);
}

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

QWidget* TScrollBar::CreateNativeWidget(QWidget* Parent)
{
    auto* b = new QScrollBar(Parent);
    ConnectUser(this, b, &QScrollBar::valueChanged, [this, b](int V) {
        Scroll(b->isSliderDown() ? scTrack : scPosition, V);
    });
    return b;
}

void TScrollBar::SyncNativeWidget()
{
    auto* b = NativeAs<QScrollBar>(this);
    b->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    b->setRange(FMin, FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax);
    b->setPageStep(std::max(FPageSize, FLargeChange));
    b->setSingleStep(FSmallChange);
    b->setValue(FPosition);
}
