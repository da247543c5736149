#include "platform/Streams.h"

#include "platform/Exceptions.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

std::string ReadFileBytes(const String& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const String& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace

TEST(MemoryStream, ReadsAndWritesAtThePosition)
{
    TMemoryStream s;
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Write("hello", 5), 5);
    EXPECT_EQ(s.Position(), 5);
    s.SetPosition(1);
    EXPECT_EQ(s.Write("EL", 2), 2);
    EXPECT_EQ(s.DataString(), "hELlo");

    char buf[8] = {};
    s.SetPosition(3);
    EXPECT_EQ(s.Read(buf, 8), 2);  // only what is there
    EXPECT_EQ(std::string(buf, 2), "lo");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_EQ(s.Read(buf, -1), 0);

    // Writing beyond the end fills the gap with zero bytes.
    EXPECT_EQ(s.Seek(2, soEnd), 7);
    s.WriteUInt8('!');
    EXPECT_EQ(s.DataString(), std::string("hELlo\0\0!", 8));
    EXPECT_EQ(s.Seek(-3, soCurrent), 5);
    EXPECT_EQ(s.Remaining(), 3);

    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);  // pulled back to the new end
    EXPECT_EQ(s.DataString(), "hEL");
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, ShortReadsAndBadPositionsRaise)
{
    TMemoryStream s;
    s.WriteBytes("abc");
    s.SetPosition(1);
    char buf[4];
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    s.SetPosition(0);
    EXPECT_NO_THROW(s.ReadBuffer(buf, 3));
    EXPECT_THROW(s.ReadUInt8(), EReadError);
    EXPECT_THROW(s.ReadBuffer(buf, -1), EReadError);

    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(s.Seek(-4, soEnd), EStreamError);
    EXPECT_THROW(s.Seek(std::numeric_limits<Int64>::max(), soCurrent), EStreamError);
    EXPECT_EQ(s.Position(), 3);  // a refused seek moves nothing

    // A length read from untrusted data must not allocate before it is checked.
    s.SetPosition(0);
    EXPECT_THROW(s.ReadBytes(std::numeric_limits<Int64>::max()), EReadError);
    EXPECT_THROW(s.ReadBytes(4), EReadError);
    EXPECT_EQ(s.ReadBytes(3), "abc");

    EXPECT_THROW(s.SetSize(-1), EStreamError);
    EXPECT_THROW(s.SetSize(TMemoryStream::MaxSize + 1), EStreamError);
    s.SetPosition(TMemoryStream::MaxSize);
    EXPECT_THROW(s.WriteUInt8(0), EWriteError);
    EXPECT_EQ(s.Size(), 3);
}

TEST(MemoryStream, IntegersInBothByteOrders)
{
    TMemoryStream s;
    s.WriteUInt16(0x1122);
    s.WriteUInt32(0x33445566);
    s.WriteUInt16BE(0x1122);
    s.WriteUInt32BE(0x33445566);
    s.WriteInt32(-2);
    s.WriteInt64(-3);
    s.WriteInt16BE(-4);
    s.WriteDouble(-0.1);
    ASSERT_EQ(s.Size(), 2 + 4 + 2 + 4 + 4 + 8 + 2 + 8);
    EXPECT_EQ(s.DataString().substr(0, 12), "\x22\x11\x66\x55\x44\x33\x11\x22\x33\x44\x55\x66");
    EXPECT_EQ(s.DataString().substr(12, 4), "\xFE\xFF\xFF\xFF");

    s.SetPosition(0);
    EXPECT_EQ(s.ReadUInt16(), 0x1122);
    EXPECT_EQ(s.ReadUInt32(), 0x33445566u);
    EXPECT_EQ(s.ReadUInt16BE(), 0x1122);
    EXPECT_EQ(s.ReadUInt32BE(), 0x33445566u);
    EXPECT_EQ(s.ReadInt32(), -2);
    EXPECT_EQ(s.ReadInt64(), -3);
    EXPECT_EQ(s.ReadInt16BE(), -4);
    EXPECT_EQ(s.ReadDouble(), -0.1);
    EXPECT_EQ(s.Remaining(), 0);

    TMemoryStream high;
    high.WriteBytes(std::string("\xFF\xFE\x80\x00\x00\x01", 6));
    high.SetPosition(0);
    EXPECT_EQ(high.ReadInt16(), -257);
    EXPECT_EQ(high.ReadInt32BE(), static_cast<std::int32_t>(0x80000001u));
}

TEST(MemoryStream, CopiesBetweenStreams)
{
    TMemoryStream source;
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    source.WriteBytes(big);

    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), static_cast<Int64>(big.size()));  // 0 = all, from the start
    EXPECT_EQ(dest.DataString(), big);

    source.SetPosition(10);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 5), 5);
    EXPECT_EQ(part.DataString(), big.substr(10, 5));
    source.SetPosition(static_cast<Int64>(big.size()) - 2);
    EXPECT_THROW(part.CopyFrom(source, 3), EReadError);

    TMemoryStream loaded;
    loaded.WriteBytes("old contents");
    source.SetPosition(99);
    loaded.LoadFromStream(source);
    EXPECT_EQ(loaded.Position(), 0);
    EXPECT_EQ(loaded.DataString(), big);
}

TEST(FileStream, OpenModes)
{
    const String dir = vektest::TempDir();
    const String path = dir + "/data.bin";
    {
        TFileStream f(path, fmCreate);
        f.WriteBytes("0123456789");
        EXPECT_EQ(f.Size(), 10);
        f.SetPosition(2);
        EXPECT_EQ(f.ReadBytes(3), "234");  // fmCreate also reads
        EXPECT_EQ(f.FileName(), path);
    }
    {
        TFileStream f(path, fmOpenWrite | fmShareDenyNone);  // no truncation
        f.Seek(-2, soEnd);
        f.WriteBytes("AB");
        char c;
        EXPECT_EQ(f.Read(&c, 1), 0);  // write-only
    }
    EXPECT_EQ(ReadFileBytes(path), "01234567AB");
    {
        TFileStream f(path, fmOpenRead | fmShareDenyWrite);
        EXPECT_THROW(f.WriteBytes("x"), EWriteError);
        char buf[20];
        EXPECT_EQ(f.Read(buf, 20), 10);
        EXPECT_THROW(f.ReadUInt8(), EReadError);
        EXPECT_THROW(f.Seek(-1, soBeginning), EStreamError);
    }
    {
        TFileStream f(path, fmOpenReadWrite | fmShareExclusive);
        f.SetPosition(8);
        f.SetSize(4);
        EXPECT_EQ(f.Position(), 4);
        f.WriteUInt16BE(0x4142);
    }
    EXPECT_EQ(ReadFileBytes(path), "0123AB");
    {
        TFileStream f(path, fmCreate | fmShareExclusive);  // truncates
        EXPECT_EQ(f.Size(), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(FileStream, FailuresNameTheFile)
{
    const String dir = vektest::TempDir();
    try {
        TFileStream f(dir + "/missing.bin", fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("missing.bin"), std::string::npos) << e.Message;
    }
    EXPECT_THROW(TFileStream(dir + "/no/such/folder.bin", fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);  // a folder is no file
    EXPECT_THROW(TFileStream(dir, fmCreate), EFCreateError);
}

TEST(FileStream, MemoryStreamFiles)
{
    const String dir = vektest::TempDir();
    WriteFileBytes(dir + "/in.bin", std::string("a\0b\r\n", 5));
    TMemoryStream m;
    m.LoadFromFile(dir + "/in.bin");
    EXPECT_EQ(m.DataString(), std::string("a\0b\r\n", 5));
    m.SetPosition(m.Size());
    m.WriteUInt32(1);
    m.SetPosition(2);  // the whole stream is saved, whatever the position
    m.SaveToFile(dir + "/out.bin");
    EXPECT_EQ(ReadFileBytes(dir + "/out.bin"), std::string("a\0b\r\n\x01\0\0\0", 9));
    EXPECT_THROW(m.LoadFromFile(dir + "/none.bin"), EFOpenError);
}
