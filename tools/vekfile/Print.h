#pragma once
// vekfile print-table and print-chart: a plan's task table or timechart
// printed through the program's own print dialogs into a PDF file, without
// a display, settings or language file.
#include <vector>

#include "platform/Types.h"

// The arguments after the command's name. 0 when OUT.pdf was written; 1
// when the plan cannot be loaded, the file cannot be written or no row is
// chosen (nothing is written); 2 for bad arguments, with the usage.
int PrintTableCommand(const std::vector<String>& Args);
int PrintChartCommand(const std::vector<String>& Args);
