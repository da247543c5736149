#include "document/LZR.h"

#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<Byte>;

Bytes Packed(const std::string& source)
{
    TLZR lzr;
    std::string out;
    EXPECT_TRUE(lzr.Compress(source.data(), source.size(), out));
    return Bytes(out.begin(), out.end());
}

bool Unpack(const Bytes& packed, std::string& out)
{
    TLZR lzr;
    out.clear();
    return lzr.DeCompress(packed.data(), packed.size(), out);
}

// Stream of the given total holding the given raw blocks.
Bytes Stream(std::uint32_t total, const std::vector<Bytes>& blocks)
{
    Bytes s{Byte(total), Byte(total >> 8), Byte(total >> 16), Byte(total >> 24)};
    for (const Bytes& b : blocks) {
        s.push_back(Byte(b.size()));
        s.push_back(Byte(b.size() >> 8));
        s.insert(s.end(), b.begin(), b.end());
    }
    return s;
}

// Text that looks like a document: many sections of short key=value lines.
std::string DocumentText(std::size_t size, unsigned seed)
{
    static const char* const keys[] = {"Name", "Start", "Ende", "Dauer", "Position", "Status", "Text"};
    static const char* const words[] = {"Montage", "Planung", "Halle 3", "Abnahme", "Lieferung", "Prüfung", "Nacharbeit"};
    std::mt19937 rng(seed);
    std::string text;
    for (int row = 0; text.size() < size; ++row) {
        text += "[Row" + std::to_string(row) + "]\r\n";
        for (const char* key : keys) {
            text += key;
            text += '=';
            switch (rng() % 3) {
            case 0: text += std::to_string(rng() % 100000); break;
            case 1: text += std::to_string(1 + rng() % 28) + ".0" + std::to_string(1 + rng() % 9) + ".2024"; break;
            default: text += words[rng() % 7]; text += ' '; text += words[rng() % 7]; break;
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = char(rng());
    return s;
}

} // namespace

TEST(LZR, GoldenStreamsOfSmallInputs)
{
    // Empty source: the one-byte stored block.
    EXPECT_EQ(Packed(""), (Bytes{0, 0, 0, 0, 1, 0, 0x80}));
    // Too short to compress: stored, one byte longer than the chunk.
    EXPECT_EQ(Packed("ab"), (Bytes{2, 0, 0, 0, 3, 0, 0x80, 'a', 'b'}));
    EXPECT_EQ(Packed("abc"), (Bytes{3, 0, 0, 0, 4, 0, 0x80, 'a', 'b', 'c'}));
    // 20 equal bytes: one run item, N - 16 = 4.
    EXPECT_EQ(Packed(std::string(20, 'A')), (Bytes{20, 0, 0, 0, 7, 0, 0x40, 0x80, 0x00, 0, 0, 4, 'A'}));
    // 15 equal bytes: no run; a literal, then distance 1 with length 14.
    EXPECT_EQ(Packed(std::string(15, 'A')), (Bytes{15, 0, 0, 0, 6, 0, 0x40, 0x40, 0x00, 'A', 0x00, 0x1B}));
    // A short repeat: three literals and a back reference of 6 at distance 3.
    EXPECT_EQ(Packed("abcabcabc"), (Bytes{9, 0, 0, 0, 8, 0, 0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x33}));
    // Compressed form exactly as long as the chunk is still compressed. The
    // positions inside the first match are not entered in the hash table, so
    // "bcd" matches the one at distance 8, not 4.
    EXPECT_EQ(Packed("abcdabcdXbcd"),
              (Bytes{12, 0, 0, 0, 12, 0, 0x40, 0x0A, 0x00, 'a', 'b', 'c', 'd', 0x00, 0x41, 'X', 0x00, 0x80}));
    // A run's first position is not entered either: the trailing "aaa" finds
    // no match.
    EXPECT_EQ(Packed(std::string(16, 'a') + "baaa"),
              (Bytes{20, 0, 0, 0, 11, 0, 0x40, 0x80, 0x00, 0, 0, 0, 'a', 'b', 'a', 'a', 'a'}));
    // More than 4095 equal bytes: 4095, then the rest.
    EXPECT_EQ(Packed(std::string(5000, 'x')),
              (Bytes{0x88, 0x13, 0, 0, 11, 0, 0x40, 0xC0, 0x00, 0, 0x0F, 0xEF, 'x', 0, 0x03, 0x79, 'x'}));
}

TEST(LZR, GoldenSecondGroupGetsItsOwnControlWord)
{
    const std::string half = "abcdefghijklmnopq";
    Bytes expected{34, 0, 0, 0, 24, 0, 0x40, 0x00, 0x00};
    expected.insert(expected.end(), half.begin(), half.begin() + 16);
    // Second group: literal "q", then 17 bytes from distance 17.
    expected.insert(expected.end(), {0x40, 0x00, 'q', 0x01, 0x1E});
    EXPECT_EQ(Packed(half + half), expected);
}

TEST(LZR, GoldenChunkOfExactly32768BytesEndsWithTheEmptyBlock)
{
    // Eight runs of 4095 zeros, a literal and 7 bytes from distance 1.
    Bytes block{0x40, 0xFF, 0x40};
    for (int i = 0; i < 8; ++i)
        block.insert(block.end(), {0x00, 0x0F, 0xEF, 0x00});
    block.insert(block.end(), {0x00, 0x00, 0x14});
    const Bytes expected = Stream(32768, {block, {0x80}});
    EXPECT_EQ(Packed(std::string(32768, '\0')), expected);

    // A full chunk that does not compress is stored, then the empty block.
    const std::string random = RandomBytes(32768, 7);
    const Bytes packed = Packed(random);
    ASSERT_EQ(packed.size(), 4u + 2 + 32769 + 2 + 1);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 7), (Bytes{0x00, 0x80, 0, 0, 0x01, 0x80, 0x80}));
    EXPECT_EQ(std::string(packed.begin() + 7, packed.begin() + 7 + 32768), random);
    EXPECT_EQ(Bytes(packed.end() - 3, packed.end()), (Bytes{1, 0, 0x80}));

    std::string out;
    EXPECT_TRUE(Unpack(expected, out));
    EXPECT_EQ(out, std::string(32768, '\0'));
    // Without the closing empty block the stream is short.
    EXPECT_FALSE(Unpack(Bytes(expected.begin(), expected.end() - 3), out));
}

TEST(LZR, CompressedFormMayPassTheChunkBySixBytes)
{
    // 128 literals without a repeated triple fill eight groups; the ninth
    // group starts exactly at the chunk length and gets a control word and a
    // run item before the loop notices and stores the chunk.
    std::string chunk;
    for (int i = 0; i < 128; ++i)
        chunk += char(i);
    chunk += std::string(17, char(0xFF));
    const int n = int(chunk.size());

    TLZR lzr;
    std::vector<Byte> dest(TLZR::MaxBlockSize + 64, 0xAA);
    const int length = lzr.Compression(reinterpret_cast<const Byte*>(chunk.data()), dest.data(), n);
    EXPECT_EQ(length, n + 1);
    EXPECT_EQ(dest[0], 0x80);
    EXPECT_EQ(std::string(dest.begin() + 1, dest.begin() + 1 + n), chunk);
    // The run item the compressed form wrote last ends at n + 6.
    EXPECT_EQ(dest[std::size_t(n) + 5], 0xFF);
    EXPECT_EQ(dest[std::size_t(n) + 6], 0xAA);
}

TEST(LZR, FullChunksStayInsideTheBlockBuffer)
{
    // Nearly incompressible chunks with runs and repeats sprinkled in end
    // their compressed form at every offset past the chunk length.
    TLZR lzr;
    std::mt19937 rng(99);
    for (int round = 0; round < 200; ++round) {
        std::string chunk = RandomBytes(TLZR::ChunkSize, unsigned(round));
        const int runs = int(rng() % 40);
        for (int i = 0; i < runs; ++i) {
            const std::size_t at = rng() % (chunk.size() - 40);
            chunk.replace(at, 16 + rng() % 24, 16 + rng() % 24, char(rng()));
        }
        chunk.resize(TLZR::ChunkSize);
        std::vector<Byte> dest(TLZR::MaxBlockSize + 64, 0xAA);
        const int length = lzr.Compression(reinterpret_cast<const Byte*>(chunk.data()), dest.data(), int(chunk.size()));
        ASSERT_LE(length, TLZR::ChunkSize + 1);
        for (std::size_t i = TLZR::MaxBlockSize; i < dest.size(); ++i)
            ASSERT_EQ(dest[i], 0xAA) << "round " << round;
        std::vector<Byte> back(TLZR::ChunkSize);
        ASSERT_EQ(lzr.Decompression(dest.data(), back.data(), length), TLZR::ChunkSize);
        ASSERT_EQ(std::memcmp(back.data(), chunk.data(), chunk.size()), 0);
    }
}

TEST(LZR, RoundTripsAroundChunkBoundaries)
{
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 40; ++n)
        lengths.push_back(n);
    for (std::size_t base : {32768u, 65536u, 98304u})
        for (std::size_t n = base - 20; n <= base + 20; ++n)
            lengths.push_back(n);
    lengths.push_back(300000);

    TLZR lzr;  // one coder for everything: blocks must not depend on earlier ones
    for (std::size_t n : lengths) {
        const std::string inputs[] = {DocumentText(n, unsigned(n)), RandomBytes(n, unsigned(n)),
                                      std::string(n, 'z'), DocumentText(n, 1).substr(0, n / 2) + RandomBytes(n - n / 2, 3)};
        for (const std::string& input : inputs) {
            std::string packed, out;
            ASSERT_TRUE(lzr.Compress(input.data(), input.size(), packed)) << n;
            ASSERT_TRUE(lzr.DeCompress(packed.data(), packed.size(), out)) << n;
            ASSERT_EQ(out, input) << n;
        }
    }
    // Document text really shrinks.
    const std::string text = DocumentText(200000, 5);
    std::string packed;
    ASSERT_TRUE(lzr.Compress(text.data(), text.size(), packed));
    EXPECT_LT(packed.size(), text.size() / 2);
}

TEST(LZR, AnyFlagOtherThanStoredIsReadAsCompressed)
{
    std::string out;
    for (Byte flag : {Byte(0x00), Byte(0x41), Byte(0xFF)}) {
        EXPECT_TRUE(Unpack(Stream(15, {{flag, 0x40, 0x00, 'A', 0x00, 0x1B}}), out));
        EXPECT_EQ(out, std::string(15, 'A'));
    }
    // A block shorter than two bytes yields nothing, whatever its flag.
    EXPECT_TRUE(Unpack(Stream(0, {{0x40}}), out));
    EXPECT_TRUE(Unpack(Stream(0, {{}}), out));
    EXPECT_EQ(out, "");
}

TEST(LZR, CorruptStreamsFail)
{
    std::string out;
    struct Case {
        const char* what;
        Bytes stream;
    };
    Bytes tooLong{0x40, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i)
        tooLong.insert(tooLong.end(), {0x00, 0x0F, 0xEF, 'x'});
    Bytes storedTooLong(32770, 'x');
    storedTooLong[0] = 0x80;
    const Case cases[] = {
        {"empty input", {}},
        {"short header", {1, 0, 0}},
        {"no block", {1, 0, 0, 0}},
        {"short block length", {1, 0, 0, 0, 1}},
        {"block past the input", {3, 0, 0, 0, 9, 0, 0x80, 'a', 'b', 'c'}},
        {"negative total", Stream(0xFFFFFFFFu, {{0x80}})},
        {"total differs", Stream(5, {{0x80, 'a', 'b', 'c'}})},
        {"total smaller than output", Stream(2, {{0x80, 'a', 'b', 'c'}})},
        {"distance before the output", Stream(3, {{0x40, 0x80, 0x00, 0x00, 0x10}})},
        {"distance past the output so far", Stream(4, {{0x40, 0x40, 0x00, 'a', 0x00, 0x20}})},
        {"run past a chunk", Stream(36855, {tooLong})},
        {"stored past a chunk", Stream(32769, {storedTooLong})},
        {"truncated run", Stream(20, {{0x40, 0x80, 0x00, 0x00, 0x00, 0x04}})},
        {"truncated back reference", Stream(4, {{0x40, 0x40, 0x00, 'a', 0x00}})},
        {"truncated control word", Stream(0, {{0x40, 0x00}})},
        {"control word without items", Stream(16, {Bytes{0x40, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l',
                                                          'm', 'n', 'o', 'p', 0, 0}})},
        {"plain text", Bytes{'[', 'V', 'E', 'K', ']', '\r', '\n', 'A', '=', '1', '\r', '\n'}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Unpack(c.stream, out)) << c.what;

    // A full chunk stored, then nothing: the stream stops short.
    Bytes full(32769, 'y');
    full[0] = 0x80;
    EXPECT_FALSE(Unpack(Stream(32768, {full}), out));
    // Claimed totals beyond what the bytes could give fail at once.
    EXPECT_FALSE(Unpack(Stream(1u << 30, {full, {0x80}}), out));
}

// Eight runs of 4095 bytes, one literal (32761 bytes), then a back
// reference of 18 bytes: it would end 11 bytes past the chunk.
Bytes BackReferencePastTheChunk()
{
    Bytes block{0x40, 0xFF, 0x40};
    for (int i = 0; i < 8; ++i)
        block.insert(block.end(), {0x00, 0x0F, 0xEF, 0x78});
    block.insert(block.end(), {0x78, 0x00, 0x1F});
    return block;
}

TEST(LZR, ItemsThatWouldPassTheChunkAreRefused)
{
    TLZR lzr;
    Bytes runs{0x40, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i)
        runs.insert(runs.end(), {0x00, 0x0F, 0xEF, 0x78});
    Bytes stored(TLZR::MaxBlockLength, 'x');
    stored[0] = 0x80;
    const std::pair<const char*, Bytes> blocks[] = {
        {"back reference", BackReferencePastTheChunk()},
        {"run", runs},
        {"stored block longer than a chunk", stored},
    };
    std::vector<Byte> dest(TLZR::ChunkSize + 64);
    for (const auto& [what, block] : blocks) {
        std::fill(dest.begin(), dest.end(), 0xAA);
        EXPECT_EQ(lzr.Decompression(block.data(), dest.data(), int(block.size())), -1) << what;
        for (std::size_t i = TLZR::ChunkSize; i < dest.size(); ++i)
            ASSERT_EQ(dest[i], 0xAA) << what << ": written past the chunk at " << i;
        // In a stream whose total claims the bytes, followed by the empty
        // block that ends it: refused as well.
        std::string out;
        EXPECT_FALSE(Unpack(Stream(std::uint32_t(TLZR::ChunkSize + 11), {block, {0x80}}), out)) << what;
    }
}

TEST(LZR, DecodingGarbageNeverWritesPastTheChunk)
{
    TLZR lzr;
    std::mt19937 rng(2024);
    std::vector<Byte> block(TLZR::MaxBlockLength);
    std::vector<Byte> dest(TLZR::ChunkSize + 64);
    for (int round = 0; round < 600; ++round) {
        const int length = int(rng() % block.size());
        for (int i = 0; i < length; ++i)
            block[std::size_t(i)] = Byte(rng() % 4 == 0 ? 0 : rng());
        if (round % 2)
            block[0] = 0x40;
        std::fill(dest.begin() + TLZR::ChunkSize, dest.end(), 0xAA);
        const int produced = lzr.Decompression(block.data(), dest.data(), length);
        ASSERT_LE(produced, TLZR::ChunkSize);
        for (std::size_t i = TLZR::ChunkSize; i < dest.size(); ++i)
            ASSERT_EQ(dest[i], 0xAA);
    }
}

namespace {

// A destination that takes only so many bytes, as a full disk does.
class TShortStream : public TMemoryStream {
public:
    explicit TShortStream(Int64 room) : FRoom(room) {}
    Int64 Write(const void* buffer, Int64 count) override
    {
        const Int64 n = std::min(count, FRoom - Size());
        return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
    }

private:
    Int64 FRoom;
};

} // namespace

TEST(LZR, StreamsWorkFromTheirPositions)
{
    const std::string text = DocumentText(70000, 11);
    TMemoryStream source;
    source.WriteBytes("skipped" + text);
    source.SetPosition(7);
    TMemoryStream packed;
    packed.WriteBytes("head");
    TLZR lzr;
    ASSERT_TRUE(lzr.Compress(source, packed));
    std::string expected;
    ASSERT_TRUE(lzr.Compress(text.data(), text.size(), expected));
    EXPECT_EQ(packed.DataString(), "head" + expected);

    // Decoding appends to what the destination holds, and reads no further
    // than its own stream.
    packed.WriteBytes("tail");
    packed.SetPosition(4);
    TMemoryStream out;
    out.WriteBytes("kept:");
    ASSERT_TRUE(lzr.DeCompress(packed, out));
    EXPECT_EQ(out.DataString(), "kept:" + text);
    EXPECT_EQ(packed.Position(), Int64(4 + expected.size()));

    // A destination that runs out of room makes the result false.
    for (Int64 room : {Int64(2), Int64(4), Int64(100), Int64(expected.size() - 1)}) {
        source.SetPosition(7);
        TShortStream full(room);
        EXPECT_FALSE(lzr.Compress(source, full)) << room;
    }
    // A corrupt stream is refused; the caller drops what was appended.
    TMemoryStream corrupt;
    corrupt.WriteBytes(expected.substr(0, expected.size() / 2));
    corrupt.SetPosition(0);
    TMemoryStream partial;
    EXPECT_FALSE(lzr.DeCompress(corrupt, partial));
}
