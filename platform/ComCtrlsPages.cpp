// Page control, tab sheets and tab control: the tab strip they share.
#include <algorithm>

#include "platform/ComCtrls.h"
#include "platform/Graphics.h"

int MeasureTextWidth(TFont* Font, const String& Text)
{
    if (Text.empty())
        return 0;
    // One small image serves every measurement; it lives as long as the
    // process, like the fonts it measures with.
    static TBitmap* scratch = new TBitmap(1, 1);
    TCanvas* canvas = scratch->Canvas();
    if (Font)
        canvas->SetFont(Font);
    return canvas->TextWidth(Text);
}

// ---------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    FColor = clBtnFace;
    SetAlign(alClient);
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (FPageControl != Value)
        SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    TWinControl::SetParent(AParent);
    auto* pages = dynamic_cast<TPageControl*>(AParent);
    if (pages == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    if (pages)
        pages->InsertPage(this);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (!FPageControl)
        return;
    auto& pages = FPageControl->FPages;
    int count = int(pages.size());
    Value = std::clamp(Value, 0, count - 1);
    int current = PageIndex();
    if (current == Value)
        return;
    pages.erase(pages.begin() + current);
    pages.insert(pages.begin() + Value, this);
    FPageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl) {
        // A sheet whose tab goes cannot stay the one shown.
        if (!Value && FPageControl->FActivePage == this)
            FPageControl->SetActivePage(FPageControl->FindNextPage(this, true));
        else if (Value && !FPageControl->FActivePage)
            FPageControl->SetActivePage(this);
        FPageControl->Invalidate();
    }
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return index;
        if (p->FTabVisible)
            ++index;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle.Include(csAcceptsControls);
    FColor = clBtnFace;
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::SetTabHeight(int Value)
{
    Value = std::max(Value, 8);
    if (FTabHeight == Value)
        return;
    FTabHeight = Value;
    Realign();
    Invalidate();
}

TRect TCustomTabControl::DisplayRect()
{
    TRect c = ClientRect();
    TRect r{c.Left + 2, c.Top + FTabHeight + 2, c.Right - 2, c.Bottom - 2};
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

TRect TCustomTabControl::TabRect(int Index)
{
    int count = TabCount();
    if (Index < 0 || Index >= count)
        return {};
    int x = 2;
    for (int i = 0; i < count; ++i) {
        int w = std::max(40, MeasureTextWidth(Font(), TabCaption(i)) + 16);
        if (i == Index)
            return {x, 2, x + w, 2 + FTabHeight};
        x += w;
    }
    return {};
}

int TCustomTabControl::IndexOfTabAt(int X, int Y)
{
    int count = TabCount();
    for (int i = 0; i < count; ++i) {
        TRect r = TabRect(i);
        if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom)
            return i;
    }
    return -1;
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomTabControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TRect d = DisplayRect();
    Rect.Left = std::max(Rect.Left, d.Left);
    Rect.Top = std::max(Rect.Top, d.Top);
    Rect.Right = std::max(Rect.Left, std::min(Rect.Right, d.Right));
    Rect.Bottom = std::max(Rect.Top, std::min(Rect.Bottom, d.Bottom));
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        int index = IndexOfTabAt(X, Y);
        if (index >= 0 && index != CurrentTab())
            SelectTabByUser(index);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTabControl::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int count = TabCount();
    if (count == 0)
        return;
    int current = CurrentTab();
    int next = -1;
    if (Key == VK_TAB && Shift.Contains(ssCtrl))
        next = ((current < 0 ? 0 : current) + (Shift.Contains(ssShift) ? count - 1 : 1)) % count;
    else if (Key == VK_LEFT && current > 0)
        next = current - 1;
    else if (Key == VK_RIGHT && current + 1 < count)
        next = current + 1;
    if (next >= 0 && next != current) {
        SelectTabByUser(next);
        Key = 0;
    }
}

void TCustomTabControl::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetColor(clBtnFace);
    TRect d = DisplayRect();
    c->Rectangle(d.Left - 2, d.Top - 2, d.Right + 2, d.Bottom + 2);
    int current = CurrentTab();
    for (int i = 0; i < TabCount(); ++i) {
        TRect r = TabRect(i);
        if (i == current) {
            r.Top -= 2;
            c->Brush()->SetColor(clWindow);
        } else {
            c->Brush()->SetColor(clBtnFace);
        }
        c->Rectangle(r);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clWindowText);
        c->DrawText(TabCaption(i), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c->Brush()->SetStyle(bsSolid);
    }
}

// ---------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl()
{
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError("Page index out of range: " + std::to_string(Index));
    return FPages[std::size_t(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    Page->SetParent(this);
    if (!FActivePage && Page->TabVisible())
        SetActivePage(Page);
    else
        Page->SetVisible(Page == FActivePage);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    TTabSheet* next = FActivePage == Page ? FindNextPage(Page, true) : FActivePage;
    if (next == Page)
        next = nullptr;
    FPages.erase(it);
    Page->FPageControl = nullptr;
    if (Page->Parent() == this)
        Page->SetParent(nullptr);
    FActivePage = nullptr;
    SetActivePage(next);
    Invalidate();
}

void TPageControl::ShowActive()
{
    for (TTabSheet* p : FPages)
        p->SetVisible(p == FActivePage);
    if (FActivePage)
        FActivePage->BringToFront();
    Realign();
}

void TPageControl::SetActivePage(TTabSheet* Page)
{
    if (Page && Page->FPageControl != this)
        return;
    if (Page && !Page->TabVisible())
        return;
    if (FActivePage == Page)
        return;
    FActivePage = Page;
    ShowActive();
    Invalidate();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[std::size_t(Value)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward)
{
    int count = PageCount();
    if (count == 0)
        return nullptr;
    int start = Current ? Current->PageIndex() : -1;
    if (start < 0)
        start = GoForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = (i + (GoForward ? 1 : count - 1)) % count;
        TTabSheet* p = FPages[std::size_t(i)];
        if (p->TabVisible() && p != Current)
            return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward)
{
    TTabSheet* next = FindNextPage(FActivePage, GoForward);
    if (next && next != FActivePage)
        SelectTabByUser(next->TabIndex());
}

TTabSheet* TPageControl::VisiblePage(int TabIndex) const
{
    int index = 0;
    for (TTabSheet* p : FPages)
        if (p->TabVisible() && index++ == TabIndex)
            return p;
    return nullptr;
}

int TPageControl::TabCount()
{
    return int(std::count_if(FPages.begin(), FPages.end(), [](TTabSheet* p) { return p->TabVisible(); }));
}

String TPageControl::TabCaption(int Index)
{
    TTabSheet* p = VisiblePage(Index);
    return p ? p->Caption() : String();
}

int TPageControl::CurrentTab() { return FActivePage ? FActivePage->TabIndex() : -1; }

void TPageControl::SelectTabByUser(int Index)
{
    TTabSheet* p = VisiblePage(Index);
    if (!p || p == FActivePage || !CanChange())
        return;
    SetActivePage(p);
    Change();
}

// ---------------------------------------------------------------------------
// TTabControl

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>())
{
    FTabs->OnChange = [this](TObject*) { TabsChanged(); };
}

TTabControl::~TTabControl() { FTabs->OnChange = nullptr; }

void TTabControl::TabsChanged()
{
    int count = FTabs->Count();
    if (FTabIndex >= count)
        FTabIndex = count - 1;
    if (FTabIndex < 0 && count > 0)
        FTabIndex = 0;
    Invalidate();
}

void TTabControl::SetTabIndex(int Value)
{
    if (Value < 0 || Value >= FTabs->Count())
        Value = -1;
    if (FTabIndex == Value)
        return;
    FTabIndex = Value;
    Invalidate();
}

int TTabControl::TabCount() { return FTabs->Count(); }

String TTabControl::TabCaption(int Index) { return Index >= 0 && Index < FTabs->Count() ? FTabs->Get(Index) : String(); }

int TTabControl::CurrentTab() { return FTabIndex; }

void TTabControl::SelectTabByUser(int Index)
{
    if (Index < 0 || Index >= FTabs->Count() || Index == FTabIndex || !CanChange())
        return;
    FTabIndex = Index;
    Invalidate();
    Change();
}
