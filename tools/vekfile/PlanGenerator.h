#pragma once
// A plausible plan for samples, tests and benchmarks.
#include "document/ScheduleDocument.h"

struct TPlanOptions {
    int Tasks = 80;
    int Positions = 10;
    int Absences = 20;
    bool Minutes = false;
    unsigned Seed = 1;
    // The first day of the plan; 0 for a month before today.
    TDateTime Start = 0;
};

// Replaces the document's contents by a generated plan.
void GeneratePlan(TScheduleDocument& Doc, const TPlanOptions& Options);
