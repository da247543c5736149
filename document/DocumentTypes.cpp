#include "document/DocumentTypes.h"

#include <atomic>

#include "document/CommaText.h"
#include "platform/Graphics.h"

const char* const CheckBoxTexts[2] = {"Nein", "Ja"};

namespace {

const char* const ColumnTypeNames[] = {"Text", "Date", "Pulldown", "Number", "CheckBox", "Link"};

UInt64 NextListVersion()
{
    static std::atomic<UInt64> counter{0};
    return ++counter;
}

}  // namespace

void FreeNodeData(TNodeData& Data)
{
    delete Data.StringList;
    Data.StringList = nullptr;
    delete Data.Bitmap;
    Data.Bitmap = nullptr;
}

THeaderData::THeaderData() : Strings(std::make_unique<TStringList>()), FVersion(NextListVersion())
{
    Strings->OnChange = [this](TObject*) { FVersion = NextListVersion(); };
}

String THeaderData::Format() const { return Strings->Count() > 0 ? Strings->Get(0) : String(); }

void THeaderData::SetFormat(const String& Value)
{
    if (Strings->Count() > 0)
        Strings->Put(0, Value);
    else
        Strings->Add(Value);
}

int THeaderData::IndexOfEntry(const String& Text) const
{
    // Rebuilt after any change of the entries; the count also catches a
    // change made inside an update bracket of the list, which reports
    // itself only at the bracket's end.
    if (FCacheVersion != FVersion || FCacheCount != Strings->Count()) {
        FCache.clear();
        for (int i = 0; i < Strings->Count(); ++i)
            FCache.emplace(CommaTextItem(Strings->Get(i), 0), i);
        FCacheVersion = FVersion;
        FCacheCount = Strings->Count();
    }
    auto it = FCache.find(Text);
    return it == FCache.end() ? -1 : it->second;
}

TColumnType ColumnTypeName2Type(const String& Name)
{
    for (int i = 0; i < 6; ++i)
        if (Name == ColumnTypeNames[i])
            return TColumnType(i);
    return ctText;
}

String ColumnType2Name(TColumnType Type)
{
    const int i = int(Type);
    return i >= 0 && i < 6 ? ColumnTypeNames[i] : ColumnTypeNames[0];
}
