// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// What raises an alarm and where its notices go: the [Alarms] group of the
// window's settings and of the logger's config file. A weather line left
// empty is off; a way of notice left empty is not used.
struct AlarmSettings {
    int silentMinutes = 10;
    int fileFaultMinutes = 15;
    int uploadFaultMinutes = 60;
    int repeatMinutes = 60;

    std::optional<double> tempHighF;
    std::optional<double> tempLowF;
    std::optional<double> gustHighMph;
    std::optional<double> rainHourIn;
    std::optional<double> pressureDrop3hInHg;  // positive: the drop that raises it
    std::optional<double> humidityHighPct;

    std::string command;     // one program, run without a shell and without arguments
    std::string smtpServer;  // "host:port"; empty: no mail
    std::string smtpUser;
    std::string smtpPasswordFile;
    std::string smtpCaFile;  // PEM certificates trusted besides the system's (a server's own)
    std::string mailFrom;
    std::string mailTo;

    bool mailOn() const { return !smtpServer.empty() && !mailTo.empty(); }
};

// The keys of the group, in the order a form shows them.
const std::vector<std::string>& AlarmSettingKeys();
// The value of key as the group stores it ("" for an empty line).
std::string AlarmSettingText(const AlarmSettings& settings, const std::string& key);

// A value of the group in words: the key and what is wrong with value, or
// empty when it is good; number keys take "" for off (weather lines only).
// Used alike by the window's page and the logger's config file.
std::string ApplyAlarmSetting(AlarmSettings& settings, const std::string& key,
                              const std::string& value);
