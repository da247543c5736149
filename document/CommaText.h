#pragma once
// Nested comma texts: a list of texts in the string list's comma-text form
// whose items may themselves be comma texts (pulldown entries, positions,
// position groups). Shared by reference: an ICommaText lives as long as its
// last holder.
#include <memory>
#include <vector>

#include "platform/StringList.h"

class TCommaText;
class TListBox;
using ICommaText = std::shared_ptr<TCommaText>;

class TCommaText {
public:
    TCommaText() = default;
    explicit TCommaText(const TStrings& Strings);
    explicit TCommaText(const String& Text);
    TCommaText(const TCommaText& Other);
    TCommaText& operator=(const TCommaText& Other);

    void FromCommaText(const String& Text);
    String AsString() const;
    void FromStrings(const TStrings& List);
    void FromArray(const std::vector<String>& Values);
    // The texts of the list box's selected items, in its order.
    void FromSelection(const TListBox& ListBox);
    // Selects exactly the list box's items whose texts are in this list
    // (compared as IndexOf compares) and deselects the others.
    void ToSelection(TListBox& ListBox) const;

    int Add(const String& Text);
    // Index checks as for a string list (EStringListError).
    void Insert(int Index, const String& Text);
    void Delete(int Index);
    void Clear();
    // First index of the text, compared as the string list compares; -1.
    int IndexOf(const String& Text) const;

    int Count() const;
    int Count(int I) const;
    int Count(int I, int J) const;
    // "" whenever an index is not within its list.
    String Item(int I) const;
    String Item(int I, int J) const;
    String Item(int I, int J, int K) const;
    // Grow the lists with empty items as needed; negative indexes change nothing.
    void SetItem(int I, const String& Text);
    void SetItem(int I, int J, const String& Text);
    void SetItem(int I, int J, int K, const String& Text);

    const TStringList& Strings() const { return FList; }

private:
    TStringList FList;
};

ICommaText NewCommaText();
ICommaText NewCommaText(const String& Text);
ICommaText NewCommaText(const TStrings& Strings);
// An independent copy (null gives an empty list).
ICommaText CopyCommaText(const ICommaText& Source);

// The comma text with the item appended.
String AddToCommaText(const String& List, const String& Item);
// Item Index of a comma text; "" when out of range.
String CommaTextItem(const String& List, int Index);
// Number of items of a comma text.
int CommaTextCount(const String& List);
