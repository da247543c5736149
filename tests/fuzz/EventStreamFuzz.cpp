// Arbitrary bytes as they might arrive from the network: split into reads,
// framed into messages, decompressed and decoded into events. Also the raw
// component stream reader (binary or text) on its own, which compression keeps the mutator
// from reaching often. Nothing may crash, hang or leak; every failure must be
// an EEventStreamError.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "network/EventStream.h"
#include "network/EventText.h"
#include "network/TOOCSEvent.h"
#include "platform/StringList.h"

namespace {

enum TFuzzKind { fkOne, fkTwo, fkThree };

class TFuzzEvent : public TTOOCSEvent {
    VEK_DECLARE_CREATABLE_CLASS(TFuzzEvent, TTOOCSEvent)

public:
    TFuzzEvent() : TTOOCSEvent(nullptr) {}
    void Perform() override {}

    Int64 Big() const { return FBig; }
    void SetBig(Int64 V) { FBig = V; }
    int Small() const { return FSmall; }
    void SetSmall(int V) { FSmall = V; }
    TFuzzKind Kind() const { return FKind; }
    void SetKind(TFuzzKind V) { FKind = V; }
    TDateTime At() const { return FAt; }
    void SetAt(TDateTime V) { FAt = V; }
    const String& Text() const { return FText; }
    void SetText(const String& V) { FText = V; }
    TStringList* Lines() const { return FLines.get(); }

protected:
    void DeclareProperties(TEventPropertyList& List) const override
    {
        TTOOCSEvent::DeclareProperties(List);
        List.AddInt64("Big", &TFuzzEvent::Big, &TFuzzEvent::SetBig);
        List.AddInteger("Small", &TFuzzEvent::Small, &TFuzzEvent::SetSmall);
        List.AddEnumeration("Kind", &TFuzzEvent::Kind, &TFuzzEvent::SetKind, {"fkOne", "fkTwo", "fkThree"});
        List.AddDateTime("At", &TFuzzEvent::At, &TFuzzEvent::SetAt);
        List.AddString("Text", &TFuzzEvent::Text, &TFuzzEvent::SetText);
        List.AddStrings("Lines", &TFuzzEvent::Lines);
    }

private:
    Int64 FBig = 0;
    int FSmall = 0;
    TFuzzKind FKind = fkOne;
    TDateTime FAt = 0;
    String FText;
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

void DecodeOne(TStream& Source, bool Text = false)
{
    try {
        std::unique_ptr<TTOOCSEvent, TObjectDeleter> event(Text ? ReadEventText(Source) : ReadEventComponent(Source));
        // What was read must write again.
        TMemoryStream again;
        WriteEventComponent(*event, again);
    } catch (const EEventStreamError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool registered = [] {
        RegisterClass(TFuzzEvent::StaticClassInfo());
        return true;
    }();
    (void)registered;
    if (Size == 0)
        return 0;

    const uint8_t mode = Data[0];
    ++Data;
    --Size;
    if (mode & 1) {
        TMemoryStream s;
        s.WriteBuffer(Data, Int64(Size));
        s.SetPosition(0);
        // Mode bit 1 picks the text form.
        DecodeOne(s, (mode & 2) != 0);
        return 0;
    }

    // Reads of 1 to 16 bytes (by the mode byte) or all at once.
    const std::size_t step = (mode >> 1) & 0x0F ? (mode >> 1) & 0x0F : Size;
    TMessageBuffer buffer;
    std::size_t at = 0;
    while (at < Size) {
        const std::size_t n = std::min(step ? step : Size, Size - at);
        buffer.Append(Data + at, n);
        at += n;
        for (;;) {
            std::string message;
            String error;
            const TMessageBuffer::TState state = buffer.Next(message, error);
            if (state == TMessageBuffer::msError)
                return 0;  // the connection would close here
            if (state == TMessageBuffer::msIncomplete)
                break;
            try {
                TMemoryStream plain;
                DecompressMessage(message, plain);
                DecodeOne(plain);
            } catch (const EEventStreamError&) {
                return 0;
            }
        }
    }
    return 0;
}
