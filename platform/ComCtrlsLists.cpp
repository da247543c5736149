// The report-style list view: columns, items with sub-items, selection.
#include <algorithm>

#include "platform/ComCtrls.h"
#include "platform/Graphics.h"

TListColumn* TListColumns::Add()
{
    FItems.push_back(std::make_unique<TListColumn>());
    return FItems.back().get();
}

TListColumn* TListColumns::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List column index out of range: " + std::to_string(Index));
    return FItems[std::size_t(Index)].get();
}

// ---------------------------------------------------------------------------
// Items

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {}

void TListItem::SetCaption(const String& Value)
{
    FCaption = Value;
    FOwner->Owner()->ItemsChanged();
}

void TListItem::SetSelected(bool Value)
{
    if (FSelected == Value)
        return;
    TListView* view = FOwner->Owner();
    if (Value && !view->MultiSelect())
        for (int i = 0; i < FOwner->Count(); ++i) {
            TListItem* other = FOwner->Item(i);
            if (other != this && other->FSelected)
                other->SetSelected(false);
        }
    FSelected = Value;
    view->ItemSelectionChanged(this, Value);
}

bool TListItem::Focused() const { return FOwner->Owner()->ItemFocused() == this; }

void TListItem::SetFocused(bool Value)
{
    TListView* view = FOwner->Owner();
    if (Value)
        view->SetItemFocused(this);
    else if (view->ItemFocused() == this)
        view->SetItemFocused(nullptr);
}

int TListItem::Index() const { return FOwner->IndexOf(this); }

TListView* TListItem::ListView() const { return FOwner->Owner(); }

void TListItem::Delete() { FOwner->Delete(Index()); }

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("List item index out of range: " + std::to_string(Index));
    auto item = std::make_unique<TListItem>(this);
    TListItem* raw = item.get();
    FItems.insert(FItems.begin() + Index, std::move(item));
    FOwner->ItemsChanged();
    return raw;
}

void TListItems::Delete(int Index)
{
    TListItem* item = Item(Index);
    FOwner->ItemRemoving(item);
    // The handler may have deleted items itself: look the item up again.
    int at = IndexOf(item);
    if (at >= 0)
        FItems.erase(FItems.begin() + at);
    FOwner->ItemsChanged();
}

void TListItems::Clear()
{
    BeginUpdate();
    while (Count() > 0)
        Delete(Count() - 1);
    EndUpdate();
}

TListItem* TListItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List item index out of range: " + std::to_string(Index));
    return FItems[std::size_t(Index)].get();
}

int TListItems::IndexOf(const TListItem* Item) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Item)
            return int(i);
    return -1;
}

void TListItems::BeginUpdate() { ++FUpdateCount; ++FOwner->FUpdateCount; }

void TListItems::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    --FUpdateCount;
    --FOwner->FUpdateCount;
    FOwner->ItemsChanged();
}

// ---------------------------------------------------------------------------
// The view

TListView::TListView(TComponent* AOwner) : TCustomControl(AOwner), FItems(this)
{
    FColor = clWindow;
    SetTabStop(true);
    SetBorderStyle(bsSingle);
    SetBounds(0, 0, 250, 150);
}

TListView::~TListView()
{
    // Deleting items fires no events once the view goes.
    OnSelectItem = nullptr;
    OnDeletion = nullptr;
    FFocused = nullptr;
}

void TListView::ItemSelectionChanged(TListItem* Item, bool Selected)
{
    if (Selected)
        FFocused = Item;
    Invalidate();
    if (OnSelectItem)
        OnSelectItem(this, Item, Selected);
}

void TListView::ItemRemoving(TListItem* Item)
{
    if (Item->FSelected) {
        Item->FSelected = false;
        if (OnSelectItem)
            OnSelectItem(this, Item, false);
    }
    if (FFocused == Item)
        FFocused = nullptr;
    if (OnDeletion)
        OnDeletion(this, Item);
}

void TListView::ItemsChanged()
{
    if (FUpdateCount > 0)
        return;
    SetTopIndex(FTopIndex);
    Invalidate();
}

void TListView::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    if (!Value) {
        // Only the first selected item stays selected.
        bool seen = false;
        for (int i = 0; i < FItems.Count(); ++i) {
            TListItem* item = FItems[i];
            if (item->FSelected) {
                if (seen)
                    item->SetSelected(false);
                seen = true;
            }
        }
    }
}

TListItem* TListView::Selected() const
{
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems[i]->FSelected)
            return FItems[i];
    return nullptr;
}

void TListView::SetSelected(TListItem* Item)
{
    if (Item && Item->FOwner != &FItems)
        return;
    for (int i = 0; i < FItems.Count(); ++i) {
        TListItem* other = FItems[i];
        if (other != Item && other->FSelected)
            other->SetSelected(false);
    }
    if (Item) {
        Item->SetSelected(true);
        FFocused = Item;
    }
}

int TListView::SelCount() const
{
    int n = 0;
    for (int i = 0; i < FItems.Count(); ++i)
        n += FItems[i]->FSelected ? 1 : 0;
    return n;
}

int TListView::ItemIndex() const
{
    TListItem* item = Selected();
    return item ? item->Index() : -1;
}

void TListView::SetItemIndex(int Value)
{
    SetSelected(Value >= 0 && Value < FItems.Count() ? FItems[Value] : nullptr);
}

void TListView::ClearSelection() { SetSelected(nullptr); }

void TListView::SetTopIndex(int Value)
{
    int rows = std::max(1, (ClientHeight() - HeaderHeight()) / FRowHeight);
    int most = std::max(0, FItems.Count() - rows);
    FTopIndex = std::clamp(Value, 0, most);
    Invalidate();
}

TRect TListView::ItemRect(const TListItem* Item)
{
    int index = FItems.IndexOf(Item);
    if (index < 0)
        return {};
    int top = HeaderHeight() + (index - FTopIndex) * FRowHeight;
    return {0, top, ClientWidth(), top + FRowHeight};
}

TListItem* TListView::GetItemAt(int X, int Y)
{
    if (Y < HeaderHeight() || X < 0 || X >= ClientWidth())
        return nullptr;
    if (!FRowSelect) {
        // Without whole-row selection only the first column's cell hits.
        int first = FColumns.Count() > 0 ? FColumns[0]->Width() : ClientWidth();
        if (X >= first)
            return nullptr;
    }
    int index = FTopIndex + (Y - HeaderHeight()) / FRowHeight;
    return index < FItems.Count() ? FItems[index] : nullptr;
}

void TListView::MakeVisible(TListItem* Item)
{
    int index = FItems.IndexOf(Item);
    if (index < 0)
        return;
    int rows = std::max(1, (ClientHeight() - HeaderHeight()) / FRowHeight);
    if (index < FTopIndex)
        SetTopIndex(index);
    else if (index >= FTopIndex + rows)
        SetTopIndex(index - rows + 1);
}

void TListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft || Button == mbRight) {
        if (CanFocus() && HandleAllocated())
            SetFocus();
        TListItem* item = GetItemAt(X, Y);
        if (item && FMultiSelect && Shift.Contains(ssCtrl)) {
            item->SetSelected(!item->Selected());
            FFocused = item;
        } else if (item) {
            SetSelected(item);
        } else if (Button == mbLeft) {
            SetSelected(nullptr);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListView::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int count = FItems.Count();
    if (count == 0)
        return;
    int current = FFocused ? FFocused->Index() : -1;
    int next = current;
    int page = std::max(1, (ClientHeight() - HeaderHeight()) / FRowHeight - 1);
    switch (Key) {
    case VK_UP: next = std::max(0, current - 1); break;
    case VK_DOWN: next = std::min(count - 1, current + 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    case VK_PRIOR: next = std::max(0, current - page); break;
    case VK_NEXT: next = std::min(count - 1, std::max(0, current) + page); break;
    default: return;
    }
    Key = 0;
    if (next != current || !FItems[next]->Selected()) {
        SetSelected(FItems[next]);
        MakeVisible(FItems[next]);
    }
}

void TListView::Paint()
{
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    auto cellText = [&](const String& S, TRect R) {
        R.Left += 4;
        c->Brush()->SetStyle(bsClear);
        c->DrawText(S, R, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        c->Brush()->SetStyle(bsSolid);
    };
    int header = HeaderHeight();
    if (header > 0) {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect({0, 0, client.Right, header});
        c->Font()->SetColor(clWindowText);
        int x = 0;
        for (int i = 0; i < FColumns.Count(); ++i) {
            int w = FColumns[i]->Width();
            if (w <= 0)
                continue;
            cellText(FColumns[i]->Caption(), {x, 0, x + w, header});
            c->Pen()->SetColor(clBtnShadow);
            c->MoveTo(x + w - 1, 2);
            c->LineTo(x + w - 1, header - 2);
            x += w;
        }
    }
    bool showSelection = !FHideSelection || Focused();
    for (int i = FTopIndex; i < FItems.Count(); ++i) {
        TListItem* item = FItems[i];
        TRect row = ItemRect(item);
        if (row.Top >= client.Bottom)
            break;
        bool hot = item->Selected() && showSelection;
        int x = 0;
        int columns = std::max(1, FColumns.Count());
        for (int col = 0; col < columns; ++col) {
            int w = FColumns.Count() > 0 ? FColumns[col]->Width() : client.Right;
            if (w <= 0)
                continue;
            TRect cell{x, row.Top, x + w, row.Bottom};
            bool fill = hot && (FRowSelect || col == 0);
            if (fill) {
                c->Brush()->SetColor(clHighlight);
                c->FillRect(cell);
            }
            c->Font()->SetColor(fill ? clHighlightText : clWindowText);
            String text = col == 0 ? item->Caption()
                          : col - 1 < item->SubItems()->Count() ? item->SubItems()->Get(col - 1)
                                                                 : String();
            cellText(text, cell);
            x += w;
        }
    }
}
