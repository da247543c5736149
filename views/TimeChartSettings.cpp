// The timechart's settings: zoom, transparency of filtered bars, column
// width, font and size, row sets and the overview's row height; the tool
// bar's boxes and the view menu's submenus and switches that set them.
#include <algorithm>
#include <cmath>

#include "components/FontNameComboBox.h"
#include "components/KitSplitter.h"
#include "components/KitToolBar.h"
#include "components/FontSizeComboBox.h"
#include "document/DocumentHelpers.h"
#include "document/Log.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"
#include "views/PlannerForm.h"

namespace {

const int ZoomSteps[] = {25, 50, 75, 100, 150, 200};
const int TransparencySteps[] = {100, 90, 80, 70, 60, 50};
// "Quick column width": the days each item fits into the chart.
struct TSpan {
    const char* Caption;
    int Days;
};
const TSpan ColumnSpans[] = {{"1 day", 1}, {"2 days", 2}, {"3 days", 3}, {"1 week", 7}, {"2 weeks", 14},
    {"3 weeks", 21}, {"1 month", 31}, {"2 months", 62}, {"3 months", 92}, {"6 months", 182}, {"1 year", 365}};
const int FontSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

}  // namespace

// ---- shared pieces -------------------------------------------------------------------

void TPlannerForm::ShowPercent(TComboBox* Box, TMenuItem* Menu, int Value)
{
    if (Box) {
        const String text = IntToStr(Value);
        const int index = Box->Items()->IndexOf(text);
        Box->SetItemIndex(index);
        if (index < 0)
            Box->SetText(text);
        Box->SetTag(Value);
    }
    if (Menu)
        for (int i = 0; i < Menu->Count(); ++i)
            Menu->Items(i)->SetChecked(Menu->Items(i)->Tag() == Value);
}

void TPlannerForm::UpdateToolCaptions()
{
    const String zoom = FillText(Translate("Timechart zoom (%s %)"), {IntToStr(GetZoom())});
    if (KalendarZoom1)
        KalendarZoom1->SetCaption(zoom);
    if (ZoomComboBox)
        ZoomComboBox->SetHint(zoom);
    const String transparency = FillText(Translate("Transparency for filtered Tasks (%s %)"), {IntToStr(FTransparency)});
    if (Transparenz1)
        Transparenz1->SetCaption(transparency);
    if (TransparenceComboBox)
        TransparenceComboBox->SetHint(transparency);
    if (ColumnWidthComboBox) {
        const int index = ColumnWidthComboBox->ItemIndex();
        for (std::size_t i = 0; i < std::size(ColumnSpans); ++i)
            ColumnWidthComboBox->Items()->Put(int(i), Translate(ColumnSpans[i].Caption));
        ColumnWidthComboBox->SetItemIndex(index);
        ColumnWidthComboBox->SetHint(Translate("Quick Column Width"));
    }
    if (ToolButton12)
        ToolButton12->SetHint(Translate("Text lines of the bars"));
}

// ---- zoom and transparency -----------------------------------------------------------

void TPlannerForm::SetZoom(int Percent)
{
    if (Percent <= 0)
        return;
    SetFileChanged(true);
    FZoom = Percent;
    ShowPercent(ZoomComboBox, KalendarZoom1, Percent);
    UpdateToolCaptions();
    SetTimeChartColWidth(FColWidth);
    UpdateFont();
}

void TPlannerForm::SetTransparency(int Percent)
{
    FTransparency = Percent;
    ShowPercent(TransparenceComboBox, Transparenz1, Percent);
    UpdateToolCaptions();
    InvalidateTimeChart(false);
}

void TPlannerForm::ZoomComboBoxChange() { SetZoom(StrToIntDef(Trim(ZoomComboBox->Text()), 100)); }

void TPlannerForm::TransparenceComboBoxChange() { SetTransparency(StrToIntDef(Trim(TransparenceComboBox->Text()), 50)); }

// ---- column width --------------------------------------------------------------------

void TPlannerForm::SetTimeChartColWidth(int Pixels)
{
    FColWidth = std::max(Pixels, 1);
    if (FPrinting)
        return;
    SetFileChanged(true);
    UpdateScrollBars(1);
    InvalidateTimeChart(true);
}

void TPlannerForm::ColumnWidthUpDownClick(bool Up)
{
    SetTimeChartColWidth(FColWidth + (Up ? 1 : -1));
    ColumnWidthComboBox->SetItemIndex(-1);
    ColumnWidthComboBox->SetText(String());
}

void TPlannerForm::ColumnWidthComboBoxChange()
{
    const int index = ColumnWidthComboBox->ItemIndex();
    if (index < 0 || index >= int(std::size(ColumnSpans)) || !TimeChart)
        return;
    // The span fills the chart at the current zoom: the base width is what
    // the zoom then makes that wide.
    const long long days = ColumnSpans[index].Days;
    SetTimeChartColWidth(int(std::max<long long>(1, (long long)TimeChart->Width() * 100 / (days * GetZoom()))));
}

// ---- font ----------------------------------------------------------------------------

void TPlannerForm::UpdateFont()
{
    if (!TimeChart)
        return;
    for (TCanvasPanel* panel : {TimeChart, TimeChartCaption}) {
        panel->Font()->SetName(FFontname);
        panel->Font()->SetSize(std::max(1, GetTimeChartFontSize()));
    }
    TimeChartCaption->SetHeight(TimeChartFullRowHeight(0));
    FitOverview();
    // Every bar's texts change: the pictures are drawn anew (the repaint
    // below covers them all).
    for (TWhichTable table : {tbTable, tbExclude})
        ForEach(table, feAll, 0, [](TNodeData* Row, NativeInt) { Row->RecalcBitmap = true; });
    UpdateScrollBars(2);
    InvalidateTimeChart(true);
}

void TPlannerForm::SetTimeChartFontSize(int Points)
{
    Points = std::max(1, Points);
    if (Points == FFontsize)
        return;
    SetFileChanged(true);
    FFontsize = Points;
    if (FontSizeComboBox1)
        FontSizeComboBox1->SetText(IntToStr(Points));
    UpdateFont();
}

void TPlannerForm::FontSizeComboBox1Change()
{
    // The box shows the size at zoom 100; so is what is typed into it.
    SetTimeChartFontSize(StrToIntDef(Trim(FontSizeComboBox1->Text()), FFontsize));
}

void TPlannerForm::RowHeightUpDownClick(bool Up)
{
    // On the size at zoom 100: at zoom 200 a click changes the shown size by
    // two points, never doubles it.
    SetTimeChartFontSize(FFontsize + (Up ? -1 : 1));
}

void TPlannerForm::SetTimeChartFontName(const String& Name)
{
    if (Name.empty() || Name == FFontname)
        return;
    SetFileChanged(true);
    FFontname = Name;
    ShowFontName();
    UpdateFont();
}

void TPlannerForm::ShowFontName()
{
    if (ScFontComboBox1 && ScFontComboBox1->FontName() != FFontname)
        ScFontComboBox1->SetFontName(FFontname);
    // The sizes of the new face; the size shown stays.
    if (FontSizeComboBox1 && FontSizeComboBox1->FontName() != FFontname) {
        FontSizeComboBox1->SetFontName(FFontname);
        FontSizeComboBox1->SetText(IntToStr(FFontsize));
    }
}

void TPlannerForm::ScFontComboBox1Change()
{
    if (!ScFontComboBox1->Down())
        SetTimeChartFontName(ScFontComboBox1->FontName());
}

// ---- rows ----------------------------------------------------------------------------

void TPlannerForm::SetRowSet(int Value)
{
    Value = std::clamp(Value, 0, 2);
    const int tab = std::max(0, GetPositionGroupIndex());
    if (int(FRowSet.size()) < tab + 1)
        FRowSet.resize(std::size_t(tab) + 1, 0);
    FRowSet[std::size_t(tab)] = Byte(Value);
    FRowSetIndex = Value;
    UpdateFont();
    if (ToolButton12)
        ToolButton12->SetImageIndex(Value);
}

void TPlannerForm::SetSmallTimeChartRowHeight(int Pixels)
{
    FSmallTimeChartRowheight = std::clamp(Pixels, 1, 8);
    FitOverview();
}

int TPlannerForm::OverviewMostHeight() const
{
    // The chart body keeps the minimum the splitter above the panel keeps.
    int most = TimeChartPanel->ClientHeight() - Splitter1->MinSize();
    for (TControl* c : {static_cast<TControl*>(Splitter3), static_cast<TControl*>(TimeChartCaption)})
        if (c->Visible())
            most -= c->Height();
    return std::max(SmallTimeChartCaption->Height(), most);
}

void TPlannerForm::FitOverview()
{
    if (!TimeChartCaption || !dfsToolBar1->Visible() || !FSmallTimeChartExpanded)
        return;
    // A plan of many positions would push the chart out of its panel: its
    // rows are drawn lower than the stored height then, down to a pixel, and
    // the strip ends where the chart's room begins.
    const int caption = SmallTimeChartCaption->Height();
    const int rows = GetRowCount();
    const int room = OverviewMostHeight() - caption;
    const int height = rows > 0 ? std::clamp(room / rows, 1, FSmallTimeChartRowheight) : FSmallTimeChartRowheight;
    dfsToolBar1->SetHeight(std::min(rows * height, room) + caption);
}

void TPlannerForm::Splitter3CanResize(int& NewSize, bool& Accept)
{
    (void)Accept;
    const int caption = SmallTimeChartCaption->Height();
    // With no shown rows the strip is still measured in one row.
    const int rows = std::max(1, GetRowCount());
    const int height = std::max(0, std::min(NewSize, OverviewMostHeight()) - caption) / rows;
    NewSize = rows * height + caption;
}

void TPlannerForm::SetMinUnit(int Unit)
{
    if (Unit > 1 || Unit < 0) {
        WriteLog("tried to set minunit to " + IntToStr(Unit));
        return;
    }
    FMinUnit = TMinUnit(Unit);
    PageControl1Change();
    UpdateEditor();
    InvalidateTimeChart(true);
}

// ---- the document's setup shown again ------------------------------------------------

void TPlannerForm::ShowSetup()
{
    FSmallTimeChartRowheight = std::clamp(FSmallTimeChartRowheight, 1, 8);
    if (FZoom <= 0)
        FZoom = 100;
    ShowPercent(ZoomComboBox, KalendarZoom1, FZoom);
    ShowPercent(TransparenceComboBox, Transparenz1, FTransparency);
    if (ZoomComboBox) {
        FontSizeComboBox1->SetText(IntToStr(FFontsize));
        ShowFontName();
    }
    UpdateToolCaptions();
    const int tab = GetPositionGroupIndex();
    if (tab >= 0 && std::size_t(tab) < FRowSet.size())
        FRowSetIndex = std::clamp(int(FRowSet[std::size_t(tab)]), 0, 2);
    if (ToolButton12)
        ToolButton12->SetImageIndex(RowSet());
    SetSmallTimeChartRowHeight(FSmallTimeChartRowheight);
    UpdateFont();
    UpdateScrollBars(1);
}

void TPlannerForm::SetupLoaded()
{
    ShowSetup();
    UpdateColorPanels();
}

// ---- view switches -------------------------------------------------------------------

void TPlannerForm::SmallTimeChartClick()
{
    SmallTimeChart1->SetChecked(!SmallTimeChart1->Checked());
    const bool shown = SmallTimeChart1->Checked();
    dfsToolBar1->SetVisible(shown);
    if (shown) {
        dfsToolBar1->SetTop(0);
        SetSmallTimeChartRowHeight(FSmallTimeChartRowheight);
    } else {
        dfsToolBar1->SetHeight(0);
    }
    Splitter3->SetVisible(shown && FSmallTimeChartExpanded);
    if (Splitter3->Visible())
        Splitter3->SetTop(dfsToolBar1->Top() + dfsToolBar1->Height());
    FitOverview();
}

void TPlannerForm::dfsToolBar1Resize()
{
    if (!Splitter3)
        return;
    const bool expanded = dfsToolBar1->Maximized();
    const bool changed = expanded != FSmallTimeChartExpanded;
    FSmallTimeChartExpanded = expanded;
    Splitter3->SetVisible(dfsToolBar1->Visible() && expanded);
    if (Splitter3->Visible())
        Splitter3->SetTop(dfsToolBar1->Top() + dfsToolBar1->Height());
    // A hidden bar has no height: its folded tab keeps the length it had.
    if (expanded && dfsToolBar1->Visible())
        dfsToolBar1->SetTabSizeMinimized(dfsToolBar1->Height());
    // Unfolded, the strip takes the height of its rows again.
    if (changed && expanded)
        FitOverview();
}

void TPlannerForm::HideRowsClick(TMenuItem* Item)
{
    Item->SetChecked(!Item->Checked());
    HideEmptyMultiRows1->SetEnabled(!HideEmptyRows1->Checked());
    UpdateEmptyRows(false);
}

void TPlannerForm::DrawLinesClick(TMenuItem* Item)
{
    Item->SetChecked(!Item->Checked());
    DrawLinesMultiRow1->SetEnabled(DrawLines1->Checked());
    InvalidateTimeChart(false);
}

bool TPlannerForm::HideEmptyPositions() const { return HideEmptyRows1 && HideEmptyRows1->Checked(); }

bool TPlannerForm::HideEmptyMultiRowPositions() const { return HideEmptyMultiRows1 && HideEmptyMultiRows1->Checked(); }

void TPlannerForm::SetHideEmptyPositions(bool Value)
{
    if (HideEmptyRows1)
        HideEmptyRows1->SetChecked(Value);
    if (HideEmptyMultiRows1)
        HideEmptyMultiRows1->SetEnabled(!Value);
}

void TPlannerForm::SetHideEmptyMultiRowPositions(bool Value)
{
    if (HideEmptyMultiRows1)
        HideEmptyMultiRows1->SetChecked(Value);
}

// ---- the tools -----------------------------------------------------------------------

namespace {

// The row-set pictures: a bar with three, two or one text line.
void DrawRowSetImage(TBitmap* Image, int Lines)
{
    TCanvas* c = Image->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, Image->Width(), Image->Height()});
    const int height = 4 + 4 * Lines;
    const int top = (Image->Height() - height) / 2;
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(RGB(0, 0xBF, 0));
    c->Rectangle(2, top, Image->Width() - 2, top + height);
    c->Pen()->SetColor(clWhite);
    for (int i = 0; i < Lines; ++i) {
        c->MoveTo(5, top + 3 + 4 * i);
        c->LineTo(Image->Width() - 5, top + 3 + 4 * i);
    }
}

template <class T>
T* ToolCombo(TComponent* Owner, TToolBar* Bar, const char* Name, int Width, TComboBoxStyle Style)
{
    T* box = Build<T>(Owner, Name).Parent(Bar).Get();
    box->SetStyle(Style);
    box->SetWidth(Width);
    box->SetShowHint(true);
    return box;
}

}  // namespace

void TPlannerForm::CreateTimeChartTools(TToolBar* Bar, TMenuItem* ViewMenu)
{
    auto combo = [&](const char* Name, int Width, TComboBoxStyle Style) {
        return ToolCombo<TComboBox>(this, Bar, Name, Width, Style);
    };
    auto upDown = [&](const char* Name) {
        TUpDown* ud = Build<TUpDown>(this, Name).Parent(Bar).Get();
        ud->SetWidth(17);
        ud->SetHeight(22);
        ud->SetMin(-1000000);
        ud->SetMax(1000000);
        return ud;
    };
    // Zoom and transparency show their numbers followed by "%".
    auto percentItems = [](TComboBox* Box) {
        Box->OnDrawItem = [Box](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
            TCanvas* c = Box->Canvas();
            if (!c || Index < 0 || Index >= Box->Items()->Count())
                return;
            c->FillRect(Rect);
            c->TextOut(Rect.Left + 1, Rect.Top + 1, Box->Items()->Get(Index) + "%");
        };
    };

    ZoomComboBox = combo("ZoomComboBox", 60, csOwnerDrawFixed);
    for (int step : ZoomSteps)
        ZoomComboBox->Items()->Add(IntToStr(step));
    percentItems(ZoomComboBox);
    ZoomComboBox->OnChange = [this](TObject*) { ZoomComboBoxChange(); };

    TransparenceComboBox = combo("TransparenceComboBox", 60, csOwnerDrawFixed);
    for (int step : TransparencySteps)
        TransparenceComboBox->Items()->Add(IntToStr(step));
    percentItems(TransparenceComboBox);
    TransparenceComboBox->OnChange = [this](TObject*) { TransparenceComboBoxChange(); };

    // A size box with entries of its own.
    ColumnWidthComboBox = ToolCombo<TFontSizeComboBox>(this, Bar, "ColumnWidthComboBox", 90, csDropDownList);
    for (const TSpan& span : ColumnSpans)
        ColumnWidthComboBox->Items()->Add(Translate(span.Caption));
    ColumnWidthComboBox->OnChange = [this](TObject*) { ColumnWidthComboBoxChange(); };
    ColumnWidthUpDown = upDown("ColumnWidthUpDown");
    ColumnWidthUpDown->OnClick = [this](TObject*, TUDBtnType Button) { ColumnWidthUpDownClick(Button == btNext); };

    ScFontComboBox1 = ToolCombo<TFontNameComboBox>(this, Bar, "ScFontComboBox1", 160, csOwnerDrawFixed);
    ScFontComboBox1->GetFontNames();
    ScFontComboBox1->SetFontName(FFontname);
    // Choosing a face ends in a click (the list closing, or a pick by keys).
    ScFontComboBox1->OnClick = [this](TObject*) { ScFontComboBox1Change(); };
    FontSizeComboBox1 = ToolCombo<TFontSizeComboBox>(this, Bar, "FontSizeComboBox1", 45, csDropDown);
    FontSizeComboBox1->SetFontName(FFontname);
    if (FontSizeComboBox1->Items()->Count() == 0)
        for (int size : FontSizes)
            FontSizeComboBox1->Items()->Add(IntToStr(size));
    FontSizeComboBox1->OnChange = [this](TObject*) { FontSizeComboBox1Change(); };
    RowHeightUpDown = upDown("RowHeightUpDown");
    RowHeightUpDown->OnClick = [this](TObject*, TUDBtnType Button) { RowHeightUpDownClick(Button == btNext); };

    ItemStructImageList = Create<TImageList>(this);
    ItemStructImageList->SetName("ItemStructImageList");
    ItemStructImageList->SetSize(28, 16);
    for (int lines : {3, 2, 1}) {
        TBitmap image(28, 16);
        DrawRowSetImage(&image, lines);
        ItemStructImageList->AddMasked(&image, clFuchsia);
    }
    Bar->SetImages(ItemStructImageList);
    ItemStructMenu = Create<TPopupMenu>(this);
    ItemStructMenu->SetName("ItemStructMenu");
    ItemStructMenu->SetImages(ItemStructImageList);
    TMenuItem** items[] = {&ItemStruct1, &ItemStruct2, &ItemStruct3};
    for (int i = 0; i < 3; ++i) {
        TMenuItem* item = Create<TMenuItem>(this);
        item->SetName("ItemStruct" + IntToStr(i + 1));
        item->SetTag(i);
        item->SetImageIndex(i);
        item->OnClick = [this, item](TObject*) { SetRowSet(int(item->Tag())); };
        item->OnMeasureItem = [this](TObject*, TCanvas*, int& Width, int& Height) {
            Width = ItemStructImageList->Width() - 12;
            Height = ItemStructImageList->Height();
        };
        item->OnAdvancedDrawItem = [this, item](TObject*, TCanvas* Canvas, TRect Rect, TOwnerDrawState) {
            Canvas->FillRect(Rect);
            ItemStructImageList->Draw(Canvas, Rect.Left, Rect.Top, int(item->Tag()));
        };
        ItemStructMenu->Items()->Add(item);
        *items[i] = item;
    }
    ToolButton12 = Create<TToolButton>(this);
    ToolButton12->SetName("ToolButton12");
    ToolButton12->SetParent(Bar);
    ToolButton12->SetStyle(tbsDropDown);
    ToolButton12->SetCaption(String());
    ToolButton12->SetImageIndex(RowSet());
    ToolButton12->OnClick = [this](TObject*) {
        const TPoint p = ToolButton12->Parent()->ClientToScreen({ToolButton12->Left(), ToolButton12->Top() +
                                                                                           ToolButton12->Height()});
        ItemStructMenu->Popup(p.X, p.Y);
    };

    if (ViewMenu) {
        auto submenu = [&](const char* Name, const int* Steps, std::size_t Count, bool Zoom) {
            TMenuItem* menu = Create<TMenuItem>(this);
            menu->SetName(Name);
            for (std::size_t i = 0; i < Count; ++i) {
                TMenuItem* item = Create<TMenuItem>(this);
                item->SetName(String(Name) + "_" + IntToStr(Steps[i]));
                item->SetTag(Steps[i]);
                item->SetRadioItem(true);
                item->SetGroupIndex(Zoom ? 1 : 2);
                String caption = IntToStr(Steps[i]) + " %";
                if (!Zoom && Steps[i] == 100)
                    caption = "100 % (invisible)";
                item->SetCaption(caption);
                item->OnClick = [this, item, Zoom](TObject*) {
                    if (Zoom)
                        SetZoom(int(item->Tag()));
                    else
                        SetTransparency(int(item->Tag()));
                };
                menu->Add(item);
            }
            ViewMenu->Add(menu);
            return menu;
        };
        KalendarZoom1 = submenu("KalendarZoom1", ZoomSteps, std::size(ZoomSteps), true);
        Transparenz1 = submenu("Transparenz1", TransparencySteps, std::size(TransparencySteps), false);
    }
    ShowSetup();
}
