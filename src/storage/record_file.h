// The record file: one line per monitored product, six fields joined by fixed
// separators, every line ended by "\r\n", code page 936, no header.
#pragma once

#include <filesystem>
#include <vector>

#include "core/text.h"

namespace velmora {

// UTF-8 file name in the program directory.
inline constexpr char kRecordFileName[] = "京东监控记录.txt";

struct RecordRow {
    Text sku;
    Text name;
    Text region;
    Text expectedPrice;
    Text venderId;
    Text cat;

    bool operator==(const RecordRow&) const = default;
};

// One line of a loaded file. A line that lacks "-----" or "|" is not a record:
// `isRecord` is false and `row` is empty.
struct LoadedRecord {
    bool isRecord = false;
    RecordRow row;
};

Bytes FormatRecordFile(const std::vector<RecordRow>& rows);
// Appends one line, "\r\n" included.
void AppendRecordLine(Bytes& out, const Text& sku, const Text& name, const Text& region,
                      const Text& expectedPrice, const Text& venderId, const Text& cat);
std::vector<LoadedRecord> ParseRecordFile(const Bytes& bytes);

// The lines of a record file, each parsed when asked for, so a large file is
// turned into rows without a second full copy of its records.
class RecordLines {
public:
    explicit RecordLines(const Bytes& bytes);
    size_t size() const { return lines_.size(); }
    LoadedRecord Parse(size_t index) const;  // index < size()

private:
    TextList lines_;
};

// Atomic: the previous file stays whole when the save fails.
bool SaveRecordFile(const std::filesystem::path& path, const std::vector<RecordRow>& rows);
// The same for lines already formatted.
bool SaveRecordBytes(const std::filesystem::path& path, const Bytes& bytes);
// Empty when the file is missing or unreadable.
std::vector<LoadedRecord> LoadRecordFile(const std::filesystem::path& path);
RecordLines ReadRecordLines(const std::filesystem::path& path);

}  // namespace velmora
