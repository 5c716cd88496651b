// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveLogging.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>

#include "Archive.h"
#include "ArchiveSeed.h"
#include "FileFaultTee.h"
#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "LoggerAlarms.h"
#include "LoggerLink.h"
#include "PageAlarms.h"
#include "PortConfig.h"
#include "ReplayRun.h"
#include "SerialPort.h"
#include "SettingsLocation.h"
#include "StationPipeline.h"
#include "StationWebPage.h"
#include "StreamFaultReporter.h"

namespace {

// Runs the processing right on the monitor thread: the main thread only waits
// for a signal and keeps the time, so the pipeline has one user at a time.
class DirectOwner : public SerialPortOwner {
  public:
    DirectOwner(StationPipeline& pipeline, LoggerLink& link) : pipeline_(pipeline), link_(link) {}

    int OnPortEvent(int, int port) override { return PortConfig::PortEventResult(port); }
    int OnSerialCharacter(int character, int port) override {
        return pipeline_.OnSerialCharacter(character, port);
    }
    void ReportError(const std::string& caption, const std::string& text) override {
        link_.Print("nimbulo-logger: " + caption + ": " + text);
    }
    // The processing state carries on across a lost device; only a line it
    // cut short goes.
    void OnLinkChange(PortLink change, int port, const std::string& device) override {
        if (change == PortLink::Lost) pipeline_.DropPartialLine();
        link_.OnLinkChange(change, port, device);
    }

  private:
    StationPipeline& pipeline_;
    LoggerLink& link_;
};

// File faults as the replay words them, from the monitor thread that meets
// them, each a whole line on err between the link's own.
class LinkFaultReporter : public FileFaultReporter {
  public:
    explicit LinkFaultReporter(LoggerLink& link) : link_(link) {}

    void Report(const std::string& file, const std::string& cause) override {
        std::ostringstream line;
        StreamFaultReporter(line, "nimbulo-logger").Report(file, cause);
        link_.Print(line.str());
    }
    void Recovered(const std::string& file) override {
        std::ostringstream line;
        StreamFaultReporter(line, "nimbulo-logger").Recovered(file);
        link_.Print(line.str());
    }

  private:
    LoggerLink& link_;
};

// Blocks SIGINT and SIGTERM for this thread and the threads it starts, and
// delivers them through a descriptor instead; restores the old mask at the end.
class SignalCatcher {
  public:
    SignalCatcher() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set, &oldMask_);
        fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~SignalCatcher() {
        if (fd_ >= 0) close(fd_);
        pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
    }
    int fd() const { return fd_; }

  private:
    sigset_t oldMask_;
    int fd_ = -1;
};

WebLink WebLinkOf(const LinkState& link) {
    switch (link.state()) {
        case LinkState::State::Waiting:
            return WebLink::Waiting;
        case LinkState::State::Receiving:
            return WebLink::Receiving;
        case LinkState::State::Silent:
            return WebLink::Silent;
        case LinkState::State::Idle:
            break;
    }
    return WebLink::Idle;
}

// "[::1]" for an IPv6 address in a URL.
std::string WebAddressText(const std::string& address) {
    return address.find(':') == std::string::npos ? address : "[" + address + "]";
}

enum class StopReason { Signal, DeviceFailed };

// Waits for a signal; meanwhile the link state gets the time it asks for,
// which is no time at all while nothing but an event can change it.
// The alarms, when there are any, are ticked every few seconds besides.
StopReason WaitForStop(int signalFd, LoggerLink& link, const LiveLinkSettings& settings) {
    AlarmSet* alarms = settings.alarms;
    const int tickMs = static_cast<int>(settings.alarmTick.count());
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {link.wakeFd(), POLLIN, 0}};
    for (;;) {
        int waitMs = link.WaitMs();
        if (alarms) {
            alarms->Tick();
            if (waitMs < 0 || waitMs > tickMs) waitMs = tickMs;
        }
        int n = poll(fds, 2, waitMs);
        if (n < 0 && errno != EINTR) return StopReason::DeviceFailed;
        if (n > 0 && fds[0].revents) {
            // Taken, so that it is not delivered again when the old mask returns.
            signalfd_siginfo info;
            ssize_t taken = read(signalFd, &info, sizeof info);
            (void)taken;
            return StopReason::Signal;
        }
        uint64_t wakeUps;
        if (n > 0 && read(link.wakeFd(), &wakeUps, sizeof wakeUps) < 0) continue;
        if (link.gaveUp()) return StopReason::DeviceFailed;
        link.Tick();
    }
}

// Lets the monitor thread take the bytes that arrived before the signal,
// for at most a second, so that a stop loses nothing already received.
void DrainReceivedBytes(SerialPort& port) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (port.PendingInputBytes() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Opens the device and has the monitor thread feed the pipeline until a
// signal, or until the device fails without retries; then the summary.
int ReadUntilStopped(StationPipeline& pipeline, const std::string& devicePath, int portNumber,
                     const LiveLinkSettings& settings, int stopSignalFd, LoggerLink& link,
                     std::ostream& out) {
    DirectOwner owner(pipeline, link);
    SerialPort port([&devicePath](int) { return devicePath; });
    port.SetRetrySchedule(settings.retry);
    if (!port.OpenPort(&owner, portNumber, PortConfig::InstrumentLine()) && !settings.retry.enabled)
        return kExitDeviceFailed;
    if (!port.StartMonitor()) {
        link.Print("nimbulo-logger: cannot start the monitor thread\n");
        return kExitDeviceFailed;
    }
    StopReason reason = WaitForStop(stopSignalFd, link, settings);
    if (reason == StopReason::Signal) DrainReceivedBytes(port);
    port.StopMonitor();

    const long failedWrites = pipeline.fileFaults().failedWrites();
    out << "records accepted: " << pipeline.state().recordCount << "\n"
        << "five-minute points: " << pipeline.cycle().fiveMinutePoints() << "\n"
        << "log files opened: " << pipeline.dataLog().filesOpened() << "\n"
        << "failed writes: " << failedWrites << "\n";
    if (reason != StopReason::Signal) return kExitDeviceFailed;
    return failedWrites == 0 ? kExitOk : kExitWriteFailed;
}

}  // namespace

int RunLiveLogging(StationPipeline& pipeline, const std::string& devicePath, int portNumber,
                   const LiveLinkSettings& settings, int stopSignalFd, std::ostream& out,
                   std::ostream& err) {
    // Told of records only during this run: the pipeline is not fed after it.
    LoggerLink link(err, settings.staleAfter, settings.retry.enabled);
    link.SetAvailabilityHandler(settings.onAvailability);
    link.SetChangeHandler(settings.onChange);
    pipeline.AddRecordListener(link);
    LinkFaultReporter faultReporter(link);
    std::optional<FileFaultTee> alarmFaults;
    if (settings.alarms) {
        alarmFaults.emplace(&faultReporter, *settings.alarms);
        pipeline.AddRecordListener(*settings.alarms);
        settings.alarms->ReadingStarted();
    }
    pipeline.SetFileFaultReporter(alarmFaults ? static_cast<FileFaultReporter*>(&*alarmFaults)
                                              : &faultReporter);
    const int status =
        ReadUntilStopped(pipeline, devicePath, portNumber, settings, stopSignalFd, link, out);
    pipeline.SetFileFaultReporter(nullptr);
    if (settings.alarms) pipeline.RemoveRecordListener(*settings.alarms);
    return status;
}

int RunLive(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    // Before any thread starts, so that every thread the program has (the
    // monitor, MQTT's) leaves the signals to this one.
    SignalCatcher stopSignals;
    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart);
    SetUpLoggerPipeline(pipeline, options);
    SeedFromArchive(pipeline.derived());
    std::unique_ptr<LoggerAlarms> alarms;
    if (options.alarmsOn) {
        alarms = std::make_unique<LoggerAlarms>(
            options, [&err](const std::string& line) { err << (line + "\n") << std::flush; });
    }
    LiveOutputs liveOutputs = LoggerLiveOutputs(options, err, alarms ? &alarms->set() : nullptr);
    if (!liveOutputs.Start()) return kExitUsage;
    if (alarms && !alarms->StartNotices(liveOutputs)) return kExitUsage;
    liveOutputs.Attach(pipeline);
    StationWebPage web(Archive::kFileName);
    web.SetSummarySettings(options.station, options.metric);
    web.Attach(pipeline);
    std::optional<PageAlarms> pageAlarms;
    if (alarms) pageAlarms.emplace(web.live(), alarms->set());
    if (options.web.enabled) {
        std::string error;
        if (!web.Start(options.web, error)) {
            err << "nimbulo-logger: " << error << "\n";
            liveOutputs.Stop();
            return kExitUsage;
        }
        err << "nimbulo-logger: web page at http://" << WebAddressText(options.web.address) << ":"
            << web.server().port() << "/\n";
    }
    const int portNumber = options.port.value_or(1);
    const std::string device = options.devicePath.empty()
                                   ? PortConfig::DeviceFor(SettingsLocation(), portNumber)
                                   : options.devicePath;
    LiveLinkSettings link;
    if (options.noRetry) link.retry = RetrySchedule::Never();
    link.staleAfter = std::chrono::seconds(options.staleAfterSeconds);
    link.onAvailability = [&liveOutputs](bool available) {
        liveOutputs.SetLinkAvailable(available);
    };
    link.onChange = [&web](const LinkState& state) {
        web.live().SetLink(WebLinkOf(state), state.LastRecordTime());
    };
    if (alarms) link.alarms = &alarms->set();
    const int status =
        RunLiveLogging(pipeline, device, portNumber, link, stopSignals.fd(), out, err);
    web.Stop();
    liveOutputs.Stop();
    return status;
}
