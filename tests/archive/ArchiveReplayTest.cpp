// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger replays recordings; the archive is checked against the data
// logs of the same run and against highs and lows worked out here from the
// recording's records.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "ArchiveTestSupport.h"
#include "HeadlessView.h"
#include "RecordProcessor.h"
#include "ReportsTestSupport.h"
#include "SensorRanges.h"
#include "TextFormat.h"
#include "ToolRunner.h"

namespace {
using namespace archive_test;
using ArchiveColumns::kPoint;

struct Recording {
    const char* name;
    const char* path;
    const char* year;
};

class ReplayedRecording : public ToolRunner, public ::testing::WithParamInterface<Recording> {
  protected:
    void Replay(const Recording& recording) {
        Start("logger", {"--replay", recording.path, "--year", recording.year});
        ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");
    }
};

TEST_P(ReplayedRecording, PointRowsHoldTheDataLogLinesValueForValue) {
    Replay(GetParam());
    const auto log = DataLogLines(work);
    const auto points = ArchivePoints(work + "/nimbulo.db");
    ASSERT_FALSE(log.empty());
    ASSERT_EQ(points.size(), log.size());
    for (const auto& [time, values] : log) {
        SCOPED_TRACE(time);
        ASSERT_TRUE(points.contains(time));
        const ArchivePoint& point = points.at(time);
        EXPECT_FALSE(point.writtenUtc.has_value()) << "a replay has no time of writing";
        for (std::size_t k = 0; k < ArchiveColumns::kDataLogCount; ++k) {
            if (point.values[k]) {
                EXPECT_EQ(Printed(*point.values[k], kPoint[k].decimals), values[k])
                    << kPoint[k].name;
            } else {
                // Empty only where the log prints its stand-in for a reading never received.
                EXPECT_EQ(std::stod(values[k]), 0.0) << kPoint[k].name;
            }
        }
    }
}

// What each of the data log's values may be, for an import.
constexpr SensorRanges::Range kImportRange[] = {
    SensorRanges::kWindSpeedMph,    {0, 15},
    SensorRanges::kTemperatureF,    SensorRanges::kTemperatureF,
    SensorRanges::kPressureInHg,    SensorRanges::kHumidityPercent,
    SensorRanges::kHumidityPercent, SensorRanges::kRainInches,
};

TEST_P(ReplayedRecording, ImportOfItsOwnDataLogsGivesTheSamePointRows) {
    Replay(GetParam());
    const std::string imported = work + "/imported";
    std::filesystem::create_directory(imported);
    ForgetOutput(work, "logger");
    Start("logger", {"--import", work + "/OutputData", "--data-dir", imported});
    ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");
    EXPECT_EQ(Summary(Out("logger"), "lines rejected"), 0);

    const auto replayed = ArchivePoints(work + "/nimbulo.db");
    const auto fromLogs = ArchivePoints(imported + "/nimbulo.db");
    ASSERT_EQ(fromLogs.size(), replayed.size());
    for (const auto& [time, point] : replayed) {
        SCOPED_TRACE(time);
        for (std::size_t k = 0; k < ArchiveColumns::kDataLogCount; ++k) {
            // The log prints a stand-in where the replay has no value.
            const double expected = point.values[k].value_or(0.0);
            // A value no sensor gives (line noise) the import leaves out.
            if (expected != 0 && !kImportRange[k].Contains(expected))
                EXPECT_FALSE(fromLogs.at(time).values[k]) << kPoint[k].name;
            else
                EXPECT_EQ(fromLogs.at(time).values[k], expected) << kPoint[k].name;
        }
        EXPECT_FALSE(fromLogs.at(time).values[ArchiveColumns::kGust]) << "no gust in a data log";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, ReplayedRecording,
    ::testing::Values(
        Recording{"MultiDay", NIMBULO_SOURCE_DIR "/tests/data/multiday/recording.txt", "2002"},
        Recording{"RealRecords", NIMBULO_SOURCE_DIR "/tests/data/real-records.txt", "2020"},
        Recording{"Sample", NIMBULO_SOURCE_DIR "/docs/sample-recording.txt", "2002"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the day rows against the records ---

struct Extreme {
    std::optional<double> value;
    std::string time;
};
struct Expected {
    Extreme low, high;
};

// One quantity: the record field and the multiplier that decode it, its
// decimals and range, and the day row's values.
struct Quantity {
    int field;
    double multiplier;
    int decimals;
    SensorRanges::Range range;
    DayHighLow DaySummary::*highLow;
};
const Quantity kQuantities[] = {
    {3, 0.1, 1, SensorRanges::kTemperatureF, &DaySummary::tempOutdoor},
    {6, 0.1, 1, SensorRanges::kTemperatureF, &DaySummary::tempIndoor},
    {7, 0.1, 1, SensorRanges::kHumidityPercent, &DaySummary::humidityOutdoor},
    {8, 0.1, 1, SensorRanges::kHumidityPercent, &DaySummary::humidityIndoor},
    {5, 0.002953, 2, SensorRanges::kPressureInHg, &DaySummary::pressure},
};

class MultiDayRecording : public ToolRunner {};

TEST_F(MultiDayRecording, DayRowsHoldTheHighsAndLowsOfEveryRecordWithTheirFirstTimes) {
    const std::string recording = NIMBULO_SOURCE_DIR "/tests/data/multiday/recording.txt";
    Start("logger", {"--replay", recording, "--year", "2002"});
    ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");

    // Decoded here; its station days change with the day field (no clock noise in it).
    StationState state;
    HeadlessView view;
    RecordProcessor decode(state, view);
    std::map<std::string, std::vector<Expected>> days;
    std::map<std::string, Extreme> topWind;
    std::map<std::string, double> rain;
    int year = 2002, lastDay = 0;
    std::ifstream in(recording);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) line.pop_back();
        if (!decode.ProcessLine(line.c_str())) continue;
        if (state.raw.dayOfYear < lastDay) ++year;
        lastDay = state.raw.dayOfYear;
        CalendarDate date;
        date.FromDayOfYear(state.raw.dayOfYear, year);
        const std::string day = FormatText("%04d-%02d-%02d", date.year, date.month, date.day);
        const std::string time =
            FormatText("%02d:%02d", state.raw.minuteOfDay / 60, state.raw.minuteOfDay % 60);
        auto& expected = days[day];
        expected.resize(std::size(kQuantities));
        for (std::size_t q = 0; q < std::size(kQuantities); ++q) {
            const double raw = state.raw.Field(kQuantities[q].field) * kQuantities[q].multiplier;
            if (!kQuantities[q].range.Contains(raw)) continue;
            // Compared as printed: the first time the printed value was reached.
            const double value = ArchiveColumns::AsPrinted(raw, kQuantities[q].decimals);
            if (!expected[q].low.value || value < *expected[q].low.value)
                expected[q].low = {value, time};
            if (!expected[q].high.value || value > *expected[q].high.value)
                expected[q].high = {value, time};
        }
        const double speed = ArchiveColumns::AsPrinted(state.raw.windSpeed * 0.062, 1);
        if (!topWind[day].value || speed > *topWind[day].value) topWind[day] = {speed, time};
        rain[day] = state.raw.rainToday * 0.01;
    }

    Archive archive(work + "/nimbulo.db", Archive::Access::Read);
    const std::vector<DaySummary> rows = archive.ReadDays("2002-01-01", "2003-12-31");
    ASSERT_EQ(rows.size(), days.size());
    for (const DaySummary& row : rows) {
        const std::string day = DaySummaryDateText(row);
        SCOPED_TRACE(day);
        ASSERT_TRUE(days.contains(day));
        EXPECT_FALSE(row.fromPoints);
        for (std::size_t q = 0; q < std::size(kQuantities); ++q) {
            const DayHighLow& got = row.*kQuantities[q].highLow;
            const Expected& want = days[day][q];
            const int decimals = kQuantities[q].decimals;
            for (const auto& [g, w] : {std::pair{got.low, want.low}, {got.high, want.high}}) {
                ASSERT_EQ(g.value.has_value(), w.value.has_value()) << q;
                if (!w.value) continue;
                EXPECT_EQ(Printed(*g.value, decimals), Printed(*w.value, decimals)) << q;
                EXPECT_EQ(g.time, w.time) << q;
            }
        }
        EXPECT_EQ(Printed(*row.windSpeedMax.value, 1), Printed(*topWind[day].value, 1));
        EXPECT_EQ(row.windSpeedMax.time, topWind[day].time);
        EXPECT_EQ(Printed(*row.rainDay, 2), Printed(rain[day], 2));
    }
}

TEST_F(MultiDayRecording, ReplayedTwiceAddsNoRowAndChangesNoDay) {
    const std::string recording = NIMBULO_SOURCE_DIR "/tests/data/multiday/recording.txt";
    std::vector<std::string> exports;
    for (int run = 0; run < 2; ++run) {
        Start("logger", {"--replay", recording, "--year", "2002"});
        ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");
        for (const char* kind : {"points", "days"}) {
            ForgetOutput(work, "logger");
            Start("logger", {"--export", kind, "2002-12-01", "2003-01-31"});
            ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");
            exports.push_back(Out("logger"));
        }
    }
    EXPECT_EQ(exports[2], exports[0]);
    EXPECT_EQ(exports[3], exports[1]);
    EXPECT_EQ(std::count(exports[0].begin(), exports[0].end(), '\n'), 1 + 6);
}

}  // namespace

namespace {

class ImportedLog : public ToolRunner {};

TEST_F(ImportedLog, NamesEachLineThatIsNoDataLogLineAndAddsNothingTheSecondTime) {
    const std::string log = work + "/U2K200212051400.txt";
    reports_test::WriteFile(
        log,
        "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\t"
        "HumidityOutdoor\tHumidityIndoor\tRainTodaysTotal\r\n"
        "2002/12/05 14:00\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n"
        "2002/12/05 14:05\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\r\n"
        "2002/12/05 14:10\t5.6\t16\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n"
        "2002/02/30 14:15\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n"
        "2002/12/05 14:20\t5.6\t 8\t45.3\t68.2\tx\t87.0\t41.5\t0.12\r\n"
        "2002/12/05 14:25\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.13\r\n");
    for (int run = 0; run < 2; ++run) {
        ForgetOutput(work, "logger");
        Start("logger", {"--import", work});
        ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0) << Err("logger");
        EXPECT_EQ(Summary(Out("logger"), "lines imported"), run == 0 ? 2 : 0);
        EXPECT_EQ(Summary(Out("logger"), "lines already there"), run == 0 ? 0 : 2);
        EXPECT_EQ(Summary(Out("logger"), "lines rejected"), 4);
        for (int line : {3, 4, 5, 6})
            EXPECT_NE(Err("logger").find(log + ":" + std::to_string(line) + ": "),
                      std::string::npos)
                << Err("logger");
    }
    const std::vector<DaySummary> days =
        Archive(work + "/nimbulo.db", Archive::Access::Read).ReadDays("2002-12-05", "2002-12-05");
    ASSERT_EQ(days.size(), 1u);
    EXPECT_TRUE(days[0].fromPoints);
    EXPECT_EQ(days[0].rainDay, 0.13);
}

struct BadCommand {
    const char* name;
    std::vector<std::string> args;
    const char* notMade = nullptr;  // a path in the working folder the run must not make
};

class ArchiveCommandLine : public ToolRunner, public ::testing::WithParamInterface<BadCommand> {};

TEST_P(ArchiveCommandLine, IsRefusedWithStatus2) {
    Start("logger", GetParam().args);
    EXPECT_EQ(Wait("logger", std::chrono::seconds(30)), 2) << Err("logger");
    if (GetParam().notMade) {
        EXPECT_FALSE(std::filesystem::exists(work + "/" + GetParam().notMade));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refused, ArchiveCommandLine,
    ::testing::Values(
        BadCommand{"ExportOfNoKind", {"--export", "rows", "2002-01-01", "2002-01-02"}},
        BadCommand{"ExportWithoutDates", {"--export", "days"}},
        BadCommand{"ExportOfNoDate", {"--export", "days", "2002-02-30", "2002-03-01"}},
        BadCommand{"ExportBackwards", {"--export", "days", "2002-03-01", "2002-02-01"}},
        BadCommand{"ExportWithoutArchive", {"--export", "days", "2002-01-01", "2002-01-02"}},
        BadCommand{"ImportWithReplay", {"--import", "x", "--replay", "y"}},
        BadCommand{"ImportOfNothingThere", {"--import", "/nonexistent/U2K.txt"}},
        BadCommand{"ImportOfADeviceThatNeverEnds", {"--import", "/dev/zero"}},
        BadCommand{"ExportFromAFolderThatIsNotThere",
                   {"--export", "days", "2002-01-01", "2002-01-02", "--data-dir", "station"},
                   "station"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
