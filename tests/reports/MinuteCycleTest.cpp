// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "ReportsTestSupport.h"
#include "StationPipeline.h"

using namespace reports_test;

namespace {

const std::string kHeader =
    "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\tHumidityOutdoor\t"
    "HumidityIndoor\tRainTodaysTotal\r\n";
// The default record's readings after a log line's time: 5.6 mph, compass
// point 8 (180 degrees), 45.3 F, 68.2 F, 29.92 inHg, 87.0 %, 41.5 %, 0.12 in.
const std::string kBaseColumns = "\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n";
const std::string kExampleMixw =
    "[wxreport]\r\nTime=14:40 \r\nTempOutdoor=45\r\nHumidityOutdoor=87\r\nWindSpeedAvg=6\r\n"
    "WindDirAvg=S\r\n";
constexpr int kDec5 = 339;  // 5 December 2002, a Thursday

constexpr int HM(int hours, int minutes) {
    return hours * 60 + minutes;
}

class MinuteCycleTest : public ::testing::Test {
  protected:
    void Feed(const Record& r) { pipeline.ProcessLine(r.Line().c_str()); }
    std::string Label(int id) { return view.labels[id]; }
    std::string Log(const std::string& name) { return ReadFile("OutputData/" + name); }

    ScopedWorkDir dir;
    FakeStation view;
    int clockYear = 2002;
    int clockReads = 0;
    StationPipeline pipeline{view, view, [this] {
                                 ++clockReads;
                                 CalendarDate today;
                                 today.FromDate(7, 15, clockYear);
                                 return today;
                             }};
};

TEST_F(MinuteCycleTest, WorkedExampleFrom1437To1440WritesTheLogLineAndReplacesBothReports) {
    pipeline.options().saveData = 1;
    WriteFile("wxreportaprs.txt", std::string(500, 'x'));
    WriteFile("wxreportmixw.txt", std::string(500, 'y'));
    Record first{kDec5, HM(14, 37)};
    first.windSpeed = 200;  // the gust: 12.4 mph
    Feed(first);
    EXPECT_EQ(Label(ControlId::kTime), "14:37 ");
    EXPECT_EQ(Label(ControlId::kDate), "Thu 12/05/2002");
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"), std::string(500, 'x'));  // no point yet

    const Record second{kDec5, HM(14, 40)};
    Feed(second);
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:40" + kBaseColumns);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"),
              second.Line() + "\r\n180/006g012t045r...p...P012h87b10132sU2k\r\n");
    EXPECT_EQ(ReadFile("wxreportmixw.txt"), kExampleMixw);
}

struct Step {
    int day, minute;
    bool save = true;
};

struct LogCase {
    const char* name;
    std::vector<Step> steps;
    const char* date;                // the date label at the end
    std::vector<std::string> lines;  // "file" for its header, "file date" for a line below it
    int clockYear = 2002;
};

class DatedLogs : public MinuteCycleTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(DatedLogs, HoldTheLinesOfTheirDayAndTheClockIsReadOnce) {
    const LogCase& c = GetParam();
    clockYear = c.clockYear;
    for (const Step& s : c.steps) {
        pipeline.options().saveData = s.save;
        Feed({s.day, s.minute});
    }
    std::map<std::string, std::string> expected, written;
    for (const std::string& line : c.lines) {
        const std::string file = line.substr(0, line.find(' '));
        if (!expected.count(file)) expected[file] = kHeader;
        if (line != file) expected[file] += line.substr(file.size() + 1) + kBaseColumns;
    }
    for (const std::string& file : Entries("OutputData")) written[file] = Log(file);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(Label(ControlId::kDate), c.date);
    EXPECT_EQ(clockReads, 1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Days, DatedLogs, ::testing::Values(
    LogCase{"NewYearMidnight", {{365, HM(23, 55)}, {365, HM(23, 59)}, {1, 0}}, "Wed 01/01/2003",
            {"U2K200212312355.txt 2002/12/31 23:55", "U2K200301010000.txt 2003/01/01 00:00"}},
    LogCase{"FirstRecordAtMidnight", {{kDec5, 0}}, "Thu 12/05/2002",
            {"U2K200212050000.txt 2002/12/05 00:00"}},
    LogCase{"FirstRecordAtNewYearsMidnight", {{1, 0}}, "Wed 01/01/2003",
            {"U2K200301010000.txt 2003/01/01 00:00"}, 2003},
    LogCase{"FirstRecordLaterOnNewYearsDay", {{1, HM(0, 7)}, {1, HM(0, 10)}}, "Wed 01/01/2003",
            {"U2K200301010007.txt 2003/01/01 00:10"}, 2003},
    LogCase{"SkippedMultipleOfFive", {{kDec5, HM(10, 4)}, {kDec5, HM(10, 6)}}, "Thu 12/05/2002",
            {"U2K200212051004.txt"}},
    LogCase{"MissedMidnight", {{100, HM(23, 55)}, {101, HM(0, 1)}, {101, HM(0, 5)}}, "Thu 04/11/2002",
            {"U2K200204102355.txt 2002/04/10 23:55", "U2K200204110001.txt 2002/04/11 00:05"}},
    LogCase{"MissedNewYearAfterTheLeapDay", {{366, HM(23, 58)}, {1, HM(0, 3)}}, "Sat 01/01/2005",
            {"U2K200412312358.txt", "U2K200501010003.txt"}, 2004},
    LogCase{"DayJumpOfTwoWaitsForMidnight", {{100, HM(23, 55)}, {102, HM(0, 1)}, {102, 0}}, "Fri 04/12/2002",
            {"U2K200204102355.txt 2002/04/10 23:55", "U2K200204120000.txt 2002/04/12 00:00"}},
    LogCase{"LeapYearsDay365ThenDay1WaitsForMidnight", {{365, HM(23, 55)}, {1, HM(0, 1)}, {1, 0}}, "Sat 01/01/2005",
            {"U2K200412302355.txt 2004/12/30 23:55", "U2K200501010000.txt 2005/01/01 00:00"}, 2004},
    LogCase{"SavingSwitchedOnWithNoLogOpensOneAtTheNextPoint",
            {{kDec5, HM(14, 37), false}, {kDec5, HM(14, 38)}, {kDec5, HM(14, 40)}, {kDec5, HM(14, 45)}},
            "Thu 12/05/2002", {"U2K200212051440.txt 2002/12/05 14:40", "U2K200212051440.txt 2002/12/05 14:45"}},
    LogCase{"SavingResumedOnANewDay", {{100, HM(23, 55)}, {101, 0, false}, {101, HM(0, 5)}}, "Thu 04/11/2002",
            {"U2K200204102355.txt 2002/04/10 23:55", "U2K200204110005.txt 2002/04/11 00:05"}},
    LogCase{"SavingOffAndOnTheSameDayKeepsTheLog",
            {{kDec5, HM(14, 37)}, {kDec5, HM(14, 40), false}, {kDec5, HM(14, 45)}}, "Thu 12/05/2002",
            {"U2K200212051437.txt 2002/12/05 14:45"}},
    // Noise in the clock fields: day 0 is an undecodable day field, 400 an
    // impossible day, -1 an undecodable minute, 1440 and 1500 impossible minutes.
    LogCase{"NoisyMinutesTakeNoPartInTheClock",
            {{kDec5, HM(14, 37)}, {kDec5, -1}, {kDec5, 1440}, {kDec5, 1500}, {kDec5, HM(14, 40)}},
            "Thu 12/05/2002", {"U2K200212051437.txt 2002/12/05 14:40"}},
    LogCase{"NoisyDaysBeforeTheSetUpAreSkipped",
            {{0, HM(14, 35)}, {400, HM(14, 36)}, {kDec5, HM(14, 37)}, {kDec5, HM(14, 40)}},
            "Thu 12/05/2002", {"U2K200212051437.txt 2002/12/05 14:40"}},
    LogCase{"NoisyDayRunsThePointWithTheDateItHas",
            {{kDec5, HM(14, 37)}, {0, HM(14, 40)}, {400, HM(14, 45)}}, "Thu 12/05/2002",
            {"U2K200212051437.txt 2002/12/05 14:40", "U2K200212051437.txt 2002/12/05 14:45"}},
    LogCase{"NoisyDayAtMidnightIsDatedByTheNextGoodDay",
            {{100, HM(23, 55)}, {400, 0}, {101, 0}, {101, HM(0, 5)}}, "Thu 04/11/2002",
            {"U2K200204102355.txt 2002/04/10 23:55", "U2K200204102355.txt 2002/04/10 00:00",
             "U2K200204110000.txt 2002/04/11 00:05"}},
    LogCase{"NoisyMidnightThenAMissedOneDatesTheDayOnce",
            {{100, HM(23, 55)}, {0, 0}, {0, HM(0, 1)}, {101, HM(0, 3)}, {101, HM(0, 5)}},
            "Thu 04/11/2002",
            {"U2K200204102355.txt 2002/04/10 23:55", "U2K200204102355.txt 2002/04/10 00:00",
             "U2K200204110003.txt 2002/04/11 00:05"}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(MinuteCycleTest, UndecodableDayNeverCountsAsAMissedMidnight) {
    Feed({100, HM(23, 55)});
    std::string line = Record{101, HM(0, 1)}.Line();
    line.replace(2 + 32, 4, "----");  // the day field
    pipeline.ProcessLine(line.c_str());
    Feed({1, HM(0, 2)});  // day 1 after an unknown day: nothing either
    EXPECT_EQ(Label(ControlId::kDate), "Wed 04/10/2002");
}

// The retry opens the day's log under the name it was to have: it used to
// take the retrying point's minute, a new file name (and so a new fault to
// report) at every point while the folder stayed unwritable.
TEST_F(MinuteCycleTest, FailedLogOpenIsRetriedAtTheNextPointAndAnUnwritableReportStopsNothing) {
    pipeline.options().saveData = 1;
    WriteFile("OutputData", "not a directory");
    std::filesystem::create_directory("wxreportaprs.txt");
    Feed({kDec5, HM(14, 37)});
    Feed({kDec5, HM(14, 40)});
    EXPECT_EQ(ReadFile("wxreportmixw.txt"), kExampleMixw);
    std::filesystem::remove("OutputData");
    Feed({kDec5, HM(14, 45)});
    EXPECT_EQ(Entries("OutputData"), std::vector<std::string>{"U2K200212051437.txt"});
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:45" + kBaseColumns);
    EXPECT_EQ(pipeline.fileFaults().failedWrites(), 4);  // the log twice, the APRS report twice
}

// A minute of -1 is line noise. It used to show "00:-01" and make the next
// record run the set-up again, opening the log once more; now the clock
// ignores it, while its wind still counts towards the gust.
TEST_F(MinuteCycleTest, UndecodableMinuteLeavesTheClockAloneButRaisesTheGust) {
    pipeline.options().saveData = 1;
    Feed({kDec5, HM(14, 37)});
    Record noisy{kDec5, -1};
    noisy.windSpeed = 300;  // 18.6 mph
    Feed(noisy);
    EXPECT_EQ(Label(ControlId::kTime), "14:37 ");
    EXPECT_EQ(Label(ControlId::kGusts), "18.6");
    Feed({kDec5, HM(14, 37)});
    Feed({kDec5, HM(14, 40)});
    EXPECT_EQ(clockReads, 1);
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:40" + kBaseColumns);
    EXPECT_NE(ReadFile("wxreportaprs.txt").find("g019"), std::string::npos);
}

// Before, an undecodable minute made the next record set up again, which
// kept the station's year; the clock now ignores such a minute, so the one
// set-up takes the start year and the day changes carry it on.
TEST_F(MinuteCycleTest, AStartYearHoldsForTheSetUpAndTheDayChangesCarryItOn) {
    pipeline.options().saveData = 1;
    pipeline.SetStartYear(2002);
    clockYear = 2026;
    Feed({365, HM(23, 55)});
    Feed({1, 0});   // into 2003
    Feed({1, -1});  // noise
    Feed({1, HM(0, 5)});
    EXPECT_EQ(Label(ControlId::kDate), "Wed 01/01/2003");
    EXPECT_EQ(Entries("OutputData"),
              (std::vector<std::string>{"U2K200212312355.txt", "U2K200301010000.txt"}));
    EXPECT_EQ(clockReads, 0);
}

TEST_F(MinuteCycleTest, LiveOutputsGetEachPointAndListenersEachRecordTakenWithSavingOff) {
    struct Spy : RecordListener, FivePointWriter {
        void OnRecord(const StationState& state) override { counts.push_back(state.recordCount); }
        void Write(const FivePointValues& p) override {
            points.push_back(p.line + " " + std::to_string(p.directionDegrees));
        }
        std::vector<int> counts;
        std::vector<std::string> points;
    } spy;
    pipeline.AddRecordListener(spy);
    pipeline.AddLiveOutput(spy);
    const Record point{kDec5, HM(14, 40)};
    Feed({kDec5, HM(14, 37)});
    pipeline.ProcessLine("!!not a record");
    Feed(point);
    EXPECT_EQ(spy.counts, (std::vector<int>{1, 2}));
    EXPECT_EQ(spy.points, std::vector<std::string>{point.Line() + " 180"});
    EXPECT_TRUE(Entries(".").empty());
}

TEST_F(MinuteCycleTest, PointWithSavingOffFeedsTheChartPumpsOnceWritesNothingAndRestartsTheGust) {
    pipeline.options().plotItemEnabled = {0, 1, 0, 1, 1, 0, 1};
    Feed({kDec5, HM(14, 37)});
    view.events.clear();
    Feed({kDec5, HM(14, 40)});
    // Indoor temperature 68.2, indoor humidity 41.5, pressure 29.92.
    const std::vector<std::string> tail(view.events.end() - 9, view.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"label 1017 14:40 ", "label 1034 Temperature Indoor",
                                              "label 1035 Humidity Indoor", "label 1036 Pressure",
                                              "series 0 68", "series 1 41", "series 2 29",
                                              "advance", "pump"}));
    EXPECT_EQ(view.Count("pump"), 1);
    EXPECT_TRUE(Entries(".").empty());
    Record calmer{kDec5, HM(14, 41)};
    calmer.windSpeed = 50;  // 3.1 mph becomes the new maximum
    Feed(calmer);
    EXPECT_EQ(Label(ControlId::kGusts), "3.1");
}

TEST_F(MinuteCycleTest, FilesUseTheReadingsOfARecordHandledInsideThePump) {
    pipeline.options().saveData = 1;
    Feed({kDec5, HM(14, 37)});
    const Record outer{kDec5, HM(14, 40)};
    Record nested = outer;
    nested.tempOutdoor = -37;  // -3.7 F
    view.onPump = [&] { Feed(nested); };
    Feed(outer);
    // The nested direction (raw 128) joins the raw average of the outer ones
    // (128) before the point turns it into degrees: 180, compass point 8.
    EXPECT_EQ(ReadFile("wxreportaprs.txt"),
              outer.Line() + "\r\n180/006g006t-03r...p...P012h87b10132sU2k\r\n");
    EXPECT_EQ(Log("U2K200212051437.txt"),
              kHeader + "2002/12/05 14:40\t5.6\t 8\t-3.7\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
}

}  // namespace
