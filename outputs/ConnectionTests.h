// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "AlarmNotice.h"
#include "MqttOptions.h"
#include "UploadOptions.h"
#include "UploadResult.h"

// "Test" in the live outputs' settings: each tries its server now, bounded
// by a time-out, and says how it went in words for the user. Blocking: run
// them off the user-interface thread. No weather is sent anywhere.

class MqttPublisher;

// Connects and waits for the broker's answer to the login.
UploadResult TestMqttConnection(const MqttOptions& options, std::chrono::milliseconds timeout);

// The alarms' test notice on <prefix>/alarm: on the station's own connection
// (running) when it goes to the same broker and topics, so the test shows
// what a real notice would do; else on a connection of its own, published
// with QoS 1 and done once the broker acknowledges it.
UploadResult SendMqttAlarmTest(const MqttOptions& options, MqttPublisher* running,
                               const AlarmNotice& notice, std::chrono::milliseconds timeout);

// Logs in to the APRS-IS server and leaves without a packet.
UploadResult TestCwopLogin(const CwopOptions& options, const std::string& softwareVersion);

// An upload of no readings: the network checks the station id and key.
UploadResult TestStationUpload(const StationUploadOptions& options, bool anyOkReply,
                               const std::string& softwareVersion);
