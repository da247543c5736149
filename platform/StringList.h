#pragma once
// String lists: the abstract TStrings (text, comma text, name=value pairs,
// files) and the stored TStringList (objects, sorting, change events).
#include "platform/Classes.h"
#include "platform/Types.h"

#include <functional>
#include <vector>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    VEK_DECLARE_CLASS(TStrings, TPersistent)

public:
    // Used by DelimitedText and the name=value routines. CommaText always
    // uses "," and '"', whatever these hold.
    char Delimiter = ',';
    char QuoteChar = '"';
    char NameValueSeparator = '=';

    virtual int Count() const = 0;
    // Index checks raise EStringListError.
    virtual String Get(int index) const = 0;
    virtual void Put(int index, const String& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    // Read-only: assigning needs Put, so that sorted lists and change events
    // see every write.
    const String operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }

    virtual int Add(const String& s);
    virtual int AddObject(const String& s, TObject* object);
    virtual void Insert(int index, const String& s) = 0;
    virtual void InsertObject(int index, const String& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    // Takes the item (with its object) out and inserts it at newIndex.
    virtual void Move(int curIndex, int newIndex);
    // The source's items and objects are appended; the objects are shared,
    // not copied. Raises EStringListError when both lists would own them.
    virtual void AddStrings(const TStrings& source);
    // Items, objects, Delimiter, QuoteChar and NameValueSeparator.
    void Assign(const TStrings& source);
    // A string-list source as above; others as any persistent object.
    void Assign(TPersistent* Source) override;

    // First index of the text, compared without case unless a list says
    // otherwise; -1 when absent.
    virtual int IndexOf(const String& s) const;
    int IndexOfObject(const TObject* object) const;
    int IndexOfName(const String& name) const;

    // The part of item i before the first NameValueSeparator; "" when it has
    // none.
    String Names(int index) const;
    // The part after the first separator; "" when it has none.
    String ValueFromIndex(int index) const;
    // Value of the first item whose name is the name; "" when none.
    String Values(const String& name) const;
    // Replaces the first such item, appends one when none exists; an empty
    // value deletes the item.
    void SetValue(const String& name, const String& value);

    // Every item followed by CR LF.
    String Text() const;
    // Replaces the items by the lines of the text (CR LF, LF or CR).
    virtual void SetText(const String& text);

    // Items joined by ","; an item holding a character up to the blank, a
    // quote or a comma is quoted with inner quotes doubled; one empty item is
    // written as two quotes.
    String CommaText() const;
    void SetCommaText(const String& text);
    // The same with Delimiter and QuoteChar.
    String DelimitedText() const;
    void SetDelimitedText(const String& text);

    // Read with the text file rules (a byte-order mark selects UTF-8 or
    // UTF-16, else Windows-1252); written as Windows-1252 with CR LF, or as
    // UTF-8 with a byte-order mark when needed to keep every character.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // From the stream's position to its end; to its position.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    // Nested brackets; change events fire once, at the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    // Called with true when the first bracket opens and false when the last
    // one closes.
    virtual void SetUpdateState(bool updating);
    // Ordering and equality of items; negative, zero or positive.
    virtual int CompareStrings(const String& a, const String& b) const;
    // Whether the list frees its objects.
    virtual bool OwnsItemObjects() const { return false; }
    [[noreturn]] void IndexError(int index) const;

private:
    String BuildDelimited(char delimiter, char quote) const;
    void ParseDelimited(const String& text, char delimiter, char quote);
    // EStringListError when both lists would own the same objects.
    void CheckSingleOwner(const TStrings& source) const;

    int FUpdateCount = 0;
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
    VEK_DECLARE_CLASS(TStringList, TStrings)

public:
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : OwnsObjects(ownsObjects) {}
    ~TStringList() override;

    // A list that owns its objects frees them when their item is deleted,
    // when the list is cleared or freed, and when PutObject replaces them.
    bool OwnsObjects = false;
    // What Add does with a text a sorted list already holds: dupIgnore
    // answers the existing index, dupError raises, dupAccept adds it.
    TDuplicates Duplicates = dupIgnore;
    // Run around every change (outside update brackets).
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    int Count() const override { return static_cast<int>(FList.size()); }
    String Get(int index) const override;
    // Sorted lists refuse Put, Insert, Exchange and Move with EStringListError.
    void Put(int index, const String& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Add(const String& s) override;
    int AddObject(const String& s, TObject* object) override;
    void Insert(int index, const String& s) override;
    void InsertObject(int index, const String& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const String& s) const override;

    // Binary search of a sorted list: true and the first matching index, or
    // false and the index where the text would be inserted.
    bool Find(const String& s, int& index) const;
    // Stable: equal items keep their order.
    virtual void Sort();
    // Any order the comparison gives; refused on a sorted list, whose order
    // Find relies on.
    void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return FSorted; }
    // Switching on sorts the list.
    void SetSorted(bool value);
    bool CaseSensitive() const { return FCaseSensitive; }
    // Re-sorts a sorted list.
    void SetCaseSensitive(bool value);

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(const String& a, const String& b) const override;
    bool OwnsItemObjects() const override { return OwnsObjects; }
    void Changing();
    void Changed();

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };

    void CheckIndex(int index) const;
    void CheckUnsorted() const;
    void InsertItem(int index, const String& s, TObject* object);

    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
};
