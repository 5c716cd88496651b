// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortDeviceNames.h"

std::string DeviceNameForPort(int portNumber, const PortDeviceOverrides& overrides) {
    auto it = overrides.find(portNumber);
    if (it != overrides.end() && !it->second.empty()) return it->second;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}
