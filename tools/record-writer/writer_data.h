// The two record lists and two settings values that record_writer saves in
// turn, shared with the test that kills it, so the test knows every state a
// whole file may hold.
#pragma once

#include <vector>

#include "monitor/monitor_list.h"
#include "storage/record_file.h"
#include "storage/settings_file.h"

namespace velmora::writer {

enum class Version { A, B };

// A: 300 rows, B: 700 rows; no row of one appears in the other.
std::vector<RecordRow> RecordRows(Version v);
// A monitor list holding those rows, as the window's list would.
void FillList(MonitorList& list, Version v);
Settings SettingsFor(Version v);

}  // namespace velmora::writer
