// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "LineSettings.h"
#include "RetrySchedule.h"
#include "SerialDevice.h"
#include "SerialPortOwner.h"

// One serial port (COM1 to COM4) at the instrument's line settings, with a
// monitor thread that hands every received byte to the owner, one synchronous
// call per byte, after a port-event call for each wake-up. Failures of the
// port operations are reported to the owner and work goes on. A device that
// cannot be opened or goes away is reported once and then, by the retry
// schedule, opened again until it comes back or the port is stopped; the
// owner hears of every change of the link. A device that keeps failing right
// after it opens is tried on the slow schedule, and the owner hears of it
// again only once it hands a byte over.
class SerialPort {
  public:
    // Bits of the event mask: received bytes are read and handed over; each
    // wake-up also gives a port-event call first.
    static constexpr uint32_t EV_RXCHAR = 0x0001;
    static constexpr uint32_t EV_CTS = 0x0008;

    static constexpr const char* kErrorCaption = "Application Error";

    // Turns a COM number into the device to open.
    using DeviceNameResolver = std::function<std::string(int portNumber)>;

    // Without a resolver COMn is /dev/ttyS<n-1>; without a device, the POSIX one.
    explicit SerialPort(DeviceNameResolver resolver = {},
                        std::unique_ptr<SerialDevice> device = {});
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    // Stops the monitor thread, then closes the port.
    virtual ~SerialPort();

    // Stops a running monitor thread, opens and configures the port. False only
    // when the device cannot be opened, which is reported with the device and
    // a hint; a failed configuration step is reported and the result is still
    // true. The monitor thread retries a failed open.
    bool OpenPort(SerialPortOwner* owner, int portNumber, const LineSettings& line);
    // Starts a new monitor thread (stopping one that still runs). True when it started.
    bool StartMonitor();
    // Ends the monitor thread and waits for it; the port stays open.
    void StopMonitor();
    // Ends the monitor thread and closes the port: no more retries.
    void ClosePort();
    // Takes effect at the next start of the monitor thread.
    void SetRetrySchedule(const RetrySchedule& schedule) { retry_ = schedule; }

    bool threadRunning() const { return threadRunning_.load(); }
    // The system error of the last failed open, 0 after a successful one.
    int lastOpenError() const { return lastOpenError_; }
    // Received bytes the monitor thread has not read yet (0 when unknown).
    int PendingInputBytes();

    // "WARNING:  <operation> Failed with the following error: \n<text>\nPort: <n>\n",
    // whatever the lengths.
    static std::string ComposeErrorText(const std::string& operation, const std::string& systemText,
                                        int portNumber);
    // "WARNING:  COM<n> (<device>) cannot be opened: <text>\n" and the hint
    // for the error on a line of its own, when there is one.
    static std::string ComposeOpenErrorText(int portNumber, const std::string& device,
                                            const std::string& systemText, int error);
    static std::string OpenErrorHint(int error);

  private:
    // False when a step failed (reported unless quiet).
    bool ConfigurePort();
    void MonitorLoop();
    // False when the device failed (reported once).
    bool HandlePortEvent(bool& watchPort);
    bool ReadPendingBytes();
    // Closes a failed device and tells the owner; retries start from now.
    void LosePort();
    // Waits for the next try, then tries; false when the thread is to stop.
    bool AwaitDevice();
    void TellLink(PortLink change);
    void ReportPortError(const std::string& operation, int error);
    void Report(const std::string& text);
    void ReportHeld();
    bool QueuedBytesOrReport(int& queued);
    void MarkThreadEnded();

    std::thread monitorThread_;
    std::mutex portLock_;
    std::atomic<int> threadRunning_{0};
    std::atomic<bool> stopRequested_{false};
    std::mutex endLock_;
    std::condition_variable threadEnded_;
    bool threadFinished_ = true;

    DeviceNameResolver resolver_;
    std::unique_ptr<SerialDevice> device_;
    SerialPortOwner* ownerWindow_ = nullptr;
    int portNumber_ = 0;
    std::string deviceName_;
    LineSettings line_;
    int lastOpenError_ = 0;
    RetrySchedule retry_;
    std::chrono::steady_clock::time_point lostAt_;
    // Set once a loss or failed open is reported, so that the retries that
    // follow report nothing; cleared when a byte arrives.
    std::atomic<bool> quiet_{false};
    // Kept by the thread that opens and reads (the monitor thread, or the
    // caller of OpenPort while none runs): whether the owner was told of
    // this opening, whether its set-up failed, whether a byte came since,
    // and what the losses before said of the device.
    bool announced_ = false;
    bool setUpFailed_ = false;
    bool delivered_ = false;
    bool lastLossBeforeAByte_ = false;
    bool failingAtOpen_ = false;
    std::string heldReport_;  // a failure's report until the link change is told
};
