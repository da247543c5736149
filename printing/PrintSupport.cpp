// The standard header and footer, the fallback file and the settings the
// print dialogs share.
#include "printing/PrintSupport.h"

#include <cmath>

#include "platform/DateUtils.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "document/DocumentHelpers.h"

void AddDefaultHeaderAndFooter(TPlannerForm& Doc, TPrintPreviewDialog& Engine, const String& FooterText,
    bool PrintFilename, const String& HeaderText)
{
    TFont* font = Engine.GetFont();
    if (!font)
        return;
    int header = 1;
    if (!HeaderText.empty()) {
        font->SetSize(20);
        Engine.AddHeader(HeaderText, 2, 2);
        font->SetSize(10);
        Engine.AddHeader("", 1, 0);
        header = 2;
    }
    font->SetColor(TColor(0x808080));
    const TDateTime now = Now();
    Engine.AddHeader(FillText(Doc.Translate("Stand: %s"), {DateToStr(now) + " " + TimeToStr(now)}), header, 1);
    font->SetColor(clBlack);

    font->SetSize(11);
    int footer = -1;
    if (!FooterText.empty()) {
        Engine.AddHeader(FooterText, -1, 0);
        footer = -2;
    }
    if (PrintFilename) {
        const String name = Doc.GetDocumentFileName();
        const int body = Engine.PrintableSize().cx;
        if (Engine.TextWidth(name) > int(std::lround(0.45 * body))) {
            Engine.AddHeader(MinimizeName(name, Engine.GetCurrentCanvas(), body), footer, 0);
            --footer;
        } else {
            Engine.AddHeader(name, footer, 0);
        }
    }
    Engine.AddHeader(FillText(Doc.Translate("Page %s/%s"), {"$PAGE_NO$", "$PAGE_COUNT$"}), footer, 2);
}

void UseDocumentForPrinterFallback(TScheduleDocument& Doc)
{
    Printer()->FallbackFileName = [&Doc]() { return Doc.PrintFileName(); };
}

int PreviewAndReport(TPlannerForm& Doc, TPrintPreviewDialog& Engine)
{
    Engine.SetOnChange([&Doc](const String& Text) { Doc.SetStatusText(Text); });
    const int result = Engine.Preview();
    const TPrinter* p = Engine.GetPrinter();
    if (result == mrOk && p->ToFile() && !p->LastFileName().empty())
        Doc.SetStatusText(FillText(Doc.Translate("Printed to %s"), {p->LastFileName()}));
    return result;
}

void BltTBitmapAsDib(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, int Width, int Height)
{
    if (Canvas && Bitmap)
        Canvas->StretchDraw(TRect(X, Y, X + Width, Y + Height), Bitmap);
}

TPrintSettings TPrintSettings::From(const TScheduleDocument& Doc)
{
    TPrintSettings s;
    s.PrintFooter = Doc.FPrintFooter;
    s.Footer = Doc.FFooter;
    s.PrintHeader = Doc.FPrintHeader;
    s.Header = Doc.FHeaderText;
    s.PrintFilename = Doc.FPrintFilename;
    s.Lochrand = Doc.FPrintLochrand;
    s.PrintToday = Doc.FPrintToday;
    return s;
}

void TPrintSettings::WriteTo(TScheduleDocument& Doc, bool WithToday) const
{
    bool changed = false;
    auto put = [&changed](auto& Field, const auto& Value) {
        if (Field != Value) {
            Field = Value;
            changed = true;
        }
    };
    put(Doc.FPrintFooter, PrintFooter);
    put(Doc.FFooter, Footer);
    put(Doc.FPrintHeader, PrintHeader);
    put(Doc.FHeaderText, Header);
    put(Doc.FPrintFilename, PrintFilename);
    put(Doc.FPrintLochrand, Lochrand);
    if (WithToday)
        put(Doc.FPrintToday, PrintToday);
    if (changed)
        Doc.SetFileChanged(true);
}
