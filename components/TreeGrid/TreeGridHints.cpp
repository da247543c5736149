// Hints of the tree: which text shows where (the tree's hint, a node's
// hint, or the cut-off text of a cell as a tooltip), when the platform asks
// before showing one, and the window that shows it.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/CustomDrawTreeGrid.h"
#include "components/TreeGrid/TreeGridDataObject.h"
#include "components/TreeGrid/TreeGridHintWindow.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace {
constexpr int PadX = 3;
constexpr int PadY = 1;
}  // namespace

TTreeGridHintWindow::TTreeGridHintWindow(TComponent* AOwner) : THintWindow(AOwner)
{
    // Fixed system colours: the tree's colours do not reach its hints.
    SetColor(clInfoBk);
}

TTreeGridHintWindow::~TTreeGridHintWindow() = default;

void TTreeGridHintWindow::TakeData(const String& AHint, void* AData)
{
    FText = AHint;
    Font()->Assign(Screen->MenuFont());
    Font()->SetColor(clInfoText);
    const auto* data = static_cast<const TTGHintData*>(AData);
    if (!data || !data->Tree)
        return;
    FText = data->HintText;
    if (data->Tooltip) {
        // The cell's text in the font the cell shows it in.
        Font()->Assign(data->Tree->Font());
        Font()->SetColor(clInfoText);
    }
}

namespace {

// The owner-drawn tree behind a hint, when its owner draws it.
TCustomDrawTreeGrid* DrawingTree(const void* AData)
{
    const auto* data = static_cast<const TTGHintData*>(AData);
    if (!data || !data->OwnerDrawn || !data->Node)
        return nullptr;
    return dynamic_cast<TCustomDrawTreeGrid*>(data->Tree);
}

}  // namespace

void TTreeGridHintWindow::Remember(void* AData)
{
    TCustomDrawTreeGrid* tree = DrawingTree(AData);
    FData = tree ? AData : nullptr;
    FTreeNumber = tree ? tree->TreeNumber() : 0;
}

TRect TTreeGridHintWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData)
{
    TakeData(AHint, AData);
    Remember(AData);
    if (FData) {
        const TRect& r = static_cast<const TTGHintData*>(AData)->HintRect;
        return {0, 0, r.Width(), r.Height()};
    }
    if (!FMeasure) {
        FMeasure = std::make_unique<TBitmap>();
        FMeasure->SetSize(1, 1);
    }
    TCanvas* c = FMeasure->Canvas();
    c->Font()->Assign(Font());
    const auto* data = static_cast<const TTGHintData*>(AData);
    const bool singleLine = data && data->Tree &&
        (data->LineBreakStyle == hlbForceSingleLine ||
            (data->Tooltip && data->LineBreakStyle != hlbForceMultiLine &&
                !(data->Node && data->Node->States.Contains(vsMultiline))));
    const int border = 2 * (PadX + 1);
    TRect r{0, 0, std::max(1, MaxWidth - border), 0};
    c->DrawText(FText, r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | (singleLine ? DT_SINGLELINE : DT_WORDBREAK));
    return {0, 0, r.Right + border, r.Bottom + 2 * (PadY + 1)};
}

void TTreeGridHintWindow::ActivateHintData(TRect Rect, const String& AHint, void* AData)
{
    TakeData(AHint, AData);
    Remember(AData);
    // No animation, no shadow: the window appears where the tree put it.
    ActivateHint(Rect, FText);
}

void TTreeGridHintWindow::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clInfoBk);
    c->FillRect(ClientRect());
    // The hint data lives in its tree, which may have gone while the hint
    // still shows: only a live tree still holding it draws.
    auto* tree = dynamic_cast<TCustomDrawTreeGrid*>(FData ? FindTreeGrid(FTreeNumber) : nullptr);
    if (tree && &tree->HintData() == FData) {
        const auto* data = static_cast<const TTGHintData*>(FData);
        c->Font()->Assign(Font());
        tree->DoDrawHint(c, data->Node, ClientRect(), data->Column);
        return;
    }
    // The window's border already takes the pixel CalcHintRect adds to each
    // side, so a frame of our own would narrow the text below its measured
    // width and wrap its last word out of sight.
    TRect r = ClientRect();
    r.Left += PadX;
    r.Top += PadY;
    r.Right -= PadX;
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    c->DrawText(FText, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
}

// ---- the tree's side ------------------------------------------------------------------

TClass TBaseTreeGrid::GetHintWindowClass() { return TTreeGridHintWindow::StaticClassInfo(); }

THintAnimationType TBaseTreeGrid::DoGetAnimationType() const
{
    // The platform's hints neither fade nor slide.
    return FAnimationType == hatSystemDefault ? hatNone : FAnimationType;
}

String TBaseTreeGrid::DoGetNodeHint(TGridNode*, TColumnIndex, TTGTooltipLineBreakStyle&) { return {}; }

void TBaseTreeGrid::CMHintShowPause(TMessage& Message)
{
    auto* pause = reinterpret_cast<int*>(Message.LParam);
    if (!pause)
        return;
    const TPoint p = ScreenToClient(GetCursorPos());
    const bool overHeader = FHeader->UseColumns() && FHeader->Options().Contains(hoShowHint) && p.Y < 0 &&
        p.Y >= -FHeader->Height();
    const bool hintShown = Application->ShownHintWindow() != nullptr;
    if ((!hintShown && overHeader) || FHintMode == hmTooltip)
        *pause = 0;
}

void TBaseTreeGrid::CMHintShow(TMessage& Message)
{
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    Message.Result = 1;
    if (!info)
        return;
    if (FLastHintRect.Contains(info->CursorPos))
        return;
    const TPoint p = info->CursorPos;
    THitInfo hit;
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    bool may = FStates.Contains(tsEditing) ? hit.HitNode != FFocusedNode : true;
    may = may && !GetCaptureControl() && ShowHint() && !Dragging() && !IsMouseSelecting() &&
        !FStates.Contains(tsScrolling) && FHeader->States().Empty();
    bool accepted = false;
    TRect cursorRect;
    FHintData = {};
    if (may) {
        TTreeGridColumns* columns = FHeader->Columns();
        const int clientWidth = TreeClientWidth();
        const int clientHeight = TreeClientHeight();
        const bool useColumns = FHeader->UseColumns();
        if (useColumns && FHeader->Options().Contains(hoShowHint) && p.Y < 0 && p.Y >= -FHeader->Height()) {
            int left = 0;
            int right = 0;
            const TColumnIndex column = columns->GetColumnAndBounds(p.X, 0, left, right);
            cursorRect = {left, -FHeader->Height(), right, 0};
            info->HintPos.Y = std::max(info->HintPos.Y, ClientToScreen({0, 0}).Y);
            if (columns->IsValidColumn(column) && GetKeyState(VK_LBUTTON) >= 0) {
                FHintData.DefaultHint = columns->Items(column)->Hint();
                FHintData.HintText = FHintData.DefaultHint;
                FHintData.Column = column;
                accepted = !FHintData.DefaultHint.empty();
            }
        } else if (FHintMode == hmDefault) {
            FHintData.HintText = GetShortHint(Hint());
            cursorRect = ClientRect();
            accepted = !FHintData.HintText.empty();
        } else if (hit.HitNode && (hit.HitColumn > NoColumn || !useColumns)) {
            TGridNode* node = hit.HitNode;
            const TColumnIndex column = useColumns ? hit.HitColumn : NoColumn;
            int cellLeft = 0;
            int cellRight = clientWidth;
            if (useColumns) {
                columns->GetColumnBounds(column, cellLeft, cellRight);
                if (FOptions->AutoOptions().Contains(toAutoSpanColumns))
                    for (TColumnIndex next = columns->GetNextVisibleColumn(column);
                         columns->IsValidColumn(next) && ColumnIsEmpty(node, next);
                         next = columns->GetNextVisibleColumn(next)) {
                        int l = 0;
                        int r = 0;
                        columns->GetColumnBounds(next, l, r);
                        cellRight = r;
                    }
            }
            FHintData.Node = node;
            FHintData.Column = column;
            // An owner-drawn tree's owner says how large the hint is; no
            // room means no hint.
            auto* drawTree = dynamic_cast<TCustomDrawTreeGrid*>(this);
            TRect drawn;
            if (drawTree) {
                const TRect cell = GetDisplayRect(node, column, false);
                drawn = {0, 0, cell.Width(), cell.Height()};
                drawTree->DoGetHintSize(node, column, drawn);
                FHintData.OwnerDrawn = !drawn.IsEmpty();
            }
            if (drawTree && !FHintData.OwnerDrawn) {
                // refused
            } else if (FHintMode == hmTooltip) {
                TRect textRect;
                bool show = false;
                if (!node->States.Contains(vsMultiline)) {
                    textRect = GetDisplayRect(node, column, true, true, true);
                    const TPoint margin = DoGetCellContentMargin(node, column);
                    const bool inside = textRect.Contains(p) && p.X >= cellLeft && p.X < cellRight;
                    const bool cutOff = textRect.Right + margin.X > std::min(cellRight - 1, clientWidth) ||
                        textRect.Left < std::max(cellLeft, 0) || textRect.Bottom + margin.Y > clientHeight ||
                        textRect.Top < 0;
                    show = inside && cutOff;
                } else {
                    textRect = GetDisplayRect(node, column, false, true);
                    show = hit.HitPositions.Contains(hiOnItemLabel);
                }
                if (show) {
                    FHintData.HintText = DoGetNodeTooltip(node, column);
                    FHintData.Tooltip = true;
                    FHintData.HintRect = drawTree ? drawn : textRect;
                    info->HintPos = ClientToScreen({textRect.Left, textRect.Top});
                    cursorRect = textRect;
                    accepted = drawTree || !FHintData.HintText.empty();
                }
            } else {
                FHintData.HintText = DoGetNodeHint(node, column, FHintData.LineBreakStyle);
                if (FHintData.HintText.empty() && FHintMode == hmHintAndDefault)
                    FHintData.HintText = GetShortHint(Hint());
                TRect cell = GetDisplayRect(node, column, false);
                cell.Left = cellLeft;
                cell.Right = cellRight;
                cursorRect = cell;
                info->HintPos.Y = std::max(info->HintPos.Y, ClientToScreen({0, cell.Bottom}).Y + 2);
                if (drawTree)
                    FHintData.HintRect = drawn;
                accepted = drawTree || !FHintData.HintText.empty();
            }
        } else if (FHintMode == hmHintAndDefault && !hit.HitNode) {
            FHintData.DefaultHint = GetShortHint(Hint());
            FHintData.HintText = FHintData.DefaultHint;
            cursorRect = ClientRect();
            accepted = !FHintData.HintText.empty();
        }
    }
    if (accepted) {
        Message.Result = 0;
        FHintData.Tree = this;
        info->HintWindowClass = GetHintWindowClass();
        info->HintStr.assign(1, ' ');
        info->HintData = &FHintData;
        info->CursorRect = cursorRect;
        FLastHintRect = cursorRect;
        DoStateChange({tsHint});
    } else {
        // The answer may differ a pixel further (another cell, the text's
        // edge): ask again on the next move.
        info->CursorRect = {p.X, p.Y, p.X + 1, p.Y + 1};
        FLastHintRect = {};
        FHintData = {};
        DoStateChange({}, {tsHint});
    }
}
