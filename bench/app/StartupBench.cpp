// SPDX-License-Identifier: GPL-3.0-or-later
// Start to first painted window, measured from outside: the probe is started
// as a new process and ends right after its first paint. Also reports the
// probe's own figure (from its main) and its resident memory at that moment.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void BM_StartToFirstPaint(benchmark::State& state) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    double insideMs = 0;
    long rssKb = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        FILE* probe = popen(NIMBULO_STARTUP_PROBE " 2>/dev/null", "r");
        if (!probe) {
            state.SkipWithError("cannot start the probe");
            return;
        }
        char line[128] = {};
        const bool read = std::fgets(line, sizeof line, probe) != nullptr;
        const auto painted = std::chrono::steady_clock::now();
        pclose(probe);
        if (!read || std::sscanf(line, "first-paint-ms=%lf rss-kb=%ld", &insideMs, &rssKb) != 2) {
            state.SkipWithError("the probe reported nothing");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
    }
    state.counters["inside_ms"] = insideMs;
    state.counters["rss_MB"] = rssKb / 1024.0;
}

BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
