// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmNotice.h"
#include "MqttOptions.h"

class AlarmSet;
class MqttPublisher;

// The alarms on the station's MQTT connection:
//   <prefix>/alarms  AlarmsJson, retained, after every change;
//   <prefix>/alarm   AlarmNoticeJson of each notice (QoS 0, not retained);
//   homeassistant/binary_sensor/<unique id>/config  one per alarm, retained,
//                    on the station's device ("problem" for the station's
//                    own faults, "safety" for the weather).
// The publisher sends them from its own thread and again after every
// reconnection, so a broker that is away costs the caller nothing.
class AlarmMqtt : public AlarmNotifier {
  public:
    AlarmMqtt(const MqttOptions& options, MqttPublisher& publisher, const AlarmSet& alarms);

    // The discovery configs and the current state; once, before any notice.
    void Start();
    void Notify(const AlarmNotice& notice) override;

  private:
    const MqttOptions options_;
    MqttPublisher& publisher_;
    const AlarmSet& alarms_;
};
