#include "monitor/record_sync.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "storage/record_file.h"

namespace velmora {

namespace {

const Text kQrLabel = "\xb6\xfe\xce\xac\xc2\xeb";                 // 二维码
const Text kImportedStatus = "\xb5\xbc\xc8\xeb\xbc\xc7\xc2\xbc";  // 导入记录

}  // namespace

void LoadRecordFileInto(MonitorList& list, const std::filesystem::path& path) {
    RecordLines lines = ReadRecordLines(path);
    // Rows go in by batches: a small batch stays in cache and the whole file
    // never needs a second full copy of its rows.
    constexpr size_t kBatch = 2048;
    std::vector<RowCells> rows;
    for (size_t first = 0; first < lines.size(); first += kBatch) {
        size_t count = std::min(kBatch, lines.size() - first);
        rows.assign(count, RowCells{});
        for (size_t k = 0; k < count; ++k) {
            RowCells& cells = rows[k];
            size_t i = first + k;
            cells[ColIndex] = IntToText(static_cast<int32_t>(i + 1));
            LoadedRecord record = lines.Parse(i);
            if (!record.isRecord) continue;
            RecordRow& r = record.row;
            cells[ColSku] = std::move(r.sku);
            cells[ColName] = std::move(r.name);
            cells[ColQrMobile] = kQrLabel;
            cells[ColQrWechat] = kQrLabel;
            cells[ColStatus] = kImportedStatus;
            cells[ColRegion] = std::move(r.region);
            cells[ColExpectedPrice] = std::move(r.expectedPrice);
            cells[ColVenderId] = std::move(r.venderId);
            cells[ColCat] = std::move(r.cat);
        }
        list.AppendRows(std::move(rows));
        rows.clear();
    }
}

bool SaveRecordFileFrom(const MonitorList& list, const std::filesystem::path& path) {
    // Formatted straight from the rows under one lock: the lines are
    // consistent and no copy of the rows is made.
    Bytes bytes;
    list.VisitRows([&bytes](const RowCells& c) {
        AppendRecordLine(bytes, c[ColSku], c[ColName], c[ColRegion], c[ColExpectedPrice],
                         c[ColVenderId], c[ColCat]);
    });
    return SaveRecordBytes(path, bytes);
}

}  // namespace velmora
