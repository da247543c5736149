#pragma once
// The rows of the timechart by place: per table, the valid rows by shown row
// (rows for all positions apart) and start, with bounds on their ends, so
// that painting, hit tests and the rubber band find the bars in a window of
// pixels without walking every row. Answers come in tree order (a number per
// row, renewed when the order changes).
//
// The index knows nothing of the document: whoever owns it tells it which
// rows changed (Touch, Forget, TouchAll, OrderChanged) and, when it is
// brought up to date (Refresh), where each of them lies now. A row's record
// is found through TNodeData::ViewSlot.
#include <cstdint>
#include <functional>
#include <vector>

#include "document/DocumentTypes.h"

// Where a row's bar lies: shown rows RowFirst .. RowFirst + RowCount - 1
// (or all rows), dates Start .. End. Not shown: no bar at all.
struct TChartPlace {
    bool Shown = false;
    bool AllRows = false;
    int RowFirst = 0;
    int RowCount = 0;
    double Start = 0;
    double End = 0;
    friend bool operator==(const TChartPlace&, const TChartPlace&) = default;
};

class TChartRowIndex {
public:
    using TPlaceFn = std::function<TChartPlace(TNodeData* Row)>;
    // Calls Fn for each row of the table in tree order.
    using TWalkFn = std::function<void(TWhichTable Table, const std::function<void(TNodeData*)>& Fn)>;

    TChartRowIndex();
    ~TChartRowIndex();
    TChartRowIndex(const TChartRowIndex&) = delete;
    TChartRowIndex& operator=(const TChartRowIndex&) = delete;

    // The row's place may have changed.
    void Touch(TNodeData* Row);
    // The row is going: it leaves every list.
    void Forget(TNodeData* Row);
    // Every place may have changed (another group, other positions).
    void TouchAll();
    // The table's rows are in another order now.
    void OrderChanged(TWhichTable Table);
    // Whether the row was appended at the end of its table (its number can be
    // the next one) or put anywhere else.
    void SetIsLast(std::function<bool(TNodeData* Row)> Fn) { FIsLast = std::move(Fn); }

    // Brings every touched row up to date. Place may touch rows again (as
    // recalculating an end does); they are taken in the same run.
    void Refresh(const TPlaceFn& Place, const TWalkFn& Walk);

    // Rows of the table (after Refresh) that may lie in shown rows
    // RowLo..RowHi and dates DateLo..DateHi: every row whose place meets
    // them, and perhaps a few more; in tree order, each once.
    void Query(TWhichTable Table, int RowLo, int RowHi, double DateLo, double DateHi,
        std::vector<TNodeData*>& Out) const;

    // Tree order of two indexed rows of one table (for tests and sorting).
    std::uint64_t Order(const TNodeData* Row) const;
    // Rows with a record; rows touched and not yet refreshed.
    std::size_t RecordCount() const;
    std::size_t PendingCount() const { return FDirty.size(); }
    // Whether the index holds the row (for tests: no freed row stays).
    bool Holds(const TNodeData* Row) const;

private:
    struct TItem {
        double Start;
        double End;
        std::uint32_t Slot;
    };
    // Items sorted by start; per block of BlockSize items the latest end.
    struct TBucket {
        std::vector<TItem> Items;
        std::vector<double> BlockEnd;
        bool Stale = false;
    };
    struct TRecord {
        TNodeData* Row = nullptr;
        TChartPlace Place;  // as indexed
        std::uint64_t Order = 0;
        TWhichTable Table = tbTable;
        bool Dirty = false;
        bool Live = false;
    };
    struct TTable {
        std::vector<TBucket> Rows;
        TBucket All;
        std::uint64_t NextOrder = 1;
        bool OrderStale = false;
    };
    static constexpr std::size_t BlockSize = 32;

    std::uint32_t SlotOf(TNodeData* Row);
    void Insert(std::uint32_t Slot);
    void Remove(std::uint32_t Slot);
    TBucket& BucketOf(TWhichTable Table, int Row);
    void AddItem(TWhichTable Table, int Row, const TItem& Item);
    void RemoveItem(TWhichTable Table, int Row, const TItem& Item);
    static void Prepare(TBucket& Bucket);
    static void Collect(const TBucket& Bucket, double DateLo, double DateHi, std::vector<std::uint32_t>& Out);
    void Renumber(TWhichTable Table, const TWalkFn& Walk);

    std::vector<TRecord> FRecords;
    std::vector<std::uint32_t> FFree;
    std::vector<std::uint32_t> FDirty;
    TTable FTables[TableCount];
    std::function<bool(TNodeData*)> FIsLast;
    // Buckets whose block ends must be worked out again: table, row (-1
    // for the rows over all positions).
    std::vector<std::pair<TWhichTable, int>> FStale;
    bool FRefreshing = false;
};
