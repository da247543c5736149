// The string tree's in-place editor and its edit control.
#include "components/TreeGrid/StringEditLink.h"

#include <algorithm>

#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/Forms.h"
#include "platform/Messages.h"

TTGEdit::TTGEdit(TComponent* AOwner, TCustomStringTreeGrid* Tree) : TEdit(AOwner), FTree(Tree) {}

void TTGEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    if (Key != VK_RETURN && Key != VK_ESCAPE)
        return;
    const WPARAM accept = Key == VK_RETURN ? 1 : 0;
    // Taken here: no default or cancel button of the form sees it.
    Key = 0;
    if (FTree->HandleAllocated())
        PostMessage(FTree->Handle(), WM_TGEDITDONE, accept);
}

void TTGEdit::DoExit()
{
    TEdit::DoExit();
    if (!Visible() || !FTree->HandleAllocated())
        return;
    const bool accept = FTree->TreeOptions()->StringOptions().Contains(toAutoAcceptEditChange);
    PostMessage(FTree->Handle(), WM_TGEDITDONE, accept ? 1 : 0);
}

TStringEditLink::~TStringEditLink()
{
    if (FEdit)
        FEdit->Free();
}

bool TStringEditLink::PrepareEdit(TBaseTreeGrid* Tree, TGridNode* Node, TColumnIndex Column)
{
    FTree = dynamic_cast<TCustomStringTreeGrid*>(Tree);
    if (!FTree || !Node)
        return false;
    FNode = Node;
    FColumn = Column;
    TRect r;
    FTree->GetTextInfo(Node, Column, FTree->Font(), r, FOriginal);
    if (!FEdit) {
        FEdit = Create<TTGEdit>(nullptr, FTree);
        FEdit->SetVisible(false);
        FEdit->SetParent(FTree);
    }
    FEdit->Font()->Assign(FTree->Font());
    FEdit->SetText(FOriginal);
    return true;
}

bool TStringEditLink::BeginEdit()
{
    if (!FEdit)
        return false;
    FEdit->Show();
    FEdit->SelectAll();
    if (FEdit->CanFocus())
        FEdit->SetFocus();
    return true;
}

void TStringEditLink::Hide()
{
    if (!FEdit || FStopping)
        return;
    FStopping = true;
    const bool hadFocus = FEdit->Focused();
    FEdit->Hide();
    if (hadFocus && FTree->CanFocus())
        FTree->SetFocus();
    FStopping = false;
}

bool TStringEditLink::EndEdit()
{
    if (!FEdit)
        return true;
    const String text = FEdit->Text();
    Hide();
    if (text != FOriginal)
        FTree->SetText(FNode, FColumn, text);
    return true;
}

bool TStringEditLink::CancelEdit()
{
    Hide();
    return true;
}

TRect TStringEditLink::GetBounds() { return FEdit ? FEdit->BoundsRect() : TRect(); }

void TStringEditLink::ProcessMessage(TMessage& Message)
{
    if (FEdit)
        FEdit->WindowProc(Message);
}

void TStringEditLink::SetBounds(TRect R)
{
    if (!FEdit)
        return;
    // Room for the frame of the edit around a line of the cell's text.
    const int height = std::max(R.Height(), FEdit->Font()->Height() < 0 ? -FEdit->Font()->Height() + 8 : 20);
    const int top = R.Top - (height - R.Height()) / 2;
    const int width = std::max(R.Width() + 8, 40);
    // A child's bounds are in the tree's client coordinates; the platform
    // puts them below the header strip and inside the border itself.
    FEdit->SetBounds(R.Left - 2, top,
        std::min(width, std::max(40, FTree->ClientWidth() - R.Left + 2)), height);
}

// ---- the string tree's part -----------------------------------------------------------

ITGEditLinkPtr TCustomStringTreeGrid::DoCreateEditor(TGridNode* Node, TColumnIndex Column)
{
    ITGEditLinkPtr link = TBaseTreeGrid::DoCreateEditor(Node, Column);
    if (!link)
        link = std::make_shared<TStringEditLink>();
    return link;
}

int TCustomStringTreeGrid::DoIncrementalSearch(TGridNode* Node, const String& Text)
{
    if (OnIncrementalSearch) {
        int result = 0;
        OnIncrementalSearch(this, Node, Text, result);
        return result;
    }
    const String cell = this->Text(Node, FFocusedColumn);
    return cell.compare(0, Text.size(), Text) == 0 && cell.size() >= Text.size() ? 0 : 1;
}

String TCustomStringTreeGrid::DoGetNodeHint(TGridNode* Node, TColumnIndex Column,
    TTGTooltipLineBreakStyle& LineBreakStyle)
{
    String hint = TBaseTreeGrid::DoGetNodeHint(Node, Column, LineBreakStyle);
    if (OnGetHint)
        OnGetHint(this, Node, Column, LineBreakStyle, hint);
    return hint;
}

String TCustomStringTreeGrid::DoGetNodeTooltip(TGridNode* Node, TColumnIndex Column)
{
    String tip = TBaseTreeGrid::DoGetNodeTooltip(Node, Column);
    if (OnGetHint) {
        TTGTooltipLineBreakStyle style = hlbDefault;
        OnGetHint(this, Node, Column, style, tip);
    } else {
        tip = Text(Node, Column);
    }
    return tip;
}
