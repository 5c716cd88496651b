// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmsJson.h"

#include "AlarmSet.h"
#include "JsonObject.h"

namespace {
// AlarmValueText gives the unit's decimals and a point in every locale.
std::string ValueJson(const std::optional<double>& value, const std::string& unit) {
    if (!value) return "null";
    AlarmNotice notice;
    notice.value = value;
    notice.unit = unit;
    return AlarmValueText(notice);
}

std::string TimeJson(std::time_t time) {
    return time == 0 ? "null" : JsonQuoted(AlarmIsoTime(time));
}
}  // namespace

std::string AlarmsJson(const AlarmSet& alarms) {
    JsonObject all;
    for (const AlarmStatus& s : alarms.Statuses()) {
        JsonObject one;
        one.AddJson("active", s.active ? "true" : "false")
            .AddJson("value", ValueJson(s.value, s.unit))
            .AddString("unit", s.unit)
            .AddJson("since", TimeJson(s.since));
        all.AddJson(s.name, one.Text());
    }
    return all.Text();
}

std::string AlarmNoticeJson(const AlarmNotice& notice) {
    JsonObject json;
    json.AddString("alarm", notice.alarm)
        .AddString("state", AlarmStateWord(notice))
        .AddJson("value", ValueJson(notice.value, notice.unit))
        .AddString("unit", notice.unit)
        .AddJson("since", TimeJson(notice.since))
        .AddJson("time", TimeJson(notice.time))
        .AddString("detail", notice.detail);
    return json.Text();
}
