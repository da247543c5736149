// vekfile picture: loads a plan into a planner form that is never shown and
// draws its chart into a PNG: the picture of a span (captions, body, labels),
// or the chart body or the overview strip as a window of a given size paints
// them.
#include "tools/vekfile/Picture.h"

#include <iostream>
#include <optional>

#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"
#include "tools/vekfile/HeadlessPlanner.h"
#include "views/PlannerForm.h"

namespace {

// Beyond this many pixels a side the picture is refused, not attempted.
constexpr int MaxSide = 32767;

// The clock stands where --now puts it while the picture is made.
struct TClockPin {
    explicit TClockPin(const TPictureOptions& Options) : Pinned(Options.HasNow)
    {
        if (Pinned)
            PinClock(Options.Now);
    }
    ~TClockPin()
    {
        if (Pinned)
            UnpinClock();
    }
    TClockPin(const TClockPin&) = delete;
    TClockPin& operator=(const TClockPin&) = delete;
    bool Pinned;
};

bool Digits(const String& S, std::size_t From, std::size_t Count)
{
    if (From + Count > S.size())
        return false;
    for (std::size_t i = From; i < From + Count; ++i)
        if (S[i] < '0' || S[i] > '9')
            return false;
    return true;
}

int DigitsValue(const String& S, std::size_t From, std::size_t Count)
{
    int value = 0;
    for (std::size_t i = From; i < From + Count; ++i)
        value = value * 10 + (S[i] - '0');
    return value;
}

// A whole number from 1 to Max, digits only.
std::optional<int> Count(const String& S, int Max)
{
    if (S.empty() || S.size() > 9 || !Digits(S, 0, S.size()))
        return std::nullopt;
    const int value = DigitsValue(S, 0, S.size());
    if (value < 1 || value > Max)
        return std::nullopt;
    return value;
}

// "YYYY-MM-DD", whatever the locale.
std::optional<TDateTime> Day(const String& S)
{
    if (S.size() != 10 || !Digits(S, 0, 4) || S[4] != '-' || !Digits(S, 5, 2) || S[7] != '-' || !Digits(S, 8, 2))
        return std::nullopt;
    TDateTime d = 0;
    if (!TryEncodeDate(DigitsValue(S, 0, 4), DigitsValue(S, 5, 2), DigitsValue(S, 8, 2), d))
        return std::nullopt;
    return d;
}

// "YYYY-MM-DD hh:mm".
std::optional<TDateTime> Moment(const String& S)
{
    if (S.size() != 16 || S[10] != ' ' || !Digits(S, 11, 2) || S[13] != ':' || !Digits(S, 14, 2))
        return std::nullopt;
    const std::optional<TDateTime> day = Day(S.substr(0, 10));
    TDateTime time = 0;
    if (!day || !TryEncodeTime(DigitsValue(S, 11, 2), DigitsValue(S, 14, 2), 0, 0, time))
        return std::nullopt;
    return *day + time;
}

// "WxH".
bool Size(const String& S, int& Width, int& Height)
{
    const std::size_t x = S.find('x');
    if (x == String::npos)
        return false;
    const std::optional<int> w = Count(S.substr(0, x), MaxSide);
    const std::optional<int> h = Count(S.substr(x + 1), MaxSide);
    if (!w || !h)
        return false;
    Width = *w;
    Height = *h;
    return true;
}

bool IdList(const String& S, std::vector<int>& Ids)
{
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = S.find(',', from);
        const std::optional<int> id = Count(S.substr(from, comma == String::npos ? String::npos : comma - from),
            1000000000);
        if (!id)
            return false;
        Ids.push_back(*id);
        if (comma == String::npos)
            return true;
        from = comma + 1;
    }
}

TNodeData* RowOfId(TPlannerForm& P, int Id)
{
    TNodeData* found = nullptr;
    for (TWhichTable table : {tbTable, tbExclude})
        P.ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
            if (!found && Row->ID == Id)
                found = Row;
        });
    return found;
}

// A picture of Width x Height whose every pixel is opaque: what was drawn,
// put over white.
std::unique_ptr<TBitmap> Opaque(TBitmap* Drawn)
{
    auto out = std::make_unique<TBitmap>(Drawn->Width(), Drawn->Height());
    TCanvas* c = out->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, Drawn->Width(), Drawn->Height()));
    c->Draw(0, 0, Drawn);
    return out;
}

// A panel's paint into its back buffer, the panel's size, all of it.
TBitmap* PaintPanel(TCanvasPanel* Panel, void (TPlannerForm::*Paint)(), TPlannerForm& P)
{
    // The canvas brings its back buffer into being.
    TCanvas* c = Panel->Canvas();
    Panel->BackBuffer()->SetSize(Panel->Width(), Panel->Height());
    c->SelectClipRgn(nullptr);
    (P.*Paint)();
    return Panel->BackBuffer();
}

}  // namespace

bool ParsePictureOptions(const std::vector<String>& Args, TPictureOptions& Options, String& Error)
{
    std::vector<String> files;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const String& a = Args[i];
        if (a.rfind("--", 0) != 0) {
            files.push_back(a);
            continue;
        }
        if (i + 1 >= Args.size()) {
            Error = a + " needs a value";
            return false;
        }
        const String& v = Args[++i];
        bool ok = true;
        auto count = [&](int& Field, int Max) {
            const std::optional<int> n = Count(v, Max);
            ok = n.has_value();
            if (ok)
                Field = *n;
        };
        if (a == "--from") {
            const std::optional<TDateTime> d = Day(v);
            ok = d.has_value();
            Options.HasFrom = ok;
            Options.From = d.value_or(0);
        } else if (a == "--now") {
            const std::optional<TDateTime> d = Moment(v);
            ok = d.has_value();
            Options.HasNow = ok;
            Options.Now = d.value_or(0);
        } else if (a == "--days") {
            count(Options.Days, MaxSide);
        } else if (a == "--day-width") {
            count(Options.DayWidth, MaxSide);
        } else if (a == "--zoom") {
            count(Options.Zoom, 10000);
        } else if (a == "--font-size") {
            count(Options.FontSize, 1000);
        } else if (a == "--select") {
            ok = IdList(v, Options.Select);
        } else if (a == "--screen") {
            ok = Size(v, Options.ScreenWidth, Options.ScreenHeight);
        } else if (a == "--overview") {
            ok = Size(v, Options.OverviewWidth, Options.OverviewHeight);
        } else {
            Error = "unknown option " + a;
            return false;
        }
        if (!ok) {
            Error = "bad value for " + a + ": " + v;
            return false;
        }
    }
    if (files.size() != 2) {
        Error = "picture takes a plan and a picture file";
        return false;
    }
    if (Options.OverviewWidth > 0 && Options.ScreenWidth == 0) {
        Error = "--overview needs --screen";
        return false;
    }
    Options.File = files[0];
    Options.Out = files[1];
    return true;
}

std::unique_ptr<TBitmap> MakePicture(const TPictureOptions& Options, String& Error)
{
    // Today is the pinned moment from the start: the new document's user
    // date, the bounds and the today marker all see it.
    TClockPin clock(Options);
    std::unique_ptr<TPlannerForm, TPlannerDeleter> p(Create<THeadlessPlanner>(nullptr));
    if (Options.ScreenWidth > 0) {
        // The chart's client area is the given size before the deferred
        // updates work out the range from it.
        p->TimeChart->SetAlign(alNone);
        p->TimeChart->SetBounds(0, 0, Options.ScreenWidth, Options.ScreenHeight);
        if (Options.OverviewWidth > 0) {
            p->SmallTimeChart->SetAlign(alNone);
            p->SmallTimeChart->SetBounds(0, 0, Options.OverviewWidth, Options.OverviewHeight);
        }
    }
    p->ActionNew();
    if (!p->Load(Options.File)) {
        Error = Options.File + " could not be loaded" + (p->FLoadError.empty() ? String() : ": " + p->FLoadError);
        return nullptr;
    }
    if (Options.DayWidth > 0)
        p->SetTimeChartColWidth(Options.DayWidth);
    if (Options.Zoom > 0)
        p->SetZoom(Options.Zoom);
    if (Options.FontSize > 0)
        p->SetTimeChartFontSize(Options.FontSize);
    // The task table is the active one, as after a load in the window.
    p->SetActiveTable(tbTable);
    if (!Options.Select.empty()) {
        for (int id : Options.Select) {
            TNodeData* row = RowOfId(*p, id);
            if (!row || !row->VNode || !row->VNodeTable) {
                Error = "no row with the ID " + IntToStr(id) + " in " + Options.File;
                return nullptr;
            }
            row->VNodeTable->SetSelected(row->VNode, true);
        }
    }
    p->SettleDeferredUpdates();
    // The selection shows in its plain colour: the flash stays at its start.
    p->FlashSelectedTimer->SetEnabled(false);
    p->FlashSelectedTimer->SetTag(0);

    const TDateTime from = Options.HasFrom ? Options.From : Date();
    if (Options.ScreenWidth > 0) {
        // The view stands at --from, at the top, with no scrolling pending.
        p->SliderTimer->SetEnabled(false);
        p->FTimeChartStart = p->TimeChartStartDestination = from;
        p->FTimeChartTop = p->TimeChartTopDestination = 0;
        if (Options.OverviewWidth > 0)
            return Opaque(PaintPanel(p->SmallTimeChart, &TPlannerForm::SmallTimeChartPaint, *p));
        return Opaque(PaintPanel(p->TimeChart, &TPlannerForm::TimeChartPaint, *p));
    }
    const long long dayWidth = p->GetTimeChartColWidth();
    const long long width = Options.Days * dayWidth;
    const long long height =
        p->TimeChartFullRowHeight(0) + (long long)p->GetRowCount() * p->TimeChartRowHeight(0);
    if (width > MaxSide || height > MaxSide) {
        Error = "the picture would be " + IntToStr(int(std::min(width, 1LL << 30))) + " x " +
                IntToStr(int(std::min(height, 1LL << 30))) + " pixels, more than " + IntToStr(MaxSide) + " a side";
        return nullptr;
    }
    auto picture = std::make_unique<TBitmap>(int(width), int(height));
    p->DrawBitmap(picture->Canvas(), 0, 0, int(width), int(height), 0, 0, true, 0, from + Options.Days, from);
    return Opaque(picture.get());
}

int PictureCommand(const std::vector<String>& Args)
{
    TPictureOptions options;
    String error;
    if (!ParsePictureOptions(Args, options, error)) {
        std::cerr << "vekfile picture: " << error << "\n"
                  << "usage: vekfile picture FILE OUT.png [--from YYYY-MM-DD] [--days N] [--day-width PX]"
                     " [--zoom PCT] [--font-size PT] [--now \"YYYY-MM-DD hh:mm\"] [--select ID[,ID...]]"
                     " [--screen WxH [--overview WxH]]\n";
        return 2;
    }
    std::unique_ptr<TBitmap> picture = MakePicture(options, error);
    if (!picture) {
        std::cerr << "vekfile: " << error << "\n";
        return 1;
    }
    picture->SaveToPNGFile(options.Out);
    return 0;
}
