#include "network/EventText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

#include "network/TOOCSEvent.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

const char StringsSuffix[] = ".Strings";

[[noreturn]] void Fail(const String& Why)
{
    throw EEventStreamError(Why);
}

// ---------------------------------------------------------------------------
// Writing.

String Quoted(const String& Text)
{
    const std::u16string units = Utf8ToUtf16(Text);
    String out;
    bool open = false;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (cp >= 32 && cp < 127) {
            if (!open) {
                out += '\'';
                open = true;
            }
            out += char(cp);
            if (cp == '\'')
                out += '\'';
        } else {
            if (open) {
                out += '\'';
                open = false;
            }
            out += '#' + std::to_string(cp);
        }
    }
    if (open)
        out += '\'';
    return out.empty() ? "''" : out;
}

String FloatText(double V)
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.17g", V);
    String s = buf;
    // The C locale is not guaranteed here; the text always uses a point.
    for (char& c : s)
        if (c == ',')
            c = '.';
    if (s.find_first_of(".eE") == String::npos)
        s += ".0";
    return s;
}

// ---------------------------------------------------------------------------
// Reading.

class TTextReader {
public:
    explicit TTextReader(const std::string& Text) : FText(Text) {}

    void SkipBlanks()
    {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r' ||
                                       FText[FPos] == '\n'))
            ++FPos;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return FPos >= FText.size();
    }
    char Peek()
    {
        SkipBlanks();
        return FPos < FText.size() ? FText[FPos] : '\0';
    }
    void Expect(char C)
    {
        if (Peek() != C)
            Fail(String("Expected '") + C + "' in the event text");
        ++FPos;
    }
    String Identifier()
    {
        SkipBlanks();
        const std::size_t start = FPos;
        while (FPos < FText.size() && (std::isalnum(Byte(FText[FPos])) || FText[FPos] == '_' || FText[FPos] == '.'))
            ++FPos;
        if (FPos == start || std::isdigit(Byte(FText[start])))
            Fail("Expected a name in the event text");
        if (FPos - start > 255)
            Fail("Name too long in the event text");
        return FText.substr(start, FPos - start);
    }
    // A number as written: sign, digits, point, exponent.
    String Number()
    {
        SkipBlanks();
        const std::size_t start = FPos;
        if (FPos < FText.size() && (FText[FPos] == '-' || FText[FPos] == '+'))
            ++FPos;
        while (FPos < FText.size() && (std::isdigit(Byte(FText[FPos])) || FText[FPos] == '.' ||
                                       FText[FPos] == 'e' || FText[FPos] == 'E' ||
                                       ((FText[FPos] == '-' || FText[FPos] == '+') &&
                                        (FText[FPos - 1] == 'e' || FText[FPos - 1] == 'E'))))
            ++FPos;
        if (FPos == start || FPos - start > 64)
            Fail("Expected a number in the event text");
        return FText.substr(start, FPos - start);
    }
    bool AtString()
    {
        const char c = Peek();
        return c == '\'' || c == '#';
    }
    String StringValue()
    {
        SkipBlanks();
        std::u16string units;
        bool any = false;
        for (;;) {
            if (FPos < FText.size() && FText[FPos] == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\r' || FText[FPos] == '\n')
                        Fail("String runs past the end of its line");
                    const char c = FText[FPos++];
                    if (c == '\'') {
                        if (FPos < FText.size() && FText[FPos] == '\'') {
                            ++FPos;
                            units += u'\'';
                            continue;
                        }
                        break;
                    }
                    units += char16_t(Byte(c));
                }
            } else if (FPos < FText.size() && FText[FPos] == '#') {
                ++FPos;
                std::uint32_t cp = 0;
                std::size_t digits = 0;
                while (FPos < FText.size() && std::isdigit(Byte(FText[FPos]))) {
                    cp = cp * 10 + std::uint32_t(FText[FPos++] - '0');
                    if (++digits > 7)
                        Fail("Character code too long");
                }
                if (digits == 0 || cp > 0x10FFFF)
                    Fail("Bad character code in the event text");
                if (cp >= 0x10000) {
                    cp -= 0x10000;
                    units += char16_t(0xD800 + (cp >> 10));
                    units += char16_t(0xDC00 + (cp & 0x3FF));
                } else {
                    units += char16_t(cp);
                }
            } else {
                break;
            }
            any = true;
        }
        if (!any)
            Fail("Expected a string in the event text");
        return Utf16ToUtf8(units);
    }

private:
    const std::string& FText;
    std::size_t FPos = 0;
};

Int64 ParseInteger(const String& Text)
{
    if (Text.find_first_of(".eE") != String::npos)
        Fail("Expected an integer, found " + Text);
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(Text.c_str(), &end, 10);
    if (errno != 0 || !end || *end != '\0')
        Fail("Bad integer " + Text);
    return Int64(v);
}

double ParseFloat(const String& Text)
{
    // Decimal point whatever the locale: split by hand into mantissa and
    // exponent and let strtod see only what it reads the same everywhere.
    const std::size_t e = Text.find_first_of("eE");
    const String mant = Text.substr(0, e);
    const std::size_t dot = mant.find('.');
    const String digits = dot == String::npos ? mant : mant.substr(0, dot) + mant.substr(dot + 1);
    const int fraction = dot == String::npos ? 0 : int(mant.size() - dot - 1);
    int exponent = 0;
    if (e != String::npos) {
        const Int64 x = ParseInteger(Text.substr(e + 1));
        if (x < -400 || x > 400)
            Fail("Bad number " + Text);
        exponent = int(x);
    }
    if (digits.empty() || digits == "-" || digits == "+" || mant.find('.', dot + 1) != String::npos)
        Fail("Bad number " + Text);
    for (std::size_t i = (digits[0] == '-' || digits[0] == '+') ? 1 : 0; i < digits.size(); ++i)
        if (!std::isdigit(Byte(digits[i])))
            Fail("Bad number " + Text);
    const double v = std::strtod((digits + "e" + std::to_string(exponent - fraction)).c_str(), nullptr);
    if (!std::isfinite(v))
        Fail("Bad number " + Text);
    return v;
}

} // namespace

void WriteEventText(TTOOCSEvent& Event, TStream& Dest)
{
    String out = "object ";
    if (!Event.Name().empty())
        out += Event.Name() + ": ";
    out += Event.ClassName() + "\r\n";
    const TEventPropertyList& props = Event.Properties();
    for (int i = 0; i < props.Count(); ++i) {
        const TEventProperty& p = props.Items(i);
        switch (p.Type) {
        case ptInteger:
            out += "  " + p.Name + " = " + std::to_string(p.GetOrdinal(Event)) + "\r\n";
            break;
        case ptInt64:
            if (const Int64 v = p.GetOrdinal(Event))
                out += "  " + p.Name + " = " + std::to_string(v) + "\r\n";
            break;
        case ptEnumeration: {
            const Int64 v = p.GetOrdinal(Event);
            if (v < 0 || v >= Int64(p.Identifiers.size()))
                Fail("Value of " + p.Name + " has no identifier");
            out += "  " + p.Name + " = " + p.Identifiers[std::size_t(v)] + "\r\n";
            break;
        }
        case ptDateTime:
            if (const double v = p.GetFloat(Event); v != 0)
                out += "  " + p.Name + " = " + FloatText(v) + "\r\n";
            break;
        case ptString:
            if (const String v = p.GetString(Event); !v.empty())
                out += "  " + p.Name + " = " + Quoted(v) + "\r\n";
            break;
        case ptStrings: {
            TStrings* list = p.GetStrings(Event);
            if (list && list->Count() > 0) {
                out += "  " + p.Name + StringsSuffix + " = (";
                for (int k = 0; k < list->Count(); ++k)
                    out += "\r\n    " + Quoted(list->Get(k));
                out += ")\r\n";
            }
            break;
        }
        }
    }
    out += "end\r\n";
    Dest.WriteBytes(out);
}

TTOOCSEvent* ReadEventText(TStream& Source)
{
    try {
        const std::string text = Source.ReadBytes(Source.Remaining());
        TTextReader r(text);
        if (!SameText(r.Identifier(), "object"))
            Fail("Not the text of an event");
        String componentName;
        String className = r.Identifier();
        if (r.Peek() == ':') {
            r.Expect(':');
            componentName = className;
            className = r.Identifier();
        }
        TClass cls = GetClass(className);
        if (!cls)
            Fail("Unknown class " + className);
        if (!cls->InheritsFrom(TTOOCSEvent::StaticClassInfo()) || !cls->Create)
            Fail("Class " + className + " is not an event");
        std::unique_ptr<TTOOCSEvent, TObjectDeleter> event(static_cast<TTOOCSEvent*>(cls->CreateInstance()));
        if (!componentName.empty())
            event->SetName(componentName);
        const TEventPropertyList& props = event->Properties();
        for (;;) {
            const String name = r.Identifier();
            if (SameText(name, "end"))
                break;
            r.Expect('=');
            const std::size_t suffix = sizeof(StringsSuffix) - 1;
            if (name.size() > suffix && SameText(name.substr(name.size() - suffix), StringsSuffix)) {
                const TEventProperty* p = props.Find(name.substr(0, name.size() - suffix));
                if (!p || p->Type != ptStrings)
                    Fail("Unknown property " + name + " of " + className);
                r.Expect('(');
                TStrings* list = p->GetStrings(*event);
                list->Clear();
                while (r.Peek() != ')')
                    list->Add(r.StringValue());
                r.Expect(')');
                continue;
            }
            const TEventProperty* p = props.Find(name);
            if (!p || p->Type == ptStrings)
                Fail("Unknown property " + name + " of " + className);
            switch (p->Type) {
            case ptInteger: {
                const Int64 v = ParseInteger(r.Number());
                if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
                    Fail("Value of " + name + " out of range");
                p->SetOrdinal(*event, v);
                break;
            }
            case ptInt64:
                p->SetOrdinal(*event, ParseInteger(r.Number()));
                break;
            case ptEnumeration: {
                const String id = r.Identifier();
                std::size_t i = 0;
                while (i < p->Identifiers.size() && !SameText(p->Identifiers[i], id))
                    ++i;
                if (i == p->Identifiers.size())
                    Fail("Unknown value " + id + " of " + name);
                p->SetOrdinal(*event, Int64(i));
                break;
            }
            case ptDateTime:
                p->SetFloat(*event, ParseFloat(r.Number()));
                break;
            case ptString:
                if (!r.AtString())
                    Fail("Expected a string for " + name);
                p->SetString(*event, r.StringValue());
                break;
            case ptStrings:
                break;
            }
        }
        if (!r.AtEnd())
            Fail("Unexpected text after the event");
        return event.release();
    } catch (const EEventStreamError&) {
        throw;
    } catch (const Exception& e) {
        throw EEventStreamError(e.Message);
    } catch (const std::bad_alloc&) {
        throw EEventStreamError("Out of memory reading an event");
    }
}
