// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-sim: a stand-in for the weather station on a serial line.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>

#include "ByteGarbler.h"
#include "SimLine.h"
#include "SimOptions.h"
#include "StationClock.h"
#include "WeatherModel.h"

namespace {

volatile bool stopRequested = false;

void OnSignal(int) {
    stopRequested = true;
}

// One record after another: generated weather, or the lines of a recording.
class RecordSource {
  public:
    explicit RecordSource(const SimOptions& o)
        : clock_(o.year, o.dayOfYear, o.secondOfDay),
          weather_(o.seed),
          step_(o.interval * o.speed) {
        if (!o.replayFile.empty()) replay_.emplace(o.replayFile, std::ios::binary);
    }
    bool replayFailed() const { return replay_ && !*replay_; }

    // False at the end of a recording.
    bool Next(std::string& record) {
        if (!replay_) {
            RecordFields fields = weather_.Next(clock_, first_ ? 0.0 : step_);
            record = FormatRecord(fields);
            clock_.Advance(step_);
            first_ = false;
            return true;
        }
        std::string line;
        while (std::getline(*replay_, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            record = line + "\r\n";
            return true;
        }
        return false;
    }

  private:
    StationClock clock_;
    WeatherModel weather_;
    double step_;
    bool first_ = true;
    std::optional<std::ifstream> replay_;
};

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "nimbulo-sim: %s\n\n%s", error.c_str(), SimUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("nimbulo-sim %s\n", NIMBULO_VERSION);
        return 0;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    RecordSource source(options);
    if (source.replayFailed()) {
        std::fprintf(stderr, "nimbulo-sim: cannot read %s\n", options.replayFile.c_str());
        return 1;
    }
    SimLine line;
    bool opened = options.device.empty() ? line.CreatePty(error)
                                         : line.OpenDevice(options.device, options.baud, error);
    if (!opened) {
        std::fprintf(stderr, "nimbulo-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", line.path().c_str());
    std::fflush(stdout);
    if (line.isPty()) {
        if (!line.WaitForReader(stopRequested)) return 0;
        SimLine::SleepUntil(SimLine::Now() + options.settle, stopRequested);
    }

    ByteGarbler garbler(options.garbleRate, options.seed ^ 0x9E3779B9u);
    const bool paced = !options.burst;
    const double byteSeconds = paced && options.baud > 0 ? 10.0 / options.baud : 0.0;
    long sent = 0;
    double start = SimLine::Now();
    std::string record;
    while (!stopRequested && (options.count < 0 || sent < options.count) && source.Next(record)) {
        garbler.Apply(record);
        if (!line.Send(record, start, byteSeconds, stopRequested)) break;
        ++sent;
        double recordEnd = start + static_cast<double>(record.size()) * byteSeconds;
        start = paced ? std::max(start + options.interval, recordEnd) : SimLine::Now();
        if (paced) SimLine::SleepUntil(start, stopRequested);
    }
    // Said before lingering, so that whoever waits for it knows every byte is on its way.
    std::fprintf(stderr, "nimbulo-sim: %ld records sent\n", sent);
    std::fflush(stderr);
    line.Finish(options.linger, stopRequested);
    bool complete = options.count < 0 || sent == options.count || stopRequested;
    return complete ? 0 : 1;
}
