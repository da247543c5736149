// The styled menus' measuring and painting of one item.
#include <algorithm>
#include <cmath>
#include <utility>

#include "components/KitGrabBar.h"
#include "components/StyledMenu.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/MenuBar.h"
#include "platform/MenuWindow.h"
#include "platform/SysUtils.h"

namespace {

// True for an entry of a menu bar.
bool IsTopItem(TMenuItem* Item)
{
    TMenu* menu = Item->GetParentMenu();
    return menu && Is<TMainMenu>(menu) && Item->Parent() == menu->Items();
}

bool HasVisibleItems(TMenuItem* Item)
{
    for (int i = 0; i < Item->Count(); ++i)
        if (Item->Items(i)->Visible())
            return true;
    return false;
}

// The last entry a menu bar shows for Menu.
bool IsLastTopItem(TMenuItem* Item, TMenu* Menu)
{
    TMenuItem* root = Menu->Items();
    for (int i = root->Count() - 1; i >= 0; --i)
        if (TMenuItem* e = root->Items(i); e->Visible() && !e->IsLine())
            return e == Item;
    return false;
}

// The client width of the bar showing Menu, else of the form it belongs to.
int MenuBarWidth(TMenu* Menu)
{
    TComponent* owner = Menu->Owner();
    if (!owner)
        return 0;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<TMenuBar*>(owner->Components(i)); bar && bar->Menu() == Menu)
            return bar->ClientWidth();
    auto* form = dynamic_cast<TControl*>(owner);
    return form ? form->ClientWidth() : 0;
}

TImageList* IconList(TMenuItem* Item)
{
    TMenu* menu = Item->GetParentMenu();
    TImageList* images = menu ? menu->Images() : nullptr;
    if (!images || Item->ImageIndex() < 0 || Item->ImageIndex() >= images->Count())
        return nullptr;
    return images;
}

void SetPixel(TBitmap* B, int X, int Y, TColor C)
{
    if (X < 0 || Y < 0 || X >= B->Width() || Y >= B->Height())
        return;
    auto* row = static_cast<Byte*>(B->ScanLine(Y));
    row[X * 4] = GetBValue(C);
    row[X * 4 + 1] = GetGValue(C);
    row[X * 4 + 2] = GetRValue(C);
    row[X * 4 + 3] = 0xFF;
}

void Frame(TCanvas* C, const TRect& R, TColor Color)
{
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FrameRect(R);
}

void Fill(TCanvas* C, const TRect& R, TColor Color)
{
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

}  // namespace

void TStyledMenu::MeasureItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height)
{
    ACanvas->Font()->Assign(FFont.get());
    const bool top = IsTopItem(Item);
    if (FFlatMenu && FActive && !top)
        if (TMenuWindow* level = MenuWindowMeasuring(); level && !level->Frame().Paint) {
            // The frame's pixels, the shadow's two right and below.
            TMenuFrame frame;
            frame.Left = frame.Top = 3;
            frame.Right = frame.Bottom = 5;
            frame.CornerCut = 2;
            TMenu* menu = Item->GetParentMenu();
            const bool rtl = menu && menu->IsRightToLeft();
            frame.Paint = [this, rtl](TMenuWindow* W, TCanvas* C) {
                if (IsLive(this))
                    DrawWindowBorder(C, W->Width(), W->Height(), rtl);
            };
            level->SetFrame(std::move(frame));
        }
    String text = Item->IsLine() ? String() : Item->Caption();
    if (Item->ShortCut() != scNone)
        if (const String shortcut = ShortCutToText(Item->ShortCut()); !Trim(shortcut).empty())
            text += shortcut + "WWW";
    int w = ACanvas->TextWidth(text) + 5;
    if (Item->Caption().find('&') != String::npos)
        w -= ACanvas->TextWidth("&");
    if (!top && HasVisibleItems(Item))
        w += 6;  // the sub-menu's arrow
    int iconWidth = 0;
    int iconHeight = 0;
    if (TImageList* images = IconList(Item)) {
        iconWidth = images->Width();
        iconHeight = images->Height();
    }
    if (!top)
        iconWidth = std::max(iconWidth, FIconWidth);
    Width = std::max(Width, w + iconWidth);
    if (Item->IsLine()) {
        // A thin rule whatever the font.
        Height = 4;
        return;
    }
    const int textHeight = ACanvas->TextHeight("W");
    const int h = std::max(textHeight + int(std::lround(0.75 * textHeight)), iconHeight + 6);
    Height = std::max(Height, h);
}

void TStyledMenu::DrawWindowBorder(TCanvas* ACanvas, int Width, int Height, bool RightToLeft)
{
    if (FColorsChanged)
        SetGlobalColor(ScreenBitsPerPixel);
    const TStyledMenuPalette& p = FPalette;
    const TRect frame{0, 0, Width - 2, Height - 2};
    if (RightToLeft) {
        Frame(ACanvas, {1, 1, frame.Right - 1, frame.Bottom - 1}, p.Color);
        Frame(ACanvas, {2, 2, frame.Right - 2, frame.Bottom - 2}, p.Color);
        Fill(ACanvas, {frame.Right - 3, 1, frame.Right - 1, frame.Bottom - 1}, p.IconBackColor);
    } else {
        Frame(ACanvas, {1, 1, frame.Right - 1, frame.Bottom - 1}, p.IconBackColor);
        Frame(ACanvas, {2, 2, frame.Right - 2, frame.Bottom - 2}, p.IconBackColor);
    }
    Frame(ACanvas, frame, p.MenuBorderColor);
    // The corners the shadow leaves out are cut from the window.
    Fill(ACanvas, {Width - 2, 2, Width, Height}, p.MenuShadowColor);
    Fill(ACanvas, {2, Height - 2, Width, Height}, p.MenuShadowColor);
}

void TStyledMenu::DrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)
{
    if (!FActive || !Item || !ACanvas)
        return;
    // A menu that cannot be drawn keeps what it shows; it never stops the
    // menu.
    try {
        MenueDrawItem(Item, ACanvas, ARect, State);
    } catch (...) {
    }
}

void TStyledMenu::MenueDrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)
{
    if (FColorsChanged)
        SetGlobalColor(ScreenBitsPerPixel);
    const TStyledMenuPalette& p = FPalette;
    TMenu* menu = Item->GetParentMenu();
    const bool top = IsTopItem(Item);
    const bool selected = State.Contains(odSelected);
    const bool disabled = !Item->Enabled() || State.Contains(odDisabled);
    const bool checked = Item->Checked();
    const bool rtl = menu && menu->IsRightToLeft();

    // Painted off-screen, a margin to the left of the item, then copied
    // out in one piece: an open menu never flickers. An entry of a bar sits
    // a pixel below the bar's top edge.
    const int margin = top ? 0 : 4;
    const int drop = top ? 1 : 0;
    const int w = ARect.Width() + margin;
    const int h = ARect.Height() - drop;
    if (w <= margin || h <= 0)
        return;
    if (!FItemBitmap)
        FItemBitmap = std::make_unique<TBitmap>();
    if (FItemBitmap->Width() != w || FItemBitmap->Height() != h)
        FItemBitmap->SetSize(w, h);
    TBitmap* bmp = FItemBitmap.get();
    TCanvas* c = bmp->Canvas();
    c->Font()->Assign(FFont.get());
    const TRect r{margin, 0, w, h};
    auto mirror = [&](TRect x) {
        return rtl ? TRect{r.Left + r.Right - x.Right, x.Top, r.Left + r.Right - x.Left, x.Bottom} : x;
    };

    TImageList* images = IconList(Item);
    const int iconWidth = images ? images->Width() : 0;
    const int iconHeight = images ? images->Height() : 0;

    TRect column{r.Left, r.Top, r.Left + FIconWidth, r.Bottom};
    TRect box;
    if (images) {
        box = {column.Left + 1, column.Top + 2, column.Right - 3, column.Bottom - 2};
        box.Right = std::max(box.Right, box.Left + iconWidth + 3);
    } else {
        const int x = column.Left + (FIconWidth - 10) / 2;
        const int y = column.Top + (column.Height() - 10) / 2;
        box = {x, y, x + 10, y + 10};
    }
    if (top) {
        --box.Top;
        --box.Bottom;
    }
    int textLeft = top ? r.Left + 4 - (images ? 5 : 0) : r.Left + FIconWidth;
    if (images)
        textLeft = std::max(textLeft, r.Left + iconWidth + 4);
    TRect text{textLeft, r.Top, r.Right, r.Bottom};
    column = mirror(column);
    box = mirror(box);
    text = mirror(text);

    // Background.
    const TColor barColor = FDrawMenuBar ? ColorToRGB(FMenuBarColor) : p.MenuBarColor;
    if (top) {
        Fill(c, r, barColor);
        if (FDrawMenuBar && menu) {
            // The bar's own colour is ours: the row above the entry and,
            // from the last entry on, the rest of the bar.
            Fill(ACanvas, {ARect.Left, ARect.Top, ARect.Right, ARect.Top + drop}, barColor);
            if (IsLastTopItem(Item, menu))
                Fill(ACanvas, {ARect.Right, ARect.Top, std::max(ARect.Right, MenuBarWidth(menu) + 5), ARect.Bottom},
                     barColor);
        }
    } else if (FGradient && FIs16Bit) {
        // From the icon column's colour to the menu's, across the column.
        Fill(c, r, p.Color);
        for (int i = 0; i < FIconWidth; ++i) {
            const int percent = FIconWidth > 1 ? i * 100 / (FIconWidth - 1) : 100;
            auto mix = [&](Byte A, Byte B) { return Byte(A + (B - A) * percent / 100); };
            const TColor m = RGB(mix(GetRValue(p.IconBackColor), GetRValue(p.Color)),
                                 mix(GetGValue(p.IconBackColor), GetGValue(p.Color)),
                                 mix(GetBValue(p.IconBackColor), GetBValue(p.Color)));
            const int x = rtl ? r.Right - 1 - i : r.Left + i;
            Fill(c, {x, r.Top, x + 1, r.Bottom}, m);
        }
    } else {
        Fill(c, r, p.Color);
        Fill(c, column, p.IconBackColor);
    }

    // Selection, and the hot entry of a menu bar.
    const bool hot = top && !selected && !disabled && State.Contains(odHotLight);
    if (FDrawSelect && top && (selected || hot)) {
        const TRect b = mirror({r.Left, r.Top, r.Right - 7, r.Bottom});
        Fill(c, b, p.SelectColor);
        Frame(c, b, p.SelectBorderColor);
        if (selected)
            // The dropped entry casts a shadow that fades to the right.
            for (int i = 0; i < 7; ++i) {
                const int x = rtl ? r.Left + 6 - i : r.Right - 7 + i;
                Fill(c, {x, r.Top + 2, x + 1, r.Bottom}, GetShadeColor(barColor, 42 - 6 * i));
            }
    } else if (FDrawSelect && selected && !disabled) {
        const TRect b{r.Left, r.Top + 1, r.Right - (FFlatMenu ? 1 : 0), r.Bottom - 1};
        Fill(c, mirror(b), p.SelectColor);
        Frame(c, mirror(b), p.SelectBorderColor);
    }

    // Check marks.
    if (checked) {
        const TColor pen = disabled ? p.DisabledColor : p.SelectBorderColor;
        c->Pen()->SetColor(pen);
        c->Pen()->SetWidth(1);
        if (Item->RadioItem()) {
            c->Brush()->SetStyle(bsClear);
            if (images) {
                c->RoundRect(box.Left, box.Top, box.Right, box.Bottom, 6, 6);
            } else {
                c->Ellipse(box);
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(pen);
                c->Ellipse(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2);
            }
            c->Brush()->SetStyle(bsSolid);
        } else {
            Fill(c, box, images && selected ? p.CheckedAreaSelectColor : p.CheckedAreaColor);
            Frame(c, box, images ? pen : p.CheckedColor);
            if (!images) {
                c->Pen()->SetColor(disabled ? p.DisabledColor : clBlack);
                const int x = box.Left + 2;
                for (int k = 0; k < 3; ++k) {
                    const int y = box.Top + 4 + k;
                    c->MoveTo(x, y);
                    c->LineTo(x + 2, y + 2);
                    c->LineTo(x + 7, y - 3);
                }
            }
        }
    }

    // The icon, on a copy: its effects never reach the list.
    if (images) {
        int x = iconWidth < FIconWidth ? r.Left + (FIconWidth - iconWidth) / 2 : r.Left + 2;
        if (top)
            x = r.Left + 1;
        if (rtl)
            x = r.Left + r.Right - (x + iconWidth);
        const int y = r.Top + 3;
        const int index = Item->ImageIndex();
        const bool lifted = selected && !disabled && !checked;
        if (!FIconBitmap)
            FIconBitmap = std::make_unique<TBitmap>();
        images->GetBitmap(index, FIconBitmap.get());
        const TColor shadow = GetShadeColor(p.SelectColor, 50);
        // Which pixels are see-through is the source's to say, before any
        // effect makes a pixel look like another.
        for (int iy = 0; iy < iconHeight; ++iy) {
            const auto* row = static_cast<const Byte*>(std::as_const(*FIconBitmap).ScanLine(iy));
            for (int ix = 0; ix < iconWidth; ++ix) {
                if (!images->Opaque(index, ix, iy))
                    continue;
                TColor px = RGB(row[ix * 4 + 2], row[ix * 4 + 1], row[ix * 4]);
                if (disabled)
                    px = NewColor(GrayColor(px, FGrayLevel), 40);
                else if (!selected && !checked && FIs16Bit)
                    px = NewColor(px, FDimLevel);
                if (lifted) {
                    SetPixel(bmp, x + ix + 1, y + iy + 1, shadow);
                    // Drawn after its shadow, on top of it.
                    continue;
                }
                SetPixel(bmp, x + ix, y + iy, px);
            }
        }
        if (lifted)
            for (int iy = 0; iy < iconHeight; ++iy) {
                const auto* row = static_cast<const Byte*>(std::as_const(*FIconBitmap).ScanLine(iy));
                for (int ix = 0; ix < iconWidth; ++ix)
                    if (images->Opaque(index, ix, iy))
                        SetPixel(bmp, x + ix - 1, y + iy - 1, RGB(row[ix * 4 + 2], row[ix * 4 + 1], row[ix * 4]));
            }
    }

    if (Item->IsLine()) {
        const int y = r.Top + (r.Height() + 1) / 2;
        const TRect line = rtl ? TRect{text.Left, y, text.Right - 7, y + 1} : TRect{text.Left + 7, y, text.Right, y + 1};
        Fill(c, line, p.SeparatorColor);
    } else {
        TColor color = ColorToRGB(FFont->Color());
        if (selected)
            color = p.SelectFontColor;
        if (disabled)
            color = p.DisabledColor;
        else if (selected && top && FUseSystemColors)
            color = TopMenuFontColor(p.IconBackColor, ColorToRGB(FFont->Color()));
        const int th = c->TextHeight("W");
        const int ty = r.Top + (r.Height() - th) / 2;
        TRect tr{text.Left + (rtl ? 0 : 3), ty, text.Right - (rtl ? 3 : 0), ty + th};
        const unsigned align = rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT;
        const unsigned flags = DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | align;
        const String caption = " " + Item->Caption();
        c->Brush()->SetStyle(bsClear);
        if (Item->Default() && !disabled) {
            // Written twice, a pixel apart: the default entry stands out.
            TRect bold = tr;
            ++bold.Left;
            ++bold.Right;
            c->Font()->SetColor(GetShadeColor(color, -40));
            c->DrawText(caption, bold, flags);
        }
        c->Font()->SetColor(color);
        TRect captionRect = tr;
        c->DrawText(caption, captionRect, flags);
        if (!top && HasVisibleItems(Item)) {
            // The sub-menu's arrow, in the room measuring kept for it.
            const TKitArrowDirection dir = rtl ? adLeft : adRight;
            const TSize ext = KitArrowExtent(5, dir);
            const int ax = rtl ? text.Left + 4 : text.Right - 4 - ext.cx;
            DrawKitArrow(c, ax, r.Top + (r.Height() - ext.cy) / 2, 5, dir, color);
        }
        if (!top && Item->ShortCut() != scNone) {
            const String shortcut = ShortCutToText(Item->ShortCut()) + " ";
            TRect sr = rtl ? TRect{text.Left + 10, ty, text.Right, ty + th} : TRect{text.Left, ty, text.Right - 10, ty + th};
            c->DrawText(shortcut, sr, DT_SINGLELINE | DT_NOCLIP | (rtl ? DT_LEFT : DT_RIGHT));
        }
        c->Brush()->SetStyle(bsSolid);
    }

    ACanvas->CopyRect({ARect.Left, ARect.Top + drop, ARect.Right, ARect.Bottom}, c, {margin, 0, w, h});
}
