// What the screen object tells of the desktop: the font families the toolkit
// can draw, and the bounds and work area of each screen.
#include <algorithm>
#include <cmath>
#include <limits>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace {

bool HaveGui() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

TRect ToRect(const QRect& R) { return {R.left(), R.top(), R.left() + R.width(), R.top() + R.height()}; }

// The screen holding P; the nearest one when none does.
QScreen* ScreenAt(const TPoint& P)
{
    if (!HaveGui())
        return nullptr;
    QScreen* best = nullptr;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const long long dx = P.X < g.left() ? g.left() - P.X : P.X > g.right() ? P.X - g.right() : 0;
        const long long dy = P.Y < g.top() ? g.top() - P.Y : P.Y > g.bottom() ? P.Y - g.bottom() : 0;
        const long long d = dx * dx + dy * dy;
        if (d < bestDistance) {
            best = s;
            bestDistance = d;
        }
    }
    return best;
}

TRect DefaultScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

TScreenFont ReadFont(const QString& Family)
{
    TScreenFont f;
    f.Name = Family.toStdString();
    f.Scalable = QFontDatabase::isScalable(Family);
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(Family);
    f.Symbol = !systems.isEmpty() && std::all_of(systems.begin(), systems.end(), [](QFontDatabase::WritingSystem W) {
        return W == QFontDatabase::Symbol;
    });
    if (f.Scalable)
        return f;
    const int dpi = Screen ? Screen->PixelsPerInch() : 96;
    for (int points : QFontDatabase::pointSizes(Family)) {
        QFont font(Family);
        font.setPixelSize(std::max(1, int(std::lround(points * dpi / 72.0))));
        // The size the face really has: a bitmap font's sizes are whole
        // pixels, which the point sizes only round.
        const int pixels = QFontInfo(font).pixelSize();
        const QFontMetrics m(font);
        TScreenFontSize size;
        size.CellHeight = m.ascent() + m.descent();
        size.InternalLeading = std::max(0, size.CellHeight - pixels);
        if (std::none_of(f.Sizes.begin(), f.Sizes.end(),
                         [&](const TScreenFontSize& S) { return S.CellHeight == size.CellHeight; }))
            f.Sizes.push_back(size);
    }
    std::sort(f.Sizes.begin(), f.Sizes.end(),
              [](const TScreenFontSize& A, const TScreenFontSize& B) { return A.CellHeight < B.CellHeight; });
    return f;
}

}  // namespace

TRect TScreen::MonitorRect(const TPoint& P) const
{
    QScreen* s = ScreenAt(P);
    return s ? ToRect(s->geometry()) : DefaultScreen();
}

TRect TScreen::MonitorWorkAreaRect(const TPoint& P) const
{
    QScreen* s = ScreenAt(P);
    return s ? ToRect(s->availableGeometry()) : DefaultScreen();
}

const std::vector<TScreenFont>& TScreen::Fonts()
{
    if (FFontsRead || !HaveGui())
        return FFonts;
    FFontsRead = true;
    QStringList families = QFontDatabase::families();
    families.removeDuplicates();
    for (const QString& family : families)
        if (!QFontDatabase::isPrivateFamily(family))
            FFonts.push_back(ReadFont(family));
    std::sort(FFonts.begin(), FFonts.end(), [](const TScreenFont& A, const TScreenFont& B) { return A.Name < B.Name; });
    return FFonts;
}

TFont* TScreen::MenuFont()
{
    if (!FMenuFont) {
        FMenuFont = std::make_unique<TFont>();
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            const QFont f = QApplication::font("QMenu");
            FMenuFont->SetName(f.family().toStdString());
            const int pixels = f.pixelSize() > 0 ? f.pixelSize()
                                                 : int(std::lround(f.pointSizeF() * PixelsPerInch() / 72.0));
            if (pixels > 0)
                FMenuFont->SetHeight(-pixels);
        }
        FMenuFont->SetColor(clMenuText);
    }
    return FMenuFont.get();
}
