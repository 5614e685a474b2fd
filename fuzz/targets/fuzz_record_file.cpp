// The record file loader. Any bytes: one loaded entry per line, and the
// monitor list loaded from the same file agrees with the parser. Rows whose
// cells hold no separator byte: formatting, saving through the monitor list
// and loading again gives the same rows back.
#include <array>
#include <vector>

#include "fuzz_support.h"
#include "monitor/monitor_list.h"
#include "monitor/record_sync.h"
#include "storage/record_file.h"

namespace velmora::fuzz {
namespace {

constexpr int kFileColumns[6] = {ColSku, ColName, ColRegion, ColExpectedPrice, ColVenderId, ColCat};

// A cell the format can carry: no separator or line-break byte, and no lead
// byte left without its second byte (it would swallow the next separator).
Text CleanCell(Text t) {
    for (char& c : t) {
        if (c == '-' || c == '|' || c == '@' || c == '#' || c == '&' || c == '\r' || c == '\n')
            c = '.';
    }
    size_t i = 0;
    while (i < t.size()) i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
    if (i > t.size()) t.pop_back();
    return t;
}

std::vector<RecordRow> RowsFrom(FuzzInput& in, int count) {
    std::vector<RecordRow> rows(static_cast<size_t>(count));
    for (RecordRow& r : rows) {
        for (Text* cell : {&r.sku, &r.name, &r.region, &r.expectedPrice, &r.venderId, &r.cat}) {
            *cell = CleanCell(in.NextText());
        }
    }
    return rows;
}

std::vector<RowCells> ListRows(const MonitorList& list) { return list.Snapshot(); }

}  // namespace
}  // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    const std::filesystem::path file = ScratchDir() / kRecordFileName;

    // Arbitrary bytes as a record file.
    FuzzInput in(data, size);
    const Bytes raw = in.All();
    const std::vector<LoadedRecord> loaded = ParseRecordFile(raw);
    const Text text = BytesToText(raw);
    size_t lines = SplitText(text, "\r\n").size();
    FUZZ_CHECK(loaded.size() == lines);
    FUZZ_CHECK(SaveRecordBytes(file, raw));
    MonitorList fromFile;
    LoadRecordFileInto(fromFile, file);
    FUZZ_CHECK(fromFile.ListRowCount() == static_cast<int>(loaded.size()));
    for (size_t i = 0; i < loaded.size(); ++i) {
        const RecordRow& r = loaded[i].row;
        const Text* fields[6] = {&r.sku, &r.name, &r.region, &r.expectedPrice, &r.venderId, &r.cat};
        FUZZ_CHECK(fromFile.ListGetCell(static_cast<int>(i), ColIndex) ==
                   IntToText(static_cast<int32_t>(i + 1)));
        for (int k = 0; k < 6; ++k) {
            FUZZ_CHECK(fromFile.ListGetCell(static_cast<int>(i), kFileColumns[k]) == *fields[k]);
        }
    }

    // The same input read as rows of clean cells must survive a round trip.
    FuzzInput cellsIn(data, size);
    const std::vector<RecordRow> rows = RowsFrom(cellsIn, 1 + cellsIn.Byte() % 4);
    const std::vector<LoadedRecord> again = ParseRecordFile(FormatRecordFile(rows));
    FUZZ_CHECK(again.size() == rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(again[i].isRecord && again[i].row == rows[i]);
    }
    MonitorList list;
    std::vector<RowCells> cells(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const RecordRow& r = rows[i];
        cells[i] = {IntToText(static_cast<int32_t>(i + 1)),
                    r.sku,
                    r.name,
                    "",
                    "",
                    "",
                    "\xb6\xfe\xce\xac\xc2\xeb",
                    "\xb6\xfe\xce\xac\xc2\xeb",
                    "\xb5\xbc\xc8\xeb\xbc\xc7\xc2\xbc",
                    r.region,
                    r.expectedPrice,
                    r.venderId,
                    r.cat};
    }
    list.AppendRows(cells);
    FUZZ_CHECK(SaveRecordFileFrom(list, file));
    MonitorList reloaded;
    LoadRecordFileInto(reloaded, file);
    FUZZ_CHECK(ListRows(reloaded) == cells);
    return 0;
}
