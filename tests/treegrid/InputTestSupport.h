#pragma once
// A string tree of texted rows on a shown form, focused, for the tests of
// keys, mouse, hints and editing; rows 18 pixels high, client 300 x 100.
#include <gmock/gmock.h>

#include "TreeGridTestSupport.h"

#include "platform/Forms.h"
#include "platform/Messages.h"
#include "tests/support/PlatformFixture.h"

struct TInputForm {
    TForm* Form;
    TTestTree* Tree;
    std::vector<String> Texts;

    explicit TInputForm(std::vector<String> Rows, int ClientHeight = 100) : Texts(std::move(Rows))
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Form->SetBounds(100, 50, 420, 300);
        Tree = Create<TTestTree>(Form);
        Tree->SetParent(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->SetBounds(10, 10, 300, ClientHeight);
        Tree->SetNodeDataSize(sizeof(TRow));
        Tree->OnGetText = [this](TBaseTreeGrid*, TGridNode* Node, TColumnIndex, TVSTTextType, String& Text) {
            const std::size_t i = std::size_t(Row(Tree, Node).Id);
            Text = i < Texts.size() ? Texts[i] : String();
        };
        for (std::size_t i = 0; i < Texts.size(); ++i)
            Row(Tree, Tree->AddChild(nullptr)).Id = int(i);
        Form->Show();
        Tree->SetFocus();
        ProcessEvents();
    }
    explicit TInputForm(int Count, int ClientHeight = 100) : TInputForm(Numbered(Count), ClientHeight) {}
    TInputForm(const TInputForm&) = delete;
    TInputForm& operator=(const TInputForm&) = delete;
    ~TInputForm() { delete Form; }

    static std::vector<String> Numbered(int Count)
    {
        std::vector<String> rows;
        for (int i = 0; i < Count; ++i)
            rows.push_back("Row " + std::to_string(i));
        return rows;
    }
    TGridNode* Node(int Index) const
    {
        TGridNode* n = Tree->GetFirstNoInit();
        for (int i = 0; i < Index && n; ++i)
            n = Tree->GetNextNoInit(n);
        return n;
    }
    int Index(TGridNode* Node) const { return Node ? Row(Tree, Node).Id : -1; }
    int FocusedIndex() const { return Index(Tree->FocusedNode()); }
    // The ids of the selected rows, in tree order.
    std::vector<int> Selected() const
    {
        std::vector<int> ids;
        for (TGridNode* n : Tree->GetSortedSelection(false))
            ids.push_back(Row(Tree, n).Id);
        return ids;
    }
    void Key(Word VirtKey, TShiftState Shift = {}, const String& Text = "")
    {
        KeyDown(Tree, VirtKey, Text, Shift);
        KeyUp(Tree, VirtKey, Shift);
        ProcessEvents();
    }
    // A point in row Index (of the visible rows from the top), X pixels in.
    static TPoint AtRow(int Index, int X = 40) { return {X, Index * 18 + 9}; }
};
