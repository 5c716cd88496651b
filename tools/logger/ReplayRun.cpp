// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReplayRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "StationPipeline.h"

namespace {
// Why path cannot be replayed, or empty when it can be read.
std::string UnreadableReason(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return std::strerror(ENOENT);
    if (std::filesystem::is_directory(status)) return std::strerror(EISDIR);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::strerror(errno);
    std::fclose(file);
    return {};
}
}  // namespace

void SetUpLoggerPipeline(StationPipeline& pipeline, const LoggerOptions& options) {
    pipeline.options().saveData = 1;
    if (options.rainGaugeMillimetre)
        pipeline.options().units.rainGauge = UnitSettings::kGaugeTenthMillimetre;
    if (options.year) pipeline.SetStartYear(*options.year);
}

int RunReplay(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path path = options.replayFile;
    if (const std::string reason = UnreadableReason(path); !reason.empty()) {
        err << "nimbulo-logger: cannot read '" << options.replayFile << "': " << reason << "\n";
        return kExitUsage;
    }

    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart);
    SetUpLoggerPipeline(pipeline, options);

    const ReplayResult result = pipeline.ReplayFile(path);
    if (!result.opened) {
        err << "nimbulo-logger: cannot read '" << options.replayFile << "'\n";
        return kExitUsage;
    }
    const long accepted = pipeline.state().recordCount;
    out << "lines read: " << result.linesRead << "\n"
        << "records accepted: " << accepted << "\n"
        << "lines rejected: " << result.linesRead - accepted << "\n"
        << "five-minute points: " << pipeline.cycle().fiveMinutePoints() << "\n"
        << "log files opened: " << pipeline.dataLog().filesOpened() << "\n";
    return kExitOk;
}
