#pragma once
// The small controls the timechart lives on: a panel whose owner paints it
// (TCanvasPanel) and a panel with the window's own scroll bars that hands
// their requests on (TScrollBarBox, with TScrollBarOptions and
// TScrollBarInfo).
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

// An opaque panel painted by OnPaint (with the panel's font selected into
// the canvas); without OnPaint it paints as a plain panel. Painting goes into
// the panel's back buffer, clipped to what was invalidated.
class TCanvasPanel : public TPanel {
    VEK_DECLARE_CLASS(TCanvasPanel, TPanel)
public:
    explicit TCanvasPanel(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

class TScrollBarBox;

// One scroll bar's range, page and position as the window keeps them.
class TScrollBarInfo : public TPersistent {
    VEK_DECLARE_CLASS(TScrollBarInfo, TPersistent)
public:
    TScrollBarInfo(TScrollBarBox* Owner, TScrollBarKind Kind) : FOwner(Owner), FKind(Kind) {}
    int Min = 0;
    int Max = 0;
    int Pos = 0;
    int TrackPos = 0;
    UINT Page = 0;
    TScrollBarKind Kind() const { return FKind; }

    // Writes range, page and position to the window (a bar that cannot
    // scroll is disabled, not hidden) and shows the bar as the options say.
    // Without a window the values wait for it.
    void SetInfo();
    // Reads all five back from the window (the window clamps the position).
    void GetInfo();
    void SetAll(int AMin, int AMax, int APos, UINT APage);
    void SetPos(int APos);
    void Assign(TPersistent* Source) override;

private:
    TScrollBarBox* FOwner;
    TScrollBarKind FKind;
};

// A canvas panel with a single border and the window's scroll bars. A
// scroll request moves the bar (lines by 1, pages by the page, the thumb to
// where it is dragged, top and bottom to the ends), then OnHorzScroll or
// OnVertScroll fires.
class TScrollBarBox : public TCanvasPanel {
    VEK_DECLARE_CLASS(TScrollBarBox, TCanvasPanel)
public:
    // Which window scroll bars the box shows, and their style. (Inside the
    // box: the tree grid has options of the same name.)
    class TScrollBarOptions : public TPersistent {
    public:
        explicit TScrollBarOptions(TScrollBarBox* Owner) : FOwner(Owner) {}
        TScrollStyle ScrollBars() const { return FScrollBars; }
        void SetScrollBars(TScrollStyle Value);
        int ScrollBarStyle() const { return FScrollBarStyle; }
        void SetScrollBarStyle(int Value);
        bool Shows(int Bar) const;

    private:
        TScrollBarBox* FOwner;
        TScrollStyle FScrollBars = ssBoth;
        int FScrollBarStyle = 0;
    };

    explicit TScrollBarBox(TComponent* AOwner);
    ~TScrollBarBox() override;
    void Dispatch(TMessage& Message) override;

    TScrollBarOptions* ScrollBarOptions() { return FOptions.get(); }
    TScrollBarInfo* HorzScrollInfo() { return FHorz.get(); }
    TScrollBarInfo* VertScrollInfo() { return FVert.get(); }
    TNotifyEvent OnHorzScroll;
    TNotifyEvent OnVertScroll;

    // The options changed: a window made with the old ones is made anew.
    void OptionsChanged();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void Scrolled(TScrollBarInfo* Info, int Code);
    std::unique_ptr<TScrollBarOptions> FOptions;
    std::unique_ptr<TScrollBarInfo> FHorz;
    std::unique_ptr<TScrollBarInfo> FVert;
};
