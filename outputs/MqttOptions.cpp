// SPDX-License-Identifier: GPL-3.0-or-later
#include "MqttOptions.h"

#include <cctype>

std::string MqttOptions::SafeStationId() const {
    std::string id = stationId.empty() ? "station" : stationId;
    for (char& c : id) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') c = '_';
    }
    return id;
}

std::string MqttOptions::TopicPrefix() const {
    return prefix.empty() ? "nimbulo/" + SafeStationId() : prefix;
}
