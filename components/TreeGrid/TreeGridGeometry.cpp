// Geometry of TBaseTreeGrid: display rectangles, hit tests, the widest
// content, vertical alignment in a row, the header strip and invalidation.
//
// A cell is laid out from its leading edge: in the tree column the
// indentation (one level more with toShowRoot; the last level holds the
// 9 x 9 expand button, centred), then Margin, then the check image, the
// state image and the normal image (each followed by 2 pixels), then the
// label, DoGetNodeWidth wide, placed by the alignment.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/ImgList.h"

namespace {
constexpr int ButtonSize = 9;
constexpr int ImageSpacing = 2;
constexpr int SplitterZone = 3;
}  // namespace

// ---- helpers of the layout -----------------------------------------------------

TImageList* TBaseTreeGrid::DoGetImageIndex(TGridNode*, TTGImageKind, TColumnIndex, bool& Ghosted, int& Index)
{
    Ghosted = false;
    Index = -1;
    return nullptr;
}

int TBaseTreeGrid::ImageSpace(TGridNode* Node, TTGImageKind Kind, TColumnIndex Column)
{
    TImageList* own = Kind == ikState ? FStateImages : FImages;
    bool ghosted = false;
    int index = -1;
    TImageList* list = DoGetImageIndex(Node, Kind, Column, ghosted, index);
    if (!list)
        list = own;
    if (!list || index < 0)
        return 0;
    return list->Width() + ImageSpacing;
}

bool TBaseTreeGrid::HasCheckImage(TGridNode* Node) const
{
    return FOptions->MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone && HasCheckImages();
}

int TBaseTreeGrid::DoGetNodeWidth(TGridNode*, TColumnIndex, TCanvas*)
{
    return 0;
}

TPoint TBaseTreeGrid::DoGetCellContentMargin(TGridNode*, TColumnIndex, TTGCellContentMarginType, TCanvas*)
{
    return {0, 0};
}

bool TBaseTreeGrid::ColumnIsEmpty(TGridNode*, TColumnIndex)
{
    return false;
}

void TBaseTreeGrid::AdjustCoordinatesByIndent(TRect& R, int Indent, bool RightToLeft)
{
    const int offset = Indent * int(FIndent);
    if (RightToLeft)
        R.Right -= offset;
    else
        R.Left += offset;
}

void TBaseTreeGrid::CalculateVerticalAlignments(TGridNode* Node, int& VAlign, int& VButtonAlign)
{
    const int height = int(NodeHeight(Node));
    switch (FNodeAlignment) {
    case naFromTop: VAlign = Node->Align; break;
    case naFromBottom: VAlign = height - Node->Align; break;
    default: VAlign = height * Node->Align / 100; break;
    }
    VButtonAlign = VAlign - ButtonSize / 2;
}

int TBaseTreeGrid::ComputeRTLOffset(bool ExcludeScrollBar)
{
    if (!UseRightToLeftAlignment())
        return 0;
    int width = TreeClientWidth();
    // The offset as it will be once a vertical bar has taken its place.
    if (ExcludeScrollBar && HandleAllocated() && !FScrollBarShown[SB_VERT] && TreeClientHeight() < int(FRangeY))
        width -= GetSystemMetrics(SM_CXVSCROLL);
    return std::max(0, width - int(FRangeX));
}

void TBaseTreeGrid::GetBorderDimensions(TSize& BorderWidth, TSize& BorderHeight)
{
    BorderWidth = {};
    BorderHeight = {};
    const TCreateParams params = GetCreateParams();
    if (params.ExStyle & WS_EX_CLIENTEDGE) {
        BorderWidth.cx = BorderWidth.cy = GetSystemMetrics(SM_CXEDGE);
        BorderHeight.cx = BorderHeight.cy = GetSystemMetrics(SM_CYEDGE);
    } else if (params.Style & WS_BORDER) {
        BorderWidth.cx = BorderWidth.cy = GetSystemMetrics(SM_CXBORDER);
        BorderHeight.cx = BorderHeight.cy = GetSystemMetrics(SM_CYBORDER);
    }
}

// ---- display rectangles --------------------------------------------------------

TRect TBaseTreeGrid::GetDisplayRect(TGridNode* Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
    bool ApplyCellContentMargin)
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    TGAssert(Node != FRoot, "Node must not be the hidden root node.");
    if (!Node->States.Contains(vsInitialized))
        InitNode(Node);
    if (!IsEffectivelyVisible(Node))
        return {};
    for (TGridNode* run = Node->Parent; run != FRoot; run = run->Parent)
        if (!run->States.Contains(vsExpanded) || !IsEffectivelyVisible(run))
            return {};
    TTreeGridColumns* columns = FHeader->Columns();
    const bool useColumns = FHeader->UseColumns() && columns->IsValidColumn(Column);
    if (!useColumns)
        Column = NoColumn;
    const bool treeColumn = Column == NoColumn || Column == FHeader->MainColumn();
    int levels = 0;
    if (treeColumn) {
        levels = int(GetNodeLevel(Node));
        if (FOptions->PaintOptions().Contains(toShowRoot))
            ++levels;
    }

    const Int64 top = NodeTop(Node);
    const int height = int(NodeHeight(Node));
    TRect result(0, int(top), std::max(TreeClientWidth(), int(FRangeX)), int(top) + height);
    if (Column == NoColumn) {
        OffsetRect(result, -FEffectiveOffsetX, FOffsetY);
    } else {
        int left = 0;
        int right = 0;
        columns->GetColumnBounds(Column, left, right);
        result.Left = left;
        result.Right = right - 1;
        OffsetRect(result, 0, FOffsetY);
    }
    if (!TextOnly)
        return result;

    const TRect cell = result;
    const bool rtl = Column == NoColumn ? FBiDiMode != bdLeftToRight : columns->Items(Column)->UseRightToLeftReading();
    TAlignment alignment = Column == NoColumn ? FAlignment : columns->Items(Column)->Alignment();
    AdjustCoordinatesByIndent(result, levels, rtl);
    int lead = FMargin;
    if (treeColumn && HasCheckImage(Node))
        lead += CheckImageWidth() + ImageSpacing;
    lead += ImageSpace(Node, ikState, Column) + ImageSpace(Node, ikNormal, Column);
    if (ApplyCellContentMargin)
        lead += DoGetCellContentMargin(Node, Column, ccmtTopLeftOnly).X;
    if (rtl)
        result.Right -= lead;
    else
        result.Left += lead;

    // The label is as wide as its content, placed by the alignment.
    const int textWidth = DoGetNodeWidth(Node, Column);
    if (rtl && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    const int room = result.Width();
    switch (alignment) {
    case taCenter: result.Left += std::max(0, (room - textWidth) / 2); break;
    case taRightJustify: result.Left = std::max(result.Left, result.Right - textWidth); break;
    default: break;
    }
    result.Right = result.Left + textWidth;

    if (!Node->States.Contains(vsMultiline) && FTextHeight > 0 && FTextHeight < height) {
        int vAlign = 0;
        int buttonAlign = 0;
        CalculateVerticalAlignments(Node, vAlign, buttonAlign);
        result.Top = cell.Top + std::clamp(vAlign - FTextHeight / 2, 0, height - FTextHeight);
        result.Bottom = result.Top + FTextHeight;
    }
    if (!Unclipped) {
        result.Left = std::max(result.Left, cell.Left);
        result.Right = std::min(result.Right, cell.Right);
        if (result.Right < result.Left)
            result.Right = result.Left;
    }
    return result;
}

// ---- hit tests -------------------------------------------------------------------

void TBaseTreeGrid::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo)
{
    HitInfo = {};
    if (!Relative) {
        X -= FEffectiveOffsetX;
        Y += FOffsetY;
    }
    if (X < 0)
        HitInfo.HitPositions.Include(hiToLeft);
    else if (X >= std::max(int(FRangeX) - FEffectiveOffsetX, TreeClientWidth()))
        HitInfo.HitPositions.Include(hiToRight);
    if (Y < 0)
        HitInfo.HitPositions.Include(hiAbove);
    else if (Y >= TreeClientHeight())
        HitInfo.HitPositions.Include(hiBelow);
    if (!HitInfo.HitPositions.Empty())
        return;

    int nodeTop = 0;
    TGridNode* node = GetNodeAt(X, Y, true, nodeTop);
    if (!node) {
        HitInfo.HitPositions.Include(hiNowhere);
        return;
    }
    if (!node->States.Contains(vsInitialized))
        InitNode(node);
    HitInfo.HitNode = node;

    TTreeGridColumns* columns = FHeader->Columns();
    int left = 0;
    int right = 0;
    TAlignment alignment = FAlignment;
    bool rtl = FBiDiMode != bdLeftToRight;
    if (FHeader->UseColumns()) {
        HitInfo.HitColumn = columns->GetColumnAndBounds(X, Y, left, right);
        if (HitInfo.HitColumn < 0) {
            HitInfo.HitPositions.Include(hiNowhere);
            return;
        }
        if (FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
            // An empty cell belongs to the nearest filled one on its left,
            // whose content spans it; that cell reaches over the empty
            // cells on its right.
            TColumnIndex owner = HitInfo.HitColumn;
            int ownerLeft = left;
            while (ColumnIsEmpty(node, owner)) {
                const TColumnIndex previous = columns->GetPreviousVisibleColumn(owner);
                if (previous < 0)
                    break;
                owner = previous;
                ownerLeft -= columns->Items(previous)->Width();
            }
            if (!ColumnIsEmpty(node, owner)) {
                HitInfo.HitColumn = owner;
                left = ownerLeft;
            }
            right = left + columns->Items(HitInfo.HitColumn)->Width();
            for (TColumnIndex next = columns->GetNextVisibleColumn(HitInfo.HitColumn);
                 next >= 0 && ColumnIsEmpty(node, next); next = columns->GetNextVisibleColumn(next))
                right += columns->Items(next)->Width();
        }
        const TTreeGridColumn* column = columns->Items(HitInfo.HitColumn);
        alignment = column->Alignment();
        rtl = column->UseRightToLeftReading();
    } else {
        left = -FEffectiveOffsetX;
        right = left + std::max(int(FRangeX), TreeClientWidth());
    }

    HitInfo.HitPositions.Include(hiOnItem);
    const int rowY = Y - nodeTop;
    if (FOptions->MiscOptions().Contains(toNodeHeightResize)) {
        if (rowY < SplitterZone)
            HitInfo.HitPositions.Include(hiUpperSplitter);
        if (rowY >= int(NodeHeight(node)) - SplitterZone)
            HitInfo.HitPositions.Include(hiLowerSplitter);
    }
    if (rtl)
        DetermineHitPositionRTL(HitInfo, right - 1 - X, rowY, right - left, alignment);
    else
        DetermineHitPositionLTR(HitInfo, X - left, rowY, right - left, alignment);
}

void TBaseTreeGrid::DetermineHitPositionLTR(THitInfo& HitInfo, int Offset, int RowY, int Width,
    TAlignment Alignment)
{
    TGridNode* node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const bool treeColumn = column == NoColumn || column == FHeader->MainColumn();
    const TTGPaintOptions paint = FOptions->PaintOptions();
    int indent = 0;
    if (treeColumn)
        indent = int(GetNodeLevel(node) + (paint.Contains(toShowRoot) ? 1 : 0)) * int(FIndent);
    if (Offset < indent) {
        // The last level of the indentation holds the expand button.
        const bool button = paint.Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
            !node->States.Contains(vsAllChildrenHidden);
        if (button && Offset >= indent - int(FIndent)) {
            HitInfo.HitPositions.Include(hiOnItemButton);
            int vAlign = 0;
            int buttonTop = 0;
            CalculateVerticalAlignments(node, vAlign, buttonTop);
            const int buttonLeft = indent - int(FIndent) + (int(FIndent) - ButtonSize) / 2;
            if (Offset >= buttonLeft && Offset < buttonLeft + ButtonSize && RowY >= buttonTop &&
                RowY < buttonTop + ButtonSize)
                HitInfo.HitPositions.Include(hiOnItemButtonExact);
        } else {
            HitInfo.HitPositions.Include(hiOnItemIndent);
        }
        return;
    }
    int position = indent + FMargin;
    if (Offset < position) {
        HitInfo.HitPositions.Include(hiOnItemIndent);
        return;
    }
    if (treeColumn && HasCheckImage(node)) {
        position += CheckImageWidth() + ImageSpacing;
        if (Offset < position) {
            HitInfo.HitPositions.Include(hiOnItemCheckbox);
            return;
        }
    }
    if (const int state = ImageSpace(node, ikState, column)) {
        position += state;
        if (Offset < position) {
            HitInfo.HitPositions.Include(hiOnStateIcon);
            return;
        }
    }
    if (const int normal = ImageSpace(node, ikNormal, column)) {
        position += normal;
        if (Offset < position) {
            HitInfo.HitPositions.Include(hiOnNormalIcon);
            return;
        }
    }
    const int textWidth = DoGetNodeWidth(node, column);
    int labelLeft = position;
    switch (Alignment) {
    case taCenter: labelLeft += std::max(0, (Width - position - textWidth) / 2); break;
    case taRightJustify: labelLeft = std::max(position, Width - textWidth); break;
    default: break;
    }
    if (Offset < labelLeft)
        HitInfo.HitPositions.Include(hiOnItemLeft);
    else if (Offset < labelLeft + textWidth)
        HitInfo.HitPositions.Include(hiOnItemLabel);
    else
        HitInfo.HitPositions.Include(hiOnItemRight);
}

// The same layout mirrored: Offset counts from the cell's right edge, where
// right-to-left text starts; a left-aligned label there sits at the right.
void TBaseTreeGrid::DetermineHitPositionRTL(THitInfo& HitInfo, int Offset, int RowY, int Width,
    TAlignment Alignment)
{
    DetermineHitPositionLTR(HitInfo, Offset, RowY, Width, Alignment);
    const bool left = HitInfo.HitPositions.Contains(hiOnItemLeft);
    const bool right = HitInfo.HitPositions.Contains(hiOnItemRight);
    HitInfo.HitPositions.Exclude(THitPositions{hiOnItemLeft, hiOnItemRight});
    if (left)
        HitInfo.HitPositions.Include(hiOnItemRight);
    if (right)
        HitInfo.HitPositions.Include(hiOnItemLeft);
}

// ---- widest content ----------------------------------------------------------------

int TBaseTreeGrid::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth)
{
    if (OnBeforeGetMaxColumnWidth)
        OnBeforeGetMaxColumnWidth(FHeader.get(), Column, UseSmartColumnWidth);
    const bool treeColumn = Column == NoColumn || Column == FHeader->MainColumn();
    const int rootLevel = FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0;
    TGridNode* run = UseSmartColumnWidth ? TopNode() : GetFirstVisible(nullptr, true);
    const int bottom = TreeClientHeight();
    int top = 0;
    if (UseSmartColumnWidth && run) {
        const TRect r = GetDisplayRect(run, NoColumn, false);
        top = r.Top;
    }
    int result = 0;
    while (run) {
        int left = FMargin;
        if (treeColumn) {
            left += int(GetNodeLevel(run) + rootLevel) * int(FIndent);
            if (HasCheckImage(run))
                left += CheckImageWidth() + ImageSpacing;
        }
        left += ImageSpace(run, ikState, Column) + ImageSpace(run, ikNormal, Column);
        const int width = left + DoGetNodeWidth(run, Column) + DoGetCellContentMargin(run, Column).X;
        result = std::max(result, width);
        if (UseSmartColumnWidth) {
            top += int(NodeHeight(run));
            if (top >= bottom)
                break;
        }
        run = GetNextVisible(run, true);
    }
    result += FTextMargin;
    if (FOptions->PaintOptions().Contains(toShowVertGridLines))
        ++result;
    if (OnAfterGetMaxColumnWidth)
        OnAfterGetMaxColumnWidth(FHeader.get(), Column, result);
    return result;
}

int TBaseTreeGrid::GetMaxRightExtend()
{
    TGridNode* run = TopNode();
    const int rootLevel = FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0;
    int imageSpace = 0;
    if (FStateImages)
        imageSpace += FStateImages->Width() + ImageSpacing;
    if (FImages)
        imageSpace += FImages->Width() + ImageSpacing;
    const int height = Height();
    int covered = 0;
    int result = 0;
    while (run && covered < height) {
        if (!run->States.Contains(vsInitialized))
            InitNode(run);
        int x = int(GetNodeLevel(run) + rootLevel) * int(FIndent) + imageSpace;
        if (HasCheckImage(run))
            x += CheckImageWidth() + ImageSpacing;
        result = std::max(result, x + DoGetNodeWidth(run, NoColumn));
        covered += int(NodeHeight(run));
        run = GetNextVisible(run, true);
    }
    return result + FMargin;
}

// ---- the header strip --------------------------------------------------------------

void TBaseTreeGrid::UpdateHeaderRect()
{
    FHeaderRect = {};
    if (!FHeader || !FHeader->Options().Contains(hoVisible) || !HandleAllocated())
        return;
    const TPoint client = ClientOffset();
    FHeaderRect = {client.X, client.Y - FHeader->Height(), client.X + ClientWidth(), client.Y};
}

// ---- invalidation -------------------------------------------------------------------

void TBaseTreeGrid::InvalidateHeaderArea(const TRect& R)
{
    if (!HandleAllocated() || R.IsEmpty())
        return;
    // The header lies above the client area: in client coordinates its
    // rows are negative.
    TRect area = R;
    const TPoint client = ClientOffset();
    OffsetRect(area, -client.X, -client.Y);
    RedrawWindow(Handle(), &area, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
}

void TBaseTreeGrid::InvalidateNode(TGridNode* Node)
{
    if (!HandleAllocated() || !Node || Node == FRoot || FUpdateCount > 0)
        return;
    // Without the cache a row's place is a walk from the first row, and a
    // change that touches every row would be quadratic: a long tree then
    // repaints its client area, which the pending update region absorbs.
    if (!NodeTopIsCheap()) {
        Invalidate();
        return;
    }
    TRect r = GetDisplayRect(Node, NoColumn, false);
    if (r.IsEmpty() || r.Bottom <= 0 || r.Top >= ClientHeight())
        return;
    r.Left = 0;
    r.Right = ClientWidth();
    InvalidateRect(r);
}

void TBaseTreeGrid::InvalidateToBottom(TGridNode* Node)
{
    if (FUpdateCount > 0 || !HandleAllocated())
        return;
    if (!Node || Node == FRoot) {
        Invalidate();
        return;
    }
    if (!Node->States.Contains(vsInitialized) || !IsEffectivelyVisible(Node))
        return;
    TRect r = GetDisplayRect(Node, NoColumn, false);
    if (r.IsEmpty() || r.Top >= ClientHeight())
        return;
    r = {0, std::max(0, r.Top), ClientWidth(), ClientHeight()};
    // Children above their parent: the rows of the subtree lie above it.
    if (FOptions->PaintOptions().Contains(toChildrenAbove))
        r.Top = 0;
    InvalidateRect(r);
}

void TBaseTreeGrid::InvalidateChildren(TGridNode* Node, bool Recursive)
{
    if (!HandleAllocated() || FUpdateCount > 0)
        return;
    if (!Node)
        Node = FRoot;
    for (TGridNode* child = Node->FirstChild; child; child = child->NextSibling) {
        if (!IsEffectivelyVisible(child))
            continue;
        InvalidateNode(child);
        if (Recursive && child->States.Contains(vsExpanded))
            InvalidateChildren(child, true);
    }
}

void TBaseTreeGrid::InvalidateColumn(TColumnIndex Column)
{
    if (!HandleAllocated() || !FHeader->Columns()->IsValidColumn(Column))
        return;
    int left = 0;
    int right = 0;
    FHeader->Columns()->GetColumnBounds(Column, left, right);
    InvalidateRect({left, 0, right, ClientHeight()});
}
