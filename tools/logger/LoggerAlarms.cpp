// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerAlarms.h"

#include <ostream>

#include "AlarmMqtt.h"
#include "CommandNotifier.h"
#include "LiveOutputs.h"
#include "MailNotifier.h"
#include "StationPipeline.h"

namespace {
// A recording's time: the station's date and minute of its latest record,
// read as local time.
AlarmSet::Clock StationClock(const StationPipeline& pipeline) {
    auto wall = [&pipeline] {
        const StationState& s = pipeline.state();
        std::tm t{};
        t.tm_year = s.currentYear - 1900;
        t.tm_mon = s.currentDate.month - 1;
        t.tm_mday = s.currentDate.day;
        t.tm_min = s.lastMinute < 0 ? 0 : s.lastMinute;
        t.tm_isdst = -1;
        return std::mktime(&t);
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
