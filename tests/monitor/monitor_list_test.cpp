#include "monitor/monitor_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace velmora {
namespace {

// Every notification, in order, with the row count the listener saw: the
// listener calling back into the list shows it runs outside the lock.
struct Recorder {
    MonitorList* list = nullptr;
    std::vector<ListChange> changes;
    std::vector<int> counts;

    void Attach(MonitorList& l) {
        list = &l;
        l.SetListener([this](const ListChange& c) {
            changes.push_back(c);
            counts.push_back(list->ListRowCount());
        });
    }
};

TEST(MonitorList, CellsOfExistingRowsOnly) {
    MonitorList list;
    EXPECT_EQ(list.ListInsertRow(), 0);
    EXPECT_EQ(list.ListInsertRow(), 1);
    EXPECT_EQ(list.ListRowCount(), 2);

    for (int col = 0; col < kColumnCount; ++col) {
        list.ListSetCell(1, col, "c" + std::to_string(col));
    }
    for (int col = 0; col < kColumnCount; ++col) {
        EXPECT_EQ(list.ListGetCell(1, col), "c" + std::to_string(col)) << "column " << col;
        EXPECT_EQ(list.ListGetCell(0, col), "") << "column " << col;
    }

    const Text big(5000, 'x');
    list.ListSetCell(0, ColName, big);
    EXPECT_EQ(list.ListGetCell(0, ColName), big) << "a cell over 512 bytes comes back whole";

    struct Place {
        int row;
        int column;
    };
    const Place outside[] = {{2, ColSku},       {100, ColSku}, {-1, ColSku},
                             {0, kColumnCount}, {0, -1},       {1, 99}};
    for (const Place& p : outside) {
        list.ListSetCell(p.row, p.column, "stray");
        EXPECT_EQ(list.ListGetCell(p.row, p.column), "") << p.row << "," << p.column;
    }
    EXPECT_EQ(list.ListRowCount(), 2) << "no write outside adds a row";
    for (int col = 0; col < kColumnCount; ++col) {
        EXPECT_NE(list.ListGetCell(1, col), "stray");
        EXPECT_NE(list.ListGetCell(0, col), "stray");
    }
}

TEST(MonitorList, DeletingMovesLaterRowsUpWithTheirTicks) {
    MonitorList list;
    for (int i = 0; i < 4; ++i) list.ListSetCell(list.ListInsertRow(), ColSku, std::to_string(i));
    EXPECT_FALSE(list.ListIsTicked(0)) << "new rows are not ticked";
    list.ListSetTicked(2, true);
    list.ListDeleteRow(1);
    ASSERT_EQ(list.ListRowCount(), 3);
    EXPECT_EQ(list.ListGetCell(1, ColSku), "2");
    EXPECT_TRUE(list.ListIsTicked(1));
    EXPECT_FALSE(list.ListIsTicked(2));
    EXPECT_FALSE(list.ListIsTicked(3)) << "out of range";
    list.ListDeleteRow(3);
    list.ListDeleteRow(-1);
    EXPECT_EQ(list.ListRowCount(), 3) << "deleting outside the list does nothing";
    list.ListDeleteAll();
    EXPECT_EQ(list.ListRowCount(), 0);
}

TEST(MonitorList, IdsStayWithTheirRowsAndAreNeverReused) {
    MonitorList list;
    std::vector<RowId> ids;
    for (int i = 0; i < 5; ++i) {
        int row = list.ListInsertRow();
        list.ListSetCell(row, ColSku, std::to_string(i));
        ids.push_back(list.RowIdAt(row));
    }
    EXPECT_EQ(std::set<RowId>(ids.begin(), ids.end()).size(), 5u);
    EXPECT_EQ(list.RowIdAt(5), kNoRow);
    EXPECT_EQ(list.RowIdAt(-1), kNoRow);

    list.ListDeleteRow(1);
    list.ListDeleteRow(2);  // the row that held "3"
    EXPECT_EQ(list.RowIndexOf(ids[1]), -1);
    EXPECT_EQ(list.RowIndexOf(ids[3]), -1);
    EXPECT_EQ(list.RowIndexOf(ids[4]), 2);
    EXPECT_EQ(list.GetCellById(ids[4], ColSku), "4");
    EXPECT_TRUE(list.SetCellById(ids[4], ColStatus, "done"));
    EXPECT_EQ(list.ListGetCell(2, ColStatus), "done");
    EXPECT_FALSE(list.SetCellById(ids[3], ColStatus, "lost"));
    EXPECT_FALSE(list.SetCellById(kNoRow, ColStatus, "lost"));
    EXPECT_EQ(list.GetCellById(ids[3], ColSku), "");
    for (int r = 0; r < list.ListRowCount(); ++r) EXPECT_NE(list.ListGetCell(r, ColStatus), "lost");

    list.ListDeleteAll();
    list.AppendRows(std::vector<RowCells>(2));
    list.ListInsertRow();
    for (int r = 0; r < 3; ++r) {
        RowId id = list.RowIdAt(r);
        EXPECT_GT(id, ids.back()) << "row " << r;
        EXPECT_EQ(list.RowIndexOf(id), r);
    }
    for (RowId old : ids) EXPECT_EQ(list.RowIndexOf(old), -1);
}

TEST(MonitorList, AppendRowsAndSnapshot) {
    MonitorList list;
    list.ListInsertRow();
    std::vector<RowCells> rows(3);
    for (int i = 0; i < 3; ++i) rows[i][ColCat] = "cat" + std::to_string(i);
    list.AppendRows(rows);
    std::vector<RowCells> snap = list.Snapshot();
    ASSERT_EQ(snap.size(), 4u);
    EXPECT_EQ(snap[0], RowCells{});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(snap[i + 1], rows[i]);
}

TEST(MonitorList, ListenerHearsEachChangeAfterItIsMade) {
    MonitorList list;
    Recorder rec;
    rec.Attach(list);
    list.ListInsertRow();
    list.ListInsertRow();
    list.ListSetCell(1, ColStatus, "x");
    list.ListSetCell(1, ColStatus, "x");  // unchanged: nothing to tell
    list.ListSetCell(7, ColStatus, "x");  // no such row
    list.SetCellById(list.RowIdAt(0), ColPricePc, "9.9");
    list.ListSetTicked(1, true);
    list.AppendRows(std::vector<RowCells>(3));
    list.AppendRows({});
    list.ListDeleteRow(0);
    list.ListDeleteRow(9);
    list.ListDeleteAll();

    using K = ListChange::Kind;
    struct Expect {
        K kind;
        int first;
        int last;
        int column;
        int countSeen;
    };
    const Expect expected[] = {
        {K::Inserted, 0, 0, 0, 1},
        {K::Inserted, 1, 1, 0, 2},
        {K::CellChanged, 1, 1, ColStatus, 2},
        {K::CellChanged, 0, 0, ColPricePc, 2},
        {K::CellChanged, 1, 1, ColIndex, 2},
        {K::Inserted, 2, 4, 0, 5},
        {K::Removed, 0, 0, 0, 4},
        {K::Reset, 0, 0, 0, 0},
    };
    ASSERT_EQ(rec.changes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ListChange& c = rec.changes[i];
        EXPECT_EQ(c.kind, expected[i].kind) << "change " << i;
        EXPECT_EQ(c.firstRow, expected[i].first) << "change " << i;
        if (c.kind == K::Inserted) {
            EXPECT_EQ(c.lastRow, expected[i].last) << "change " << i;
        }
        if (c.kind == K::CellChanged) {
            EXPECT_EQ(c.column, expected[i].column) << "change " << i;
        }
        EXPECT_EQ(rec.counts[i], expected[i].countSeen) << "change " << i;
    }
}

// Workers resolve a row to its id, then write by id while the window's thread
// deletes and adds rows: every write lands in its own product's row or nowhere.
TEST(MonitorList, WritesByIdRaceDeletionsSafely) {
    MonitorList list;
    std::atomic<int> nextSku{0};
    auto addRow = [&] {
        RowCells cells;
        cells[ColSku] = "S" + std::to_string(nextSku++);
        list.AppendRows({cells});
    };
    for (int i = 0; i < 300; ++i) addRow();
    std::atomic<long> notified{0};
    list.SetListener([&](const ListChange&) { ++notified; });

    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            std::mt19937 rng(t);
            while (!stop) {
                int count = list.ListRowCount();
                int row = count > 0 ? static_cast<int>(rng() % (count + 2)) : 0;
                RowId id = list.RowIdAt(row);
                Text sku = list.GetCellById(id, ColSku);
                std::this_thread::yield();
                list.SetCellById(id, ColStatus, "of " + sku);
                list.SetCellById(id, ColPricePc, sku);
                // Index writes race too; they must never crash or add rows.
                list.ListSetCell(row, ColPriceMobile, list.ListGetCell(row, ColSku));
            }
        });
    }
    std::mt19937 rng(99);
    for (int round = 0; round < 3000; ++round) {
        int count = list.ListRowCount();
        if (count > 0 && rng() % 3 != 0)
            list.ListDeleteRow(static_cast<int>(rng() % count));
        else
            addRow();
        if (round % 1000 == 999) list.ListDeleteAll();
    }
    stop = true;
    for (std::thread& w : workers) w.join();

    EXPECT_GT(notified.load(), 0);
    for (const RowCells& cells : list.Snapshot()) {
        const Text& sku = cells[ColSku];
        if (!cells[ColStatus].empty()) {
            EXPECT_EQ(cells[ColStatus], "of " + sku);
        }
        if (!cells[ColPricePc].empty()) {
            EXPECT_EQ(cells[ColPricePc], sku);
        }
    }
}

}  // namespace
}  // namespace velmora
