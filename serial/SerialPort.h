// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "LineSettings.h"
#include "SerialDevice.h"
#include "SerialPortOwner.h"

// One serial port (COM1 to COM4) at the instrument's line settings, with a
// monitor thread that hands every received byte to the owner, one synchronous
// call per byte, after a port-event call for each wake-up. Failures of the
// port operations are reported to the owner and work goes on.
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
    // when the device cannot be opened (nothing is reported then); a failed
    // configuration step is reported and the result is still true.
    bool OpenPort(SerialPortOwner* owner, int portNumber, const LineSettings& line);
    // Starts a new monitor thread (stopping one that still runs). True when it started.
    bool StartMonitor();
    // Ends the monitor thread and waits for it; the port stays open.
    void StopMonitor();

    bool threadRunning() const { return threadRunning_.load(); }
    // The system error of the last failed open, 0 after a successful one.
    int lastOpenError() const { return lastOpenError_; }
    // Received bytes the monitor thread has not read yet (0 when unknown).
    int PendingInputBytes();

    // "WARNING:  <operation> Failed with the following error: \n<text>\nPort: <n>\n",
    // whatever the lengths.
    static std::string ComposeErrorText(const std::string& operation, const std::string& systemText,
                                        int portNumber);

  private:
    void ConfigurePort();
    void MonitorLoop();
    void HandlePortEvent(bool& watchPort);
    // False when the device failed (reported once); the thread then stops watching it.
    bool ReadPendingBytes();
    void ReportPortError(const std::string& operation, int error);
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
    LineSettings line_;
    int lastOpenError_ = 0;
};
