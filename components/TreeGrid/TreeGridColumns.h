#pragma once
// The columns of a tree-grid control: each keeps a display position apart
// from its collection index; the collection keeps the position array (always
// a permutation of the indexes), the left edges, width limits, the auto-size
// column and the spring columns.
#include <memory>
#include <vector>

#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/Classes.h"
#include "platform/Controls.h"

class TBaseTreeGrid;
class TTGHeader;
class TTreeGridColumns;
class TTreeGridColumn;
class TCanvas;
class TBitmap;

// What the owner paints itself in an advanced header paint.
enum THeaderPaintElement : std::uint8_t { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TGSet<THeaderPaintElement, std::uint8_t>;
enum TTGDropMarkMode : std::uint8_t { dmmNone, dmmLeft, dmmRight };

// One header cell (or, without a column, the whole strip) as it is painted.
struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TTreeGridColumn* Column = nullptr;
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = true;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TTGDropMarkMode DropMark = dmmNone;
    TPoint GlyphPos;
    TPoint SortGlyphPos;
};
class TStream;

class TTreeGridColumn : public TCollectionItem {
    VEK_DECLARE_CLASS(TTreeGridColumn, TCollectionItem)
public:
    explicit TTreeGridColumn(TCollection* ACollection = nullptr);

    TTreeGridColumns* Owner() const;
    TTGHeader* Header() const;
    TBaseTreeGrid* Tree() const;

    const String& Text() const { return FText; }
    void SetText(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    int Width() const { return FWidth; }
    virtual void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    Cardinal Position() const { return FPosition; }
    void SetPosition(Cardinal Value);
    TTreeGridColumnStyle Style() const { return FStyle; }
    void SetStyle(TTreeGridColumnStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TTGHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TTGHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TTGColumnOptions Options() const { return FOptions; }
    void SetOptions(TTGColumnOptions Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment CaptionAlignment() const;
    void SetCaptionAlignment(TAlignment Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    int LastWidth() const { return FLastWidth; }
    bool BonusPixel() const { return FBonusPixel; }
    void SetBonusPixel(bool Value) { FBonusPixel = Value; }
    float SpringRest() const { return FSpringRest; }
    void SetSpringRest(float Value) { FSpringRest = Value; }

    // Left edge in header coordinates without (fixed) or with the scroll offset.
    int GetLeft() const;
    int StoredLeft() const { return FLeft; }
    void GetAbsoluteBounds(int& Left, int& Right) const;
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    void ParentBiDiModeChanged();
    void ParentColorChanged();
    void RestoreLastWidth();
    // A new collection index: every stored column index follows its column
    // and the display order stays as it is.
    void SetIndex(int Value) override;
    String DisplayName() const override;
    void Assign(TPersistent* Source) override;
    virtual bool Equals(const TTreeGridColumn& Other) const;
    // Places the header image, the sort glyph and the caption inside Client
    // (a header cell less its border) by the caption alignment, the layout,
    // Margin and Spacing.
    void ComputeHeaderLayout(TCanvas* DC, const TRect& Client, bool UseHeaderGlyph, bool UseSortGlyph,
        TPoint& HeaderGlyphPos, TPoint& SortGlyphPos, TSize& SortGlyphSize, TRect& TextBounds, unsigned DrawFormat,
        bool CalculateTextRect = false);
    // Whether the last header paint drew the column's image, and where.
    bool HasImage() const { return FHasImage; }
    TRect ImageRect() const { return FImageRect; }
    // The column's record of the header stream; Version is the stream's.
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream, int Version);

private:
    friend class TTreeGridColumns;
    String FText;
    String FHint;
    int FLeft = 0;
    int FWidth = 50;
    Cardinal FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    TTreeGridColumnStyle FStyle = vsText;
    int FImageIndex = -1;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TTGHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 4;
    TTGColumnOptions FOptions = DefaultColumnOptions;
    int FTag = 0;
    TAlignment FAlignment = taLeftJustify;
    TAlignment FCaptionAlignment = taLeftJustify;
    int FLastWidth = 50;
    TColor FColor = clWindow;
    bool FBonusPixel = false;
    float FSpringRest = 0;
    String FCaptionText;
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    bool FHasImage = false;
    TRect FImageRect;
};

// The column class a tree supplies: makes one unattached column.
using TTreeGridColumnClass = TCollectionItemFactory;

class TTreeGridColumns : public TCollection {
    VEK_DECLARE_CLASS(TTreeGridColumns, TCollection)
public:
    TTreeGridColumns(TTreeGridColumnClass ColumnClass, TTGHeader* AOwner);
    ~TTreeGridColumns() override;

    TTGHeader* Header() const { return FHeader; }
    TTreeGridColumn* Items(TColumnIndex Index) const { return static_cast<TTreeGridColumn*>(TCollection::Items(Index)); }
    TTreeGridColumn* operator[](TColumnIndex Index) const { return Items(Index); }

    TTreeGridColumn* Add() { return static_cast<TTreeGridColumn*>(TCollection::Add()); }
    // Empties the collection and resets the header's column references.
    void Clear();

    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    const std::vector<int>& PositionToIndex() const { return FPositionToIndex; }

    // Display bookkeeping.
    void FixPositions();
    void ReorderColumns(bool RightToLeft);
    void UpdatePositions(bool Force = false);
    void AdjustAutoSize(TColumnIndex CurrentIndex, bool Force = false);
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }

    // Lookups; -2 (InvalidColumn) when nothing qualifies.
    virtual TColumnIndex ColumnFromPosition(Cardinal Position) const;
    TColumnIndex ColumnFromPoint(int X, int Y, bool Relative = true) const;
    TColumnIndex GetColumnAndBounds(int X, int Y, int& Left, int& Right, bool Relative = true) const;
    void GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetFirstColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    std::vector<TColumnIndex> GetVisibleColumns() const;
    int GetVisibleFixedWidth() const;
    int GetScrollWidth() const;
    int TotalWidth() const;
    // Whether the splitter at P may resize Column: visible and resizable,
    // and the tree's OnCanSplitterResizeColumn does not refuse.
    bool CanSplitterResize(TPoint P, TColumnIndex Column) const;

    void AnimatedResize(TColumnIndex Column, int NewWidth);
    void Assign(TPersistent* Source) override;
    bool Equals(const TTreeGridColumns& Other) const;
    // Paints the header strip into R of DC; HOffset moves the columns that
    // are not fixed (the negative horizontal scroll offset).
    virtual void PaintHeader(TCanvas* DC, const TRect& R, int HOffset);
    // Hover and pressed cells follow the pointer at P (header coordinates:
    // y from the header's top); both repaint the cells that changed. True
    // when the hover column changed; AdjustDownColumn returns the column at P.
    bool AdjustHoverColumn(TPoint P);
    TColumnIndex AdjustDownColumn(TPoint P);
    // A click at P (header coordinates) with Button: a column that allows
    // clicks and was pressed (or any with Force) becomes the click column;
    // a column's check box toggles; the tree's OnHeaderClick or
    // OnHeaderDblClick hears of it.
    virtual void HandleClick(TPoint P, TMouseButton Button, bool Force, bool DblClick);
    // The XP look of a header cell: fill, the bottom shading or the hot
    // underline or the pressed frame, and the right border.
    static void DrawXPButton(TCanvas* DC, const TRect& ButtonR, bool DrawHotStyle, bool DrawPressedStyle,
        bool ShowRightBorder);
    void DrawButtonText(TCanvas* DC, const String& Caption, TRect Bounds, bool Enabled, bool Hot,
        unsigned DrawFormat, bool WrapCaption);

    // Interaction indexes of the header (-1 while idle).
    int FHoverIndex = -1;
    int FDownIndex = -1;
    int FTrackIndex = -1;
    int FClickIndex = -1;
    int FDragIndex = -1;
    int FDropTarget = -1;
    bool FDropBefore = false;

protected:
    void Update(TCollectionItem* Item) override;
    // A joining column is placed last; a leaving one is taken out of the
    // position array and every index that pointed past it is renumbered.
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    void InitializePositionArray();

private:
    friend class TTreeGridColumn;
    friend class TTGHeader;
    void ColumnLeaving(TColumnIndex Index);
    // Index becomes the column at P; both cells repaint when it changed.
    bool GetNewIndex(TPoint P, int& Index);
    // Index of the column the auto-size rule sizes: the header's, or the last.
    TColumnIndex AutoSizeColumn() const;
    // Maps every stored column index (position array, header and tree
    // references, interaction indexes) through Map.
    template <class TMap> void RenumberColumns(TMap Map);
    void PaintHeaderCell(TCanvas* Canvas, TTreeGridColumn* Column, const TRect& Cell, bool Advanced, bool Simple,
        bool Last);
    std::unique_ptr<TBitmap> FHeaderBitmap;

    TTGHeader* FHeader;
    std::vector<int> FPositionToIndex;
    int FDefaultWidth = 50;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
};

using TTreeGridColumnsClass = TTreeGridColumns* (*)(TTreeGridColumnClass ColumnClass, TTGHeader* Header);
