// The colour legends of the task states and absence reasons: their
// entries, the framed entry of the focused row, and a colour picked under
// a swatch, undone in one step.
#include <gtest/gtest.h>

#include "components/ColorPickerPopup.h"
#include "platform/ComCtrls.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/PlatformFixture.h"
#include "views/ColorLegend.h"
#include "views/PlannerForm.h"

namespace {

constexpr TDateTime Day = 46000;

class TLegendPlanner : public TPlannerForm {
public:
    explicit TLegendPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, 1000, 700);
        Bar = Create<TToolBar>(this);
        Bar->SetParent(this);
        Bar->SetAlign(alTop);
        CreateViewPanels();
    }
    TToolBar* Bar = nullptr;
};

using TLegendPlannerPtr = TOwnedDocument<TLegendPlanner>;

TLegendPlannerPtr MakeLegendPlanner()
{
    EnsureApplication();
    return MakeDocumentOf<TLegendPlanner>({"A", "B", "C"});
}

void Select(TScheduleDocument& Doc, std::initializer_list<TNodeData*> Rows)
{
    for (TNodeData* row : Rows)
        Doc.GetTable(row->NodeTable)->SetSelected(row->VNode, true);
}

}  // namespace

TEST(ColorPanels, LegendShowsEntriesFramesTheFocusedOneAndPicksColours)
{
    TLegendPlannerPtr p = MakeLegendPlanner();
    p->CreateColorPanels(p->Bar);
    TColorLegend* states = p->StateColorPanel;
    ASSERT_EQ(states->EntryCount(), 3);
    EXPECT_EQ(states->EntryName(1), "State 2");
    EXPECT_EQ(states->EntryColor(1), p->FStateColors[1]);
    EXPECT_EQ(p->HolidayColorPanel->EntryName(0), "Holiday");
    EXPECT_EQ(states->FocusedEntry(), -1);

    TNodeData* row = AddTask(*p, "A", Day, 2);
    p->DoSetData(row, p->GetConnection(tbTable, cnColor), "State 2", cmIgnoreNet);
    Select(*p, {row});
    p->StringTreeGrid1->SetFocusedNode(row->VNode);
    p->UpdateColorPanels();
    EXPECT_EQ(states->FocusedEntry(), 1);
    EXPECT_EQ(p->HolidayColorPanel->FocusedEntry(), -1);

    // The swatches are painted in their colours, the framed one flashing.
    states->SetBounds(0, 0, states->Width(), 22);
    TBitmap shot(states->Width(), 22);
    states->PaintTo(&shot);
    const TRect swatch = states->SwatchRect(0);
    EXPECT_EQ(shot.Canvas()->Pixels(swatch.Left + 3, swatch.Top + 3), p->FStateColors[0]);
    const TRect framed = states->EntryRect(1);
    EXPECT_EQ(shot.Canvas()->Pixels(framed.Left, framed.Top + 3), ColorToRGB(clHighlight));

    p->SetFileChanged(false);
    row->RecalcBitmap = false;
    const TColor before = p->FStateColors[1];
    {
        TModalHookGuard answer([](TCustomForm* Form) {
            auto* picker = dynamic_cast<TColorPickerPopup*>(Form);
            ASSERT_NE(picker, nullptr);
            picker->SetSelectionColor(TColor(0x0000FF));
            picker->SetModalResult(mrOk);
        });
        const TRect r = states->SwatchRect(1);
        states->OnSwatchClick(states->SwatchAt(r.Left + 2, r.Top + 2));
    }
    EXPECT_EQ(p->FStateColors[1], TColor(0x0000FF));
    EXPECT_EQ(states->EntryColor(1), TColor(0x0000FF));
    EXPECT_TRUE(p->GetFileChanged());
    EXPECT_TRUE(row->RecalcBitmap);
    p->UndoRedo().Undo();
    EXPECT_EQ(p->FStateColors[1], before);

    // Cancel keeps the colour.
    {
        TModalHookGuard cancel([](TCustomForm* Form) { Form->SetModalResult(mrCancel); });
        states->OnSwatchClick(1);
    }
    EXPECT_EQ(p->FStateColors[1], before);
}
