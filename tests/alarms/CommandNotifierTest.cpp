// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "CommandNotifier.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono;

// The notifier's reports, waited for rather than slept on.
class Reports {
  public:
    CommandNotifier::Reporter Sink() {
        return [this](const std::string& m) {
            std::lock_guard lock(mutex_);
            lines_.push_back(m);
            changed_.notify_all();
        };
    }
    std::string WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, seconds(20), [&] { return lines_.size() >= count; });
        return lines_.size() >= count ? lines_[count - 1] : "";
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

// A script in a folder whose name no shell would take as it is.
fs::path Script(const std::string& body) {
    const fs::path dir = fs::path(testing::TempDir()) / "it's a \"dir\"; rm -rf x";
    fs::create_directories(dir);
    const fs::path path = dir / ("alarm " + std::to_string(getpid()) + ".sh");
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CommandNotifier,
     HandsTheNoticeOverIntactWithoutAShellAndReportsAFailureWithItsFirstErrorLine) {
    const fs::path out = fs::path(testing::TempDir()) / "alarm-env.txt";
    fs::remove(out);
    const fs::path script = Script(
        "printf '%s|%s|%s|%s' \"$NIMBULO_ALARM\" \"$NIMBULO_ALARM_STATE\" "
        "\"$NIMBULO_ALARM_VALUE\" \"$NIMBULO_ALARM_TIME\" > " +
        out.string() + ".tmp && mv " + out.string() + ".tmp " + out.string() +
        "\necho 'mail box full' >&2\necho more >&2\nexit 3\n");
    Reports reports;
    CommandNotifier command(script.string(), reports.Sink());
    AlarmNotice notice;
    notice.alarm = "x'; rm -rf \"$HOME\" `id`\nsecond line";
    notice.value = 31.84;
    notice.unit = "F";
    notice.since = 1'800'000'000;
    command.Notify(notice);
    const std::string report = reports.WaitFor(1);
    EXPECT_NE(report.find("failed (exit status 3): mail box full"), std::string::npos) << report;
    EXPECT_EQ(report.find("more"), std::string::npos);
    const std::string env = ReadFile(out);
    EXPECT_EQ(env.substr(0, env.rfind('|')), notice.alarm + "|active|31.8") << env;
    EXPECT_EQ(env.substr(env.rfind('|') + 1, 11), "2027-01-15T");
}

TEST(CommandNotifier, AHungCommandIsKilledAfterItsTimeAndRunsOncePerAlarmWhileTheCallerGoesOn) {
    const fs::path pidFile = fs::path(testing::TempDir()) / "alarm-hung.pid";
    fs::remove(pidFile);
    // A child of its own that hangs too: the whole group goes.
    const fs::path script = Script("sleep 600 &\necho $! > " + pidFile.string() + "\nwait\n");
    Reports reports;
    CommandNotifier command(script.string(), reports.Sink(), seconds(1));
    AlarmNotice notice;
    notice.alarm = "silent";
    const auto start = steady_clock::now();
    command.Notify(notice);
    command.Notify(notice);
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));  // never waits for the command
    EXPECT_EQ(reports.WaitFor(1),
              "alarm command for silent still running; this notice is not "
              "passed to it");
    EXPECT_NE(reports.WaitFor(2).find("killed after 1 s"), std::string::npos) << reports.WaitFor(2);
    const int child = std::stoi(ReadFile(pidFile));
    // The sleeping child was killed with its group: gone, or a zombie until it is reaped.
    std::string state = "S";
    for (const auto until = steady_clock::now() + seconds(10);
         !(state.empty() || state == "Z") && steady_clock::now() < until;) {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string pid, name;
        state.clear();
        stat >> pid >> name >> state;
    }
    EXPECT_TRUE(state.empty() || state == "Z") << state;
    EXPECT_EQ(command.Running(), 0);
}
}  // namespace
