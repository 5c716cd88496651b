// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortConfig.h"

#include <QSettings>

#include "SerialPort.h"
#include "SettingsLocation.h"

LineSettings PortConfig::InstrumentLine() {
    LineSettings line;
    line.baud = 2400;
    line.parity = 'N';
    line.dataBits = 8;
    line.stopBits = 1;
    line.rtsEnable = true;
    line.timeoutMs = 1000;
    line.eventMask = SerialPort::EV_RXCHAR | SerialPort::EV_CTS;
    return line;
}

QString PortConfig::SettingsKey(int port) {
    return QStringLiteral("Ports/COM%1").arg(port);
}

std::string PortConfig::DefaultDevice(int port) {
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::optional<std::string> PortConfig::ConfiguredDevice(const QSettings& settings, int port) {
    const QString value = settings.value(SettingsKey(port)).toString();
    if (value.isEmpty()) return std::nullopt;
    return value.toStdString();
}

std::string PortConfig::DeviceFor(const QSettings& settings, int port) {
    return ConfiguredDevice(settings, port).value_or(DefaultDevice(port));
}

std::string PortConfig::DeviceFor(const SettingsLocation& location, int port) {
    return DeviceFor(*location.Open(), port);
}
