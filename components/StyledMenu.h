#pragma once
// Flat, owner-drawn menus: a light menu background, a darker icon column, a
// tinted selection box with a border, icons dimmed at rest and lifted with a
// shadow when selected, and drawn check marks. A TStyledMenu placed on a form
// styles the form's main and popup menus through their items' measure and
// draw events; one manager lends the active component's look to the forms
// that have none of their own (the dialogs' popup menus).
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Menus.h"

class TBitmap;
class TCanvas;
class TCustomForm;
class TFont;

enum TStyledContainer {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};
using TStyledContainers = TSet<TStyledContainer, 16>;

enum TStyledControl {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcListBox,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcMiscEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcUpDown,
    xcPanel,
    xcGroupBox,
    xcTreeView,
    xcListView,
    xcProgressBar,
    xcHotKey
};
using TStyledControls = TSet<TStyledControl, 32>;

// Colour arithmetic on RGB values (system colours are resolved first).
// C moved P percent toward white (P capped at 100), each channel rounded.
TColor NewColor(TColor C, int P);
// Red and blue less D, green less D - 2, each within 0..255.
TColor GetShadeColor(TColor C, int D);
// The channels' mean plus Level, capped at 240, as a grey.
TColor GrayColor(TColor C, int Level);
// The font colour when C is light enough to read it on, else C moved 90
// percent toward white.
TColor TopMenuFontColor(TColor C, TColor FontColor);

// The colours painting uses, worked out from the properties.
struct TStyledMenuPalette {
    TColor Color = 0;            // menu background
    TColor IconBackColor = 0;    // icon column
    TColor SelectColor = 0;
    TColor SelectBorderColor = 0;
    TColor SelectFontColor = 0;
    TColor CheckedAreaColor = 0;
    TColor CheckedAreaSelectColor = 0;
    TColor CheckedColor = 0;
    TColor MenuBarColor = 0;
    TColor DisabledColor = 0;
    TColor SeparatorColor = 0;
    TColor MenuBorderColor = 0;
    TColor MenuShadowColor = 0;
};

class TStyledMenu : public TComponent {
    VEK_DECLARE_CLASS(TStyledMenu, TComponent)

public:
    explicit TStyledMenu(TComponent* AOwner);
    ~TStyledMenu() override;
    void BeforeDestruction() override;
    // Registers with the manager, which lends this look to other forms.
    void Loaded() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The menu font; starts as the system's menu font.
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetColour(FColor, Value); }
    TColor IconBackColor() const { return FIconBackColor; }
    void SetIconBackColor(TColor Value) { SetColour(FIconBackColor, Value); }
    TColor MenuBarColor() const { return FMenuBarColor; }
    void SetMenuBarColor(TColor Value);
    TColor CheckedColor() const { return FCheckedColor; }
    void SetCheckedColor(TColor Value) { SetColour(FCheckedColor, Value); }
    TColor SeparatorColor() const { return FSeparatorColor; }
    void SetSeparatorColor(TColor Value) { SetColour(FSeparatorColor, Value); }
    TColor SelectBorderColor() const { return FSelectBorderColor; }
    void SetSelectBorderColor(TColor Value) { SetColour(FSelectBorderColor, Value); }
    TColor SelectColor() const { return FSelectColor; }
    void SetSelectColor(TColor Value) { SetColour(FSelectColor, Value); }
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor Value) { SetColour(FDisabledColor, Value); }
    TColor SelectFontColor() const { return FSelectFontColor; }
    void SetSelectFontColor(TColor Value) { SetColour(FSelectFontColor, Value); }

    int IconWidth() const { return FIconWidth; }
    void SetIconWidth(int Value) { FIconWidth = Value; }
    bool DrawSelect() const { return FDrawSelect; }
    void SetDrawSelect(bool Value) { FDrawSelect = Value; }
    bool UseSystemColors() const { return FUseSystemColors; }
    void SetUseSystemColors(bool Value);
    bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
    void SetOverrideOwnerDraw(bool Value);
    bool Gradient() const { return FGradient; }
    void SetGradient(bool Value) { FGradient = Value; }
    bool FlatMenu() const { return FFlatMenu; }
    void SetFlatMenu(bool Value) { FFlatMenu = Value; }
    bool AutoDetect() const { return FAutoDetect; }
    void SetAutoDetect(bool Value) { FAutoDetect = Value; }
    TStyledContainers StyledContainers() const { return FStyledContainers; }
    void SetStyledContainers(TStyledContainers Value);
    TStyledControls StyledControls() const { return FStyledControls; }
    void SetStyledControls(TStyledControls Value);
    Byte GrayLevel() const { return FGrayLevel; }
    void SetGrayLevel(Byte Value) { FGrayLevel = Value; }
    Byte DimLevel() const { return FDimLevel; }
    void SetDimLevel(Byte Value) { FDimLevel = Value; }
    bool DrawMenuBar() const { return FDrawMenuBar; }
    void SetDrawMenuBar(bool Value);
    bool UseDimColor() const { return FUseDimColor; }
    void SetUseDimColor(bool Value) { SetColourFlag(FUseDimColor, Value); }
    bool DisableSubclassing() const { return FDisableSubclassing; }
    void SetDisableSubclassing(bool Value) { FDisableSubclassing = Value; }
    bool IsWNT() const { return true; }

    // Styles (Enable) or unstyles one component: the items of a main or
    // popup menu whose kind is among StyledControls, or one menu item.
    // With Update a main menu's bars are drawn again.
    void InitItem(TComponent* Component, bool Enable, bool Update);
    // InitItem on each component the container owns.
    void InitItems(TComponent* Container, bool Enable, bool Update);
    // Styles a main menu whatever StyledControls says.
    void ForceComponent(TComponent* Menu);
    // Styles an item made at run time (with its sub-items when Recursive).
    void ActivateMenuItem(TMenuItem* Item, bool Recursive);

    // The items' event handlers. With FlatMenu, measuring an entry of a
    // popup level gives the level the flat frame.
    void MeasureItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height);
    void DrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);

    // The flat frame of a Width x Height popup level: a one-pixel frame
    // round all but the shadow, a two-pixel inner frame in the icon
    // column's colour (on a right-to-left level only its side with the
    // column), and a two-pixel shadow along the right and bottom edges.
    void DrawWindowBorder(TCanvas* ACanvas, int Width, int Height, bool RightToLeft);

    // Works out the working colours for a screen of BitsPerPixel.
    void SetGlobalColor(int BitsPerPixel);
    const TStyledMenuPalette& Palette() const { return FPalette; }
    // True when the colours were worked out for more than 15 bits.
    bool Is16Bit() const { return FIs16Bit; }
    // The depth painting works out its colours for.
    static constexpr int ScreenBitsPerPixel = 32;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // A form made later is styled at the manager's next message; with
    // AutoDetect, a menu item made later on this form is hooked at once.
    void Inserted(TComponent* AComponent) override;

private:
    friend class TStyledMenuManager;
    void SetColour(TColor& Field, TColor Value)
    {
        Field = Value;
        FColorsChanged = true;
    }
    void SetColourFlag(bool& Field, bool Value)
    {
        Field = Value;
        FColorsChanged = true;
    }
    void HookItem(TMenuItem* Item, bool Enable, bool Recursive);
    // True while Menu is alive: an open level may keep its frame painter
    // longer than the component lives.
    static bool IsLive(const TStyledMenu* Menu);
    // Draws the menu bars showing the form's main menus again.
    void RedrawMenuBars(TMenu* Menu);
    void RedrawMenuBars();
    void MenueDrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);

    bool FActive = false;
    TComponent* FForm = nullptr;
    std::unique_ptr<TFont> FFont;
    TColor FColor = clBtnFace;
    TColor FIconBackColor = clBtnFace;
    TColor FMenuBarColor = clBtnFace;
    TColor FCheckedColor = clHighlight;
    TColor FSeparatorColor = clBtnFace;
    TColor FSelectBorderColor = clHighlight;
    TColor FSelectColor = clHighlight;
    TColor FDisabledColor = clInactiveCaption;
    TColor FSelectFontColor = clMenuText;
    int FIconWidth = 24;
    bool FDrawSelect = true;
    bool FUseSystemColors = true;
    bool FColorsChanged = true;
    TStyledMenuPalette FPalette;
    bool FIs16Bit = true;
    bool FOverrideOwnerDraw = false;
    bool FGradient = false;
    bool FFlatMenu = false;
    bool FAutoDetect = false;
    TStyledContainers FStyledContainers;
    TStyledControls FStyledControls;
    Byte FGrayLevel = 10;
    Byte FDimLevel = 30;
    bool FDrawMenuBar = false;
    bool FUseDimColor = false;
    int FDimParentColor = 16;
    int FDimParentColorSelect = 40;
    bool FDisableSubclassing = false;
    // The item picture is put together here before it is copied out.
    std::unique_ptr<TBitmap> FItemBitmap;
    std::unique_ptr<TBitmap> FIconBitmap;
};

// The one manager of every live TStyledMenu: made by the first, freed with
// the last. Forms without a TStyledMenu of their own (those the application
// made, and those inserted on a styled form) take the active one's look when
// the manager's posted message comes.
class TStyledMenuManager : public TPersistent {
    VEK_DECLARE_CLASS(TStyledMenuManager, TPersistent)

public:
    TStyledMenuManager();
    ~TStyledMenuManager() override;

    // The component whose look other forms take; null when none is active.
    TStyledMenu* ActiveStyledMenu() const { return FActiveStyledMenu; }
    int StyledMenuCount() const { return int(FStyledMenuList.size()); }
    bool IsStyled(TCustomForm* Form) const;
    // Adds the application's forms that have no TStyledMenu of their own.
    void CollectForms();
    // Asks for the pending forms to be styled once the queue gets there.
    void PostStyling();
    // Styles the pending forms now.
    void StylePendingForms();

private:
    friend class TStyledMenu;
    void Register(TStyledMenu* Menu);
    void Unregister(TStyledMenu* Menu);
    void FormGone(TComponent* Form);
    TStyledMenu* NextActive(TStyledMenu* Except) const;
    void SetActiveStyledMenu(TStyledMenu* Menu);
    void WatchMainWindow();

    std::vector<TStyledMenu*> FStyledMenuList;
    std::vector<TCustomForm*> FPendingFormsList;
    std::vector<TComponent*> FFormList;
    TStyledMenu* FActiveStyledMenu = nullptr;
    bool FDisableSubclassing = false;
    HWND FWindow = 0;
    bool FPosted = false;
    int FKnownFormCount = -1;
    int FKnownComponentCount = -1;
    TCustomForm* FWatched = nullptr;
    int FWatchHook = 0;
};

// The manager; null while no TStyledMenu lives.
TStyledMenuManager* StyledMenuManager();
