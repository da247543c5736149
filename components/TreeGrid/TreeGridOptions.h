#pragma once
// The option sets, the colours and the scroll-bar options of a tree-grid
// control. Reactions that only repaint wait for the control's window; those
// that keep counts and the selection consistent run headless too.
#include <array>

#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/Classes.h"

class TBaseTreeGrid;

constexpr TTGPaintOptions DefaultPaintOptions{toShowButtons, toShowDropmark, toShowRoot, toShowTreeLines,
    toThemeAware, toUseBlendedImages};
constexpr TTGAnimationOptions DefaultAnimationOptions{};
constexpr TTGAutoOptions DefaultAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
    toAutoDeleteMovedNodes};
constexpr TTGSelectionOptions DefaultSelectionOptions{};
constexpr TTGMiscOptions DefaultMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
    toToggleOnDblClick, toWheelPanning, toEditOnClick};

class TCustomTreeGridOptions : public TPersistent {
    VEK_DECLARE_CLASS(TCustomTreeGridOptions, TPersistent)
public:
    explicit TCustomTreeGridOptions(TBaseTreeGrid* AOwner);

    TBaseTreeGrid* Owner() const { return FOwner; }

    TTGPaintOptions PaintOptions() const { return FPaintOptions; }
    TTGAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TTGAutoOptions AutoOptions() const { return FAutoOptions; }
    TTGSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TTGMiscOptions MiscOptions() const { return FMiscOptions; }
    TTGExportMode ExportMode() const { return FExportMode; }

    void SetPaintOptions(TTGPaintOptions Value);
    void SetAnimationOptions(TTGAnimationOptions Value);
    void SetAutoOptions(TTGAutoOptions Value);
    void SetSelectionOptions(TTGSelectionOptions Value);
    void SetMiscOptions(TTGMiscOptions Value);
    void SetExportMode(TTGExportMode Value) { FExportMode = Value; }

protected:
    // Copies all five sets into another options object through its setters.
    void AssignTo(TPersistent* Dest) override;

    TBaseTreeGrid* FOwner;
    TTGPaintOptions FPaintOptions = DefaultPaintOptions;
    TTGAnimationOptions FAnimationOptions = DefaultAnimationOptions;
    TTGAutoOptions FAutoOptions = DefaultAutoOptions;
    TTGSelectionOptions FSelectionOptions = DefaultSelectionOptions;
    TTGMiscOptions FMiscOptions = DefaultMiscOptions;
    TTGExportMode FExportMode = emAll;
};

// The published variant; it adds nothing but its name.
class TTreeGridOptions : public TCustomTreeGridOptions {
    VEK_DECLARE_CLASS(TTreeGridOptions, TCustomTreeGridOptions)
public:
    using TCustomTreeGridOptions::TCustomTreeGridOptions;
};

// Class references: create an options object for a tree.
using TTreeGridOptionsClass = TCustomTreeGridOptions* (*)(TBaseTreeGrid* Owner);

class TTGColors : public TPersistent {
    VEK_DECLARE_CLASS(TTGColors, TPersistent)
public:
    static constexpr int ColorCount = 15;
    explicit TTGColors(TBaseTreeGrid* AOwner);

    TColor GetColor(int Index) const { return FColors.at(std::size_t(Index)); }
    void SetColor(int Index, TColor Value);
    void Assign(TPersistent* Source) override;

#define VEK_TG_COLOR(Name, Index)                             \
    TColor Name() const { return FColors[Index]; }            \
    void Set##Name(TColor Value) { SetColor(Index, Value); }
    VEK_TG_COLOR(DisabledColor, 0)
    VEK_TG_COLOR(DropMarkColor, 1)
    VEK_TG_COLOR(DropTargetColor, 2)
    VEK_TG_COLOR(FocusedSelectionColor, 3)
    VEK_TG_COLOR(GridLineColor, 4)
    VEK_TG_COLOR(TreeLineColor, 5)
    VEK_TG_COLOR(UnfocusedSelectionColor, 6)
    VEK_TG_COLOR(BorderColor, 7)
    VEK_TG_COLOR(HotColor, 8)
    VEK_TG_COLOR(FocusedSelectionBorderColor, 9)
    VEK_TG_COLOR(UnfocusedSelectionBorderColor, 10)
    VEK_TG_COLOR(DropTargetBorderColor, 11)
    VEK_TG_COLOR(SelectionRectangleBlendColor, 12)
    VEK_TG_COLOR(SelectionRectangleBorderColor, 13)
    VEK_TG_COLOR(HeaderHotColor, 14)
#undef VEK_TG_COLOR

private:
    TBaseTreeGrid* FOwner;
    std::array<TColor, ColorCount> FColors;
};

enum TTGScrollBars : std::uint8_t { tsbNone, tsbHorizontal, tsbVertical, tsbBoth };
enum TScrollBarStyle : std::uint8_t { sbmRegular, sbmFlat, sbm3D };

class TScrollBarOptions : public TPersistent {
    VEK_DECLARE_CLASS(TScrollBarOptions, TPersistent)
public:
    explicit TScrollBarOptions(TBaseTreeGrid* AOwner) : FOwner(AOwner) {}

    bool AlwaysVisible() const { return FAlwaysVisible; }
    TTGScrollBars ScrollBars() const { return FScrollBars; }
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    int HorizontalIncrement() const { return FIncrementX; }
    int VerticalIncrement() const { return FIncrementY; }

    void SetAlwaysVisible(bool Value);
    void SetScrollBars(TTGScrollBars Value);
    void SetScrollBarStyle(TScrollBarStyle Value);
    void SetHorizontalIncrement(int Value) { FIncrementX = Value; }
    void SetVerticalIncrement(int Value) { FIncrementY = Value; }
    void Assign(TPersistent* Source) override;

private:
    bool FAlwaysVisible = false;
    TBaseTreeGrid* FOwner;
    TTGScrollBars FScrollBars = tsbBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
    int FIncrementX = 20;
    int FIncrementY = 20;
};
