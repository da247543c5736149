#pragma once
// Push buttons: TButton and TBitBtn over the toolkit's button, TSpeedButton
// drawn by us. A button with a ModalResult sets it on its form before its
// OnClick runs, so the handler may reset it to keep the form open.
#include <memory>

#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/NativeControl.h"

class TBitmap;
class TImageList;

class TButton : public TNativeControl, public TDialogKeyTarget, public TActionClient {
    VEK_DECLARE_CLASS(TButton, TNativeControl)

public:
    explicit TButton(TComponent* AOwner);
    ~TButton() override;
    void Dispatch(TMessage& Message) override;

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Enter presses the default button, Escape the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }

    // What a user's click does: the form's ModalResult, then OnClick (or the
    // action). Disabled or hidden buttons do nothing.
    void Click() override;

    bool IsDefaultButton() const override { return FDefault; }
    bool IsCancelButton() const override { return FCancel; }
    void PressByKey() override { Click(); }

protected:
    QWidget* CreateNativeWidget(QWidget* Parent) override;
    void SyncNativeWidget() override;
    void ActionChange(TAction* Sender) override;

private:
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A button with a picture; its Kind gives the caption, result and default
// or cancel role of the standard buttons.
class TBitBtn : public TButton {
    VEK_DECLARE_CLASS(TBitBtn, TButton)

public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    // Made on first use.
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);

protected:
    void SyncNativeWidget() override;

private:
    TBitBtnKind FKind = bkCustom;
    std::unique_ptr<TBitmap> FGlyph;
};

// A flat tool-style button painted by its parent. Buttons with the same
// GroupIndex (> 0) on one parent work as a set: pressing one releases the
// others; AllowAllUp lets the pressed one be released again.
class TSpeedButton : public TGraphicControl, public TActionClient {
    VEK_DECLARE_CLASS(TSpeedButton, TGraphicControl)

public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    void Dispatch(TMessage& Message) override;

    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph();
    void SetGlyph(TBitmap* Value);
    // A picture from an image list instead of the glyph.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; Invalidate(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; Invalidate(); }

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ActionChange(TAction* Sender) override;

private:
    bool FDown = false;
    bool FPressed = false;  // the mouse button is held on it
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    int FImageIndex = -1;
    TImageList* FImages = nullptr;
    std::unique_ptr<TBitmap> FGlyph;
};
