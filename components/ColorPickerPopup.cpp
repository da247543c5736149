#include "components/ColorPickerPopup.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "components/KitTranslation.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"

namespace {

struct TNamedColor {
    TColor Color;
    const char* Name;
};

constexpr TNamedColor NamedColors[] = {
    {0x000000, "Black"},       {0x003399, "Brown"},        {0x003333, "Olive Green"},  {0x003300, "Dark Green"},
    {0x663300, "Dark Teal"},   {0x800000, "Dark blue"},    {0x993333, "Indigo"},       {0x333333, "Gray-80%"},
    {0x000080, "Dark Red"},    {0x0066FF, "Orange"},       {0x008080, "Dark Yellow"},  {0x008000, "Green"},
    {0x808000, "Teal"},        {0xFF0000, "Blue"},         {0x996666, "Blue-Gray"},    {0x808080, "Gray-50%"},
    {0x0000FF, "Red"},         {0x0099FF, "Light Orange"}, {0x00CC99, "Lime"},         {0x669933, "Sea Green"},
    {0xCCCC33, "Aqua"},        {0xFF6633, "Light Blue"},   {0x800080, "Violet"},       {0x969696, "Grey-40%"},
    {0xFF00FF, "Pink"},        {0x00CCFF, "Gold"},         {0x00FFFF, "Yellow"},       {0x00FF00, "Bright Green"},
    {0xFFFF00, "Turquoise"},   {0xFFCC00, "Sky Blue"},     {0x663399, "Plum"},         {0xC0C0C0, "Gray-25%"},
    {0xCC99FF, "Rose"},        {0x99CCFF, "Tan"},          {0x99FFFF, "Light Yellow"}, {0xCCFFCC, "Light Green"},
    {0xFFFFCC, "Light Turquoise"}, {0xFFCC99, "Pale Blue"}, {0xFF99CC, "Lavender"},    {0xFFFFFF, "White"},
};

constexpr const char* SysColorNames[] = {
    "scroll bar", "background", "active caption", "inactive caption", "menu", "window", "window frame",
    "menu text", "window text", "caption text", "active border", "inactive border", "application workspace",
    "highlight", "highlight text", "button face", "button shadow", "gray text", "button text",
    "inactive caption text", "button highlight", "3D dark shadow", "3D light", "info text", "info background"};

// The comb's six corner colours, from the right-hand corner on.
constexpr TRGB CornerColors[6] = {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};

Byte ToByte(double Fraction) { return Byte(std::clamp(std::lround(Fraction * 255), 0L, 255L)); }

TColor ToColor(const TRGB& C) { return RGB(ToByte(C.Red), ToByte(C.Green), ToByte(C.Blue)); }

TRGB Mix(const TRGB& A, const TRGB& B, double T)
{
    return {A.Red + (B.Red - A.Red) * T, A.Green + (B.Green - A.Green) * T, A.Blue + (B.Blue - A.Blue) * T};
}

long Squared(TPoint A, TPoint B)
{
    const long dx = A.X - B.X;
    const long dy = A.Y - B.Y;
    return dx * dx + dy * dy;
}

// The nearest entry whose circle of Radius holds P; -1 when none does.
int NearestWithin(const std::vector<TCombEntry>& Entries, TPoint P, const std::function<double(int)>& Radius)
{
    int best = -1;
    long bestDistance = 0;
    for (int i = 0; i < int(Entries.size()); ++i) {
        const long d = Squared(Entries[std::size_t(i)].Position, P);
        const double r = Radius(i);
        if (double(d) <= r * r && (best < 0 || d < bestDistance)) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

TColorPickerPopup* ColorPickerPopup = nullptr;

TColorPickerPopup::TColorPickerPopup(TComponent* AOwner) : TForm(AOwner)
{
    SetName("ColorPickerPopup");
    SetBorderStyle(bsNone);
    SetColor(clBtnFace);
    SetKeyPreview(true);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    FMargin = GetSystemMetrics(SM_CXEDGE);
    FCustomText = KitTranslate("mix colour");
    for (int k = 0; k < 6; ++k) {
        const double a = (90.0 - 60.0 * k) * std::numbers::pi / 180;
        FCombCorners[std::size_t(k)] = {0.5 * std::cos(a), 0.5 * std::sin(a)};
    }
    AdjustWindow();
}

TColorPickerPopup::~TColorPickerPopup() = default;

TColor TColorPickerPopup::GridColor(int Index)
{
    if (Index == DefaultCell)
        return clDefault;
    if (Index >= 0 && Index < NamedColorCount)
        return NamedColors[Index].Color;
    if (Index >= NamedColorCount && Index < NamedColorCount + SysColorCount)
        return clSystemColor | TColor(Index - NamedColorCount);
    return clNone;
}

String TColorPickerPopup::ColorName(int Index)
{
    if (Index >= 0 && Index < NamedColorCount)
        return NamedColors[Index].Name;
    if (Index >= NamedColorCount && Index < NamedColorCount + SysColorCount)
        return String("system color: ") + SysColorNames[Index - NamedColorCount];
    return String();
}

void TColorPickerPopup::SetDefaultText(const String& Value)
{
    if (FDefaultText == Value)
        return;
    FDefaultText = Value;
    AdjustWindow();
}

void TColorPickerPopup::SetCustomText(const String& Value)
{
    if (FCustomText == Value)
        return;
    FCustomText = Value;
    AdjustWindow();
}

void TColorPickerPopup::SetShowSysColors(bool Value)
{
    if (FShowSysColors == Value)
        return;
    FShowSysColors = Value;
    AdjustWindow();
}

// ---- layout --------------------------------------------------------------------------

void TColorPickerPopup::AdjustWindow()
{
    const int e = FMargin;
    const int s = FSpacing;
    const int b = FBoxSize;
    TBitmap measure(1, 1);
    TCanvas* c = measure.Canvas();
    c->SetFont(Font());
    TSize text{0, 0};
    for (const String& t : {FDefaultText, FCustomText}) {
        const TSize x = c->TextExtent(StringReplace(t, "&", "", {rfReplaceAll}));
        text.cx = std::max(text.cx, x.cx);
        text.cy = std::max(text.cy, x.cy);
    }
    text.cx += 2 * e;
    text.cy += 4 * e + 2;

    const int width = FColumnCount * b + 2 * e + 2 * s;
    int y = 2 * e;
    FDefaultTextRect = TRect();
    if (!FDefaultText.empty()) {
        FDefaultTextRect = TRect(e + s, y, width - e - s, y + text.cy);
        y += text.cy + 2 * e;
    }
    FGridTop = y;
    y += FRowCount * b;
    FSysTop = y + 3 * e;
    if (FShowSysColors)
        y = FSysTop + FSysRowCount * b;
    y += 2 * e;
    FCustomTextRect = TRect(e + s, y, width - e - s, y + text.cy);
    const int mid = (FCustomTextRect.Top + FCustomTextRect.Bottom) / 2;
    FCustomColorRect = TRect(FCustomTextRect.Right - e - 1 - b, mid - b / 2, FCustomTextRect.Right - e - 1, mid - b / 2 + b);
    y = FCustomTextRect.Bottom + 2 * e;
    FGridHeight = y;

    FRadius = int(std::lround(8.0 * b * 7 / 16));
    FCombSize = int(std::lround(double(FRadius) / (FLevels - 1) + 0.5));
    FColorCombRect = TRect(e + s, y, e + s + 2 * FRadius, y + 2 * FRadius);
    const double cos30 = std::cos(std::numbers::pi / 6);
    const int bwWidth = int(std::lround(cos30 * 17 * FCombSize / 2)) + 6 * FCombSize;
    FBWCombRect = TRect(FColorCombRect.Left, FColorCombRect.Bottom - 4, FColorCombRect.Left + bwWidth,
                        FColorCombRect.Bottom - 4 + 2 * FCombSize);
    FSliderRect = TRect(FColorCombRect.Right + 2 * e, FColorCombRect.Top + FCombSize, FColorCombRect.Right + 2 * e + 20,
                        FColorCombRect.Bottom - FCombSize);
    FWindowRect = TRect(0, 0, width, FCustomOpen ? CustomHeight() : FGridHeight);
    FColorCombs.clear();
    SetBounds(Left(), Top(), FWindowRect.Width(), FWindowRect.Height());
    Invalidate();
}

TRect TColorPickerPopup::CellRect(int Index) const
{
    if (Index == DefaultCell)
        return FDefaultTextRect;
    if (Index == CustomCell)
        return FCustomTextRect;
    if (Index < 0 || Index >= NamedColorCount + SysColorCount)
        return TRect();
    const int left = (Index % FColumnCount) * FBoxSize + FMargin + FSpacing;
    const int top = Index < NamedColorCount ? FGridTop + (Index / FColumnCount) * FBoxSize
                                            : FSysTop + ((Index - NamedColorCount) / FColumnCount) * FBoxSize;
    return TRect(left, top, left + FBoxSize, top + FBoxSize);
}

int TColorPickerPopup::SelectionFromPoint(TPoint P) const
{
    if (FCustomTextRect.Contains(P))
        return CustomCell;
    if (!FDefaultText.empty() && FDefaultTextRect.Contains(P))
        return DefaultCell;
    // Only the columns' own span: the margins beside them are no cell.
    const int left = FMargin + FSpacing;
    if (P.X < left || P.X >= left + FColumnCount * FBoxSize)
        return NoCell;
    const int column = (P.X - left) / FBoxSize;
    if (P.Y >= FGridTop && P.Y < FGridTop + FRowCount * FBoxSize) {
        const int index = (P.Y - FGridTop) / FBoxSize * FColumnCount + column;
        return index < NamedColorCount ? index : NoCell;
    }
    if (FShowSysColors && P.Y >= FSysTop && P.Y < FSysTop + FSysRowCount * FBoxSize) {
        const int index = (P.Y - FSysTop) / FBoxSize * FColumnCount + column;
        return index < SysColorCount ? NamedColorCount + index : NoCell;
    }
    return NoCell;
}

int TColorPickerPopup::CombIndexAt(TPoint P) const
{
    if (FColorCombs.empty())
        const_cast<TColorPickerPopup*>(this)->CalculateCombLayout();
    const TPoint centre{FColorCombRect.Left + FRadius, FColorCombRect.Top + FRadius};
    const double r = FCombSize / 2.0;
    return NearestWithin(FColorCombs, P - centre, [r](int) { return r; });
}

int TColorPickerPopup::GreyIndexAt(TPoint P) const
{
    if (FBWCombs.empty())
        const_cast<TColorPickerPopup*>(this)->CalculateCombLayout();
    const TPoint corner{FBWCombRect.Left, FBWCombRect.Top};
    const int last = int(FBWCombs.size()) - 1;
    const double small = FCombSize / 2.0;
    const double large = FCombSize;
    return NearestWithin(FBWCombs, P - corner,
                         [=](int I) { return I == 0 || I == last ? large : small; });
}

// ---- the comb ------------------------------------------------------------------------

void TColorPickerPopup::CalculateCombLayout()
{
    FColorCombs.clear();
    FColorCombs.push_back({TPoint{0, 0}, ToColor(FCenterColor)});
    const double reach = 2 * FRadius * std::cos(std::numbers::pi / 6);
    // The corners lie sideways: a corner's x gives the cell's y.
    auto corner = [&](int K) {
        const TFloatPoint& c = FCombCorners[std::size_t(K % 6)];
        return TFloatPoint{c.Y * reach, c.X * reach};
    };
    const int rings = FLevels - 1;
    for (int i = 0; i < 6; ++i) {
        const TFloatPoint a = corner(i);
        const TFloatPoint b = corner(i + 1);
        for (int k = 1; k <= rings; ++k) {
            const double t = double(k) / rings;
            const TFloatPoint p1{a.X * t, a.Y * t};
            const TFloatPoint p2{b.X * t, b.Y * t};
            const TRGB c1 = Mix(FCenterColor, CornerColors[i], t);
            const TRGB c2 = Mix(FCenterColor, CornerColors[(i + 1) % 6], t);
            for (int j = 0; j < k; ++j) {
                const double u = double(j) / k;
                const TPoint at{int(std::lround(p1.X + (p2.X - p1.X) * u)), int(std::lround(p1.Y + (p2.Y - p1.Y) * u))};
                FColorCombs.push_back({at, ToColor(Mix(c1, c2, u))});
            }
        }
    }

    FBWCombs.clear();
    FBWCombs.push_back({TPoint{FCombSize, FCombSize}, clWhite});
    const int step = int(std::lround(std::cos(std::numbers::pi / 6) * FCombSize / 2));
    const int lift = int(std::lround((std::sin(std::numbers::pi / 6) + 1) * FCombSize / 2));
    for (int j = 1; j <= 15; ++j) {
        const Byte level = Byte(225 - 15 * (j - 1));
        // Every second cell sits lower, so that the row interlocks.
        const int y = (FCombSize / 4) * 3 + (j % 2 == 0 ? lift : 0);
        FBWCombs.push_back({TPoint{3 * FCombSize + (j - 1) * step, y}, RGB(level, level, level)});
    }
    FBWCombs.push_back({TPoint{3 * FCombSize + 16 * step + FCombSize, FCombSize}, clBlack});
}

void TColorPickerPopup::SetCenterIntensity(double Value)
{
    FCenterIntensity = std::clamp(Value, 0.0, 1.0);
    FCenterColor = {FCenterIntensity, FCenterIntensity, FCenterIntensity};
    FColorCombs.clear();
    CalculateCombLayout();
    Invalidate();
}

TColor TColorPickerPopup::CustomColor() const
{
    if (FColorCombs.empty() || FBWCombs.empty())
        const_cast<TColorPickerPopup*>(this)->CalculateCombLayout();
    if (FCustomIndex > 0 && FCustomIndex <= int(FColorCombs.size()))
        return FColorCombs[std::size_t(FCustomIndex - 1)].Color;
    if (FCustomIndex < 0 && -FCustomIndex <= int(FBWCombs.size()))
        return FBWCombs[std::size_t(-FCustomIndex - 1)].Color;
    return clNone;
}

void TColorPickerPopup::OpenCustomSection()
{
    if (FCustomOpen)
        return;
    FCustomOpen = true;
    ShowPopupAligned();
}

// ---- selection -----------------------------------------------------------------------

void TColorPickerPopup::SetSelectionColor(TColor Color)
{
    FSelectionColor = Color;
    FSelectedIndex = NoCell;
    FCustomIndex = 0;
    if (Color == clDefault && !FDefaultText.empty()) {
        FSelectedIndex = DefaultCell;
    } else {
        for (int i = 0; i < NamedColorCount + SysColorCount && FSelectedIndex == NoCell; ++i)
            if (GridColor(i) == Color && (i < NamedColorCount || FShowSysColors))
                FSelectedIndex = i;
    }
    if (FSelectedIndex == NoCell && !IsSystemColor(Color) && Color != clDefault && Color != clNone) {
        CalculateCombLayout();
        for (int k = 0; k < int(FColorCombs.size()) && FCustomIndex == 0; ++k)
            if (FColorCombs[std::size_t(k)].Color == Color)
                FCustomIndex = k + 1;
        for (int k = 0; k < int(FBWCombs.size()) && FCustomIndex == 0; ++k)
            if (FBWCombs[std::size_t(k)].Color == Color)
                FCustomIndex = -(k + 1);
        if (FCustomIndex != 0) {
            FSelectedIndex = CustomCell;
            FCustomOpen = true;
            FWindowRect.Bottom = CustomHeight();
            SetHeight(CustomHeight());
        }
    }
    Invalidate();
}

void TColorPickerPopup::SetHoverIndex(int Value)
{
    // Hidden system colours and anything past them are no place to hover.
    if (Value >= NamedColorCount + SysColorCount || (Value >= NamedColorCount && !FShowSysColors))
        Value = NoCell;
    if (Value == DefaultCell && FDefaultText.empty())
        Value = NoCell;
    if (FHoverIndex == Value)
        return;
    FHoverIndex = Value;
    Invalidate();
}

bool TColorPickerPopup::IsShown(int Index) const
{
    if (Index == DefaultCell)
        return !FDefaultText.empty();
    if (Index == CustomCell)
        return true;
    return Index >= 0 && (Index < NamedColorCount || (FShowSysColors && Index < NamedColorCount + SysColorCount));
}

void TColorPickerPopup::EndSelection(int Index)
{
    if (Index == CustomCell) {
        const TColor c = CustomColor();
        if (c == clNone) {
            // Nothing mixed yet: the custom section is where to mix it.
            OpenCustomSection();
            return;
        }
        FSelectionColor = c;
    } else {
        FSelectionColor = GridColor(Index);
    }
    FSelectedIndex = Index;
    SetModalResult(mrOk);
}

void TColorPickerPopup::DragTo(TPoint P)
{
    switch (FSelectionMode) {
    case smRamp:
        if (FSliderRect.Height() > 0)
            SetCenterIntensity(1.0 - double(P.Y - FSliderRect.Top) / FSliderRect.Height());
        break;
    case smColor:
        if (const int k = CombIndexAt(P); k >= 0 && FCustomIndex != k + 1) {
            FCustomIndex = k + 1;
            Invalidate();
        }
        break;
    case smBW:
        if (const int k = GreyIndexAt(P); k >= 0 && FCustomIndex != -(k + 1)) {
            FCustomIndex = -(k + 1);
            Invalidate();
        }
        break;
    case smNone:
        break;
    }
}

void TColorPickerPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TPoint p{X, Y};
    FSelectionMode = smNone;
    if (FCustomOpen) {
        if (FSliderRect.Contains(p))
            FSelectionMode = smRamp;
        else if (CombIndexAt(p) >= 0)
            FSelectionMode = smColor;
        else if (GreyIndexAt(p) >= 0)
            FSelectionMode = smBW;
    }
    if (FSelectionMode == smNone) {
        // A press outside the custom section's areas drops what was mixed.
        if (FCustomOpen && FCustomIndex != 0 && SelectionFromPoint(p) != CustomCell) {
            FCustomIndex = 0;
            Invalidate();
        }
        return;
    }
    DragTo(p);
}

void TColorPickerPopup::MouseMove(TShiftState Shift, int X, int Y)
{
    TForm::MouseMove(Shift, X, Y);
    if (FSelectionMode != smNone && Shift.Contains(ssLeft)) {
        DragTo({X, Y});
        return;
    }
    SetHoverIndex(SelectionFromPoint({X, Y}));
}

void TColorPickerPopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TForm::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TSelectionMode mode = FSelectionMode;
    FSelectionMode = smNone;
    if ((mode == smColor || mode == smBW) && FCustomIndex != 0) {
        EndSelection(CustomCell);
        return;
    }
    if (mode == smRamp)
        return;
    const int index = SelectionFromPoint({X, Y});
    if (index == CustomCell)
        OpenCustomSection();
    else if (index != NoCell)
        EndSelection(index);
}

WideChar TColorPickerPopup::Accelerator(const String& Text)
{
    const std::size_t amp = Text.find('&');
    if (amp == String::npos || amp + 1 >= Text.size() || Text[amp + 1] == '&')
        return 0;
    return WideChar(std::toupper(static_cast<unsigned char>(Text[amp + 1])));
}

void TColorPickerPopup::KeyDown(Word& Key, TShiftState Shift)
{
    TForm::KeyDown(Key, Shift);
    if (Shift.Contains(ssAlt)) {
        if (Key != 0 && WideChar(Key) == Accelerator(FDefaultText) && !FDefaultText.empty()) {
            EndSelection(DefaultCell);
            Key = 0;
        } else if (Key != 0 && WideChar(Key) == Accelerator(FCustomText)) {
            OpenCustomSection();
            Key = 0;
        }
        return;
    }
    switch (Key) {
    case VK_RETURN:
    case VK_SPACE: {
        const int index = FHoverIndex != NoCell ? FHoverIndex : FSelectedIndex;
        if (index != NoCell && IsShown(index))
            EndSelection(index);
        Key = 0;
        break;
    }
    case VK_ESCAPE:
        SetModalResult(mrCancel);
        Key = 0;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        MoveHover(Key);
        Key = 0;
        break;
    default:
        break;
    }
}

void TColorPickerPopup::MoveHover(Word Key)
{
    // The cells in reading order: default, named, system, custom.
    std::vector<int> order;
    if (!FDefaultText.empty())
        order.push_back(DefaultCell);
    const int grid = NamedColorCount + (FShowSysColors ? SysColorCount : 0);
    for (int i = 0; i < grid; ++i)
        order.push_back(i);
    order.push_back(CustomCell);
    const int n = int(order.size());
    const int at = int(std::find(order.begin(), order.end(), FHoverIndex) - order.begin());
    if (at >= n) {
        SetHoverIndex(order.front());
        return;
    }
    const int h = FHoverIndex;
    int next = h;
    switch (Key) {
    case VK_RIGHT:
        next = order[std::size_t((at + 1) % n)];
        break;
    case VK_LEFT:
        next = order[std::size_t((at + n - 1) % n)];
        break;
    case VK_DOWN:
        if (h == DefaultCell)
            next = 0;
        else if (h == CustomCell)
            next = order.front();
        else if (h < NamedColorCount)
            next = h + FColumnCount < NamedColorCount ? h + FColumnCount
                   : FShowSysColors                   ? NamedColorCount + h % FColumnCount
                                                      : CustomCell;
        else
            next = h + FColumnCount < grid ? h + FColumnCount : CustomCell;
        break;
    case VK_UP:
        if (h == DefaultCell)
            next = CustomCell;
        else if (h == CustomCell)
            next = grid - 1 - (grid - 1) % FColumnCount;
        else if (h < FColumnCount)
            next = FDefaultText.empty() ? CustomCell : DefaultCell;
        else if (h >= NamedColorCount && h < NamedColorCount + FColumnCount)
            next = NamedColorCount - FColumnCount + (h - NamedColorCount);
        else
            next = h - FColumnCount;
        break;
    default:
        break;
    }
    SetHoverIndex(next);
}

// ---- placing -------------------------------------------------------------------------

void TColorPickerPopup::ShowPopupAligned()
{
    const int height = FCustomOpen ? CustomHeight() : FGridHeight;
    const int width = FWindowRect.Width();
    FWindowRect = TRect(0, 0, width, height);
    const TRect screen = Screen->MonitorRect(TPoint{DestRect.Left, DestRect.Bottom});
    int left = DestRect.Left;
    int top = DestRect.Bottom;
    if (top + height > screen.Bottom) {
        top = screen.Bottom - height;
        if (top < DestRect.Bottom)
            top = DestRect.Top - height;
    }
    if (left + width > screen.Right)
        left = screen.Right - width;
    left = std::max(left, screen.Left);
    SetBounds(left, top, width, height);
    Invalidate();
}

TModalResult TColorPickerPopup::Popup()
{
    // The language may have changed since the last time.
    SetCustomText(KitTranslate("mix colour"));
    FSelectionMode = smNone;
    SetHoverIndex(NoCell);
    ShowPopupAligned();
    return RunPopup();
}

void TColorPickerPopup::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    Params.WindowClassStyle |= CS_DROPSHADOW;
}

bool TColorPickerPopup::PopupOutsidePress(TMouseButton, const TPoint&)
{
    // Neither closed nor passed on: a colour is picked or Esc pressed.
    return true;
}

// ---- messages and painting -----------------------------------------------------------

void TColorPickerPopup::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (TCanvas* c = Message.DC()) {
            PaintPicker(c);
            return;
        }
        break;
    default:
        break;
    }
    TForm::Dispatch(Message);
}

void TColorPickerPopup::PaintTextCell(TCanvas* C, int Index, const TRect& R, const String& Text)
{
    C->Brush()->SetColor(FHoverIndex == Index ? clBtnHighlight : clBtnFace);
    C->FillRect(R);
    if (FSelectedIndex == Index || FHoverIndex == Index) {
        C->Brush()->SetColor(FSelectedIndex == Index ? clBtnShadow : clHighlight);
        C->FrameRect(R);
    }
    C->Font()->Assign(Font());
    C->Font()->SetColor(clBtnText);
    C->Brush()->SetStyle(bsClear);
    TRect t = R;
    if (Index == CustomCell)
        t.Right = FCustomColorRect.Left - FMargin;
    C->DrawText(Text, t, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    C->Brush()->SetStyle(bsSolid);
}

void TColorPickerPopup::PaintCell(TCanvas* C, int Index)
{
    const TRect r = CellRect(Index);
    // The cell's frame: raised under the pointer, sunken when selected.
    if (FSelectedIndex == Index || FHoverIndex == Index) {
        TRect frame = r;
        C->DrawEdge(frame, FSelectedIndex == Index ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    const TRect swatch(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(swatch);
    C->Brush()->SetColor(GridColor(Index));
    C->FillRect(TRect(swatch.Left + 1, swatch.Top + 1, swatch.Right - 1, swatch.Bottom - 1));
}

void TColorPickerPopup::PaintCustomSection(TCanvas* C)
{
    if (FColorCombs.empty())
        CalculateCombLayout();
    const TPoint centre{FColorCombRect.Left + FRadius, FColorCombRect.Top + FRadius};
    auto hexagon = [&](TPoint At, double Size, TColor Color, bool Marked) {
        std::vector<TPoint> points;
        for (const TFloatPoint& k : FCombCorners)
            points.push_back({At.X + int(std::lround(k.X * Size)), At.Y + int(std::lround(k.Y * Size))});
        C->Brush()->SetColor(Color);
        C->Pen()->SetColor(Marked ? clBlack : Color);
        C->Polygon(points);
        if (Marked) {
            C->Pen()->SetColor(clWhite);
            C->Brush()->SetStyle(bsClear);
            for (TPoint& p : points)
                p = {At.X + (p.X - At.X) * 2 / 3, At.Y + (p.Y - At.Y) * 2 / 3};
            C->Polygon(points);
            C->Brush()->SetStyle(bsSolid);
        }
    };
    for (int k = 0; k < int(FColorCombs.size()); ++k)
        hexagon(centre + FColorCombs[std::size_t(k)].Position, FCombSize + 1, FColorCombs[std::size_t(k)].Color,
                FCustomIndex == k + 1);
    const TPoint corner{FBWCombRect.Left, FBWCombRect.Top};
    const int last = int(FBWCombs.size()) - 1;
    for (int k = 0; k <= last; ++k) {
        const double size = k == 0 || k == last ? 2.0 * FCombSize : FCombSize + 1;
        hexagon(corner + FBWCombs[std::size_t(k)].Position, size, FBWCombs[std::size_t(k)].Color,
                FCustomIndex == -(k + 1));
    }
    // The slider: white at the top to black at the bottom, and a mark at
    // the centre's brightness.
    const TRect s = FSliderRect;
    for (int y = s.Top; y < s.Bottom; ++y) {
        const Byte v = ToByte(1.0 - double(y - s.Top) / std::max(1, s.Height()));
        C->Brush()->SetColor(RGB(v, v, v));
        C->FillRect(TRect(s.Left, y, s.Right, y + 1));
    }
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(s);
    const int markY = s.Top + int(std::lround((1.0 - FCenterIntensity) * s.Height()));
    C->Pen()->SetColor(clBtnText);
    C->Brush()->SetColor(clBtnText);
    const std::vector<TPoint> arrow{{s.Left - 1, markY}, {s.Left - 5, markY - 4}, {s.Left - 5, markY + 4}};
    C->Polygon(arrow);
}

void TColorPickerPopup::PaintPicker(TCanvas* C)
{
    if (FColorCombs.empty())
        CalculateCombLayout();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(ClientRect());
    C->Pen()->SetWidth(1);
    if (!FDefaultText.empty())
        PaintTextCell(C, DefaultCell, FDefaultTextRect, StringReplace(FDefaultText, "&", "", {rfReplaceAll}));
    for (int i = 0; i < NamedColorCount; ++i)
        PaintCell(C, i);
    if (FShowSysColors)
        for (int i = NamedColorCount; i < NamedColorCount + SysColorCount; ++i)
            PaintCell(C, i);
    PaintTextCell(C, CustomCell, FCustomTextRect, StringReplace(FCustomText, "&", "", {rfReplaceAll}));
    const TColor custom = CustomColor();
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(FCustomColorRect);
    C->Brush()->SetColor(custom == clNone ? clBtnFace : custom);
    C->FillRect(TRect(FCustomColorRect.Left + 1, FCustomColorRect.Top + 1, FCustomColorRect.Right - 1,
                      FCustomColorRect.Bottom - 1));
    // Separators between the parts.
    C->Pen()->SetColor(clBtnShadow);
    const int sepY = FCustomTextRect.Top - FMargin;
    C->MoveTo(FMargin + FSpacing, sepY);
    C->LineTo(FWindowRect.Width() - FMargin - FSpacing, sepY);
    if (Height() >= CustomHeight())
        PaintCustomSection(C);
    // The popup's raised edge, as wide as the margin the layout leaves.
    TRect edge = ClientRect();
    C->DrawEdge(edge, EDGE_RAISED, BF_RECT);
}
