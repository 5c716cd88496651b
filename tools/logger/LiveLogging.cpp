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
#include <ostream>
#include <thread>

#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "LoggerLink.h"
#include "PortConfig.h"
#include "ReplayRun.h"
#include "SerialPort.h"
#include "SettingsLocation.h"
#include "StationPipeline.h"

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

enum class StopReason { Signal, DeviceFailed };

// Waits for a signal; meanwhile the link state gets the time it asks for,
// which is no time at all while nothing but an event can change it.
StopReason WaitForStop(int signalFd, LoggerLink& link) {
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {link.wakeFd(), POLLIN, 0}};
    for (;;) {
        int n = poll(fds, 2, link.WaitMs());
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

}  // namespace

int RunLiveLogging(StationPipeline& pipeline, const std::string& devicePath, int portNumber,
                   const LiveLinkSettings& settings, std::ostream& out, std::ostream& err) {
    SignalCatcher stopSignals;
    // Told of records only during this run: the pipeline is not fed after it.
    LoggerLink link(err, settings.staleAfter, settings.retry.enabled);
    link.SetAvailabilityHandler(settings.onAvailability);
    pipeline.AddRecordListener(link);
    DirectOwner owner(pipeline, link);
    SerialPort port([&devicePath](int) { return devicePath; });
    port.SetRetrySchedule(settings.retry);
    if (!port.OpenPort(&owner, portNumber, PortConfig::InstrumentLine()) && !settings.retry.enabled)
        return kExitDeviceFailed;
    if (!port.StartMonitor()) {
        err << "nimbulo-logger: cannot start the monitor thread\n";
        return kExitDeviceFailed;
    }
    StopReason reason = WaitForStop(stopSignals.fd(), link);
    if (reason == StopReason::Signal) DrainReceivedBytes(port);
    port.StopMonitor();

    out << "records accepted: " << pipeline.state().recordCount << "\n"
        << "five-minute points: " << pipeline.cycle().fiveMinutePoints() << "\n"
        << "log files opened: " << pipeline.dataLog().filesOpened() << "\n";
    return reason == StopReason::Signal ? 0 : kExitDeviceFailed;
}

int RunLive(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart);
    SetUpLoggerPipeline(pipeline, options);
    LiveOutputs liveOutputs = LoggerLiveOutputs(options, err);
    if (!liveOutputs.Start()) return kExitUsage;
    liveOutputs.Attach(pipeline);
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
    const int status = RunLiveLogging(pipeline, device, portNumber, link, out, err);
    liveOutputs.Stop();
    return status;
}
