#pragma once
// A new column layout of one table as the table setup hands it to the
// document: the columns in their new order, each with where it came from,
// and the column each role is bound to.
#include <array>
#include <vector>

#include "document/DocumentTypes.h"

struct TColumnLayout {
    struct TColumn {
        String Name;
        TColumnType Type = ctText;
        // The header data's strings as one comma text.
        String Format;
        // The column's index before the change; -1 for a new column.
        int Origin = -1;
    };
    // A role the layout leaves alone follows its column (and is unbound
    // when that column goes).
    static constexpr int FollowOrigin = -2;

    std::vector<TColumn> Columns;
    // Per role: the new index of its column, -1 unbound, or FollowOrigin.
    std::array<int, ConnectionCount> Roles;

    TColumnLayout() { Roles.fill(FollowOrigin); }
};
