// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

// Where and how the MQTT publisher connects. The password lives in a file
// (never on a command line, where every user of the machine can read it).
struct MqttOptions {
    std::string host;  // empty: MQTT is off
    int port = 1883;
    // Names this station in the default prefix, the unique ids and the device.
    std::string stationId = "station";
    std::string prefix;                             // empty: "nimbulo/<stationId>"
    std::string user;                               // empty: no login
    std::string passwordFile;                       // its first line is the password
    std::string caFile;                             // set: TLS, the broker checked against this CA
    std::chrono::milliseconds stateInterval{5000};  // at most one state per interval

    // The topic prefix in force: prefix, or the default built from stationId.
    std::string TopicPrefix() const;
    // stationId with everything but letters, digits, '-' and '_' made '_', for
    // topic levels and unique ids.
    std::string SafeStationId() const;
};
