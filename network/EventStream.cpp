#include "network/EventStream.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "document/LZR.h"
#include "network/TOOCSEvent.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

const char Signature[4] = {'T', 'P', 'F', '0'};
const char StringsSuffix[] = ".Strings";

[[noreturn]] void Fail(const String& Why)
{
    throw EEventStreamError(Why);
}

// ---------------------------------------------------------------------------
// Writing.

void WriteShortString(TStream& Dest, const String& S)
{
    if (S.size() > 255)
        Fail("Name too long for the component stream: " + S);
    Dest.WriteUInt8(Byte(S.size()));
    Dest.WriteBytes(S);
}

void WriteIntegerValue(TStream& Dest, Int64 V)
{
    if (V >= std::numeric_limits<std::int8_t>::min() && V <= std::numeric_limits<std::int8_t>::max()) {
        Dest.WriteUInt8(vaInt8);
        Dest.WriteInt8(std::int8_t(V));
    } else if (V >= std::numeric_limits<std::int16_t>::min() && V <= std::numeric_limits<std::int16_t>::max()) {
        Dest.WriteUInt8(vaInt16);
        Dest.WriteInt16(std::int16_t(V));
    } else if (V >= std::numeric_limits<std::int32_t>::min() && V <= std::numeric_limits<std::int32_t>::max()) {
        Dest.WriteUInt8(vaInt32);
        Dest.WriteInt32(std::int32_t(V));
    } else {
        Dest.WriteUInt8(vaInt64);
        Dest.WriteInt64(V);
    }
}

void WriteStringValue(TStream& Dest, const String& S)
{
    std::string ansi;
    if (Utf8ToWindows1252(S, ansi)) {
        if (ansi.size() <= 255) {
            Dest.WriteUInt8(vaString);
            Dest.WriteUInt8(Byte(ansi.size()));
        } else {
            Dest.WriteUInt8(vaLString);
            Dest.WriteInt32(std::int32_t(ansi.size()));
        }
        Dest.WriteBytes(ansi);
        return;
    }
    if (S.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        Fail("Text too long for the component stream");
    Dest.WriteUInt8(vaUTF8String);
    Dest.WriteInt32(std::int32_t(S.size()));
    Dest.WriteBytes(S);
}

// ---------------------------------------------------------------------------
// Reading.

String ReadShortString(TStream& Source)
{
    const Byte n = Source.ReadUInt8();
    return Source.ReadBytes(n);
}

Int64 ReadLength(TStream& Source)
{
    const std::int32_t n = Source.ReadInt32();
    if (n < 0)
        Fail("Negative string length");
    if (n > Source.Remaining())
        Fail("String runs past the end of the message");
    return n;
}

bool IsStringType(Byte Type)
{
    return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String;
}

String ReadStringData(TStream& Source, Byte Type)
{
    switch (Type) {
    case vaString:
        return Windows1252ToUtf8(ReadShortString(Source));
    case vaLString:
        return Windows1252ToUtf8(Source.ReadBytes(ReadLength(Source)));
    case vaUTF8String:
        // Round trip through UTF-16 so that invalid sequences from the wire
        // become U+FFFD: text in memory is always valid UTF-8.
        return Utf16ToUtf8(Utf8ToUtf16(Source.ReadBytes(ReadLength(Source))));
    case vaWString: {
        const std::int32_t units = Source.ReadInt32();
        if (units < 0 || Int64(units) * 2 > Source.Remaining())
            Fail("String runs past the end of the message");
        const std::string bytes = Source.ReadBytes(Int64(units) * 2);
        std::u16string text(std::size_t(units), u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = char16_t(Byte(bytes[2 * i]) | (Byte(bytes[2 * i + 1]) << 8));
        return Utf16ToUtf8(text);
    }
    default:
        Fail("Unknown value type " + IntToStr(int(Type)) + " for a string");
    }
}

Int64 ReadIntegerData(TStream& Source, Byte Type)
{
    switch (Type) {
    case vaInt8:
        return Source.ReadInt8();
    case vaInt16:
        return Source.ReadInt16();
    case vaInt32:
        return Source.ReadInt32();
    case vaInt64:
        return Source.ReadInt64();
    default:
        Fail("Unknown value type " + IntToStr(int(Type)) + " for an integer");
    }
}

// The 10-byte extended format: 64-bit mantissa with explicit integer bit,
// 15-bit exponent (bias 16383) and the sign.
double ExtendedToDouble(const std::string& B)
{
    UInt64 mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | Byte(B[std::size_t(i)]);
    const int signExp = Byte(B[8]) | (Byte(B[9]) << 8);
    const int exponent = signExp & 0x7FFF;
    if (exponent == 0x7FFF)
        Fail("Date is not a number");
    double v = std::ldexp(double(mantissa), exponent - 16383 - 63);
    return (signExp & 0x8000) ? -v : v;
}

double ReadDateData(TStream& Source, Byte Type)
{
    double v = 0;
    switch (Type) {
    case vaExtended:
        v = ExtendedToDouble(Source.ReadBytes(10));
        break;
    case vaDate:
    case vaDouble:
        v = Source.ReadDouble();
        break;
    default:
        Fail("Unknown value type " + IntToStr(int(Type)) + " for a date");
    }
    if (!std::isfinite(v))
        Fail("Date is not a number");
    return v;
}

void ReadProperty(TTOOCSEvent& Event, const TEventPropertyList& Props, const String& Name, TStream& Source)
{
    const std::size_t suffix = sizeof(StringsSuffix) - 1;
    if (Name.size() > suffix && SameText(Name.substr(Name.size() - suffix), StringsSuffix)) {
        const TEventProperty* p = Props.Find(Name.substr(0, Name.size() - suffix));
        if (!p || p->Type != ptStrings)
            Fail("Unknown property " + Name + " of " + Event.ClassName());
        if (Source.ReadUInt8() != vaList)
            Fail("Property " + Name + " is not a list");
        TStrings* list = p->GetStrings(Event);
        list->BeginUpdate();
        try {
            list->Clear();
            for (;;) {
                const Byte type = Source.ReadUInt8();
                if (type == vaNull)
                    break;
                if (!IsStringType(type))
                    Fail("Unknown value type " + IntToStr(int(type)) + " in " + Name);
                list->Add(ReadStringData(Source, type));
            }
        } catch (...) {
            list->EndUpdate();
            throw;
        }
        list->EndUpdate();
        return;
    }

    const TEventProperty* p = Props.Find(Name);
    if (!p || p->Type == ptStrings)
        Fail("Unknown property " + Name + " of " + Event.ClassName());
    const Byte type = Source.ReadUInt8();
    switch (p->Type) {
    case ptInteger: {
        const Int64 v = ReadIntegerData(Source, type);
        if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
            Fail("Value of " + Name + " out of range");
        p->SetOrdinal(Event, v);
        break;
    }
    case ptInt64:
        p->SetOrdinal(Event, ReadIntegerData(Source, type));
        break;
    case ptEnumeration: {
        if (type != vaIdent)
            Fail("Unknown value type " + IntToStr(int(type)) + " for " + Name);
        const String id = ReadShortString(Source);
        std::size_t i = 0;
        while (i < p->Identifiers.size() && !SameText(p->Identifiers[i], id))
            ++i;
        if (i == p->Identifiers.size())
            Fail("Unknown value " + id + " of " + Name);
        p->SetOrdinal(Event, Int64(i));
        break;
    }
    case ptDateTime:
        p->SetFloat(Event, ReadDateData(Source, type));
        break;
    case ptString:
        if (!IsStringType(type))
            Fail("Unknown value type " + IntToStr(int(type)) + " for " + Name);
        p->SetString(Event, ReadStringData(Source, type));
        break;
    case ptStrings:
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------

void WriteEventComponent(TTOOCSEvent& Event, TStream& Dest)
{
    Dest.WriteBuffer(Signature, 4);
    WriteShortString(Dest, Event.ClassName());
    WriteShortString(Dest, Event.Name());
    const TEventPropertyList& props = Event.Properties();
    for (int i = 0; i < props.Count(); ++i) {
        const TEventProperty& p = props.Items(i);
        switch (p.Type) {
        case ptInteger:
            WriteShortString(Dest, p.Name);
            WriteIntegerValue(Dest, p.GetOrdinal(Event));
            break;
        case ptInt64: {
            const Int64 v = p.GetOrdinal(Event);
            if (v != 0) {
                WriteShortString(Dest, p.Name);
                WriteIntegerValue(Dest, v);
            }
            break;
        }
        case ptEnumeration: {
            const Int64 v = p.GetOrdinal(Event);
            if (v < 0 || v >= Int64(p.Identifiers.size()))
                Fail("Value of " + p.Name + " has no identifier");
            WriteShortString(Dest, p.Name);
            Dest.WriteUInt8(vaIdent);
            WriteShortString(Dest, p.Identifiers[std::size_t(v)]);
            break;
        }
        case ptDateTime: {
            const double v = p.GetFloat(Event);
            if (v != 0) {
                WriteShortString(Dest, p.Name);
                Dest.WriteUInt8(vaDate);
                Dest.WriteDouble(v);
            }
            break;
        }
        case ptString: {
            const String v = p.GetString(Event);
            if (!v.empty()) {
                WriteShortString(Dest, p.Name);
                WriteStringValue(Dest, v);
            }
            break;
        }
        case ptStrings: {
            TStrings* list = p.GetStrings(Event);
            if (list && list->Count() > 0) {
                WriteShortString(Dest, p.Name + StringsSuffix);
                Dest.WriteUInt8(vaList);
                for (int k = 0; k < list->Count(); ++k)
                    WriteStringValue(Dest, list->Get(k));
                Dest.WriteUInt8(vaNull);
            }
            break;
        }
        }
    }
    Dest.WriteUInt8(vaNull);  // end of the properties
    Dest.WriteUInt8(vaNull);  // end of the (empty) list of children
}

TTOOCSEvent* ReadEventComponent(TStream& Source)
{
    try {
        char sig[4];
        if (Source.Read(sig, 4) != 4 || std::memcmp(sig, Signature, 4) != 0)
            Fail("Not a component stream");
        const String className = ReadShortString(Source);
        TClass cls = GetClass(className);
        if (!cls)
            Fail("Unknown class " + className);
        if (!cls->InheritsFrom(TTOOCSEvent::StaticClassInfo()) || !cls->Create)
            Fail("Class " + className + " is not an event");
        const String componentName = ReadShortString(Source);

        std::unique_ptr<TTOOCSEvent, TObjectDeleter> event(static_cast<TTOOCSEvent*>(cls->CreateInstance()));
        if (!componentName.empty())
            event->SetName(componentName);
        const TEventPropertyList& props = event->Properties();
        for (;;) {
            const String name = ReadShortString(Source);
            if (name.empty())
                break;
            ReadProperty(*event, props, name, Source);
        }
        if (Source.ReadUInt8() != vaNull)
            Fail("Events have no child components");
        return event.release();
    } catch (const EEventStreamError&) {
        throw;
    } catch (const Exception& e) {
        throw EEventStreamError(e.Message);
    } catch (const std::bad_alloc&) {
        throw EEventStreamError("Out of memory reading an event");
    }
}

// ---------------------------------------------------------------------------

namespace {

// Blocks a message of the given length is made of: one per full chunk and
// the short last one.
Int64 BlockCount(Int64 Total)
{
    return Total / TLZR::ChunkSize + 1;
}

} // namespace

Int64 MaxWireMessageSize()
{
    return 4 + BlockCount(MaxMessageLength) * (2 + TLZR::MaxBlockSize);
}

std::string CompressMessage(TMemoryStream& Encoded)
{
    if (Encoded.Size() > MaxMessageLength)
        throw EEventStreamError("Message too long: " + IntToStr(Encoded.Size()) + " bytes");
    std::string wire;
    // One compressor per thread: its buffers are large, messages small.
    thread_local TLZR lzr;
    if (!lzr.Compress(Encoded.Memory(), std::size_t(Encoded.Size()), wire))
        throw EEventStreamError("Message does not compress");
    return wire;
}

void DecompressMessage(const std::string& Wire, TMemoryStream& Decoded)
{
    std::string plain;
    thread_local TLZR lzr;
    if (!lzr.DeCompress(Wire.data(), Wire.size(), plain))
        throw EEventStreamError("Message does not decompress");
    Decoded.Clear();
    Decoded.WriteBuffer(plain.data(), Int64(plain.size()));
    Decoded.SetPosition(0);
}

// ---------------------------------------------------------------------------

void TMessageBuffer::Append(const void* Data, std::size_t Count) { FBytes.Append(Data, Count); }

TMessageBuffer::TState TMessageBuffer::Next(std::string& Message, String& Error)
{
    const std::size_t avail = Buffered();
    const Byte* p = reinterpret_cast<const Byte*>(FBytes.Data());
    if (avail < 4)
        return msIncomplete;
    const std::int32_t total = std::int32_t(Cardinal(p[0]) | Cardinal(p[1]) << 8 | Cardinal(p[2]) << 16 |
                                            Cardinal(p[3]) << 24);
    if (total < 0 || total > MaxMessageLength) {
        Error = "Bad message length " + IntToStr(int(total));
        return msError;
    }
    const Int64 blocks = BlockCount(total);
    std::size_t at = 4;
    for (Int64 b = 0; b < blocks; ++b) {
        if (avail - at < 2)
            return msIncomplete;
        const std::size_t len = std::size_t(p[at]) | std::size_t(p[at + 1]) << 8;
        if (len > std::size_t(TLZR::MaxBlockSize)) {
            Error = "Bad block length " + IntToStr(int(len));
            return msError;
        }
        at += 2;
        if (avail - at < len)
            return msIncomplete;
        at += len;
    }
    Message.assign(FBytes.Data(), at);
    FBytes.Consume(at);
    return msComplete;
}
