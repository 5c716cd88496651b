// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AlarmSet.h"
#include "UploadFaultWatch.h"

namespace {
using namespace std::chrono;

// Every notice as "<alarm> <started|repeated|ended>", in order.
class NoticeLog : public AlarmNotifier {
  public:
    void Notify(const AlarmNotice& n) override {
        const char* kinds[] = {"started", "repeated", "ended", "test"};
        if (!text.empty()) text += ", ";
        text += n.alarm + " " + kinds[static_cast<int>(n.kind)];
        last = n;
    }
    std::string Take() { return std::exchange(text, {}); }
    std::string text;
    AlarmNotice last;
};

struct Fixture {
    explicit Fixture(AlarmSettings settings)
        : alarms(std::move(settings),
                 {[this] { return duration_cast<milliseconds>(minutes(minute)); },
                  [this] { return std::time_t(1'800'000'000) + minute * 60; }}) {
        alarms.AddNotifier(log);
    }
    long minute = 0;
    NoticeLog log;
    AlarmSet alarms;
};

// A record whose reading for the alarm is value; nullopt sends no such reading.
StationState RecordFor(const std::string& alarm, std::optional<double> value) {
    StationState s;
    const double v = value.value_or(0.0);
    const int field = alarm.rfind("temp", 0) == 0 ? 3 : alarm == "gust_high" ? 1 : 7;
    if (!value) s.raw.Field(field) = -1;
    s.tempOutdoor = s.gust = s.humidityOutdoor = v;
    if (alarm == "rain_hour") s.derived.rainLastHour = value;
    if (alarm == "pressure_drop") s.derived.pressureChange3h = value;
    return s;
}

struct Step {
    long minute;
    std::optional<double> value;
    const char* notices;  // what this record makes the alarm say
};
struct Sequence {
    const char* what;
    const char* alarm;
    std::function<void(AlarmSettings&)> line;
    std::vector<Step> steps;
};

TEST(AlarmSet, WeatherLinesStartAtTheLineEndOnlyPastTheMarginRepeatAndIgnoreAbsentReadings) {
    const auto no = std::nullopt;
    const std::vector<Sequence> table = {
        {"frost with a hovering value",
         "temp_low",
         [](AlarmSettings& s) { s.tempLowF = 32; },
         {{0, 33, ""},
          {5, 32, "temp_low started"},
          {10, 32.5, ""},
          {15, 31, ""},
          {20, 32.9, ""},
          {25, 33, "temp_low ended"},
          {30, 32.4, ""},
          {35, 32, "temp_low started"}}},
        {"heat, absent readings change nothing",
         "temp_high",
         [](AlarmSettings& s) { s.tempHighF = 95; },
         {{0, 94, ""},
          {5, no, ""},
          {10, 95, "temp_high started"},
          {15, no, ""},
          {20, 94.5, ""},
          {25, 94, "temp_high ended"}}},
        {"gust",
         "gust_high",
         [](AlarmSettings& s) { s.gustHighMph = 40; },
         {{0, 39.9, ""}, {1, 40, "gust_high started"}, {2, 38.5, ""}, {3, 38, "gust_high ended"}}},
        {"humidity",
         "humidity_high",
         [](AlarmSettings& s) { s.humidityHighPct = 95; },
         {{0, 95, "humidity_high started"}, {1, 93.5, ""}, {2, 93, "humidity_high ended"}}},
        {"rain in the last hour",
         "rain_hour",
         [](AlarmSettings& s) { s.rainHourIn = 0.5; },
         {{0, no, ""},
          {1, 0.49, ""},
          {2, 0.5, "rain_hour started"},
          {3, 0.495, ""},
          {4, 0.49, "rain_hour ended"}}},
        {"pressure falling",
         "pressure_drop",
         [](AlarmSettings& s) { s.pressureDrop3hInHg = 0.06; },
         {{0, -0.05, ""},
          {1, -0.06, "pressure_drop started"},
          {2, -0.055, ""},
          {3, -0.05, "pressure_drop ended"}}},
        {"repeats every hour while it lasts",
         "temp_low",
         [](AlarmSettings& s) { s.tempLowF = 32; },
         {{0, 30, "temp_low started"},
          {30, 30, ""},
          {59, 30, ""},
          {60, 29, "temp_low repeated"},
          {119, 29, ""},
          {120, 29, "temp_low repeated"},
          {121, 40, "temp_low ended"}}},
        {"a line left empty is off",
         "temp_low",
         [](AlarmSettings&) {},
         {{0, -40, ""}, {5, 200, ""}}},
    };
    for (const Sequence& sequence : table) {
        AlarmSettings settings;
        settings.silentMinutes = 10080;  // records an hour apart are no silence here
        sequence.line(settings);
        Fixture f(settings);
        for (const Step& step : sequence.steps) {
            f.minute = step.minute;
            f.alarms.OnRecord(RecordFor(sequence.alarm, step.value));
            EXPECT_EQ(f.log.Take(), step.notices) << sequence.what << ", minute " << step.minute;
        }
    }
}

TEST(AlarmSet, SilenceFileFaultsAndUploadFaultsStartAfterTheirMinutesAndEndWhenTheyClear) {
    AlarmSettings settings;
    settings.repeatMinutes = 60;
    Fixture f(settings);
    const StationState record = RecordFor("temp_low", 50);
    // At each minute, what happens, then what the tick after it says.
    const std::vector<std::tuple<long, std::function<void()>, const char*>> table = {
        {0, [&] { f.alarms.ReadingStarted(); }, ""},
        {9, [] {}, ""},
        {10, [] {}, "silent started"},
        {12, [&] { f.alarms.OnRecord(record); }, "silent ended"},
        {13,
         [&] {
             f.alarms.ReadingStopped();
             f.alarms.FileFailed("OutputData/U2K.txt", "No space left on device");
         },
         ""},
        {27, [] {}, ""},
        {28, [] {}, "files started"},
        {30, [&] { f.alarms.FileRecovered("OutputData/U2K.txt"); }, "files ended"},
        {31,
         [&] {
             WatchOutputFault({"CWOP", true, "upload failed (refused); trying again later"},
                              f.alarms);
             WatchOutputFault({"MQTT", true, "no connection to 127.0.0.1:1 (refused)"}, f.alarms);
         },
         ""},
        {91,
         [&] {
             WatchOutputFault({"MQTT", false, "connected to 127.0.0.1:1 again"}, f.alarms);
         },
         "uploads started"},
        {151, [] {}, "uploads repeated"},
        {153,
         [&] {
             WatchOutputFault({"CWOP", false, "uploading again"}, f.alarms);
         },
         "uploads ended"},
        {300, [] {}, ""},
    };
    for (const auto& [minute, action, notices] : table) {
        f.minute = minute;
        action();
        f.alarms.Tick();
        EXPECT_EQ(f.log.Take(), notices) << "minute " << minute;
    }
}

TEST(AlarmSet, NoticeCarriesValueSinceAndALineForAPerson) {
    AlarmSettings settings;
    settings.tempLowF = 32;
    Fixture f(settings);
    f.minute = 7;
    f.alarms.OnRecord(RecordFor("temp_low", 31.84));
    EXPECT_EQ(AlarmValueText(f.log.last), "31.8");
    EXPECT_EQ(f.log.last.since, 1'800'000'000 + 7 * 60);
    EXPECT_EQ(AlarmNoticeLine(f.log.last).substr(0, 26), "temp_low active since 2027");
    const auto statuses = f.alarms.Statuses();
    ASSERT_EQ(statuses.size(), AlarmSet::Names().size());
    EXPECT_TRUE(statuses[3 + 1].active);  // temp_low, after silent, files, uploads, temp_high
}

TEST(AlarmSettings, KeysTakeGoodValuesAndNameTheWrongOnes) {
    AlarmSettings s;
    EXPECT_EQ(ApplyAlarmSetting(s, "TempLowF", " 28.5 "), "");
    EXPECT_EQ(s.tempLowF, 28.5);
    EXPECT_EQ(ApplyAlarmSetting(s, "TempLowF", ""), "");
    EXPECT_FALSE(s.tempLowF);
    EXPECT_EQ(ApplyAlarmSetting(s, "SilentMinutes", "0"),
              "SilentMinutes needs a whole number of minutes from 1 to 10080");
    EXPECT_EQ(ApplyAlarmSetting(s, "GustHighMph", "4O"),
              "GustHighMph needs a number from 1 to 250, or nothing for off");
    EXPECT_EQ(ApplyAlarmSetting(s, "SmtpServer", "mail.example"), "SmtpServer needs host:port");
    EXPECT_EQ(ApplyAlarmSetting(s, "SmtpServer", "127.0.0.1:2525"), "");
}
}  // namespace
