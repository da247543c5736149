#pragma once
// A splitter with a button in it: a click on the button folds the control
// beside it down to the splitter's minimum size and a second click gives it
// back the size it had; dragging works as for any splitter. In the Windows
// style the button is a row of small minimize, maximize and close squares
// at the splitter's end instead.
#include <utility>
#include <vector>

#include "platform/ExtCtrls.h"

enum TKitButtonWidthType { btwPixels, btwPercentage };
enum TKitButtonStyle { bsNetscape, bsWindows };
enum TKitWindowsButton { wbMin, wbMax, wbClose };
using TKitWindowsButtons = TSet<TKitWindowsButton, 8>;

class TKitSplitter : public TSplitter {
    VEK_DECLARE_CLASS(TKitSplitter, TSplitter)

public:
    explicit TKitSplitter(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

    // The visible, enabled sibling covering the pixel just outside the
    // splitter on its aligned side.
    TControl* FindControl() override;
    // Moves the splitter as a drag would, so that the neighbour gets Size
    // (within the splitter's limits).
    void UpdateControlSize(int Size);

    // Maximized: the neighbour folded to MinSize. Minimized: the splitter
    // pushed the other way. Either keeps RestorePos for the way back.
    bool Maximized() const { return FMaximized; }
    void SetMaximized(bool Value);
    bool Minimized() const { return FMinimized; }
    void SetMinimized(bool Value);
    // The neighbour's size to restore; -1 until taken.
    int RestorePos() const { return FRestorePos; }
    void SetRestorePos(int Value) { FRestorePos = Value; }

    // The button in client coordinates; empty when none is shown.
    TRect ButtonRect();
    bool ButtonHighlighted() const { return FIsHighlighted; }

    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    TKitButtonWidthType ButtonWidthType() const { return FButtonWidthType; }
    void SetButtonWidthType(TKitButtonWidthType Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TKitButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TKitButtonStyle Value) { SetPainted(FButtonStyle, Value); }
    TKitWindowsButtons WindowsButtons() const { return FWindowsButtons; }
    void SetWindowsButtons(TKitWindowsButtons Value) { SetPainted(FWindowsButtons, Value); }
    TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Value) { SetPainted(FButtonColor, Value); }
    TColor ButtonHighlightColor() const { return FButtonHighlightColor; }
    void SetButtonHighlightColor(TColor Value) { SetPainted(FButtonHighlightColor, Value); }
    TColor ArrowColor() const { return FArrowColor; }
    void SetArrowColor(TColor Value) { SetPainted(FArrowColor, Value); }
    TColor TextureColor1() const { return FTextureColor1; }
    void SetTextureColor1(TColor Value) { SetPainted(FTextureColor1, Value); }
    TColor TextureColor2() const { return FTextureColor2; }
    void SetTextureColor2(TColor Value) { SetPainted(FTextureColor2, Value); }
    // On: the highlight colour is worked out from the system colours.
    bool AutoHighlightColor() const { return FAutoHighlightColor; }
    void SetAutoHighlightColor(bool Value);
    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool Value) { SetPainted(FAllowDrag, Value); }
    TCursor ButtonCursor() const { return FButtonCursor; }
    void SetButtonCursor(TCursor Value) { SetPainted(FButtonCursor, Value); }

    TNotifyEvent OnMaximize;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnClose;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoCanResize(int& NewSize) override;
    virtual void DoMaximize();
    virtual void DoMinimize();
    virtual void DoRestore();
    virtual void DoClose();

private:
    template <class T>
    void SetPainted(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (FShowButton)
            Invalidate();
    }
    bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
    int NeighbourSize(TControl* C) const { return Horizontal() ? C->Width() : C->Height(); }
    // The Windows-style square under P; -1 when none.
    int WindowsButtonAt(const TPoint& P);
    std::vector<std::pair<TKitWindowsButton, TRect>> WindowsButtonRects();
    TColor HighlightColor() const;
    void SetHighlighted(bool Value);
    void UpdateCursor(const TPoint& P);
    // Gives the neighbour Size and repaints the button's arrows.
    void Fold(int Size);
    void ButtonClick(const TPoint& P);
    void DragEnded();
    void PaintNetscapeButton(TCanvas* Canvas, const TRect& R);
    void PaintWindowsButtons(TCanvas* Canvas);

    bool FShowButton = true;
    TKitButtonWidthType FButtonWidthType = btwPixels;
    int FButtonWidth = 100;
    bool FMaximized = false;
    bool FMinimized = false;
    int FRestorePos = -1;
    TRect FLastKnownButtonRect;
    bool FIsHighlighted = false;
    bool FGotMouseDown = false;
    TColor FButtonColor = clBtnFace;
    TColor FButtonHighlightColor = 0xFFCFCF;
    TColor FArrowColor = 0x800000;
    TColor FTextureColor1 = clWhite;
    TColor FTextureColor2 = 0x800000;
    bool FAutoHighlightColor = false;
    bool FAllowDrag = true;
    TKitButtonStyle FButtonStyle = bsNetscape;
    TKitWindowsButtons FWindowsButtons{wbMin, wbMax, wbClose};
    TCursor FButtonCursor = crHandPoint;
    TControl* FControl = nullptr;
    TPoint FDownPos;
    bool FPressed = false;  // a left press on the splitter is under way
};

// The highlight colour worked out from the system colours: for each
// channel, active caption + (button face - active caption) x 180 / 255.
TColor KitAutoHighlightColor();
