// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "AprsReport.h"
#include "CalendarDate.h"
#include "ChartFeed.h"
#include "DataLog.h"
#include "DayTracker.h"
#include "DerivedTracker.h"
#include "FileFaultReporter.h"
#include "FileFaults.h"
#include "LineAssembler.h"
#include "MinuteCycle.h"
#include "MixwReport.h"
#include "ProcessingOptions.h"
#include "RecordListener.h"
#include "RecordProcessor.h"
#include "StationState.h"
#include "StationView.h"
#include "TestFileReplay.h"

// The whole processing path from received characters or file lines to the
// labels, the chart and the files: every line goes to the record processor,
// every record it accepts to the minute cycle. The window and the headless
// logger both run exactly this.
class StationPipeline {
  public:
    using Clock = MinuteCycle::Clock;

    StationPipeline(StationView& view, ChartFeed& chart, Clock today = &CalendarDate::Today);
    StationPipeline(const StationPipeline&) = delete;
    StationPipeline& operator=(const StationPipeline&) = delete;

    // Read afresh for every record.
    ProcessingOptions& options() { return options_; }
    const ProcessingOptions& options() const { return options_; }

    // Shows the readings again after a change of units; nothing before the first record.
    void RefreshReadings();
    // One character from serial port `port` (1..4); -1 for other ports.
    int OnSerialCharacter(int character, int port);
    // The serial line was cut: a line still being collected is dropped.
    void DropPartialLine() { assembler_.DropPartialLine(); }
    // One complete line (without line end).
    void ProcessLine(const char* line);
    // The hidden test command: InputData/InputTestData.txt, record limit applies.
    ReplayResult TestFileReplay();
    // Every line of any file, with no record limit (the headless logger's replay).
    ReplayResult ReplayFile(const std::filesystem::path& path);
    // Outputs beside the files (network, live data): told of every record
    // taken, and given every five-minute point's value whether saving or not.
    void AddRecordListener(RecordListener& listener) { listeners_.push_back(&listener); }
    // Told at once when a replay is under way, so that it takes no old weather.
    void AddLiveOutput(FivePointWriter& output);
    // Before a listener or live output goes: the pipeline forgets it. Never
    // from inside one of its calls.
    void RemoveRecordListener(RecordListener& listener);
    void RemoveLiveOutput(FivePointWriter& output);
    // One more file of the five-minute point, after the data log, written
    // only with Save Data on; the pipeline keeps it until it goes.
    void AddFileWriter(std::unique_ptr<FivePointWriter> writer);
    // See MinuteCycle::SetStartYear.
    void SetStartYear(int year) { cycle_.SetStartYear(year); }
    // Told when a report or the data log cannot be written, once per file
    // and cause, and when it is written again; nullptr (the default) for
    // nobody. The reporter must outlive the pipeline or be reset first.
    void SetFileFaultReporter(FileFaultReporter* reporter) { faults_.SetReporter(reporter); }
    // Failed attempts to write a file, counted since construction.
    const FileFaults& fileFaults() const { return faults_; }
    // Where the file writers added with AddFileWriter report.
    FileFaults& fileFaults() { return faults_; }
    // The station days' highs and lows from every record the clock took,
    // today's so far included.
    DayTracker& days() { return days_; }
    const DayTracker& days() const { return days_; }

    StationState& state() { return state_; }
    const StationState& state() const { return state_; }
    const MinuteCycle& cycle() const { return cycle_; }
    const DataLog& dataLog() const { return dataLog_; }
    // Fills state().derived; the archive seeds it with earlier days at start-up.
    DerivedTracker& derived() { return derived_; }

  private:
    void SetBurst(bool burst);

    bool burst_ = false;
    StationState state_;
    ProcessingOptions options_;
    FileFaults faults_;
    AprsReport aprsReport_{faults_};
    MixwReport mixwReport_{faults_};
    DataLog dataLog_{faults_};
    // The files of the five-minute point, written in this order.
    MinuteCycle::Writers fileWriters_{&aprsReport_, &mixwReport_, &dataLog_};
    MinuteCycle::Writers liveOutputs_;
    DayTracker days_;
    // After days_, which they may read until they go.
    std::vector<std::unique_ptr<FivePointWriter>> addedWriters_;
    std::vector<RecordListener*> listeners_;
    DerivedTracker derived_;
    RecordProcessor processor_;
    MinuteCycle cycle_;
    LineAssembler assembler_;
};
