// SPDX-License-Identifier: GPL-3.0-or-later
// A run killed between its data log's line and the archive's commit leaves
// lines the archive lacks: the next live start takes them from the data logs.
#include <gtest/gtest.h>

#include <fstream>

#include "ArchiveTestSupport.h"
#include "LiveLoggerRunner.h"
#include "ReportsTestSupport.h"
#include "SqliteDatabase.h"

namespace {
using namespace std::chrono_literals;
using namespace archive_test;

// Records a station minute apart on 2002-12-05 from `from` to `to`, as sent.
std::string Records(int from, int to) {
    std::string text;
    for (int minute = from; minute <= to; ++minute) {
        reports_test::Record r{339, minute};
        r.tempOutdoor = 400 + minute % 17;
        text += r.Line() + "\r\n";
    }
    return text;
}

template <typename Map>
std::vector<std::string> Keys(const Map& map) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : map) keys.push_back(key);
    return keys;
}

class ArchiveCatchUp : public LiveLoggerRunner {};

TEST_F(ArchiveCatchUp, ALiveStartGivesEveryDataLogLineItsPoint) {
    std::ofstream(work + "/before.txt") << Records(600, 630);
    Start("logger", {"--replay", work + "/before.txt", "--year", "2002"});
    ASSERT_EQ(Wait("logger", 30s), 0) << Err("logger");
    // What a kill leaves: the data log has its lines, the archive lost its last commits.
    SqliteDatabase(work + "/nimbulo.db", SqliteDatabase::Mode::ReadWrite)
        .Execute("DELETE FROM points WHERE station_time > '10:15'");
    ASSERT_EQ(ArchivePoints(work + "/nimbulo.db").size(), 4u);

    const auto pty = StartLive({"--year", "2002"});
    ASSERT_TRUE(pty) << Err("logger");
    ASSERT_TRUE(pty->Write(Records(631, 641)));
    ASSERT_TRUE(WaitFor([&] { return DataLogLines(work).contains("2002-12-05 10:40"); }, 30s))
        << Err("logger");
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", 30s), 0) << Err("logger");

    const auto points = ArchivePoints(work + "/nimbulo.db");
    ASSERT_EQ(Keys(points), Keys(DataLogLines(work)));
    EXPECT_TRUE(points.at("2002-12-05 10:40").writtenUtc) << "this run's own point, not the log's";
    EXPECT_FALSE(points.at("2002-12-05 10:20").writtenUtc) << "taken from the data log";
}

}  // namespace
