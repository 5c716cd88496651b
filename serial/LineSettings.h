// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// How a port is set up when it is opened: the line, the RTS modem line, the
// time-outs, and which port events the monitor thread passes on.
// PortConfig::InstrumentLine gives the station's.
struct LineSettings {
    int baud = 0;
    char parity = 'N';  // 'N', 'E' or 'O'
    int dataBits = 0;
    int stopBits = 0;
    bool rtsEnable = false;
    int timeoutMs = 0;
    uint32_t eventMask = 0;  // SerialPort::EV_* bits
};
