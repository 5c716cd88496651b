// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "MqttOptions.h"

struct MqttMessage {
    std::string topic;
    std::string payload;
};

// Home Assistant MQTT discovery: one config per reading of the state JSON,
// to be published retained under homeassistant/sensor/<unique id>/config.
// All of them name the state and availability topics of options and one
// device, the station, which groups them, and the program as their origin.
std::vector<MqttMessage> HomeAssistantDiscovery(const MqttOptions& options);
