#include "components/FontSizeComboBox.h"

#include <algorithm>
#include <cmath>

#include "platform/SysUtils.h"

std::vector<int> TFontSizeComboBox::SizesOf(const TScreenFont& Font, int PixelsPerInch)
{
    if (Font.Scalable)
        return {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    std::vector<int> sizes;
    if (PixelsPerInch <= 0)
        return sizes;
    for (const TScreenFontSize& s : Font.Sizes) {
        const int points = int(std::lround(double(s.CellHeight - s.InternalLeading) * 72 / PixelsPerInch));
        const auto at = std::lower_bound(sizes.begin(), sizes.end(), points);
        if (at == sizes.end() || *at != points)
            sizes.insert(at, points);
    }
    return sizes;
}

void TFontSizeComboBox::SetFontName(const String& Name)
{
    FFontName = Name;
    const String text = Text();
    Items()->Clear();
    if (!Name.empty()) {
        PixelsPerInch = Screen->PixelsPerInch();
        for (const TScreenFont& f : Screen->Fonts())
            if (SameText(f.Name, Name)) {
                for (int size : SizesOf(f, PixelsPerInch))
                    Items()->Add(IntToStr(size));
                break;
            }
    }
    // The present size stays shown; the selection follows it quietly.
    const TNotifyEvent click = OnClick;
    OnClick = nullptr;
    try {
        SetItemIndex(Items()->IndexOf(text));
        if (ItemIndex() < 0)
            SetText(text);
    } catch (...) {
        OnClick = click;
        throw;
    }
    OnClick = click;
    if (OnClick)
        OnClick(this);
}
