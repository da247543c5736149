// Bitmaps written as PNG and JPEG files and read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QImage>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "tests/support/TestData.h"

namespace {

std::string ReadAll(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

unsigned FileByte(const std::string& S, std::size_t At) { return static_cast<unsigned char>(S.at(At)); }

unsigned BigEndian32(const std::string& S, std::size_t At)
{
    return FileByte(S, At) << 24 | FileByte(S, At + 1) << 16 | FileByte(S, At + 2) << 8 | FileByte(S, At + 3);
}

// A picture with a different colour in every pixel.
void FillDistinct(TBitmap& B)
{
    for (int y = 0; y < B.Height(); ++y) {
        auto* row = static_cast<std::uint32_t*>(B.ScanLine(y));
        for (int x = 0; x < B.Width(); ++x)
            row[x] = 0xFF000000u | std::uint32_t(x * 37) << 16 | std::uint32_t(y * 51) << 8 | std::uint32_t((x + y) * 13);
    }
}

struct TPngHeader {
    unsigned Width, Height, Depth, ColourType, Interlace;
};

TPngHeader PngHeader(const std::string& File)
{
    EXPECT_EQ(File.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(File.substr(12, 4), "IHDR");
    return {BigEndian32(File, 16), BigEndian32(File, 20), FileByte(File, 24), FileByte(File, 25), FileByte(File, 28)};
}

}  // namespace

TEST(PictureFiles, PngReadsBackEqualAsRgbOrWithAlphaWhenAPixelIsNotOpaque)
{
    const std::string dir = vektest::TempDir();
    TBitmap b(7, 5);
    FillDistinct(b);
    const std::string path = dir + "/plain.png";
    b.SaveToPNGFile(path);
    const std::string file = ReadAll(path);
    const TPngHeader h = PngHeader(file);
    EXPECT_EQ(h.Width, 7u);
    EXPECT_EQ(h.Height, 5u);
    EXPECT_EQ(h.Depth, 8u);
    EXPECT_EQ(h.ColourType, 2u);
    EXPECT_EQ(h.Interlace, 0u);
    QImage back;
    ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(file.data()), int(file.size()), "PNG"));
    ASSERT_EQ(back.size(), QSize(7, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back.pixel(x, y), static_cast<const std::uint32_t*>(b.ScanLine(y))[x]) << x << "," << y;

    // Pixels of an opaque picture whose fourth byte blending left at 0 stay
    // opaque colours.
    static_cast<std::uint32_t*>(b.ScanLine(2))[3] &= 0x00FFFFFFu;
    b.SaveToPNGFile(path);
    EXPECT_EQ(PngHeader(ReadAll(path)).ColourType, 2u);

    // A picture with an alpha channel and one pixel not opaque.
    QImage argb(4, 3, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    argb.setPixel(1, 2, qRgba(200, 100, 50, 0x80));
    b.Image() = argb;
    b.SaveToPNGFile(path);
    const std::string withAlpha = ReadAll(path);
    EXPECT_EQ(PngHeader(withAlpha).ColourType, 6u);
    EXPECT_EQ(PngHeader(withAlpha).Depth, 8u);
    ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(withAlpha.data()), int(withAlpha.size()), "PNG"));
    EXPECT_EQ(back.pixel(1, 2), qRgba(200, 100, 50, 0x80));
    EXPECT_EQ(back.pixel(0, 0), qRgba(10, 20, 30, 255));
}

TEST(PictureFiles, JpegIsBaselineOfTheSizeWithFlatAreasClose)
{
    const std::string dir = vektest::TempDir();
    TBitmap b(64, 48);
    const TColor colours[4] = {RGB(200, 30, 40), RGB(20, 180, 60), RGB(250, 250, 250), RGB(10, 20, 120)};
    for (int q = 0; q < 4; ++q) {
        b.Canvas()->Brush()->SetColor(colours[q]);
        b.Canvas()->FillRect(TRect(q % 2 * 32, q / 2 * 24, q % 2 * 32 + 32, q / 2 * 24 + 24));
    }
    const std::string path = dir + "/chart.jpg";
    b.SaveToJPEGFile(path);
    const std::string file = ReadAll(path);
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(FileByte(file, 0), 0xFFu);
    EXPECT_EQ(FileByte(file, 1), 0xD8u);
    EXPECT_NE(file.find("\xFF\xC0"), std::string::npos);  // baseline frame
    EXPECT_EQ(file.find("\xFF\xC2"), std::string::npos);  // not progressive
    QImage back;
    ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(file.data()), int(file.size()), "JPEG"));
    ASSERT_EQ(back.size(), QSize(64, 48));
    for (int q = 0; q < 4; ++q) {
        const QRgb p = back.pixel(q % 2 * 32 + 16, q / 2 * 24 + 12);
        EXPECT_NEAR(qRed(p), GetRValue(colours[q]), 3) << q;
        EXPECT_NEAR(qGreen(p), GetGValue(colours[q]), 3) << q;
        EXPECT_NEAR(qBlue(p), GetBValue(colours[q]), 3) << q;
    }
    // Quality matters: a low one gives a smaller file of a detailed picture.
    TBitmap detail(64, 48);
    FillDistinct(detail);
    detail.SaveToJPEGFile(dir + "/fine.jpg", 95);
    detail.SaveToJPEGFile(dir + "/coarse.jpg", 10);
    EXPECT_LT(ReadAll(dir + "/coarse.jpg").size(), ReadAll(dir + "/fine.jpg").size());
}

TEST(PictureFiles, FailedWritesRaiseAndLeaveNothing)
{
    const std::string dir = vektest::TempDir();
    TBitmap b(8, 8);
    for (const std::string name : {"/missing/x.png", "/missing/x.jpg"}) {
        const std::string path = dir + name;
        if (name.ends_with("png"))
            EXPECT_THROW(b.SaveToPNGFile(path), EWriteError);
        else
            EXPECT_THROW(b.SaveToJPEGFile(path), EWriteError);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    // An empty picture is refused and the file that was there stays.
    const std::string kept = dir + "/kept.png";
    b.SaveToPNGFile(kept);
    const std::string before = ReadAll(kept);
    TBitmap empty;
    EXPECT_THROW(empty.SaveToPNGFile(kept), EWriteError);
    EXPECT_THROW(empty.SaveToJPEGFile(kept), EWriteError);
    EXPECT_EQ(ReadAll(kept), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}
