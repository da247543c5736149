#include "components/DropDownForm.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/Graphics.h"
#include "platform/SysUtils.h"

TDropDownPlacement PlaceDropDown(const TRect& Wanted, const TRect& WorkArea)
{
    const int width = Wanted.Width();
    const int height = Wanted.Height();
    TDropDownPlacement result;
    int top = Wanted.Top;
    if (top + height > WorkArea.Bottom) {
        result.Position = ddpAbove;
        top -= height;
        // Room neither below nor above: as much of it as fits, from the
        // work area's bottom up.
        if (top < WorkArea.Top)
            top = WorkArea.Bottom - height;
    }
    top = std::max(top, WorkArea.Top);
    int left = std::min(Wanted.Left, WorkArea.Right - width);
    left = std::max(left, WorkArea.Left);
    result.Bounds = TRect(left, top, left + width, top + height);
    return result;
}

std::vector<int> RollDownSteps(int Height, int Resolution)
{
    std::vector<int> rows;
    if (Height <= 0)
        return rows;
    int step = int(Round(double(Height) / std::max(Resolution, 1)));
    int count = 0;
    if (step == 0) {
        step = 1;
        count = Height;
    } else {
        count = int(Round(double(Height) / step));
    }
    rows.reserve(std::size_t(count));
    for (int i = 1; i <= count; ++i)
        rows.push_back(std::min(step * i, Height));
    return rows;
}

int DropDownHitCode(const TPoint& P, int Width, int Height, TDropDownPosition Position)
{
    if (Position == ddpBelow) {
        if (P.X >= Width - 10 && P.Y >= Height - 10)
            return HTBOTTOMRIGHT;
        if (P.Y >= Height - 5)
            return HTBOTTOM;
    } else {
        if (P.X >= Width - 5 && P.Y < 5)
            return HTTOPRIGHT;
        if (P.Y < 5)
            return HTTOP;
    }
    if (P.X >= Width - 5)
        return HTRIGHT;
    return HTCLIENT;
}

// Covers the form while it rolls down, showing the bottom rows of the
// form's picture at its top as the window grows.
class TfmDropDown::TRollDownPicture : public TCustomControl {
public:
    TRollDownPicture(TfmDropDown* Form, int FullHeight) : TCustomControl(Form), FFullHeight(FullHeight)
    {
        FPicture.SetSize(Form->Width(), Form->Height());
        Form->PaintTo(&FPicture);
        SetParent(Form);
        SetAlign(alClient);
        BringToFront();
    }

protected:
    void Paint() override
    {
        const int shown = std::min(ClientHeight(), FFullHeight);
        Canvas()->CopyRect(TRect(0, 0, FPicture.Width(), shown), FPicture.Canvas(),
                           TRect(0, FFullHeight - shown, FPicture.Width(), FFullHeight));
    }

private:
    TBitmap FPicture;
    int FFullHeight;
};

TfmDropDown::TfmDropDown(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    // Esc closes the popup from whichever of its controls has the focus.
    SetKeyPreview(true);
}

TfmDropDown::~TfmDropDown() = default;

void TfmDropDown::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.Style |= WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    if (FDropShadow)
        Params.WindowClassStyle |= CS_DROPSHADOW;
}

void TfmDropDown::SetDropShadow(bool Value)
{
    if (FDropShadow == Value)
        return;
    FDropShadow = Value;
    if (HandleAllocated())
        RecreateWnd();
}

TModalResult TfmDropDown::RollDownForm(TCustomForm* ParentForm, int ALeft, int ATop, int AWidth, int AHeight)
{
    if (!ParentForm)
        throw Exception("DropDownForm must have a parent form.");
    FRolledDownOnce = true;
    FLButtonDown = false;
    FDropDownState = TDropDownStates{ddsExpanding};
    const int width = AWidth < 0 ? Width() : AWidth;
    const int height = AHeight < 0 ? Height() : AHeight;
    const TDropDownPlacement place = PlaceDropDown(TRect(ALeft, ATop, ALeft + width, ATop + height),
                                                   Screen->MonitorWorkAreaRect(TPoint{ALeft, ATop}));
    FDropDownPosition = place.Position;
    SetBoundsRect(place.Bounds);
    TModalResult result = mrCancel;
    try {
        // A reused popup starts without the answer it gave last time.
        SetModalResult(mrNone);
        ShowPopup();
        if (FAnimateDropDown)
            Animate();
        FDropDownState = TDropDownStates{ddsShown};
        result = RunPopup();
    } catch (...) {
        EndRollDown(ParentForm, true);
        throw;
    }
    EndRollDown(ParentForm, false);
    return result;
}

void TfmDropDown::Animate()
{
    const TRect full = BoundsRect();
    FLastRollDown = RollDownSteps(full.Height(), FAnimationResolution);
    if (FLastRollDown.empty())
        return;
    auto picture = std::make_unique<TRollDownPicture>(this, full.Height());
    for (int rows : FLastRollDown) {
        SetBounds(full.Left, full.Top, full.Width(), rows);
        picture->Repaint();
        // Lets the window system show the step before the next.
        Application->ProcessMessages();
        if (!IsPopup())
            break;
        if (FRollDownSpeed > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(FRollDownSpeed));
    }
    picture.reset();
    SetBoundsRect(full);
}

void TfmDropDown::EndRollDown(TCustomForm* ParentForm, bool Failed)
{
    if (IsPopup())
        ClosePopup(mrCancel);
    Hide();
    FDropDownState = TDropDownStates{ddsHidden};
    FLButtonDown = false;
    if (Failed)
        ParentForm->Invalidate();
}

void TfmDropDown::CloseDropDown()
{
    if (HandleAllocated())
        PostMessage(Handle(), WM_CLOSEDROPDOWN);
}

void TfmDropDown::KeyDown(Word& Key, TShiftState Shift)
{
    TForm::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE && IsPopup()) {
        Key = 0;
        ClosePopup(mrCancel);
    }
}

void TfmDropDown::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSEDROPDOWN:
        if (IsPopup())
            ClosePopup(ModalResult() == mrNone ? mrCancel : ModalResult());
        return;
    case WM_NCHITTEST:
        TForm::Dispatch(Message);
        if (FSizable && Message.Result == HTCLIENT)
            Message.Result = DropDownHitCode(ScreenToClient(Message.Pos()), Width(), Height(),
                                             FDropDownPosition);
        FCurrentNCHitCode = int(Message.Result);
        if (FCurrentNCHitCode == HTRIGHT)
            FLButtonDown = false;
        return;
    case WM_LBUTTONDOWN:
        FLButtonDown = true;
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_CAPTURECHANGED:
        FLButtonDown = false;
        break;
    default:
        break;
    }
    TForm::Dispatch(Message);
}
