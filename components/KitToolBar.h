#pragma once
// A panel that folds away: a tab in its non-client area (left of a
// horizontal bar, above a vertical one) collapses the panel to a thin strip
// showing only the tab and the panel's caption when clicked, and a second
// click brings it back at the size it had.
#include "platform/ExtCtrls.h"

enum TKitOrientation { oHorizontal, oVertical };

class TKitToolBar : public TPanel {
    VEK_DECLARE_CLASS(TKitToolBar, TPanel)

public:
    explicit TKitToolBar(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // While collapsed a new size along the folding axis is only remembered
    // for the next expansion.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Horizontal for a bar aligned top or bottom, vertical for one aligned
    // left or right; otherwise by its shape.
    TKitOrientation Orientation() const;

    // True while expanded.
    bool Maximized() const { return FMaximized; }
    void SetMaximized(bool Value);
    // The expanded height (width for a vertical bar) kept while collapsed.
    int RestoreValue() const { return FRestoreVal; }
    // Applied only while expanded; a collapsed bar keeps it for later.
    bool AutoSize() const { return FMaximized ? TPanel::AutoSize() : FRestoreAutosize; }
    void SetAutoSize(bool Value);

    // The tab in screen coordinates.
    TRect TabRect();
    bool TabHighlighted() const { return FIsHighlighted; }

    bool ShowTab() const { return FShowTab; }
    void SetShowTab(bool Value);
    TColor TextureColor1() const { return FTextureColor1; }
    void SetTextureColor1(TColor Value) { SetFrameValue(FTextureColor1, Value); }
    TColor TextureColor2() const { return FTextureColor2; }
    void SetTextureColor2(TColor Value) { SetFrameValue(FTextureColor2, Value); }
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor Value) { SetFrameValue(FTabColor, Value); }
    TColor ArrowColor() const { return FArrowColor; }
    void SetArrowColor(TColor Value) { SetFrameValue(FArrowColor, Value); }
    TColor TabHighlightColor() const { return FTabHighlightColor; }
    void SetTabHighlightColor(TColor Value) { SetFrameValue(FTabHighlightColor, Value); }
    // The tab's thickness while expanded and the strip's while collapsed.
    int TabSizeMaximized() const { return FTabSizeMaximized; }
    void SetTabSizeMaximized(int Value);
    // The tab's length while collapsed.
    int TabSizeMinimized() const { return FTabSizeMinimized; }
    void SetTabSizeMinimized(int Value) { SetFrameValue(FTabSizeMinimized, Value); }
    // Room kept beside the expanded tab.
    int TabIndent() const { return FTabIndent; }
    void SetTabIndent(int Value) { SetFrameValue(FTabIndent, Value); }

    // Fired after expanding and after collapsing.
    TNotifyEvent OnMaximize;
    TNotifyEvent OnRestore;

protected:
    virtual void DoMaximize();
    virtual void DoRestore();
    void PaintTab(TCanvas* Canvas, bool Highlighted);

private:
    template <class T>
    void SetFrameValue(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        FrameChanged();
    }
    // The tab in window coordinates.
    TRect TabInWindow() const;
    void SetHighlighted(bool Value);
    void PaintExpandedTab(TCanvas* Canvas, const TRect& Tab, TColor Color);
    void PaintCollapsedTab(TCanvas* Canvas, const TRect& Tab, TColor Color);

    bool FShowTab = true;
    TColor FTextureColor1 = clWhite;
    TColor FTabColor = clBtnFace;
    TColor FArrowColor = 0x800000;
    TColor FTextureColor2 = 0x800000;
    TColor FTabHighlightColor = 0xFFCFCF;
    bool FMaximized = true;
    int FRestoreVal = 0;
    bool FRestoreAutosize = false;
    int FTabSizeMaximized = 10;
    int FTabSizeMinimized = 62;
    int FTabIndent = 4;
    bool FGotMouseDown = false;
    bool FIsHighlighted = false;
};
