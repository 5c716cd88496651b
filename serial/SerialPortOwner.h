// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// How the port's link to its device changed.
enum class PortLink {
    Opened,      // opened and set up, at the first try or again after a loss
    OpenFailed,  // the first try failed; the port goes on trying when it retries
    Lost,        // the device failed while open; the port tries again when it retries
};

// Receives what the serial port's monitor thread hands over. Every call is
// synchronous, the monitor thread waits until it returns, so a report must
// not wait for the user: the port could not retry meanwhile. Set-up failures are
// reported on the thread that called OpenPort.
class SerialPortOwner {
  public:
    virtual ~SerialPortOwner() = default;

    // A port event, before the bytes of that wake-up; port is the COM number.
    virtual int OnPortEvent(int eventParam, int port) = 0;
    // One received byte, 0 to 255.
    virtual int OnSerialCharacter(int character, int port) = 0;
    // A failed port operation, to be shown to the user; returns at once.
    virtual void ReportError(const std::string& caption, const std::string& text) = 0;
    // The link changed; device is the path the COM number leads to. Called
    // after the change's report, on the thread that met it.
    virtual void OnLinkChange(PortLink, int /*port*/, const std::string& /*device*/) {}

    // Called again and again on the thread that stops the monitor thread,
    // while it waits for that thread to end. An owner that passes the calls
    // above to another thread must deliver the pending ones here, or the
    // monitor thread could never finish the call it is waiting in.
    virtual void ServeWhileStopping() {}
};
