// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmMqtt.h"

#include "AlarmSet.h"
#include "AlarmsJson.h"
#include "JsonObject.h"
#include "MqttPublisher.h"

namespace {
struct AlarmEntity {
    const char* alarm;
    const char* name;
    const char* deviceClass;
};
constexpr AlarmEntity kEntities[] = {
    {"silent", "Station silent", "problem"},      {"files", "File fault", "problem"},
    {"uploads", "Upload fault", "problem"},       {"temp_high", "Temperature high", "safety"},
    {"temp_low", "Temperature low", "safety"},    {"gust_high", "Gust high", "safety"},
    {"rain_hour", "Heavy rain", "safety"},        {"pressure_drop", "Pressure falling", "safety"},
    {"humidity_high", "Humidity high", "safety"},
};
}  // namespace

AlarmMqtt::AlarmMqtt(const MqttOptions& options, MqttPublisher& publisher, const AlarmSet& alarms)
    : options_(options), publisher_(publisher), alarms_(alarms) {}

void AlarmMqtt::Start() {
    const std::string prefix = options_.TopicPrefix();
    const std::string deviceId = "nimbulo_" + options_.SafeStationId();
    // The identifiers alone put the entities on the station's device. No
    // availability topic: the station's goes offline just when it is silent.
    const std::string device =
        JsonObject().AddJson("identifiers", "[" + JsonQuoted(deviceId) + "]").Text();
    for (const AlarmEntity& e : kEntities) {
        const std::string uniqueId = deviceId + "_alarm_" + e.alarm;
        JsonObject config;
        config.AddString("name", std::string("Alarm: ") + e.name)
            .AddString("unique_id", uniqueId)
            .AddString("state_topic", prefix + "/alarms")
            .AddString("value_template",
                       std::string("{{ 'ON' if value_json.") + e.alarm + ".active else 'OFF' }}")
            .AddString("json_attributes_topic", prefix + "/alarms")
            .AddString("json_attributes_template",
                       std::string("{{ value_json.") + e.alarm + " | tojson }}")
            .AddString("device_class", e.deviceClass)
            .AddJson("device", device);
        publisher_.PublishRetained("homeassistant/binary_sensor/" + uniqueId + "/config",
                                   config.Text());
    }
    publisher_.PublishRetained(prefix + "/alarms", AlarmsJson(alarms_));
}

void AlarmMqtt::Notify(const AlarmNotice& notice) {
    const std::string prefix = options_.TopicPrefix();
    if (notice.kind != AlarmNotice::Kind::Repeated)
        publisher_.PublishRetained(prefix + "/alarms", AlarmsJson(alarms_));
    publisher_.PublishEvent(prefix + "/alarm", AlarmNoticeJson(notice));
}
