// Parses arbitrary bytes as a comma text (or, chosen by the first byte, a
// text with another delimiter and quote), rebuilds it and parses that again:
// the second parse must give the same items and the same text, whatever the
// input was.
#include "platform/StringList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void Configure(TStringList& list, uint8_t mode)
{
    if (mode == 1) {
        list.Delimiter = ';';
    } else if (mode == 2) {
        list.Delimiter = '|';
        list.QuoteChar = '\'';
    }
}

bool SameItems(const TStringList& a, const TStringList& b)
{
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t mode = size > 0 && data[0] < 3 ? data[0] : 0;
    const String input(reinterpret_cast<const char*>(data), size);

    TStringList first;
    TStringList second;
    Configure(first, mode);
    Configure(second, mode);
    if (mode == 0) {
        first.SetCommaText(input);
        const String text = first.CommaText();
        second.SetCommaText(text);
        Check(SameItems(first, second));
        Check(second.CommaText() == text);
    } else {
        first.SetDelimitedText(input);
        const String text = first.DelimitedText();
        second.SetDelimitedText(text);
        Check(SameItems(first, second));
        Check(second.DelimitedText() == text);
    }
    return 0;
}
