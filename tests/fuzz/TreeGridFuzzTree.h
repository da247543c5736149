#pragma once
// A string tree for the tree-grid fuzz targets: each row keeps a few bytes
// of user data and a caption, both carried by the node stream, and the
// tree's bookkeeping can be checked against its nodes.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "components/TreeGrid/StringTreeGrid.h"

struct TFuzzRow {
    Cardinal Length;
    char Bytes[8];
    Cardinal Text;  // 1 + index into the tree's texts; 0 = none
};

class TFuzzTree : public TStringTreeGrid {
public:
    using TStringTreeGrid::TStringTreeGrid;
    std::vector<String> Texts;

    void Setup(bool MultiSelect)
    {
        SetNodeDataSize(sizeof(TFuzzRow));
        if (MultiSelect) {
            TTGSelectionOptions s = TreeOptions()->SelectionOptions();
            s.Include(toMultiSelect);
            TreeOptions()->SetSelectionOptions(s);
        }
        OnLoadNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) {
            auto* row = t->GetNodeData<TFuzzRow>(n);
            row->Length = Cardinal(s.Read(row->Bytes, sizeof row->Bytes));
        };
        OnSaveNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) {
            if (!n)
                return;
            const auto* row = t->GetNodeData<TFuzzRow>(n);
            s.WriteBuffer(row->Bytes, row->Length);
        };
        OnNewText = [this](TBaseTreeGrid* t, TGridNode* n, TColumnIndex, const String& text) {
            Texts.push_back(text);
            t->GetNodeData<TFuzzRow>(n)->Text = Cardinal(Texts.size());
        };
        OnGetText = [this](TBaseTreeGrid* t, TGridNode* n, TColumnIndex, TVSTTextType, String& text) {
            const Cardinal i = t->GetNodeData<TFuzzRow>(n)->Text;
            text = i > 0 && i <= Texts.size() ? Texts[i - 1] : String();
        };
    }

    // Aborts when links, counts, heights or the visible count do not match.
    void Check()
    {
        Cardinal rows = 0;
        CheckNode(RootNode(), ChildrenShown(RootNode()), rows);
        if (rows != VisibleCount())
            std::abort();
    }

    std::string Saved()
    {
        TMemoryStream stream;
        SaveToStream(stream);
        return stream.DataString();
    }

private:
    bool ChildrenShown(TGridNode* n) const { return n->States.Contains(vsExpanded); }

    void CheckNode(TGridNode* node, bool counted, Cardinal& rows)
    {
        Cardinal count = 1;
        Cardinal height = node->NodeHeight;
        Cardinal index = 0;
        TGridNode* previous = nullptr;
        for (TGridNode* child = node->FirstChild; child; child = child->NextSibling, ++index) {
            if (child->Parent != node || child->PrevSibling != previous || child->Index != index)
                std::abort();
            const bool visible = IsEffectivelyVisible(child);
            if (counted && visible)
                ++rows;
            CheckNode(child, counted && visible && ChildrenShown(child), rows);
            count += child->TotalCount;
            if (node->States.Contains(vsExpanded) && visible)
                height += child->TotalHeight;
            previous = child;
        }
        if (node->LastChild != previous || node->ChildCount != index || node->TotalCount != count ||
            node->TotalHeight != height)
            std::abort();
    }
};
