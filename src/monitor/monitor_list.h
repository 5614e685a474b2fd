// The store of monitored products: rows of 13 text cells, guarded by one mutex
// so that every operation is atomic from any thread. Rows carry hidden stable
// ids, so a check can write its results into its own product's row, or nowhere
// when that row was deleted meanwhile.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "core/text.h"

namespace velmora {

enum Column : int {
    ColIndex = 0,
    ColSku = 1,
    ColName = 2,
    ColPricePc = 3,
    ColPriceMobile = 4,
    ColPriceWechat = 5,
    ColQrMobile = 6,
    ColQrWechat = 7,
    ColStatus = 8,
    ColRegion = 9,
    ColExpectedPrice = 10,
    ColVenderId = 11,
    ColCat = 12,
};
inline constexpr int kColumnCount = 13;

using RowId = uint64_t;
inline constexpr RowId kNoRow = 0;
using RowCells = std::array<Text, kColumnCount>;

// What changed, for a view over the store. Sent after the change is made and
// outside the lock, on the thread that made it.
struct ListChange {
    enum Kind { Inserted, Removed, Reset, CellChanged } kind;
    int firstRow = 0;   // Inserted: first new row; Removed: the removed row; CellChanged: the row
    int lastRow = 0;    // Inserted: last new row
    int column = 0;     // CellChanged
};

class MonitorList {
public:
    using Listener = std::function<void(const ListChange&)>;

    int ListRowCount() const;
    int ListInsertRow();                              // appends an empty unticked row
    Text ListGetCell(int row, int column) const;      // empty when row or column does not exist
    void ListSetCell(int row, int column, const Text& text);
    bool ListIsTicked(int row) const;
    void ListSetTicked(int row, bool ticked);
    void ListDeleteRow(int row);
    void ListDeleteAll();

    // Appends many rows under one lock (loading a record file).
    void AppendRows(std::vector<RowCells> rows);
    // A copy of every row's cells, taken under one lock (saving a record file).
    std::vector<RowCells> Snapshot() const;
    // Calls `visit` for every row in order, under the lock, without copying:
    // `visit` must not call back into the list.
    void VisitRows(const std::function<void(const RowCells&)>& visit) const;

    // Row ids: stable for the row's life, never reused.
    RowId RowIdAt(int row) const;                     // kNoRow when out of range
    int RowIndexOf(RowId id) const;                   // -1 when the row is gone
    Text GetCellById(RowId id, int column) const;
    bool SetCellById(RowId id, int column, const Text& text);  // false when gone

    // One listener (the list view); replaced by a later call.
    void SetListener(Listener listener);

private:
    struct Row {
        RowId id;
        bool ticked = false;
        RowCells cells;
    };
    void Notify(const ListChange& change) const;

    mutable std::mutex mutex_;
    std::vector<Row> rows_;
    RowId nextId_ = 1;
    Listener listener_;
};

}  // namespace velmora
