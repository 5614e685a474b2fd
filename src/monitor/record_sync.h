// Moves the monitor list to and from the record file.
#pragma once

#include <filesystem>

#include "monitor/monitor_list.h"

namespace velmora {

// Appends one row per line of the file: numbered "1".."n" in ColIndex; a line
// that holds a record also gets its six cells, "二维码" in both QR columns and
// "导入记录" as its status. A missing file appends nothing.
void LoadRecordFileInto(MonitorList& list, const std::filesystem::path& path);
// Rewrites the file from every row, atomically; false when the save failed
// (the previous file is then left as it was).
bool SaveRecordFileFrom(const MonitorList& list, const std::filesystem::path& path);

}  // namespace velmora
