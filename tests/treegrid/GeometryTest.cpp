#include "TreeGridTestSupport.h"
#include "platform/ImgList.h"
#include "tests/support/PlatformFixture.h"

namespace {

// Labels of a fixed width and, when asked, a state and a normal image on
// every node, so that every zone of a row has a known place.
class TGeometryTree : public TTestTree {
public:
    using TTestTree::TTestTree;
    int LabelWidth = 50;
    bool WithImages = false;

protected:
    int DoGetNodeWidth(TGridNode*, TColumnIndex, TCanvas*) override { return LabelWidth; }
    TImageList* DoGetImageIndex(TGridNode*, TTGImageKind Kind, TColumnIndex, bool& Ghosted, int& Index) override
    {
        Ghosted = false;
        Index = WithImages && (Kind == ikNormal || Kind == ikState) ? 0 : -1;
        return nullptr;
    }
};
using TGeometryTreePtr = std::unique_ptr<TGeometryTree, TTreeDeleter>;

// A window whose client area is 200 x 100 before any scroll bar.
TGeometryTreePtr WindowTree(int Rows)
{
    EnsureApplication();
    TGeometryTreePtr tree(Create<TGeometryTree>(nullptr));
    tree->SetNodeDataSize(16);
    tree->SetBounds(0, 0, 204, 104);
    tree->HandleNeeded();
    tree->SetRootNodeCount(Rows);
    return tree;
}

TGridNode* Nth(TTestTree* tree, int n)
{
    TGridNode* node = tree->GetFirst();
    while (n-- > 0)
        node = tree->GetNext(node);
    return node;
}

THitPositions HitAt(TTestTree* tree, int X, int Y, THitInfo* Info = nullptr)
{
    THitInfo info;
    tree->GetHitTestInfoAt(X, Y, true, info);
    if (Info)
        *Info = info;
    return info.HitPositions;
}

}  // namespace

TEST(Geometry, DisplayRectanglesFollowColumnsOffsetsAndFixedColumns)
{
    auto tree = WindowTree(10);
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add()->SetWidth(60);
    columns->Add()->SetWidth(100);
    columns->Add()->SetWidth(150);
    columns->Items(0)->SetOptions(columns->Items(0)->Options() + TTGColumnOptions{coFixed});
    ASSERT_EQ(tree->RangeX(), 310u);
    TGridNode* third = Nth(tree.get(), 2);
    EXPECT_EQ(tree->GetDisplayRect(third, NoColumn, false), TRect(0, 36, 310, 54)) << "the whole row, as wide as the range";
    EXPECT_EQ(tree->GetDisplayRect(third, 1, false), TRect(60, 36, 159, 54)) << "the column less its last pixel";

    tree->SetOffsetXY({-40, -18});
    EXPECT_EQ(tree->GetDisplayRect(third, NoColumn, false), TRect(-40, 18, 270, 36));
    EXPECT_EQ(tree->GetDisplayRect(third, 1, false), TRect(20, 18, 119, 36));
    EXPECT_EQ(tree->GetDisplayRect(third, 0, false), TRect(0, 18, 59, 36)) << "a fixed column does not scroll sideways";

    // Rows that are not shown have no rectangle.
    TGridNode* child = tree->AddChild(third);
    EXPECT_TRUE(tree->GetDisplayRect(child, NoColumn, false).IsEmpty()) << "inside a collapsed parent";
    tree->SetVisible(third, false);
    EXPECT_TRUE(tree->GetDisplayRect(third, 1, false).IsEmpty()) << "filtered out";
    EXPECT_THROW(tree->GetDisplayRect(tree->RootNode(), NoColumn, false), EAssertionFailed);
}

TEST(Geometry, TextRectangleStartsAfterIndentMarginAndImages)
{
    auto tree = WindowTree(2);
    TGridNode* top = tree->GetFirst();
    TGridNode* child = tree->AddChild(top);
    tree->ToggleNode(top);
    EXPECT_EQ(tree->GetDisplayRect(top, NoColumn, true).Left, 22) << "margin 4 and one indent for the root level";
    EXPECT_EQ(tree->GetDisplayRect(child, NoColumn, true).Left, 40);
    EXPECT_EQ(tree->GetDisplayRect(top, NoColumn, true).Width(), 50) << "as wide as the label";

    tree->SetPaint(toShowRoot, false);
    EXPECT_EQ(tree->GetDisplayRect(top, NoColumn, true).Left, 4);
    tree->SetPaint(toShowRoot, true);

    TImageList images(nullptr);
    tree->SetImages(&images);
    tree->SetStateImages(&images);
    tree->WithImages = true;
    tree->SetMisc(toCheckSupport, true);
    top->CheckType = ctCheckBox;
    EXPECT_EQ(tree->GetDisplayRect(top, NoColumn, true).Left, 22 + 3 * 18) << "check, state and normal image";
    EXPECT_EQ(tree->GetDisplayRect(child, NoColumn, true).Left, 40 + 2 * 18) << "no check box on the child";

    tree->SetAlignment(taRightJustify);
    const TRect row = tree->GetDisplayRect(top, NoColumn, false);
    const TRect text = tree->GetDisplayRect(top, NoColumn, true);
    EXPECT_EQ(text.Right, row.Right) << "right aligned";
    EXPECT_EQ(text.Width(), 50);
    tree->SetImages(nullptr);
    tree->SetStateImages(nullptr);
}

TEST(Geometry, EveryZoneOfARow)
{
    auto tree = WindowTree(3);
    TImageList images(nullptr);
    tree->SetImages(&images);
    tree->SetStateImages(&images);
    tree->WithImages = true;
    tree->SetMisc(toCheckSupport, true);
    TGridNode* top = tree->GetFirst();
    top->CheckType = ctCheckBox;
    tree->AddChild(top);  // a button, collapsed

    // Row 0: button level 0..17 (the 9 x 9 button at 4..12, rows 5..13),
    // margin 18..21, check 22..39, state image 40..57, normal image
    // 58..75, label 76..125.
    EXPECT_EQ(HitAt(tree.get(), 2, 9), (THitPositions{hiOnItem, hiOnItemButton}));
    EXPECT_EQ(HitAt(tree.get(), 8, 9), (THitPositions{hiOnItem, hiOnItemButton, hiOnItemButtonExact}));
    EXPECT_EQ(HitAt(tree.get(), 8, 14), (THitPositions{hiOnItem, hiOnItemButton})) << "below the button";
    EXPECT_EQ(HitAt(tree.get(), 19, 9), (THitPositions{hiOnItem, hiOnItemIndent}));
    EXPECT_EQ(HitAt(tree.get(), 22, 9), (THitPositions{hiOnItem, hiOnItemCheckbox}));
    EXPECT_EQ(HitAt(tree.get(), 39, 9), (THitPositions{hiOnItem, hiOnItemCheckbox}));
    EXPECT_EQ(HitAt(tree.get(), 40, 9), (THitPositions{hiOnItem, hiOnStateIcon}));
    EXPECT_EQ(HitAt(tree.get(), 75, 9), (THitPositions{hiOnItem, hiOnNormalIcon}));
    EXPECT_EQ(HitAt(tree.get(), 76, 9), (THitPositions{hiOnItem, hiOnItemLabel}));
    EXPECT_EQ(HitAt(tree.get(), 125, 9), (THitPositions{hiOnItem, hiOnItemLabel}));
    EXPECT_EQ(HitAt(tree.get(), 126, 9), (THitPositions{hiOnItem, hiOnItemRight}));

    // Row 1 has no children: its level holds no button; no check box.
    EXPECT_EQ(HitAt(tree.get(), 8, 27), (THitPositions{hiOnItem, hiOnItemIndent}));
    EXPECT_EQ(HitAt(tree.get(), 22, 27), (THitPositions{hiOnItem, hiOnStateIcon}));

    tree->SetAlignment(taRightJustify);
    THitInfo info;
    EXPECT_EQ(HitAt(tree.get(), 100, 9, &info), (THitPositions{hiOnItem, hiOnItemLeft}));
    EXPECT_EQ(info.HitNode, top);
    EXPECT_EQ(info.HitColumn, NoColumn);
    EXPECT_EQ(HitAt(tree.get(), tree->ClientWidth() - 1, 9), (THitPositions{hiOnItem, hiOnItemLabel}));
    tree->SetAlignment(taLeftJustify);

    tree->SetMisc(toNodeHeightResize, true);
    EXPECT_TRUE(HitAt(tree.get(), 100, 18 + 2).Contains(hiUpperSplitter));
    EXPECT_TRUE(HitAt(tree.get(), 100, 18 + 15).Contains(hiLowerSplitter));
    EXPECT_FALSE(HitAt(tree.get(), 100, 18 + 9).ContainsAny({hiUpperSplitter, hiLowerSplitter}));

    // Outside the rows.
    EXPECT_EQ(HitAt(tree.get(), 100, 70, &info), THitPositions{hiNowhere}) << "between the last row and the bottom";
    EXPECT_EQ(info.HitNode, nullptr);
    EXPECT_EQ(HitAt(tree.get(), 100, tree->ClientHeight()), THitPositions{hiBelow});
    EXPECT_EQ(HitAt(tree.get(), 100, -1), THitPositions{hiAbove});
    EXPECT_EQ(HitAt(tree.get(), -1, 9), THitPositions{hiToLeft});
    EXPECT_EQ(HitAt(tree.get(), tree->ClientWidth(), 9), THitPositions{hiToRight});
    tree->SetImages(nullptr);
    tree->SetStateImages(nullptr);
}

TEST(Geometry, HitsInColumnsAndMirroredRows)
{
    auto tree = WindowTree(3);
    TTreeGridColumns* columns = tree->Header()->Columns();
    columns->Add()->SetWidth(80);
    columns->Add()->SetWidth(100);
    THitInfo info;
    // The second column is no tree column: its label starts after the margin.
    EXPECT_EQ(HitAt(tree.get(), 80 + 4, 9, &info), (THitPositions{hiOnItem, hiOnItemLabel}));
    EXPECT_EQ(info.HitColumn, 1);
    EXPECT_EQ(HitAt(tree.get(), 80 + 3, 9), (THitPositions{hiOnItem, hiOnItemIndent}));
    EXPECT_EQ(HitAt(tree.get(), 10, 9, &info), (THitPositions{hiOnItem, hiOnItemIndent}));
    EXPECT_EQ(info.HitColumn, 0);
    EXPECT_EQ(HitAt(tree.get(), 185, 9, &info), THitPositions{hiNowhere}) << "right of the last column";

    // Right to left a cell is laid out from its right edge.
    columns->Items(1)->SetBiDiMode(bdRightToLeft);
    EXPECT_EQ(HitAt(tree.get(), 179 - 4, 9), (THitPositions{hiOnItem, hiOnItemLabel}));
    EXPECT_EQ(HitAt(tree.get(), 179 - 2, 9), (THitPositions{hiOnItem, hiOnItemIndent}));
    EXPECT_EQ(HitAt(tree.get(), 81, 9), (THitPositions{hiOnItem, hiOnItemLeft})) << "beyond the label's end";
}

TEST(Geometry, WidestContentOfAColumn)
{
    auto tree = WindowTree(8);
    TGridNode* first = tree->GetFirst();
    tree->AddChild(first);
    tree->ToggleNode(first);
    // Indent 18 per level (and one for the root level), margin 4, label 50,
    // text margin 4.
    EXPECT_EQ(tree->GetMaxColumnWidth(NoColumn), 2 * 18 + 4 + 50 + 4);
    tree->SetPaint(toShowVertGridLines, true);
    EXPECT_EQ(tree->GetMaxColumnWidth(NoColumn), 2 * 18 + 4 + 50 + 4 + 1);
    tree->SetPaint(toShowVertGridLines, false);

    // The smart way looks only at the rows on screen.
    tree->SetOffsetY(-36);
    EXPECT_EQ(tree->GetMaxColumnWidth(NoColumn, true), 18 + 4 + 50 + 4);
    bool smartAsked = false;
    tree->OnBeforeGetMaxColumnWidth = [&](TTGHeader*, TColumnIndex, bool& Smart) { smartAsked = Smart; Smart = false; };
    tree->OnAfterGetMaxColumnWidth = [](TTGHeader*, TColumnIndex, int& Width) { Width += 1000; };
    EXPECT_EQ(tree->GetMaxColumnWidth(NoColumn, true), 2 * 18 + 4 + 50 + 4 + 1000);
    EXPECT_TRUE(smartAsked);
}

TEST(Geometry, VerticalAlignmentInARow)
{
    auto tree = WindowTree(1);
    TGridNode* node = tree->GetFirst();
    int align = 0;
    int button = 0;
    tree->CalculateVerticalAlignments(node, align, button);
    EXPECT_EQ(align, 9) << "half of 18";
    EXPECT_EQ(button, 5) << "the 9-pixel button centred on it";
    node->Align = 5;
    tree->SetNodeAlignment(naFromTop);
    tree->CalculateVerticalAlignments(node, align, button);
    EXPECT_EQ(align, 5);
    tree->SetNodeAlignment(naFromBottom);
    tree->CalculateVerticalAlignments(node, align, button);
    EXPECT_EQ(align, 13);
    EXPECT_EQ(button, 9);
}

TEST(Geometry, DialogCodeAndTreeViewQueries)
{
    auto tree = WindowTree(3);
    EXPECT_EQ(tree->Perform(WM_GETDLGCODE), 0x81);
    tree->SetWantTabs(true);
    EXPECT_EQ(tree->Perform(WM_GETDLGCODE), 0x83);

    TGridNode* first = tree->GetFirst();
    auto next = [&](unsigned Code, TGridNode* Node) {
        return reinterpret_cast<TGridNode*>(tree->Perform(TVM_GETNEXTITEM, Code, reinterpret_cast<LPARAM>(Node)));
    };
    EXPECT_EQ(next(TVGN_ROOT, nullptr), first);
    EXPECT_EQ(next(TVGN_NEXT, first), tree->GetNext(first));
    EXPECT_EQ(next(TVGN_PARENT, first), nullptr);
    EXPECT_EQ(next(TVGN_LASTVISIBLE, nullptr), tree->GetLast());
    tree->SetFocusedNode(first);
    EXPECT_EQ(next(TVGN_CARET, nullptr), first);

    TTVItemRect query;
    query.Item = tree->GetLast();
    EXPECT_EQ(tree->Perform(TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&query)), 1);
    EXPECT_EQ(query.Rect, TRect(22, 36, 72, 54));
    tree->SetVisible(query.Item, false);
    EXPECT_EQ(tree->Perform(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&query)), 0) << "a filtered row";

    TTVItem item;
    item.hItem = first;
    item.mask = TVIF_STATE | TVIF_CHILDREN;
    item.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
    tree->SetSelected(first, true);
    EXPECT_EQ(tree->Perform(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(item.state, TVIS_SELECTED);
    EXPECT_EQ(item.cChildren, 0);
    EXPECT_EQ(tree->Perform(WM_GETOBJECT), 0);
    EXPECT_EQ(tree->Perform(CM_DENYSUBCLASSING), 1);
}

TEST(Geometry, ImageListsAreForgottenWhenFreed)
{
    auto tree = WindowTree(1);
    auto* images = new TImageList(nullptr);
    tree->SetImages(images);
    tree->SetStateImages(images);
    delete images;
    EXPECT_EQ(tree->Images(), nullptr);
    EXPECT_EQ(tree->StateImages(), nullptr);
}
