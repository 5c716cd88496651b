// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger killed at random moments of a replay: the archive opens,
// passes SQLite's integrity check and holds a first part of the points.
// Killed live under load and started again: every data-log line has its point.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "ArchiveTestSupport.h"
#include "LiveLoggerRunner.h"
#include "ReportsTestSupport.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "ToolRunner.h"

namespace {
using namespace std::chrono_literals;

constexpr int kKills = 8;

// The points in time order, as "date time" keys; none while no table is there.
std::vector<std::string> PointKeys(const std::string& db) {
    // Opened as the next program opens it, which recovers the write-ahead log.
    SqliteDatabase database(db, SqliteDatabase::Mode::ReadWrite);
    SqliteStatement check(database.handle(), "PRAGMA integrity_check");
    EXPECT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
    SqliteStatement tables(database.handle(), "SELECT count(*) FROM sqlite_schema");
    tables.Step();
    std::vector<std::string> keys;
    if (tables.Int(0) == 0) return keys;
    SqliteStatement rows(database.handle(),
                         "SELECT station_date || ' ' || station_time FROM points ORDER BY 1");
    while (rows.Step()) keys.push_back(rows.Text(0));
    return keys;
}

class KilledReplay : public ToolRunner {};

TEST_F(KilledReplay, LeavesAnArchiveThatOpensWithAFirstPartOfThePoints) {
    const std::string recording = work + "/recording.txt";
    ASSERT_EQ(
        std::system(("bash '" NIMBULO_SOURCE_DIR "/bench/reports/make_recording.sh' 150000 >'" +
                     recording + "'")
                        .c_str()),
        0);
    const std::vector<std::string> args = {"--replay", recording, "--year", "2002", "--data-dir"};
    auto withDir = [&args](const std::string& dir) {
        std::vector<std::string> a = args;
        a.push_back(dir);
        return a;
    };
    const auto started = std::chrono::steady_clock::now();
    Start("logger", withDir(work + "/whole"));
    ASSERT_EQ(Wait("logger", std::chrono::seconds(120)), 0) << Err("logger");
    const auto runTime = std::chrono::steady_clock::now() - started;
    const std::vector<std::string> whole = PointKeys(work + "/whole/nimbulo.db");
    ASSERT_EQ(whole.size(), 150000u / 5);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(runTime).count());
    for (int k = 0; k < kKills; ++k) {
        const std::string dir = work + "/killed" + std::to_string(k);
        Start("logger", withDir(dir));
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        Signal("logger", SIGKILL);
        Wait("logger", std::chrono::seconds(30));
        if (!std::filesystem::exists(dir + "/nimbulo.db")) continue;
        const std::vector<std::string> kept = PointKeys(dir + "/nimbulo.db");
        SCOPED_TRACE("kill " + std::to_string(k) + ": " + std::to_string(kept.size()) + " points");
        ASSERT_LE(kept.size(), whole.size());
        EXPECT_TRUE(std::equal(kept.begin(), kept.end(), whole.begin()));
    }
}

class KilledLiveRun : public LiveLoggerRunner {
  protected:
    // The record five station minutes after the one before (so each is a
    // five-minute point), from minute_ of 2002 on.
    std::string NextRecord() {
        reports_test::Record r{1 + minute_ / 1440, minute_ % 1440};
        r.tempOutdoor = 300 + minute_ / 5 % 200;
        minute_ += 5;
        return r.Line() + "\r\n";
    }
    // Sends records until stopped, never blocking on a reader that is gone.
    void Feed(PtyPair& pty, const std::atomic<bool>& stop) {
        fcntl(pty.master, F_SETFL, O_NONBLOCK);
        std::string pending;
        while (!stop) {
            if (pending.empty()) pending = NextRecord();
            const ssize_t n = write(pty.master, pending.data(), pending.size());
            if (n > 0)
                pending.erase(0, std::size_t(n));
            else
                std::this_thread::sleep_for(1ms);
        }
    }
    std::size_t LinesLogged() {
        if (!std::filesystem::exists(work + "/OutputData")) return 0;
        return archive_test::DataLogLines(work).size();
    }

    int minute_ = 0;
};

TEST_F(KilledLiveRun, LeavesNoDataLogLineWithoutItsPointOnceStartedAgain) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int k = 0; k < kKills / 2; ++k) {
        const std::size_t killAt =
            LinesLogged() + std::uniform_int_distribution<std::size_t>(5, 250)(random);
        const auto pty = StartLive({"--year", "2002"});
        ASSERT_TRUE(pty) << Err("logger");
        std::atomic<bool> stop = false;
        std::thread feeder([&] { Feed(*pty, stop); });
        // Killed while it writes, after a random number of its points.
        const bool reached = WaitFor([&] { return LinesLogged() >= killAt; }, 60s);
        Signal("logger", SIGKILL);
        Wait("logger", 30s);
        stop = true;
        feeder.join();
        ASSERT_TRUE(reached) << Err("logger");
        minute_ += 24 * 60;  // the next run a day later, in a data log of its own
    }
    const auto pty = StartLive({"--year", "2002"});
    ASSERT_TRUE(pty) << Err("logger");
    const std::size_t before = LinesLogged();
    ASSERT_TRUE(pty->Write(NextRecord() + NextRecord()));
    ASSERT_TRUE(WaitFor([&] { return LinesLogged() >= before + 2; }, 30s)) << Err("logger");
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 30s), 0) << Err("logger");

    std::vector<std::string> logged, archived;
    for (const auto& [key, values] : archive_test::DataLogLines(work)) logged.push_back(key);
    for (const std::string& key : PointKeys(work + "/nimbulo.db")) archived.push_back(key);
    EXPECT_EQ(archived, logged);
}

}  // namespace
