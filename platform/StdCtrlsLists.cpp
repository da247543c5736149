// The list controls: the combo box over the toolkit's, with owner-drawn
// items painted by the program's handlers, and the list box, which draws
// itself.
#include <algorithm>
#include <climits>

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/QtNativeControl.h"
#include "platform/StdCtrls.h"
#include "platform/TextFile.h"

// ---------------------------------------------------------------------------
// TComboBox

class TComboWidget : public QComboBox {
public:
    TComboWidget(TComboBox* AControl, QWidget* Parent) : QComboBox(Parent), Control(AControl) {}
    TComboBox* Control;
    void showPopup() override
    {
        if (Control && !Control->Syncing())
            Guarded(Control, [this] { Control->DropDown(); });
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        // The toolkit makes a picked item current before it closes the list
        // and reports the pick after: the control knows it at the close-up.
        const int picked = currentIndex();
        QComboBox::hidePopup();
        if (!Control || Control->Syncing())
            return;
        Guarded(Control, [&] {
            if (picked >= 0 && picked != Control->ItemIndex() && picked < Control->Items()->Count())
                Control->SetItemIndex(picked);
            Control->CloseUp();
        });
    }
    void paintEvent(QPaintEvent* Event) override
    {
        if (!Control || !Control->OwnerDrawn()) {
            QComboBox::paintEvent(Event);
            return;
        }
        // The frame and the button as the style draws them, the selection
        // field by the program's item painting.
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        opt.currentIcon = QIcon();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        if (field.width() <= 0 || field.height() <= 0)
            return;
        TBitmap b(field.width(), field.height());
        TOwnerDrawState st;
        st.Include(odComboBoxEdit);
        if (hasFocus())
            st.Include(odSelected).Include(odFocused);
        if (!isEnabled())
            st.Include(odDisabled);
        const int index = Control->ItemIndex();
        Guarded(Control, [&] {
            const TRect r{0, 0, field.width(), field.height()};
            if (index >= 0) {
                Control->DrawItem(b.Canvas(), index, r, st);
            } else {
                b.Canvas()->Brush()->SetColor(Control->Color());
                b.Canvas()->FillRect(r);
            }
        });
        p.drawImage(field.topLeft(), b.Image());
    }
};

// Paints the owner-drawn items: OnDrawItem draws into a picture of the
// item's size, which is then put on the list.
class TComboDelegate : public QAbstractItemDelegate {
public:
    TComboDelegate(TComboBox* AControl, QObject* Parent) : QAbstractItemDelegate(Parent), Control(AControl) {}
    TComboBox* Control;

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QRect r = Option.rect;
        if (!Control || r.width() <= 0 || r.height() <= 0)
            return;
        TBitmap b(r.width(), r.height());
        TOwnerDrawState st;
        if (Option.state & QStyle::State_Selected)
            st.Include(odSelected);
        if (Option.state & QStyle::State_HasFocus)
            st.Include(odFocused);
        if (!(Option.state & QStyle::State_Enabled))
            st.Include(odDisabled);
        Guarded(Control, [&] { Control->DrawItem(b.Canvas(), Index.row(), {0, 0, r.width(), r.height()}, st); });
        Painter->drawImage(r.topLeft(), b.Image());
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        int h = 16;
        if (Control)
            Guarded(Control, [&] { h = Control->MeasureItem(Index.row()); });
        return {Option.rect.width(), h};
    }
};

TComboBox::TComboBox(TComponent* AOwner) : TNativeControl(AOwner), FItems(std::make_unique<TStringList>())
{
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TComboBox::~TComboBox()
{
    FItems->OnChange = nullptr;
    DestroyHandle();
}

void TComboBox::ItemsChanged()
{
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    UpdateNative();
}

void TComboBox::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_TEXTCHANGED) {
        const int len = int(Utf8ToUtf16(Text()).size());
        FSelStart = std::min(FSelStart, len);
        FSelLength = std::min(FSelLength, len - FSelStart);
        if (!FKeepIndex) {
            FItemIndex = FItems->IndexOf(Text());
            // A list-only box shows nothing but its items.
            if (FItemIndex < 0 && FStyle == csDropDownList && !Text().empty()) {
                SetText("");
                return;
            }
        }
        if (FNoPush)
            TWinControl::Dispatch(Message);
        else
            TNativeControl::Dispatch(Message);
        return;
    }
    TNativeControl::Dispatch(Message);
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (FStyle == csDropDownList && FItemIndex < 0)
        SetText("");
    if (HandleAllocated())
        RecreateWnd();
}

void TComboBox::SetItems(TStrings* Value)
{
    if (Value)
        FItems->Assign(*Value);
}

void TComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    FKeepIndex = true;
    try {
        SetText(Value >= 0 ? FItems->Get(Value) : String());
    } catch (...) {
        FKeepIndex = false;
        throw;
    }
    FKeepIndex = false;
    UpdateNative();
}

void TComboBox::SetItemHeight(int Value)
{
    FItemHeight = std::clamp(Value, 1, 255);
    UpdateNative();
}

void TComboBox::SetDropDownCount(int Value)
{
    FDropDownCount = std::max(Value, 1);
    UpdateNative();
}

void TComboBox::SetSorted(bool Value)
{
    FSorted = Value;
    const String current = FItemIndex >= 0 ? FItems->Get(FItemIndex) : String();
    FItems->SetSorted(Value);
    if (FItemIndex >= 0)
        FItemIndex = FItems->IndexOf(current);
    UpdateNative();
}

void TComboBox::Clear()
{
    FItems->Clear();
    SetItemIndex(-1);
}

void TComboBox::SetSelStart(int Value)
{
    if (!HasEdit())
        return;
    FSelStart = std::clamp(Value, 0, int(Utf8ToUtf16(Text()).size()));
    FSelLength = 0;
    UpdateNative();
}

void TComboBox::SetSelLength(int Value)
{
    if (!HasEdit())
        return;
    FSelLength = std::clamp(Value, 0, int(Utf8ToUtf16(Text()).size()) - FSelStart);
    UpdateNative();
}

String TComboBox::SelText() const
{
    if (!HasEdit())
        return String();
    return Utf16ToUtf8(Utf8ToUtf16(Text()).substr(std::size_t(FSelStart), std::size_t(FSelLength)));
}

void TComboBox::SetSelText(const String& Value)
{
    if (!HasEdit())
        return;
    std::u16string u = Utf8ToUtf16(Text());
    const std::u16string v = Utf8ToUtf16(Value);
    u.replace(std::size_t(FSelStart), std::size_t(FSelLength), v);
    const int caret = FSelStart + int(v.size());
    SetText(Utf16ToUtf8(u));
    FSelStart = std::min(caret, int(Utf8ToUtf16(Text()).size()));
    FSelLength = 0;
    UpdateNative();
}

bool TComboBox::DroppedDown() const
{
    auto* w = NativeAs<QComboBox>(this);
    return w && w->view() && w->view()->isVisible();
}

int TComboBox::MeasureItem(int Index)
{
    int h = FItemHeight;
    if (FStyle == csOwnerDrawVariable && OnMeasureItem)
        OnMeasureItem(this, Index, h);
    return std::clamp(h, 1, 255);
}

void TComboBox::DrawItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (!ACanvas || Index < 0 || Index >= FItems->Count())
        return;
    ACanvas->SetFont(Font());
    ACanvas->Brush()->SetStyle(bsSolid);
    if (State.Contains(odSelected)) {
        ACanvas->Brush()->SetColor(clHighlight);
        ACanvas->Font()->SetColor(clHighlightText);
    } else {
        ACanvas->Brush()->SetColor(Color());
    }
    if (OwnerDrawn() && OnDrawItem) {
        TCanvas* old = FCanvas;
        FCanvas = ACanvas;
        try {
            OnDrawItem(this, Index, Rect, State);
        } catch (...) {
            FCanvas = old;
            throw;
        }
        FCanvas = old;
        return;
    }
    ACanvas->FillRect(Rect);
    ACanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TComboBox::SetDroppedDown(bool Value)
{
    auto* w = NativeAs<QComboBox>(this);
    if (!w || Value == DroppedDown())
        return;
    if (Value)
        w->showPopup();
    else
        w->hidePopup();
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TComboBox::SelectByUser(int Index)
{
    if (Index < 0 || Index >= FItems->Count())
        return;
    TControlWatch watch(this);
    SetItemIndex(Index);
    Click();
    if (watch)
        Select();
}

void TComboBox::EditByUser(const String& Value)
{
    FNoPush = true;
    try {
        SetText(Value);
    } catch (...) {
        FNoPush = false;
        throw;
    }
    FNoPush = false;
    Change();
}

QWidget* TComboBox::CreateNativeWidget(QWidget* Parent)
{
    auto* b = new TComboWidget(this, Parent);
    b->setEditable(FStyle == csDropDown || FStyle == csSimple);
    b->setInsertPolicy(QComboBox::NoInsert);
    if (OwnerDrawn())
        b->setItemDelegate(new TComboDelegate(this, b));
    ConnectUser(this, b, &QComboBox::activated, [this](int I) { SelectByUser(I); });
    if (QLineEdit* e = b->lineEdit()) {
        ConnectUser(this, e, &QLineEdit::textEdited, [this](const QString& T) { EditByUser(FromQString(T)); });
        ConnectUser(this, e, &QLineEdit::selectionChanged, [this] {
            QLineEdit* w = NativeAs<QComboBox>(this)->lineEdit();
            FSelStart = w->hasSelectedText() ? w->selectionStart() : w->cursorPosition();
            FSelLength = w->hasSelectedText() ? int(w->selectedText().size()) : 0;
        });
        ConnectUser(this, e, &QLineEdit::cursorPositionChanged, [this](int, int New) {
            if (!NativeAs<QComboBox>(this)->lineEdit()->hasSelectedText()) {
                FSelStart = New;
                FSelLength = 0;
            }
        });
    }
    return b;
}

void TComboBox::SyncNativeWidget()
{
    auto* b = NativeAs<QComboBox>(this);
    bool same = b->count() == FItems->Count();
    for (int i = 0; same && i < b->count(); ++i)
        same = FromQString(b->itemText(i)) == FItems->Get(i);
    if (!same) {
        b->clear();
        QStringList l;
        for (int i = 0; i < FItems->Count(); ++i)
            l << ToQString(FItems->Get(i));
        b->addItems(l);
    }
    b->setMaxVisibleItems(FDropDownCount);
    b->setCurrentIndex(FItemIndex);
    if (QLineEdit* e = b->lineEdit()) {
        const QString t = ToQString(Text());
        if (e->text() != t)
            e->setText(t);
        e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
        e->setSelection(FSelStart, FSelLength);
        if (FSelLength == 0)
            e->setCursorPosition(FSelStart);
    }
}

// ---------------------------------------------------------------------------
// TListBox

int TListBoxItems::AddObject(const String& s, TObject* object)
{
    const int count = Count();
    const int index = TStringList::AddObject(s, object);
    if (Count() > count)
        Marks.insert(Marks.begin() + index, false);
    return index;
}

void TListBoxItems::InsertObject(int index, const String& s, TObject* object)
{
    TStringList::InsertObject(index, s, object);
    Marks.insert(Marks.begin() + index, false);
}

void TListBoxItems::Delete(int index)
{
    TStringList::Delete(index);
    Marks.erase(Marks.begin() + index);
}

void TListBoxItems::Clear()
{
    TStringList::Clear();
    Marks.clear();
}

void TListBoxItems::Exchange(int index1, int index2)
{
    TStringList::Exchange(index1, index2);
    const bool mark = Marks[std::size_t(index1)];
    Marks[std::size_t(index1)] = Marks[std::size_t(index2)];
    Marks[std::size_t(index2)] = mark;
}

void TListBoxItems::Move(int curIndex, int newIndex)
{
    TStringList::Move(curIndex, newIndex);
    const bool mark = Marks[std::size_t(curIndex)];
    Marks.erase(Marks.begin() + curIndex);
    Marks.insert(Marks.begin() + newIndex, mark);
}

void TListBoxItems::Sort()
{
    TStringList::Sort();
    Marks.assign(std::size_t(Count()), false);
}

TListBox::TListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TListBoxItems>())
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    SetColor(clWindow);
    FControlStyle.Exclude(csCaptureMouse);
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TListBox::~TListBox() { FItems->OnChange = nullptr; }

void TListBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
}

void TListBox::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TListBox::ItemsChanged()
{
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    if (FAnchor >= FItems->Count())
        FAnchor = -1;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, FItems->Count() - 1));
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetStyle(TListBoxStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        UpdateScrollBar();
        Invalidate();
    }
}

void TListBox::SetItems(TStrings* Value)
{
    if (Value)
        FItems->Assign(*Value);
}

void TListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (FItemIndex == Value)
        return;
    FItemIndex = Value;
    MakeVisible(Value);
    Invalidate();
}

void TListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    std::vector<bool>& marks = FItems->Marks;
    std::fill(marks.begin(), marks.end(), false);
    // The one selected item stays selected either way.
    if (Value && FItemIndex >= 0)
        marks[std::size_t(FItemIndex)] = true;
    FAnchor = FItemIndex;
    Invalidate();
}

bool TListBox::Selected(int Index) const
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FMultiSelect ? bool(FItems->Marks[std::size_t(Index)]) : Index == FItemIndex;
}

void TListBox::SetSelected(int Index, bool Value)
{
    if (Selected(Index) == Value)
        return;
    if (FMultiSelect) {
        FItems->Marks[std::size_t(Index)] = Value;
        Invalidate();
    } else {
        SetItemIndex(Value ? Index : -1);
    }
}

int TListBox::SelCount() const
{
    if (!FMultiSelect)
        return FItemIndex >= 0 ? 1 : 0;
    return int(std::count(FItems->Marks.begin(), FItems->Marks.end(), true));
}

void TListBox::SelectTo(int Index, TShiftState Shift)
{
    std::vector<bool>& marks = FItems->Marks;
    if (Shift.Contains(ssCtrl)) {
        marks[std::size_t(Index)] = !marks[std::size_t(Index)];
        FAnchor = Index;
    } else {
        if (!Shift.Contains(ssShift) || FAnchor < 0)
            FAnchor = Index;
        std::fill(marks.begin(), marks.end(), false);
        for (int i = std::min(FAnchor, Index); i <= std::max(FAnchor, Index); ++i)
            marks[std::size_t(i)] = true;
    }
    FItemIndex = Index;
    MakeVisible(Index);
    Invalidate();
}

void TListBox::SetItemHeight(int Value)
{
    FItemHeight = std::clamp(Value, 1, 255);
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetTopIndex(int Value)
{
    // The last page stays full.
    int last = FItems->Count() - 1;
    int room = ClientHeight();
    int first = std::max(0, last);
    for (int i = last; i >= 0; --i) {
        room -= MeasureItem(i);
        if (room < 0)
            break;
        first = i;
    }
    Value = std::clamp(Value, 0, std::max(0, first));
    if (FTopIndex == Value)
        return;
    FTopIndex = Value;
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetSorted(bool Value)
{
    FSorted = Value;
    const String current = FItemIndex >= 0 ? FItems->Get(FItemIndex) : String();
    FItems->SetSorted(Value);
    if (FItemIndex >= 0)
        FItemIndex = FItems->IndexOf(current);
    FAnchor = FItemIndex;
    Invalidate();
}

void TListBox::Clear()
{
    FItems->Clear();
    FItemIndex = -1;
    FAnchor = -1;
    FTopIndex = 0;
    UpdateScrollBar();
    Invalidate();
}

int TListBox::MeasureItem(int Index)
{
    int h = FItemHeight;
    if (FStyle == lbOwnerDrawVariable && OnMeasureItem)
        OnMeasureItem(this, Index, h);
    return std::clamp(h, 1, 255);
}

TRect TListBox::ItemRect(int Index)
{
    const int w = ClientWidth();
    if (Index < FTopIndex)
        return {};
    int y = 0;
    for (int i = FTopIndex; i < Index; ++i)
        y += MeasureItem(i);
    const int h = Index < FItems->Count() ? MeasureItem(Index) : FItemHeight;
    return {0, y, w, y + h};
}

int TListBox::ItemAtPos(TPoint P, bool Existing)
{
    if (P.X < 0 || P.X >= ClientWidth() || P.Y < 0)
        return -1;
    int y = 0;
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        y += MeasureItem(i);
        if (P.Y < y)
            return i;
        if (y > ClientHeight())
            break;
    }
    return Existing ? -1 : FItems->Count();
}

int TListBox::VisibleCount()
{
    int y = 0, n = 0;
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        y += MeasureItem(i);
        if (y > ClientHeight())
            break;
        ++n;
    }
    return std::max(n, 1);
}

void TListBox::MakeVisible(int Index)
{
    if (Index < 0)
        return;
    if (Index < FTopIndex) {
        SetTopIndex(Index);
        return;
    }
    while (FTopIndex < Index && ItemRect(Index).Bottom > ClientHeight()) {
        const int old = FTopIndex;
        SetTopIndex(FTopIndex + 1);
        if (FTopIndex == old)
            break;
    }
}

void TListBox::UpdateScrollBar()
{
    if (!HandleAllocated())
        return;
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, FItems->Count() - 1);
    si.nPage = UINT(VisibleCount());
    si.nPos = FTopIndex;
    SetScrollInfo(Handle(), SB_VERT, si, true);
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    if (State.Contains(odSelected)) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else {
        c->Brush()->SetColor(Color());
    }
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
    } else {
        c->FillRect(Rect);
        c->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
    }
    if (State.Contains(odFocused))
        c->DrawFocusRect(Rect);
}

void TListBox::Paint()
{
    const int h = ClientHeight();
    for (int i = FTopIndex; i < FItems->Count(); ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= h)
            break;
        TOwnerDrawState st;
        if (FMultiSelect ? bool(FItems->Marks[std::size_t(i)]) : i == FItemIndex)
            st.Include(odSelected);
        if (i == FItemIndex && Focused())
            st.Include(odFocused);
        if (!Enabled())
            st.Include(odDisabled);
        const int saved = Canvas()->SaveDC();
        Canvas()->IntersectClipRect(r);
        DrawItem(i, r, st);
        Canvas()->RestoreDC(saved);
    }
}

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        const int i = ItemAtPos({X, Y}, true);
        if (i >= 0 && FMultiSelect)
            SelectTo(i, Shift);
        else if (i >= 0)
            SetItemIndex(i);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListBox::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    const int n = FItems->Count();
    if (n == 0)
        return;
    int i = FItemIndex;
    switch (Key) {
    case VK_UP: i = std::max(0, i - 1); break;
    case VK_DOWN: i = std::min(n - 1, i + 1); break;
    case VK_HOME: i = 0; break;
    case VK_END: i = n - 1; break;
    case VK_PRIOR: i = std::max(0, i - VisibleCount()); break;
    case VK_NEXT: i = std::min(n - 1, std::max(i, 0) + VisibleCount()); break;
    default: return;
    }
    if (FMultiSelect) {
        // The keys move the focus; Shift extends the selection along.
        SelectTo(i, Shift.Contains(ssShift) ? TShiftState{ssShift} : TShiftState{});
        Click();
    } else if (i != FItemIndex) {
        SetItemIndex(i);
        Click();
    }
}

bool TListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopIndex(FTopIndex - WheelDelta / 120 * WheelScrollLines());
    return true;
}

void TListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_VSCROLL: {
        int t = FTopIndex;
        switch (Message.ScrollCode()) {
        case SB_LINEUP: --t; break;
        case SB_LINEDOWN: ++t; break;
        case SB_PAGEUP: t -= VisibleCount(); break;
        case SB_PAGEDOWN: t += VisibleCount(); break;
        case SB_TOP: t = 0; break;
        case SB_BOTTOM: t = INT_MAX / 2; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            TScrollInfo si;
            si.fMask = SIF_TRACKPOS;
            t = HandleAllocated() && GetScrollInfo(Handle(), SB_VERT, si) ? si.nTrackPos : Message.ScrollPos();
            break;
        }
        default: return;
        }
        SetTopIndex(t);
        return;
    }
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        UpdateScrollBar();
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    default: TCustomControl::Dispatch(Message);
    }
}
