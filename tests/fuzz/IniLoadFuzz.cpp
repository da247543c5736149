// Arbitrary bytes as the contents of an ini file (compressed or plain text):
// loading never fails, and what was loaded writes out and reads back to the
// same ini.
#include "document/IniFiles.h"

#include "platform/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemIniFile ini;
    ini.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));

    // Lookups through a few names taken from the input.
    if (ini.SectionCount() > 0) {
        const TStrings& sections = ini.Sections();
        const String first = sections[0];
        TStringList keys;
        ini.ReadSection(first, keys);
        for (int i = 0; i < keys.Count() && i < 8; ++i) {
            ini.ReadString(first, keys[i], String());
            ini.ReadInteger(first, keys[i], 0);
            ini.WriteString(first, keys[i], "x\r\ny");
        }
        ini.DeleteKey(first, keys.Count() ? keys[0] : String());
        ini.EraseSection(sections[sections.Count() - 1]);
    }

    // Through the file encoding, but not through the decompressor: a text
    // may happen to read as a valid compressed stream.
    const String text = ini.GetText();
    TMemIniFile again;
    again.SetText(DecodeText(EncodeText(text)));
    if (again.GetText() != text)
        std::abort();
    return 0;
}
