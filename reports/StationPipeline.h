// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "CalendarDate.h"
#include "ChartFeed.h"
#include "LineAssembler.h"
#include "MinuteCycle.h"
#include "RecordProcessor.h"
#include "StationState.h"
#include "StationView.h"
#include "TestFileReplay.h"

// The whole processing path from received characters or file lines to the
// labels, the chart and the files. The window and the headless logger both
// run exactly this.
class StationPipeline {
  public:
    using Clock = MinuteCycle::Clock;

    StationPipeline(StationView& view, ChartFeed& chart, Clock today = &CalendarDate::Today);
    StationPipeline(const StationPipeline&) = delete;
    StationPipeline& operator=(const StationPipeline&) = delete;

    // Settings, read afresh for every line.
    bool saveData = false;
    PlotItemFlags plotItemEnabled{};

    // One character from serial port `port` (1..4); -1 for other ports.
    int OnSerialCharacter(int character, int port);
    // One complete line (without line end) with the current saveData.
    void ProcessLine(const char* line);
    // The hidden test command: InputData/InputTestData.txt, record limit applies.
    ReplayResult TestFileReplay();
    // Every line of any file, with no record limit (the headless logger's replay).
    ReplayResult ReplayFile(const std::filesystem::path& path);

    StationState& state() { return state_; }
    const StationState& state() const { return state_; }
    const MinuteCycle& cycle() const { return cycle_; }

  private:
    StationState state_;
    RecordProcessor processor_;
    MinuteCycle cycle_;
    LineAssembler assembler_;
};
