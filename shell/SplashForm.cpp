// The splash: a white framed picture drawn in code, the version on a
// rounded plate and the status line at the bottom, centred on the screen
// (the main window does not exist yet when it shows).
#include "shell/SplashForm.h"

#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/Timers.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"

namespace {

void DrawPicture(TBitmap* B)
{
    B->SetSize(400, 300);
    TCanvas* c = B->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 400, 300});
    // A small timechart: bars in rows.
    const TColor colours[] = {TColor(0x00D08040), TColor(0x0040B0E0), TColor(0x0060C060), TColor(0x004060D0)};
    for (int row = 0; row < 8; ++row) {
        c->Brush()->SetColor(colours[row % 4]);
        const int left = 30 + (row * 37) % 150;
        c->FillRect(TRect{left, 60 + row * 22, left + 90 + (row * 53) % 120, 74 + row * 22});
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetSize(28);
    c->Font()->SetColor(TColor(0x00804020));
    c->TextOut(30, 12, "VEK");
}

}  // namespace

TSplashForm::TSplashForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SplashForm");
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetClientWidth(404);
    SetClientHeight(304);
    Panel1 = Build<TPanel>(this, "Panel1").Parent(this).Align(alClient).Get();
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBorderWidth(1);
    Panel1->SetColor(clWhite);
    Panel1->SetCaption("");
    Image1 = Build<TImage>(this, "Image1").Parent(Panel1).Bounds(2, 2, 400, 300).Get();
    DrawPicture(Image1->Picture()->Bitmap());
    Image1->Picture()->Changed();
    Shape1 = Build<TShape>(this, "Shape1").Parent(Panel1).Bounds(270, 20, 100, 20).Get();
    Shape1->SetShape(stRoundRect);
    Label3 = Build<TLabel>(this, "Label3").Parent(Panel1).Bounds(272, 22, 96, 16).Get();
    Label3->SetTransparent(true);
    // Set to the version when shown.
    LeaveUntranslated(Label3, "caption");
    Shape2 = Build<TShape>(this, "Shape2").Parent(Panel1).Bounds(20, 268, 364, 24).Get();
    Shape2->SetShape(stRoundRect);
    StatusLabel = Build<TLabel>(this, "StatusLabel").Parent(Panel1).Bounds(24, 272, 356, 16).Get();
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetAlignment(taCenter);
    StatusLabel->SetTransparent(true);
    StatusLabel->SetCaption("VEK wird initialisiert...");
    Timer = Build<TTimer>(this, "Timer").Get();
    Timer->SetInterval(2000);
    Timer->SetEnabled(false);
    Timer->OnTimer = [this](TObject* S) { TimerTimer(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
}

void TSplashForm::AfterConstruction()
{
    TForm::AfterConstruction();
    FormCreate(this);
}

void TSplashForm::FormCreate(TObject*)
{
    Show();
    Repaint();
}

void TSplashForm::FormShow(TObject*)
{
    Label3->SetCaption(Translate("Version %s", {GetFileVersion()}));
    Shape1->SetWidth(Label3->Width() + 5);
    const TRect work = Screen->WorkAreaRect();
    SetBounds(work.Left + (work.Width() - Width()) / 2, work.Top + (work.Height() - Height()) / 2, Width(), Height());
}

void TSplashForm::TimerTimer(TObject*)
{
    Timer->SetEnabled(false);
    Hide();
}
