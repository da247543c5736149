#pragma once
// Byte streams: the abstract stream, a growable memory stream and a file
// stream. Streams carry untrusted data (files, the network, the clipboard):
// every read is bounded by what is there, and a length read from a stream is
// checked against what remains before anything is allocated for it.
#include "platform/Classes.h"
#include "platform/Exceptions.h"
#include "platform/Types.h"

#include <cstdint>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes. Exactly one access mode, optionally or-ed with one sharing
// mode; fmCreate creates or truncates the file and opens it for reading and
// writing. Sharing modes are accepted and have no effect on this system.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
    VEK_DECLARE_CLASS(TStream, TObject)

public:
    // Reads up to count bytes at the position and answers how many it read
    // (0 at the end or for a count below 1).
    virtual Int64 Read(void* buffer, Int64 count) = 0;
    // Writes up to count bytes and answers how many it wrote.
    virtual Int64 Write(const void* buffer, Int64 count) = 0;
    // Moves the position and answers the new one. A position before the start
    // raises EStreamError; one beyond the end is allowed.
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

    Int64 Position() { return Seek(0, soCurrent); }
    void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 newSize) = 0;
    // Bytes from the position to the end; 0 when the position is beyond it.
    Int64 Remaining();

    // All count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, Int64 count);
    void WriteBuffer(const void* buffer, Int64 count);
    // count bytes from the source's position; 0 copies the whole source from
    // its start. Answers the number copied; a short source raises EReadError.
    Int64 CopyFrom(TStream& source, Int64 count);

    // count bytes as a string; EReadError when fewer remain (checked before
    // anything is allocated).
    std::string ReadBytes(Int64 count);
    void WriteBytes(const std::string& bytes);

    // Fixed-size integers, little-endian unless the name ends in BE. A short
    // stream raises EReadError.
    Byte ReadUInt8();
    std::int8_t ReadInt8() { return static_cast<std::int8_t>(ReadUInt8()); }
    Word ReadUInt16();
    std::int16_t ReadInt16() { return static_cast<std::int16_t>(ReadUInt16()); }
    Cardinal ReadUInt32();
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    UInt64 ReadUInt64();
    Int64 ReadInt64() { return static_cast<Int64>(ReadUInt64()); }
    double ReadDouble();
    Word ReadUInt16BE();
    std::int16_t ReadInt16BE() { return static_cast<std::int16_t>(ReadUInt16BE()); }
    Cardinal ReadUInt32BE();
    std::int32_t ReadInt32BE() { return static_cast<std::int32_t>(ReadUInt32BE()); }

    void WriteUInt8(Byte value);
    void WriteInt8(std::int8_t value) { WriteUInt8(static_cast<Byte>(value)); }
    void WriteUInt16(Word value);
    void WriteInt16(std::int16_t value) { WriteUInt16(static_cast<Word>(value)); }
    void WriteUInt32(Cardinal value);
    void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<Cardinal>(value)); }
    void WriteUInt64(UInt64 value);
    void WriteInt64(Int64 value) { WriteUInt64(static_cast<UInt64>(value)); }
    void WriteDouble(double value);
    void WriteUInt16BE(Word value);
    void WriteInt16BE(std::int16_t value) { WriteUInt16BE(static_cast<Word>(value)); }
    void WriteUInt32BE(Cardinal value);
    void WriteInt32BE(std::int32_t value) { WriteUInt32BE(static_cast<Cardinal>(value)); }
};

class TMemoryStream : public TStream {
    VEK_DECLARE_CLASS(TMemoryStream, TStream)

public:
    // Largest size a memory stream grows to; beyond it writes and SetSize
    // raise, so that a bad length cannot exhaust memory.
    static constexpr Int64 MaxSize = 0x7FFFFFFF;

    TMemoryStream() = default;

    Int64 Read(void* buffer, Int64 count) override;
    Int64 Write(const void* buffer, Int64 count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 Size() override { return static_cast<Int64>(FData.size()); }
    // Growing fills with zero bytes; a position beyond a new, smaller end
    // moves to that end.
    void SetSize(Int64 newSize) override;

    // The bytes; valid until the next change of size.
    Byte* Memory() { return FData.data(); }
    const Byte* Memory() const { return FData.data(); }
    // The whole contents as a string.
    std::string DataString() const { return std::string(FData.begin(), FData.end()); }
    void Clear();

    // Replaces the contents by the source's bytes from its start; the
    // position becomes 0.
    void LoadFromStream(TStream& source);
    void LoadFromFile(const String& fileName);
    // Writes the whole contents, whatever the position.
    void SaveToStream(TStream& dest);
    void SaveToFile(const String& fileName);

private:
    std::vector<Byte> FData;
    Int64 FPosition = 0;
};

class TFileStream : public TStream {
    VEK_DECLARE_CLASS(TFileStream, TStream)

public:
    // Raises EFCreateError (fmCreate) or EFOpenError with the file name and
    // the system's reason. A folder cannot be opened.
    TFileStream(const String& fileName, Word mode);
    ~TFileStream() override;

    Int64 Read(void* buffer, Int64 count) override;
    Int64 Write(const void* buffer, Int64 count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 newSize) override;

    const String& FileName() const { return FFileName; }

private:
    String FFileName;
    int FHandle = -1;
};
