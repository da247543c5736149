#pragma once
// The base of forms that drop down below a field, as a combo box's list
// does: a borderless popup placed at a screen point, opening upward when
// there is no room below, rolling into view and running its own loop while
// it is shown. A press outside it or Esc closes it with mrCancel; a pick
// sets ModalResult (mrOk) and closes it.
#include <vector>

#include "platform/Forms.h"

enum TDropDownPosition { ddpBelow, ddpAbove };
enum TDropDownState { ddsHidden, ddsExpanding, ddsShown };
using TDropDownStates = TSet<TDropDownState, 3>;

// Posted to a shown drop-down to end its loop.
constexpr UINT WM_CLOSEDROPDOWN = WM_APP + 39;

// Where a drop-down Wanted (screen coordinates, its top at the field's
// bottom) lies within WorkArea: below the field when it fits, else above
// (its top moved up by its height), else ending at the work area's bottom;
// never above the work area's top nor past its sides.
struct TDropDownPlacement {
    TRect Bounds;
    TDropDownPosition Position = ddpBelow;
};
TDropDownPlacement PlaceDropDown(const TRect& Wanted, const TRect& WorkArea);

// The rows of the form's picture shown at each step of the roll-down of a
// form Height pixels high, aiming at Resolution steps: each step shows the
// picture's bottom rows, never more than the form holds.
std::vector<int> RollDownSteps(int Height, int Resolution);

// The sizing code of a client point of a drop-down Width x Height that
// opened at Position: the free corner and edges size it (the bottom ones
// below the field, the top ones above it, the right one both ways).
int DropDownHitCode(const TPoint& P, int Width, int Height, TDropDownPosition Position);

class TfmDropDown : public TForm {
    VEK_DECLARE_CLASS(TfmDropDown, TForm)

public:
    explicit TfmDropDown(TComponent* AOwner);
    ~TfmDropDown() override;

    void Dispatch(TMessage& Message) override;

    // Shows the form at Left, Top (Width or Height below 0 keep the present
    // size), placed by PlaceDropDown in the work area of the screen holding
    // that point, and returns its ModalResult once it has closed. Raises an
    // exception without a parent form. The popup is hidden also when an
    // exception leaves its loop.
    TModalResult RollDownForm(TCustomForm* ParentForm, int Left, int Top, int Width = -1, int Height = -1);
    // Ends the loop once the messages before it are handled (Close ends it
    // at once).
    void CloseDropDown();

    int AnimationResolution() const { return FAnimationResolution; }
    void SetAnimationResolution(int Value) { FAnimationResolution = Value < 1 ? 1 : Value; }
    // Pause after each step of the roll-down, in milliseconds.
    int RollDownSpeed() const { return FRollDownSpeed; }
    void SetRollDownSpeed(int Value) { FRollDownSpeed = Value < 0 ? 0 : Value; }
    bool AnimateDropDown() const { return FAnimateDropDown; }
    void SetAnimateDropDown(bool Value) { FAnimateDropDown = Value; }
    // The free edges size the popup.
    bool Sizable() const { return FSizable; }
    void SetSizable(bool Value) { FSizable = Value; }
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool Value);

    TDropDownStates DropDownState() const { return FDropDownState; }
    TDropDownPosition DropDownPosition() const { return FDropDownPosition; }
    bool RolledDownOnce() const { return FRolledDownOnce; }
    bool LButtonDown() const { return FLButtonDown; }
    int CurrentNCHitCode() const { return FCurrentNCHitCode; }
    // The rows shown at each step of the last roll-down.
    const std::vector<int>& LastRollDown() const { return FLastRollDown; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    class TRollDownPicture;
    void Animate();
    void EndRollDown(TCustomForm* ParentForm, bool Failed);

    int FAnimationResolution = 16;
    bool FLButtonDown = false;
    bool FSizable = true;
    int FCurrentNCHitCode = HTCLIENT;
    TDropDownPosition FDropDownPosition = ddpBelow;
    TDropDownStates FDropDownState{ddsHidden};
    bool FAnimateDropDown = true;
    int FRollDownSpeed = 10;
    bool FRolledDownOnce = false;
    bool FDropShadow = false;
    std::vector<int> FLastRollDown;
};
