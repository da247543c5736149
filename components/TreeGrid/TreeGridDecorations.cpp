// The tree's decorations: tree lines, expand buttons, check boxes and the
// node images, with the bitmaps and the dotted brush they are drawn with.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/ImgList.h"

namespace {

constexpr int ButtonBitmapSize = 9;
constexpr int ImageSpacing = 2;
constexpr TColor ButtonKeyColor = 0xFF00FF;
constexpr std::array<Byte, 8> DottedBits{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};

bool IsRightLine(TTGLineType T)
{
    return T == ltBottomRight || T == ltTopDownRight || T == ltRight || T == ltTopRight;
}

}  // namespace

// ---- line images ------------------------------------------------------------------

int TBaseTreeGrid::DetermineLineImageAndSelectLevel(TGridNode* Node, std::vector<TTGLineType>& LineImage)
{
    const TTGPaintOptions options = FOptions->PaintOptions();
    const bool showRoot = options.Contains(toShowRoot);
    int selectLevel = 0;
    for (TGridNode* run = Node->Parent; run && run != FRoot; run = run->Parent)
        if (run->States.Contains(vsSelected))
            ++selectLevel;
    const int levels = int(GetNodeLevel(Node)) + (showRoot ? 1 : 0);
    LineImage.assign(std::size_t(std::max(levels, 0)), ltNone);
    if (!options.Contains(toShowTreeLines) || levels == 0)
        return selectLevel;

    int x = levels - 1;
    TGridNode* run = Node;
    if (options.Contains(toChildrenAbove)) {
        const bool prev = HasVisiblePreviousSibling(Node);
        const bool lastTopLevel = Node->Parent == FRoot && !HasVisibleNextSibling(Node);
        if (prev)
            LineImage[std::size_t(x)] = lastTopLevel ? ltTopRight : ltTopDownRight;
        else
            LineImage[std::size_t(x)] = lastTopLevel ? ltRight : ltBottomRight;
        for (run = Node->Parent, --x; run != FRoot && x >= 0; run = run->Parent, --x)
            if (HasVisiblePreviousSibling(run))
                LineImage[std::size_t(x)] = ltTopDown;
        return selectLevel;
    }
    if (run->Parent != FRoot) {
        LineImage[std::size_t(x--)] = HasVisibleNextSibling(run) ? ltTopDownRight : ltTopRight;
        for (run = run->Parent; run->Parent != FRoot; run = run->Parent, --x)
            if (HasVisibleNextSibling(run))
                LineImage[std::size_t(x)] = ltTopDown;
    }
    if (showRoot) {
        const bool next = HasVisibleNextSibling(run);
        if (run == Node) {
            const bool prev = HasVisiblePreviousSibling(run);
            LineImage[0] = !prev && !next ? ltRight : !next ? ltTopRight : !prev ? ltBottomRight : ltTopDownRight;
        } else {
            LineImage[0] = next ? ltTopDown : ltNone;
        }
    }
    return selectLevel;
}

void TBaseTreeGrid::PaintTreeLines(const TTGPaintInfo& PaintInfo, int VAlignment, int IndentSize,
    std::vector<TTGLineType> LineImage)
{
    const bool reverse = PaintInfo.BidiMode != bdLeftToRight;
    int x = reverse ? PaintInfo.CellRect.Right - int(FIndent) : PaintInfo.CellRect.Left;
    const int step = reverse ? -int(FIndent) : int(FIndent);
    int height = int(NodeHeight(PaintInfo.Node));
    IndentSize = std::min(IndentSize, int(LineImage.size()));
    if (FLineMode == lmBands) {
        if (!PaintInfo.PaintOptions.Contains(poGridLines))
            return;
        // Each level becomes a band: a left edge, closed at the bottom where
        // a level ends.
        const std::vector<TTGLineType> original = LineImage;
        TGridNode* node = PaintInfo.Node;
        const bool openParent = Expanded(node) && CountVisibleChildren(node) > 0;
        for (int i = IndentSize - 1; i >= 0; --i) {
            const std::size_t k = std::size_t(i);
            if (openParent)
                LineImage[k] = ltLeft;
            else if (IsRightLine(original[k]))
                LineImage[k] = ltLeftBottom;
            else if (i + 1 < IndentSize && (original[k + 1] == ltNone || original[k + 1] == ltTopRight))
                LineImage[k] = LineImage[k + 1];
            else
                LineImage[k] = ltLeft;
        }
        PaintInfo.Canvas->SetTextColor(FColors->GridLineColor());
        --height;
    } else {
        PaintInfo.Canvas->SetTextColor(FColors->TreeLineColor());
    }
    for (int i = 0; i < IndentSize; ++i, x += step)
        DrawLineImage(PaintInfo, x, PaintInfo.CellRect.Top, height, VAlignment, LineImage[std::size_t(i)], reverse);
}

void TBaseTreeGrid::DrawLineImage(const TTGPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TTGLineType Style,
    bool Reverse)
{
    const int indent = int(FIndent);
    const int half = indent / 2;
    const int targetX = Reverse ? X : X + indent;
    const auto right = [&] { DrawDottedHLine(PaintInfo, X + half, targetX, Y + VAlign); };
    switch (Style) {
    case ltNone: break;
    case ltBottomRight:
        DrawDottedVLine(PaintInfo, Y + VAlign, Y + H, X + half);
        right();
        break;
    case ltTopDown: DrawDottedVLine(PaintInfo, Y, Y + H, X + half); break;
    case ltTopDownRight:
        DrawDottedVLine(PaintInfo, Y, Y + H, X + half);
        right();
        break;
    case ltRight: right(); break;
    case ltTopRight:
        DrawDottedVLine(PaintInfo, Y, Y + VAlign, X + half);
        right();
        break;
    case ltLeft: DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X); break;
    case ltLeftBottom:
        DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
        DrawDottedHLine(PaintInfo, X, X + indent, Y + H);
        break;
    }
}

// ---- buttons and the dotted brush ---------------------------------------------------

void TBaseTreeGrid::DoGetLineStyle(std::array<Byte, 8>& Bits)
{
    if (OnGetLineStyle)
        OnGetLineStyle(this, Bits);
}

void TBaseTreeGrid::PrepareBitmaps(bool NeedButtons, bool NeedLines)
{
    if (NeedButtons) {
        const auto make = [&](bool Minus) {
            auto bitmap = std::make_unique<TBitmap>(ButtonBitmapSize, ButtonBitmapSize);
            TCanvas* c = bitmap->Canvas();
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(ButtonKeyColor);
            c->FillRect(TRect(0, 0, ButtonBitmapSize, ButtonBitmapSize));
            bitmap->SetTransparentColor(ButtonKeyColor);
            bitmap->SetTransparent(true);
            if (FButtonStyle == bsTriangle) {
                c->Brush()->SetColor(clBlack);
                c->Pen()->SetColor(clBlack);
                if (Minus)
                    c->Polygon(std::vector<TPoint>{{0, 2}, {8, 2}, {4, 6}});
                else
                    c->Polygon(std::vector<TPoint>{{2, 0}, {6, 4}, {2, 8}});
                return bitmap;
            }
            if (FButtonFillMode == fmShaded) {
                bitmap = LoadTreeGridImageStrip(Minus ? "TG_XPBUTTONMINUS" : "TG_XPBUTTONPLUS", false);
                bitmap->SetTransparentColor(ButtonKeyColor);
                bitmap->SetTransparent(true);
                return bitmap;
            }
            if (FButtonFillMode == fmWindowColor)
                c->Brush()->SetColor(clWindow);
            else if (FButtonFillMode != fmTransparent)
                c->Brush()->SetColor(Color());
            c->Pen()->SetColor(FColors->TreeLineColor());
            c->Rectangle(0, 0, ButtonBitmapSize, ButtonBitmapSize);
            c->Pen()->SetColor(Font()->Color());
            const int middle = ButtonBitmapSize / 2;
            c->MoveTo(2, middle);
            c->LineTo(ButtonBitmapSize - 2, middle);
            if (!Minus) {
                c->MoveTo(middle, 2);
                c->LineTo(middle, ButtonBitmapSize - 2);
            }
            return bitmap;
        };
        FMinusBM = make(true);
        FPlusBM = make(false);
        FHotMinusBM = std::make_unique<TBitmap>();
        FHotMinusBM->Assign(FMinusBM.get());
        FHotPlusBM = std::make_unique<TBitmap>();
        FHotPlusBM->Assign(FPlusBM.get());
    }
    if (NeedLines) {
        switch (FLineStyle) {
        case lsSolid: FDottedBrush.fill(0); break;
        case lsCustomStyle:
            FDottedBrush = DottedBits;
            DoGetLineStyle(FDottedBrush);
            break;
        default: FDottedBrush = DottedBits; break;
        }
    }
}

TBitmap* TBaseTreeGrid::ButtonBitmap(bool Expanded, bool Hot)
{
    if (!FPlusBM)
        PrepareBitmaps(true, false);
    if (Hot)
        return Expanded ? FHotMinusBM.get() : FHotPlusBM.get();
    return Expanded ? FMinusBM.get() : FPlusBM.get();
}

void TBaseTreeGrid::PaintNodeButton(TCanvas* Canvas, TGridNode* Node, const TRect& R, int ButtonX, int ButtonY,
    TBiDiMode BidiMode)
{
    const bool hot = FOptions->PaintOptions().Contains(toHotTrack) && Node == FCurrentHotNode && FHotNodeButtonHit;
    TBitmap* bitmap = ButtonBitmap(Expanded(Node), hot);
    const int x = BidiMode == bdLeftToRight ? R.Left + ButtonX : R.Right - ButtonX - bitmap->Width();
    Canvas->Draw(x, R.Top + ButtonY, bitmap);
}

void TBaseTreeGrid::SetLineStyle(TTGLineStyle Value)
{
    if (Value == FLineStyle)
        return;
    FLineStyle = Value;
    if (!IsLoading()) {
        PrepareBitmaps(false, true);
        if (HandleAllocated())
            RepaintTree();
    }
}

void TBaseTreeGrid::SetLineMode(TTGLineMode Value)
{
    if (Value == FLineMode)
        return;
    FLineMode = Value;
    if (HandleAllocated() && !IsLoading())
        RepaintTree();
}

void TBaseTreeGrid::SetButtonStyle(TTGButtonStyle Value)
{
    if (Value == FButtonStyle)
        return;
    FButtonStyle = Value;
    if (!IsLoading()) {
        PrepareBitmaps(true, false);
        if (HandleAllocated())
            RepaintTree();
    }
}

void TBaseTreeGrid::SetButtonFillMode(TTGButtonFillMode Value)
{
    if (Value == FButtonFillMode)
        return;
    FButtonFillMode = Value;
    if (!IsLoading()) {
        PrepareBitmaps(true, false);
        if (HandleAllocated())
            RepaintTree();
    }
}

// ---- images and check boxes ---------------------------------------------------------

int TBaseTreeGrid::GetCheckImage(TGridNode* Node, TCheckType ImgCheckType, TCheckState ImgCheckState,
    bool ImgEnabled, bool ImgHot) const
{
    // Per check type and state: (disabled), (disabled, hot), (enabled), (enabled, hot).
    static constexpr int Table[3][6][4] = {
        {{12, 12, 9, 10}, {12, 12, 11, 11}, {16, 16, 13, 14}, {16, 16, 15, 15}, {20, 20, 17, 18}, {20, 20, 19, 19}},
        {{4, 4, 1, 2}, {4, 4, 3, 3}, {8, 8, 5, 6}, {8, 8, 7, 7}, {20, 20, 17, 18}, {20, 20, 19, 19}},
        {{24, 24, 21, 22}, {24, 24, 23, 23}, {24, 24, 21, 22}, {24, 24, 23, 23}, {20, 20, 17, 18},
            {20, 20, 19, 19}}};
    if (Node) {
        ImgCheckType = Node->CheckType;
        ImgCheckState = Node->CheckState;
        ImgEnabled = !Node->States.Contains(vsDisabled) && Enabled();
        ImgHot = Node == FCurrentHotNode;
    }
    int row;
    switch (ImgCheckType) {
    case ctTriStateCheckBox:
    case ctCheckBox: row = 0; break;
    case ctRadioButton: row = 1; break;
    case ctButton: row = 2; break;
    default: return -1;
    }
    if (ImgCheckState > csMixedPressed)
        return -1;
    return Table[row][ImgCheckState][(ImgEnabled ? 2 : 0) + (ImgHot ? 1 : 0)];
}

void TBaseTreeGrid::AdjustImageBorder(int ImageWidth, int ImageHeight, TBiDiMode BidiMode, int VAlign, TRect& R,
    TTGImageInfo& ImageInfo)
{
    if (BidiMode == bdLeftToRight) {
        ImageInfo.XPos = R.Left;
        R.Left += ImageWidth + ImageSpacing;
    } else {
        ImageInfo.XPos = R.Right - ImageWidth;
        R.Right -= ImageWidth + ImageSpacing;
    }
    ImageInfo.YPos = VAlign - ImageHeight / 2;
}

void TBaseTreeGrid::AdjustImages(TTGPaintInfo& Info, int VAlign, bool MainColumn)
{
    TGridNode* node = Info.Node;
    const int top = Info.CellRect.Top;
    if (MainColumn && HasCheckImage(node)) {
        TTGImageInfo& check = Info.ImageInfo[iiCheck];
        check.Index = GetCheckImage(node);
        if (check.Index >= 0) {
            AdjustImageBorder(CheckImageWidth(), CheckImageWidth(), Info.BidiMode, VAlign, Info.ContentRect, check);
            check.YPos += top;
        }
    }
    const auto place = [&](TTGImageKind Kind, TImageList* Own, TTGImageInfo& Image) {
        bool ghosted = false;
        int index = -1;
        TImageList* list = DoGetImageIndex(node, Kind, Info.Column, ghosted, index);
        if (!list)
            list = Own;
        if (!list || index < 0)
            return;
        Image.Index = index;
        Image.Ghosted = ghosted;
        Image.Images = list;
        AdjustImageBorder(list->Width(), list->Height(), Info.BidiMode, VAlign, Info.ContentRect, Image);
        Image.YPos += top;
    };
    place(ikState, FStateImages, Info.ImageInfo[iiState]);
    place(Selected(node) ? ikSelected : ikNormal, FImages, Info.ImageInfo[iiNormal]);
}

void TBaseTreeGrid::PaintImage(TTGPaintInfo& PaintInfo, TTGImageInfoIndex ImageInfoIndex, bool DoOverlay)
{
    const TTGImageInfo& image = PaintInfo.ImageInfo[ImageInfoIndex];
    TGridNode* node = PaintInfo.Node;
    if (!image.Images)
        return;
    const TTGPaintOptions options = FOptions->PaintOptions();
    const TTGMiscOptions misc = FOptions->MiscOptions();
    const bool selected = Selected(node);
    const bool cut = node->States.Contains(vsCutOrCopy) && FStates.Contains(tsCutPending);
    const bool blended = options.Contains(toUseBlendedImages) &&
        (Focused() || options.Contains(toGhostedIfUnfocused)) &&
        (image.Ghosted || cut ||
            (selected && !FOptions->SelectionOptions().Contains(toFullRowSelect) && !misc.Contains(toGridExtensions)));
    TColor blend = Color();
    if (selected && !image.Ghosted && !cut)
        blend = clHighlight;
    const bool enabled = !node->States.Contains(vsDisabled) && Enabled();
    if (blended && enabled)
        image.Images->DrawBlended(PaintInfo.Canvas, image.XPos, image.YPos, image.Index, ColorToRGB(blend));
    else
        image.Images->Draw(PaintInfo.Canvas, image.XPos, image.YPos, image.Index, enabled);
    if (!DoOverlay)
        return;
    bool ghosted = false;
    int overlay = -1;
    TImageList* list = DoGetImageIndex(node, ikOverlay, PaintInfo.Column, ghosted, overlay);
    if (!list)
        list = image.Images;
    if (overlay >= 0)
        list->Draw(PaintInfo.Canvas, image.XPos, image.YPos, overlay, enabled);
}
