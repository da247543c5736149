#include "components/FontNameComboBox.h"

#include <algorithm>

#include "platform/SysUtils.h"

namespace {

constexpr TColor GlyphBack = clFuchsia;

TBitmap* NewGlyph(std::unique_ptr<TBitmap>& Slot)
{
    Slot = std::make_unique<TBitmap>(16, 16);
    TCanvas* c = Slot->Canvas();
    c->Brush()->SetColor(GlyphBack);
    c->FillRect(TRect(0, 0, 16, 16));
    Slot->SetTransparent(true);
    Slot->SetTransparentColor(GlyphBack);
    return Slot.get();
}

void Block(TCanvas* C, TColor Color, int L, int T, int R, int B)
{
    C->Brush()->SetColor(Color);
    C->FillRect(TRect(L, T, R, B));
}

// Two letters T, the back one grey: a scalable face. The front one is
// black for text faces and navy for symbol faces.
void DrawScalableGlyph(TBitmap* B, TColor Front)
{
    TCanvas* c = B->Canvas();
    Block(c, clGray, 1, 1, 10, 3);
    Block(c, clGray, 4, 1, 6, 12);
    Block(c, Front, 6, 5, 15, 7);
    Block(c, Front, 9, 5, 11, 15);
}

// A blocky letter A made of 2 x 2 squares: a face of fixed pixel sizes.
void DrawRasterGlyph(TBitmap* B)
{
    static const char* const rows[] = {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X"};
    TCanvas* c = B->Canvas();
    for (int r = 0; r < 6; ++r)
        for (int col = 0; col < 5; ++col)
            if (rows[r][col] == 'X')
                Block(c, clMaroon, 3 + 2 * col, 2 + 2 * r, 5 + 2 * col, 4 + 2 * r);
}

}  // namespace

// ---------------------------------------------------------------------------

TFormExampleFont::TFormExampleFont(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetBounds(0, 0, 250, 76);
    PanelFontName = Create<TPanel>(this);
    PanelFontName->SetName("PanelFontName");
    PanelFontName->SetParent(this);
    PanelFontName->SetAlign(alTop);
    PanelFontName->SetHeight(15);
    PanelFontName->SetBevelOuter(bvNone);
    PanelPreview = Create<TPanel>(this);
    PanelPreview->SetName("PanelPreview");
    PanelPreview->SetParent(this);
    PanelPreview->SetAlign(alClient);
    PanelPreview->SetBevelOuter(bvLowered);
    PanelPreview->SetColor(clWindow);
    PanelPreview->Font()->SetStyle(TFontStyles{fsBold});
    PanelPreview->Font()->SetHeight(-24);
}

// ---------------------------------------------------------------------------

TFontNameComboBox::TFontNameComboBox(TComponent* AOwner) : TComboBox(AOwner)
{
    SetStyle(csOwnerDrawFixed);
    SetItemHeight(18);
    SetDropDownCount(12);
    SetWidth(200);
    Font()->SetSize(10);
    BitmapTrueTypeAnsi = NewGlyph(FGlyphs[0]);
    DrawScalableGlyph(BitmapTrueTypeAnsi, clBlack);
    BitmapTrueTypeSymbol = NewGlyph(FGlyphs[1]);
    DrawScalableGlyph(BitmapTrueTypeSymbol, clNavy);
    BitmapRaster = NewGlyph(FGlyphs[2]);
    DrawRasterGlyph(BitmapRaster);
    FormExample = Create<TFormExampleFont>(this);
    FormExample->SetName("FormExample");
    FormExample->SetBounds(0, 0, FIntPreviewWidth, 50);
}

TFontNameComboBox::~TFontNameComboBox() = default;

String TFontNameComboBox::FaceName(const String& Item)
{
    const std::size_t eq = Item.rfind('=');
    return eq == String::npos ? Item : Item.substr(0, eq);
}

String TFontNameComboBox::KindOf(const String& Item)
{
    const std::size_t eq = Item.rfind('=');
    return eq == String::npos ? String() : Item.substr(eq + 1);
}

void TFontNameComboBox::Loaded()
{
    TComboBox::Loaded();
    GetFontNames();
}

void TFontNameComboBox::SetFontTypes(TFontTypes Value)
{
    if (FFontTypes == Value)
        return;
    FFontTypes = Value;
    GetFontNames();
}

void TFontNameComboBox::SetColorUsed(TColor Value)
{
    if (FColorUsed == Value)
        return;
    FColorUsed = Value;
    Invalidate();
}

void TFontNameComboBox::GetFontNames()
{
    TStringList list;
    for (const TScreenFont& f : Screen->Fonts()) {
        if (f.Name.empty() || f.Name[0] == '@')
            continue;
        const TFontType kind = !f.Scalable ? ftRaster : f.Symbol ? ftTrueTypeSymbol : ftTrueTypeAnsi;
        if (!FFontTypes.Contains(kind))
            continue;
        list.Add(f.Name + (kind == ftRaster ? "=R" : kind == ftTrueTypeSymbol ? "=TS" : "=TA"));
    }
    list.Sort();
    IntCountUsed = 0;
    Items()->Assign(list);
    SetItemIndex(-1);
    // The chosen face stays chosen when it is still there.
    if (!FStrFontName.empty()) {
        const String name = FStrFontName;
        FStrFontName.clear();
        SetFontName(name);
    }
}

void TFontNameComboBox::SetFontName(const String& Name)
{
    for (int i = 0; i < Items()->Count(); ++i)
        if (SameText(FaceName(Items()->Get(i)), Name)) {
            SetItemIndex(i);
            ChooseFont();
            return;
        }
}

void TFontNameComboBox::ChooseFont()
{
    const int index = ItemIndex();
    BlnDown = false;
    if (index < 0)
        return;
    const String item = Items()->Get(index);
    FStrFontName = FaceName(item);
    if (FBlnMoveUsedToTop && index > 0) {
        if (index < IntCountUsed) {
            Items()->Move(index, 0);
        } else {
            Items()->Insert(0, item);
            ++IntCountUsed;
            if (FIntMaxUsed != 0 && IntCountUsed > FIntMaxUsed) {
                Items()->Delete(FIntMaxUsed);
                --IntCountUsed;
            }
        }
    }
    SetItemIndex(FBlnMoveUsedToTop ? 0 : index);
}

void TFontNameComboBox::Click()
{
    if (!BlnDown && ItemIndex() >= 0)
        FStrFontName = FaceName(Items()->Get(ItemIndex()));
    TComboBox::Click();
}

void TFontNameComboBox::DropDown()
{
    BlnDown = true;
    if (FBlnShowPreview) {
        PlaceSample();
        ShowSample(ItemIndex() >= 0 ? FaceName(Items()->Get(ItemIndex())) : FStrFontName);
        FormExample->Show();
    }
    TComboBox::DropDown();
}

void TFontNameComboBox::CloseUp()
{
    if (CanFocus())
        SetFocus();
    FormExample->Hide();
    ChooseFont();
    TComboBox::CloseUp();
    Click();
}

void TFontNameComboBox::PlaceSample()
{
    const TPoint topLeft = ClientToScreen(TPoint{0, 0});
    const TRect screen = Screen->MonitorRect(topLeft);
    int left = topLeft.X + Width();
    int top = topLeft.Y + Height();
    if (left + FormExample->Width() > screen.Right)
        left = topLeft.X - FormExample->Width();
    if (top + FormExample->Height() > screen.Bottom)
        top = topLeft.Y - FormExample->Height();
    FormExample->SetBounds(left, top, FormExample->Width(), FormExample->Height());
}

void TFontNameComboBox::ShowSample(const String& Face)
{
    const String text = Trim(FStrPreviewText).empty() ? String("AaBbYyZz") : FStrPreviewText;
    FormExample->PanelFontName->SetVisible(FBlnShowPreviewFontName);
    FormExample->PanelFontName->SetCaption(Face);
    FormExample->PanelPreview->Font()->SetName(Face);
    FormExample->PanelPreview->Font()->SetSize(20);
    FormExample->PanelPreview->SetCaption(text);
}

void TFontNameComboBox::DrawItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (!ACanvas || Index < 0 || Index >= Items()->Count())
        return;
    const String item = Items()->Get(Index);
    const String face = FaceName(item);
    const String kind = KindOf(item);
    const bool edit = State.Contains(odComboBoxEdit);
    const bool selected = State.Contains(odSelected);

    ACanvas->SetFont(Font());
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(selected ? clHighlight : Color());
    ACanvas->FillRect(Rect);
    if (selected)
        ACanvas->Font()->SetColor(clHighlightText);
    else if (BlnDown && !edit && Index < IntCountUsed)
        ACanvas->Font()->SetColor(FColorUsed);

    int x = Rect.Left + 4;
    if (FBlnShowImagesFontType) {
        TBitmap* glyph = kind == "TS" ? BitmapTrueTypeSymbol : kind == "R" ? BitmapRaster : BitmapTrueTypeAnsi;
        ACanvas->Draw(Rect.Left + 2, Rect.Top + 1, glyph);
        x = Rect.Left + 20;
    }
    // Symbol faces show no letters: their names stay readable.
    if ((edit ? FBlnShowPreviewInEdit : FBlnShowPreviewInList) && kind != "TS")
        ACanvas->Font()->SetName(face);
    ACanvas->Brush()->SetStyle(bsClear);
    TRect text{x, Rect.Top, Rect.Right, Rect.Bottom};
    ACanvas->DrawText(face, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ACanvas->Brush()->SetStyle(bsSolid);

    if (BlnDown && !edit && FBlnMoveUsedToTop && IntCountUsed > 0 && Index == IntCountUsed - 1) {
        ACanvas->Pen()->SetColor(clGray);
        ACanvas->MoveTo(Rect.Left, Rect.Bottom - 1);
        ACanvas->LineTo(Rect.Right, Rect.Bottom - 1);
    }
    if (BlnDown && !edit && FBlnShowPreview && (selected || State.Contains(odFocused)))
        ShowSample(face);
}
