// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationPipeline.h"

#include <algorithm>

StationPipeline::StationPipeline(StationView& view, ChartFeed& chart, Clock today)
    : processor_(state_, view, options_.units),
      cycle_(state_, view, chart, options_, dataLog_, fileWriters_, liveOutputs_, std::move(today)),
      assembler_([this](const char* line) { ProcessLine(line); }) {}

int StationPipeline::OnSerialCharacter(int character, int port) {
    return assembler_.OnSerialCharacter(character, port);
}

void StationPipeline::RefreshReadings() {
    if (state_.recordCount > 0) processor_.ShowReadings();
}

void StationPipeline::ProcessLine(const char* line) {
    if (!processor_.ProcessLine(line)) return;
    const bool clockTook = cycle_.RunMinuteCycle(line);
    days_.OnRecord(state_, clockTook);
    // The derived readings go by station time: a record the clock kept out
    // leaves them as they were.
    if (clockTook) state_.derived = derived_.Update(state_, &days_.today());
    for (RecordListener* listener : listeners_) listener->OnRecord(state_);
}

// A replay runs its points back to back; the reports are up to date when it
// returns.
ReplayResult StationPipeline::TestFileReplay() {
    SetBurst(true);
    const ReplayResult result =
        ::TestFileReplay(state_, [this](const char* line) { ProcessLine(line); });
    SetBurst(false);
    return result;
}

ReplayResult StationPipeline::ReplayFile(const std::filesystem::path& path) {
    SetBurst(true);
    const ReplayResult result = ReplayLines(path, [this](const char* line) { ProcessLine(line); });
    SetBurst(false);
    return result;
}

void StationPipeline::AddFileWriter(std::unique_ptr<FivePointWriter> writer) {
    fileWriters_.push_back(writer.get());
    addedWriters_.push_back(std::move(writer));
}

void StationPipeline::AddLiveOutput(FivePointWriter& output) {
    output.SetBurst(burst_);
    liveOutputs_.push_back(&output);
}

void StationPipeline::RemoveRecordListener(RecordListener& listener) {
    std::erase(listeners_, &listener);
}

void StationPipeline::RemoveLiveOutput(FivePointWriter& output) {
    std::erase(liveOutputs_, &output);
}

void StationPipeline::SetBurst(bool burst) {
    burst_ = burst;
    for (FivePointWriter* writer : fileWriters_) writer->SetBurst(burst);
    // Live outputs learn of a replay too: the weather networks take no old weather.
    for (FivePointWriter* output : liveOutputs_) output->SetBurst(burst);
}
