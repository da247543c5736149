#pragma once
// The planner form the tool draws and prints with: its chart controls and
// nothing else, no shell, no settings file, no window on a screen.
#include <iostream>

#include "platform/ComCtrls.h"
#include "platform/Menus.h"
#include "views/PlannerForm.h"

// The planner form with its chart controls and nothing else: no shell, no
// settings file, no window on a screen.
class THeadlessPlanner : public TPlannerForm {
public:
    explicit THeadlessPlanner(TComponent* AOwner) : TPlannerForm(AOwner)
    {
        SetBounds(0, 0, 1000, 700);
        TToolBar* tools = Create<TToolBar>(this);
        tools->SetParent(this);
        tools->SetAlign(alTop);
        TMenuItem* viewMenu = Create<TMenuItem>(this);
        CreateViewPanels();
        for (TMenuItem** item : {&SmallTimeChart1, &HideEmptyRows1, &HideEmptyMultiRows1, &DrawLines1,
                 &DrawLinesMultiRow1, &AutoScroll1}) {
            *item = Create<TMenuItem>(this);
            viewMenu->Add(*item);
        }
        // The switches as a fresh settings file leaves them: overview and
        // lines shown, no position hidden.
        for (TMenuItem* item : {SmallTimeChart1, DrawLines1, DrawLinesMultiRow1})
            item->SetChecked(true);
        CreateTimeChartTools(tools, viewMenu);
    }
    bool AskConfirmation(const String&) override { return true; }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { std::cerr << Text << "\n"; }
};

struct TPlannerDeleter {
    void operator()(TPlannerForm* P) const
    {
        P->ClearRows();
        P->Free();
    }
};
