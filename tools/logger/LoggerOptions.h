// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AlarmSettings.h"
#include "MqttOptions.h"
#include "StationIdentity.h"
#include "UploadOptions.h"
#include "WebSettings.h"

// What the command line asks of nimbulo-logger.
struct LoggerOptions {
    bool showHelp = false;
    bool showVersion = false;
    std::string replayFile;            // empty: no replay asked for
    std::optional<int> year;           // stands in for the computer's year
    std::string devicePath;            // --device: read live from this device
    std::optional<int> port;           // --port: read live from this COM number
    bool rainGaugeMillimetre = false;  // --rain-gauge mm: rain fields count 0.1 mm
    std::string dataDir;         // --data-dir: write the files here; empty: the working folder
    bool noRetry = false;        // --no-retry: end at a lost or missing device
    int staleAfterSeconds = 10;  // --stale-after: seconds without a record to call it silent
    MqttOptions mqtt;            // --mqtt...: host empty when MQTT is off
    bool wxnow = false;          // --wxnow: keep wxnow.json beside the report files
    std::vector<std::string> importPaths;  // --import: data logs or folders of them
    std::string exportKind;                // --export: "points" or "days"; empty: none
    std::string exportFrom, exportTo;      // its station dates, YYYY-MM-DD, both included
    UploadOptions uploads;   // --cwop, --wunderground, --pwsweather...: off when no id
    std::string configFile;  // --config (or --config-if-present): read before the options

    // The climate summaries and the station's identity heading them.
    std::string noaaPeriod;   // --noaa: "YYYY" or "YYYY-MM"; empty: none asked for
    bool noaaAll = false;     // --noaa-all: every month and year into NOAA/
    bool metric = false;      // --metric: summaries in °C, mm and km/h
    StationIdentity station;  // [Station], --station-name, --elevation; the CWOP position
    WebSettings web;          // --http: the web page; off unless asked for
    // [Alarms] of the config file; off unless Enabled=1.
    bool alarmsOn = false;
    AlarmSettings alarms;
};

struct ParsedOptions {
    LoggerOptions options;
    std::string error;  // empty when the command line is usable
    bool ok() const { return error.empty(); }
};

// args without the program name. Options take their value as the next
// argument or after "=" ("--year 2002", "--year=2002"). --import takes one
// path or more, --export its kind and two dates.
ParsedOptions ParseLoggerOptions(const std::vector<std::string>& args);

// --help: the usage lines, what the program does, every option, the exit statuses.
std::string LoggerUsage();

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;  // bad command line or unreadable input
