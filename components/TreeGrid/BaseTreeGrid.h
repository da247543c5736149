#pragma once
// TBaseTreeGrid: the tree-grid control's node store and its headless core.
// Rows are fixed-size node blocks the tree allocates itself; the application
// asks for counts, is called back to initialise nodes when they are first
// touched, and keeps its own record in each node's data area. Counts, heights
// and the visible count are kept incrementally along the parent chain.
//
// Nothing here needs a window: the control creates its widget only when it is
// shown, so every "with a window" step is skipped while HandleAllocated() is
// false. Painting, scrolling and input hook in through the virtual members
// marked as hooks below, which do nothing yet.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "components/TreeGrid/NodePool.h"
#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridControl.h"
#include "components/TreeGrid/TreeGridDataObject.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "components/TreeGrid/TreeGridImages.h"
#include "components/TreeGrid/TreeGridInput.h"
#include "components/TreeGrid/TreeGridOptions.h"
#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/Graphics.h"
#include "platform/Clipbrd.h"
#include "platform/ExtCtrls.h"
#include "platform/Streams.h"

class TCanvas;
class TImageList;
class TPopupMenu;
class TBaseTreeGrid;
struct TTGHeaderHitInfo;

using TTGInitNodeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* ParentNode, TGridNode* Node,
    TGridNodeInitStates& InitialStates)>;
using TTGInitChildrenEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, Cardinal& ChildCount)>;
using TTGNodeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node)>;
using TTGMeasureItemEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    int& NodeHeight)>;
using TTGGetNodeDataSizeEvent = std::function<void(TBaseTreeGrid* Sender, int& NodeDataSize)>;
// The data object a drag hands over; the tree makes one when the handler leaves it null.
using TTGCreateDataObjectEvent = std::function<void(TBaseTreeGrid* Sender, IDataObjectPtr& DataObject)>;
// Formats of the owner's own that a data object of the tree offers besides the tree's.
using TTGGetUserClipboardFormatsEvent = std::function<void(TBaseTreeGrid* Sender, std::vector<TFormatEtc>& Formats)>;
// The standard edit commands a tree carries out.
enum TTGEditAction : std::uint8_t { ecSelectAll, ecCopy, ecCut, ecPaste, ecDelete };
// Asked while a drag moves over the tree: Accept says whether a drop here
// would be taken, Effect which of the offered effects.
using TTGDragOverEvent = std::function<void(TBaseTreeGrid* Sender, TBaseTreeGrid* Source, TShiftState Shift,
    TDragState State, TPoint Pt, TTGDropMode Mode, int& Effect, bool& Accept)>;
// The drop: the handler takes what it wants of DataObject (ProcessOLEData
// inserts its rows) and answers the effect it carried out.
using TTGDragDropEvent = std::function<void(TBaseTreeGrid* Sender, TBaseTreeGrid* Source,
    const IDataObjectPtr& DataObject, const std::vector<TFormatEtc>& Formats, TShiftState Shift, TPoint Pt,
    int& Effect, TTGDropMode Mode)>;
using TTGDragAllowedEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    bool& Allowed)>;
// Writes or reads the application's part of a node in the node stream.
using TTGSaveNodeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TStream& Stream)>;
using TTGNodeMovingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TGridNode* Target,
    bool& Allowed)>;
using TTGStructureChangeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TChangeReason Reason)>;
using TTGChangingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, bool& Allowed)>;
using TTGFocusChangingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* OldNode, TGridNode* NewNode,
    TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TTGFocusChangeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column)>;
using TTGCompareEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node1, TGridNode* Node2,
    TColumnIndex Column, int& Result)>;
using TTGUpdatingEvent = std::function<void(TBaseTreeGrid* Sender, TTGUpdateState State)>;
using TTGStateChangeEvent = std::function<void(TBaseTreeGrid* Sender, TTreeGridStates Enter, TTreeGridStates Leave)>;
using TTGColumnResizeEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column)>;
// One step of an animation; false stops it. The last call has step and size 0.
using TTGAnimationCallback = std::function<bool(Cardinal Step, Cardinal StepSize, void* Data)>;
using TTGScrollEvent = std::function<void(TBaseTreeGrid* Sender, int DeltaX, int DeltaY)>;
using TTGScrollBarShowEvent = std::function<void(TBaseTreeGrid* Sender, int Bar, bool Show)>;
using TTGColumnClickEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column, TShiftState Shift)>;
using TTGHeaderClickEvent = std::function<void(TBaseTreeGrid* Sender, const TTGHeaderHitInfo& HitInfo)>;
using TTGHeaderDraggedEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column, int OldPosition)>;
using TTGHeaderDraggedOutEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column,
    const TPoint& DropPosition)>;
using TTGHeaderDraggingEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column, bool& Allowed)>;
using TTGHeaderMouseEvent = std::function<void(TBaseTreeGrid* Sender, TMouseButton Button, TShiftState Shift,
    int X, int Y)>;
using TTGHeaderMouseMoveEvent = std::function<void(TBaseTreeGrid* Sender, TShiftState Shift, int X, int Y)>;
using TTGGetHeaderCursorEvent = std::function<void(TBaseTreeGrid* Sender, TCursor& Cursor)>;
using TTGHotNodeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* OldNode, TGridNode* NewNode)>;
using TTGNodeHeightDblClickResizeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node,
    TColumnIndex Column, TShiftState Shift, TPoint P, bool& Allowed)>;
using TTGNodeHeightTrackingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    TShiftState Shift, TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TTGPopupEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column, TPoint P,
    bool& AskParent, TPopupMenu*& PopupMenu)>;
using TTGBeforeItemEraseEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    const TRect& ItemRect, TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TTGAfterItemEraseEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    const TRect& ItemRect)>;
using TTGBeforeGetMaxColumnWidthEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column,
    bool& UseSmartColumnWidth)>;
using TTGAfterGetMaxColumnWidthEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column, int& MaxWidth)>;
using TTGBeforeAutoFitColumnsEvent = std::function<void(TTGHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>;
using TTGAfterAutoFitColumnsEvent = std::function<void(TTGHeader* Sender)>;
using TTGBeforeAutoFitColumnEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column,
    TSmartAutoFitType& SmartAutoFitType, bool& Allowed)>;
using TTGAfterAutoFitColumnEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column)>;
// Width and height tracking in the header; the tracking events may refuse a step.
using TTGColumnWidthTrackingNoticeEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column,
    TShiftState Shift)>;
using TTGColumnWidthTrackingEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column, TShiftState Shift,
    TPoint& TrackPoint, TPoint P, bool& Allowed)>;
using TTGHeaderColumnEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column)>;
using TTGHeaderHeightTrackingNoticeEvent = std::function<void(TTGHeader* Sender, TShiftState Shift)>;
using TTGHeaderHeightTrackingEvent = std::function<void(TTGHeader* Sender, TPoint& P, TShiftState Shift,
    bool& Allowed)>;
using TTGHeaderNotifyEvent = std::function<void(TTGHeader* Sender)>;
using TTGColumnWidthDblClickResizeEvent = std::function<void(TTGHeader* Sender, TColumnIndex Column,
    TShiftState Shift, TPoint P, bool& Allowed)>;
using TTGHeaderHeightDblClickResizeEvent = std::function<void(TTGHeader* Sender, TPoint& P, TShiftState Shift,
    bool& Allowed)>;
using TTGCanSplitterResizeColumnEvent = std::function<void(TTGHeader* Sender, TPoint P, TColumnIndex Column,
    bool& Allowed)>;

using TTGPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas)>;
using TTGBeforeItemPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    const TRect& ItemRect, bool& CustomDraw)>;
using TTGAfterItemPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    const TRect& ItemRect)>;
using TTGBeforeCellPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, TTGCellPaintMode CellPaintMode, const TRect& CellRect, TRect& ContentRect)>;
using TTGAfterCellPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, TGridNode* Node,
    TColumnIndex Column, const TRect& CellRect)>;
using TTGBackgroundPaintEvent = std::function<void(TBaseTreeGrid* Sender, TCanvas* TargetCanvas, const TRect& R,
    bool& Handled)>;
using TTGHeaderPaintEvent = std::function<void(TTGHeader* Sender, TCanvas* HeaderCanvas, TTreeGridColumn* Column,
    const TRect& R, bool Hover, bool Pressed, TTGDropMarkMode DropMark)>;
using TTGHeaderPaintQueryElementsEvent = std::function<void(TTGHeader* Sender, THeaderPaintInfo& PaintInfo,
    THeaderPaintElements& Elements)>;
using TTGAdvancedHeaderPaintEvent = std::function<void(TTGHeader* Sender, THeaderPaintInfo& PaintInfo,
    THeaderPaintElements Elements)>;
using TTGGetLineStyleEvent = std::function<void(TBaseTreeGrid* Sender, std::array<Byte, 8>& Bits)>;
// A key before the tree acts on it: the handler may change it or clear DoDefault.
using TTGKeyActionEvent = std::function<void(TBaseTreeGrid* Sender, Word& CharCode, TShiftState& Shift,
    bool& DoDefault)>;
using TTGHelpContextEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    int& HelpContext)>;
using TTGCheckChangingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TCheckState& NewState,
    bool& Allowed)>;
using TTGEditChangingEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    bool& Allowed)>;
using TTGEditChangeEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column)>;
using TTGEditCancelEvent = std::function<void(TBaseTreeGrid* Sender, TColumnIndex Column)>;
using TTGCreateEditorEvent = std::function<void(TBaseTreeGrid* Sender, TGridNode* Node, TColumnIndex Column,
    ITGEditLinkPtr& EditLink)>;
using TTGGetCursorEvent = std::function<void(TBaseTreeGrid* Sender, TCursor& Cursor)>;

struct TTGImageInfo {
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    bool Ghosted = false;
    TImageList* Images = nullptr;
};

// What every step of painting one cell works with. Rectangles are in the
// row bitmap's coordinates: tree x, and y from the row's top.
struct TTGPaintInfo {
    TCanvas* Canvas = nullptr;
    TTGInternalPaintOptions PaintOptions;
    TGridNode* Node = nullptr;
    TColumnIndex Column = NoColumn;
    Cardinal Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TAlignment CaptionAlignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TPoint BrushOrigin;
    TTGImageInfo ImageInfo[4];
};

class TBaseTreeGrid : public TCustomControl {
    VEK_DECLARE_CLASS(TBaseTreeGrid, TCustomControl)
public:
    using TControl::SetVisible;
    explicit TBaseTreeGrid(TComponent* AOwner = nullptr);
    ~TBaseTreeGrid() override;
    // Creates the options, header and columns through the class factories
    // and then the hidden root. Create<T>(owner) runs it.
    void AfterConstruction() override;

    // ---- events ----
    TTGSaveNodeEvent OnSaveNode;
    // Reads from a stream holding exactly what OnSaveNode wrote for the node.
    TTGSaveNodeEvent OnLoadNode;
    // A node arrived from a stream; nil after a whole tree was loaded.
    TTGNodeEvent OnNodeCopied;
    TTGCreateDataObjectEvent OnCreateDataObject;
    // Drag and drop of rows; these replace the control's own drag events.
    TTGDragOverEvent OnDragOver;
    TTGDragDropEvent OnDragDrop;
    TTGDragAllowedEvent OnDragAllowed;
    TTGGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TTGInitNodeEvent OnInitNode;
    TTGInitChildrenEvent OnInitChildren;
    TTGNodeEvent OnFreeNode;
    TTGMeasureItemEvent OnMeasureItem;
    TTGGetNodeDataSizeEvent OnGetNodeDataSize;
    TTGNodeEvent OnResetNode;
    TTGNodeMovingEvent OnNodeMoving;
    TTGNodeEvent OnNodeMoved;
    TTGStructureChangeEvent OnStructureChange;
    TTGNodeEvent OnChange;
    TTGChangingEvent OnExpanding;
    TTGNodeEvent OnExpanded;
    TTGChangingEvent OnCollapsing;
    TTGNodeEvent OnCollapsed;
    TTGFocusChangingEvent OnFocusChanging;
    TTGFocusChangeEvent OnFocusChanged;
    TTGCompareEvent OnCompareNodes;
    TTGUpdatingEvent OnUpdating;
    TTGStateChangeEvent OnStateChange;
    TTGColumnResizeEvent OnColumnResize;
    TTGScrollEvent OnScroll;
    TTGScrollBarShowEvent OnShowScrollbar;
    TTGColumnClickEvent OnColumnClick;
    TTGColumnClickEvent OnColumnDblClick;
    TTGHeaderClickEvent OnHeaderClick;
    TTGHeaderClickEvent OnHeaderDblClick;
    TTGHeaderDraggedEvent OnHeaderDragged;
    TTGHeaderDraggedOutEvent OnHeaderDraggedOut;
    TTGHeaderDraggingEvent OnHeaderDragging;
    TTGHeaderMouseEvent OnHeaderMouseDown;
    TTGHeaderMouseMoveEvent OnHeaderMouseMove;
    TTGHeaderMouseEvent OnHeaderMouseUp;
    TTGGetHeaderCursorEvent OnGetHeaderCursor;
    TTGHotNodeEvent OnHotChange;
    TTGNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
    TTGNodeHeightTrackingEvent OnNodeHeightTracking;
    TTGPopupEvent OnGetPopupMenu;
    TTGBeforeItemEraseEvent OnBeforeItemErase;
    TTGAfterItemEraseEvent OnAfterItemErase;
    TTGBeforeGetMaxColumnWidthEvent OnBeforeGetMaxColumnWidth;
    TTGAfterGetMaxColumnWidthEvent OnAfterGetMaxColumnWidth;
    TTGBeforeAutoFitColumnsEvent OnBeforeAutoFitColumns;
    TTGAfterAutoFitColumnsEvent OnAfterAutoFitColumns;
    TTGBeforeAutoFitColumnEvent OnBeforeAutoFitColumn;
    TTGAfterAutoFitColumnEvent OnAfterAutoFitColumn;
    TTGColumnWidthTrackingNoticeEvent OnBeforeColumnWidthTracking;
    TTGColumnWidthTrackingEvent OnColumnWidthTracking;
    TTGHeaderColumnEvent OnAfterColumnWidthTracking;
    TTGHeaderHeightTrackingNoticeEvent OnBeforeHeaderHeightTracking;
    TTGHeaderHeightTrackingEvent OnHeaderHeightTracking;
    TTGHeaderNotifyEvent OnAfterHeaderHeightTracking;
    TTGColumnWidthDblClickResizeEvent OnColumnWidthDblClickResize;
    TTGHeaderHeightDblClickResizeEvent OnHeaderHeightDblClickResize;
    TTGCanSplitterResizeColumnEvent OnCanSplitterResizeColumn;

    TTGPaintEvent OnBeforePaint;
    TTGPaintEvent OnAfterPaint;
    // A true CustomDraw: the owner painted the row; the tree adds nothing.
    TTGBeforeItemPaintEvent OnBeforeItemPaint;
    TTGAfterItemPaintEvent OnAfterItemPaint;
    TTGBeforeCellPaintEvent OnBeforeCellPaint;
    TTGAfterCellPaintEvent OnAfterCellPaint;
    TTGBackgroundPaintEvent OnPaintBackground;
    TTGGetLineStyleEvent OnGetLineStyle;
    // Simple owner drawing of vsOwnerDraw header cells.
    TTGHeaderPaintEvent OnHeaderDraw;
    // Advanced owner drawing: the query names the elements the owner paints.
    TTGHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TTGAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;

    // ---- input, checks and editing ----
    TTGKeyActionEvent OnKeyAction;
    TTGHelpContextEvent OnGetHelpContext;
    TTGCheckChangingEvent OnChecking;
    TTGNodeEvent OnChecked;
    TTGEditChangingEvent OnEditing;
    TTGEditChangeEvent OnEdited;
    TTGEditCancelEvent OnEditCancelled;
    TTGCreateEditorEvent OnCreateEditor;
    TTGGetCursorEvent OnGetCursor;

    // ---- owned parts ----
    TTGHeader* Header() const { return FHeader.get(); }
    TCustomTreeGridOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(TCustomTreeGridOptions* Value) { FOptions->Assign(Value); }
    TTGColors* Colors() const { return FColors.get(); }
    TScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    TTreeGridStates TreeStates() const { return FStates; }

    // ---- node store ----
    TGridNode* RootNode() const { return FRoot; }
    Cardinal RootNodeCount() const { return FRoot ? FRoot->ChildCount : 0; }
    void SetRootNodeCount(Cardinal Value);
    Cardinal ChildCount(TGridNode* Node) const;
    void SetChildCount(TGridNode* Node, Cardinal NewChildCount);
    Cardinal NodeHeight(TGridNode* Node);
    void SetNodeHeight(TGridNode* Node, Cardinal Value);
    Cardinal DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(Cardinal Value);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    // Validates the whole tree first, so every node is initialised.
    Cardinal TotalCount();
    Cardinal VisibleCount() const { return FVisibleCount; }
    Cardinal GetNodeLevel(TGridNode* Node) const;
    bool HasAsParent(TGridNode* Node, TGridNode* PotentialParent) const;
    void* GetNodeData(TGridNode* Node) const;
    template <typename T>
    T* GetNodeData(TGridNode* Node) const
    {
        return static_cast<T*>(GetNodeData(Node));
    }

    TGridNode* AddChild(TGridNode* Parent, void* UserData = nullptr);
    void DeleteNode(TGridNode* Node, bool Reindex = true);
    void DeleteChildren(TGridNode* Node, bool ResetHasChildren = false);
    void DeleteSelectedNodes();
    virtual void Clear();
    void ValidateNode(TGridNode* Node, bool Recursive);
    void ValidateChildren(TGridNode* Node, bool Recursive);
    virtual void ReinitNode(TGridNode* Node, bool Recursive);
    void ReinitChildren(TGridNode* Node, bool Recursive);
    void ResetNode(TGridNode* Node);
    // Moves within this tree, or (Target in another tree) copies through the
    // node stream and deletes the source.
    void MoveTo(TGridNode* Source, TGridNode* Target, TTGNodeAttachMode Mode, bool ChildrenOnly);

    // ---- node streams (TreeGridStreams.cpp) ----
    // The whole tree, or Node with its subtree.
    void SaveToStream(TStream& Stream, TGridNode* Node = nullptr);
    // Replaces the nodes by the stream's; a stream that is not a node stream
    // leaves the tree as it is. Bad data raises ETreeGridError and keeps the
    // nodes read so far.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const String& FileName);

    // ---- clipboard (TreeGridClipboard.cpp) ----
    // Puts the selected rows on the clipboard; they stay marked as the
    // cut or copy set until another owner takes the clipboard. Nothing
    // happens without a selection.
    virtual void CopyToClipBoard();
    // The same, marking them to go once a paste took them (not under toReadOnly).
    virtual void CutToClipBoard();
    // Inserts the rows of the clipboard's node stream at the focused node;
    // false when nothing was inserted.
    virtual bool PasteFromClipboard();
    // Unmarks the cut or copy set; FinishCutOrCopy deletes a cut set.
    void CancelCutOrCopy();
    void FinishCutOrCopy();
    TGridNode* GetFirstCutCopy();
    TGridNode* GetNextCutCopy(TGridNode* Node);
    // The nodes marked for cut or copy in tree order (Resolve: without those
    // below another marked one).
    TNodeArray GetSortedCutCopySet(bool Resolve) const;
    // Inserts the nodes of DataObject's node stream as new nodes at
    // TargetNode. Nodes never arrive into a tree whose user data they could
    // not bring along (user data without OnLoadNode): false then.
    virtual bool ProcessOLEData(TBaseTreeGrid* Source, const IDataObjectPtr& DataObject, TGridNode* TargetNode,
        TTGNodeAttachMode Mode, bool Optimized);
    // Renders Format for one of the tree's data objects.
    virtual HRESULT RenderOLEData(const TFormatEtc& FormatEtcIn, TStream& Medium, bool ForClipboard);
    // The formats of the format list the tree offers: those named in
    // ClipboardFormats, or every one the tree can render while it names none.
    virtual void GetNativeClipboardFormats(std::vector<TFormatEtc>& Formats);
    TClipboardFormats* ClipboardFormats() const { return FClipboardFormats.get(); }
    // Select all, copy and (not under toReadOnly) cut, paste, delete; false
    // for what the tree does not take.
    virtual bool ExecuteAction(TTGEditAction Action);
    // The tree's number among the live trees.
    Cardinal TreeNumber() const { return FTreeNumber; }
    // A clipboard data object of the tree goes: while it was the tree's
    // clipboard content the cut or copy ends.
    void ClipboardDataObjectGone(const IDataObject* DataObject);
    // Renders the tree's clipboard content for good while the tree can, so
    // that it outlives the tree.
    void FlushClipboard();

    // ---- navigation ----
    TGridNode* GetFirst(bool ConsiderChildrenAbove = false);
    TGridNode* GetFirstNoInit(bool ConsiderChildrenAbove = false) const;
    TGridNode* GetLast(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = false);
    TGridNode* GetLastNoInit(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = false) const;
    TGridNode* GetNext(TGridNode* Node, bool ConsiderChildrenAbove = false);
    TGridNode* GetNextNoInit(TGridNode* Node, bool ConsiderChildrenAbove = false) const;
    TGridNode* GetPrevious(TGridNode* Node, bool ConsiderChildrenAbove = false);
    TGridNode* GetPreviousNoInit(TGridNode* Node, bool ConsiderChildrenAbove = false) const;
    TGridNode* GetFirstChild(TGridNode* Node);
    TGridNode* GetFirstChildNoInit(TGridNode* Node) const;
    TGridNode* GetLastChild(TGridNode* Node);
    TGridNode* GetLastChildNoInit(TGridNode* Node) const;
    TGridNode* GetNextSibling(TGridNode* Node);
    TGridNode* GetNextSiblingNoInit(TGridNode* Node) const;
    TGridNode* GetPreviousSibling(TGridNode* Node);
    TGridNode* GetPreviousSiblingNoInit(TGridNode* Node) const;
    TGridNode* GetFirstVisible(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    TGridNode* GetFirstVisibleNoInit(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = true,
        bool IncludeFiltered = false) const;
    TGridNode* GetNextVisible(TGridNode* Node, bool ConsiderChildrenAbove = true);
    TGridNode* GetNextVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove = true) const;
    TGridNode* GetPreviousVisible(TGridNode* Node, bool ConsiderChildrenAbove = true);
    TGridNode* GetPreviousVisibleNoInit(TGridNode* Node, bool ConsiderChildrenAbove = true) const;
    TGridNode* GetLastVisible(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    TGridNode* GetLastVisibleNoInit(TGridNode* Node = nullptr, bool ConsiderChildrenAbove = true,
        bool IncludeFiltered = false) const;
    TGridNode* GetFirstVisibleChild(TGridNode* Node, bool IncludeFiltered = false);
    TGridNode* GetFirstVisibleChildNoInit(TGridNode* Node, bool IncludeFiltered = false) const;
    TGridNode* GetLastVisibleChild(TGridNode* Node, bool IncludeFiltered = false);
    TGridNode* GetLastVisibleChildNoInit(TGridNode* Node, bool IncludeFiltered = false) const;
    TGridNode* GetNextVisibleSibling(TGridNode* Node, bool IncludeFiltered = false);
    TGridNode* GetNextVisibleSiblingNoInit(TGridNode* Node, bool IncludeFiltered = false) const;
    TGridNode* GetPreviousVisibleSibling(TGridNode* Node, bool IncludeFiltered = false);
    TGridNode* GetPreviousVisibleSiblingNoInit(TGridNode* Node, bool IncludeFiltered = false) const;
    TGridNode* GetFirstInitialized() const;
    TGridNode* GetNextInitialized(TGridNode* Node) const;
    TGridNode* GetVisibleParent(TGridNode* Node, bool IncludeFiltered = false) const;
    bool HasVisibleNextSibling(TGridNode* Node) const;
    bool HasVisiblePreviousSibling(TGridNode* Node) const;
    bool IsFirstVisibleChild(TGridNode* Parent, TGridNode* Node) const;
    bool IsLastVisibleChild(TGridNode* Parent, TGridNode* Node) const;
    Cardinal CountVisibleChildren(TGridNode* Node) const;
    int CountLevelDifference(TGridNode* Node1, TGridNode* Node2) const;
    // Negative when Node1 comes first in tree order, 0 for the same node.
    int CompareNodePositions(TGridNode* Node1, TGridNode* Node2, bool ConsiderChildrenAbove = false) const;
    bool IsEffectivelyHidden(TGridNode* Node) const;
    bool IsEffectivelyVisible(TGridNode* Node) const;
    bool FullyVisible(TGridNode* Node) const;
    bool GetVisiblePath(TGridNode* Node) const;
    bool IsVisible(TGridNode* Node);
    void SetVisible(TGridNode* Node, bool Value);
    bool IsHidden(TGridNode* Node) const { return Node && Node->States.Contains(vsHidden); }
    void SetHidden(TGridNode* Node, bool Value);
    bool Expanded(TGridNode* Node) const { return Node && Node->States.Contains(vsExpanded); }
    void SetExpanded(TGridNode* Node, bool Value);
    bool HasChildren(TGridNode* Node) const;
    void SetHasChildren(TGridNode* Node, bool Value);
    bool IsDisabled(TGridNode* Node) const { return Node && Node->States.Contains(vsDisabled); }
    void SetDisabled(TGridNode* Node, bool Value);
    virtual void ToggleNode(TGridNode* Node);
    void FullExpand(TGridNode* Node = nullptr);
    void FullCollapse(TGridNode* Node = nullptr);
    // The node whose row covers Y (tree coordinates unless Relative); nil below the last row.
    TGridNode* GetNodeAt(int X, int Y);
    TGridNode* GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    // The node at the client area's top and at its last pixel row; setting
    // one expands its ancestors and scrolls it there.
    TGridNode* TopNode();
    void SetTopNode(TGridNode* Node);
    TGridNode* BottomNode();
    void SetBottomNode(TGridNode* Node);
    void DetermineHiddenChildrenFlag(TGridNode* Node);
    void DetermineHiddenChildrenFlagAllNodes();

    // ---- selection and focus ----
    bool Selected(TGridNode* Node) const { return Node && Node->States.Contains(vsSelected); }
    void SetSelected(TGridNode* Node, bool Value);
    // Entries of nodes taken out during an update are not counted.
    int SelectedCount() const { return FSelectionCount - FSelectionMarks; }
    TGridNode* GetFirstSelected();
    TGridNode* GetNextSelected(TGridNode* Node);
    TNodeArray GetSortedSelection(bool Resolve) const;
    // The nodes in State in tree order (Resolve: without those below another
    // such node); Expected reserves room.
    TNodeArray NodesInState(TGridNodeState State, bool Resolve, std::size_t Expected) const;
    void AddToSelection(TGridNode* Node);
    void AddToSelection(TGridNode* const* NewItems, int NewLength, bool ForceInsert = false);
    void RemoveFromSelection(TGridNode* Node);
    void ClearSelection();
    void SelectAll(bool VisibleOnly);
    void SelectNodes(TGridNode* StartNode, TGridNode* EndNode, bool AddOnly);
    void ToggleSelection(TGridNode* StartNode, TGridNode* EndNode);
    void UnselectNodes(TGridNode* StartNode, TGridNode* EndNode);
    bool SelectionLocked() const { return FSelectionLocked; }
    void SetSelectionLocked(bool Value) { FSelectionLocked = Value; }
    TGridNode* RangeAnchor() const { return FRangeAnchor; }
    TGridNode* FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(TGridNode* Value);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    void SetFocusedNodeAndColumn(TGridNode* Node, TColumnIndex Column);

    // ---- sorting ----
    virtual void Sort(TGridNode* Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);

    // ---- update brackets and notices ----
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value) { FChangeDelay = Value; }

    // ---- appearance values kept as data ----
    Cardinal Indent() const { return FIndent; }
    void SetIndent(Cardinal Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value) { FTextMargin = Value; }
    TTGNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TTGNodeAttachMode Value) { FDefaultPasteMode = Value; }
    Cardinal AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(Cardinal Value) { FAutoExpandDelay = Value; }
    // The largest picture a drag of rows shows.
    int DragWidth() const { return FDragWidth; }
    int DragHeight() const { return FDragHeight; }
    void SetDragWidth(int Value) { FDragWidth = std::max(Value, 0); }
    void SetDragHeight(int Value) { FDragHeight = std::max(Value, 0); }

    // ---- drag and drop (TreeGridDragDrop.cpp) ----
    using TCustomControl::DragDrop;
    using TCustomControl::DragOver;
    // The drop target the tree registers under toAcceptOLEDrop.
    TTGDragManager* DragManager();
    // Registers or revokes the tree's drop target as toAcceptOLEDrop says,
    // once the tree has a window.
    void UpdateDropTarget();
    // The steps of a drag over the tree, points on the screen; Effect comes
    // with the effects the source offers and leaves with the drop's.
    HRESULT DragEnter(int KeyState, TPoint Pt, int& Effect);
    HRESULT DragOver(TBaseTreeGrid* Source, int KeyState, TDragState State, TPoint Pt, int& Effect);
    void DragLeave();
    HRESULT DragDrop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect);
    // Ends a drag over the tree: no drop target, no drop mark, no timers.
    void EndDropTarget();
    // Whether a drag may start at Node (manual drag mode: OnDragAllowed, no
    // handler: no drag).
    virtual bool DoBeforeDrag(TGridNode* Node, TColumnIndex Column);
    // Runs a drag of the selected rows from P (client point) to its end;
    // after a move the dragged rows go.
    void DoDragging(TPoint P);
    // The picture a drag from P (client point) shows: the selected rows
    // around P as they look, at most DragWidth x DragHeight, transparent
    // where rows between them are not dragged. HotSpot: P on it. Null when
    // no selected row lies there.
    std::unique_ptr<TBitmap> MakeDragPicture(TPoint P, TPoint& HotSpot);
    Cardinal AutoScrollDelay() const { return FAutoScrollDelay; }
    Cardinal AutoScrollInterval() const { return FAutoScrollInterval; }
    Cardinal EditDelay() const { return FEditDelay; }
    Cardinal AnimationDuration() const { return FAnimationDuration; }
    // A duration other than 0 switches the toggle animation on, 0 off.
    void SetAnimationDuration(Cardinal Value);
    Cardinal SearchTimeout() const { return FSearchTimeout; }
    Byte SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetAutoScrollDelay(Cardinal Value) { FAutoScrollDelay = Value; }
    void SetAutoScrollInterval(Cardinal Value) { FAutoScrollInterval = Value; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }

    // ---- offsets, ranges and scrolling (TreeGridScrolling.cpp) ----
    // The tree coordinate shown at the client's left/top is -Offset.
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    TPoint OffsetXY() const { return {FOffsetX, FOffsetY}; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    void SetOffsetXY(TPoint Value);
    // Clamps and stores both offsets and moves the picture along; true when
    // anything moved. ClipRect limits the scrolled area (client coordinates).
    bool DoSetOffsetXY(TPoint Value, TScrollUpdateOptions Options, const TRect* ClipRect = nullptr);
    // The horizontal offset as painting uses it (mirrored right to left).
    int EffectiveOffsetX() const { return FEffectiveOffsetX; }
    Cardinal RangeX() const { return FRangeX; }
    Cardinal RangeY() const { return FRangeY; }
    Cardinal BottomSpace() const { return FBottomSpace; }
    void SetBottomSpace(Cardinal Value);
    bool ScrollIntoView(TColumnIndex Column, bool Center);
    // Long operations a user can cancel (content export, auto-fitting).
    void BeginOperation();
    void EndOperation();
    bool OperationCanceled() const { return FOperationCount > 0 && FOperationCanceled; }
    void CancelOperation() { FOperationCanceled = FOperationCount > 0; }

    // ---- geometry and hit testing (TreeGridGeometry.cpp) ----
    // Node's rectangle in client coordinates, in Column (-1: the whole row);
    // TextOnly narrows it to the label. Empty when the node is not shown.
    TRect GetDisplayRect(TGridNode* Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
        bool ApplyCellContentMargin = false);
    void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);
    // The widest content of Column over the visible nodes (Smart: those on screen).
    int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
    // The widest content on screen without columns, plus the margin.
    int GetMaxRightExtend();
    // The header strip in window coordinates (empty while hidden).
    TRect HeaderRect() const { return FHeaderRect; }
    void UpdateHeaderRect();
    // Repaints R (window coordinates) of the header strip.
    void InvalidateHeaderArea(const TRect& R);
    // Slides what lies right of Column while its width changes (window only).
    void AnimateColumnResize(TColumnIndex Column, int OldWidth, int NewWidth);
    // How far right-to-left columns narrower than the client move right.
    int ComputeRTLOffset(bool ExcludeScrollBar = false);
    void CalculateVerticalAlignments(TGridNode* Node, int& VAlign, int& VButtonAlign);

    // ---- appearance and window properties (TreeGridWindow.cpp) ----
    TTGNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TTGNodeAlignment Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    Cardinal SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(Cardinal Value);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    // Index 0 sets the horizontal, 1 the vertical offset.
    void SetBackgroundOffset(int Index, int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TImageList* Value);
    void SetHeader(TTGHeader* Value);
    void SetScrollBarOptions(TScrollBarOptions* Value);
    // Scales heights, indent, margins and the header with the form's
    // scaling (M/D) under toAutoChangeScale.
    virtual void ChangeScale(int M, int D);
    bool CanFocus() override;

    // Client width for column sizing: the control's width while it has no window.
    int TreeClientWidth() const;
    int TreeClientHeight() const;
    bool IsLoading() const;
    bool IsDestroying() const;
    bool IsDesigning() const;

    // ---- repainting and the scroll bars ----
    // The node's row over the whole width.
    virtual void InvalidateNode(TGridNode* Node);
    // From the node's row (or the top) to the bottom, outside updates only.
    virtual void InvalidateToBottom(TGridNode* Node);
    virtual void InvalidateChildren(TGridNode* Node, bool Recursive);
    virtual void InvalidateColumn(TColumnIndex Column);
    virtual void UpdateScrollBars(bool DoRepaint);
    virtual void UpdateHorizontalScrollBar(bool DoRepaint);
    virtual void UpdateVerticalScrollBar(bool DoRepaint);
    // Expands the collapsed ancestors and scrolls the node's row (in the
    // focused column with Horizontally) into the client area; true when it
    // scrolled.
    virtual bool ScrollIntoView(TGridNode* Node, bool Center, bool Horizontally = false);
    // Toggles every collapsed ancestor of Node open.
    void ExpandAncestors(TGridNode* Node);
    // Editing hooks: the in-place editor fills them.
    virtual bool EndEditNode();
    virtual bool CancelEditNode();
    virtual void MainColumnChanged();
    virtual void DoColumnResize(TColumnIndex Column);
    virtual void RepaintTree();

    void BeforeDestruction() override;

    // ---- painting (TreeGridPaint.cpp, TreeGridDecorations.cpp) ----
    // Paints Window (tree coordinates) of the tree to Target of TargetCanvas.
    void PaintTree(TCanvas* TargetCanvas, const TRect& Window, const TPoint& Target,
        TTGInternalPaintOptions PaintOptions, TPixelFormat PixelFormat = pf32bit);
    TTGLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TTGLineStyle Value);
    TTGLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TTGLineMode Value);
    TTGButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TTGButtonStyle Value);
    TTGButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TTGButtonFillMode Value);
    TTGDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TTGDrawSelectionMode Value) { FDrawSelectionMode = Value; }
    void SetSelectionBlendFactor(Byte Value);
    TColumnIndex EditColumn() const { return FEditColumn; }
    // The drop target and where a drop would go; the drag support sets them.
    TGridNode* DropTargetNode() const { return FDropTargetNode; }
    TTGDropMode LastDropMode() const { return FLastDropMode; }
    void SetDropTarget(TGridNode* Node, TTGDropMode Mode);
    // The bits of the dotted-line brush, rows top-down, most significant bit
    // leftmost; zero bits take the line colour.
    const std::array<Byte, 8>& DottedBrushBits() const { return FDottedBrush; }
    // Rebuilds the expand buttons and the dotted-line brush.
    void PrepareBitmaps(bool NeedButtons, bool NeedLines);
    TBitmap* ButtonBitmap(bool Expanded, bool Hot);

    // ---- check states (TreeGridChecks.cpp) ----
    TCheckState CheckState(TGridNode* Node) const { return Node ? Node->CheckState : csUncheckedNormal; }
    void SetCheckState(TGridNode* Node, TCheckState Value);
    TCheckType CheckType(TGridNode* Node) const { return Node ? Node->CheckType : ctNone; }
    void SetCheckType(TGridNode* Node, TCheckType Value);
    // The state a click on a box of CheckType in CheckState leads to.
    static TCheckState DetermineNextCheckState(TCheckType CheckType, TCheckState CheckState);
    // A click on a header column's check box.
    void UpdateColumnCheckState(TTreeGridColumn* Column);

    // ---- in-place editing (TreeGridEditing.cpp) ----
    bool CanEdit(TGridNode* Node, TColumnIndex Column);
    // Focuses Node and edits Column in place; true while an edit runs.
    bool EditNode(TGridNode* Node, TColumnIndex Column);
    bool IsEditing() const { return FStates.Contains(tsEditing); }
    const ITGEditLinkPtr& EditLink() const { return FEditLink; }
    void SetEditDelay(Cardinal Value) { FEditDelay = Value; }

    // ---- keyboard, mouse and hints (TreeGridKeys.cpp, TreeGridMouse.cpp, TreeGridHints.cpp) ----
    TTGIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TTGIncrementalSearch Value) { FIncrementalSearch = Value; }
    TTGSearchDirection SearchDirection() const { return FSearchDirection; }
    void SetSearchDirection(TTGSearchDirection Value) { FSearchDirection = Value; }
    TTGSearchStart SearchStart() const { return FSearchStart; }
    void SetSearchStart(TTGSearchStart Value) { FSearchStart = Value; }
    void SetSearchTimeout(Cardinal Value) { FSearchTimeout = Value; }
    const String& SearchBuffer() const { return FSearchBuffer; }
    TTGHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TTGHintMode Value) { FHintMode = Value; }
    THintAnimationType HintAnimation() const { return FAnimationType; }
    void SetHintAnimation(THintAnimationType Value) { FAnimationType = Value; }
    TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(TCursor Value) { FHotCursor = Value; }
    int DragThreshold() const { return FDragThreshold; }
    TGridNode* HotNode() const { return FCurrentHotNode; }
    // The rows of a running rubber band, tree coordinates.
    TRect DrawSelectionRect() const { return FNewSelRect; }
    // A drag of the selected rows from the press point: at once, or once the
    // pointer moved Threshold pixels (-1: the control's threshold).
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Whether a popup menu would show for Node in Column at P.
    bool HasPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint P);
    // What a hint of the tree shows now.
    const TTGHintData& HintData() const { return FHintData; }

    // ---- check images and the background picture (TreeGridPictures.cpp) ----
    TTGCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TTGCheckImageKind Value);
    // The owner's check images, shown under ckCustom.
    TImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TImageList* Value);
    // Whether there are check images to show (not so under ckCustom without a list).
    bool HasCheckImages() const;
    // Check image Index of the kind in use at (X, Y), a quarter mixed with
    // BlendColor unless that is clNone.
    void DrawCheckImage(TCanvas* Canvas, int X, int Y, int Index, TColor BlendColor = clNone) const;
    // Shown under toShowBackground: pinned to the client area under
    // toStaticBackground, else tiled and scrolling with the rows.
    TPicture* Background() const { return FBackground.get(); }
    void SetBackground(TPicture* Value);

protected:
    // ---- class factories ----
    virtual TTreeGridOptionsClass GetOptionsClass();
    virtual TTGHeaderClass GetHeaderClass();
    virtual TTreeGridColumnClass GetColumnClass();

    // ---- node store internals ----
    TGridNode* MakeNewNode();
    // Reserves Size bytes in every node; returns the area's offset from the node start.
    Cardinal AllocateInternalDataArea(Cardinal Size);
    void InitRootNode(Cardinal OldSize = 0);
    void AdjustTotalCount(TGridNode* Node, Int64 Value, bool Relative = false);
    void AdjustTotalHeight(TGridNode* Node, Int64 Value, bool Relative = false);
    void FixupTotalCount(TGridNode* Node);
    void FixupTotalHeight(TGridNode* Node);
    void InternalConnectNode(TGridNode* Node, TGridNode* Destination, TBaseTreeGrid* Target, TTGNodeAttachMode Mode);
    void InternalDisconnectNode(TGridNode* Node, bool KeepFocus, bool Reindex = true);
    void MeasureItemHeight(TCanvas* Canvas, TGridNode* Node);
    virtual void InitNode(TGridNode* Node);
    void InitChildren(TGridNode* Node);
    void FreeNodeBlock(TGridNode* Node);
    void FreeAllNodes();
    // Whether the children of Node count as visible rows: Node is expanded
    // and it and each ancestor are effectively visible under expanded parents.
    bool ChildrenCounted(TGridNode* Node) const;
    void EnsureNodeDataSize();
    void ClearRememberedNode(TGridNode* Node);

    virtual void DoInitNode(TGridNode* Parent, TGridNode* Node, TGridNodeInitStates& InitStates);
    virtual void DoInitChildren(TGridNode* Node, Cardinal& ChildCount);
    virtual void DoFreeNode(TGridNode* Node);
    virtual void DoMeasureItem(TCanvas* TargetCanvas, TGridNode* Node, int& NodeHeight);
    virtual void DoReset(TGridNode* Node);
    virtual bool DoNodeMoving(TGridNode* Node, TGridNode* Target);
    virtual void DoNodeMoved(TGridNode* Node);

    // ---- node stream internals (TreeGridStreams.cpp) ----
    void WriteNode(TStream& Stream, TGridNode* Node);
    // The node's chunks after its anchor: base chunk, children, user data;
    // descendants add their own after calling this.
    virtual void WriteChunks(TStream& Stream, TGridNode* Node);
    // Patches the size of the chunk header at StartPos to end at EndPos.
    static void FinishChunkHeader(TStream& Stream, Int64 StartPos, Int64 EndPos);
    // Reads the node record at the stream's position into Node, children
    // included, within Limit (the end of the enclosing data).
    void ReadNode(TStream& Stream, int Version, TGridNode* Node, Int64 Limit = -1);
    // One chunk of Node other than its base chunk, ChunkSize bytes at the
    // position (checked to lie inside the node); true when understood. The
    // caller moves on to the chunk's end afterwards.
    virtual bool ReadChunk(TStream& Stream, int Version, TGridNode* Node, int ChunkType, int ChunkSize);
    void SkipNode(TStream& Stream);
    // Fills Node, already connected, from the stream and brings counts,
    // heights, the visible count and the selection up to date.
    void InternalAddFromStream(TStream& Stream, int Version, TGridNode* Node, Int64 Limit = -1);
    // Reads and checks the 12 bytes in front of a node stream; the version.
    static int ReadStreamMagic(TStream& Stream);
    virtual void DoSaveUserData(TGridNode* Node, TStream& Stream);
    virtual bool DoLoadUserData(TGridNode* Node, TStream& Stream);
    virtual void DoNodeCopied(TGridNode* Node);
    // The magic, the number of records and a record of each node.
    void WriteNodes(TStream& Stream, const TNodeArray& Nodes);

    // ---- clipboard internals (TreeGridClipboard.cpp) ----
    void MarkCutCopyNodes();
    // Puts the tree's data object on the clipboard and marks the selection
    // as the set of the pending cut or copy.
    void StartCutOrCopy(TTreeGridState Pending);
    virtual void DoGetUserClipboardFormats(std::vector<TFormatEtc>& Formats);
    // Whether nodes read from a stream can take their user data: the tree
    // keeps none, or reads it with OnLoadNode.
    bool CanLoadUserData();
    // Copies Source (or its children) into Target of another tree.
    void MoveToTree(TBaseTreeGrid* TargetTree, TGridNode* Source, TGridNode* Target, TTGNodeAttachMode Mode,
        bool ChildrenOnly);
    virtual bool DoExpanding(TGridNode* Node);
    virtual void DoExpanded(TGridNode* Node);
    virtual bool DoCollapsing(TGridNode* Node);
    virtual void DoCollapsed(TGridNode* Node);
    void ScrollExpandedIntoView(TGridNode* Node);

    // ---- animations (TreeGridAnimation.cpp) ----
    // Calls Callback about every Duration / Steps ms, Steps steps in all
    // (several per call when time is short), within Duration.
    void Animate(Cardinal Steps, Cardinal Duration, const TTGAnimationCallback& Callback, void* Data);
    bool AnimateToggle(TGridNode* Node, bool Expanding, int ChildrenHeight);
    bool ToggleCallback(Cardinal Step, Cardinal StepSize, void* Data);
    // Area (client coordinates) moves up or down by Size pixels; the strip
    // uncovered takes the background.
    void DoScrollUp(int Size, const TRect& Area);
    void DoScrollDown(int Size, const TRect& Area);
    void EraseLine(const TRect& Strip);

    // ---- selection internals ----
    bool InternalAddToSelection(TGridNode* Node, bool ForceInsert);
    bool InternalAddToSelection(TGridNode* const* NewItems, int NewLength, bool ForceInsert);
    void InternalRemoveFromSelection(TGridNode* Node);
    void InternalClearSelection();
    bool FindNodeInSelection(TGridNode* Node, int& Index, int LowBound, int HighBound) const;
    // Drops the entries marked for removal; -1 when there was nothing to pack.
    static int PackArray(TNodeArray& TheArray, int Count);
    // Drops the marked entries of the selection array.
    void PackSelection();
    // Whether adding Node to the selection is refused (selected already,
    // disabled, or outside the level or sibling constraint), with Anchor as
    // range anchor and Level as the fixed level (-1: not fixed yet).
    bool SelectionRefuses(TGridNode* Node, TGridNode* Anchor, int Level) const;
    void ResetRangeAnchor();
    void InternalCacheNode(TGridNode* Node);
    void ClearTempCache();
    virtual bool DoFocusChanging(TGridNode* OldNode, TGridNode* NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
    virtual void DoFocusChange(TGridNode* Node, TColumnIndex Column);
    virtual void DoFocusNode(TGridNode* Node, bool Ask);

    // ---- sorting ----
    virtual int DoCompare(TGridNode* Node1, TGridNode* Node2, TColumnIndex Column);

    // ---- update and notices ----
    void Change(TGridNode* Node);
    void StructureChange(TGridNode* Node, TChangeReason Reason);
    virtual void DoChange(TGridNode* Node);
    virtual void DoStructureChange(TGridNode* Node, TChangeReason Reason);
    void AdviseChangeEvent(bool StructureChange, TGridNode* Node, TChangeReason Reason);
    virtual void DoUpdating(TTGUpdateState State);
    // Redrawing on and off; only with a window.
    virtual void SetUpdateState(bool Updating);
    // Timers 5 and 6 of delayed notices; false when timers cannot run
    // (no application), so that the notice goes out at once.
    virtual bool StartChangeTimer(int TimerID);
    // The window that gets the tree's timers and the cache worker's
    // messages: a message-only window of its own, so that a tree without a
    // widget behaves the same. 0 without an application.
    HWND TimerWindow();
    bool StartTimer(int TimerID, Cardinal Interval);
    virtual void StopTimer(int TimerID);

    // ---- position cache (TreeGridCache.cpp) ----
    void InvalidateCache();
    void ValidateCache();
    // Stops a validation of this tree; returns once the worker has let go.
    void InterruptValidation();
    // Runs on the worker thread; true when a cache was built.
    virtual bool DoValidateCache();
    Cardinal CalculateCacheEntryCount() const;
    // The last cache entry not after Node (by position): its node, and its
    // top in Top; nil and 0 before the first entry or beyond the end.
    TGridNode* FindInPositionCache(TGridNode* Node, Cardinal& Top) const;
    TGridNode* FindInPositionCache(Cardinal Position, Cardinal& Top) const;
    void WMChangeState(TMessage& Message);
    // Every tree counts as a user of the shared worker while it exists.
    void AddThreadReference();
    void ReleaseThreadReference();
    void DoStateChange(TTreeGridStates Enter, TTreeGridStates Leave = {});
    // The top of Node in tree coordinates, through the cache when it may be used.
    Int64 NodeTop(TGridNode* Node);
    // Whether NodeTop is cheap: the cache is in use, or the tree is short
    // enough to keep none.
    bool NodeTopIsCheap() const;
    // From the visible Run whose top is Top: the row that covers Y (Top
    // becomes its top; nil below the last row), or the top of Node.
    TGridNode* WalkToPosition(TGridNode* Run, Int64& Top, Int64 Y);
    // From the visible Run whose top is Top, backwards: the row above Top
    // that covers Y (Top becomes its top); nil when the stored totals do
    // not lead there. Only while CanSkipSubtrees().
    TGridNode* WalkBackToPosition(TGridNode* Run, Int64& Top, Int64 Y);
    // The row that covers Y through the cache, walked from the nearer of the
    // entries around Y; nil below the last row.
    TGridNode* CachedNodeAt(Int64 Y, Int64& Top);
    // Index of the last entry (the end entry aside) whose top is at or
    // above Position; -1 before the first one or at and past the end.
    int CacheIndexAt(Cardinal Position) const;
    Int64 WalkToNode(TGridNode* Run, Int64 Top, TGridNode* Node);
    // Whether walks may pass whole subtrees by their stored totals.
    bool CanSkipSubtrees() const;
    // Heights of variable-height rows, measured on the GUI thread after the
    // worker built the cache (it reads stored heights only).
    void MeasureAfterValidation();

    // ---- scrolling internals (TreeGridScrolling.cpp) ----
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoShowScrollbar(int Bar, bool Show);
    bool CanAutoScroll();
    void DetermineScrollDirections(int X, int Y);
    virtual void DoAutoScroll(int X, int Y);
    void DoTimerScroll();
    void StartWheelPanning(TPoint Position);
    void StopWheelPanning();
    void AdjustPanningCursor(int X, int Y);
    void WMTimer(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void CMMouseWheel(TMessage& Message);
    // Drag expansion (timer 1) and delayed editing (timer 2): the drag and
    // edit support fill them.
    virtual void DoDragExpand();
    virtual void DoEdit();
    void UpdateEffectiveOffsetX();
    int HorizontalScrollBarHeight();
    // Moves the client area's picture by the deltas (within ClipRect) and
    // repaints what was uncovered.
    void ScrollClientArea(int DeltaX, int DeltaY, const TRect* ClipRect);
    // Whether a drag in progress is over this tree: the drag support answers.
    virtual bool IsDropTarget();
    // A draw selection follows the view while it scrolls: the input support
    // extends it.
    virtual void ExtendDrawSelection(TPoint ClientPoint);

    // ---- geometry internals (TreeGridGeometry.cpp) ----
    virtual int DoGetNodeWidth(TGridNode* Node, TColumnIndex Column, TCanvas* Canvas = nullptr);
    virtual TPoint DoGetCellContentMargin(TGridNode* Node, TColumnIndex Column,
        TTGCellContentMarginType CellContentMarginType = ccmtAllSides, TCanvas* Canvas = nullptr);
    virtual bool ColumnIsEmpty(TGridNode* Node, TColumnIndex Column);
    // The image list and index of Node's image of Kind; nil for the tree's
    // own list (Images or StateImages), Index -1 for none.
    virtual TImageList* DoGetImageIndex(TGridNode* Node, TTGImageKind Kind, TColumnIndex Column, bool& Ghosted,
        int& Index);
    // The width (plus spacing) an image of Kind takes in Node's cell; 0 without one.
    int ImageSpace(TGridNode* Node, TTGImageKind Kind, TColumnIndex Column);
    // Size of the check images in use (0 without any).
    virtual int CheckImageWidth() const;
    int CheckImageHeight() const;
    // The unit's list for Kind; nil for ckCustom.
    virtual TTGImageList* GetCheckImageListFor(TTGCheckImageKind Kind) const;
    bool HasCheckImage(TGridNode* Node) const;
    // Classifies a point inside HitInfo's cell: Offset from the cell's
    // leading edge, RowY from the row's top, Width of the cell.
    void DetermineHitPositionLTR(THitInfo& HitInfo, int Offset, int RowY, int Width, TAlignment Alignment);
    void DetermineHitPositionRTL(THitInfo& HitInfo, int Offset, int RowY, int Width, TAlignment Alignment);
    // Moves R's leading edge (right edge right to left) by Indent levels.
    void AdjustCoordinatesByIndent(TRect& R, int Indent, bool RightToLeft);
    void GetBorderDimensions(TSize& BorderWidth, TSize& BorderHeight);

    // ---- window integration (TreeGridWindow.cpp) ----
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMSize(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void WMNCCalcSize(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void TVMGetItem(TMessage& Message);
    void TVMGetItemRect(TMessage& Message);
    void TVMGetNextItem(TMessage& Message);
    virtual void UpdateEditBounds();
    void Paint() override;

    // ---- painting internals ----
    void WMPrintClient(TMessage& Message);
    // Places an image at R's leading edge, centred on the row's alignment
    // line, and moves that edge past it.
    void AdjustImageBorder(int ImageWidth, int ImageHeight, TBiDiMode BidiMode, int VAlign, TRect& R,
        TTGImageInfo& ImageInfo);
    // The line pieces of Node, one per level; returns the select level.
    int DetermineLineImageAndSelectLevel(TGridNode* Node, std::vector<TTGLineType>& LineImage);
    // TreeOrigin and ClientOrigin: where R's coordinates start in tree and
    // in client coordinates (for the background picture).
    void ClearNodeBackground(const TTGPaintInfo& PaintInfo, bool UseBackground, TPoint TreeOrigin,
        TPoint ClientOrigin, const TRect& R);
    bool UseBackgroundPicture(TTGInternalPaintOptions PaintOptions) const;
    void PaintBackgroundPicture(TCanvas* Canvas, const TRect& R, TPoint TreeOrigin, TPoint ClientOrigin);
    void StaticBackground(TBitmap* Source, TCanvas* Canvas, TPoint Offset, const TRect& R);
    void TileBackground(TBitmap* Source, TCanvas* Canvas, TPoint Offset, const TRect& R);
    virtual void PrepareCell(TTGPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth);
    // Widens the cell over spanned columns; NextNonEmpty is the next column to paint.
    virtual void AdjustPaintCellRect(TTGPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty);
    virtual void DoPaintNode(TTGPaintInfo& PaintInfo);
    virtual void DoBeforePaint(TCanvas* Canvas);
    virtual void DoAfterPaint(TCanvas* Canvas);
    virtual bool DoBeforeItemPaint(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect);
    virtual void DoAfterItemPaint(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect);
    virtual void DoBeforeCellPaint(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column,
        TTGCellPaintMode CellPaintMode, const TRect& CellRect, TRect& ContentRect);
    virtual void DoAfterCellPaint(TCanvas* Canvas, TGridNode* Node, TColumnIndex Column, const TRect& CellRect);
    virtual bool DoPaintBackground(TCanvas* Canvas, const TRect& R);
    virtual void DoGetLineStyle(std::array<Byte, 8>& Bits);
    virtual void DoPaintDropMark(TCanvas* Canvas, TGridNode* Node, const TRect& R);
    // Dotted lines in the canvas's text colour, ends included.
    virtual void DrawDottedHLine(const TTGPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVLine(const TTGPaintInfo& PaintInfo, int Top, int Bottom, int Left);
    void DrawLineImage(const TTGPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TTGLineType Style,
        bool Reverse);
    virtual void PaintTreeLines(const TTGPaintInfo& PaintInfo, int VAlignment, int IndentSize,
        std::vector<TTGLineType> LineImage);
    virtual void PaintNodeButton(TCanvas* Canvas, TGridNode* Node, const TRect& R, int ButtonX, int ButtonY,
        TBiDiMode BidiMode);
    virtual void PaintSelectionRectangle(TCanvas* Canvas, int WindowOrgX, const TRect& SelectionRect,
        const TRect& TargetRect);
    // Fills R with Color at the selection blend factor and frames it with FrameColor.
    void AlphaBlendSelection(TCanvas* Canvas, TColor Color, TColor FrameColor, const TRect& R);
    // One cell of a row: grid lines, highlight, decorations and content.
    void PaintCell(TTGPaintInfo& Info, const std::vector<TTGLineType>& LineImage, int VAlign, int ButtonX,
        int ButtonAlign, bool MainColumn, bool EditedCell, bool LastUnderAutoResize);
    // Places the cell's check, state and normal images (check only in the
    // main column) and moves the content past them.
    void AdjustImages(TTGPaintInfo& Info, int VAlign, bool MainColumn);
    // The index into the check image lists for Node (or, without a node,
    // for the given type, state, hotness and enabledness); -1 for none.
    int GetCheckImage(TGridNode* Node, TCheckType ImgCheckType = ctNone, TCheckState ImgCheckState = csUncheckedNormal,
        bool ImgEnabled = true, bool ImgHot = false) const;
    virtual void PaintCheckImage(const TTGPaintInfo& PaintInfo);
    virtual void PaintImage(TTGPaintInfo& PaintInfo, TTGImageInfoIndex ImageInfoIndex, bool DoOverlay);
    // The painted area below the last row.
    void PaintBelowNodes(TCanvas* TargetCanvas, const TRect& Area, const TPoint& Target,
        TTGInternalPaintOptions PaintOptions);
    // Whether the selection looks focused: the tree has the focus or is a popup.
    bool SelectionFocused() const;

    // ---- event dispatchers ----
    virtual void DoHeaderDraw(TCanvas* Canvas, TTreeGridColumn* Column, const TRect& R, bool Hover, bool Pressed,
        TTGDropMarkMode DropMark);
    virtual void DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);
    virtual void DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    // The header into its strip of the non-client area (window coordinates).
    void PaintHeaderStrip(TCanvas* Canvas);
    // A dragged column's picture over what was just painted; WindowOrigin is
    // where the canvas's (0, 0) lies in window coordinates.
    void PaintDragImage(TCanvas* Canvas, TPoint WindowOrigin);
    virtual void DoBeforeItemErase(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect, TColor& Color,
        TItemEraseAction& EraseAction);
    virtual void DoAfterItemErase(TCanvas* Canvas, TGridNode* Node, const TRect& ItemRect);
    virtual void DoColumnClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoColumnDblClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoGetHeaderCursor(TCursor& Cursor);
    virtual String DoGetNodeTooltip(TGridNode* Node, TColumnIndex Column);
    virtual TPopupMenu* DoGetPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint Position);
    virtual void DoHeaderClick(const TTGHeaderHitInfo& HitInfo);
    virtual void DoHeaderDblClick(const TTGHeaderHitInfo& HitInfo);
    virtual void DoHeaderDragged(TColumnIndex Column, int OldPosition);
    virtual void DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition);
    virtual bool DoHeaderDragging(TColumnIndex Column);
    virtual void DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseMove(TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHotChange(TGridNode* Old, TGridNode* New);
    virtual bool DoNodeHeightDblClickResize(TGridNode* Node, TColumnIndex Column, TShiftState Shift, TPoint P);
    virtual bool DoNodeHeightTracking(TGridNode* Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
        TPoint P);
    TAlignment GetControlsAlignment() const { return FAlignment; }
    // The text of a cell and the font it is shown in: the string tree answers.
    virtual void GetTextInfo(TGridNode* Node, TColumnIndex Column, const TFont* AFont, TRect& R, String& Text);

    // ---- keyboard (TreeGridKeys.cpp) ----
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void WMChar(TMessage& Message);
    virtual bool DoKeyAction(Word& CharCode, TShiftState& Shift);
    // The navigation keys: Backspace, Tab, the page keys, Home, End and the arrows.
    void HandleNavigationKey(Word& CharCode, TShiftState Shift);
    void HandleIncrementalSearch(Word CharCode);
    // 0 when Node matches Text.
    virtual int DoIncrementalSearch(TGridNode* Node, const String& Text);
    void ShowHelpFor(TGridNode* Node);

    // ---- mouse (TreeGridMouse.cpp) ----
    void ButtonMessage(TMessage& Message);
    void HandleMouseDown(TMessage& Message, const THitInfo& HitInfo);
    void HandleMouseUp(WPARAM Keys, const THitInfo& HitInfo);
    void HandleMouseDblClick(TMessage& Message, const THitInfo& HitInfo);
    void HandleClickSelection(TGridNode* LastFocused, TGridNode* NewNode, TShiftState Shift, bool DragPending);
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void HandleHotTrack(int X, int Y);
    bool IsMouseSelecting() const;
    void WMSetCursor(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    virtual void DoPopupMenu(TGridNode* Node, TColumnIndex Column, TPoint Position);
    virtual void DoGetCursor(TCursor& Cursor);
    // A click or Space on Node's box: offers the next state and, when
    // allowed, shows the box pressed until FinishCheckPress.
    void BeginCheckPress(TGridNode* Node, TTreeGridState Pending);
    // Ends the press of FCheckNode; Apply sets the offered state.
    void FinishCheckPress(bool Apply);

    // ---- rubber band (TreeGridDrawSelection.cpp) ----
    bool CalculateSelectionRect(int X, int Y);
    bool HandleDrawSelection(int X, int Y);
    bool CollectSelectedNodesLTR(int MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
        TRect OldRect, TRect NewRect);
    bool CollectSelectedNodesRTL(int MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
        TRect OldRect, TRect NewRect);
    // The leading edge of Node's label box in the main column, relative to the cell.
    int LabelOffset(TGridNode* Node, TColumnIndex Column);

    // ---- check states (TreeGridChecks.cpp) ----
    virtual bool DoChecking(TGridNode* Node, TCheckState& NewState);
    virtual void DoCheckClick(TGridNode* Node, TCheckState NewCheckState);
    virtual void DoChecked(TGridNode* Node);
    bool ChangeCheckState(TGridNode* Node, TCheckState Value);
    bool CheckParentCheckState(TGridNode* Node, TCheckState NewCheckState);

    // ---- editing (TreeGridEditing.cpp) ----
    virtual bool DoCanEdit(TGridNode* Node, TColumnIndex Column);
    virtual ITGEditLinkPtr DoCreateEditor(TGridNode* Node, TColumnIndex Column);
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();
    virtual void DoEdited(TGridNode* Node, TColumnIndex Column);

    // ---- hints (TreeGridHints.cpp) ----
    void CMHintShow(TMessage& Message);
    void CMHintShowPause(TMessage& Message);
    virtual String DoGetNodeHint(TGridNode* Node, TColumnIndex Column, TTGTooltipLineBreakStyle& LineBreakStyle);
    virtual TClass GetHintWindowClass();
    THintAnimationType DoGetAnimationType() const;

    friend class TCustomTreeGridOptions;
    friend class TTreeGridColumns;
    friend class TTreeGridColumn;
    friend class TTGHeader;

    // ---- fields ----
    TGridNode* FRoot = nullptr;
    Cardinal FRootSize = 0;  // bytes of the root block
    std::unique_ptr<TNodePool> FNodePool;
    Cardinal FDefaultNodeHeight = 18;
    int FNodeDataSize = -1;
    Cardinal FTotalInternalDataSize = 0;
    Cardinal FVisibleCount = 0;
    int FUpdateCount = 0;
    int FSynchUpdateCount = 0;
    TAtomicTreeStates FStates;
    TNodeArray FSingletonNodeArray = TNodeArray(1, nullptr);

    // Node pointers remembered between calls; each is cleared when its node goes.
    TGridNode* FFocusedNode = nullptr;
    TGridNode* FLastSelected = nullptr;
    TGridNode* FCurrentHotNode = nullptr;
    TGridNode* FDropTargetNode = nullptr;
    std::shared_ptr<TTGDragManager> FDragManager;
    TGridNode* FLastChangedNode = nullptr;
    TGridNode* FRangeAnchor = nullptr;
    TGridNode* FCheckNode = nullptr;
    TGridNode* FLastVCLDragTarget = nullptr;
    TGridNode* FLastSearchNode = nullptr;
    TGridNode* FLastStructureChangeNode = nullptr;
    TGridNode* FHeightTrackNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;
    Cardinal FTreeNumber = 0;
    std::unique_ptr<TClipboardFormats> FClipboardFormats;
    // The data object the tree last put on the clipboard; the address only
    // tells it apart when it goes.
    std::weak_ptr<IDataObject> FClipboardData;
    const IDataObject* FClipboardDataAddress = nullptr;

    TNodeArray FSelection;
    int FSelectionCount = 0;  // entries, marked ones included
    int FSelectionMarks = 0;
    // The selection in tree order, made when a walk over it passes its first
    // node: walking it again costs the selected nodes, not the whole tree.
    // Any change of the selection or of the tree's structure drops it.
    TNodeArray FSelectionInTreeOrder;
    std::size_t FSelectionWalkIndex = 0;  // of the node a walk gave last
    bool FSelectionWalkStarted = false;    // the last call gave the first node
    bool FSelectionOrderValid = false;
    void DropSelectionOrder() { FSelectionOrderValid = false; }
    bool FSelectionLocked = false;
    int FLastSelectionLevel = -1;
    TNodeArray FTempNodeCache;
    int FTempNodeCount = 0;
    TColumnIndex FFocusedColumn = NoColumn;

    std::unique_ptr<TCustomTreeGridOptions> FOptions;
    std::unique_ptr<TTGHeader> FHeader;
    std::unique_ptr<TTGColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;

    Cardinal FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    int FChangeDelay = 0;
    TTGNodeAttachMode FDefaultPasteMode = amAddChildLast;
    Cardinal FAutoExpandDelay = 1000;
    Cardinal FAutoScrollDelay = 1000;
    Cardinal FAutoScrollInterval = 1;
    Cardinal FEditDelay = 1000;
    Cardinal FAnimationDuration = 200;
    Cardinal FSearchTimeout = 1000;
    Byte FSelectionBlendFactor = 128;
    int FDragWidth = 200;
    int FDragHeight = 350;
    int FOffsetX = 0;
    int FOffsetY = 0;
    int FEffectiveOffsetX = 0;
    Cardinal FRangeX = 0;
    Cardinal FRangeY = 0;
    Cardinal FBottomSpace = 0;
    TScrollDirections FScrollDirections;
    std::int64_t FDragScrollStart = 0;  // ms, 0 = not taken yet
    TPoint FLastClickPos;
    TGraphicControl* FPanningWindow = nullptr;
    int FPanningImage = 0;  // which of the three panning pictures is shown
    TCursor FPanningOldCursor = crDefault;
    bool FScrollBarShown[2] = {false, false};  // SB_HORZ, SB_VERT as last shown
    String FSearchBuffer;
    TBiDiMode FBiDiMode = bdLeftToRight;
    int FOperationCount = 0;
    bool FOperationCanceled = false;

    // Position cache: one entry per 2000 visible nodes and an end entry.
    struct TCacheEntry {
        TGridNode* Node;
        Cardinal AbsoluteTop;
    };
    std::vector<TCacheEntry> FPositionCache;
    Cardinal FStartIndex = 0;
    HWND FMessageWindow = 0;
    bool FThreadReferenced = false;
    int FChangeStateDepth = 0;  // inside the worker's message to this tree
    friend class TWorkerThread;

    TRect FHeaderRect;
    TTGNodeAlignment FNodeAlignment = naProportional;

    // Input state.
    TShiftState FDrawSelShiftState;
    TRect FLastSelRect;
    TCheckState FPendingCheckState = csUncheckedNormal;
    int FCheckPropagationCount = 0;
    TPoint FHeightTrackPoint;
    TColumnIndex FHeightTrackColumn = NoColumn;
    TTGIncrementalSearch FIncrementalSearch = isNone;
    TTGSearchDirection FSearchDirection = sdForward;
    TTGSearchStart FSearchStart = ssFocusedNode;
    // The first half of a character outside the basic plane, until its second comes.
    char16_t FPendingSurrogate = 0;
    int FDragThreshold = 4;
    ITGEditLinkPtr FEditLink;
    TTGHintMode FHintMode = hmDefault;
    THintAnimationType FAnimationType = hatSystemDefault;
    TTGHintData FHintData;
    TRect FLastHintRect;
    TCursor FHotCursor = crDefault;
    // A press in drag mode automatic: the tree drags its rows itself.
    bool FAutomaticDrag = false;
    TAlignment FAlignment = taLeftJustify;
    bool FWantTabs = false;
    Cardinal FSelectionCurveRadius = 0;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TTGLineStyle FLineStyle = lsDotted;
    TTGLineMode FLineMode = lmNormal;
    TTGButtonStyle FButtonStyle = bsRectangle;
    TTGButtonFillMode FButtonFillMode = fmTreeColor;
    TTGDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    std::array<Byte, 8> FDottedBrush{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    std::unique_ptr<TBitmap> FPlusBM, FMinusBM, FHotPlusBM, FHotMinusBM;
    TColumnIndex FEditColumn = NoColumn;
    TColumnIndex FCurrentHotColumn = NoColumn;
    TTGDropMode FLastDropMode = dmNowhere;
    bool FHotNodeButtonHit = false;
    // The rubber band of a draw selection, tree coordinates.
    TRect FNewSelRect;
    // Set when a paint handler changed the canvas font.
    bool FFontChanged = false;
    TImageList* FImages = nullptr;
    TImageList* FStateImages = nullptr;
    TTGCheckImageKind FCheckImageKind = ckSystemDefault;
    TImageList* FCustomCheckImages = nullptr;
    std::unique_ptr<TPicture> FBackground = std::make_unique<TPicture>();
    // Height of a line of text in the tree's font once painting measured it;
    // 0: not known, text rectangles take the row's height.
    int FTextHeight = 0;
};

// The tree a node belongs to: the root's parent is the tree itself.
TBaseTreeGrid* TreeFromNode(TGridNode* Node);

// Whether the position-cache worker shared by all trees exists: from the
// first tree on while an application runs, until the last tree goes.
bool TreeGridWorkerRunning();
// Whether the worker has taken Tree from its queue and not yet let go.
bool TreeGridWorkerBusyWith(const TBaseTreeGrid* Tree);
