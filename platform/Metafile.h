#pragma once
// TMetafile: a page of drawing kept as a display list. A TMetafileCanvas
// records into it whatever a canvas draws (texts with their font and colour,
// lines, rectangles, ellipses, polygons, paths, images, with the clip and
// coordinate changes between them); the metafile then replays scaled into
// any canvas, or a printer. Images are kept once however often they are
// drawn. The recording resolution is the metafile's own, so a font's pixel
// height measures and replays alike.
#include <memory>
#include <vector>

#include "platform/Graphics.h"

class TMetafileRecorder;
class QRectF;
struct TMetafileData;

// What tests read back: a text in device pixels of the recording.
struct TMetaText {
    String Text;
    int X = 0;         // left of the text
    int Y = 0;         // top of the text cell (base line less the ascent)
    int Baseline = 0;
    int Width = 0;     // the text's advance
    String FontName;
    int FontHeight = 0;  // pixels, the em
    bool Bold = false;
    TColor Color = clBlack;
};

enum TMetaShapeKind { mkLine, mkRectangle, mkEllipse, mkPolygon, mkPath, mkPoints, mkImage };

// A shape's bounding box in device pixels of the recording.
struct TMetaShape {
    TMetaShapeKind Kind = mkLine;
    TRect Bounds;
    TColor PenColor = clBlack;
    bool PenClear = false;
    TColor BrushColor = clWhite;
    bool BrushClear = true;
};

class TMetafile : public TGraphic {
    VEK_DECLARE_CLASS(TMetafile, TGraphic)

public:
    TMetafile();
    ~TMetafile() override;

    // The recording surface: size in pixels and resolution (dots per inch).
    void SetSize(int AWidth, int AHeight);
    int Width() const override;
    int Height() const override;
    int PixelsPerInch() const;
    void SetPixelsPerInch(int Value);
    bool Empty() const override;
    void Clear();

    // Read-back of what was recorded.
    std::vector<TMetaText> Texts() const;
    std::vector<TMetaShape> Shapes() const;
    // Distinct images kept.
    int ImageCount() const;
    // Drawing operations recorded.
    int RecordCount() const;

    // Platform code only: replays the recording into Painter with the
    // recording's (0, 0, Width, Height) stretched over Target (device pixels
    // of the painter), clipped to Target.
    void Play(QPainter& Painter, const QRectF& Target) const;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    friend class TMetafileCanvas;
    friend class TMetafileRecorder;
    std::unique_ptr<TMetafileData> FData;
};

// The canvas that records into a metafile; freeing it (or EndRecording)
// completes the metafile.
class TMetafileCanvas : public TCanvas {
    VEK_DECLARE_CLASS(TMetafileCanvas, TCanvas)

public:
    explicit TMetafileCanvas(TMetafile* Metafile);
    ~TMetafileCanvas() override;
    TMetafile* Metafile() const { return FMetafile; }
    void EndRecording();
    TSize DeviceSize() const override;

protected:
    QPainter* AcquirePainter() override;
    void ReleasePainter() override;
    void PaintText(QPainter& Painter, const QPoint& P, const QString& S) override;

private:
    TMetafile* FMetafile;
    std::unique_ptr<TMetafileRecorder> FRecorder;
    std::unique_ptr<QPainter> FPainterOwn;
    bool FEnded = false;
};
