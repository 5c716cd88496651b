// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "AlarmNotice.h"

class AlarmSet;

// Every alarm's state as one JSON object, by name:
//   {"silent":{"active":false,"value":null,"unit":"min","since":null}, ...}
// with since an ISO 8601 local time while active. For MQTT's retained
// <prefix>/alarms and for the web page.
std::string AlarmsJson(const AlarmSet& alarms);
// One notice: {"alarm":"temp_low","state":"active","value":31.8,"unit":"F",
// "since":"...","time":"...","detail":"..."}, for <prefix>/alarm.
std::string AlarmNoticeJson(const AlarmNotice& notice);
