#pragma once
// The header of a tree-grid control as data: its columns, height rules,
// options, main, sort and auto-size column and the fixed-area constraints.
#include <functional>
#include <memory>

#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/Classes.h"
#include "platform/Controls.h"

class TBaseTreeGrid;
class TTGHeader;
class TFont;
class TPopupMenu;
class TImageList;
class TTGDragImage;

enum THeaderHitPosition : std::uint8_t { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using THeaderHitPositions = TGSet<THeaderHitPosition, std::uint8_t>;

// What a click in the header hit.
struct TTGHeaderHitInfo {
    int X = 0;
    int Y = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    TColumnIndex Column = NoColumn;
    THeaderHitPositions HitPosition;
};
class TStream;

using TTGConstraintPercent = Byte;

class TTGFixedAreaConstraints : public TPersistent {
    VEK_DECLARE_CLASS(TTGFixedAreaConstraints, TPersistent)
public:
    explicit TTGFixedAreaConstraints(TTGHeader* AOwner) : FHeader(AOwner) {}

    TTGConstraintPercent MaxHeightPercent() const { return FMaxHeightPercent; }
    TTGConstraintPercent MaxWidthPercent() const { return FMaxWidthPercent; }
    TTGConstraintPercent MinHeightPercent() const { return FMinHeightPercent; }
    TTGConstraintPercent MinWidthPercent() const { return FMinWidthPercent; }
    void SetMaxHeightPercent(TTGConstraintPercent Value);
    void SetMaxWidthPercent(TTGConstraintPercent Value);
    void SetMinHeightPercent(TTGConstraintPercent Value);
    void SetMinWidthPercent(TTGConstraintPercent Value);
    void Assign(TPersistent* Source) override;

    std::function<void(TObject* Sender)> OnChange;

private:
    void Change();
    friend class TTGHeader;
    TTGHeader* FHeader;
    TTGConstraintPercent FMaxHeightPercent = 0;
    TTGConstraintPercent FMaxWidthPercent = 0;
    TTGConstraintPercent FMinHeightPercent = 0;
    TTGConstraintPercent FMinWidthPercent = 0;
};

constexpr TTGHeaderOptions DefaultHeaderOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};

class TTGHeader : public TPersistent {
    VEK_DECLARE_CLASS(TTGHeader, TPersistent)
public:
    explicit TTGHeader(TBaseTreeGrid* AOwner);
    ~TTGHeader() override;
    // Builds the column collection through the virtual class factory.
    void AfterConstruction() override;

    TBaseTreeGrid* Treeview() const { return FOwner; }
    TTreeGridColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TTreeGridColumns* Value) { FColumns->Assign(Value); }

    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    TTGHeaderOptions Options() const { return FOptions; }
    void SetOptions(TTGHeaderOptions Value);
    THeaderStates States() const { return FStates; }
    TTGHeaderStyle Style() const { return FStyle; }
    void SetStyle(TTGHeaderStyle Value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor Value);
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex Value);
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);
    // The header's own font; while ParentFont is set it follows the tree's.
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // The header's images; the tree is told when the list goes.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
    TTGFixedAreaConstraints* FixedAreaConstraints() const { return FFixedAreaConstraints.get(); }

    bool UseColumns() const { return FColumns->Count() > 0; }
    bool AllowFocus(TColumnIndex Column) const;
    // Resizes the columns rangeStart..rangeEnd that have all of Options by
    // ChangeBy pixels in proportion; returns the change applied.
    int ResizeColumns(int ChangeBy, TColumnIndex RangeStart, TColumnIndex RangeEnd,
        TTGColumnOptions Options = {coVisible});
    void RestoreColumns();
    void RescaleHeader();
    void UpdateSpringColumns();
    // Fits the visible, resizable columns at the display positions
    // RangeStart..RangeEnd (negative: from the first, to the last) to their
    // content.
    void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
        int RangeStart = NoColumn, int RangeEnd = NoColumn);
    // The tree recomputes its header strip and its frame.
    virtual void RecalculateHeader();
    // Repaints the header (Column -1), or a column's cell, to the header's
    // end with ExpandToBorder.
    void Invalidate(TColumnIndex Column, bool ExpandToBorder = false);
    virtual void ChangeScale(int M, int D);
    // Messages the header answers before the tree; true when consumed.
    virtual bool HandleMessage(TMessage& Message);
    // P in the tree's client coordinates (the header's rows are negative).
    virtual bool InHeader(TPoint P) const;
    // Within two pixels of the header's lower edge (the height splitter).
    virtual bool InHeaderSplitterArea(TPoint P) const;
    // Whether P (client coordinates) lies on the splitter right of a column
    // (left of it right to left) that may be resized there; the column
    // becomes the track column.
    virtual bool DetermineSplitterIndex(TPoint P);
    // The picture of a dragged column.
    TTGDragImage* DragImage() const { return FDragImage.get(); }
    TPoint TrackPoint() const { return FTrackPoint; }
    void Assign(TPersistent* Source) override;
    bool Equals(const TTGHeader& Other) const;
    // The header and its columns as a binary record; LoadFromStream reads
    // every version written so far and raises ETreeGridError on data that
    // cannot be a header.
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);

    // State flags; the painting and mouse work of later stages set the rest.
    void IncludeState(THeaderState S) { FStates.Include(S); }
    void ExcludeState(THeaderState S) { FStates.Exclude(S); }

protected:
    TPersistent* GetOwner() override;
    virtual TTreeGridColumnsClass GetColumnsClass();
    virtual void DoSetSortColumn(TColumnIndex Value);
    virtual void DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType, bool& Allowed);
    virtual void DoAfterAutoFitColumn(TColumnIndex Column);
    void FixedAreaConstraintsChanged(TObject* Sender);
    void FontChanged();
    void CopyTreeFont();
    void ReadStream(TStream& Stream, TTGHeaderOptions SavedOptions, bool& OptionsRead);

    // Width and height tracking and the double clicks on the splitters ask
    // the tree's events through these.
    virtual void DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
    virtual bool DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P);
    virtual void DoAfterColumnWidthTracking(TColumnIndex Column);
    virtual void DoBeforeHeightTracking(TShiftState Shift);
    virtual bool DoHeightTracking(TPoint& P, TShiftState Shift);
    virtual void DoAfterHeightTracking();
    virtual bool DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift);
    virtual bool DoHeightDblClickResize(TPoint& P, TShiftState Shift);
    virtual TPopupMenu* DoGetPopupMenu(TColumnIndex Column, TPoint Position);
    // Column dragging: the picture is made from the header at Start; P and
    // Start are client points.
    void PrepareDrag(TPoint P, TPoint Start);
    void DragTo(TPoint P);

private:
    // The pieces of HandleMessage; P is always a client point.
    bool HandleSetCursor(TMessage& Message);
    bool HandleMouseMove(TMessage& Message);
    bool HandleLeftButtonDown(TMessage& Message, TPoint P);
    bool HandleLeftButtonUp(TMessage& Message, TPoint P);
    bool HandleDoubleClick(TMessage& Message, TPoint P);
    bool HandleRightButtonUp(TMessage& Message, TPoint P);
    bool CancelInteraction(TMessage& Message);
    void DropColumn(TPoint ScreenPoint);
    // A splitter P lies on: the height splitter (with hoHeightResize), or a
    // column's (with hoColumnResize; the track index is set).
    bool OnHeightSplitter(TPoint P) const;
    bool OnColumnSplitter(TPoint P);
    // The header's point for client point P: y counts from the header's top.
    TPoint HeaderPoint(TPoint P) const { return {P.X, P.Y + FHeight}; }
    TPoint ClientPointOf(const TMessage& Message) const;

private:
    friend class TTreeGridColumns;
    friend class TTreeGridColumn;
    TBaseTreeGrid* FOwner;
    std::unique_ptr<TTreeGridColumns> FColumns;
    int FHeight = 17;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = false;
    bool FCopyingTreeFont = false;
    TPopupMenu* FPopupMenu = nullptr;
    TImageList* FImages = nullptr;
    TTGHeaderOptions FOptions = DefaultHeaderOptions;
    THeaderStates FStates;
    TTGHeaderStyle FStyle = hsThickButtons;
    TColor FBackground = clBtnFace;
    TColumnIndex FAutoSizeIndex = NoColumn;
    TColumnIndex FMainColumn = NoColumn;
    int FMaxHeight = 10000;
    int FMinHeight = 10;
    int FDefaultHeight = 17;
    std::unique_ptr<TTGFixedAreaConstraints> FFixedAreaConstraints;
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = sdAscending;
    int FLastWidth = 0;
    TPoint FTrackPoint;
    TPoint FTrackStart;
    TPoint FDragStart;
    std::unique_ptr<TTGDragImage> FDragImage;
};

using TTGHeaderClass = TTGHeader* (*)(TBaseTreeGrid* Owner);
