// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortSettings.h"

PortDeviceOverrides ReadPortOverrides(QSettings& settings, int maxPort) {
    PortDeviceOverrides overrides;
    for (int n = 1; n <= maxPort; ++n) {
        QString value = settings.value(QStringLiteral("Ports/COM%1").arg(n)).toString();
        if (!value.isEmpty()) overrides[n] = value.toStdString();
    }
    return overrides;
}
