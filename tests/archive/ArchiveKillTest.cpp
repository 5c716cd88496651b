// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger killed at random moments of a replay: the archive opens,
// passes SQLite's integrity check and holds a first part of the points.
#include <gtest/gtest.h>

#include <random>

#include "ArchiveTestSupport.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "ToolRunner.h"

namespace {

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

}  // namespace
