// Loading and saving a 100,000-line record file into and from the monitor list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "monitor/monitor_list.h"
#include "monitor/record_sync.h"
#include "storage/record_file.h"

namespace velmora {
namespace {

constexpr int kLines = 100000;

std::filesystem::path BenchDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return dir;
}

// Lines shaped like real records: a name of some 60 bytes of double-byte text.
std::vector<RecordRow> Rows() {
    std::vector<RecordRow> rows;
    rows.reserve(kLines);
    const Text name = "\xd0\xa1\xc3\xd7\xca\xd6\xbb\xb7 ";  // 小米手环
    for (int i = 0; i < kLines; ++i) {
        Text n;
        for (int k = 0; k < 6; ++k) n += name;
        rows.push_back(RecordRow{
            std::to_string(1743535 + i), n + std::to_string(i),
            "\xb1\xb1\xbe\xa9-1#\xb3\xaf\xd1\xf4\xc7\xf8-72+\xc8\xfd\xbb\xb7\xd2\xd4\xc4\xda-2799",
            "5", "1000004123", "652,12345,6789"});
    }
    return rows;
}

std::filesystem::path PreparedFile() {
    static const std::filesystem::path path = [] {
        std::filesystem::path p = BenchDir() / "load.txt";
        SaveRecordFile(p, Rows());
        return p;
    }();
    return path;
}

void BM_LoadRecordFileInto(benchmark::State& state) {
    std::filesystem::path path = PreparedFile();
    for (auto _ : state) {
        auto list = std::make_unique<MonitorList>();
        LoadRecordFileInto(*list, path);
        if (list->ListRowCount() != kLines) state.SkipWithError("wrong row count");
        state.PauseTiming();  // freeing the list is not part of loading it
        list.reset();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_LoadRecordFileInto)->Unit(benchmark::kMillisecond);

void BM_SaveRecordFileFrom(benchmark::State& state) {
    MonitorList list;
    LoadRecordFileInto(list, PreparedFile());
    std::filesystem::path path = BenchDir() / kRecordFileName;
    for (auto _ : state) {
        if (!SaveRecordFileFrom(list, path)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveRecordFileFrom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(velmora::BenchDir(), ec);
    return 0;
}
