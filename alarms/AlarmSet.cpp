// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSet.h"

#include <algorithm>

namespace {
using Minutes = std::chrono::minutes;

// A weather line: where its value comes from, which way it is crossed, and
// by how much it must clear before the alarm ends.
struct WeatherLine {
    const char* name;
    std::optional<double> AlarmSettings::*line;
    bool high;  // raised at or above the line, else at or below
    double margin;
    const char* unit;
    std::optional<double> (*value)(const StationState&);
};

// -1 marks a field the record did not send.
bool Sent(const StationState& s, int field) {
    return s.raw.Field(field) != -1;
}

std::optional<double> Reading(bool sent, double value) {
    return sent ? std::optional<double>(value) : std::nullopt;
}

const WeatherLine kWeather[] = {
    {"temp_high", &AlarmSettings::tempHighF, true, 1.0, "F",
     [](const StationState& s) { return Reading(Sent(s, 3), s.tempOutdoor); }},
    {"temp_low", &AlarmSettings::tempLowF, false, 1.0, "F",
     [](const StationState& s) { return Reading(Sent(s, 3), s.tempOutdoor); }},
    {"gust_high", &AlarmSettings::gustHighMph, true, 2.0, "mph",
     // The five-minute point starts the gust again before the listeners
     // hear of its record: that record's own speed counts too.
     [](const StationState& s) { return Reading(Sent(s, 1), std::max(s.gust, s.windSpeed)); }},
    {"rain_hour", &AlarmSettings::rainHourIn, true, 0.01, "in",
     [](const StationState& s) { return s.derived.rainLastHour; }},
    {"pressure_drop", &AlarmSettings::pressureDrop3hInHg, false, 0.01, "inHg",
     [](const StationState& s) { return s.derived.pressureChange3h; }},
    {"humidity_high", &AlarmSettings::humidityHighPct, true, 2.0, "%",
     [](const StationState& s) { return Reading(Sent(s, 7), s.humidityOutdoor); }},
};

constexpr std::size_t kSilent = 0;
constexpr std::size_t kFiles = 1;
constexpr std::size_t kUploads = 2;
constexpr std::size_t kFirstWeather = 3;

// Values a hair off the line by binary fractions still count as on it.
constexpr double kEpsilon = 1e-9;

// The readings the record sent, for a mail.
std::string ReadingsLine(const StationState& s) {
    struct Part {
        const char* name;
        int field;
        double value;
        int decimals;
        const char* unit;
    };
    const Part parts[] = {
        {"outdoor", 3, s.tempOutdoor, 1, " F"},  {"humidity", 7, s.humidityOutdoor, 0, " %"},
        {"wind", 1, s.windSpeed, 1, " mph"},     {"gust", 1, s.gust, 1, " mph"},
        {"pressure", 5, s.pressure, 3, " inHg"}, {"rain today", 11, s.rainToday, 2, " in"}};
    std::string line;
    for (const Part& p : parts) {
        if (!Sent(s, p.field)) continue;
        if (!line.empty()) line += ", ";
        line += std::string(p.name) + " " + AlarmNumberText(p.value, p.decimals) + p.unit;
    }
    return line;
}

double MinutesOf(AlarmSet::Duration d) {
    return static_cast<double>(std::chrono::duration_cast<Minutes>(d).count());
}
}  // namespace

AlarmSet::Clock AlarmSet::SystemClock() {
    return {[] {
                return std::chrono::duration_cast<Duration>(
                    std::chrono::steady_clock::now().time_since_epoch());
            },
            [] { return std::time(nullptr); }};
}

const std::vector<std::string>& AlarmSet::Names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all{"silent", "files", "uploads"};
        for (const WeatherLine& w : kWeather) all.emplace_back(w.name);
        return all;
    }();
    return names;
}

AlarmSet::AlarmSet(AlarmSettings settings, Clock clock)
    : settings_(std::move(settings)), clock_(std::move(clock)) {
    const char* units[] = {"min", "min", "min"};
    for (std::size_t i = 0; i < Names().size(); ++i) {
        Alarm alarm;
        alarm.status.name = Names()[i];
        alarm.status.unit = i < 3 ? units[i] : kWeather[i - 3].unit;
        alarms_.push_back(std::move(alarm));
    }
}

// In the order of Names(): the three of the station, then the weather lines.
AlarmSet::Alarm& AlarmSet::At(std::size_t index) {
    return alarms_[index];
}

AlarmNotice AlarmSet::Notice(const Alarm& alarm, AlarmNotice::Kind kind) const {
    AlarmNotice notice;
    notice.alarm = alarm.status.name;
    notice.kind = kind;
    notice.value = alarm.status.value;
    notice.unit = alarm.status.unit;
    notice.since = alarm.status.since;
    notice.time = clock_.wall();
    notice.detail = alarm.detail;
    if (haveRecord_) notice.readings = ReadingsLine(latest_);
    return notice;
}

// holds: the condition is met; cleared: it is off by the margin. Neither
// (between the two) keeps the alarm as it is.
// since: when the condition began to hold, if earlier than now.
void AlarmSet::Evaluate(Alarm& alarm, bool holds, bool cleared, std::optional<double> value,
                        Duration now, Notices& out, std::time_t since) {
    AlarmStatus& s = alarm.status;
    if (value) s.value = value;
    if (!s.active && holds) {
        s.active = true;
        s.since = since != 0 ? since : clock_.wall();
        alarm.lastNotice = now;
        out.push_back(Notice(alarm, AlarmNotice::Kind::Started));
    } else if (s.active && cleared) {
        s.active = false;
        out.push_back(Notice(alarm, AlarmNotice::Kind::Ended));
        s.since = 0;
        alarm.detail.clear();
    }
}

void AlarmSet::Weather(const StationState& state, Duration now, Notices& out) {
    for (std::size_t i = 0; i < std::size(kWeather); ++i) {
        const WeatherLine& w = kWeather[i];
        const std::optional<double> line = settings_.*w.line;
        if (!line) continue;
        const std::optional<double> value = w.value(state);
        if (!value) continue;
        // The pressure drop is a low line at minus the setting.
        const double at =
            w.high ? *line : (std::string_view(w.name) == "pressure_drop" ? -*line : *line);
        const bool holds = w.high ? *value >= at - kEpsilon : *value <= at + kEpsilon;
        const bool cleared =
            w.high ? *value <= at - w.margin + kEpsilon : *value >= at + w.margin - kEpsilon;
        Evaluate(At(kFirstWeather + i), holds, cleared, value, now, out);
    }
}

void AlarmSet::FaultAlarm(std::size_t index, const std::map<std::string, Fault>& faults,
                          int minutes, Duration now, Notices& out) {
    Alarm& alarm = At(index);
    const Fault* oldest = nullptr;
    std::string detail;
    for (const auto& [what, fault] : faults) {
        if (!oldest || fault.since < oldest->since) oldest = &fault;
        if (now - fault.since >= Minutes(minutes)) {
            if (!detail.empty()) detail += "; ";
            detail += what + ": " + fault.cause;
        }
    }
    const bool holds = !detail.empty();
    if (holds) alarm.detail = detail;
    Evaluate(alarm, holds, faults.empty(),
             oldest ? std::optional<double>(MinutesOf(now - oldest->since)) : std::nullopt, now,
             out);
}

void AlarmSet::Timed(Duration now, Notices& out) {
    if (reading_) {
        const Duration quiet = now - lastRecord_;
        const Duration over = quiet - Minutes(settings_.silentMinutes);
        Alarm& silent = At(kSilent);
        if (over >= Duration(0) || silent.status.active) {
            // Silent from the minute it became so, even when only a replay's next record tells.
            const std::time_t since =
                clock_.wall() - std::chrono::duration_cast<std::chrono::seconds>(over).count();
            Evaluate(silent, over >= Duration(0), false, MinutesOf(quiet), now, out, since);
        }
    }
    FaultAlarm(kFiles, fileFaults_, settings_.fileFaultMinutes, now, out);
    FaultAlarm(kUploads, uploadFaults_, settings_.uploadFaultMinutes, now, out);
}

void AlarmSet::Repeats(Duration now, Notices& out) {
    for (Alarm& alarm : alarms_) {
        if (!alarm.status.active || now - alarm.lastNotice < Minutes(settings_.repeatMinutes))
            continue;
        alarm.lastNotice = now;
        out.push_back(Notice(alarm, AlarmNotice::Kind::Repeated));
    }
}

void AlarmSet::AddNotifier(AlarmNotifier& notifier) {
    std::lock_guard lock(notifiersMutex_);
    notifiers_.push_back(&notifier);
}

void AlarmSet::RemoveNotifier(AlarmNotifier& notifier) {
    std::lock_guard lock(notifiersMutex_);
    std::erase(notifiers_, &notifier);
}

void AlarmSet::Tell(const Notices& notices) {
    if (notices.empty()) return;
    std::lock_guard lock(notifiersMutex_);
    for (const AlarmNotice& notice : notices) {
        for (AlarmNotifier* notifier : notifiers_) notifier->Notify(notice);
    }
}

void AlarmSet::ReadingStarted() {
    std::lock_guard lock(mutex_);
    if (reading_) return;
    reading_ = true;
    lastRecord_ = clock_.monotonic();
}

void AlarmSet::ReadingStopped() {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        reading_ = false;
        Evaluate(At(kSilent), false, true, std::nullopt, clock_.monotonic(), out);
    }
    Tell(out);
}

void AlarmSet::OnRecord(const StationState& state) {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        const Duration now = clock_.monotonic();
        // Kept as it is; put in words only for a notice.
        latest_ = state;
        haveRecord_ = true;
        // A replay has no ticks: the gap before this record is judged first.
        Timed(now, out);
        reading_ = true;
        lastRecord_ = now;
        Evaluate(At(kSilent), false, true, std::nullopt, now, out);
        Weather(state, now, out);
        Repeats(now, out);
    }
    Tell(out);
}

void AlarmSet::FileFailed(const std::string& file, const std::string& cause) {
    std::lock_guard lock(mutex_);
    fileFaults_.try_emplace(file, Fault{clock_.monotonic(), cause});
}

void AlarmSet::FileRecovered(const std::string& file) {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        fileFaults_.erase(file);
        FaultAlarm(kFiles, fileFaults_, settings_.fileFaultMinutes, clock_.monotonic(), out);
    }
    Tell(out);
}

void AlarmSet::UploadFailed(const std::string& network, const std::string& cause) {
    std::lock_guard lock(mutex_);
    uploadFaults_.try_emplace(network, Fault{clock_.monotonic(), cause});
}

void AlarmSet::UploadRecovered(const std::string& network) {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        uploadFaults_.erase(network);
        FaultAlarm(kUploads, uploadFaults_, settings_.uploadFaultMinutes, clock_.monotonic(), out);
    }
    Tell(out);
}

void AlarmSet::Tick() {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        const Duration now = clock_.monotonic();
        Timed(now, out);
        Repeats(now, out);
    }
    Tell(out);
}

void AlarmSet::SendTest() {
    Notices out;
    {
        std::lock_guard lock(mutex_);
        Alarm test;
        test.status.name = "test";
        test.detail = "a test of the alarm notices";
        out.push_back(Notice(test, AlarmNotice::Kind::Test));
    }
    Tell(out);
}

std::vector<AlarmStatus> AlarmSet::Statuses() const {
    std::lock_guard lock(mutex_);
    std::vector<AlarmStatus> all;
    for (const Alarm& alarm : alarms_) all.push_back(alarm.status);
    return all;
}
