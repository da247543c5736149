#pragma once
// Shared types of the tree-grid control: the node record, the flag sets of
// nodes, trees and options, column index values, the unit's error type and
// its assertion.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
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
// so that the node record keeps its 16-bit state field.
template <typename E, typename Bits = std::uint32_t>
class TGSet {
public:
    constexpr TGSet() = default;
    constexpr TGSet(std::initializer_list<E> items)
    {
        for (E e : items)
            FBits |= Bit(e);
    }
    static constexpr TGSet FromBits(Bits bits)
    {
        TGSet s;
        s.FBits = bits;
        return s;
    }
    constexpr Bits ToBits() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool ContainsAny(TGSet other) const { return (FBits & other.FBits) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E e) { FBits = Bits(FBits | Bit(e)); }
    constexpr void Exclude(E e) { FBits = Bits(FBits & ~Bit(e)); }
    constexpr void Include(TGSet other) { FBits = Bits(FBits | other.FBits); }
    constexpr void Exclude(TGSet other) { FBits = Bits(FBits & ~other.FBits); }
    constexpr TGSet operator+(TGSet o) const { return FromBits(Bits(FBits | o.FBits)); }
    constexpr TGSet operator-(TGSet o) const { return FromBits(Bits(FBits & ~o.FBits)); }
    constexpr TGSet operator*(TGSet o) const { return FromBits(Bits(FBits & o.FBits)); }
    constexpr bool operator==(const TGSet&) const = default;

private:
    static constexpr Bits Bit(E e) { return Bits(Bits(1) << static_cast<unsigned>(e)); }
    Bits FBits = 0;
};

// ---- nodes ------------------------------------------------------------------

enum TGridNodeState : std::uint8_t {
    vsInitialized, vsChecking, vsCutOrCopy, vsDisabled, vsDeleting, vsExpanded, vsHasChildren,
    vsVisible, vsSelected, vsInitialUserData, vsAllChildrenHidden, vsClearing, vsMultiline,
    vsHeightMeasured, vsToggling, vsHidden
};
using TGridNodeStates = TGSet<TGridNodeState, std::uint16_t>;

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
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

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
