#pragma once
// Block compressor of documents, undo snapshots and network messages.
//
// Stream layout: Int32 total decompressed length, then blocks, each a UInt16
// length followed by the block. A block codes one chunk of at most 32768
// source bytes; a full chunk is always followed by another one, so the last
// block decodes to fewer than 32768 bytes (possibly none). Block byte 0 is a
// flag, 0x80 stored or anything else compressed; a compressed block is
// groups of a big-endian control word and up to 16 items (literal byte,
// 12-bit distance / 4-bit length back reference, or a run of one byte).
// Writers and readers of other instances rely on every bit of this.
#include "platform/Classes.h"
#include "platform/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TStream;
class TMemoryStream;

VEK_EXCEPTION_KIND(ELzrw1KHCompressor, Exception)

class TLZR : public TObject {
    VEK_DECLARE_CLASS(TLZR, TObject)

public:
    // Source bytes coded per block.
    static constexpr int ChunkSize = 32768;
    // Largest block the writer can produce: the compressed form stops only
    // once it has passed the chunk length, by at most a control word and a
    // run item; the stored form needs the chunk plus its flag.
    static constexpr int MaxBlockSize = ChunkSize + 6;
    // Largest block length the stream format can express.
    static constexpr int MaxBlockLength = 0xFFFF;

    TLZR();
    ~TLZR() override;

    // Compresses from Source's position to its end, appending at Dest's
    // position. False when a write came short or anything failed.
    bool Compress(TStream& Source, TStream& Dest);
    // Reads one compressed stream from Source's position and appends the
    // decoded bytes to Dest. False for a short, corrupt or inconsistent
    // stream; what was appended until then stays and is the caller's to drop.
    bool DeCompress(TStream& Source, TMemoryStream& Dest);

    // The same over memory: Dest is appended to.
    bool Compress(const void* Source, std::size_t Count, std::string& Dest);
    bool DeCompress(const void* Source, std::size_t Count, std::string& Dest);

    // Codes one chunk (Length <= ChunkSize) into DestBuffer, which must hold
    // MaxBlockSize bytes; returns the block's length.
    int Compression(const Byte* SourceBuffer, Byte* DestBuffer, int Length);
    // Decodes one block into DestBuffer, which must hold ChunkSize bytes;
    // returns the number of bytes produced, or -1 when the block is corrupt
    // (an item past the block's end, a distance before the block's output,
    // more output than a chunk). Nothing is written past ChunkSize.
    int Decompression(const Byte* SourceBuffer, Byte* DestBuffer, int BlockLength);
    // Longest earlier match (3 to 18 bytes) for Source[Position..Length) and
    // its distance; enters Position into the hash table. Needs at least three
    // bytes left before Length.
    int GetMatch(const Byte* Source, int Position, int Length, int& Distance);
    static bool Check(Int64 A, Int64 B) { return A == B; }

private:
    template <class Reader, class Writer>
    bool CompressStream(Reader& source, Writer& dest);
    template <class Reader, class Writer>
    bool DeCompressStream(Reader& source, Writer& dest);

    std::unique_ptr<std::int16_t[]> FHashTable;
    // Chunk to code, or block to decode (up to MaxBlockLength bytes).
    std::unique_ptr<Byte[]> FSourceBuffer;
    // Block coded, or chunk decoded.
    std::unique_ptr<Byte[]> FDestBuffer;
};
