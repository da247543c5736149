#pragma once
// The string tree's in-place editor: an edit control over the cell that
// takes the cell's text and font, ends on Enter, cancels on Escape and
// writes a changed text back through the tree's Text.
#include <memory>

#include "components/TreeGrid/TreeGridInput.h"
#include "platform/StdCtrls.h"

class TCustomStringTreeGrid;
class TStringEditLink;

// The edit control: hands Enter, Escape and the loss of the focus to its
// link, through the tree's message queue so that the control is never
// freed while it handles a key.
class TTGEdit : public TEdit {
    VEK_DECLARE_CLASS(TTGEdit, TEdit)
public:
    TTGEdit(TComponent* AOwner, TCustomStringTreeGrid* Tree);

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void DoExit() override;

private:
    TCustomStringTreeGrid* FTree;
};

class TStringEditLink : public ITGEditLink {
public:
    TStringEditLink() = default;
    ~TStringEditLink() override;
    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseTreeGrid* Tree, TGridNode* Node, TColumnIndex Column) override;
    TRect GetBounds() override;
    void ProcessMessage(TMessage& Message) override;
    void SetBounds(TRect R) override;
    TTGEdit* Edit() const { return FEdit; }

private:
    void Hide();
    TTGEdit* FEdit = nullptr;
    TCustomStringTreeGrid* FTree = nullptr;
    TGridNode* FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    String FOriginal;
    bool FStopping = false;
};
