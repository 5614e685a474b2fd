#include "storage/record_file.h"

#include "core/atomic_file.h"
#include "storage/file_io.h"

namespace velmora {

namespace {

const Text kAfterSku = "-----";
const Text kAfterName = "||||";
const Text kAfterRegion = "@@@@";
const Text kAfterPrice = "####";
const Text kAfterVender = "&&&&";
const Text kLineEnd = "\r\n";

// A line break inside a cell would split its record in two on the next load,
// so line-break bytes are written as spaces.
void AppendField(Bytes& out, const Text& field) {
    size_t from = out.size();
    out += field;
    for (size_t i = from; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    }
}

}  // namespace

void AppendRecordLine(Bytes& out, const Text& sku, const Text& name, const Text& region,
                      const Text& expectedPrice, const Text& venderId, const Text& cat) {
    AppendField(out, sku);
    out += kAfterSku;
    AppendField(out, name);
    out += kAfterName;
    AppendField(out, region);
    out += kAfterRegion;
    AppendField(out, expectedPrice);
    out += kAfterPrice;
    AppendField(out, venderId);
    out += kAfterVender;
    AppendField(out, cat);
    out += kLineEnd;
}

Bytes FormatRecordFile(const std::vector<RecordRow>& rows) {
    Bytes out;
    size_t size = 0;
    for (const RecordRow& r : rows) {
        size += r.sku.size() + r.name.size() + r.region.size() + r.expectedPrice.size() +
                r.venderId.size() + r.cat.size() + 23;
    }
    out.reserve(size);
    for (const RecordRow& r : rows) {
        AppendRecordLine(out, r.sku, r.name, r.region, r.expectedPrice, r.venderId, r.cat);
    }
    return out;
}

// The text ends before the first zero byte; without one the bytes are the text
// and need no copy.
RecordLines::RecordLines(const Bytes& bytes)
    : lines_(bytes.find('\0') == Bytes::npos ? SplitText(bytes, kLineEnd)
                                             : SplitText(BytesToText(bytes), kLineEnd)) {}

LoadedRecord RecordLines::Parse(size_t index) const {
    const Text& line = lines_[index];
    LoadedRecord rec;
    if (FindText(line, kAfterSku) == -1 || FindText(line, "|") == -1) return rec;
    rec.isRecord = true;
    rec.row.sku = TextBefore(line, kAfterSku);
    rec.row.name = TextBetween(line, kAfterSku, kAfterName);
    rec.row.region = TextBetween(line, kAfterName, kAfterRegion);
    rec.row.expectedPrice = TextBetween(line, kAfterRegion, kAfterPrice);
    rec.row.venderId = TextBetween(line, kAfterPrice, kAfterVender);
    rec.row.cat = TextAfterLast(line, kAfterVender);
    return rec;
}

std::vector<LoadedRecord> ParseRecordFile(const Bytes& bytes) {
    RecordLines lines(bytes);
    std::vector<LoadedRecord> loaded;
    loaded.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) loaded.push_back(lines.Parse(i));
    return loaded;
}

bool SaveRecordFile(const std::filesystem::path& path, const std::vector<RecordRow>& rows) {
    return SaveRecordBytes(path, FormatRecordFile(rows));
}

bool SaveRecordBytes(const std::filesystem::path& path, const Bytes& bytes) {
    return WriteFileAtomically(path, bytes, 0666);
}

std::vector<LoadedRecord> LoadRecordFile(const std::filesystem::path& path) {
    std::optional<Bytes> bytes = ReadFileBytes(path);
    if (!bytes) return {};
    return ParseRecordFile(*bytes);
}

RecordLines ReadRecordLines(const std::filesystem::path& path) {
    return RecordLines(ReadFileBytes(path).value_or(Bytes()));
}

}  // namespace velmora
