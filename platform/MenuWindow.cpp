// Our own menus: the levels of an open menu, measured and drawn through the
// items' events or in the plain look, worked by keys and the pointer, placed
// inside the work area; and the tracker that runs one open menu from its
// first level to the choice.
#include "platform/MenuWindow.h"

#include <algorithm>

#include <QApplication>
#include <QChar>

#include "platform/ControlsPrivate.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/MenuBar.h"
#include "platform/QtWidgetHost.h"

namespace {

constexpr UINT_PTR SubMenuTimer = 1;

TMenuWindow* gMeasuring = nullptr;
constexpr UINT SubMenuDelay = 250;

char32_t DecodeAt(const String& S, std::size_t& I)
{
    const auto b = static_cast<unsigned char>(S[I++]);
    int more = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0)
        return 0xFFFD;
    char32_t c = more == 0 ? b : b & (0x3F >> more);
    for (; more > 0; --more) {
        if (I >= S.size() || (static_cast<unsigned char>(S[I]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(S[I++]) & 0x3F);
    }
    return c;
}

TImageList* ImagesOf(const TMenuItem* Item)
{
    const TMenu* m = Item->GetParentMenu();
    return m ? m->Images() : nullptr;
}

bool HasVisibleItems(const TMenuItem* Item)
{
    for (int i = 0; i < Item->Count(); ++i)
        if (Item->Items(i)->Visible())
            return true;
    return false;
}

int IconColumnWidth(const TMenuItem* Item)
{
    const TImageList* images = ImagesOf(Item);
    return std::max(24, (images ? images->Width() : 16) + 8);
}

bool RightToLeft(const TMenuItem* Item)
{
    const TMenu* m = Item->GetParentMenu();
    return m ? m->IsRightToLeft() : Application->BiDiMode() != bdLeftToRight;
}

// R mirrored within Outer (for right-to-left menus).
TRect Mirrored(const TRect& R, const TRect& Outer)
{
    return {Outer.Left + Outer.Right - R.Right, R.Top, Outer.Left + Outer.Right - R.Left, R.Bottom};
}

void UseMenuFont(TCanvas* Canvas, bool Bold)
{
    Canvas->Font()->Assign(Screen->MenuFont());
    if (Bold) {
        TFontStyles s = Canvas->Font()->Style();
        s.Include(fsBold);
        Canvas->Font()->SetStyle(s);
    }
}

}  // namespace

TMenuWindow* MenuWindowMeasuring() { return gMeasuring; }

TCanvas* MenuMeasureCanvas()
{
    static TBitmap* bitmap = [] {
        auto* b = new TBitmap();
        b->SetSize(1, 1);
        return b;
    }();
    return bitmap->Canvas();
}

namespace {

void DrawPlainTopItem(TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, TOwnerDrawState State)
{
    const bool disabled = State.Contains(odDisabled);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Rect);
    if (!disabled && (State.Contains(odSelected) || State.Contains(odHotLight))) {
        // Pressed in while its menu is down, raised under the pointer.
        const bool down = State.Contains(odSelected);
        Canvas->Pen()->SetColor(down ? clBtnShadow : clBtnHighlight);
        Canvas->MoveTo(Rect.Left, Rect.Bottom - 1);
        Canvas->LineTo(Rect.Left, Rect.Top);
        Canvas->LineTo(Rect.Right - 1, Rect.Top);
        Canvas->Pen()->SetColor(down ? clBtnHighlight : clBtnShadow);
        Canvas->LineTo(Rect.Right - 1, Rect.Bottom - 1);
        Canvas->LineTo(Rect.Left, Rect.Bottom - 1);
    }
    TRect r = Rect;
    if (State.Contains(odSelected))
        OffsetRect(r, 1, 1);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(disabled ? clGrayText : clMenuText);
    Canvas->DrawText(Item->Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Canvas->Brush()->SetStyle(bsSolid);
}

void DrawCheckMark(TCanvas* Canvas, const TRect& Box, bool Radio, TColor Color)
{
    const int cx = (Box.Left + Box.Right) / 2;
    const int cy = (Box.Top + Box.Bottom) / 2;
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetColor(Color);
    if (Radio) {
        Canvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
        return;
    }
    // A tick of three strokes.
    for (int k = 0; k < 3; ++k) {
        Canvas->MoveTo(cx - 3, cy - 1 + k);
        Canvas->LineTo(cx - 1, cy + 1 + k);
        Canvas->LineTo(cx + 4, cy - 4 + k);
    }
}

void DrawPlainItem(TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, TOwnerDrawState State)
{
    const bool disabled = State.Contains(odDisabled);
    const bool highlighted = State.Contains(odSelected) && !disabled;
    const bool rtl = RightToLeft(Item);
    Canvas->Brush()->SetColor(highlighted ? clHighlight : clMenu);
    Canvas->FillRect(Rect);
    if (Item->IsLine()) {
        const int y = (Rect.Top + Rect.Bottom) / 2 - 1;
        Canvas->Pen()->SetColor(clBtnShadow);
        Canvas->MoveTo(Rect.Left + 1, y);
        Canvas->LineTo(Rect.Right - 1, y);
        Canvas->Pen()->SetColor(clBtnHighlight);
        Canvas->MoveTo(Rect.Left + 1, y + 1);
        Canvas->LineTo(Rect.Right - 1, y + 1);
        return;
    }
    const TColor text = highlighted ? clHighlightText : disabled ? clGrayText : clMenuText;
    auto place = [&](const TRect& R) { return rtl ? Mirrored(R, Rect) : R; };

    const int column = IconColumnWidth(Item);
    const TRect icon = place({Rect.Left, Rect.Top, Rect.Left + column, Rect.Bottom});
    TImageList* images = ImagesOf(Item);
    if (images && Item->ImageIndex() >= 0 && Item->ImageIndex() < images->Count()) {
        const int x = icon.Left + (icon.Width() - images->Width()) / 2;
        const int y = icon.Top + (icon.Height() - images->Height()) / 2;
        if (Item->Checked()) {
            // A checked item with a picture shows it framed, pressed in.
            TRect f{x - 2, y - 2, x + images->Width() + 2, y + images->Height() + 2};
            Canvas->Brush()->SetColor(clBtnShadow);
            Canvas->FrameRect(f);
        }
        images->Draw(Canvas, x, y, Item->ImageIndex(), !disabled);
    } else if (Item->Checked()) {
        DrawCheckMark(Canvas, icon, Item->RadioItem(), text);
    }

    TRect r = place({Rect.Left + column, Rect.Top, Rect.Right - TMenuMetrics::ArrowColumn, Rect.Bottom});
    const unsigned align = (rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT) | DT_VCENTER | DT_SINGLELINE;
    Canvas->Brush()->SetStyle(bsClear);
    auto drawTexts = [&](TColor Color, int Offset) {
        TRect t = r;
        OffsetRect(t, Offset, Offset);
        Canvas->Font()->SetColor(Color);
        Canvas->DrawText(Item->Caption(), t, align);
        if (const String sc = ShortCutToText(Item->ShortCut()); !sc.empty())
            Canvas->DrawText(sc, t, (rtl ? DT_LEFT : DT_RIGHT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (disabled && !highlighted)
        drawTexts(clBtnHighlight, 1);  // engraved
    drawTexts(text, 0);
    Canvas->Brush()->SetStyle(bsSolid);

    if (HasVisibleItems(Item)) {
        const TRect a = place({Rect.Right - TMenuMetrics::ArrowColumn, Rect.Top, Rect.Right, Rect.Bottom});
        const int cx = (a.Left + a.Right) / 2;
        const int cy = (a.Top + a.Bottom) / 2;
        const int d = rtl ? -1 : 1;
        const TPoint arrow[3] = {{cx - 2 * d, cy - 4}, {cx + 2 * d, cy}, {cx - 2 * d, cy + 4}};
        Canvas->Pen()->SetColor(text);
        Canvas->Brush()->SetColor(text);
        Canvas->Polygon(arrow, 3);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Items.

char32_t MenuKeyChar(char32_t Char)
{
    return Char <= 0xFFFF ? QChar(char16_t(Char)).toUpper().unicode() : Char;
}

char32_t MenuAccelerator(const String& Caption)
{
    for (std::size_t i = 0; i < Caption.size();) {
        if (Caption[i] != '&') {
            DecodeAt(Caption, i);
            continue;
        }
        if (++i >= Caption.size())
            return 0;
        if (Caption[i] == '&') {
            ++i;
            continue;
        }
        return MenuKeyChar(DecodeAt(Caption, i));
    }
    return 0;
}

TSize PlainMenuItemSize(TMenuItem* Item, TCanvas* Canvas, bool TopLevel)
{
    const TFontStyles style = Canvas->Font()->Style();
    if (Item->Default()) {
        TFontStyles bold = style;
        Canvas->Font()->SetStyle(bold.Include(fsBold));
    }
    const String caption = StripHotkey(Item->Caption());
    const int textHeight = Canvas->TextHeight("W");
    TSize size;
    if (TopLevel) {
        size = {Canvas->TextWidth(caption) + 16, textHeight + 8};
    } else if (Item->IsLine()) {
        size = {0, TMenuMetrics::SeparatorHeight};
    } else {
        int w = IconColumnWidth(Item) + Canvas->TextWidth(caption) + TMenuMetrics::ArrowColumn;
        if (const String sc = ShortCutToText(Item->ShortCut()); !sc.empty())
            w += TMenuMetrics::ShortCutGap + Canvas->TextWidth(sc);
        const TImageList* images = ImagesOf(Item);
        size = {w, std::max(textHeight + 8, images ? images->Height() + 6 : 0)};
    }
    Canvas->Font()->SetStyle(style);
    return size;
}

TSize MeasureMenuItem(TMenuItem* Item, TCanvas* Canvas, bool TopLevel)
{
    UseMenuFont(Canvas, false);
    TSize size = PlainMenuItemSize(Item, Canvas, TopLevel);
    if (Item->OnMeasureItem) {
        int w = size.cx, h = size.cy;
        Item->OnMeasureItem(Item, Canvas, w, h);
        // A handler's answer is kept within what a screen can hold.
        size = {std::clamp(w, 0, 8192), std::clamp(h, 0, 2048)};
        UseMenuFont(Canvas, false);
    }
    return size;
}

TOwnerDrawState MenuItemState(TMenuItem* Item, bool Selected, bool HotLight)
{
    TOwnerDrawState s;
    if (Selected)
        s.Include(odSelected);
    if (HotLight)
        s.Include(odHotLight);
    if (!Item->Enabled()) {
        s.Include(odGrayed);
        s.Include(odDisabled);
    }
    if (Item->Checked())
        s.Include(odChecked);
    if (Item->Default())
        s.Include(odDefault);
    return s;
}

void DrawMenuItem(TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, TOwnerDrawState State, bool TopLevel)
{
    UseMenuFont(Canvas, Item->Default() && !Item->OnAdvancedDrawItem);
    Canvas->Pen()->SetColor(clMenuText);
    Canvas->Brush()->SetStyle(bsSolid);
    if (Item->OnAdvancedDrawItem) {
        // Set up as the system sets up an owner-drawn item's canvas.
        const bool selected = State.Contains(odSelected);
        Canvas->Brush()->SetColor(selected ? clHighlight : TopLevel ? clBtnFace : clMenu);
        Canvas->Font()->SetColor(selected ? clHighlightText : State.Contains(odDisabled) ? clGrayText : clMenuText);
        Item->OnAdvancedDrawItem(Item, Canvas, Rect, State);
        return;
    }
    if (TopLevel)
        DrawPlainTopItem(Item, Canvas, Rect, State);
    else
        DrawPlainItem(Item, Canvas, Rect, State);
}

// ---------------------------------------------------------------------------
// The tracker of one open menu.

class TMenuTracker : public TComponent {
public:
    TMenuTracker(TMenu* AMenu, TMenuBar* ABar, TMenuItem* ADropped)
        : TComponent(nullptr), Menu(AMenu), Bar(ABar), Dropped(ADropped)
    {
        if (Menu)
            Menu->FreeNotification(this);
        if (Bar)
            Bar->FreeNotification(this);
        RightToLeft = Menu ? Menu->IsRightToLeft() : Application->BiDiMode() != bdLeftToRight;
        LastPointer = GetCursorPos();
    }
    ~TMenuTracker() override;

    TMenuWindow* OpenLevel(TMenuItem* Parent, TMenuWindow* From, const TRect& Anchor, const TPoint& At);
    void CloseLevelsAbove(const TMenuWindow* Window);
    TMenuWindow* LevelAbove(const TMenuWindow* Window) const;
    void Choose(TMenuItem* Item);
    void Cancel();
    void SwitchBar(int Step);
    // The pointer outside every level: true when it went to another entry
    // of the bar (the menu then closes).
    bool PointerOutside(const TPoint& Screen);
    void OutsidePress(const TPoint& Screen);
    void ItemGone(TMenuItem* Item);

    TMenu* Menu;
    TMenuBar* Bar;
    TMenuItem* Dropped;
    bool RightToLeft = false;
    // A release chooses only after the pointer moved or a button went down
    // on the menu: the release of the press that opened it must not.
    bool Armed = false;
    TPoint LastPointer;
    TMenuTrackResult Result;
    std::vector<TMenuWindow*> Levels;  // shown, the first level first

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opRemove) {
            if (AComponent == Menu) {
                Menu = nullptr;
                Result.MenuGone = true;
                Result.Chosen = nullptr;
                Cancel();
            }
            if (AComponent == Bar)
                Bar = nullptr;
        }
        TComponent::Notification(AComponent, Operation);
    }

private:
    TRect Place(const TSize& Size, const TRect& Anchor, const TPoint& At, bool Sub, int FrameTop) const;
};

namespace {

std::vector<TMenuTracker*> gTrackers;
std::vector<TMenuWindow*> gIdleWindows;

TMenuWindow* TakeWindow()
{
    if (!gIdleWindows.empty()) {
        TMenuWindow* w = gIdleWindows.back();
        gIdleWindows.pop_back();
        return w;
    }
    return Create<TMenuWindow>(nullptr);
}

}  // namespace

TMenuTracker::~TMenuTracker()
{
    for (TMenuWindow* w : Levels)
        if (w->Visible())
            w->Hide();
}

TRect TMenuTracker::Place(const TSize& Size, const TRect& Anchor, const TPoint& At, bool Sub, int FrameTop) const
{
    const TRect work = Screen->MonitorWorkAreaRect(Sub || Bar ? Anchor.TopLeft() : At);
    const int w = Size.cx, h = Size.cy;
    int x = 0, y = 0;
    if (Sub) {
        // Beside the parent level, covering its edge; on the other side
        // where there is no room.
        const int right = Anchor.Right - TMenuMetrics::SubMenuOverlap;
        const int left = Anchor.Left - w + TMenuMetrics::SubMenuOverlap;
        x = RightToLeft ? (left >= work.Left ? left : right) : (right + w <= work.Right ? right : left);
        y = Anchor.Top - FrameTop;
        if (y + h > work.Bottom)
            y = work.Bottom - h;
    } else if (Bar) {
        x = RightToLeft ? Anchor.Right - w : Anchor.Left;
        y = Anchor.Bottom;
        if (y + h > work.Bottom && Anchor.Top - h >= work.Top)
            y = Anchor.Top - h;
    } else {
        // From the point away, or towards it where there is no room.
        x = RightToLeft ? At.X - w : At.X;
        if (!RightToLeft && x + w > work.Right)
            x = At.X - w;
        if (RightToLeft && x < work.Left)
            x = At.X;
        y = At.Y;
        if (y + h > work.Bottom)
            y = At.Y - h;
    }
    x = std::max(work.Left, std::min(x, work.Right - w));
    y = std::max(work.Top, std::min(y, work.Bottom - h));
    return {x, y, x + w, y + h};
}

TMenuWindow* TMenuTracker::OpenLevel(TMenuItem* Parent, TMenuWindow* From, const TRect& Anchor, const TPoint& At)
{
    TMenuWindow* w = TakeWindow();
    w->Fill(this, Parent, From);
    const TRect r = Place({w->Width(), w->Height()}, Anchor, At, From != nullptr, w->Frame().Top);
    w->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Levels.push_back(w);
    if (From)
        w->ShowPopup();  // the first level is shown by its loop
    return w;
}

TMenuWindow* TMenuTracker::LevelAbove(const TMenuWindow* Window) const
{
    auto it = std::find(Levels.begin(), Levels.end(), Window);
    return it != Levels.end() && it + 1 != Levels.end() ? *(it + 1) : nullptr;
}

void TMenuTracker::CloseLevelsAbove(const TMenuWindow* Window)
{
    auto it = std::find(Levels.begin(), Levels.end(), Window);
    if (it == Levels.end() || it + 1 == Levels.end())
        return;
    std::vector<TMenuWindow*> above(it + 1, Levels.end());
    Levels.erase(it + 1, Levels.end());
    // Hiding the lowest takes the others with it.
    above.front()->ClosePopup(mrCancel);
    for (TMenuWindow* w : above) {
        w->Retire();
        gIdleWindows.push_back(w);
    }
}

void TMenuTracker::Choose(TMenuItem* Item)
{
    Result.Chosen = Item;
    if (!Levels.empty())
        Levels.front()->ClosePopup(mrOk);
}

void TMenuTracker::Cancel()
{
    if (!Levels.empty())
        Levels.front()->ClosePopup(mrCancel);
}

void TMenuTracker::SwitchBar(int Step)
{
    if (!Bar || !Dropped)
        return;
    TMenuItem* next = Bar->NeighbourEntry(Dropped, Step);
    if (next && next != Dropped) {
        Result.SwitchTo = next;
        Cancel();
    }
}

bool TMenuTracker::PointerOutside(const TPoint& Screen)
{
    if (!Bar || !Dropped || !Bar->Showing())
        return false;
    const TPoint p = Bar->ScreenToClient(Screen);
    if (!Bar->ClientRect().Contains(p))
        return false;
    TMenuItem* other = Bar->ItemAt(p.X);
    if (!other || other == Dropped || !Bar->CanDropDown(other))
        return false;
    Result.SwitchTo = other;
    Cancel();
    return true;
}

void TMenuTracker::OutsidePress(const TPoint& Screen)
{
    // A press on another entry of the bar drops that one down; anywhere
    // else (the open entry too) the menu only closes.
    if (!PointerOutside(Screen))
        Cancel();
}

void TMenuTracker::ItemGone(TMenuItem* Item)
{
    bool shown = false;
    for (TMenuWindow* w : Levels)
        if (w->Shows(Item)) {
            w->ForgetItem(Item);
            shown = true;
        }
    if (Result.Chosen == Item || (Result.Chosen && Item->Contains(Result.Chosen)))
        Result.Chosen = nullptr;
    if (Dropped == Item)
        Dropped = nullptr;
    if (shown)
        Cancel();
}

void MenuItemGone(TMenuItem* Item)
{
    for (TMenuTracker* t : gTrackers)
        t->ItemGone(Item);
}

TMenuWindow* OpenMenuWindow()
{
    for (auto it = gTrackers.rbegin(); it != gTrackers.rend(); ++it)
        if (!(*it)->Levels.empty())
            return (*it)->Levels.front();
    return nullptr;
}

void FreeMenuWindows()
{
    std::vector<TMenuWindow*> idle;
    idle.swap(gIdleWindows);
    for (TMenuWindow* w : idle)
        delete w;
}

TMenuTrackResult TrackMenu(TMenu* Menu, TMenuItem* Parent, TPoint ScreenPos, TMenuBar* Bar, const TRect& Entry)
{
    if (!Parent || !HasVisibleItems(Parent) || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return {};
    TMenuTracker tracker(Menu, Bar, Bar ? Parent : nullptr);
    gTrackers.push_back(&tracker);
    struct TEnd {
        TMenuTracker& T;
        ~TEnd()
        {
            for (TMenuWindow* w : T.Levels) {
                w->Retire();
                gIdleWindows.push_back(w);
            }
            T.Levels.clear();
            gTrackers.erase(std::find(gTrackers.begin(), gTrackers.end(), &T));
        }
    } end{tracker};
    TMenuWindow* first = tracker.OpenLevel(Parent, nullptr, Entry, ScreenPos);
    first->RunPopup();
    return tracker.Result;
}

// ---------------------------------------------------------------------------
// A level.

TMenuWindow::TMenuWindow(TComponent* AOwner) : TCustomForm(AOwner)
{
    SetBorderStyle(bsNone);
    FColor = clMenu;
    // The pointer must reach the other levels while a button is held.
    FControlStyle.Exclude(csCaptureMouse);
}

TMenuWindow::~TMenuWindow()
{
    gIdleWindows.erase(std::remove(gIdleWindows.begin(), gIdleWindows.end(), this), gIdleWindows.end());
}

void TMenuWindow::CreateParams(TCreateParams& Params)
{
    TCustomForm::CreateParams(Params);
    Params.WindowClassStyle |= CS_DROPSHADOW;
}

void TMenuWindow::CreateWnd()
{
    TCustomForm::CreateWnd();
    ApplyShape();
}

void TMenuWindow::SetFrame(TMenuFrame Value)
{
    auto room = [](int V) { return std::clamp(V, 0, 64); };
    Value.Left = room(Value.Left);
    Value.Top = room(Value.Top);
    Value.Right = room(Value.Right);
    Value.Bottom = room(Value.Bottom);
    Value.CornerCut = room(Value.CornerCut);
    FFrame = std::move(Value);
}

void TMenuWindow::ApplyShape()
{
    QtWidgetHost* host = Host();
    if (!host)
        return;
    // A painted frame brings its own shadow; the toolkit's band would be a
    // second one.
    const bool band = host->testAttribute(Qt::WA_TranslucentBackground) && !FFrame.Paint;
    const int margin = band ? DropShadowSize : 0;
    if (host->ShadowMargin != margin) {
        host->ShadowMargin = margin;
        host->SettingGeometry = true;
        host->resize(Width() + margin, Height() + margin);
        host->SettingGeometry = false;
    }
    const int cut = std::min({FFrame.CornerCut, Width() / 2, Height() / 2});
    if (cut <= 0) {
        if (!host->mask().isEmpty())
            host->clearMask();
        return;
    }
    QRegion shape(0, 0, Width(), Height());
    shape -= QRegion(Width() - cut, 0, cut, cut);
    shape -= QRegion(0, Height() - cut, cut, cut);
    host->setMask(shape);
}

TMenuItem* TMenuWindow::Entry(int Index) const
{
    return Index >= 0 && Index < EntryCount() ? FEntries[std::size_t(Index)].Item : nullptr;
}

TRect TMenuWindow::EntryRect(int Index) const
{
    if (Index < 0 || Index >= EntryCount())
        return {};
    const TEntry& e = FEntries[std::size_t(Index)];
    return {FFrame.Left, e.Top, Width() - FFrame.Right, e.Top + e.Height};
}

int TMenuWindow::EntryAt(const TPoint& P) const
{
    for (int i = 0; i < EntryCount(); ++i)
        if (EntryRect(i).Contains(P))
            return !FEntries[std::size_t(i)].Item || FEntries[std::size_t(i)].Item->IsLine() ? -1 : i;
    return -1;
}

bool TMenuWindow::Shows(const TMenuItem* Item) const
{
    if (Item == FParentItem)
        return true;
    return std::any_of(FEntries.begin(), FEntries.end(), [Item](const TEntry& E) { return E.Item == Item; });
}

void TMenuWindow::ForgetItem(TMenuItem* Item)
{
    if (Item == FParentItem)
        FParentItem = nullptr;
    for (TEntry& e : FEntries)
        if (e.Item == Item)
            e.Item = nullptr;
}

void TMenuWindow::Retire()
{
    if (HandleAllocated())
        KillTimer(Handle(), SubMenuTimer);
    if (Visible())
        Hide();
    FTracker = nullptr;
    FParentItem = nullptr;
    FParentWindow = nullptr;
    FEntries.clear();
    FSelected = FSubIndex = -1;
    FFrame = TMenuFrame{};
}

TMenuWindow* TMenuWindow::SubMenu() const { return FTracker ? FTracker->LevelAbove(this) : nullptr; }

void TMenuWindow::Fill(TMenuTracker* Tracker, TMenuItem* Parent, TMenuWindow* ParentWindow)
{
    FTracker = Tracker;
    FParentItem = Parent;
    FParentWindow = ParentWindow;
    FSelected = -1;
    FSubIndex = -1;
    FEntries.clear();
    // Separators never first, last or twice in a row.
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine() && (FEntries.empty() || FEntries.back().Item->IsLine()))
            continue;
        FEntries.push_back({item, 0, 0});
    }
    while (!FEntries.empty() && FEntries.back().Item->IsLine())
        FEntries.pop_back();

    FFrame = TMenuFrame{};
    TCanvas* c = MenuMeasureCanvas();
    int width = 0;
    {
        struct TMeasuring {
            TMenuWindow* Before = gMeasuring;
            explicit TMeasuring(TMenuWindow* W) { gMeasuring = W; }
            ~TMeasuring() { gMeasuring = Before; }
        } measuring(this);
        for (TEntry& e : FEntries) {
            const TSize s = MeasureMenuItem(e.Item, c, false);
            width = std::max(width, s.cx);
            e.Height = s.cy;
        }
    }
    // The frame is known once the items were asked.
    int y = FFrame.Top;
    for (TEntry& e : FEntries) {
        e.Top = y;
        y += e.Height;
    }
    SetBounds(Left(), Top(), width + FFrame.Left + FFrame.Right, y + FFrame.Bottom);
    ApplyShape();
    Invalidate();
}

void TMenuWindow::Select(int Index)
{
    if (Index < -1 || Index >= EntryCount() || (Index >= 0 && (!Entry(Index) || Entry(Index)->IsLine())))
        Index = -1;
    if (Index == FSelected)
        return;
    InvalidateRect(EntryRect(FSelected));
    FSelected = Index;
    InvalidateRect(EntryRect(FSelected));
}

bool TMenuWindow::Opens(int Index) const
{
    const TMenuItem* item = Entry(Index);
    return item && !item->IsLine() && item->Enabled() && HasVisibleItems(item);
}

void TMenuWindow::MoveSelection(int Step)
{
    const int n = EntryCount();
    if (n == 0)
        return;
    int i = FSelected;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (Step > 0 ? 0 : n - 1) : (i + Step + n) % n;
        if (Entry(i) && !Entry(i)->IsLine()) {
            Select(i);
            return;
        }
    }
}

void TMenuWindow::OpenSubMenu(bool SelectFirst)
{
    if (!FTracker || !Opens(FSelected))
        return;
    KillTimer(Handle(), SubMenuTimer);
    FSubIndex = FSelected;
    TRect anchor = EntryRect(FSubIndex);
    anchor.Left = 0;
    anchor.Right = Width();
    OffsetRect(anchor, Left(), Top());
    TMenuWindow* sub = FTracker->OpenLevel(Entry(FSubIndex), this, anchor, {});
    if (SelectFirst)
        sub->MoveSelection(1);
}

void TMenuWindow::CloseSubMenu()
{
    if (FSubIndex < 0)
        return;
    FSubIndex = -1;
    if (FTracker)
        FTracker->CloseLevelsAbove(this);
}

void TMenuWindow::Activate(int Index, bool SelectFirst)
{
    TMenuItem* item = Entry(Index);
    if (!item || item->IsLine() || !FTracker)
        return;
    Select(Index);
    if (Opens(Index)) {
        if (FSubIndex != Index) {
            CloseSubMenu();
            OpenSubMenu(SelectFirst);
        } else if (SelectFirst) {
            if (TMenuWindow* sub = SubMenu(); sub && sub->Selected() < 0)
                sub->MoveSelection(1);
        }
        return;
    }
    if (item->Enabled() && !HasVisibleItems(item))
        FTracker->Choose(item);
}

void TMenuWindow::Accelerator(char32_t Key)
{
    std::vector<int> hits;
    for (int i = 0; i < EntryCount(); ++i)
        if (Entry(i) && !Entry(i)->IsLine() && MenuAccelerator(Entry(i)->Caption()) == Key)
            hits.push_back(i);
    if (hits.empty())
        for (int i = 0; i < EntryCount(); ++i) {
            // Without a marked letter, the caption's first one counts.
            const String caption = Entry(i) && !Entry(i)->IsLine() ? StripHotkey(Entry(i)->Caption()) : String();
            std::size_t at = 0;
            if (!caption.empty() && MenuKeyChar(DecodeAt(caption, at)) == Key)
                hits.push_back(i);
        }
    if (hits.empty())
        return;
    if (hits.size() == 1) {
        Activate(hits.front(), true);
        return;
    }
    // Several share the letter: each press goes on to the next.
    auto next = std::upper_bound(hits.begin(), hits.end(), FSelected);
    Select(next == hits.end() ? hits.front() : *next);
}

void TMenuWindow::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomForm::KeyDown(Key, Shift);
    if (!FTracker)
        return;
    Word k = Key;
    if (FTracker->RightToLeft && (k == VK_LEFT || k == VK_RIGHT))
        k = k == VK_LEFT ? VK_RIGHT : VK_LEFT;
    switch (k) {
    case VK_UP: MoveSelection(-1); break;
    case VK_DOWN: MoveSelection(1); break;
    case VK_HOME:
        FSelected = -1;
        MoveSelection(1);
        Invalidate();
        break;
    case VK_END:
        FSelected = -1;
        MoveSelection(-1);
        Invalidate();
        break;
    case VK_RIGHT:
        if (Opens(FSelected))
            Activate(FSelected, true);
        else
            FTracker->SwitchBar(1);
        break;
    case VK_LEFT:
        if (FParentWindow)
            FParentWindow->CloseSubMenu();
        else
            FTracker->SwitchBar(-1);
        break;
    case VK_RETURN:
        Activate(FSelected, true);
        break;
    case VK_ESCAPE:
        if (FParentWindow)
            FParentWindow->CloseSubMenu();
        else
            FTracker->Cancel();
        break;
    default:
        return;
    }
    Key = 0;
}

void TMenuWindow::KeyPress(WideChar& Key)
{
    TCustomForm::KeyPress(Key);
    if (Key >= 32 && (Key < 0xD800 || Key > 0xDFFF))
        Accelerator(MenuKeyChar(char32_t(Key)));
    Key = 0;
}

bool TMenuWindow::PopupOutsidePress(TMouseButton, const TPoint& ScreenPos)
{
    if (FTracker)
        FTracker->OutsidePress(ScreenPos);
    else
        ClosePopup(mrCancel);
    return true;
}

void TMenuWindow::PopupDismissed()
{
    if (FTracker)
        FTracker->Cancel();
}

void TMenuWindow::PointerMoved(const TPoint& P)
{
    if (!FTracker)
        return;
    const TPoint screen = ClientToScreen(P);
    // A level that appears under a resting pointer selects nothing.
    if (screen == FTracker->LastPointer)
        return;
    FTracker->LastPointer = screen;
    FTracker->Armed = true;
    if (!TRect(0, 0, Width(), Height()).Contains(P)) {
        if (FTracker->PointerOutside(screen))
            return;
        // Outside every level: an entry whose sub-menu is open stays lit.
        if (FSelected != FSubIndex)
            Select(-1);
        return;
    }
    if (FParentWindow && FParentWindow->FSubIndex >= 0) {
        // Back on this level: its entry in the parent stays the open one.
        FParentWindow->Select(FParentWindow->FSubIndex);
        KillTimer(FParentWindow->Handle(), SubMenuTimer);
    }
    const int index = EntryAt(P);
    Select(index);
    if (index != FSubIndex && (FSubIndex >= 0 || Opens(index)))
        SetTimer(Handle(), SubMenuTimer, SubMenuDelay);
    else
        KillTimer(Handle(), SubMenuTimer);
}

void TMenuWindow::ButtonUp(const TPoint& P)
{
    if (!FTracker || !FTracker->Armed)
        return;
    const int index = EntryAt(P);
    if (index >= 0 && !Opens(index))
        Activate(index, false);
}

void TMenuWindow::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (TCanvas* c = Message.DC())
            Paint(c);
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_MOUSEMOVE:
        PointerMoved({Message.XPos(), Message.YPos()});
        return;
    case WM_NCMOUSEMOVE:
        PointerMoved(ScreenToClient(Message.Pos()));
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: {
        if (FTracker)
            FTracker->Armed = true;
        const int index = EntryAt({Message.XPos(), Message.YPos()});
        if (index >= 0) {
            Select(index);
            if (Opens(index))
                Activate(index, false);
        }
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ButtonUp({Message.XPos(), Message.YPos()});
        return;
    case WM_TIMER:
        if (Message.TimerID() == SubMenuTimer) {
            KillTimer(Handle(), SubMenuTimer);
            if (FSelected != FSubIndex) {
                CloseSubMenu();
                if (Opens(FSelected))
                    OpenSubMenu(false);
            }
        }
        return;
    default:
        TCustomForm::Dispatch(Message);
    }
}

void TMenuWindow::Paint(TCanvas* Canvas)
{
    const TRect all{0, 0, Width(), Height()};
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clMenu);
    Canvas->FillRect(all);
    if (!FFrame.Paint) {
        Canvas->Brush()->SetColor(clBtnShadow);
        Canvas->FrameRect(all);
    }
    for (int i = 0; i < EntryCount(); ++i) {
        TMenuItem* item = Entry(i);
        const TRect r = EntryRect(i);
        if (!item || !Canvas->RectVisible(r))
            continue;
        const int saved = Canvas->SaveDC();
        DrawMenuItem(item, Canvas, r, MenuItemState(item, i == FSelected, false), false);
        Canvas->RestoreDC(saved);
    }
    if (FFrame.Paint) {
        const int saved = Canvas->SaveDC();
        FFrame.Paint(this, Canvas);
        Canvas->RestoreDC(saved);
    }
}
