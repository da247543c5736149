#include "document/LZR.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/Streams.h"

namespace {

constexpr int HashSize = 4096;
constexpr int MaxDistance = 4095;
constexpr int MinMatch = 3;
constexpr int MaxMatch = 18;
constexpr int MinRun = 16;
constexpr int MaxRun = 4095;
constexpr Byte FlagCompressed = 0x40;
constexpr Byte FlagStored = 0x80;

// No block decodes to more than 1024 bytes per byte of its stream (a run
// item gives at most 4095 bytes for 4), so a header that claims more than
// that for the bytes that follow is not ours; plain text read as a header
// ("[VEK" is about 1.26 GB) fails here before any block is decoded.
constexpr Int64 MaxExpansion = 1024;

inline unsigned Hash(const Byte* p)
{
    std::uint32_t h = ((((std::uint32_t(p[0]) << 4) ^ p[1]) << 4) ^ p[2]);
    return ((h * 40543u) >> 4) & (HashSize - 1);
}

inline void PutInt32(Byte* p, std::uint32_t v)
{
    p[0] = Byte(v);
    p[1] = Byte(v >> 8);
    p[2] = Byte(v >> 16);
    p[3] = Byte(v >> 24);
}

inline std::int32_t GetInt32(const Byte* p)
{
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

// Readers and writers the stream coder runs on: memory and class-library streams.
struct MemoryReader {
    const Byte* Data;
    std::size_t Size;
    std::size_t Pos = 0;
    std::size_t Read(void* buffer, std::size_t count)
    {
        count = std::min(count, Size - Pos);
        if (count)
            std::memcpy(buffer, Data + Pos, count);
        Pos += count;
        return count;
    }
    Int64 Remaining() const { return Int64(Size - Pos); }
};

struct StringWriter {
    std::string& Dest;
    bool Write(const void* buffer, std::size_t count)
    {
        Dest.append(static_cast<const char*>(buffer), count);
        return true;
    }
};

struct StreamReader {
    TStream& Stream;
    std::size_t Read(void* buffer, std::size_t count)
    {
        const Int64 got = Stream.Read(buffer, Int64(count));
        return got > 0 ? std::size_t(got) : 0;
    }
    Int64 Remaining() const { return Stream.Remaining(); }
};

struct StreamWriter {
    TStream& Stream;
    bool Write(const void* buffer, std::size_t count)
    {
        return TLZR::Check(Stream.Write(buffer, Int64(count)), Int64(count));
    }
};

} // namespace

TLZR::TLZR()
{
    try {
        FHashTable.reset(new std::int16_t[HashSize]);
        FSourceBuffer.reset(new Byte[MaxBlockLength]);
        FDestBuffer.reset(new Byte[MaxBlockSize]);
    } catch (const std::bad_alloc&) {
        throw ELzrw1KHCompressor("no memory for HASH table");
    }
}

TLZR::~TLZR() = default;

int TLZR::GetMatch(const Byte* Source, int Position, int Length, int& Distance)
{
    std::int16_t& entry = FHashTable[Hash(Source + Position)];
    const int candidate = entry;
    entry = std::int16_t(Position);
    if (candidate < 0 || Position - candidate > MaxDistance)
        return 0;
    const int limit = std::min(MaxMatch, Length - Position);
    const Byte* a = Source + candidate;
    const Byte* b = Source + Position;
    int len = 0;
    while (len < limit && a[len] == b[len])
        ++len;
    Distance = Position - candidate;
    return len;
}

int TLZR::Compression(const Byte* SourceBuffer, Byte* DestBuffer, int Length)
{
    const Byte* src = SourceBuffer;
    Byte* dst = DestBuffer;
    const int n = Length;
    std::memset(FHashTable.get(), 0xFF, HashSize * sizeof(std::int16_t));

    dst[0] = FlagCompressed;
    int controlPos = 1;
    int out = 3;
    unsigned control = 0;
    int items = 0;
    int p = 0;
    while (p < n && out <= n) {
        if (items == 16) {
            dst[controlPos] = Byte(control >> 8);
            dst[controlPos + 1] = Byte(control);
            controlPos = out;
            out += 2;
            control = 0;
            items = 0;
        }
        const Byte b = src[p];
        const int runLimit = std::min(MaxRun, n - p);
        int r = 1;
        while (r < runLimit && src[p + r] == b)
            ++r;
        unsigned bit;
        if (r >= MinRun) {
            const int v = r - MinRun;
            dst[out] = 0;
            dst[out + 1] = Byte(v >> 8);
            dst[out + 2] = Byte(v);
            dst[out + 3] = b;
            out += 4;
            p += r;
            bit = 1;
        } else {
            // Too few bytes left for a match: the hash would read past the chunk.
            int distance = 0;
            const int len = n - p >= MinMatch ? GetMatch(src, p, n, distance) : 0;
            if (len >= MinMatch) {
                const unsigned v = unsigned(distance) << 4 | unsigned(len - MinMatch);
                dst[out] = Byte(v >> 8);
                dst[out + 1] = Byte(v);
                out += 2;
                p += len;
                bit = 1;
            } else {
                dst[out++] = b;
                ++p;
                bit = 0;
            }
        }
        control = (control << 1) | bit;
        ++items;
    }
    control = (control << (16 - items)) & 0xFFFF;
    dst[controlPos] = Byte(control >> 8);
    dst[controlPos + 1] = Byte(control);

    if (out <= n)
        return out;
    dst[0] = FlagStored;
    if (n > 0)
        std::memcpy(dst + 1, src, std::size_t(n));
    return n + 1;
}

int TLZR::Decompression(const Byte* SourceBuffer, Byte* DestBuffer, int BlockLength)
{
    const Byte* src = SourceBuffer;
    Byte* dst = DestBuffer;
    const int L = BlockLength;
    if (L < 2)
        return 0;
    if (src[0] == FlagStored) {
        if (L - 1 > ChunkSize)
            return -1;
        std::memcpy(dst, src + 1, std::size_t(L - 1));
        return L - 1;
    }
    if (L < 3)
        return -1;
    unsigned control = unsigned(src[1]) << 8 | src[2];
    int bits = 16;
    int pos = 3;
    int out = 0;
    while (pos < L) {
        if (bits == 0) {
            if (L - pos < 2)
                return -1;
            control = unsigned(src[pos]) << 8 | src[pos + 1];
            pos += 2;
            bits = 16;
            // A control word is only written when an item follows it.
            if (pos >= L)
                return -1;
        }
        const bool copy = (control & 0x8000) != 0;
        control <<= 1;
        --bits;
        if (!copy) {
            if (out >= ChunkSize)
                return -1;
            dst[out++] = src[pos++];
            continue;
        }
        if (L - pos < 2)
            return -1;
        const int distance = int(src[pos]) << 4 | src[pos + 1] >> 4;
        if (distance != 0) {
            const int len = (src[pos + 1] & 0x0F) + MinMatch;
            pos += 2;
            if (distance > out || len > ChunkSize - out)
                return -1;
            Byte* d = dst + out;
            const Byte* s = d - distance;
            if (distance >= len) {
                std::memcpy(d, s, std::size_t(len));
            } else {
                for (int i = 0; i < len; ++i)
                    d[i] = s[i];
            }
            out += len;
        } else {
            if (L - pos < 4)
                return -1;
            const int count = ((src[pos + 1] & 0x0F) << 8 | src[pos + 2]) + MinRun;
            if (count > ChunkSize - out)
                return -1;
            std::memset(dst + out, src[pos + 3], std::size_t(count));
            out += count;
            pos += 4;
        }
    }
    return out;
}

template <class Reader, class Writer>
bool TLZR::CompressStream(Reader& source, Writer& dest)
{
    const Int64 total = source.Remaining();
    if (total < 0 || total > INT32_MAX)
        return false;
    Byte header[4];
    PutInt32(header, std::uint32_t(total));
    if (!dest.Write(header, 4))
        return false;
    for (;;) {
        const std::size_t got = source.Read(FSourceBuffer.get(), ChunkSize);
        const int blockLength = Compression(FSourceBuffer.get(), FDestBuffer.get() + 2, int(got));
        FDestBuffer[0] = Byte(blockLength);
        FDestBuffer[1] = Byte(blockLength >> 8);
        if (!dest.Write(FDestBuffer.get(), std::size_t(blockLength) + 2))
            return false;
        if (got < std::size_t(ChunkSize))
            return true;
    }
}

template <class Reader, class Writer>
bool TLZR::DeCompressStream(Reader& source, Writer& dest)
{
    Byte header[4];
    if (!Check(Int64(source.Read(header, 4)), 4))
        return false;
    const Int64 total = GetInt32(header);
    if (total < 0 || total > source.Remaining() * MaxExpansion)
        return false;
    Int64 done = 0;
    for (;;) {
        Byte lengthBytes[2];
        if (!Check(Int64(source.Read(lengthBytes, 2)), 2))
            return false;
        const int blockLength = lengthBytes[0] | lengthBytes[1] << 8;
        if (!Check(Int64(source.Read(FSourceBuffer.get(), std::size_t(blockLength))), blockLength))
            return false;
        const int produced = Decompression(FSourceBuffer.get(), FDestBuffer.get(), blockLength);
        if (produced < 0 || done + produced > total)
            return false;
        if (!dest.Write(FDestBuffer.get(), std::size_t(produced)))
            return false;
        done += produced;
        if (produced < ChunkSize)
            return done == total;
    }
}

bool TLZR::Compress(const void* Source, std::size_t Count, std::string& Dest)
{
    try {
        MemoryReader reader{static_cast<const Byte*>(Source), Count};
        StringWriter writer{Dest};
        Dest.reserve(Dest.size() + Count / 2 + 64);
        return CompressStream(reader, writer);
    } catch (...) {
        return false;
    }
}

bool TLZR::DeCompress(const void* Source, std::size_t Count, std::string& Dest)
{
    try {
        MemoryReader reader{static_cast<const Byte*>(Source), Count};
        StringWriter writer{Dest};
        return DeCompressStream(reader, writer);
    } catch (...) {
        return false;
    }
}

bool TLZR::Compress(TStream& Source, TStream& Dest)
{
    try {
        StreamReader reader{Source};
        StreamWriter writer{Dest};
        return CompressStream(reader, writer);
    } catch (...) {
        return false;
    }
}

bool TLZR::DeCompress(TStream& Source, TMemoryStream& Dest)
{
    try {
        StreamReader reader{Source};
        StreamWriter writer{Dest};
        return DeCompressStream(reader, writer);
    } catch (...) {
        return false;
    }
}
