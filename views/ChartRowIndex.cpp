#include "views/ChartRowIndex.h"

#include "views/RowSlots.h"

#include <algorithm>

namespace {

// Rows beyond this are no shown rows (a list that large is not drawn).
constexpr int MaxIndexedRow = 1 << 20;

}  // namespace

TChartRowIndex::TChartRowIndex() = default;
TChartRowIndex::~TChartRowIndex() = default;

std::uint32_t TChartRowIndex::SlotOf(TNodeData* Row)
{
    if (Row->ViewSlot != 0 && Row->ViewSlot <= FRecords.size() && FRecords[Row->ViewSlot - 1].Row == Row)
        return Row->ViewSlot - 1;
    const std::uint32_t slot = TakeSlot(FRecords, FFree);
    TRecord& r = FRecords[slot];
    r.Row = Row;
    r.Table = Row->NodeTable;
    r.Live = true;
    Row->ViewSlot = slot + 1;
    // A row appended at the end follows every other; one put anywhere else
    // renumbers its table.
    TTable& t = FTables[r.Table];
    if (!t.OrderStale && FIsLast && FIsLast(Row))
        r.Order = t.NextOrder++;
    else
        t.OrderStale = true;
    return slot;
}

void TChartRowIndex::Touch(TNodeData* Row)
{
    if (!Row || !Row->VNode)
        return;
    const std::uint32_t slot = SlotOf(Row);
    TRecord& r = FRecords[slot];
    if (!r.Dirty) {
        r.Dirty = true;
        FDirty.push_back(slot);
    }
}

void TChartRowIndex::Forget(TNodeData* Row)
{
    if (!Row || Row->ViewSlot == 0 || Row->ViewSlot > FRecords.size())
        return;
    const std::uint32_t slot = Row->ViewSlot - 1;
    TRecord& r = FRecords[slot];
    if (r.Row != Row)
        return;
    Remove(slot);
    // A slot still listed as dirty is skipped there: it is no longer live.
    r = TRecord();
    Row->ViewSlot = 0;
    FFree.push_back(slot);
}

void TChartRowIndex::TouchAll()
{
    for (std::uint32_t slot = 0; slot < FRecords.size(); ++slot) {
        TRecord& r = FRecords[slot];
        if (r.Live && !r.Dirty) {
            r.Dirty = true;
            FDirty.push_back(slot);
        }
    }
}

void TChartRowIndex::OrderChanged(TWhichTable Table) { FTables[Table].OrderStale = true; }

TChartRowIndex::TBucket& TChartRowIndex::BucketOf(TWhichTable Table, int Row)
{
    TTable& t = FTables[Table];
    if (Row < 0)
        return t.All;
    if (std::size_t(Row) >= t.Rows.size())
        t.Rows.resize(std::size_t(Row) + 1);
    return t.Rows[std::size_t(Row)];
}

void TChartRowIndex::AddItem(TWhichTable Table, int Row, const TItem& Item)
{
    TBucket& b = BucketOf(Table, Row);
    auto at = std::upper_bound(b.Items.begin(), b.Items.end(), Item.Start,
        [](double S, const TItem& I) { return S < I.Start; });
    b.Items.insert(at, Item);
    if (!b.Stale) {
        b.Stale = true;
        FStale.emplace_back(Table, Row);
    }
}

void TChartRowIndex::RemoveItem(TWhichTable Table, int Row, const TItem& Item)
{
    TBucket& b = BucketOf(Table, Row);
    auto first = std::lower_bound(b.Items.begin(), b.Items.end(), Item.Start,
        [](const TItem& I, double S) { return I.Start < S; });
    for (auto it = first; it != b.Items.end() && it->Start == Item.Start; ++it)
        if (it->Slot == Item.Slot) {
            b.Items.erase(it);
            break;
        }
    if (!b.Stale) {
        b.Stale = true;
        FStale.emplace_back(Table, Row);
    }
}

void TChartRowIndex::Insert(std::uint32_t Slot)
{
    const TRecord& r = FRecords[Slot];
    const TChartPlace& p = r.Place;
    if (!p.Shown)
        return;
    const TItem item{p.Start, p.End, Slot};
    if (p.AllRows) {
        AddItem(r.Table, -1, item);
        return;
    }
    for (int row = p.RowFirst; row < p.RowFirst + p.RowCount; ++row)
        AddItem(r.Table, row, item);
}

void TChartRowIndex::Remove(std::uint32_t Slot)
{
    TRecord& r = FRecords[Slot];
    const TChartPlace& p = r.Place;
    if (p.Shown) {
        const TItem item{p.Start, p.End, Slot};
        if (p.AllRows)
            RemoveItem(r.Table, -1, item);
        else
            for (int row = p.RowFirst; row < p.RowFirst + p.RowCount; ++row)
                RemoveItem(r.Table, row, item);
    }
    r.Place = TChartPlace();
}

void TChartRowIndex::Prepare(TBucket& Bucket)
{
    Bucket.BlockEnd.assign((Bucket.Items.size() + BlockSize - 1) / BlockSize, 0);
    for (std::size_t i = 0; i < Bucket.Items.size(); ++i) {
        double& end = Bucket.BlockEnd[i / BlockSize];
        if (i % BlockSize == 0 || Bucket.Items[i].End > end)
            end = Bucket.Items[i].End;
    }
    Bucket.Stale = false;
}

void TChartRowIndex::Renumber(TWhichTable Table, const TWalkFn& Walk)
{
    TTable& t = FTables[Table];
    std::uint64_t n = 0;
    Walk(Table, [&](TNodeData* Row) {
        ++n;
        if (Row->ViewSlot != 0 && Row->ViewSlot <= FRecords.size() && FRecords[Row->ViewSlot - 1].Row == Row)
            FRecords[Row->ViewSlot - 1].Order = n;
    });
    t.NextOrder = n + 1;
    t.OrderStale = false;
}

void TChartRowIndex::Refresh(const TPlaceFn& Place, const TWalkFn& Walk)
{
    if (FRefreshing)
        return;
    FRefreshing = true;
    try {
        // Working out a place may touch rows again; those join this run.
        while (!FDirty.empty()) {
            std::vector<std::uint32_t> dirty;
            dirty.swap(FDirty);
            for (std::uint32_t slot : dirty) {
                if (slot >= FRecords.size() || !FRecords[slot].Live || !FRecords[slot].Dirty)
                    continue;
                FRecords[slot].Dirty = false;
                TChartPlace place = Place(FRecords[slot].Row);
                // The row may have been freed while its place was worked out.
                if (!FRecords[slot].Live)
                    continue;
                if (place.Shown && !place.AllRows &&
                    (place.RowFirst < 0 || place.RowCount <= 0 || place.RowFirst + place.RowCount > MaxIndexedRow))
                    place.Shown = false;
                if (place == FRecords[slot].Place)
                    continue;
                Remove(slot);
                FRecords[slot].Place = place;
                Insert(slot);
            }
        }
        for (const auto& [table, row] : FStale) {
            TBucket& b = BucketOf(table, row);
            if (b.Stale)
                Prepare(b);
        }
        FStale.clear();
        for (TWhichTable table : {tbTable, tbExclude})
            if (FTables[table].OrderStale)
                Renumber(table, Walk);
    } catch (...) {
        FRefreshing = false;
        throw;
    }
    FRefreshing = false;
}

void TChartRowIndex::Collect(const TBucket& Bucket, double DateLo, double DateHi, std::vector<std::uint32_t>& Out)
{
    // Items starting after the window cannot reach into it; of the others,
    // whole blocks that end before it are skipped.
    const auto& items = Bucket.Items;
    const std::size_t end = std::size_t(
        std::upper_bound(items.begin(), items.end(), DateHi, [](double S, const TItem& I) { return S < I.Start; }) -
        items.begin());
    for (std::size_t block = 0; block * BlockSize < end; ++block) {
        if (block < Bucket.BlockEnd.size() && Bucket.BlockEnd[block] < DateLo)
            continue;
        const std::size_t last = std::min(end, (block + 1) * BlockSize);
        for (std::size_t i = block * BlockSize; i < last; ++i)
            if (items[i].End >= DateLo)
                Out.push_back(items[i].Slot);
    }
}

void TChartRowIndex::Query(TWhichTable Table, int RowLo, int RowHi, double DateLo, double DateHi,
    std::vector<TNodeData*>& Out) const
{
    Out.clear();
    const TTable& t = FTables[Table];
    std::vector<std::uint32_t> slots;
    Collect(t.All, DateLo, DateHi, slots);
    const long long lo = std::max(RowLo, 0);
    const long long hi = std::min<long long>(RowHi, (long long)t.Rows.size() - 1);
    for (long long row = lo; row <= hi; ++row)
        Collect(t.Rows[std::size_t(row)], DateLo, DateHi, slots);
    std::sort(slots.begin(), slots.end(), [this](std::uint32_t A, std::uint32_t B) {
        return FRecords[A].Order != FRecords[B].Order ? FRecords[A].Order < FRecords[B].Order : A < B;
    });
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    Out.reserve(slots.size());
    for (std::uint32_t slot : slots)
        Out.push_back(FRecords[slot].Row);
}

std::uint64_t TChartRowIndex::Order(const TNodeData* Row) const
{
    if (!Row || Row->ViewSlot == 0 || Row->ViewSlot > FRecords.size() || FRecords[Row->ViewSlot - 1].Row != Row)
        return 0;
    return FRecords[Row->ViewSlot - 1].Order;
}

std::size_t TChartRowIndex::RecordCount() const { return FRecords.size() - FFree.size(); }

bool TChartRowIndex::Holds(const TNodeData* Row) const
{
    for (const TRecord& r : FRecords)
        if (r.Live && r.Row == Row)
            return true;
    for (const TTable& t : FTables) {
        auto in = [&](const TBucket& b) {
            for (const TItem& i : b.Items)
                if (FRecords[i.Slot].Row == Row)
                    return true;
            return false;
        };
        if (in(t.All))
            return true;
        for (const TBucket& b : t.Rows)
            if (in(b))
                return true;
    }
    return false;
}
