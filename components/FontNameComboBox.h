#pragma once
// The font name box: the screen's font families, each with a glyph of its
// kind and drawn in its own face, the recently chosen ones at the head of
// the list, and a sample window beside the open list showing the face of
// the entry under the pointer.
//
// Each item is the face name, "=" and the kind: "TA" a scalable font for
// text, "TS" a scalable font of symbols only, "R" a bitmap font. FontName
// is the face name alone.
#include <memory>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"

enum TFontType { ftTrueTypeAnsi, ftTrueTypeSymbol, ftRaster };
using TFontTypes = TSet<TFontType, 4>;

// The sample window: a strip with the face name over a sunken panel that
// shows the sample text in the face.
class TFormExampleFont : public TForm {
    VEK_DECLARE_CLASS(TFormExampleFont, TForm)

public:
    explicit TFormExampleFont(TComponent* AOwner);

    TPanel* PanelFontName = nullptr;
    TPanel* PanelPreview = nullptr;
};

class TFontNameComboBox : public TComboBox {
    VEK_DECLARE_CLASS(TFontNameComboBox, TComboBox)

public:
    explicit TFontNameComboBox(TComponent* AOwner);
    ~TFontNameComboBox() override;

    // The face name of an item ("Arial=TA" gives "Arial") and its kind.
    static String FaceName(const String& Item);
    static String KindOf(const String& Item);

    // Fills the list from the screen's fonts of the kinds in FontTypes,
    // sorted, with no recently used entries.
    void GetFontNames();
    // Selects the entry of the face Name (the recently used one when it is
    // among them) and takes it as chosen; an unknown name changes nothing.
    void SetFontName(const String& Name);
    const String& FontName() const { return FStrFontName; }

    TFontTypes FontTypes() const { return FFontTypes; }
    void SetFontTypes(TFontTypes Value);
    const String& PreviewText() const { return FStrPreviewText; }
    void SetPreviewText(const String& Value) { FStrPreviewText = Value; }
    bool MoveUsedToTop() const { return FBlnMoveUsedToTop; }
    void SetMoveUsedToTop(bool Value) { FBlnMoveUsedToTop = Value; }
    int MaxUsed() const { return FIntMaxUsed; }
    void SetMaxUsed(int Value) { FIntMaxUsed = Value < 0 ? 0 : Value; }
    TColor ColorUsed() const { return FColorUsed; }
    void SetColorUsed(TColor Value);
    bool ShowPreviewInList() const { return FBlnShowPreviewInList; }
    void SetShowPreviewInList(bool Value) { FBlnShowPreviewInList = Value; }
    bool ShowPreview() const { return FBlnShowPreview; }
    void SetShowPreview(bool Value) { FBlnShowPreview = Value; }
    bool ShowImagesFontType() const { return FBlnShowImagesFontType; }
    void SetShowImagesFontType(bool Value) { FBlnShowImagesFontType = Value; }
    bool ShowPreviewFontName() const { return FBlnShowPreviewFontName; }
    void SetShowPreviewFontName(bool Value) { FBlnShowPreviewFontName = Value; }
    bool ShowPreviewInEdit() const { return FBlnShowPreviewInEdit; }
    void SetShowPreviewInEdit(bool Value) { FBlnShowPreviewInEdit = Value; }

    // The recently used entries at the head of the list.
    int CountUsed() const { return IntCountUsed; }
    // The list is open.
    bool Down() const { return BlnDown; }
    TFormExampleFont* Sample() const { return FormExample; }

    void DrawItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState State) override;

    // The glyphs of the three kinds (16 x 16, fuchsia transparent).
    TBitmap* BitmapTrueTypeAnsi = nullptr;
    TBitmap* BitmapTrueTypeSymbol = nullptr;
    TBitmap* BitmapRaster = nullptr;

    // Fills the list (GetFontNames).
    void Loaded() override;

protected:
    void DropDown() override;
    void CloseUp() override;
    void Click() override;

private:
    // Takes the selected entry as chosen and, with MoveUsedToTop, puts it
    // at the head of the list.
    void ChooseFont();
    void ShowSample(const String& Face);
    void PlaceSample();

    TFormExampleFont* FormExample = nullptr;
    std::unique_ptr<TBitmap> FGlyphs[3];
    int IntCountUsed = 0;
    bool BlnDown = false;
    int FIntPreviewWidth = 240;
    int FIntPreviewHeight = 60;
    String FStrFontName;
    String FStrPreviewText;
    bool FBlnMoveUsedToTop = true;
    int FIntMaxUsed = 5;
    TColor FColorUsed = TColor(0x800000);
    TFontTypes FFontTypes = TFontTypes{ftTrueTypeAnsi, ftTrueTypeSymbol};
    bool FBlnShowPreviewInList = true;
    bool FBlnShowPreview = true;
    bool FBlnShowImagesFontType = true;
    bool FBlnShowPreviewFontName = true;
    bool FBlnShowPreviewInEdit = false;
};
