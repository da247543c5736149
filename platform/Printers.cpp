// The printer over Qt's: a print queue or a PDF file, its page measures and
// its job; and the path shortening the printouts' footers use.
#include "platform/Printers.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

#include "platform/GraphicsQt.h"

namespace {

QPageLayout LayoutOf(TPaperKind Paper, TPrinterOrientation Orientation)
{
    return QPageLayout(QPageSize(Paper == pkLetter ? QPageSize::Letter : QPageSize::A4),
        Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(TPrinter::MarginMM, TPrinter::MarginMM, TPrinter::MarginMM, TPrinter::MarginMM),
        QPageLayout::Millimeter);
}

}  // namespace

TPrinter::TPrinter() = default;

TPrinter::~TPrinter()
{
    if (FPrinting)
        Abort();
}

void TPrinter::SetOutputFileName(const String& Path)
{
    FFileName = Path;
    if (!Path.empty())
        FQueue.clear();
}

void TPrinter::SetPrinterName(const String& Queue)
{
    FQueue = Queue;
    if (!Queue.empty())
        FFileName.clear();
}

std::vector<String> TPrinter::Printers()
{
    std::vector<String> result;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        result.push_back(name.toStdString());
    return result;
}

String TPrinter::DefaultPrinterName() { return QPrinterInfo::defaultPrinterName().toStdString(); }

void TPrinter::UseDefault()
{
    FFileName.clear();
    FQueue = DefaultPrinterName();
}

void TPrinter::SetPaper(TPaperKind Value) { FPaper = Value; }
void TPrinter::SetOrientation(TPrinterOrientation Value) { FOrientation = Value; }

QPrinter* TPrinter::Native()
{
    if (!FPrinter)
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return FPrinter.get();
}

void TPrinter::Configure()
{
    QPrinter* p = Native();
    if (ToFile()) {
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(QString::fromStdString(FLastFile));
    } else {
        p->setOutputFormat(QPrinter::NativeFormat);
        p->setPrinterName(QString::fromStdString(FQueue));
    }
    p->setResolution(Resolution);
    p->setFullPage(false);
    p->setPageLayout(LayoutOf(FPaper, FOrientation));
    p->setDocName(QString::fromStdString(FTitle));
    p->setCreator("VEK");
}

void TPrinter::BeginDoc()
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    FLastFile.clear();
    if (ToFile()) {
        FLastFile = FFileName;
        if (FLastFile.empty() && FallbackFileName)
            FLastFile = FallbackFileName();
        if (FLastFile.empty())
            throw EPrinter("No printer and no file to print to");
    }
    Configure();
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(Native())) {
        FPainter.reset();
        if (!FLastFile.empty())
            QFile::remove(QString::fromStdString(FLastFile));
        throw EPrinter("The printer could not be opened: " + (ToFile() ? FLastFile : FQueue));
    }
    FCanvas = std::make_unique<TPainterCanvas>(FPainter.get(), TSize(GetDeviceCaps(HORZRES), GetDeviceCaps(VERTRES)));
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        return;
    FCanvas->EndPaint();
    Native()->newPage();
    ++FPageNumber;
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        return;
    FCanvas.reset();
    FPainter->end();
    FPainter.reset();
    FPrinting = false;
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    FCanvas.reset();
    if (!ToFile())
        Native()->abort();
    if (FPainter->isActive())
        FPainter->end();
    FPainter.reset();
    // A PDF begun is no printout: nothing of it stays.
    if (!FLastFile.empty())
        QFile::remove(QString::fromStdString(FLastFile));
    FPrinting = false;
    FAborted = true;
}

TCanvas* TPrinter::Canvas() { return FCanvas.get(); }

int TPrinter::GetDeviceCaps(TDeviceCap Cap) const
{
    const QPageLayout layout = LayoutOf(FPaper, FOrientation);
    const QRect full = layout.fullRectPixels(Resolution);
    const QRect paint = layout.paintRectPixels(Resolution);
    const QRectF paintMM = layout.paintRect(QPageLayout::Millimeter);
    switch (Cap) {
    case HORZSIZE:
        return int(std::lround(paintMM.width()));
    case VERTSIZE:
        return int(std::lround(paintMM.height()));
    case HORZRES:
        return paint.width();
    case VERTRES:
        return paint.height();
    case LOGPIXELSX:
    case LOGPIXELSY:
        return Resolution;
    case PHYSICALWIDTH:
        return full.width();
    case PHYSICALHEIGHT:
        return full.height();
    case PHYSICALOFFSETX:
        return paint.left() - full.left();
    case PHYSICALOFFSETY:
        return paint.top() - full.top();
    }
    return 0;
}

TPrinter* Printer()
{
    static std::unique_ptr<TPrinter> printer;
    if (!printer) {
        printer = std::make_unique<TPrinter>();
        printer->UseDefault();
    }
    return printer.get();
}

// ---------------------------------------------------------------------------

String MinimizeName(const String& FileName, TCanvas* Canvas, int Width)
{
    auto fits = [&](const String& S) { return Canvas->TextWidth(S) <= Width; };
    if (fits(FileName))
        return FileName;
    const std::size_t lastSlash = FileName.rfind('/');
    const String name = lastSlash == String::npos ? FileName : FileName.substr(lastSlash + 1);
    if (lastSlash != String::npos && lastSlash > 0) {
        // The first folder: "/home" of "/home/...", "docs" of "docs/...".
        const std::size_t firstEnd = FileName.find('/', FileName[0] == '/' ? 1 : 0);
        if (firstEnd != String::npos && firstEnd < lastSlash) {
            const String first = FileName.substr(0, firstEnd);
            String rest = FileName.substr(firstEnd + 1);
            for (;;) {
                const std::size_t cut = rest.find('/');
                if (cut == String::npos)
                    break;
                rest = rest.substr(cut + 1);
                const String candidate = first + "/.../" + rest;
                if (fits(candidate))
                    return candidate;
            }
        }
        const String candidate = ".../" + name;
        if (fits(candidate))
            return candidate;
    }
    // The file name cut at a character boundary of its UTF-8.
    for (std::size_t n = name.size(); n > 0; --n) {
        if (n < name.size() && (Byte(name[n]) & 0xC0) == 0x80)
            continue;
        const String candidate = name.substr(0, n) + "...";
        if (fits(candidate))
            return candidate;
    }
    return "...";
}
