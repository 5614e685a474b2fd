#include "monitor/monitor_list.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

bool ValidColumn(int column) { return column >= 0 && column < kColumnCount; }

// Rows are only ever appended with increasing ids and never reordered, so the
// rows stay sorted by id and a lookup by id is a binary search.
template <class Rows>
int IndexOfId(const Rows& rows, RowId id) {
    if (id == kNoRow) return -1;
    auto it = std::lower_bound(rows.begin(), rows.end(), id,
                               [](const auto& row, RowId wanted) { return row.id < wanted; });
    if (it == rows.end() || it->id != id) return -1;
    return static_cast<int>(it - rows.begin());
}

}  // namespace

int MonitorList::ListRowCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rows_.size());
}

int MonitorList::ListInsertRow() {
    int index;
    {
        std::lock_guard lock(mutex_);
        index = static_cast<int>(rows_.size());
        rows_.push_back(Row{nextId_++, false, RowCells{}});
    }
    Notify(ListChange{ListChange::Inserted, index, index, 0});
    return index;
}

Text MonitorList::ListGetCell(int row, int column) const {
    if (!ValidColumn(column)) return Text();
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) return Text();
    return rows_[row].cells[column];
}

void MonitorList::ListSetCell(int row, int column, const Text& text) {
    if (!ValidColumn(column)) return;
    {
        std::lock_guard lock(mutex_);
        if (row < 0 || row >= static_cast<int>(rows_.size())) return;
        Text& cell = rows_[row].cells[column];
        if (cell == text) return;
        cell = text;
    }
    Notify(ListChange{ListChange::CellChanged, row, row, column});
}

bool MonitorList::ListIsTicked(int row) const {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) return false;
    return rows_[row].ticked;
}

void MonitorList::ListSetTicked(int row, bool ticked) {
    {
        std::lock_guard lock(mutex_);
        if (row < 0 || row >= static_cast<int>(rows_.size())) return;
        if (rows_[row].ticked == ticked) return;
        rows_[row].ticked = ticked;
    }
    // The check box sits in the first column.
    Notify(ListChange{ListChange::CellChanged, row, row, ColIndex});
}

void MonitorList::ListDeleteRow(int row) {
    {
        std::lock_guard lock(mutex_);
        if (row < 0 || row >= static_cast<int>(rows_.size())) return;
        rows_.erase(rows_.begin() + row);
    }
    Notify(ListChange{ListChange::Removed, row, row, 0});
}

void MonitorList::ListDeleteAll() {
    {
        std::lock_guard lock(mutex_);
        rows_.clear();
    }
    Notify(ListChange{ListChange::Reset, 0, 0, 0});
}

void MonitorList::AppendRows(std::vector<RowCells> rows) {
    if (rows.empty()) return;
    int first;
    int last;
    {
        std::lock_guard lock(mutex_);
        first = static_cast<int>(rows_.size());
        // Grow geometrically: batches of rows in a row must not copy the whole
        // store every time.
        size_t needed = rows_.size() + rows.size();
        if (needed > rows_.capacity()) rows_.reserve(std::max(needed, 2 * rows_.capacity()));
        for (RowCells& cells : rows) rows_.push_back(Row{nextId_++, false, std::move(cells)});
        last = static_cast<int>(rows_.size()) - 1;
    }
    Notify(ListChange{ListChange::Inserted, first, last, 0});
}

std::vector<RowCells> MonitorList::Snapshot() const {
    std::vector<RowCells> copy;
    std::lock_guard lock(mutex_);
    copy.reserve(rows_.size());
    for (const Row& row : rows_) copy.push_back(row.cells);
    return copy;
}

void MonitorList::VisitRows(const std::function<void(const RowCells&)>& visit) const {
    std::lock_guard lock(mutex_);
    for (const Row& row : rows_) visit(row.cells);
}

RowId MonitorList::RowIdAt(int row) const {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) return kNoRow;
    return rows_[row].id;
}

int MonitorList::RowIndexOf(RowId id) const {
    std::lock_guard lock(mutex_);
    return IndexOfId(rows_, id);
}

Text MonitorList::GetCellById(RowId id, int column) const {
    if (!ValidColumn(column)) return Text();
    std::lock_guard lock(mutex_);
    int index = IndexOfId(rows_, id);
    if (index < 0) return Text();
    return rows_[index].cells[column];
}

bool MonitorList::SetCellById(RowId id, int column, const Text& text) {
    int index;
    {
        std::lock_guard lock(mutex_);
        index = IndexOfId(rows_, id);
        if (index < 0) return false;
        if (!ValidColumn(column)) return true;
        Text& cell = rows_[index].cells[column];
        if (cell == text) return true;
        cell = text;
    }
    Notify(ListChange{ListChange::CellChanged, index, index, column});
    return true;
}

void MonitorList::SetListener(Listener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void MonitorList::Notify(const ListChange& change) const {
    // Called after the lock is released, so a listener may call back into the
    // list; the copy keeps a concurrent SetListener from pulling it away.
    Listener listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener) listener(change);
}

}  // namespace velmora
