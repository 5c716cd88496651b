// SPDX-License-Identifier: GPL-3.0-or-later
#include "UploadFaultWatch.h"

#include "AlarmSet.h"

namespace {
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "CWOP (rotate.aprs2.net:14580)" -> "CWOP": one network whatever its server.
std::string Network(const std::string& name) {
    return name.substr(0, name.find(" ("));
}
}  // namespace

bool WatchUploadReport(const std::string& message, AlarmSet& alarms) {
    if (message.rfind("MQTT: no connection to ", 0) == 0) {
        alarms.UploadFailed("MQTT", message.substr(6));
        return true;
    }
    if (message.rfind("MQTT: connected to ", 0) == 0 && EndsWith(message, " again")) {
        alarms.UploadRecovered("MQTT");
        return true;
    }
    const std::string failed = ": upload failed (";
    if (const auto at = message.find(failed); at != std::string::npos) {
        alarms.UploadFailed(Network(message.substr(0, at)), message.substr(at + 2));
        return true;
    }
    if (EndsWith(message, ": uploading again")) {
        alarms.UploadRecovered(Network(message.substr(0, message.size() - 17)));
        return true;
    }
    return false;
}
