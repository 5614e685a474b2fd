// The record file and god.xin survive a writer killed at any moment: a
// helper saves two versions of each in turn through the program's own code
// and is killed with SIGKILL after a random delay, again and again. After
// every kill each file must load as one whole version, never a mix or a
// truncated file, and temporary files of killed saves must not pile up: the
// next save removes them.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "storage/record_file.h"
#include "storage/settings_file.h"
#include "tools/record-writer/writer_data.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using writer::Version;

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmora-crash-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct Writer {
    pid_t pid = -1;
    int ready = -1;  // read end of the writer's standard output
};

Writer StartWriter(const fs::path& dir, const char* saves = nullptr) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        const char* args[] = {RECORD_WRITER_PATH, dir.c_str(), saves, nullptr};
        ::execv(RECORD_WRITER_PATH, const_cast<char* const*>(args));
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// Waits until the writer has built its lists and begins saving, so the
// random delay that follows falls inside the save loop however slowly the
// process starts (a sanitizer build starts far slower).
bool AwaitSaving(const Writer& w) {
    pollfd p{w.ready, POLLIN, 0};
    char byte = 0;
    return ::poll(&p, 1, 30000) == 1 && ::read(w.ready, &byte, 1) == 1;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::vector<RecordRow> RowsOf(const std::vector<LoadedRecord>& loaded) {
    std::vector<RecordRow> rows;
    for (const LoadedRecord& r : loaded) {
        if (!r.isRecord) return {};  // a cut line would not be a record
        rows.push_back(r.row);
    }
    return rows;
}

// Temporary files beside one target file; with a pid, only that writer's.
int LeftoversOf(const fs::path& dir, const std::string& name, pid_t writer = 0) {
    const std::string prefix = name + ".tmp-" + (writer ? std::to_string(writer) + "-" : "");
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with(prefix)) ++n;
    }
    return n;
}

// A process id that certainly belongs to no running process now.
pid_t EndedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    WaitFor(pid);
    return pid;
}

TEST(ReliabilityCrashSafeFiles, KilledWriterLeavesWholeFilesAndNoPileOfTemporaries) {
    ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const fs::path recordPath = folder.path() / kRecordFileName;
    const fs::path settingsPath = folder.path() / kSettingsFileName;
    const std::vector<RecordRow> rowsA = writer::RecordRows(Version::A);
    const std::vector<RecordRow> rowsB = writer::RecordRows(Version::B);
    const Settings settingsA = writer::SettingsFor(Version::A);
    const Settings settingsB = writer::SettingsFor(Version::B);
    ASSERT_TRUE(SaveRecordFile(recordPath, rowsA));
    ASSERT_TRUE(SaveSettingsFile(settingsPath, settingsA));

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    constexpr int kKills = 200;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);

    int kills = 0, recordA = 0, recordB = 0, settingsSeenA = 0, settingsSeenB = 0;
    int killsMidSave = 0;
    while (kills < kKills && std::chrono::steady_clock::now() < deadline) {
        const Writer w = StartWriter(folder.path());
        ASSERT_GT(w.pid, 0);
        const pid_t pid = w.pid;
        const bool saving = AwaitSaving(w);
        if (saving) std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        const int status = WaitFor(pid);
        ::close(w.ready);
        ASSERT_TRUE(saving) << "writer never began saving";
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself, status " << status;
        ++kills;

        const std::vector<RecordRow> rows = RowsOf(LoadRecordFile(recordPath));
        const bool isA = rows == rowsA;
        const bool isB = rows == rowsB;
        ASSERT_TRUE(isA || isB) << "kill " << kills << " (seed " << seed << "): record file holds "
                                << rows.size() << " whole rows, neither version";
        (isA ? recordA : recordB)++;

        const std::optional<Settings> settings = LoadSettingsFile(settingsPath);
        ASSERT_TRUE(settings.has_value());
        ASSERT_TRUE(*settings == settingsA || *settings == settingsB)
            << "kill " << kills << " (seed " << seed << "): god.xin holds neither version";
        (*settings == settingsA ? settingsSeenA : settingsSeenB)++;
        struct stat info {};
        ASSERT_EQ(::stat(settingsPath.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);

        // A save first removes what killed saves of the same file left, so
        // at most the last killed save of each file has a temporary file.
        const int recordLeft = LeftoversOf(folder.path(), kRecordFileName);
        const int settingsLeft = LeftoversOf(folder.path(), kSettingsFileName);
        ASSERT_LE(recordLeft, 1) << "kill " << kills << " (seed " << seed << ")";
        ASSERT_LE(settingsLeft, 1) << "kill " << kills << " (seed " << seed << ")";
        // A temporary file of the killed writer itself: the kill met a save.
        if (LeftoversOf(folder.path(), kRecordFileName, pid) +
                LeftoversOf(folder.path(), kSettingsFileName, pid) >
            0)
            ++killsMidSave;
    }

    // One save to the end removes what the last killed save left.
    const Writer last = StartWriter(folder.path(), "1");
    ASSERT_GT(last.pid, 0);
    ASSERT_EQ(WaitFor(last.pid), 0);
    ::close(last.ready);
    EXPECT_EQ(LeftoversOf(folder.path(), kRecordFileName), 0);
    EXPECT_EQ(LeftoversOf(folder.path(), kSettingsFileName), 0);
    EXPECT_EQ(RowsOf(LoadRecordFile(recordPath)), rowsB);
    EXPECT_EQ(LoadSettingsFile(settingsPath), settingsB);

    std::printf(
        "kills %d (seed %u): record file A %d, B %d; god.xin A %d, B %d; "
        "kills in the middle of a save %d\n",
        kills, seed, recordA, recordB, settingsSeenA, settingsSeenB, killsMidSave);
    RecordProperty("kills", kills);
    RecordProperty("killsMidSave", killsMidSave);
    // The kills must have met the writer both between and in the middle of saves.
    // 200 kills take about 5 s in a plain build; a sanitizer build starts each
    // writer far slower and gets fewer within the time bound.
    EXPECT_GE(kills, 20);
    EXPECT_GT(recordB, 0);
    EXPECT_GT(killsMidSave, 0);
}

TEST(ReliabilityCrashSafeFiles, SaveRemovesTemporariesOfEndedWritersOnly) {
    ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const fs::path target = folder.path() / kRecordFileName;
    const std::string name = kRecordFileName;
    auto temp = [&](const std::string& suffix) {
        return folder.path() / (name + ".tmp-" + suffix);
    };
    const pid_t ended = EndedProcess();
    // A writer that still runs (this test's parent) and files that only look alike.
    const fs::path stale = temp(std::to_string(ended) + "-0");
    const fs::path live = temp(std::to_string(::getppid()) + "-3");
    const fs::path otherFile =
        folder.path() / (std::string(kSettingsFileName) + ".tmp-" + std::to_string(ended) + "-0");
    const fs::path notOurs = temp("x1-0");
    for (const fs::path& p : {stale, live, otherFile, notOurs}) {
        ASSERT_TRUE(SaveRecordBytes(p, "left over\r\n"));  // creates the file itself
    }
    ASSERT_TRUE(SaveRecordFile(target, writer::RecordRows(Version::A)));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_TRUE(fs::exists(notOurs));
    EXPECT_EQ(RowsOf(LoadRecordFile(target)), writer::RecordRows(Version::A));
}

}  // namespace
}  // namespace velmora
