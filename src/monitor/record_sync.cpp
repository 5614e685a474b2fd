#include "monitor/record_sync.h"

#include <utility>
#include <vector>

#include "storage/record_file.h"

namespace velmora {

namespace {

const Text kQrLabel = "\xb6\xfe\xce\xac\xc2\xeb";                // 二维码
const Text kImportedStatus = "\xb5\xbc\xc8\xeb\xbc\xc7\xc2\xbc";  // 导入记录

}  // namespace

void LoadRecordFileInto(MonitorList& list, const std::filesystem::path& path) {
    RecordLines lines = ReadRecordLines(path);
    std::vector<RowCells> rows(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        RowCells& cells = rows[i];
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
}

bool SaveRecordFileFrom(const MonitorList& list, const std::filesystem::path& path) {
    std::vector<RowCells> cells = list.Snapshot();
    std::vector<RecordRow> rows;
    rows.reserve(cells.size());
    for (RowCells& c : cells) {
        rows.push_back(RecordRow{std::move(c[ColSku]), std::move(c[ColName]),
                                 std::move(c[ColRegion]), std::move(c[ColExpectedPrice]),
                                 std::move(c[ColVenderId]), std::move(c[ColCat])});
    }
    return SaveRecordFile(path, rows);
}

}  // namespace velmora
