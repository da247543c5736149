// A string grid printed as a table: the columns measured and, while too
// wide, narrowed and the font shrunk; then the rows page by page, each page
// with the caption and header row again.
#include <algorithm>
#include <cmath>

#include "platform/Grids.h"
#include "printing/PrintPreview.h"

namespace {

struct TTableLayout {
    std::vector<int> Columns;  // grid columns that print
    std::vector<int> Width;
    std::vector<int> X;        // left of each printed column; X.back() is the table's right
    int Spacing = 0;

    int Total() const { return X.empty() ? 0 : X.back() - X.front(); }
    void Place(int Left)
    {
        X.assign(Width.size() + 1, Left);
        for (std::size_t i = 0; i < Width.size(); ++i)
            X[i + 1] = X[i] + Width[i] + Spacing;
    }
};

}  // namespace

void TPrintPreviewDialog::PrintStringGrid(TStringGrid* Grid, const String& Caption, bool HeaderRow, bool GridLines,
    int FirstRow, int LastRow, int StartY, TRect& OutRect)
{
    OutRect = TRect();
    TFont* font = GetFont();
    if (!Grid || !font)
        return;
    const int startSize = font->Size();
    const TSize body = PrintableSize(true, true);
    const int rows = Grid->RowCount();

    TTableLayout t;
    for (int c = 0; c < Grid->ColCount(); ++c)
        if (Grid->ColWidths(c) != 0)
            t.Columns.push_back(c);
    const std::size_t n = t.Columns.size();
    t.Width.assign(n, 0);
    std::vector<std::vector<int>> cellWidths(n, std::vector<int>(std::size_t(std::max(rows, 0))));
    std::vector<double> mean(n, 0);

    int h = 0, g = 0;
    for (;;) {
        h = TextHeight();
        g = h / 5;
        t.Spacing = TextWidth("N");
        for (std::size_t i = 0; i < n; ++i) {
            int widest = 1;
            double sum = 0;
            for (int r = 0; r < rows; ++r) {
                const int w = TextWidth(Grid->Cells(t.Columns[i], r));
                cellWidths[i][std::size_t(r)] = w;
                widest = std::max(widest, w);
                sum += w;
            }
            t.Width[i] = widest;
            mean[i] = rows > 0 ? sum / rows : 0;
        }
        t.Place(0);
        if (body.cx < t.Total()) {
            // Columns with a few long texts give way to their usual width.
            for (std::size_t i = 0; i < n; ++i) {
                if (t.Width[i] <= int(std::lround(1.5 * mean[i])))
                    continue;
                int usual = 0;
                for (const int w : cellWidths[i])
                    if (w <= mean[i])
                        usual = std::max(usual, w);
                t.Width[i] = usual + t.Spacing;
            }
            t.Place(0);
        }
        if (body.cx >= t.Total() || int(std::lround(0.7 * startSize)) >= font->Size())
            break;
        font->SetSize(font->Size() - 1);
    }

    int left = 0;
    if (t.Total() > body.cx) {
        // Still too wide at the smallest font: every column scaled alike to
        // the body, none narrower than a pixel.
        double sum = 0;
        for (const int w : t.Width)
            sum += w;
        const double factor = sum > 0 ? (body.cx - double(n) * t.Spacing) / sum : 0;
        for (int& w : t.Width)
            w = std::max(1, int(std::lround(w * factor)));
        t.Place(0);
        // What the rounding added comes off the widest columns again.
        for (int over = t.Total() - body.cx; over > 0 && n > 0; --over) {
            auto widest = std::max_element(t.Width.begin(), t.Width.end());
            if (*widest <= 1)
                break;
            --*widest;
        }
        t.Place(0);
    } else if (t.Total() < body.cx) {
        left = (body.cx - t.Total()) / 2;
        t.Place(left);
    }
    left = t.X.front();
    const int right = t.X.back();
    int y = StartY;
    int top = StartY;
    int bodyTop = StartY;
    // Every page of the table prints in the font it was laid out in.
    TFont tableFont;
    tableFont.Assign(font);
    auto newPage = [&]() {
        NewPage();
        if (TFont* f = GetFont())
            f->Assign(&tableFont);
        top = 0;
    };


    auto field = [&](std::size_t I, int Row) {
        unsigned align = DT_LEFT;
        switch (Grid->Objects(t.Columns[I], 0)) {
        case 1:
            align = DT_RIGHT;
            break;
        case 2:
            align = DT_CENTER;
            break;
        default:
            break;
        }
        GetBrush()->SetStyle(bsClear);
        const TRect r(t.X[I] + t.Spacing / 2, y, t.X[I + 1] - t.Spacing / 2, y + h);
        // A text that fits (measured in the last pass, at this font) is put
        // straight; only a longer one needs cutting with an ellipsis.
        if (Row >= 0 && Row < rows && cellWidths[I][std::size_t(Row)] <= r.Width()) {
            const int x = align == DT_RIGHT ? r.Right : align == DT_CENTER ? (r.Left + r.Right) / 2 : r.Left;
            TextOut(x, y, align == DT_RIGHT ? 1 : align == DT_CENTER ? 2 : 0, Grid->Cells(t.Columns[I], Row));
            return;
        }
        DrawText(r, Grid->Cells(t.Columns[I], Row), DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | align);
    };
    auto caption = [&]() {
        if (body.cy < top + 2 * h)
            newPage();
        y = top;
        if (!Caption.empty()) {
            const TFontStyles style = GetFont()->Style();
            GetFont()->SetStyle(style + fsBold);
            TextOut(left, y, 0, Caption);
            GetFont()->SetStyle(style);
            y += g + h;
        }
        if (HeaderRow) {
            GetBrush()->SetStyle(bsSolid);
            GetBrush()->SetColor(clBtnFace);
            GetPen()->SetColor(clBlack);
            Rectangle(TRect(left, y, right, y + h + 2 * g));
            y += g;
            for (std::size_t i = 0; i < n; ++i)
                field(i, 0);
            y += h + 2 * g;
        }
        bodyTop = y;
        y += g;
    };
    auto boundary = [&](int Bottom) {
        GetPen()->SetColor(clBtnFace);
        GetBrush()->SetStyle(bsClear);
        if (GridLines)
            for (std::size_t i = 1; i < n; ++i)
                Line(TPoint(t.X[i], bodyTop), TPoint(t.X[i], Bottom));
        Rectangle(TRect(left, bodyTop, right, Bottom));
    };

    caption();
    bool rowOnPage = false;
    int rowBottom = y;
    for (int r = FirstRow; r <= LastRow && r < rows; ++r) {
        // A row that would cross the body's bottom goes to the next page;
        // one that fits on no fresh page is printed there all the same.
        if (rowOnPage && y + h > body.cy) {
            boundary(rowBottom);
            newPage();
            caption();
            rowOnPage = false;
        }
        for (std::size_t i = 0; i < n; ++i)
            field(i, r);
        y += h;
        rowBottom = y;
        rowOnPage = true;
        if (GridLines && r != LastRow) {
            GetPen()->SetColor(clBtnFace);
            Line(TPoint(left, y), TPoint(right, y));
            y += g;
        }
    }
    boundary(rowOnPage ? rowBottom : y);
    OutRect = TRect(left, top, right, rowOnPage ? rowBottom : y);
    if (TFont* f = GetFont())
        f->SetSize(startSize);
}
