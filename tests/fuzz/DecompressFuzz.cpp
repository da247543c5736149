// Arbitrary bytes as a compressed stream: the decoder must refuse what is
// not a valid stream without reading or writing out of bounds, and what it
// accepts must have exactly the length its header claims. Each raw block is
// decoded on its own as well.
#include "document/LZR.h"
#include "platform/Streams.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TLZR lzr;
    std::string out;
    if (lzr.DeCompress(data, size, out)) {
        const std::int32_t total = std::int32_t(std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                                std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
        if (out.size() != std::size_t(total))
            std::abort();
        // Whatever decodes compresses and decodes back to itself.
        std::string packed, back;
        if (!lzr.Compress(out.data(), out.size(), packed) || !lzr.DeCompress(packed.data(), packed.size(), back) ||
            back != out)
            std::abort();
    }

    // The stream interface must agree with the memory one.
    TMemoryStream source;
    source.Write(data, Int64(size));
    source.SetPosition(0);
    TMemoryStream dest;
    std::string again;
    if (lzr.DeCompress(source, dest) != lzr.DeCompress(data, size, again))
        std::abort();

    // The block decoder alone, on an exact-size copy so that any read past
    // the block is caught.
    const size_t length = size < size_t(TLZR::MaxBlockLength) ? size : size_t(TLZR::MaxBlockLength);
    std::vector<Byte> block(data, data + length);
    std::vector<Byte> chunk(TLZR::ChunkSize);
    if (lzr.Decompression(block.data(), chunk.data(), int(length)) > TLZR::ChunkSize)
        std::abort();
    return 0;
}
