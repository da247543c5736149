#include "platform/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void RaiseReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void RaiseWriteError() { throw EWriteError("Stream write error"); }
[[noreturn]] void RaiseBadPosition() { throw EStreamError("Invalid stream position"); }

template <size_t N>
void ReadExact(TStream& s, Byte (&b)[N])
{
    s.ReadBuffer(b, N);
}

}  // namespace

// ---------------------------------------------------------------- TStream

Int64 TStream::Size()
{
    const Int64 pos = Seek(0, soCurrent);
    const Int64 size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

Int64 TStream::Remaining()
{
    const Int64 pos = Position();
    const Int64 size = Size();
    return size > pos ? size - pos : 0;
}

void TStream::ReadBuffer(void* buffer, Int64 count)
{
    if (count < 0 || (count > 0 && Read(buffer, count) != count))
        RaiseReadError();
}

void TStream::WriteBuffer(const void* buffer, Int64 count)
{
    if (count < 0 || (count > 0 && Write(buffer, count) != count))
        RaiseWriteError();
}

Int64 TStream::CopyFrom(TStream& source, Int64 count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        RaiseReadError();
    constexpr Int64 chunk = 65536;
    std::vector<Byte> buffer(static_cast<size_t>(std::min(count, chunk)));
    Int64 left = count;
    while (left > 0) {
        const Int64 n = std::min(left, chunk);
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

std::string TStream::ReadBytes(Int64 count)
{
    if (count < 0 || count > Remaining())
        RaiseReadError();
    std::string out(static_cast<size_t>(count), '\0');
    ReadBuffer(out.data(), count);
    return out;
}

void TStream::WriteBytes(const std::string& bytes)
{
    WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

Byte TStream::ReadUInt8()
{
    Byte b[1];
    ReadExact(*this, b);
    return b[0];
}

Word TStream::ReadUInt16()
{
    Byte b[2];
    ReadExact(*this, b);
    return static_cast<Word>(b[0] | (b[1] << 8));
}

Cardinal TStream::ReadUInt32()
{
    Byte b[4];
    ReadExact(*this, b);
    return static_cast<Cardinal>(b[0]) | (static_cast<Cardinal>(b[1]) << 8) | (static_cast<Cardinal>(b[2]) << 16)
           | (static_cast<Cardinal>(b[3]) << 24);
}

UInt64 TStream::ReadUInt64()
{
    const UInt64 low = ReadUInt32();
    const UInt64 high = ReadUInt32();
    return low | (high << 32);
}

double TStream::ReadDouble()
{
    const UInt64 bits = ReadUInt64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Word TStream::ReadUInt16BE()
{
    Byte b[2];
    ReadExact(*this, b);
    return static_cast<Word>((b[0] << 8) | b[1]);
}

Cardinal TStream::ReadUInt32BE()
{
    Byte b[4];
    ReadExact(*this, b);
    return (static_cast<Cardinal>(b[0]) << 24) | (static_cast<Cardinal>(b[1]) << 16)
           | (static_cast<Cardinal>(b[2]) << 8) | static_cast<Cardinal>(b[3]);
}

void TStream::WriteUInt8(Byte value)
{
    WriteBuffer(&value, 1);
}

void TStream::WriteUInt16(Word value)
{
    const Byte b[2] = {static_cast<Byte>(value), static_cast<Byte>(value >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteUInt32(Cardinal value)
{
    const Byte b[4] = {static_cast<Byte>(value), static_cast<Byte>(value >> 8), static_cast<Byte>(value >> 16),
                       static_cast<Byte>(value >> 24)};
    WriteBuffer(b, 4);
}

void TStream::WriteUInt64(UInt64 value)
{
    WriteUInt32(static_cast<Cardinal>(value));
    WriteUInt32(static_cast<Cardinal>(value >> 32));
}

void TStream::WriteDouble(double value)
{
    UInt64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUInt64(bits);
}

void TStream::WriteUInt16BE(Word value)
{
    const Byte b[2] = {static_cast<Byte>(value >> 8), static_cast<Byte>(value)};
    WriteBuffer(b, 2);
}

void TStream::WriteUInt32BE(Cardinal value)
{
    const Byte b[4] = {static_cast<Byte>(value >> 24), static_cast<Byte>(value >> 16), static_cast<Byte>(value >> 8),
                       static_cast<Byte>(value)};
    WriteBuffer(b, 4);
}

// ---------------------------------------------------------- TMemoryStream

Int64 TMemoryStream::Read(void* buffer, Int64 count)
{
    const Int64 size = Size();
    if (count <= 0 || FPosition >= size)
        return 0;
    const Int64 n = std::min(count, size - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

Int64 TMemoryStream::Write(const void* buffer, Int64 count)
{
    if (count <= 0)
        return 0;
    if (count > MaxSize - FPosition)
        throw EWriteError("Out of memory while expanding memory stream");
    const Int64 end = FPosition + count;
    if (end > Size())
        FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

Int64 TMemoryStream::Seek(Int64 offset, TSeekOrigin origin)
{
    Int64 base = 0;
    if (origin == soCurrent)
        base = FPosition;
    else if (origin == soEnd)
        base = Size();
    // Positions past the largest size are refused as well: nothing could be
    // written there, and the sum must not overflow.
    if (offset < -base || offset > MaxSize - base)
        RaiseBadPosition();
    FPosition = base + offset;
    return FPosition;
}

void TMemoryStream::SetSize(Int64 newSize)
{
    if (newSize < 0 || newSize > MaxSize)
        throw EStreamError("Out of memory while expanding memory stream");
    FData.resize(static_cast<size_t>(newSize));
    FPosition = std::min(FPosition, newSize);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    const Int64 size = source.Size();
    SetSize(size);
    FPosition = 0;
    if (size > 0)
        source.ReadBuffer(FData.data(), size);
}

void TMemoryStream::LoadFromFile(const String& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest)
{
    if (!FData.empty())
        dest.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const String& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ------------------------------------------------------------ TFileStream

TFileStream::TFileStream(const String& fileName, Word mode) : FFileName(fileName)
{
    const bool create = (mode & fmCreate) == fmCreate;
    int flags = O_CLOEXEC;
    if (create) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (mode & 0x0003) {
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: flags |= O_RDONLY; break;
        }
    }
    do {
        FHandle = ::open(fileName.c_str(), flags, 0666);
    } while (FHandle < 0 && errno == EINTR);
    int error = FHandle < 0 ? errno : 0;
    if (FHandle >= 0) {
        struct stat st {};
        if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
            error = EISDIR;
            ::close(FHandle);
            FHandle = -1;
        }
    }
    if (FHandle < 0) {
        const String reason = std::strerror(error);
        if (create)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

Int64 TFileStream::Read(void* buffer, Int64 count)
{
    Int64 done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

Int64 TFileStream::Write(const void* buffer, Int64 count)
{
    Int64 done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

Int64 TFileStream::Seek(Int64 offset, TSeekOrigin origin)
{
    const int whence = origin == soCurrent ? SEEK_CUR : origin == soEnd ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(FHandle, static_cast<off_t>(offset), whence);
    if (pos < 0)
        RaiseBadPosition();
    return static_cast<Int64>(pos);
}

void TFileStream::SetSize(Int64 newSize)
{
    if (newSize < 0)
        RaiseBadPosition();
    if (::ftruncate(FHandle, static_cast<off_t>(newSize)) != 0)
        throw EStreamError("Cannot change the size of file \"" + FFileName + "\". " + std::strerror(errno));
    // As with a memory stream, a position beyond the new end is pulled back.
    if (Position() > newSize)
        SetPosition(newSize);
}
