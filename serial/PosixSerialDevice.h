// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

#include "SerialDevice.h"

// A serial device on POSIX: termios for the line, poll() on the device and an
// eventfd that wakes the waiting thread for shutdown.
class PosixSerialDevice : public SerialDevice {
  public:
    PosixSerialDevice();
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    int Open(const std::string& deviceName) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    int SetReadTimeout(int milliseconds) override;
    int SetEventMask(uint32_t mask) override;
    uint32_t EventMask() const override { return eventMask_; }
    int GetState() override;
    int BuildState(const std::string& settingsText, bool rtsEnable) override;
    int SetState() override;
    int Purge() override;

    int QueuedBytes(int& count) override;
    ReadResult ReadByte() override;

    WaitResult WaitForEvent(bool watchPort, int timeoutMs = -1) override;
    void SignalShutdown() override;
    void ResetShutdown() override;

    std::string ErrorText(int error) const override;

    // Parses "baud=%d parity=%c data=%d stop=%d" into raw termios settings.
    // Returns 0 or EINVAL for a value the line cannot take.
    static int ParseSettings(const std::string& settingsText, termios& settings);

  private:
    int fd_ = -1;
    int wakeFd_ = -1;
    uint32_t eventMask_ = 0;
    bool rtsEnable_ = false;
    termios pending_{};
};
