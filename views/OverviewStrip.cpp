// The overview strip: the whole plan small, kept as a picture between
// paints, with the tinted slider that frames the part the chart shows.
#include "views/OverviewStrip.h"

#include <algorithm>

#include "components/TreeGrid/TreeGridUtils.h"
#include "platform/Graphics.h"
#include "views/CanvasPanel.h"
#include "views/ChartPalette.h"
#include "views/PlannerForm.h"

namespace {

// Past this many separate rectangles waiting, the strip is drawn whole: a
// region of many parts costs more to keep than the drawing it saves.
constexpr std::size_t MaxDirtyRects = 64;

}  // namespace

TOverviewPicture::TOverviewPicture() = default;
TOverviewPicture::~TOverviewPicture() = default;

void TOverviewPicture::Invalidate(const TRect& R)
{
    if (FAll || R.IsEmpty())
        return;
    FDirty = FDirty.United(TRegion::FromRect(R));
    if (FDirty.Rects().size() > MaxDirtyRects) {
        FAll = true;
        FDirty = TRegion();
    }
}

TBitmap* TOverviewPicture::Update(const TKey& Key, TColor Background, const std::function<void(TCanvas*)>& Draw)
{
    if (!FPicture)
        FPicture = std::make_unique<TBitmap>();
    const int width = std::max(0, Key.Width);
    const int height = std::max(0, Key.Height);
    const TRegion whole = TRegion::FromRect(TRect(0, 0, width, height));
    TRegion todo;
    if (FAll || !(Key == FKey) || FPicture->Width() != width || FPicture->Height() != height) {
        FPicture->SetSize(width, height);
        todo = whole;
    } else {
        todo = FDirty.Intersected(whole);
    }
    FAll = false;
    FKey = Key;
    FDirty = TRegion();
    if (todo.IsEmpty())
        return FPicture.get();
    TCanvas* c = FPicture->Canvas();
    c->SelectClipRgn(&todo);
    try {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Background);
        c->FillRect(todo.Bounds());
        Draw(c);
    } catch (...) {
        // Whatever was half drawn is drawn again next time.
        c->SelectClipRgn(nullptr);
        FAll = true;
        throw;
    }
    c->SelectClipRgn(nullptr);
    return FPicture.get();
}

// ---- the strip on the planner form ---------------------------------------------------

void TPlannerForm::InvalidateOverview()
{
    FOverview->InvalidateAll();
    if (SmallTimeChart)
        SmallTimeChart->Invalidate();
}

void TPlannerForm::InvalidateOverview(const TRect& R)
{
    if (FChartRectsHeld) {
        FHeldOverviewRects.push_back(R);
        return;
    }
    FOverview->Invalidate(R);
    if (SmallTimeChart)
        SmallTimeChart->InvalidateRect(R);
}

void TPlannerForm::SmallTimeChartPaint()
{
    redrawcount = 0;
    TCanvas* c = SmallTimeChart->Canvas();
    const int width = SmallTimeChart->Width();
    const int height = SmallTimeChart->Height();
    const TOverviewPicture::TKey key{width, height, FMinDate, FMaxDate, GetRowCount(), TimeChartRowHeight(0)};
    TBitmap* picture = FOverview->Update(key, ChartPalette::Background, [&](TCanvas* Canvas) {
        DrawTimeChart(Canvas, true, 0, 0, true, 0, 0, width, 0, FMaxDate, FMinDate);
    });
    c->Draw(0, 0, picture);
    DrawSlider(c);
}

void TPlannerForm::DrawSlider(TCanvas* Canvas)
{
    const TRect slider = SliderRect();
    TRect part;
    if (IntersectRect(part, slider, TRect(0, 0, SmallTimeChart->Width(), SmallTimeChart->Height())) &&
        Canvas->RectVisible(part)) {
        // The pixels under the slider, the tint blended over them.
        const int w = part.Width(), h = part.Height();
        TBitmap under(w, h);
        under.Canvas()->CopyRect(TRect(0, 0, w, h), Canvas, part);
        TBitmap tint(w, h);
        tint.Canvas()->Brush()->SetColor(ChartPalette::SliderTint);
        tint.Canvas()->FillRect(TRect(0, 0, w, h));
        AlphaBlend(&tint, &under, TRect(0, 0, w, h), TPoint(0, 0), bmConstantAlpha, 100, 0);
        Canvas->Draw(part.Left, part.Top, &under);
    }
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetMode(pmCopy);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetColor(ChartPalette::Divider);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(slider);
    Canvas->Brush()->SetStyle(bsSolid);
}
