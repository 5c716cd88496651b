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

constexpr int HM(int hours, int minutes) { return hours * 60 + minutes; }

Record At(int dayOfYear, int minute) {
    Record r;
    r.dayOfYear = dayOfYear;
    r.minuteOfDay = minute;
    return r;
}

class MinuteCycleTest : public ::testing::Test {
protected:
    void Feed(const Record& r) { Feed(r.Line()); }
    void Feed(const std::string& line) { pipeline.ProcessLine(line.c_str()); }
    std::string Label(int id) { return view.labels.count(id) ? view.labels[id] : "<unset>"; }
    std::string Log(const std::string& name) { return ReadFile("OutputData/" + name); }

    ScopedWorkDir dir;
    FakeView view;
    FakeChart chart{view.events};
    int clockYear = 2002;
    int clockReads = 0;
    StationPipeline pipeline{view, chart, [this] {
                                 ++clockReads;
                                 CalendarDate today;
                                 today.FromDate(7, 15, clockYear);
                                 return today;
                             }};
};

TEST_F(MinuteCycleTest, WorkedExampleFrom1437To1440WritesTheLogLineAndReplacesBothReports) {
    pipeline.saveData = true;
    WriteFile("wxreportaprs.txt", std::string(500, 'x'));
    WriteFile("wxreportmixw.txt", std::string(500, 'y'));
    Record first = At(kDec5, HM(14, 37));
    first.windSpeed = 200;  // the gust: 12.4 mph
    Feed(first);
    EXPECT_EQ(Label(ControlId::kTime), "14:37 ");
    EXPECT_EQ(Label(ControlId::kDate), "Thu 12/05/2002");
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader);
    EXPECT_EQ(chart.advances, 0);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"), std::string(500, 'x'));

    const Record second = At(kDec5, HM(14, 40));
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
    std::string date;                                      // the date label at the end
    std::map<std::string, std::vector<std::string>> logs;  // file -> dates of its lines
    int clockYear = 2002;
};

class DatedLogs : public MinuteCycleTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(DatedLogs, HoldTheLinesOfTheirDayAndTheClockIsReadOnce) {
    const LogCase& c = GetParam();
    clockYear = c.clockYear;
    for (const Step& s : c.steps) {
        pipeline.saveData = s.save;
        Feed(At(s.day, s.minute));
    }
    std::map<std::string, std::string> expected, written;
    for (const auto& [file, dates] : c.logs) {
        expected[file] = kHeader;
        for (const std::string& date : dates) expected[file] += date + kBaseColumns;
    }
    for (const std::string& file : ListDir("OutputData")) written[file] = Log(file);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(Label(ControlId::kDate), c.date);
    EXPECT_EQ(clockReads, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Days, DatedLogs,
    ::testing::Values(
        LogCase{"NewYearMidnight", {{365, HM(23, 55)}, {365, HM(23, 59)}, {1, 0}}, "Wed 01/01/2003",
                {{"U2K200212312355.txt", {"2002/12/31 23:55"}},
                 {"U2K200301010000.txt", {"2003/01/01 00:00"}}}},
        LogCase{"FirstRecordAtMidnight", {{kDec5, 0}}, "Thu 12/05/2002",
                {{"U2K200212050000.txt", {"2002/12/05 00:00"}}}},
        LogCase{"SkippedMultipleOfFive", {{kDec5, HM(10, 4)}, {kDec5, HM(10, 6)}}, "Thu 12/05/2002",
                {{"U2K200212051004.txt", {}}}},
        LogCase{"MissedMidnight", {{100, HM(23, 55)}, {101, HM(0, 1)}, {101, HM(0, 5)}},
                "Thu 04/11/2002",
                {{"U2K200204102355.txt", {"2002/04/10 23:55"}},
                 {"U2K200204110001.txt", {"2002/04/11 00:05"}}}},
        LogCase{"MissedNewYearMidnight", {{365, HM(23, 55)}, {1, HM(0, 2)}, {1, HM(0, 5)}},
                "Wed 01/01/2003",
                {{"U2K200212312355.txt", {"2002/12/31 23:55"}},
                 {"U2K200301010002.txt", {"2003/01/01 00:05"}}}},
        LogCase{"MissedNewYearAfterTheLeapDay", {{366, HM(23, 58)}, {1, HM(0, 3)}}, "Sat 01/01/2005",
                {{"U2K200412312358.txt", {}}, {"U2K200501010003.txt", {}}}, 2004},
        LogCase{"DayJumpOfTwoWaitsForMidnight", {{100, HM(23, 55)}, {102, HM(0, 1)}, {102, 0}},
                "Fri 04/12/2002",
                {{"U2K200204102355.txt", {"2002/04/10 23:55"}},
                 {"U2K200204120000.txt", {"2002/04/12 00:00"}}}},
        LogCase{"SavingSwitchedOnWithNoLogOpensOneAtTheNextPoint",
                {{kDec5, HM(14, 37), false}, {kDec5, HM(14, 38)}, {kDec5, HM(14, 40)},
                 {kDec5, HM(14, 45)}},
                "Thu 12/05/2002",
                {{"U2K200212051440.txt", {"2002/12/05 14:40", "2002/12/05 14:45"}}}},
        LogCase{"SavingResumedOnANewDay", {{100, HM(23, 55)}, {101, 0, false}, {101, HM(0, 5)}},
                "Thu 04/11/2002",
                {{"U2K200204102355.txt", {"2002/04/10 23:55"}},
                 {"U2K200204110005.txt", {"2002/04/11 00:05"}}}},
        LogCase{"SavingOffAndOnTheSameDayKeepsTheLog",
                {{kDec5, HM(14, 37)}, {kDec5, HM(14, 40), false}, {kDec5, HM(14, 45)}},
                "Thu 12/05/2002", {{"U2K200212051437.txt", {"2002/12/05 14:45"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MinuteCycleTest, SecondRecordOfAMinuteChangesNothingOfTheCycle) {
    pipeline.saveData = true;
    Feed(At(kDec5, HM(14, 37)));
    Feed(At(kDec5, HM(14, 40)));
    const std::string aprs = ReadFile("wxreportaprs.txt");
    auto labelWrites = view.labelWrites;
    Record again = At(kDec5, HM(14, 40));
    again.tempOutdoor = 500;
    Feed(again);
    EXPECT_EQ(view.labelWrites[ControlId::kTime], labelWrites[ControlId::kTime]);
    EXPECT_EQ(view.labelWrites[ControlId::kDate], labelWrites[ControlId::kDate]);
    EXPECT_EQ(chart.advances, 1);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"), aprs);
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:40" + kBaseColumns);
}

TEST_F(MinuteCycleTest, UndecodableDayNeverCountsAsAMissedMidnight) {
    Feed(At(100, HM(23, 55)));
    std::string line = At(101, HM(0, 1)).Line();
    line.replace(2 + 32, 4, "----");  // the day field
    Feed(line);
    Feed(At(1, HM(0, 2)));  // day 1 after an unknown day: nothing either
    EXPECT_EQ(view.labelWrites[ControlId::kDate], 1);
    EXPECT_EQ(Label(ControlId::kDate), "Wed 04/10/2002");
}

TEST_F(MinuteCycleTest, SavingOffFeedsTheChartWritesNoFileAndRestartsTheGust) {
    pipeline.plotItemEnabled = {1, 0, 0, 0, 0, 0, 0};
    Feed(At(kDec5, HM(14, 37)));
    Feed(At(kDec5, HM(14, 40)));
    EXPECT_EQ(chart.advances, 1);
    EXPECT_EQ(chart.values[0], 45);
    EXPECT_TRUE(ListDir(".").empty());
    Record calmer = At(kDec5, HM(14, 41));
    calmer.windSpeed = 50;  // 3.1 mph becomes the new maximum
    Feed(calmer);
    EXPECT_EQ(Label(ControlId::kGusts), "3.1");
}

TEST_F(MinuteCycleTest, FailedLogOpenIsRetriedAtTheNextPoint) {
    pipeline.saveData = true;
    WriteFile("OutputData", "not a directory");
    Feed(At(kDec5, HM(14, 37)));
    Feed(At(kDec5, HM(14, 40)));
    EXPECT_EQ(ReadFile("wxreportmixw.txt"), kExampleMixw);  // reports go on regardless
    std::filesystem::remove("OutputData");
    Feed(At(kDec5, HM(14, 45)));
    EXPECT_EQ(ListDir("OutputData"), std::vector<std::string>{"U2K200212051445.txt"});
    EXPECT_EQ(Log("U2K200212051445.txt"), kHeader + "2002/12/05 14:45" + kBaseColumns);
}

TEST_F(MinuteCycleTest, UndecodableMinuteShowsMinusOneAndRestartsTheSetUp) {
    Feed(At(kDec5, HM(14, 37)));
    Feed(At(kDec5, -1));
    EXPECT_EQ(Label(ControlId::kTime), "00:-01 ");
    EXPECT_EQ(chart.advances, 0);
    EXPECT_EQ(clockReads, 1);
    Feed(At(kDec5, HM(14, 39)));
    EXPECT_EQ(clockReads, 2);
}

TEST_F(MinuteCycleTest, PointLabelsAndFeedsTheFirstThreeEnabledItemsThenPumpsOnce) {
    pipeline.plotItemEnabled = {0, 1, 0, 1, 1, 0, 1};
    Feed(At(kDec5, HM(14, 37)));
    view.events.clear();
    Feed(At(kDec5, HM(14, 40)));
    // Indoor temperature 68.2, indoor humidity 41.5, pressure 29.92.
    const std::vector<std::string> tail(view.events.end() - 9, view.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "label 1017 14:40 ", "label 1034 Temperature Indoor",
                        "label 1035 Humidity Indoor", "label 1036 Pressure", "series 0 68",
                        "series 1 41", "series 2 29", "advance", "pump"}));
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "pump"), 1);
}

TEST_F(MinuteCycleTest, FilesUseTheReadingsOfARecordHandledInsideThePump) {
    pipeline.saveData = true;
    Feed(At(kDec5, HM(14, 37)));
    const Record outer = At(kDec5, HM(14, 40));
    Record nested = outer;
    nested.tempOutdoor = -37;  // -3.7 F
    view.onPump = [&] { Feed(nested); };
    Feed(outer);
    // The nested direction (raw 128) joins the average after it became
    // degrees (180): 180 + (128 - 180) / 3 = 163 degrees, compass point 7.
    EXPECT_EQ(ReadFile("wxreportaprs.txt"),
              outer.Line() + "\r\n163/006g006t-03r...p...P012h87b10132sU2k\r\n");
    EXPECT_EQ(Log("U2K200212051437.txt"),
              kHeader + "2002/12/05 14:40\t5.6\t 7\t-3.7\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
}

}  // namespace
