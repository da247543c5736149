#pragma once
// More standard controls: panel, shape, image, paint box, splitter and radio
// group. All but the radio group's buttons are drawn by the platform.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with bevels and a centred caption. Aligned children stay
// inside the border and the bevels.
class TPanel : public TCustomControl {
    VEK_DECLARE_CLASS(TPanel, TCustomControl)

public:
    explicit TPanel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // With ShowCaption off the caption is kept but not drawn.
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);

    // The part of the client area aligned children share.
    TRect InnerRect();

    // With AutoSize the panel's size follows its visible children: it ends
    // where the rightmost and lowest of them end, inside its border and
    // bevels. Without children it keeps its size.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

protected:
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    bool SizeFollowsChildren() const override { return FAutoSize; }

private:
    // The size the children ask for; false when there are none.
    bool ChildrenSize(int& AWidth, int& AHeight);
    void AlignInner(TControl* AControl, TRect& Rect);
    bool FAutoSize = false;
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    bool FShowCaption = true;
};

// Draws a raised or lowered frame of Width pixels just inside Rect, and
// shrinks Rect by it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------------------

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
    VEK_DECLARE_CLASS(TShape, TGraphicControl)

public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;

    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);
    // Changing the pen or the brush repaints the shape.
    TPen* Pen() { return FPen.get(); }
    TBrush* Brush() { return FBrush.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// ---------------------------------------------------------------------------

// Holds one picture (a bitmap for now).
class TPicture : public TPersistent {
    VEK_DECLARE_CLASS(TPicture, TPersistent)

public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    // The bitmap; made empty on first use.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    // Null while the picture is empty.
    TGraphic* Graphic() const { return FBitmap.get(); }
    int Width() const;
    int Height() const;
    // Call after drawing on the bitmap, so that its users repaint.
    void Changed();

    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> FBitmap;
};

class TImage : public TGraphicControl {
    VEK_DECLARE_CLASS(TImage, TGraphicControl)

public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // With Stretch: the picture keeps its aspect ratio.
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // With AutoSize the control takes the picture's size.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect();

protected:
    void Paint() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};

// A surface the program paints in OnPaint.
class TPaintBox : public TGraphicControl {
    VEK_DECLARE_CLASS(TPaintBox, TGraphicControl)

public:
    explicit TPaintBox(TComponent* AOwner);

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---------------------------------------------------------------------------

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// A bar between an aligned control and the rest: dragging it resizes the
// control it is aligned against, within MinSize for both that control and
// what is left of the parent.
class TSplitter : public TGraphicControl {
    VEK_DECLARE_CLASS(TSplitter, TGraphicControl)

public:
    explicit TSplitter(TComponent* AOwner);

    void Dispatch(TMessage& Message) override;

    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    // With AutoSnap a size below MinSize closes the control (size 0).
    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }

    // The control the splitter resizes, for moves and drags: the visible
    // sibling with the same alignment whose edge touches the splitter. Null
    // when none.
    virtual TControl* FindControl();
    // Moves the splitter by Delta pixels (positive: right or down), as a
    // drag does, with the same limits and events. False when nothing moved.
    bool MoveBy(int Delta);

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual bool DoCanResize(int& NewSize);

private:
    bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
    int ControlSize(TControl* C) const;
    int MaxSize(TControl* C);
    void ApplySize(TControl* C, int NewSize);
    void AlignChanged();
    int FMinSize = 30;
    bool FAutoSnap = true;
    bool FBeveled = false;
    TResizeStyle FResizeStyle = rsUpdate;
    // Dragging: the control, its size at the start, the start in the
    // parent's coordinates.
    TControl* FDragControl = nullptr;
    int FStartSize = 0;
    int FStartPos = 0;
    bool FDragging = false;
};

// ---------------------------------------------------------------------------

// A group box of radio buttons, one per item; ItemIndex is the checked one.
class TRadioGroup : public TGroupBox {
    VEK_DECLARE_CLASS(TRadioGroup, TGroupBox)

public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    void BeforeDestruction() override;
    void Dispatch(TMessage& Message) override;

    TStringList* Items() { return FItems.get(); }
    void SetItems(TStrings* Value);
    // -1: none. A change checks the item's button, which fires OnClick as a
    // click of the user does.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int Index) const { return FButtons.at(std::size_t(Index)); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ItemsChanged();
    void ArrangeButtons();
    void ButtonClick(TRadioButton* Button);
    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};
