#pragma once
// Shared types of the tree-grid control: the node record, the flag sets of
// nodes, trees and options, column index values, the unit's error type and
// its assertion.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <vector>

#include "platform/Colors.h"
#include "platform/Exceptions.h"
#include "platform/Types.h"

VEK_EXCEPTION_KIND(ETreeGridError, Exception)

// Raises EAssertionFailed with the text and the unit's name. Always on, also
// in release builds: callers rely on the checks to refuse misuse.
[[noreturn]] void TreeGridAssertFailed(const char* message);
inline void TGAssert(bool condition, const char* message)
{
    if (!condition)
        TreeGridAssertFailed(message);
}
// Raises ETreeGridError with the message.
[[noreturn]] void ShowError(const String& message, int helpContext = 0);

// A small Pascal-style set over an enumeration with a fixed storage width,
// so that the node record keeps its 16-bit state field. A Shared set reads
// and writes its bits as single relaxed atomic accesses: the node states,
// which the cache worker reads while the GUI thread changes flags the walk
// does not look at (initialised, selected, measured).
template <typename E, typename Bits = std::uint32_t, bool Shared = false>
class TGSet {
public:
    constexpr TGSet() = default;
    constexpr TGSet(std::initializer_list<E> items)
    {
        for (E e : items)
            FBits |= Bit(e);
    }
    constexpr TGSet(const TGSet&) = default;
    constexpr TGSet& operator=(const TGSet& other)
    {
        Store(other.Load());
        return *this;
    }
    static constexpr TGSet FromBits(Bits bits)
    {
        TGSet s;
        s.FBits = bits;
        return s;
    }
    constexpr Bits ToBits() const { return Load(); }
    constexpr bool Contains(E e) const { return (Load() & Bit(e)) != 0; }
    constexpr bool ContainsAny(TGSet other) const { return (Load() & other.Load()) != 0; }
    constexpr bool Empty() const { return Load() == 0; }
    constexpr void Include(E e) { Store(Bits(Load() | Bit(e))); }
    constexpr void Exclude(E e) { Store(Bits(Load() & ~Bit(e))); }
    constexpr void Include(TGSet other) { Store(Bits(Load() | other.Load())); }
    constexpr void Exclude(TGSet other) { Store(Bits(Load() & ~other.Load())); }
    constexpr TGSet operator+(TGSet o) const { return FromBits(Bits(Load() | o.Load())); }
    constexpr TGSet operator-(TGSet o) const { return FromBits(Bits(Load() & ~o.Load())); }
    constexpr TGSet operator*(TGSet o) const { return FromBits(Bits(Load() & o.Load())); }
    constexpr bool operator==(const TGSet& o) const { return Load() == o.Load(); }

private:
    static constexpr Bits Bit(E e) { return Bits(Bits(1) << static_cast<unsigned>(e)); }
    constexpr Bits Load() const
    {
        if constexpr (Shared)
            if (!std::is_constant_evaluated())
                return std::atomic_ref<Bits>(const_cast<Bits&>(FBits)).load(std::memory_order_relaxed);
        return FBits;
    }
    constexpr void Store(Bits bits)
    {
        if constexpr (Shared)
            if (!std::is_constant_evaluated()) {
                std::atomic_ref<Bits>(FBits).store(bits, std::memory_order_relaxed);
                return;
            }
        FBits = bits;
    }
    Bits FBits = 0;
};

// ---- nodes ------------------------------------------------------------------

enum TGridNodeState : std::uint8_t {
    vsInitialized, vsChecking, vsCutOrCopy, vsDisabled, vsDeleting, vsExpanded, vsHasChildren,
    vsVisible, vsSelected, vsInitialUserData, vsAllChildrenHidden, vsClearing, vsMultiline,
    vsHeightMeasured, vsToggling, vsHidden
};
using TGridNodeStates = TGSet<TGridNodeState, std::uint16_t, true>;

enum TGridNodeInitState : std::uint8_t { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using TGridNodeInitStates = TGSet<TGridNodeInitState, std::uint8_t>;

enum TCheckType : std::uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState : std::uint8_t {
    csUncheckedNormal, csUncheckedPressed, csCheckedNormal, csCheckedPressed, csMixedNormal, csMixedPressed
};

// One block per node: this record, then the internal data areas, then the
// user data. Blocks come from the tree's node pool, zero-filled.
struct TGridNode {
    // A walk reads these of every node it passes; kept together in the first
    // 32 bytes, which the pool places inside one cache line.
    Cardinal ChildCount;  // children that exist
    TGridNodeStates States;
    Word NodeHeight;
    TGridNode* FirstChild;
    TGridNode* NextSibling;
    TGridNode* Parent;     // the hidden root's parent is the tree itself
    Cardinal Index;       // position among its siblings
    Byte Align;
    TCheckState CheckState;
    TCheckType CheckType;
    Byte Dummy;
    Cardinal TotalCount;   // 1 + TotalCount of every child
    Cardinal TotalHeight;  // NodeHeight + visible children's TotalHeight while expanded
    TGridNode* PrevSibling;
    TGridNode* LastChild;
};

// Internal data areas and the user data start on this boundary.
constexpr std::size_t TreeNodeAlignment = 16;
constexpr std::size_t AlignedNodeSize(std::size_t size)
{
    return (size + TreeNodeAlignment - 1) & ~(TreeNodeAlignment - 1);
}
constexpr std::size_t TreeNodeSize = AlignedNodeSize(sizeof(TGridNode));

using TNodeArray = std::vector<TGridNode*>;

enum TTGNodeAttachMode : std::uint8_t { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };

enum TChangeReason : std::uint8_t {
    crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved
};

enum TTGUpdateState : std::uint8_t { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };

enum TSortDirection : std::uint8_t { sdAscending, sdDescending };

// ---- tree states ------------------------------------------------------------

enum TTreeGridState : std::uint8_t {
    tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsClearPending, tsClipboardFlushing,
    tsCollapsing, tsCopyPending, tsCutPending, tsDrawSelPending, tsDrawSelecting, tsEditing,
    tsEditPending, tsExpanding, tsHint, tsInAnimation, tsIncrementalSearching,
    tsIncrementalSearchPending, tsIterating, tsKeyCheckPending, tsLeftButtonDown, tsLeftDblClick,
    tsMiddleButtonDown, tsMiddleDblClick, tsMouseCheckPending, tsNeedRootCountUpdate,
    tsNodeHeightTracking, tsNodeHeightTrackPending, tsOLEDragging, tsOLEDragPending, tsPainting,
    tsPopupMenuShown, tsRightButtonDown, tsRightDblClick, tsScrollPending, tsScrolling, tsSizing,
    tsStopValidation, tsStructureChangePending, tsSynchMode, tsThumbTracking,
    tsToggleFocusedSelection, tsToggling, tsUpdateHiddenChildrenNeeded, tsUpdating, tsUseCache,
    tsUseThemes, tsValidating, tsValidationNeeded, tsVCLDragging, tsVCLDragPending, tsWheelPanning,
    tsWheelScrolling, tsWindowCreating
};
using TTreeGridStates = TGSet<TTreeGridState, std::uint64_t>;

// The tree's own states as the tree keeps them: the cache worker reads the
// stop request while the GUI thread changes other flags, so every access is
// one atomic operation. The interface is the set's.
class TAtomicTreeStates {
public:
    TAtomicTreeStates() = default;
    TAtomicTreeStates(const TAtomicTreeStates&) = delete;
    TAtomicTreeStates& operator=(const TAtomicTreeStates&) = delete;
    TAtomicTreeStates& operator=(TTreeGridStates Value)
    {
        FBits.store(Value.ToBits(), std::memory_order_seq_cst);
        return *this;
    }
    operator TTreeGridStates() const { return TTreeGridStates::FromBits(FBits.load()); }

    bool Contains(TTreeGridState e) const { return TTreeGridStates(*this).Contains(e); }
    bool ContainsAny(TTreeGridStates other) const { return TTreeGridStates(*this).ContainsAny(other); }
    bool Empty() const { return FBits.load() == 0; }
    void Include(TTreeGridState e) { FBits.fetch_or(TTreeGridStates{e}.ToBits()); }
    void Exclude(TTreeGridState e) { FBits.fetch_and(~TTreeGridStates{e}.ToBits()); }
    void Include(TTreeGridStates other) { FBits.fetch_or(other.ToBits()); }
    void Exclude(TTreeGridStates other) { FBits.fetch_and(~other.ToBits()); }
    TTreeGridStates operator+(TTreeGridStates o) const { return TTreeGridStates(*this) + o; }
    TTreeGridStates operator-(TTreeGridStates o) const { return TTreeGridStates(*this) - o; }
    TTreeGridStates operator*(TTreeGridStates o) const { return TTreeGridStates(*this) * o; }

private:
    std::atomic<std::uint64_t> FBits{0};
};

// Bits of the change-state message the cache worker sends.
enum TChangeState : std::uint8_t { csStopValidation = 1, csUseCache = 2, csValidating = 4, csValidationNeeded = 8 };

// ---- options ----------------------------------------------------------------

enum TTGPaintOption : std::uint8_t {
    toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons,
    toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines,
    toThemeAware, toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines,
    toAlwaysHideSelection, toUseBlendedSelection, toStaticBackground, toChildrenAbove,
    toFixedIndent, toUseExplorerTheme, toHideTreeLinesIfThemed, toShowHiddenNodes
};
using TTGPaintOptions = TGSet<TTGPaintOption, std::uint32_t>;

enum TTGAnimationOption : std::uint8_t { toAnimatedToggle, toAdvancedAnimatedToggle };
using TTGAnimationOptions = TGSet<TTGAnimationOption, std::uint8_t>;

enum TTGAutoOption : std::uint8_t {
    toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort,
    toAutoSpanColumns, toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus, toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering
};
using TTGAutoOptions = TGSet<TTGAutoOption, std::uint16_t>;

enum TTGSelectionOption : std::uint8_t {
    toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint,
    toMiddleClickSelect, toMultiSelect, toRightClickSelect, toSiblingSelectConstraint,
    toCenterScrollIntoView, toSimpleDrawSelection
};
using TTGSelectionOptions = TGSet<TTGSelectionOption, std::uint16_t>;

enum TTGMiscOption : std::uint8_t {
    toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions,
    toInitOnSave, toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly,
    toVariableNodeHeight, toFullRowDrag, toNodeHeightResize, toNodeHeightDblClickResize,
    toEditOnClick, toEditOnDblClick
};
using TTGMiscOptions = TGSet<TTGMiscOption, std::uint16_t>;

enum TTGExportMode : std::uint8_t { emAll, emChecked, emUnchecked };

// ---- columns ----------------------------------------------------------------

using TColumnIndex = int;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;

enum TTGColumnOption : std::uint8_t {
    coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable,
    coShowDropMark, coVisible, coAutoSpring, coFixed, coSmartResize, coAllowFocus,
    coDisableAnimatedResize, coWrapCaption, coUseCaptionAlignment
};
using TTGColumnOptions = TGSet<TTGColumnOption, std::uint16_t>;
constexpr TTGColumnOptions DefaultColumnOptions{coAllowClick, coDraggable, coEnabled, coParentBidiMode,
    coParentColor, coResizable, coShowDropMark, coVisible, coAllowFocus};

enum TTreeGridColumnStyle : std::uint8_t { vsText, vsOwnerDraw };
enum TTGHeaderColumnLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TTGHeaderOption : std::uint8_t {
    hoAutoResize, hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoOwnerDraw, hoRestrictDrag,
    hoShowHint, hoShowImages, hoShowSortGlyphs, hoVisible, hoAutoSpring, hoFullRepaintOnResize,
    hoDisableAnimatedResize, hoHeightResize, hoHeightDblClickResize
};
using TTGHeaderOptions = TGSet<TTGHeaderOption, std::uint16_t>;

enum THeaderState : std::uint8_t {
    hsAutoSizing, hsDragging, hsDragPending, hsLoading, hsColumnWidthTracking,
    hsColumnWidthTrackPending, hsHeightTracking, hsHeightTrackPending, hsResizing, hsScaling,
    hsNeedScaling
};
using THeaderStates = TGSet<THeaderState, std::uint16_t>;

enum TTGHeaderStyle : std::uint8_t { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };

// ---- geometry and scrolling ---------------------------------------------------

enum THitPosition : std::uint8_t {
    hiAbove, hiBelow, hiNowhere, hiOnItem, hiOnItemButton, hiOnItemButtonExact, hiOnItemCheckbox,
    hiOnItemIndent, hiOnItemLabel, hiOnItemLeft, hiOnItemRight, hiOnNormalIcon, hiOnStateIcon, hiToLeft,
    hiToRight, hiUpperSplitter, hiLowerSplitter
};
using THitPositions = TGSet<THitPosition, std::uint32_t>;

struct THitInfo {
    TGridNode* HitNode = nullptr;
    THitPositions HitPositions;
    TColumnIndex HitColumn = NoColumn;
};

// Where the tree lines and the button sit in a row: pixels from the top,
// from the bottom, or percent of the height (the node's Align).
enum TTGNodeAlignment : std::uint8_t { naFromBottom, naFromTop, naProportional };

enum TTGImageKind : std::uint8_t { ikNormal, ikSelected, ikState, ikOverlay };

// ---- painting ----------------------------------------------------------------

// What one PaintTree call draws; a window paint asks for the first six.
enum TTGInternalPaintOption : std::uint8_t {
    poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines, poMainOnly,
    poSelectedOnly
};
using TTGInternalPaintOptions = TGSet<TTGInternalPaintOption, std::uint8_t>;
constexpr TTGInternalPaintOptions WindowPaintOptions{poBackground, poColumnColor, poDrawFocusRect, poDrawSelection,
    poDrawDropMark, poGridLines};

// One indentation level's piece of the tree lines.
enum TTGLineType : std::uint8_t {
    ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom
};
enum TTGLineStyle : std::uint8_t { lsCustomStyle, lsDotted, lsSolid };
enum TTGLineMode : std::uint8_t { lmNormal, lmBands };
enum TTGButtonStyle : std::uint8_t { bsRectangle, bsTriangle };
enum TTGButtonFillMode : std::uint8_t { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TTGDropMode : std::uint8_t { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TTGCellPaintMode : std::uint8_t { cpmPaint, cpmGetContentMargin };
enum TTGDrawSelectionMode : std::uint8_t { smDottedRectangle, smBlendedRectangle };
enum TTGImageInfoIndex : std::uint8_t { iiNormal, iiState, iiCheck, iiOverlay };

// What a change of the offsets brings along besides the new values.
enum TScrollUpdateOption : std::uint8_t { suoRepaintHeader, suoRepaintScrollBars, suoScrollClientArea, suoUpdateNCArea };
using TScrollUpdateOptions = TGSet<TScrollUpdateOption, std::uint8_t>;
constexpr TScrollUpdateOptions DefaultScrollUpdateFlags{suoRepaintHeader, suoRepaintScrollBars, suoScrollClientArea,
    suoUpdateNCArea};

// Directions of the automatic scrolling while dragging or panning.
enum TScrollDirection : std::uint8_t { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TGSet<TScrollDirection, std::uint8_t>;

enum TSmartAutoFitType : std::uint8_t { smaAllColumns, smaNoColumn, smaUseColumnOption };

enum TTGCellContentMarginType : std::uint8_t { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };

enum TItemEraseAction : std::uint8_t { eaColor, eaDefault, eaNone };

// Identifiers of the tree's window timers.
constexpr int ExpandTimer = 1;
constexpr int EditTimer = 2;
constexpr int HeaderTimer = 3;
constexpr int ScrollTimer = 4;
constexpr int ChangeTimer = 5;
constexpr int StructureChangeTimer = 6;
constexpr int SearchTimer = 7;

// The tree-view queries a tree answers (TVM_GETITEM, TVM_GETITEMRECT,
// TVM_GETNEXTITEM): which fields to fill, the item's states and the walks.
constexpr unsigned TVIF_TEXT = 0x0001;
constexpr unsigned TVIF_IMAGE = 0x0002;
constexpr unsigned TVIF_PARAM = 0x0004;
constexpr unsigned TVIF_STATE = 0x0008;
constexpr unsigned TVIF_HANDLE = 0x0010;
constexpr unsigned TVIF_SELECTEDIMAGE = 0x0020;
constexpr unsigned TVIF_CHILDREN = 0x0040;
constexpr unsigned TVIS_SELECTED = 0x0002;
constexpr unsigned TVIS_CUT = 0x0004;
constexpr unsigned TVIS_DROPHILITED = 0x0008;
constexpr unsigned TVIS_EXPANDED = 0x0020;
constexpr unsigned TVGN_ROOT = 0x0000;
constexpr unsigned TVGN_NEXT = 0x0001;
constexpr unsigned TVGN_PREVIOUS = 0x0002;
constexpr unsigned TVGN_PARENT = 0x0003;
constexpr unsigned TVGN_CHILD = 0x0004;
constexpr unsigned TVGN_FIRSTVISIBLE = 0x0005;
constexpr unsigned TVGN_NEXTVISIBLE = 0x0006;
constexpr unsigned TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr unsigned TVGN_DROPHILITE = 0x0008;
constexpr unsigned TVGN_CARET = 0x0009;
constexpr unsigned TVGN_LASTVISIBLE = 0x000A;

struct TTVItem {
    unsigned mask = 0;
    TGridNode* hItem = nullptr;
    unsigned state = 0;
    unsigned stateMask = 0;
    String Text;
    int iImage = -1;
    int iSelectedImage = -1;
    int cChildren = 0;
};

// TVM_GETITEMRECT: the item asked for and the rectangle answered.
struct TTVItemRect {
    TGridNode* Item = nullptr;
    TRect Rect;
};
