// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <optional>
#include <string>

// One notice of one alarm, as every way of telling the owner gets it.
struct AlarmNotice {
    enum class Kind { Started, Repeated, Ended, Test };

    std::string alarm;  // "silent", "files", "uploads", "temp_high", ...
    Kind kind = Kind::Started;
    std::optional<double> value;  // in the unit below; none when unknown
    std::string unit;             // "F", "mph", "in", "inHg", "%", "min"
    std::time_t since = 0;        // when it became active
    std::time_t time = 0;         // of this notice
    std::string detail;           // the file or network and its fault, if any
    std::string readings;         // the station's current readings, one line

    bool active() const { return kind != Kind::Ended; }
};

// "active", "active" again on a repeat, "ended" or "test".
const char* AlarmStateWord(const AlarmNotice& notice);
// The value with its unit's decimals ("31.8"), or "" when there is none.
std::string AlarmValueText(const AlarmNotice& notice);
// value with decimals and a point in every locale ("31.8").
std::string AlarmNumberText(double value, int decimals);
// "2026-12-10 03:15" in local time.
std::string AlarmTimeText(std::time_t time);
// ISO 8601 local time with its offset, "2026-12-10T03:15:00+01:00".
std::string AlarmIsoTime(std::time_t time);
// One line for a person: "temp_low active since 2026-12-10 03:15: 31.8 F".
std::string AlarmNoticeLine(const AlarmNotice& notice);

// Told of every notice, from whichever thread made it; must return quickly.
class AlarmNotifier {
  public:
    virtual ~AlarmNotifier() = default;
    virtual void Notify(const AlarmNotice& notice) = 0;
};
