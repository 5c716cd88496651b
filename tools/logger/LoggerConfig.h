// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ConfigFile.h"
#include "LoggerOptions.h"

// Takes the live outputs from a settings file with the station display's
// groups and keys: [Mqtt], [Settings] WxnowJson, StaleAfter and RainGauge,
// [Cwop], [Wunderground] and [Pwsweather], [Station] (name, position and
// elevation; a position only in [Cwop] is read as before) and [Alarms]. Returns an error message
// for a value that makes no sense, or empty.
std::string ApplyConfigFile(const ConfigFile& config, LoggerOptions& options);

// [Alarms]: Enabled=1 and the alarm keys; the first wrong value as
// "[Alarms] Key needs ...", or empty.
std::string ApplyAlarmsConfig(const ConfigFile& config, LoggerOptions& options);

// "LAT,LON" in decimal degrees, north and east positive.
bool ParsePosition(const std::string& text, CwopOptions& cwop);
