// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

#include "PortDeviceNames.h"

// Reads the device overrides "Ports/COM1" ... "Ports/COM<maxPort>" that users
// and tests may set; the program never writes them.
PortDeviceOverrides ReadPortOverrides(QSettings& settings, int maxPort = 4);
