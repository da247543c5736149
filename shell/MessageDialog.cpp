// Building the message box: sizes in dialog units of its font, the button
// row centred under the text, and the copy of its content.
#include "shell/MessageDialog.h"

#include <algorithm>
#include <array>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/Version.h"
#include "shell/Translation.h"

namespace {

struct TButtonKind {
    const char* Name;
    const char* Caption;
    TModalResult Result;
};

const std::array<TButtonKind, 12> ButtonKinds{{{"Yes", "Yes", mrYes}, {"No", "No", mrNo}, {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel}, {"Abort", "Abort", mrAbort}, {"Retry", "Retry", mrRetry},
    {"Ignore", "Ignore", mrIgnore}, {"All", "All", mrAll}, {"NoToAll", "No to all", mrNoToAll},
    {"YesToAll", "Yes to all", mrYesToAll}, {"Help", "Help", mrNone}, {"Close", "Close", mrClose}}};

const char* const TypeWords[] = {"Warning", "Error", "Information", "Confirm"};

// Widths measured the first time a kind is shown, kept for the run.
std::array<int, 12>& CaptionWidths()
{
    static std::array<int, 12> widths{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    return widths;
}

TClipboardTextWriter& ClipboardWriter()
{
    static TClipboardTextWriter writer;
    return writer;
}

// CR LF and lone CR become LF, so every break shows as one line break.
String NormaliseBreaks(const String& S)
{
    String r;
    r.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\r') {
            r += '\n';
            if (i + 1 < S.size() && S[i + 1] == '\n')
                ++i;
        } else
            r += S[i];
    }
    return r;
}

void DrawIcon(TBitmap* B, TMsgDlgType Type)
{
    static const TColor colours[] = {TColor(0x0000C8F0), TColor(0x000000D0), TColor(0x00D07020), TColor(0x00D07020)};
    static const char* glyphs[] = {"!", "X", "i", "?"};
    B->SetSize(32, 32);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 32, 32});
    c->Brush()->SetColor(colours[Type]);
    c->Pen()->SetColor(colours[Type]);
    c->Ellipse(1, 1, 31, 31);
    c->Font()->SetColor(clWhite);
    c->Font()->SetSize(14);
    c->Brush()->SetStyle(bsClear);
    TRect r{0, 0, 32, 32};
    c->DrawText(glyphs[Type], r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void SetClipboardTextWriter(TClipboardTextWriter Writer) { ClipboardWriter() = std::move(Writer); }

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner)
{
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { CustomKeyDown(Sender, Key, Shift); };
}

void TMessageForm::CustomKeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == 'C' && Shift == TShiftState{ssCtrl})
        WriteToClipBoard(GetFormText());
}

String TMessageForm::GetFormText()
{
    const String divider = String(27, '-') + "\r\n";
    String buttons;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(Components(i))) {
            String c = b->Caption();
            c.erase(std::remove(c.begin(), c.end(), '&'), c.end());
            buttons += c + "   ";
        }
    String msg = Message ? Message->Caption() : String();
    String crlf;
    for (char ch : msg)
        crlf += ch == '\n' ? String("\r\n") : String(1, ch);
    return divider + Caption() + "\r\n" + divider + crlf + "\r\n" + divider + buttons + "\r\n" + divider;
}

void TMessageForm::WriteToClipBoard(const String& Text)
{
    if (!ClipboardWriter() || !ClipboardWriter()(Text))
        throw Exception("Cannot open clipboard");
}

void TMessageForm::HelpButtonClick(TObject*)
{
    // The program has no help viewer; the context is kept for one.
}

TMessageForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    auto* f = Create<TMessageForm>(Application);
    try {
        f->SetBorderStyle(bsDialog);
        TBitmap measure(1, 1);
        measure.Canvas()->SetFont(f->Font());
        const TSize letters = measure.Canvas()->TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const int avgW = std::max(1, letters.cx / 52), charH = std::max(1, letters.cy);
        auto H = [&](int n) { return n * avgW / 4; };
        auto V = [&](int n) { return n * charH / 8; };
        const int hMargin = H(8), vMargin = V(8), hSpacing = H(10), vSpacing = V(10);
        const int buttonHeight = V(14), buttonSpacing = H(4);
        int buttonWidth = H(50), count = 0;
        for (std::size_t k = 0; k < ButtonKinds.size(); ++k)
            if (Buttons.Contains(TMsgDlgBtn(k))) {
                ++count;
                int& w = CaptionWidths()[k];
                if (w < 0)
                    w = measure.Canvas()->TextWidth(Translate(ButtonKinds[k].Caption)) + 8;
                buttonWidth = std::max(buttonWidth, w);
            }
        const TRect work = Screen->WorkAreaRect();
        const String text = NormaliseBreaks(Msg);
        TRect textRect{0, 0, std::max(1, Screen->Width() / 2), 0};
        measure.Canvas()->DrawText(text, textRect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        const bool icon = DlgType != mtCustom;
        const int textW = textRect.Width(), textH = textRect.Height();
        const int areaW = textW + (icon ? 32 + hSpacing : 0), areaH = icon ? std::max(32, textH) : textH;
        const int rowW = count * buttonWidth + std::max(0, count - 1) * buttonSpacing;
        int clientW = 2 * hMargin + std::max(areaW, rowW);
        int clientH = areaH + vSpacing + buttonHeight + 2 * vMargin;
        // Never larger than the screen: a very long message is cut, not the buttons.
        clientW = std::min(clientW, std::max(1, work.Width()));
        clientH = std::min(clientH, std::max(1, work.Height()));
        f->SetClientWidth(clientW);
        f->SetClientHeight(clientH);
        f->SetBounds(work.Left + (work.Width() - f->Width()) / 2, work.Top + (work.Height() - f->Height()) / 2,
            f->Width(), f->Height());
        f->SetCaption(DlgType == mtCustom ? Application->Title() : Translate(TypeWords[DlgType]));
        if (icon) {
            auto* img = Create<TImage>(f);
            img->SetName("Image");
            img->SetParent(f);
            img->SetBounds(hMargin, vMargin, 32, 32);
            DrawIcon(img->Picture()->Bitmap(), DlgType);
            img->Picture()->Changed();
        }
        f->Message = Create<TLabel>(f);
        f->Message->SetName("Message");
        f->Message->SetParent(f);
        f->Message->SetAutoSize(false);
        f->Message->SetWordWrap(true);
        f->Message->SetShowAccelChar(false);
        f->Message->SetCaption(text);
        const int buttonTop = std::min(areaH, clientH - 2 * vMargin - vSpacing - buttonHeight) + vMargin + vSpacing;
        f->Message->SetBounds(hMargin + areaW - textW, vMargin, textW, std::max(0, buttonTop - vSpacing - vMargin));
        int x = (clientW - rowW) / 2;
        const TMsgDlgBtn def = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
        const TMsgDlgBtn cancel = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
        for (std::size_t k = 0; k < ButtonKinds.size(); ++k) {
            if (!Buttons.Contains(TMsgDlgBtn(k)))
                continue;
            auto* b = Create<TButton>(f);
            b->SetName(ButtonKinds[k].Name);
            b->SetParent(f);
            b->SetCaption(Translate(ButtonKinds[k].Caption));
            b->SetModalResult(ButtonKinds[k].Result);
            b->SetBounds(x, buttonTop, buttonWidth, buttonHeight);
            b->SetDefault(TMsgDlgBtn(k) == def);
            // The default button has the focus as the box opens.
            if (TMsgDlgBtn(k) == def)
                f->SetActiveControl(b);
            b->SetCancel(TMsgDlgBtn(k) == cancel && Buttons.Contains(cancel));
            if (TMsgDlgBtn(k) == mbHelp)
                b->OnClick = [f](TObject* S) { f->HelpButtonClick(S); };
            x += buttonWidth + buttonSpacing;
        }
    } catch (...) {
        delete f;
        throw;
    }
    return f;
}

int MessageDlgPosHelp(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y,
    const String& HelpFileName)
{
    std::unique_ptr<TMessageForm, TObjectDeleter> f(CreateMessageDialog(Msg, DlgType, Buttons));
    f->FHelpContext = HelpCtx;
    f->HelpFile = HelpFileName;
    f->SetCaption(Translate(f->Caption()));
    if (X >= 0)
        f->SetLeft(X);
    if (Y >= 0)
        f->SetTop(Y);
    if (X < 0 && Y < 0)
        f->SetPosition(poScreenCenter);
    return f->ShowModal();
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return MessageDlgPosHelp(Msg, DlgType, Buttons, HelpCtx, -1, -1, String());
}

String GetFileVersion()
{
    const TBuildInfo v = GetBuildInfo();
    return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Release);
}
