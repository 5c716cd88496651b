// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

// Device names that users set for COM numbers (settings group "Ports").
using PortDeviceOverrides = std::map<int, std::string>;

// The device that COMn stands for: the override when one is given and not
// empty, else /dev/ttyS<n-1>.
std::string DeviceNameForPort(int portNumber, const PortDeviceOverrides& overrides = {});
