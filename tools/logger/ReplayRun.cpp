// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReplayRun.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "ArchiveWriter.h"
#include "FileFaultTee.h"
#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "LoggerAlarms.h"
#include "NoaaFileWriter.h"
#include "StationPipeline.h"
#include "StreamFaultReporter.h"
#include "UploadFaultWatch.h"

namespace {
// How long a replay waits at its end for the broker to take its summaries.
constexpr std::chrono::seconds kSummaryWait{30};
}  // namespace

void SetUpLoggerPipeline(StationPipeline& pipeline, const LoggerOptions& options) {
    pipeline.options().saveData = 1;
    if (options.rainGaugeMillimetre)
        pipeline.options().units.rainGauge = UnitSettings::kGaugeTenthMillimetre;
    if (options.year) pipeline.SetStartYear(*options.year);
    auto archive = std::make_unique<ArchiveWriter>(pipeline.fileFaults(), pipeline.days());
    ArchiveWriter& archiveWriter = *archive;
    pipeline.AddFileWriter(std::move(archive));
    // After the archive's writer, whose archive then holds the day that ended.
    auto noaa = std::make_unique<NoaaFileWriter>(
        pipeline.fileFaults(), [settings = NoaaFileWriter::Settings{
                                    options.station, options.metric}] { return settings; });
    noaa->WaitForArchiveWith([&archiveWriter] { archiveWriter.WaitForWrites(); });
    pipeline.AddFileWriter(std::move(noaa));
}

LiveOutputs LoggerLiveOutputs(const LoggerOptions& options, std::ostream& err, AlarmSet* alarms) {
    return LiveOutputs(
        options.mqtt, options.wxnow,
        [&err](const std::string& message) {
            err << ("nimbulo-logger: " + message + "\n") << std::flush;
        },
        kWxnowJsonFile, options.uploads,
        [alarms](const OutputFault& fault) {
            if (alarms) WatchOutputFault(fault, *alarms);
        });
}

int RunReplay(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart);
    SetUpLoggerPipeline(pipeline, options);
    StreamFaultReporter faultReporter(err, "nimbulo-logger");
    pipeline.SetFileFaultReporter(&faultReporter);
    // Added before the outputs, so each alarm line comes with its record.
    std::unique_ptr<LoggerAlarms> alarms;
    std::optional<FileFaultTee> alarmFaults;
    if (options.alarmsOn) {
        alarms = std::make_unique<LoggerAlarms>(options, pipeline, out);
        alarmFaults.emplace(&faultReporter, alarms->set());
        pipeline.SetFileFaultReporter(&*alarmFaults);
        pipeline.AddRecordListener(alarms->set());
    }
    LiveOutputs liveOutputs = LoggerLiveOutputs(options, err);
    if (!liveOutputs.Start()) return kExitUsage;
    liveOutputs.Attach(pipeline);

    // The input is opened once, by the replay itself: nothing is written
    // before it is open, and a FIFO is not opened twice.
    const ReplayResult result = pipeline.ReplayFile(options.replayFile);
    if (!result.opened) {
        err << "nimbulo-logger: cannot read '" << options.replayFile
            << "': " << std::strerror(result.openError) << "\n";
        return kExitUsage;
    }
    // A replay may be filling an archive that the broker feeds.
    if (const std::size_t left = liveOutputs.WaitForSummaries(kSummaryWait); left > 0) {
        err << "nimbulo-logger: MQTT: gave up waiting for the broker after " << kSummaryWait.count()
            << " s: " << left << " five-minute summaries not delivered\n";
    }
    liveOutputs.Stop();
    const long accepted = pipeline.state().recordCount;
    const long failedWrites = pipeline.fileFaults().failedWrites();
    out << "lines read: " << result.linesRead << "\n"
        << "records accepted: " << accepted << "\n"
        << "lines rejected: " << result.linesRead - accepted << "\n"
        << "five-minute points: " << pipeline.cycle().fiveMinutePoints() << "\n"
        << "log files opened: " << pipeline.dataLog().filesOpened() << "\n"
        << "failed writes: " << failedWrites << "\n";
    return failedWrites == 0 ? kExitOk : kExitWriteFailed;
}
