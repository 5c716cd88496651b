// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The serial devices present, as a user would pick them: the stable names in
// serial/by-id first, then USB adapters (ttyUSB), USB modems and boards
// (ttyACM) and built-in ports (ttyS), each kind in natural order.
class SerialDeviceList {
  public:
    static std::vector<std::string> Present(const std::filesystem::path& dev = "/dev");
    // Whether a USB or ACM serial device is present: a station on a USB adapter.
    static bool UsbPresent(const std::filesystem::path& dev = "/dev");
};
