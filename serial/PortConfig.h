// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "LineSettings.h"

class QSettings;
class SettingsLocation;

// The instrument's link in one place: the COM numbers there are, the device
// each one opens and the line settings. COMn opens the device set as
// "Ports/COMn" in the settings (a USB adapter, a pseudo-terminal), else
// /dev/ttyS<n-1>. The programs only read "Ports"; users and tests set it.
class PortConfig {
  public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 4;

    static bool IsComPort(int port) { return port >= kFirstPort && port <= kLastPort; }
    // What the owner answers to a port event: -1 for a number outside the COM range, else 0.
    static int PortEventResult(int port) { return IsComPort(port) ? 0 : -1; }

    // 2400 baud, no parity, 8 data bits, 1 stop bit, RTS on, 1000 ms time-outs;
    // each wake-up gives a port-event call, then the received bytes.
    static LineSettings InstrumentLine();

    static QString SettingsKey(int port);
    static std::string DefaultDevice(int port);
    // The device set for COM port, when one is set and not empty.
    static std::optional<std::string> ConfiguredDevice(const QSettings& settings, int port);
    static std::string DeviceFor(const QSettings& settings, int port);
    static std::string DeviceFor(const SettingsLocation& location, int port);
};
