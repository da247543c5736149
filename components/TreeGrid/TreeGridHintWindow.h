#pragma once
// The window a tree's hint shows in: the hint's text, or for a tooltip the
// whole text of the cell under the pointer, placed over the cut-off text.
#include <memory>

#include "components/TreeGrid/TreeGridInput.h"
#include "platform/Controls.h"

class TBitmap;

class TTreeGridHintWindow : public THintWindow {
    VEK_DECLARE_CREATABLE_CLASS(TTreeGridHintWindow, THintWindow)
public:
    explicit TTreeGridHintWindow(TComponent* AOwner = nullptr);
    ~TTreeGridHintWindow() override;
    TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;
    void ActivateHintData(TRect Rect, const String& AHint, void* AData) override;
    // What the window shows now.
    const String& ShownText() const { return FText; }

protected:
    void Paint() override;

private:
    // The text and font the hint shows: the tree's hint data when it has any.
    void TakeData(const String& AHint, void* AData);
    String FText;
    // Keeps the hint data of an owner-drawn hint and its tree's number.
    void Remember(void* AData);
    const void* FData = nullptr;
    Cardinal FTreeNumber = 0;
    std::unique_ptr<TBitmap> FMeasure;
};
