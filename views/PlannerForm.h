#pragma once
// TPlannerForm: the views' layer of the main window, between the document
// and the shell. It owns the two areas the views draw into: the timechart
// panel above and the table panel below, with the splitter between them.
// The timechart, the overview strip, the tables' handlers and the editor
// fill them as they come; until then they are empty panels.
#include "document/ScheduleDocument.h"

class TPanel;
class TSplitter;

class TPlannerForm : public TScheduleDocument {
    VEK_DECLARE_CLASS(TPlannerForm, TScheduleDocument)
public:
    explicit TPlannerForm(TComponent* AOwner);

    // The timechart's area; its height is a setting of the main window.
    TPanel* TimeChartPanel = nullptr;
    // Between the timechart and the tables.
    TSplitter* Splitter1 = nullptr;
    // The tables' area, filling what the timechart leaves.
    TPanel* Panel1 = nullptr;

protected:
    // Puts the two areas on the form. The shell calls it once its bars along
    // the edges exist, so that the areas take what those leave.
    void CreateViewPanels();
};
