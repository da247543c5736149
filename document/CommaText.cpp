#include "document/CommaText.h"

#include "platform/StdCtrls.h"

namespace {

// Upper bound for growing a list by index: indexes come from the program,
// but a runaway one must not exhaust memory.
constexpr int MaxGrownItems = 1 << 20;

void GrowTo(TStringList& List, int Index)
{
    while (List.Count() <= Index)
        List.Add(String());
}

String ItemOf(const TStringList& List, int Index)
{
    return Index >= 0 && Index < List.Count() ? List.Get(Index) : String();
}

}  // namespace

TCommaText::TCommaText(const TStrings& Strings) { FromStrings(Strings); }

TCommaText::TCommaText(const String& Text) { FromCommaText(Text); }

TCommaText::TCommaText(const TCommaText& Other) { FList.Assign(Other.FList); }

TCommaText& TCommaText::operator=(const TCommaText& Other)
{
    if (this != &Other)
        FList.Assign(Other.FList);
    return *this;
}

void TCommaText::FromCommaText(const String& Text) { FList.SetCommaText(Text); }

String TCommaText::AsString() const { return FList.CommaText(); }

void TCommaText::FromStrings(const TStrings& List)
{
    FList.BeginUpdate();
    FList.Clear();
    for (int i = 0; i < List.Count(); ++i)
        FList.Add(List.Get(i));
    FList.EndUpdate();
}

void TCommaText::FromArray(const std::vector<String>& Values)
{
    FList.BeginUpdate();
    FList.Clear();
    for (const String& v : Values)
        FList.Add(v);
    FList.EndUpdate();
}

void TCommaText::FromSelection(const TListBox& ListBox)
{
    FList.BeginUpdate();
    FList.Clear();
    for (int i = 0; i < ListBox.Count(); ++i)
        if (ListBox.Selected(i))
            FList.Add(ListBox.Items()->Get(i));
    FList.EndUpdate();
}

void TCommaText::ToSelection(TListBox& ListBox) const
{
    // A sorted copy keeps long lists from comparing every pair.
    TStringList wanted;
    wanted.Assign(FList);
    wanted.SetSorted(true);
    int found = 0;
    for (int i = 0; i < ListBox.Count(); ++i)
        ListBox.SetSelected(i, wanted.Find(ListBox.Items()->Get(i), found));
}

int TCommaText::Add(const String& Text) { return FList.Add(Text); }
void TCommaText::Insert(int Index, const String& Text) { FList.Insert(Index, Text); }
void TCommaText::Delete(int Index) { FList.Delete(Index); }
void TCommaText::Clear() { FList.Clear(); }
int TCommaText::IndexOf(const String& Text) const { return FList.IndexOf(Text); }

int TCommaText::Count() const { return FList.Count(); }

int TCommaText::Count(int I) const { return CommaTextCount(Item(I)); }

int TCommaText::Count(int I, int J) const { return CommaTextCount(Item(I, J)); }

String TCommaText::Item(int I) const { return ItemOf(FList, I); }

String TCommaText::Item(int I, int J) const
{
    if (I < 0 || I >= FList.Count() || J < 0)
        return String();
    return CommaTextItem(FList.Get(I), J);
}

String TCommaText::Item(int I, int J, int K) const
{
    if (K < 0)
        return String();
    return CommaTextItem(Item(I, J), K);
}

void TCommaText::SetItem(int I, const String& Text)
{
    if (I < 0 || I >= MaxGrownItems)
        return;
    GrowTo(FList, I);
    FList.Put(I, Text);
}

void TCommaText::SetItem(int I, int J, const String& Text)
{
    if (I < 0 || J < 0 || I >= MaxGrownItems || J >= MaxGrownItems)
        return;
    TStringList sub;
    sub.SetCommaText(Item(I));
    GrowTo(sub, J);
    sub.Put(J, Text);
    SetItem(I, sub.CommaText());
}

void TCommaText::SetItem(int I, int J, int K, const String& Text)
{
    if (I < 0 || J < 0 || K < 0 || I >= MaxGrownItems || J >= MaxGrownItems || K >= MaxGrownItems)
        return;
    TStringList inner;
    inner.SetCommaText(Item(I, J));
    GrowTo(inner, K);
    inner.Put(K, Text);
    SetItem(I, J, inner.CommaText());
}

ICommaText NewCommaText() { return std::make_shared<TCommaText>(); }
ICommaText NewCommaText(const String& Text) { return std::make_shared<TCommaText>(Text); }
ICommaText NewCommaText(const TStrings& Strings) { return std::make_shared<TCommaText>(Strings); }

ICommaText CopyCommaText(const ICommaText& Source)
{
    return Source ? std::make_shared<TCommaText>(*Source) : NewCommaText();
}

String AddToCommaText(const String& List, const String& Item)
{
    TStringList list;
    list.SetCommaText(List);
    list.Add(Item);
    return list.CommaText();
}

String CommaTextItem(const String& List, int Index)
{
    if (Index < 0 || List.empty())
        return String();
    TStringList list;
    list.SetCommaText(List);
    return ItemOf(list, Index);
}

int CommaTextCount(const String& List)
{
    if (List.empty())
        return 0;
    TStringList list;
    list.SetCommaText(List);
    return list.Count();
}
