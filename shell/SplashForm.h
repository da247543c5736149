#pragma once
// The start-up picture with the version and a status line. It stays alive,
// hidden, for the whole run: long operations write their status to it.
#include "platform/Forms.h"

class TImage;
class TLabel;
class TPanel;
class TShape;
class TTimer;

class TSplashForm : public TForm {
    VEK_DECLARE_CLASS(TSplashForm, TForm)

public:
    explicit TSplashForm(TComponent* AOwner);
    // Shows the form at once, so it is seen while the other forms are made.
    void AfterConstruction() override;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void TimerTimer(TObject* Sender);

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TShape* Shape1 = nullptr;
    TLabel* Label3 = nullptr;
    TShape* Shape2 = nullptr;
    TLabel* StatusLabel = nullptr;
    TTimer* Timer = nullptr;
};
