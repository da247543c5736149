// Bitmaps written as picture files: PNG through the toolkit's encoder, JPEG
// through libjpeg. Both go to the disk through the atomic file writer, so a
// failed save leaves nothing half-written behind.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QBuffer>
#include <QImageWriter>

#include <jpeglib.h>

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/GraphicsQt.h"

namespace {

void CheckPicture(const TBitmap& Bitmap, const String& Path)
{
    if (Bitmap.Empty())
        throw EWriteError("Cannot write file \"" + Path + "\". The picture is empty");
}

void WritePicture(const String& Path, const std::string& Bytes)
{
    try {
        WriteFileAtomic(Path, Bytes);
    } catch (EFCreateError& E) {
        throw EWriteError(E.Message);
    }
}

bool HasTranslucentPixel(const QImage& Image)
{
    if (!Image.hasAlphaChannel())
        return false;
    const QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

// libjpeg reports fatal errors through a callback that must not return.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFailed(j_common_ptr Info)
{
    auto* e = reinterpret_cast<TJpegError*>(Info->err);
    (*Info->err->format_message)(Info, e->Message);
    std::longjmp(e->Jump, 1);
}

void JpegWarning(j_common_ptr, int) {}

// Encodes Rows (Width x Height, 3 bytes a pixel) into Out; false with a
// message from libjpeg on failure. Kept free of objects with destructors:
// a failure leaves it by a long jump.
bool EncodeJpeg(const unsigned char* Rows, int Width, int Height, int Quality, unsigned char** Out,
                unsigned long* OutSize, TJpegError* Error)
{
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&Error->Manager);
    Error->Manager.error_exit = JpegFailed;
    Error->Manager.emit_message = JpegWarning;
    Error->Message[0] = '\0';
    if (setjmp(Error->Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, Out, OutSize);
    info.image_width = JDIMENSION(Width);
    info.image_height = JDIMENSION(Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);  // baseline tables
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(Rows) + std::size_t(info.next_scanline) * std::size_t(Width) * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

void TBitmap::SaveToPNGFile(const String& Path) const
{
    CheckPicture(*this, Path);
    const QImage& image = Image();
    // Eight bits a channel, colour type 2, or 6 when any pixel lets the
    // background through; the toolkit's writer does not interlace.
    const QImage out = HasTranslucentPixel(image) ? image.convertToFormat(QImage::Format_ARGB32)
                                                  : image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(out))
        throw EWriteError("Cannot write file \"" + Path + "\". " + writer.errorString().toStdString());
    WritePicture(Path, std::string(bytes.constData(), std::size_t(bytes.size())));
}

void TBitmap::SaveToJPEGFile(const String& Path, int Quality) const
{
    CheckPicture(*this, Path);
    const QImage& image = Image();
    const int w = image.width(), h = image.height();
    // The alpha channel has no place in the file: colours only.
    std::vector<unsigned char> rows(std::size_t(w) * std::size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        unsigned char* dst = rows.data() + std::size_t(y) * std::size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            *dst++ = static_cast<unsigned char>(qRed(src[x]));
            *dst++ = static_cast<unsigned char>(qGreen(src[x]));
            *dst++ = static_cast<unsigned char>(qBlue(src[x]));
        }
    }
    unsigned char* encoded = nullptr;
    unsigned long size = 0;
    TJpegError error;
    const bool ok = EncodeJpeg(rows.data(), w, h, std::clamp(Quality, 1, 100), &encoded, &size, &error);
    std::string bytes;
    if (ok && encoded)
        bytes.assign(reinterpret_cast<const char*>(encoded), size);
    std::free(encoded);
    if (!ok)
        throw EWriteError("Cannot write file \"" + Path + "\". " + error.Message);
    WritePicture(Path, bytes);
}
