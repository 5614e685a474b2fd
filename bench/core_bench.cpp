// Throughput of the marker search over a 1 MiB code page 936 answer.
#include <benchmark/benchmark.h>

#include "core/codepage.h"
#include "core/text.h"

namespace velmora {
namespace {

constexpr std::size_t kSize = 1 << 20;

// A service-like answer: JSON objects with ASCII keys and Chinese values,
// about a third of the bytes double-byte, with the sought object at the end.
const Text& Answer() {
    static const Text answer = [] {
        const Text chunk = Cp936FromUtf8(
            "{\"id\":\"J_100012043978\",\"name\":\"华为 Mate 40 Pro 5G 手机\",\"p\":\"5999.00\","
            "\"m\":\"6299.00\",\"area\":\"北京-1#朝阳区-72+三环以内-2799\",\"tag\":\"自营|包邮\"},\n");
        const Text tail = Cp936FromUtf8("{\"StockStateName\":\"现货\",\"price\":\"12.50\"}");
        Text t;
        t.reserve(kSize);
        while (t.size() + chunk.size() + tail.size() + 64 < kSize) t += chunk;
        t += tail;
        t.append(kSize - t.size(), ' ');
        return t;
    }();
    return answer;
}

void Throughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Answer().size()));
}

void BM_FindText(benchmark::State& state, const Text& marker, bool ignoreCase) {
    const Text& text = Answer();
    int position = 0;
    for (auto _ : state) {
        position = FindText(text, marker, 1, ignoreCase);
        benchmark::DoNotOptimize(position);
    }
    if (position < static_cast<int>(kSize) - 1024) state.SkipWithError("marker not found near the end");
    Throughput(state);
}

// Worst case for the double-byte rule: every second byte of the text is a
// "|" that belongs to a double-byte character, and only the last "|" counts.
void BM_FindTextTrailDecoys(benchmark::State& state) {
    static const Text text = [] {
        Text t;
        for (std::size_t i = 0; i + 2 < kSize; i += 2) t += "\xB0|";
        return t + "|";
    }();
    int position = 0;
    for (auto _ : state) {
        position = FindText(text, "|");
        benchmark::DoNotOptimize(position);
    }
    if (position != static_cast<int>(text.size())) state.SkipWithError("wrong position");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_TextBetween(benchmark::State& state) {
    const Text& text = Answer();
    const Text left = Cp936FromUtf8("\"StockStateName#引号:#引号");
    Text value;
    for (auto _ : state) {
        value = TextBetween(text, left, "#\xD2\xFD\xBA\xC5");
        benchmark::DoNotOptimize(value);
    }
    if (value != Cp936FromUtf8("现货")) state.SkipWithError("wrong value");
    Throughput(state);
}

// Rates are per wall-clock second, so a busy machine lowers them, never raises them.
BENCHMARK_CAPTURE(BM_FindText, ascii_marker, Text("\"StockStateName\":\""), false)->UseRealTime();
BENCHMARK_CAPTURE(BM_FindText, chinese_marker, Cp936FromUtf8("现货"), false)->UseRealTime();
BENCHMARK_CAPTURE(BM_FindText, one_byte_marker, Text("S"), false)->UseRealTime();
BENCHMARK_CAPTURE(BM_FindText, ignoring_case, Text("\"stockstatename\":\""), true)->UseRealTime();
BENCHMARK(BM_FindTextTrailDecoys)->UseRealTime();
BENCHMARK(BM_TextBetween)->UseRealTime();

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
