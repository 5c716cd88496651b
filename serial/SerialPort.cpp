// SPDX-License-Identifier: GPL-3.0-or-later
#include "SerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <utility>

#include "PortConfig.h"
#include "PosixSerialDevice.h"

SerialPort::SerialPort(DeviceNameResolver resolver, std::unique_ptr<SerialDevice> device)
    : resolver_(std::move(resolver)), device_(std::move(device)) {
    if (!resolver_) resolver_ = &PortConfig::DefaultDevice;
    if (!device_) device_ = std::make_unique<PosixSerialDevice>();
}

SerialPort::~SerialPort() {
    StopMonitor();
    std::lock_guard<std::mutex> lock(portLock_);
    device_->Close();
}

bool SerialPort::OpenPort(SerialPortOwner* owner, int portNumber, const LineSettings& line) {
    StopMonitor();
    device_->ResetShutdown();
    ownerWindow_ = owner;
    portNumber_ = portNumber;
    line_ = line;
    deviceName_ = resolver_(portNumber);
    quiet_ = false;
    lastLossBeforeAByte_ = false;
    failingAtOpen_ = false;
    delivered_ = false;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        device_->Close();
        lastOpenError_ = device_->Open(deviceName_);
        if (lastOpenError_ == 0) {
            setUpFailed_ = !ConfigurePort();
            device_->Purge();
        }
    }
    announced_ = lastOpenError_ == 0;
    if (lastOpenError_ != 0) {
        // Reported here, where the cause is known, rather than as a failed
        // wait on a port that never opened.
        heldReport_ = ComposeOpenErrorText(portNumber_, deviceName_,
                                           device_->ErrorText(lastOpenError_), lastOpenError_);
        quiet_ = true;
        lostAt_ = std::chrono::steady_clock::now();
    }
    TellLink(lastOpenError_ == 0 ? PortLink::Opened : PortLink::OpenFailed);
    ReportHeld();
    return lastOpenError_ == 0;
}

void SerialPort::ClosePort() {
    StopMonitor();
    std::lock_guard<std::mutex> lock(portLock_);
    device_->Close();
}

void SerialPort::TellLink(PortLink change) {
    if (ownerWindow_ != nullptr) ownerWindow_->OnLinkChange(change, portNumber_, deviceName_);
}

// The steps stop at the first failure, which is reported under the name that
// the station's users know from the error box, whatever the system's call is.
bool SerialPort::ConfigurePort() {
    char settingsText[96];
    std::snprintf(settingsText, sizeof settingsText, "baud=%d parity=%c data=%d stop=%d",
                  line_.baud, line_.parity, line_.dataBits, line_.stopBits);
    int error;
    if ((error = device_->SetReadTimeout(line_.timeoutMs)) != 0) {
        ReportPortError("SetCommTimeouts()", error);
    } else if ((error = device_->SetEventMask(line_.eventMask)) != 0) {
        ReportPortError("SetCommMask()", error);
    } else if ((error = device_->GetState()) != 0) {
        ReportPortError("GetCommState()", error);
    } else if ((error = device_->BuildState(settingsText, line_.rtsEnable)) != 0) {
        ReportPortError("BuildCommDCB()", error);
    } else if ((error = device_->SetState()) != 0) {
        ReportPortError("SetCommState()", error);
    }
    return error == 0;
}

bool SerialPort::StartMonitor() {
    StopMonitor();
    if (ownerWindow_ == nullptr) return false;
    stopRequested_ = false;
    device_->ResetShutdown();
    {
        std::lock_guard<std::mutex> lock(endLock_);
        threadFinished_ = false;
    }
    try {
        monitorThread_ = std::thread(&SerialPort::MonitorLoop, this);
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(endLock_);
        threadFinished_ = true;
        return false;
    }
    return true;
}

// The monitor thread may be waiting inside a call to the owner that only this
// thread can complete, so the owner gets to serve while we wait.
void SerialPort::StopMonitor() {
    if (!monitorThread_.joinable()) return;
    stopRequested_ = true;
    device_->SignalShutdown();
    std::unique_lock<std::mutex> lock(endLock_);
    while (!threadEnded_.wait_for(lock, std::chrono::milliseconds(10),
                                  [this] { return threadFinished_; })) {
        lock.unlock();
        if (ownerWindow_ != nullptr) ownerWindow_->ServeWhileStopping();
        lock.lock();
    }
    lock.unlock();
    monitorThread_.join();
}

void SerialPort::MarkThreadEnded() {
    threadRunning_ = 0;
    std::lock_guard<std::mutex> lock(endLock_);
    threadFinished_ = true;
    threadEnded_.notify_all();
}

void SerialPort::MonitorLoop() {
    // Purged before the flag is raised, so that whoever sees the thread
    // running knows that later bytes will be delivered.
    if (device_->IsOpen()) device_->Purge();
    threadRunning_ = 1;
    bool watchPort = true;
    while (!stopRequested_) {
        if (!device_->IsOpen()) {
            if (!AwaitDevice()) break;
            continue;
        }
        WaitResult wait = device_->WaitForEvent(watchPort);
        if (wait.outcome == WaitResult::Outcome::Shutdown) break;
        if (wait.outcome == WaitResult::Outcome::PortFailed) {
            ReportPortError("WaitCommEvent()", wait.error);
            LosePort();
        } else if (wait.outcome == WaitResult::Outcome::PortEvent && !HandlePortEvent(watchPort)) {
            LosePort();
        }
    }
    MarkThreadEnded();
}

// A device that fails before its first byte is no serial line when its
// set-up failed too (/dev/null, /dev/zero), or a broken one when it does so
// twice running: it keeps failing right after it opens, and is tried on the
// slow schedule without telling the owner of every opening and loss.
void SerialPort::LosePort() {
    {
        std::lock_guard<std::mutex> lock(portLock_);
        device_->Close();
    }
    const bool beforeAByte = !delivered_;
    failingAtOpen_ = beforeAByte && (setUpFailed_ || lastLossBeforeAByte_);
    lastLossBeforeAByte_ = beforeAByte;
    quiet_ = true;
    lostAt_ = std::chrono::steady_clock::now();
    if (!stopRequested_ && announced_) TellLink(PortLink::Lost);
    announced_ = false;
    ReportHeld();
}

// Waits on the wake-up descriptor alone, so a stop ends the wait at once and
// nothing runs between tries. A device that comes back keeps what it has
// queued (records the station sent meanwhile): no purge.
bool SerialPort::AwaitDevice() {
    const auto waited = std::chrono::duration_cast<RetrySchedule::Duration>(
        std::chrono::steady_clock::now() - lostAt_);
    const RetrySchedule::Duration delay = failingAtOpen_ ? retry_.later : retry_.DelayAfter(waited);
    const int timeout = retry_.enabled ? int(delay.count()) : -1;
    if (device_->WaitForEvent(false, timeout).outcome == WaitResult::Outcome::Shutdown ||
        stopRequested_)
        return false;
    if (!retry_.enabled) return true;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        if (device_->Open(deviceName_) != 0) return true;
        setUpFailed_ = !ConfigurePort();  // quiet: a fault of the device it was was reported
    }
    delivered_ = false;
    if (failingAtOpen_) return true;  // told once it hands a byte over
    announced_ = true;
    TellLink(PortLink::Opened);
    return true;
}

// The configured mask decides, not what woke us: every wake-up with the
// instrument's mask gives a port-event call and then the reads.
bool SerialPort::HandlePortEvent(bool& watchPort) {
    uint32_t mask = device_->EventMask();
    if (mask & EV_CTS) {
        ownerWindow_->OnPortEvent(0, portNumber_);
        if (stopRequested_) return true;
    }
    if (!(mask & EV_RXCHAR)) {
        watchPort = false;  // nobody would take the bytes, so waking for them would spin
        return true;
    }
    return ReadPendingBytes();
}

int SerialPort::PendingInputBytes() {
    std::lock_guard<std::mutex> lock(portLock_);
    int queued = 0;
    return device_->QueuedBytes(queued) == 0 ? queued : 0;
}

bool SerialPort::QueuedBytesOrReport(int& queued) {
    int error;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        error = device_->QueuedBytes(queued);
    }
    if (error == 0) return true;
    ReportPortError("ReadFile()", error);
    return false;
}

bool SerialPort::ReadPendingBytes() {
    int queued = 0;
    if (!QueuedBytesOrReport(queued)) return false;
    while (queued > 0 && !stopRequested_) {
        ReadResult read;
        {
            std::lock_guard<std::mutex> lock(portLock_);
            read = device_->ReadByte();
        }
        // A failed read hands nothing over: its byte was never received.
        if (read.outcome == ReadResult::Outcome::Failed) {
            ReportPortError("ReadFile()", read.error);
            return false;
        }
        if (read.outcome == ReadResult::Outcome::TimedOut) {
            ReportPortError("GetOverlappedResults() in ReadFile()", read.error);
            return false;
        }
        quiet_ = false;  // the device works: its next failure is news
        delivered_ = true;
        if (!announced_) {
            announced_ = true;
            TellLink(PortLink::Opened);
        }
        ownerWindow_->OnSerialCharacter(read.byte, portNumber_);
        if (stopRequested_) break;
        if (!QueuedBytesOrReport(queued)) return false;
    }
    return true;
}

// The text of "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n",
// put together piece by piece so that no length can cut it.
std::string SerialPort::ComposeErrorText(const std::string& operation,
                                         const std::string& systemText, int portNumber) {
    return "WARNING:  " + operation + " Failed with the following error: \n" + systemText +
           "\nPort: " + std::to_string(portNumber) + "\n";
}

std::string SerialPort::ComposeOpenErrorText(int portNumber, const std::string& device,
                                             const std::string& systemText, int error) {
    const std::string hint = OpenErrorHint(error);
    return "WARNING:  COM" + std::to_string(portNumber) + " (" + device +
           ") cannot be opened: " + systemText + "\n" + (hint.empty() ? "" : hint + "\n");
}

// The common reasons a station's port does not open, in the user's terms.
std::string SerialPort::OpenErrorHint(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "Is the adapter plugged in?";
        case EACCES:
        case EPERM:
            return "Add your user to the dialout group.";
        case EBUSY:
            return "Another program holds it.";
        default:
            return {};
    }
}

// Every failure is followed by a change of the link (a lost device, an open
// that failed or half worked): held until the owner has been told of it, so
// that the owner shows the new state while the report is on screen.
void SerialPort::ReportPortError(const std::string& operation, int error) {
    if (quiet_) return;
    heldReport_ = ComposeErrorText(operation, device_->ErrorText(error), portNumber_);
}

void SerialPort::ReportHeld() {
    if (heldReport_.empty()) return;
    Report(std::exchange(heldReport_, {}));
}

// Runs on the thread that met the failure, without the port lock, so that a
// stop can always get through while the report is on screen.
void SerialPort::Report(const std::string& text) {
    if (ownerWindow_ != nullptr) {
        ownerWindow_->ReportError(kErrorCaption, text);
    } else {
        std::fputs(text.c_str(), stderr);
    }
}
