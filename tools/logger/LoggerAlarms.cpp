// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerAlarms.h"

#include <memory>
#include <ostream>

#include "AlarmMqtt.h"
#include "CommandNotifier.h"
#include "LiveOutputs.h"
#include "MailNotifier.h"
#include "StationPipeline.h"

namespace {
// A recording's time: the station's date and minute of its latest record,
// read as local time. mktime is slow, so it runs once a station day.
AlarmSet::Clock StationClock(const StationPipeline& pipeline) {
    struct Day {
        int year = -1, month = -1, day = -1;
        std::time_t midnight = 0;
    };
    auto wall = [&pipeline, cache = std::make_shared<Day>()] {
        const StationState& s = pipeline.state();
        Day& d = *cache;
        if (s.currentYear != d.year || s.currentDate.month != d.month ||
            s.currentDate.day != d.day) {
            std::tm t{};
            t.tm_year = s.currentYear - 1900;
            t.tm_mon = s.currentDate.month - 1;
            t.tm_mday = s.currentDate.day;
            t.tm_hour = 12;  // noon, then back: a change of summer time is no matter
            t.tm_isdst = -1;
            d = {s.currentYear, s.currentDate.month, s.currentDate.day,
                 std::mktime(&t) - 12 * 3600};
        }
        return d.midnight + 60 * (s.lastMinute < 0 ? 0 : s.lastMinute);
    };
    return {[wall] { return AlarmSet::Duration(static_cast<long long>(wall()) * 1000); }, wall};
}
}  // namespace

LoggerAlarms::LoggerAlarms(const LoggerOptions& options, Print print)
    : options_(options), replay_(false), print_(std::move(print)), set_(options.alarms) {
    set_.AddNotifier(*this);
}

LoggerAlarms::LoggerAlarms(const LoggerOptions& options, const StationPipeline& pipeline,
                           std::ostream& out)
    : options_(options),
      replay_(true),
      print_([&out](const std::string& line) { out << line << "\n"; }),
      set_(options.alarms, StationClock(pipeline)) {
    set_.AddNotifier(*this);
}

LoggerAlarms::~LoggerAlarms() = default;

bool LoggerAlarms::StartNotices(LiveOutputs& outputs) {
    const AlarmSettings& a = options_.alarms;
    auto report = [print = print_](const std::string& m) { print("nimbulo-logger: " + m); };
    bool ok = true;
    if (!a.command.empty()) {
        command_ = std::make_unique<CommandNotifier>(a.command, report);
        set_.AddNotifier(*command_);
    }
    if (a.mailOn()) {
        mail_ = std::make_unique<MailNotifier>(a, report);
        if (mail_->Start()) {
            set_.AddNotifier(*mail_);
        } else {
            mail_.reset();
            ok = false;
        }
    }
    if (MqttPublisher* publisher = outputs.mqtt()) {
        mqtt_ = std::make_unique<AlarmMqtt>(options_.mqtt, *publisher, set_);
        mqtt_->Start();
        set_.AddNotifier(*mqtt_);
    }
    return ok;
}

void LoggerAlarms::Notify(const AlarmNotice& notice) {
    if (!replay_) {
        print_("nimbulo-logger: alarm " + AlarmNoticeLine(notice));
        return;
    }
    // A recording's alarms as an owner tunes the lines by them: when each
    // started and ended.
    if (notice.kind == AlarmNotice::Kind::Started) {
        print_("alarm " + notice.alarm + " started " + AlarmTimeText(notice.since) +
               (notice.value && notice.unit != "min"
                    ? " at " + AlarmValueText(notice) + " " + notice.unit
                    : ""));
    } else if (notice.kind == AlarmNotice::Kind::Ended) {
        print_("alarm " + notice.alarm + " ended " + AlarmTimeText(notice.time));
    }
}
