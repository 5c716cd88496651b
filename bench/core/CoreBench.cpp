// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HeadlessView.h"
#include "LineAssembler.h"
#include "RecordProcessor.h"

namespace {

// Records whose readings all change from one to the next, so nothing can be cached.
std::vector<std::string> MakeRecords(int count) {
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "!!%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X",
                      i % 400, i % 256, (700 + i) & 0xFFFF, i % 1000, 10000 + i % 300, 680 + i % 50,
                      300 + i % 700, 400 + i % 500, 100, 600, i % 200, i % 300);
        records.emplace_back(line);
    }
    return records;
}

void BM_ProcessLine(benchmark::State& s) {
    const auto records = MakeRecords(4096);
    StationState state;
    HeadlessView view;
    RecordProcessor processor(state, view);
    std::size_t i = 0;
    for (auto _ : s) {
        processor.ProcessLine(records[i++ & 4095].c_str());
    }
    s.SetItemsProcessed(s.iterations());
}
BENCHMARK(BM_ProcessLine);

void BM_OnSerialCharacter(benchmark::State& s) {
    const std::string stream = "!!005100BE02EB0064277002A8023A023A0025005800000000\r\n";
    long lines = 0;
    LineAssembler assembler([&lines](const char*) { ++lines; });
    std::size_t i = 0;
    for (auto _ : s) {
        assembler.OnSerialCharacter(static_cast<unsigned char>(stream[i]), 1);
        if (++i == stream.size()) i = 0;
    }
    benchmark::DoNotOptimize(lines);
    s.SetItemsProcessed(s.iterations());
}
BENCHMARK(BM_OnSerialCharacter);

}  // namespace
