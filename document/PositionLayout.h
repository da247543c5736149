#pragma once
// The positions and the smallest time unit as the setup dialogs hand them
// back to the document: plain values, no document needed to build them.
#include <vector>

#include "document/DocumentTypes.h"

struct TPositionDescription {
    String Name;       // item 0 of the entry: the Position cells' text
    String WeekText;   // item 1: the seventy-item week
    int RowCount = 1;  // item 2
    // Index of the entry this one was made from; -1 for a new position.
    int Origin = -1;
};

struct TPositionLayout {
    std::vector<TPositionDescription> Positions;
    TMinUnit MinUnit = muDay;
};
