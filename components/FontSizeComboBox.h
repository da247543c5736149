#pragma once
// The sizes of one font, in points: the usual sixteen for a scalable font,
// the sizes a bitmap font has for others. Without a font name the box keeps
// whatever entries it is given.
#include <vector>

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

class TFontSizeComboBox : public TComboBox {
    VEK_DECLARE_CLASS(TFontSizeComboBox, TComboBox)

public:
    explicit TFontSizeComboBox(TComponent* AOwner) : TComboBox(AOwner) {}

    const String& FontName() const { return FFontName; }
    // Lists the sizes of Name's font, selects the entry that equals the
    // present text (quietly) and fires OnClick once. An unknown font lists
    // nothing.
    void SetFontName(const String& Name);
    // The screen's resolution when the list was last built.
    int PixelsPerInch = 96;

    // The point sizes of Font at the resolution, ascending: the fixed list
    // for a scalable font, each size of a bitmap font once.
    static std::vector<int> SizesOf(const TScreenFont& Font, int PixelsPerInch);

private:
    String FFontName;
};
