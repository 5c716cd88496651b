// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// What one wait of the monitor thread ended with.
struct WaitResult {
    enum class Outcome { Shutdown, PortEvent, PortFailed, TimedOut };
    Outcome outcome = Outcome::Shutdown;
    int error = 0;  // system error code when the port failed
};

// What a one-byte read ended with.
struct ReadResult {
    enum class Outcome { Byte, Failed, TimedOut };
    Outcome outcome = Outcome::Failed;
    uint8_t byte = 0;
    int error = 0;
};

// The device operations the serial port needs, one per step of opening,
// configuring, waiting and reading, so that each can fail on its own with a
// system error code (0 means success). The POSIX implementation uses termios,
// poll() and an eventfd; another system's implementation can sit beside it.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Opens an existing device for reading and writing, exclusively.
    virtual int Open(const std::string& deviceName) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // How long a read waits for a byte that was announced but has not come.
    virtual int SetReadTimeout(int milliseconds) = 0;
    virtual int SetEventMask(uint32_t mask) = 0;
    virtual uint32_t EventMask() const = 0;
    // Reads the current line settings into the pending settings.
    virtual int GetState() = 0;
    // Fills the pending settings from "baud=%d parity=%c data=%d stop=%d".
    virtual int BuildState(const std::string& settingsText, bool rtsEnable) = 0;
    // Applies the pending settings to the device.
    virtual int SetState() = 0;
    // Drops everything queued in both directions.
    virtual int Purge() = 0;

    // Number of received bytes waiting to be read.
    virtual int QueuedBytes(int& count) = 0;
    virtual ReadResult ReadByte() = 0;

    // Waits for the shutdown signal or, when watchPort is true, for received
    // data or a failure of the device, at most timeoutMs (negative: no limit).
    // Shutdown wins when both are pending. Safe to call on a device that is
    // not open.
    virtual WaitResult WaitForEvent(bool watchPort, int timeoutMs = -1) = 0;
    // Wakes WaitForEvent from any thread; stays signalled until reset.
    virtual void SignalShutdown() = 0;
    virtual void ResetShutdown() = 0;

    virtual std::string ErrorText(int error) const = 0;
};
