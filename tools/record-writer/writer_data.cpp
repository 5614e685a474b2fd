#include "tools/record-writer/writer_data.h"

#include <string>

namespace velmora::writer {

std::vector<RecordRow> RecordRows(Version v) {
    const bool a = v == Version::A;
    const int count = a ? 300 : 700;
    const std::string tag = a ? "A" : "B";
    std::vector<RecordRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        // 商品 (product) and a region with the place names in code page 936.
        rows.push_back({tag + "1000" + n, "\xc9\xcc\xc6\xb7 " + tag + n,
                        "\xb1\xb1\xbe\xa9-1#\xba\xa3\xb5\xed\xc7\xf8-2800+" + n, n + ".50",
                        "1000" + tag, "9987," + n + ",655"});
    }
    return rows;
}

void FillList(MonitorList& list, Version v) {
    std::vector<RowCells> cells;
    int index = 1;
    for (const RecordRow& r : RecordRows(v)) {
        RowCells c;
        c[ColIndex] = std::to_string(index++);
        c[ColSku] = r.sku;
        c[ColName] = r.name;
        c[ColRegion] = r.region;
        c[ColExpectedPrice] = r.expectedPrice;
        c[ColVenderId] = r.venderId;
        c[ColCat] = r.cat;
        cells.push_back(std::move(c));
    }
    list.AppendRows(std::move(cells));
}

Settings SettingsFor(Version v) {
    if (v == Version::A) {
        return {
            "100012",   "\xb1\xb1\xbe\xa9-1", "\xba\xa3\xb5\xed\xc7\xf8-2800", "", "a@example.com",
            "secret-a", "to-a@example.com"};
    }
    return {"200034",          "\xc9\xcf\xba\xa3-2", "", "\xc6\xd6\xb6\xab-2820", "b@example.com",
            "secret-b-longer", "to-b@example.com"};
}

}  // namespace velmora::writer
