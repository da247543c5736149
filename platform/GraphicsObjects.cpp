// Fonts, pens and brushes, and their Qt counterparts.
#include "platform/GraphicsQt.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <cstdlib>

void TGraphicsObject::Changed()
{
    if (FCanvas)
        FCanvas->ObjectChanged(this);
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this || (FName == f->FName && FHeight == f->FHeight && FStyle == f->FStyle && FColor == f->FColor &&
                             FOrientation == f->FOrientation && FPixelsPerInch == f->FPixelsPerInch))
            return;
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FOrientation = f->FOrientation;
        FPixelsPerInch = f->FPixelsPerInch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const String& Value)
{
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetOrientation(int Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    Changed();
}

void TFont::SetPixelsPerInch(int Value)
{
    // A resolution of 0 or less would make Size meaningless; keep the old one.
    if (Value <= 0 || Value == FPixelsPerInch)
        return;
    FPixelsPerInch = Value;
    Changed();
}

// ---------------------------------------------------------------------------
// TPen

void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this)
            return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 1)
        Value = 1;
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

// ---------------------------------------------------------------------------
// TBrush

void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this)
            return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        FHasPattern = b->FHasPattern;
        FPattern = b->FPattern;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value)
{
    // A colour given to a clear brush makes it solid again, as a brush with
    // a colour is expected to paint.
    if (Value == FColor && FStyle != bsClear)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (Value != bsSolid)
        FHasPattern = false;
    Changed();
}

void TBrush::SetPattern(const std::array<Byte, 8>& Rows)
{
    FPattern = Rows;
    FHasPattern = true;
    FStyle = bsSolid;
    Changed();
}

void TBrush::ClearPattern()
{
    if (!FHasPattern)
        return;
    FHasPattern = false;
    Changed();
}

// ---------------------------------------------------------------------------
// Qt conversions

QColor ColorToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(Qt::transparent);
    const TColor c = ColorToRGB(Color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QFont FontToQFont(const TFont& Font)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EInvalidOperation("Text needs the application object to be created first");
    QFont f(QString::fromStdString(Font.Name()));
    f.setStyleStrategy(QFont::PreferDefault);
    f.setBold(Font.Style().Contains(fsBold));
    f.setItalic(Font.Style().Contains(fsItalic));
    f.setUnderline(Font.Style().Contains(fsUnderline));
    f.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    int h = Font.Height();
    if (h == 0)
        h = -MulDiv(8, Font.PixelsPerInch(), 72);  // the default size
    // Heights are bounded so that no caller can ask for a font of absurd size.
    const int maxPixels = 8192;
    if (h < 0) {
        f.setPixelSize(std::min(-h, maxPixels));
    } else {
        // A positive height is the whole cell: scale the em to make it so.
        h = std::min(h, maxPixels);
        f.setPixelSize(h);
        QFontMetrics fm(f);
        const int cell = fm.ascent() + fm.descent();
        if (cell > 0 && cell != h)
            f.setPixelSize(std::max(1, MulDiv(h, h, cell)));
    }
    return f;
}
