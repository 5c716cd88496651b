// SPDX-License-Identifier: GPL-3.0-or-later
#include "SerialPort.h"

#include <chrono>
#include <cstdio>

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

    std::lock_guard<std::mutex> lock(portLock_);
    device_->Close();
    lastOpenError_ = device_->Open(resolver_(portNumber));
    if (lastOpenError_ != 0) return false;
    ConfigurePort();
    device_->Purge();
    return true;
}

// The steps stop at the first failure, which is reported under the name that
// the station's users know from the error box, whatever the system's call is.
void SerialPort::ConfigurePort() {
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
        WaitResult wait = device_->WaitForEvent(watchPort);
        if (wait.outcome == WaitResult::Outcome::Shutdown) break;
        if (wait.outcome == WaitResult::Outcome::PortFailed) {
            // Reported once; from then on only the shutdown can wake the thread.
            ReportPortError("WaitCommEvent()", wait.error);
            watchPort = false;
            continue;
        }
        HandlePortEvent(watchPort);
    }
    MarkThreadEnded();
}

// The configured mask decides, not what woke us: every wake-up with the
// instrument's mask gives a port-event call and then the reads.
void SerialPort::HandlePortEvent(bool& watchPort) {
    uint32_t mask = device_->EventMask();
    if (mask & EV_CTS) {
        ownerWindow_->OnPortEvent(0, portNumber_);
        if (stopRequested_) return;
    }
    if (!(mask & EV_RXCHAR)) {
        watchPort = false;  // nobody would take the bytes, so waking for them would spin
        return;
    }
    if (!ReadPendingBytes()) watchPort = false;
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

// Runs on the thread that met the failure, without the port lock, so that a
// stop can always get through while the report is on screen.
void SerialPort::ReportPortError(const std::string& operation, int error) {
    std::string text = ComposeErrorText(operation, device_->ErrorText(error), portNumber_);
    if (ownerWindow_ != nullptr) {
        ownerWindow_->ReportError(kErrorCaption, text);
    } else {
        std::fputs(text.c_str(), stderr);
    }
}
