// Saves the record file and the settings file in a loop, alternating between
// two versions of each, through the program's own list and file code:
//   record_writer <folder> [saves]
// Without a count it runs until killed; the reliability test kills it at
// random moments and checks that each file is always one whole version.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "monitor/record_sync.h"
#include "tools/record-writer/writer_data.h"

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc < 2) {
        std::fprintf(stderr, "usage: record_writer <folder> [saves]\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const long saves = argc > 2 ? std::atol(argv[2]) : -1;
    MonitorList lists[2];
    writer::FillList(lists[0], writer::Version::A);
    writer::FillList(lists[1], writer::Version::B);
    const Settings settings[2] = {writer::SettingsFor(writer::Version::A),
                                  writer::SettingsFor(writer::Version::B)};
    // Tells a waiting test that the save loop begins now.
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    // Starts with B: the test seeds the folder with A, so the first save changes both files.
    for (long i = 0; saves < 0 || i < saves; ++i) {
        const int which = static_cast<int>((i + 1) % 2);
        if (!SaveRecordFileFrom(lists[which], dir / kRecordFileName)) return 1;
        if (!SaveSettingsFile(dir / kSettingsFileName, settings[which])) return 1;
    }
    return 0;
}
