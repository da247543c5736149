// The component stream of events and the framing of wire messages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <type_traits>

#include "document/LZR.h"
#include "tests/network/NetTestSupport.h"

using namespace nettest;

namespace {

class EventStreamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProbeClasses(); }
};

std::string ShortString(const std::string& S)
{
    return std::string(1, char(S.size())) + S;
}

// The bytes of V, lowest first, whatever the host's byte order.
template <class T> std::string LittleEndian(T V)
{
    std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t> bits;
    static_assert(sizeof bits == sizeof V);
    std::memcpy(&bits, &V, sizeof V);
    std::string r(sizeof V, '\0');
    for (std::size_t i = 0; i < sizeof V; ++i)
        r[i] = char((bits >> (8 * i)) & 0xFF);
    return r;
}
std::string Int32LE(std::int32_t V) { return LittleEndian(V); }
std::string DoubleLE(double V) { return LittleEndian(V); }

// A stream of TProbeEvent with the given property bytes.
std::string ProbeStream(const std::string& Properties, const std::string& ClassName = "TProbeEvent")
{
    return "TPF0" + ShortString(ClassName) + ShortString("") + Properties + std::string(2, '\0');
}

// Decodes the bytes as a TProbeEvent (or a class derived from it) that uses them all.
template <class TEventClass = TProbeEvent> std::unique_ptr<TEventClass, TObjectDeleter> Decode(const std::string& Bytes)
{
    TMemoryStream s;
    s.WriteBytes(Bytes);
    s.SetPosition(0);
    TTOOCSEvent* e = ReadEventComponent(s);
    EXPECT_TRUE(Is<TEventClass>(e));
    EXPECT_EQ(s.Remaining(), 0);
    return std::unique_ptr<TEventClass, TObjectDeleter>(dynamic_cast<TEventClass*>(e));
}

void ExpectRejected(const std::string& Bytes)
{
    TMemoryStream s;
    s.WriteBytes(Bytes);
    s.SetPosition(0);
    EXPECT_THROW(delete ReadEventComponent(s), EEventStreamError);
}

// What the framer makes of the bytes, with the message it took.
TMessageBuffer::TState Frame(const std::string& Bytes, std::string& Msg)
{
    TMessageBuffer buf;
    buf.Append(Bytes.data(), Bytes.size());
    String error;
    const auto st = buf.Next(Msg, error);
    EXPECT_TRUE(st != TMessageBuffer::msError || !error.empty()) << "an error comes with its text";
    return st;
}

} // namespace

TEST_F(EventStreamTest, WritesTheComponentStreamByteForByteLeavingOutDefaults)
{
    TProbeEvent e;
    // Defaults are left out, but integers and enumerations are always written.
    EXPECT_EQ(Encode(e), ProbeStream(ShortString("Number") + "\x02" + std::string(1, '\0') +
                                     ShortString("Colour") + "\x07" + ShortString("coRed")));
    e.SetNumber(5);
    e.SetColour(coGreen);
    e.SetText("Hi");
    e.Lines()->Add("a");
    const std::string expected = ProbeStream(ShortString("Number") + "\x02\x05" +                     //
                                             ShortString("Colour") + "\x07" + ShortString("coGreen") +  //
                                             ShortString("Text") + "\x06" + ShortString("Hi") +         //
                                             ShortString("Lines.Strings") + "\x01" + "\x06" + ShortString("a") +
                                             std::string(1, '\0'));
    EXPECT_EQ(Encode(e), expected);
}

TEST_F(EventStreamTest, IntegersTakeTheSmallestType)
{
    struct Case {
        Int64 Value;
        char Type;
        std::size_t Bytes;
    } cases[] = {{-128, 2, 1}, {127, 2, 1}, {128, 3, 2}, {-32769, 4, 4}, {40000, 4, 4},
                 {Int64(1) << 40, 19, 8}, {-(Int64(1) << 40), 19, 8}};
    for (const Case& c : cases) {
        TProbeEvent e;
        e.SetTransaction(c.Value);
        const std::string bytes = Encode(e);
        const std::string key = ShortString("Transaction");
        const std::size_t at = bytes.find(key);
        ASSERT_NE(at, std::string::npos) << c.Value;
        EXPECT_EQ(bytes[at + key.size()], c.Type) << c.Value;
        EXPECT_EQ(Decode(bytes)->Transaction(), c.Value);
        // The next property follows right after the value's bytes.
        EXPECT_EQ(bytes.substr(at + key.size() + 1 + c.Bytes, 7), ShortString("Number"));
    }
}

TEST_F(EventStreamTest, StringsByLengthAndCodePage)
{
    auto typeOf = [](const String& Text) {
        TProbeEvent e;
        e.SetText(Text);
        const std::string bytes = Encode(e);
        const std::size_t at = bytes.find(ShortString("Text"));
        EXPECT_EQ(Decode(bytes)->Text(), Text);
        return int(Byte(bytes[at + 5]));
    };
    EXPECT_EQ(typeOf(std::string(255, 'x')), 6);
    EXPECT_EQ(typeOf(std::string(256, 'x')), 12);
    EXPECT_EQ(typeOf("Preis 5 \xE2\x82\xAC"), 6);       // the euro sign is in Windows-1252
    EXPECT_EQ(typeOf("\xCE\xA9 and \xE2\x82\xAC"), 20);  // omega is not

    TProbeEvent e;
    e.SetText("\xE2\x82\xAC");
    const std::string bytes = Encode(e);
    EXPECT_NE(bytes.find(std::string("\x06\x01\x80", 3)), std::string::npos);
}

TEST_F(EventStreamTest, RoundTripsEveryKindAndKeepsBaseClassFirst)
{
    TProbeChildEvent e;
    FillProbe(e);
    const std::string bytes = Encode(e);
    EXPECT_LT(bytes.find(ShortString("Lines.Strings")), bytes.find(ShortString("Extra")));
    ExpectSameProbe(e, Decode<TProbeChildEvent>(bytes).get());
}

TEST_F(EventStreamTest, ReaderAcceptsEveryIntegerDateAndStringType)
{
    // Number as a 64-bit value in range, When as extended, double and date.
    const std::string number = ShortString("Number") + "\x13" + std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8);
    EXPECT_EQ(Decode(ProbeStream(number))->Number(), -2);

    // 1.5 as 10-byte extended: mantissa 0xC000000000000000, exponent 16383.
    const std::string extended = ShortString("When") + "\x05" + std::string(7, '\0') + "\xC0" + "\xFF\x3F";
    EXPECT_DOUBLE_EQ(Decode(ProbeStream(extended))->When(), 1.5);
    EXPECT_DOUBLE_EQ(Decode(ProbeStream(ShortString("When") + "\x15" + DoubleLE(-2.25)))->When(), -2.25);
    EXPECT_DOUBLE_EQ(Decode(ProbeStream(ShortString("When") + "\x11" + DoubleLE(3.5)))->When(), 3.5);

    const std::string utf16 = ShortString("Text") + "\x12" + Int32LE(2) + std::string("\xA9\x03" "A\x00", 4);
    EXPECT_EQ(Decode(ProbeStream(utf16))->Text(), "\xCE\xA9" "A");
    const std::string lstring = ShortString("Text") + "\x0C" + Int32LE(2) + "\xE4!";
    EXPECT_EQ(Decode(ProbeStream(lstring))->Text(), "\xC3\xA4!");
    // Invalid UTF-8 from the wire is repaired, never kept.
    const std::string badUtf8 = ShortString("Text") + "\x14" + Int32LE(2) + "\xC3(";
    EXPECT_EQ(Decode(ProbeStream(badUtf8))->Text(), "\xEF\xBF\xBD(");
    // Property names ignore case, as identifiers do.
    EXPECT_EQ(Decode(ProbeStream(ShortString("nUMBER") + "\x02\x09"))->Number(), 9);
}

TEST_F(EventStreamTest, ReaderRejectsWhatIsNotAnEventStream)
{
    ExpectRejected("TPF1" + ShortString("TProbeEvent") + ShortString("") + std::string(2, '\0'));
    ExpectRejected(ProbeStream("", "TNoSuchEvent"));
    ExpectRejected(ProbeStream("", "TNotAnEvent"));
    ExpectRejected(ProbeStream("", "TTOOCSEvent"));  // abstract, cannot be made
    ExpectRejected(ProbeStream(ShortString("Colour2") + "\x02\x01"));
    ExpectRejected(ProbeStream(ShortString("Number") + "\x63" + "\x01"));  // unknown type byte
    ExpectRejected(ProbeStream(ShortString("Number") + "\x06" + ShortString("1")));
    ExpectRejected(ProbeStream(ShortString("Number") + "\x13" + std::string("\0\0\0\0\1\0\0\0", 8)));
    ExpectRejected(ProbeStream(ShortString("Colour") + "\x07" + ShortString("coPurple")));
    ExpectRejected(ProbeStream(ShortString("Colour") + "\x02\x01"));
    ExpectRejected(ProbeStream(ShortString("When") + "\x11" + DoubleLE(std::nan(""))));
    ExpectRejected(ProbeStream(ShortString("Text") + "\x0C" + Int32LE(1000) + "short"));
    ExpectRejected(ProbeStream(ShortString("Text") + "\x0C" + Int32LE(-1)));
    ExpectRejected(ProbeStream(ShortString("Text") + "\x12" + Int32LE(0x40000000)));
    ExpectRejected(ProbeStream(ShortString("Lines.Strings") + "\x06" + ShortString("x")));
    ExpectRejected(ProbeStream(ShortString("Lines.Strings") + "\x01\x02\x05" + std::string(1, '\0')));
    ExpectRejected(ProbeStream(ShortString("Text.Strings") + "\x01" + std::string(1, '\0')));
    // A child component after the properties.
    ExpectRejected("TPF0" + ShortString("TProbeEvent") + ShortString("") + std::string(1, '\0') + "\x01");
}

TEST_F(EventStreamTest, EveryTruncationIsRejected)
{
    TProbeEvent e;
    e.SetTransaction(123456789012);
    e.SetWhen(2.5);
    e.SetText(std::string(300, 'q'));
    e.Lines()->Add("one");
    e.Lines()->Add("\xCE\xA9");
    const std::string bytes = Encode(e);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        ExpectRejected(bytes.substr(0, n));
    EXPECT_EQ(Decode(bytes)->Text(), std::string(300, 'q'));
}

// ---------------------------------------------------------------------------
// Framing.

TEST_F(EventStreamTest, BufferTakesWholeMessagesOnly)
{
    const std::string wa = ProbeWire(1);
    const std::string wb = ProbeWire(2);

    TMessageBuffer buf;
    std::string msg;
    String error;
    buf.Append(wa.data(), wa.size());
    buf.Append(wb.data(), 3);
    ASSERT_EQ(buf.Next(msg, error), TMessageBuffer::msComplete);
    EXPECT_EQ(msg, wa);
    EXPECT_EQ(buf.Next(msg, error), TMessageBuffer::msIncomplete);
    buf.Append(wb.data() + 3, wb.size() - 3);
    ASSERT_EQ(buf.Next(msg, error), TMessageBuffer::msComplete);
    EXPECT_EQ(msg, wb);
    EXPECT_EQ(buf.Next(msg, error), TMessageBuffer::msIncomplete);
    EXPECT_EQ(buf.Buffered(), 0u);
}

TEST_F(EventStreamTest, BufferFollowsMultiBlockMessagesByteByByte)
{
    // Exactly one full chunk: the message ends only with the empty block
    // after it. And one of several blocks.
    for (std::size_t length : {std::size_t(TLZR::ChunkSize), std::size_t(100000)}) {
        TProbeEvent e;
        String text;
        for (std::size_t i = 0; text.size() < length; ++i)
            text += char('a' + (i * 7919 % 26));
        e.SetText(text);
        TMemoryStream plain;
        WriteEventComponent(e, plain);
        plain.SetSize(Int64(length));  // the framer does not care what the bytes mean
        const std::string wire = CompressMessage(plain);

        TMessageBuffer buf;
        std::string msg;
        String error;
        int completes = 0;
        std::size_t completedAt = 0;
        for (std::size_t i = 0; i < wire.size(); ++i) {
            buf.Append(&wire[i], 1);
            const auto st = buf.Next(msg, error);
            ASSERT_NE(st, TMessageBuffer::msError) << error;
            if (st == TMessageBuffer::msComplete) {
                ++completes;
                completedAt = i + 1;
            }
        }
        EXPECT_EQ(completes, 1);
        EXPECT_EQ(completedAt, wire.size());
        EXPECT_EQ(msg, wire);
        TMemoryStream back;
        DecompressMessage(msg, back);
        EXPECT_EQ(back.Size(), Int64(length));
    }
}

TEST_F(EventStreamTest, BufferRejectsImpossibleLengths)
{
    std::string msg;
    auto state = [&msg](const std::string& Bytes) { return Frame(Bytes, msg); };
    EXPECT_EQ(state(Int32LE(-1)), TMessageBuffer::msError);
    EXPECT_EQ(state(Int32LE(std::int32_t(MaxMessageLength + 1))), TMessageBuffer::msError);
    EXPECT_EQ(state(Int32LE(std::int32_t(MaxMessageLength))), TMessageBuffer::msIncomplete);
    EXPECT_EQ(state(Int32LE(10) + "\xFF\xFF"), TMessageBuffer::msError);  // longer than any block
}

TEST_F(EventStreamTest, MessageThatDoesNotDecompressIsAnError)
{
    TProbeEvent e;
    e.SetText("some text to compress, some text to compress");
    std::string wire = WireMessage(e);
    // Announce one byte more than the blocks hold: framing is intact (same
    // block count) but the content does not add up.
    wire[0] = char(Byte(wire[0]) + 1);
    std::string msg;
    ASSERT_EQ(Frame(wire, msg), TMessageBuffer::msComplete);
    TMemoryStream out;
    EXPECT_THROW(DecompressMessage(msg, out), EEventStreamError);
}
