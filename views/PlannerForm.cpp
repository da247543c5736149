#include "views/PlannerForm.h"

#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"

TPlannerForm::TPlannerForm(TComponent* AOwner) : TScheduleDocument(AOwner) {}

void TPlannerForm::CreateViewPanels()
{
    // Below every bar already along the top edge: top-aligned controls line
    // up by their position.
    const int below = ClientHeight() + 1000;
    TimeChartPanel = Build<TPanel>(this, "TimeChartPanel").Parent(this).Bounds(0, below, ClientWidth(), 300)
                         .Align(alTop).Caption("").Get();
    TimeChartPanel->SetBevelOuter(bvNone);
    TimeChartPanel->SetColor(clBtnShadow);
    // A splitter starts out left-aligned, which would stretch it to the full
    // height: it is turned first, then placed.
    Splitter1 = Build<TSplitter>(this, "Splitter1").Align(alTop).Parent(this).Bounds(0, below + 2000, ClientWidth(), 4)
                    .Get();
    Splitter1->SetMinSize(40);
    Panel1 = Build<TPanel>(this, "Panel1").Parent(this).Align(alClient).Caption("").Get();
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetColor(clWindow);
}
