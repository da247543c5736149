#include "platform/StringList.h"

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <numeric>

namespace {

bool IsAscii(const String& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Lists compare a great many short ASCII names (ini sections and keys); for
// those the Unicode comparison gives the same order as comparing the lower
// case bytes, without the conversions.
int CompareNoCase(const String& a, const String& b)
{
    if (!IsAscii(a) || !IsAscii(b))
        return AnsiCompareText(a, b);
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char ca = a[i];
        char cb = b[i];
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

int CompareCase(const String& a, const String& b)
{
    if (!IsAscii(a) || !IsAscii(b))
        return AnsiCompareStr(a, b);
    const int r = a.compare(b);
    return (r > 0) - (r < 0);
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

// ---------------------------------------------------------------- TStrings

void TStrings::IndexError(int index) const
{
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const String& s)
{
    TObject* object = GetObject(index);
    BeginUpdate();
    try {
        Delete(index);
        InsertObject(index, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::GetObject(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return nullptr;
}

void TStrings::PutObject(int index, TObject*)
{
    if (index < 0 || index >= Count())
        IndexError(index);
}

int TStrings::Add(const String& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const String& s, TObject* object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const String& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    try {
        const String s1 = Get(index1);
        TObject* o1 = GetObject(index1);
        const String s2 = Get(index2);
        TObject* o2 = GetObject(index2);
        Put(index1, s2);
        PutObject(index1, o2);
        Put(index2, s1);
        PutObject(index2, o1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    if (newIndex < 0 || newIndex >= Count())
        IndexError(newIndex);
    BeginUpdate();
    try {
        const String s = Get(curIndex);
        TObject* object = GetObject(curIndex);
        // Detach the object first: an owning list must not free it here.
        PutObject(curIndex, nullptr);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::CheckSingleOwner(const TStrings& source) const
{
    if (OwnsItemObjects() && source.OwnsItemObjects())
        for (int i = 0; i < source.Count(); ++i)
            if (source.GetObject(i))
                throw EStringListError("Objects cannot be owned by two lists");
}

void TStrings::AddStrings(const TStrings& source)
{
    const int n = source.Count();
    CheckSingleOwner(source);
    BeginUpdate();
    try {
        for (int i = 0; i < n; ++i)
            AddObject(source.Get(i), source.GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(const TStrings& source)
{
    if (&source == this)
        return;
    // Refused before the own items go.
    CheckSingleOwner(source);
    BeginUpdate();
    try {
        Clear();
        Delimiter = source.Delimiter;
        QuoteChar = source.QuoteChar;
        NameValueSeparator = source.NameValueSeparator;
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source)
{
    if (const auto* strings = dynamic_cast<const TStrings*>(Source))
        Assign(*strings);
    else
        TPersistent::Assign(Source);
}

int TStrings::IndexOf(const String& s) const
{
    const int n = Count();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const
{
    const int n = Count();
    for (int i = 0; i < n; ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

int TStrings::IndexOfName(const String& name) const
{
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        const String s = Get(i);
        const size_t p = s.find(NameValueSeparator);
        if (p != String::npos && CompareStrings(s.substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

String TStrings::Names(int index) const
{
    const String s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(int index) const
{
    const String s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(p + 1);
}

String TStrings::Values(const String& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValue(const String& name, const String& value)
{
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const String line = name + NameValueSeparator + value;
    if (i < 0)
        Add(line);
    else
        Put(i, line);
}

String TStrings::Text() const
{
    String out;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const String& text)
{
    std::vector<String> lines;
    SplitLines(text, lines);
    BeginUpdate();
    try {
        Clear();
        for (const String& line : lines)
            Add(line);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TStrings::BuildDelimited(char delimiter, char quote) const
{
    const int n = Count();
    if (n == 1 && Get(0).empty())
        return String(2, quote);
    String out;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            out += delimiter;
        const String s = Get(i);
        const bool quoted = std::any_of(s.begin(), s.end(),
                                        [&](char c) { return IsBlank(c) || c == quote || c == delimiter; });
        if (!quoted) {
            out += s;
            continue;
        }
        out += quote;
        for (const char c : s) {
            if (c == quote)
                out += quote;
            out += c;
        }
        out += quote;
    }
    return out;
}

void TStrings::ParseDelimited(const String& text, char delimiter, char quote)
{
    const size_t n = text.size();
    size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p]))
            ++p;
    };
    BeginUpdate();
    try {
        Clear();
        skipBlanks();
        while (p < n) {
            String item;
            if (text[p] == quote) {
                // Two quotes stand for one; an unterminated item runs to the end.
                ++p;
                while (p < n) {
                    if (text[p] == quote) {
                        if (p + 1 < n && text[p + 1] == quote) {
                            item += quote;
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    item += text[p++];
                }
            } else {
                const size_t start = p;
                while (p < n && !IsBlank(text[p]) && text[p] != delimiter)
                    ++p;
                item.assign(text, start, p - start);
            }
            Add(item);
            skipBlanks();
            if (p < n && text[p] == delimiter) {
                ++p;
                if (p == n)
                    Add(String());
                skipBlanks();
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TStrings::CommaText() const
{
    return BuildDelimited(',', '"');
}

void TStrings::SetCommaText(const String& text)
{
    ParseDelimited(text, ',', '"');
}

String TStrings::DelimitedText() const
{
    return BuildDelimited(Delimiter, QuoteChar);
}

void TStrings::SetDelimitedText(const String& text)
{
    ParseDelimited(text, Delimiter, QuoteChar);
}

void TStrings::LoadFromFile(const String& fileName)
{
    SetText(LoadTextFile(fileName));
}

void TStrings::SaveToFile(const String& fileName) const
{
    SaveTextFile(fileName, Text());
}

void TStrings::LoadFromStream(TStream& stream)
{
    SetText(DecodeText(stream.ReadBytes(stream.Remaining())));
}

void TStrings::SaveToStream(TStream& stream) const
{
    stream.WriteBytes(EncodeText(Text()));
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& a, const String& b) const
{
    return CompareNoCase(a, b);
}

// ------------------------------------------------------------- TStringList

TStringList::~TStringList()
{
    if (OwnsObjects)
        for (TStringItem& item : FList)
            delete item.FObject;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
}

void TStringList::CheckUnsorted() const
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const String& a, const String& b) const
{
    return FCaseSensitive ? CompareCase(a, b) : CompareNoCase(a, b);
}

String TStringList::Get(int index) const
{
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FString;
}

void TStringList::Put(int index, const String& s)
{
    CheckUnsorted();
    CheckIndex(index);
    Changing();
    FList[static_cast<size_t>(index)].FString = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FObject;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    TObject*& slot = FList[static_cast<size_t>(index)].FObject;
    if (slot == object)
        return;
    Changing();
    TObject* old = slot;
    slot = object;
    if (OwnsObjects)
        delete old;
    Changed();
}

int TStringList::Add(const String& s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const String& s, TObject* object)
{
    int index = Count();
    if (FSorted && Find(s, index)) {
        if (Duplicates == dupIgnore)
            return index;
        if (Duplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
        // dupAccept: after the equal items already there.
        while (index < Count() && CompareStrings(FList[static_cast<size_t>(index)].FString, s) == 0)
            ++index;
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const String& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const String& s, TObject* object)
{
    CheckUnsorted();
    if (index < 0 || index > Count())
        IndexError(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const String& s, TObject* object)
{
    Changing();
    FList.insert(FList.begin() + index, TStringItem{s, object});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    TObject* object = FList[static_cast<size_t>(index)].FObject;
    FList.erase(FList.begin() + index);
    if (OwnsObjects)
        delete object;
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (OwnsObjects)
        for (TStringItem& item : old)
            delete item.FObject;
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckUnsorted();
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    CheckUnsorted();
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    Changing();
    TStringItem item = std::move(FList[static_cast<size_t>(curIndex)]);
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const String& s) const
{
    if (!FSorted) {
        for (size_t i = 0; i < FList.size(); ++i)
            if (CompareStrings(FList[i].FString, s) == 0)
                return static_cast<int>(i);
        return -1;
    }
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const String& s, int& index) const
{
    int low = 0;
    int high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareStrings(FList[static_cast<size_t>(mid)].FString, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && CompareStrings(FList[static_cast<size_t>(low)].FString, s) == 0;
}

void TStringList::Sort()
{
    if (FList.size() < 2)
        return;
    Changing();
    std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& a, const TStringItem& b) {
        return CompareStrings(a.FString, b.FString) < 0;
    });
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    CheckUnsorted();
    if (FList.size() < 2)
        return;
    Changing();
    // The comparison looks items up by index, so the list stays untouched
    // until the order is known.
    std::vector<int> order(FList.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (const int i : order)
        sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (value == FSorted)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}
