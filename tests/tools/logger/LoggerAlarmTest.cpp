// SPDX-License-Identifier: GPL-3.0-or-later
// The alarms of nimbulo-logger: a live run on a pseudo-terminal that goes
// quiet, with a command that hangs and a mail server that never answers, and
// a replay that prints the alarms a recording would have raised.
#include <gtest/gtest.h>
#include <sys/eventfd.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "../../core/TempDir.h"
#include "AlarmSet.h"
#include "CommandNotifier.h"
#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "LiveLogging.h"
#include "LoggerRun.h"
#include "LoopbackServer.h"
#include "MailNotifier.h"
#include "PtyPair.h"
#include "StationPipeline.h"
#include "ToolRunner.h"

namespace {
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Notices as "<alarm> <state>" lines, waited for.
class Notices : public AlarmNotifier, public RecordListener {
  public:
    void Notify(const AlarmNotice& n) override {
        std::lock_guard lock(mutex_);
        text_ += n.alarm + " " + AlarmStateWord(n) + "\n";
    }
    void OnRecord(const StationState& state) override {
        lastMinute = state.lastMinute;
        ++records;
    }
    bool Has(const std::string& line) {
        std::lock_guard lock(mutex_);
        return text_.find(line + "\n") != std::string::npos;
    }
    std::atomic<int> records{0};
    std::atomic<int> lastMinute{-1};

  private:
    std::mutex mutex_;
    std::string text_;
};

std::string Line(int minute) {
    reports_test::Record r;
    r.minuteOfDay = minute;
    return r.Line() + "\r\n";
}

TEST(LoggerAlarms,
     AQuietLineIsSilentAfterItsMinutesWhileAHungCommandAndAStalledMailServerHoldUpNothing) {
    // Takes the connection and never says a word.
    LoopbackServer stalled([](LoopbackServer& s, int fd) {
        s.Record("connected");
        LoopbackServer::ReadLine(fd);
    });
    const fs::path script = fs::path(testing::TempDir()) / "alarm-hangs.sh";
    std::ofstream(script) << "#!/bin/sh\nexec sleep 600\n";
    fs::permissions(script, fs::perms::owner_all);

    AlarmSettings settings;
    settings.silentMinutes = 10;
    settings.smtpServer = stalled.address();
    settings.mailFrom = "station@example.org";
    settings.mailTo = "owner@example.org";
    std::atomic<long> minute{0};
    AlarmSet alarms(settings, {[&] { return AlarmSet::Duration(minute * 60'000); },
                               [&] { return std::time_t(1'800'000'000) + minute * 60; }});
    Notices notices;
    CommandNotifier command(script.string(), [](const std::string&) {});
    MailNotifier mail(settings, [](const std::string&) {});
    ASSERT_TRUE(mail.Start());
    alarms.AddNotifier(notices);
    alarms.AddNotifier(command);
    alarms.AddNotifier(mail);

    HeadlessView view;
    HeadlessChart chart;
    StationPipeline pipeline(view, chart);
    pipeline.AddRecordListener(notices);
    PtyPair pty;
    LiveLinkSettings link;
    link.alarms = &alarms;
    link.alarmTick = 20ms;
    const int stop = eventfd(0, EFD_CLOEXEC);
    std::ostringstream out, err;
    std::thread logger([&] { RunLiveLogging(pipeline, pty.slavePath, 1, link, stop, out, err); });

    // The device is flushed when it opens: sent again until one is taken.
    ASSERT_TRUE(WaitFor([&] { return pty.Write(Line(1)) && notices.records > 0; }, 10s));
    // Behind any of those still on their way.
    ASSERT_TRUE(pty.Write(Line(2)));
    ASSERT_TRUE(WaitFor([&] { return notices.lastMinute == 2; }, 10s));
    minute = 10;
    ASSERT_TRUE(WaitFor([&] { return notices.Has("silent active"); }, 10s));
    EXPECT_FALSE(notices.Has("silent ended"));
    ASSERT_TRUE(stalled.WaitForRecords(1));
    EXPECT_EQ(command.Running(), 1);
    // The command hangs and the server is mute: the records go on all the same.
    const int before = notices.records;
    for (int i = 3; i < 41; ++i) ASSERT_TRUE(pty.Write(Line(i)));
    ASSERT_TRUE(WaitFor([&] { return notices.records >= before + 38; }, 10s));
    EXPECT_TRUE(notices.Has("silent ended"));
    EXPECT_EQ(command.Running(), 1);

    const uint64_t one = 1;
    ASSERT_EQ(write(stop, &one, sizeof one), ssize_t(sizeof one));
    logger.join();
    close(stop);
    EXPECT_NE(out.str().find("records accepted: "), std::string::npos);
}

// Two station days of a frost night and a gale in a recording.
TEST(LoggerAlarms, AReplayPrintsTheAlarmsTheRecordingWouldHaveRaisedWithTheirTimesAndSendsNothing) {
    TempDir dir;
    dir.Enter();
    std::ostringstream rec;
    {
        for (int m = 0; m < 120; ++m) {
            reports_test::Record r;
            r.dayOfYear = 10;
            r.minuteOfDay = 180 + m;                            // 03:00 to 04:59
            r.tempOutdoor = m < 30 ? 340 : m < 80 ? 315 : 335;  // 34, 31.5, 33.5 F
            r.windSpeed = m == 100 ? 900 : 100;                 // one gust of 55.8 mph
            if (m >= 60 && m < 75) continue;                    // the station quiet for 15 min
            rec << r.Line() << "\r\n";
        }
    }
    const fs::path recording = dir.Write("night.txt", rec.str());
    const fs::path config = dir.Write("nimbulo.conf",
                                      "[Alarms]\nEnabled=1\nTempLowF=32\nGustHighMph=50\n"
                                      "SilentMinutes=10\nCommand=/bin/false\n");
    const LoggerRun run = RunLogger("--config '" + config.string() + "' --replay '" +
                                    recording.string() + "' --year 2026");
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string expected =
        "alarm temp_low started 2026-01-10 03:30 at 31.5 F\n"
        "alarm silent started 2026-01-10 04:09\n"
        "alarm silent ended 2026-01-10 04:15\n"
        "alarm temp_low ended 2026-01-10 04:20\n"
        "alarm gust_high started 2026-01-10 04:40 at 55.8 mph\n"
        "alarm gust_high ended 2026-01-10 04:41\n";
    EXPECT_EQ(run.out.substr(0, run.out.find("lines read")), expected) << run.out;
    EXPECT_EQ(run.err, "");
}
}  // namespace
