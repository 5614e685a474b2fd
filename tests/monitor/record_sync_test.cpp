#include "monitor/record_sync.h"

#include <gtest/gtest.h>

#include <string>

#include "core/codepage.h"
#include "storage/record_file.h"
#include "storage/scratch_dir.h"

namespace velmora {
namespace {

using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;

const int kStored[] = {ColSku, ColName, ColRegion, ColExpectedPrice, ColVenderId, ColCat};

TEST(RecordSync, SavedRowsLoadBackNumberedAndMarkedImported) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    MonitorList list;
    for (int i = 0; i < 3; ++i) {
        int row = list.ListInsertRow();
        for (int col : kStored)
            list.ListSetCell(row, col, std::to_string(col) + "v" + std::to_string(i));
        list.ListSetCell(row, ColPricePc, "99");       // not stored
        list.ListSetCell(row, ColStatus, "whatever");  // not stored
    }
    ASSERT_TRUE(SaveRecordFileFrom(list, path));

    MonitorList loaded;
    LoadRecordFileInto(loaded, path);
    ASSERT_EQ(loaded.ListRowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(loaded.ListGetCell(r, ColIndex), std::to_string(r + 1));
        for (int col : kStored) EXPECT_EQ(loaded.ListGetCell(r, col), list.ListGetCell(r, col));
        EXPECT_EQ(loaded.ListGetCell(r, ColQrMobile), Cp936FromUtf8("二维码"));
        EXPECT_EQ(loaded.ListGetCell(r, ColQrWechat), Cp936FromUtf8("二维码"));
        EXPECT_EQ(loaded.ListGetCell(r, ColStatus), Cp936FromUtf8("导入记录"));
        for (int col : {ColPricePc, ColPriceMobile, ColPriceWechat}) {
            EXPECT_EQ(loaded.ListGetCell(r, col), "");
        }
        EXPECT_FALSE(loaded.ListIsTicked(r));
    }
}

TEST(RecordSync, ABlankLineBecomesANumberOnlyRowThenAnEmptyRecord) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    WriteAll(path, "1-----A||||r@@@@5####v&&&&c\r\n\r\n2-----B||||r@@@@6####v&&&&c");

    MonitorList list;
    LoadRecordFileInto(list, path);
    ASSERT_EQ(list.ListRowCount(), 3);
    EXPECT_EQ(list.ListGetCell(1, ColIndex), "2");
    for (int col = 1; col < kColumnCount; ++col) EXPECT_EQ(list.ListGetCell(1, col), "") << col;
    EXPECT_EQ(list.ListGetCell(2, ColIndex), "3");
    EXPECT_EQ(list.ListGetCell(2, ColSku), "2");

    // Saved, the number-only row is the five separators; loaded again it is an
    // imported row with empty stored cells.
    ASSERT_TRUE(SaveRecordFileFrom(list, path));
    EXPECT_EQ(ReadAll(path),
              "1-----A||||r@@@@5####v&&&&c\r\n-----||||@@@@####&&&&\r\n"
              "2-----B||||r@@@@6####v&&&&c\r\n");
    MonitorList again;
    LoadRecordFileInto(again, path);
    ASSERT_EQ(again.ListRowCount(), 3);
    for (int col : kStored) EXPECT_EQ(again.ListGetCell(1, col), "");
    EXPECT_EQ(again.ListGetCell(1, ColStatus), Cp936FromUtf8("导入记录"));
    EXPECT_EQ(again.ListGetCell(1, ColQrMobile), Cp936FromUtf8("二维码"));
}

TEST(RecordSync, ThousandsOfLinesLoadInFileOrder) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    const int n = 5000;  // more than one batch of rows
    Bytes file;
    for (int i = 0; i < n; ++i) {
        // Every 7th line is not a record and keeps only its number.
        if (i % 7 == 3)
            file += "junk\r\n";
        else
            file += std::to_string(i) + "-----n||||r@@@@1####v&&&&c\r\n";
    }
    WriteAll(path, file);
    MonitorList list;
    LoadRecordFileInto(list, path);
    ASSERT_EQ(list.ListRowCount(), n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(list.ListGetCell(i, ColIndex), std::to_string(i + 1));
        ASSERT_EQ(list.ListGetCell(i, ColSku), i % 7 == 3 ? "" : std::to_string(i));
        ASSERT_EQ(list.RowIndexOf(list.RowIdAt(i)), i);
    }
    ASSERT_TRUE(SaveRecordFileFrom(list, path));
    MonitorList again;
    LoadRecordFileInto(again, path);
    EXPECT_EQ(again.Snapshot().size(), static_cast<size_t>(n));
    EXPECT_EQ(again.ListGetCell(n - 1, ColSku), std::to_string(n - 1));
}

TEST(RecordSync, MissingFileAddsNothingAndEmptyListSavesZeroBytes) {
    ScratchDir dir;
    std::filesystem::path path = dir / kRecordFileName;
    MonitorList list;
    LoadRecordFileInto(list, path);
    EXPECT_EQ(list.ListRowCount(), 0);
    ASSERT_TRUE(SaveRecordFileFrom(list, path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

}  // namespace
}  // namespace velmora
