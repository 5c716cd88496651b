// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveLogging.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <ostream>
#include <thread>

#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "PortConfig.h"
#include "ReplayRun.h"
#include "SerialPort.h"
#include "SettingsLocation.h"
#include "StationPipeline.h"

namespace {

// Runs the processing right on the monitor thread: the main thread only waits
// for a signal, so the pipeline has one user at a time.
class DirectOwner : public SerialPortOwner {
  public:
    DirectOwner(StationPipeline& pipeline, std::ostream& err)
        : pipeline_(pipeline), err_(err), mainThread_(std::this_thread::get_id()) {
        failedFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    ~DirectOwner() override {
        if (failedFd_ >= 0) close(failedFd_);
    }

    int failedFd() const { return failedFd_; }

    int OnPortEvent(int, int port) override { return PortConfig::PortEventResult(port); }
    int OnSerialCharacter(int character, int port) override {
        return pipeline_.OnSerialCharacter(character, port);
    }
    // A report from the monitor thread means the device is gone for good:
    // that thread would only idle from here on.
    void ReportError(const std::string& caption, const std::string& text) override {
        {
            std::lock_guard<std::mutex> lock(errLock_);
            err_ << "nimbulo-logger: " << caption << ": " << text << std::flush;
        }
        if (std::this_thread::get_id() != mainThread_) {
            uint64_t one = 1;
            ssize_t n = write(failedFd_, &one, sizeof one);
            (void)n;
        }
    }

  private:
    StationPipeline& pipeline_;
    std::ostream& err_;
    std::mutex errLock_;
    std::thread::id mainThread_;
    int failedFd_ = -1;
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

StopReason WaitForStop(int signalFd, int failedFd) {
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {failedFd, POLLIN, 0}};
    for (;;) {
        int n = poll(fds, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || fds[1].revents) return StopReason::DeviceFailed;
        if (fds[0].revents) {
            // Taken, so that it is not delivered again when the old mask returns.
            signalfd_siginfo info;
            ssize_t taken = read(signalFd, &info, sizeof info);
            (void)taken;
            return StopReason::Signal;
        }
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
                   std::ostream& out, std::ostream& err) {
    SignalCatcher stopSignals;
    DirectOwner owner(pipeline, err);
    SerialPort port([&devicePath](int) { return devicePath; });
    if (!port.OpenPort(&owner, portNumber, PortConfig::InstrumentLine())) {
        err << "nimbulo-logger: cannot open '" << devicePath
            << "': " << std::strerror(port.lastOpenError()) << "\n";
        return kExitDeviceFailed;
    }
    if (!port.StartMonitor()) {
        err << "nimbulo-logger: cannot start the monitor thread\n";
        return kExitDeviceFailed;
    }
    StopReason reason = WaitForStop(stopSignals.fd(), owner.failedFd());
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
    const int status = RunLiveLogging(pipeline, device, portNumber, out, err);
    liveOutputs.Stop();
    return status;
}
