#pragma once
// The colour picker: a borderless popup with a grid of 40 named colours, on
// request the 25 system colours, an optional "default" cell and a cell that
// opens the custom section: a hexagonal comb of mixed colours in seven
// rings, a row of greys and a brightness slider for the comb's centre.
//
// Grid indexes: 0 .. 39 named colours, 40 .. 64 system colours, -3 the
// default cell, -2 the custom cell, -1 none.
#include <array>
#include <vector>

#include "platform/Forms.h"

struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

struct TRGB {
    double Red = 0;
    double Green = 0;
    double Blue = 0;
};

// One cell of the comb or of the grey row: its centre (relative to the
// comb's centre, or to the grey row's corner) and its colour.
struct TCombEntry {
    TPoint Position;
    TColor Color = clBlack;
};

enum TSelectionMode { smNone, smColor, smBW, smRamp };

class TColorPickerPopup;
// The program's one colour picker (made at start-up), or null.
extern TColorPickerPopup* ColorPickerPopup;

class TColorPickerPopup : public TForm {
    VEK_DECLARE_CLASS(TColorPickerPopup, TForm)

public:
    static constexpr int DefaultCell = -3;
    static constexpr int CustomCell = -2;
    static constexpr int NoCell = -1;
    static constexpr int NamedColorCount = 40;
    static constexpr int SysColorCount = 25;

    explicit TColorPickerPopup(TComponent* AOwner);
    ~TColorPickerPopup() override;

    void Dispatch(TMessage& Message) override;

    // The colour of a grid index (a named or system colour), clDefault for
    // the default cell; clNone for anything else.
    static TColor GridColor(int Index);
    static String ColorName(int Index);

    // Marks the cell showing Color (a grid cell, or a comb or grey cell of
    // that colour, which opens the custom section) and keeps it.
    void SetSelectionColor(TColor Color);
    TColor SelectionColor() const { return FSelectionColor; }

    // Sizes and places the popup below (or above) the anchor DestRect,
    // within the screen holding it.
    void ShowPopupAligned();
    // Shows the popup at DestRect and returns once a colour was picked
    // (mrOk) or Esc pressed (mrCancel). It takes all input while shown;
    // presses outside it do nothing.
    TModalResult Popup();
    TRect DestRect;

    const String& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const String& Value);
    const String& CustomText() const { return FCustomText; }
    void SetCustomText(const String& Value);
    bool ShowSysColors() const { return FShowSysColors; }
    void SetShowSysColors(bool Value);

    // ---- layout (client coordinates) ----
    void AdjustWindow();
    TRect CellRect(int Index) const;
    // The cell at P: a grid index, DefaultCell, CustomCell or NoCell.
    int SelectionFromPoint(TPoint P) const;
    // The comb cell (0 .. 126) or grey cell (0 .. 16) at P; -1 when none.
    // A point in two cells takes the nearer.
    int CombIndexAt(TPoint P) const;
    int GreyIndexAt(TPoint P) const;
    // The grid part's height and the height with the custom section open.
    int GridHeight() const { return FGridHeight; }
    int CustomHeight() const { return FBWCombRect.Bottom + FMargin; }
    bool CustomSectionOpen() const { return FCustomOpen; }
    void OpenCustomSection();

    // ---- the comb ----
    void CalculateCombLayout();
    const std::vector<TCombEntry>& ColorCombs() const { return FColorCombs; }
    const std::vector<TCombEntry>& BWCombs() const { return FBWCombs; }
    // The centre's brightness, 0 .. 1; emptying and refilling the comb.
    double CenterIntensity() const { return FCenterIntensity; }
    void SetCenterIntensity(double Value);
    // k + 1 for comb cell k, -(k + 1) for grey cell k, 0 for none.
    int CustomIndex() const { return FCustomIndex; }
    TColor CustomColor() const;

    int Margin() const { return FMargin; }
    int Radius() const { return FRadius; }
    int CombSize() const { return FCombSize; }
    TRect WindowRect() const { return FWindowRect; }
    TRect DefaultTextRect() const { return FDefaultTextRect; }
    TRect CustomTextRect() const { return FCustomTextRect; }
    TRect ColorCombRect() const { return FColorCombRect; }
    TRect BWCombRect() const { return FBWCombRect; }
    TRect SliderRect() const { return FSliderRect; }
    TRect CustomColorRect() const { return FCustomColorRect; }
    int SelectedIndex() const { return FSelectedIndex; }
    int HoverIndex() const { return FHoverIndex; }
    void SetHoverIndex(int Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    bool PopupOutsidePress(TMouseButton Button, const TPoint& ScreenPos) override;
    void PaintPicker(TCanvas* C);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void EndSelection(int Index);
    void DragTo(TPoint P);
    void MoveHover(Word Key);
    bool IsShown(int Index) const;
    void PaintCell(TCanvas* C, int Index);
    void PaintTextCell(TCanvas* C, int Index, const TRect& R, const String& Text);
    void PaintCustomSection(TCanvas* C);
    static WideChar Accelerator(const String& Text);

    String FDefaultText;
    String FCustomText;
    TColor FCurrentColor = clBlack;
    int FMargin = 2;
    int FSpacing = 8;
    int FColumnCount = 8;
    int FRowCount = 5;
    int FSysRowCount = 4;
    int FBoxSize = 18;
    int FSelectedIndex = NoCell;
    int FHoverIndex = NoCell;
    TRect FWindowRect;
    TRect FCustomTextRect;
    TRect FDefaultTextRect;
    TRect FColorCombRect;
    TRect FBWCombRect;
    TRect FSliderRect;
    TRect FCustomColorRect;
    bool FShowSysColors = false;
    int FCombSize = 11;
    int FLevels = 7;
    std::vector<TCombEntry> FBWCombs;
    std::vector<TCombEntry> FColorCombs;
    std::array<TFloatPoint, 6> FCombCorners;
    TRGB FCenterColor{1, 1, 1};
    double FCenterIntensity = 1.0;
    int FCustomIndex = 0;
    int FRadius = 66;
    TSelectionMode FSelectionMode = smNone;
    TColor FSelectionColor = clBlack;
    // Layout values of our own.
    int FGridTop = 0;
    int FSysTop = 0;
    int FGridHeight = 0;
    bool FCustomOpen = false;
};
