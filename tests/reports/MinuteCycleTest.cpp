#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "ReportsTestSupport.h"
#include "StationPipeline.h"

using reports_test::FakeChart;
using reports_test::FakeView;
using reports_test::ListDir;
using reports_test::Minute;
using reports_test::ReadFile;
using reports_test::Record;
using reports_test::ScopedWorkDir;

namespace {

const std::string kHeader =
    "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\tHumidityOutdoor\t"
    "HumidityIndoor\tRainTodaysTotal\r\n";

// Readings of the base record below, as a log line shows them after the
// time: 5.6 mph, compass point 8 (raw direction 128 = 180 degrees), 45.3 F,
// 68.2 F, 29.92 inHg, 87.0 %, 41.5 %, 0.12 in.
const std::string kBaseColumns = "\t5.6\t 8\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n";

Record Base(int dayOfYear, int minute) {
    Record r;
    r.windSpeed = 100;  // 6.2 mph
    r.direction = 128;
    r.tempOutdoor = 453;
    r.pressure = 10132;
    r.tempIndoor = 682;
    r.humidityOutdoor = 870;
    r.humidityIndoor = 415;
    r.dayOfYear = dayOfYear;
    r.minuteOfDay = minute;
    r.rainToday = 12;
    r.windSpeedAvg = 90;
    return r;
}

constexpr int kDec5 = 339;  // 5 December 2002, a Thursday
constexpr int kDec31 = 365;

class MinuteCycleTest : public ::testing::Test {
protected:
    void Feed(const Record& r) { Feed(r.Line()); }
    void Feed(const std::string& line) { pipeline.ProcessLine(line.c_str()); }
    std::string Label(int id) { return view.labels.count(id) ? view.labels[id] : "<unset>"; }
    std::string Log(const std::string& name) { return ReadFile("OutputData/" + name); }

    ScopedWorkDir dir;
    FakeView view;
    FakeChart chart{&view.events};
    int clockYear = 2002;
    int clockReads = 0;
    StationPipeline pipeline{view, chart, [this] {
                                 ++clockReads;
                                 CalendarDate today;
                                 today.FromDate(7, 15, clockYear);
                                 return today;
                             }};
};

TEST_F(MinuteCycleTest, FirstRecordAt1437OpensALogWithOnlyItsHeader) {
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 37)));
    EXPECT_EQ(ListDir("OutputData"), std::vector<std::string>{"U2K200212051437.txt"});
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader);
    EXPECT_EQ(Label(ControlId::kTime), "14:37 ");
    EXPECT_EQ(Label(ControlId::kDate), "Thu 12/05/2002");
    EXPECT_EQ(chart.advances, 0);
    EXPECT_FALSE(std::filesystem::exists("wxreportaprs.txt"));
    EXPECT_EQ(pipeline.cycle().logFilesOpened(), 1);
}

TEST_F(MinuteCycleTest, PointAt1440AppendsTheExampleLine) {
    pipeline.saveData = true;
    Record r = Base(kDec5, Minute(14, 37));
    r.direction = 137;  // 193 degrees: compass point 9
    Feed(r);
    r.minuteOfDay = Minute(14, 40);
    Feed(r);
    EXPECT_EQ(Log("U2K200212051437.txt"),
              kHeader + "2002/12/05 14:40\t5.6\t 9\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
    EXPECT_EQ(pipeline.cycle().fiveMinutePoints(), 1);
}

TEST_F(MinuteCycleTest, PointAt1440WritesTheExampleReports) {
    pipeline.saveData = true;
    Record first = Base(kDec5, Minute(14, 37));
    first.windSpeed = 200;  // the gust: 12.4 mph
    Feed(first);
    const Record second = Base(kDec5, Minute(14, 40));
    Feed(second);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"),
              second.Line() + "\r\n180/006g012t045r...p...P012h87b10132sU2k\r\n");
    EXPECT_EQ(ReadFile("wxreportmixw.txt"),
              "[wxreport]\r\nTime=14:40 \r\nTempOutdoor=45\r\nHumidityOutdoor=87\r\n"
              "WindSpeedAvg=6\r\nWindDirAvg=S\r\n");
}

TEST_F(MinuteCycleTest, SecondRecordOfAMinuteChangesNothingOfTheCycle) {
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 37)));
    Feed(Base(kDec5, Minute(14, 40)));
    const std::string aprs = ReadFile("wxreportaprs.txt");
    const int timeWrites = view.labelWrites[ControlId::kTime];
    const int dateWrites = view.labelWrites[ControlId::kDate];

    Record again = Base(kDec5, Minute(14, 40));
    again.tempOutdoor = 500;
    Feed(again);
    EXPECT_EQ(view.labelWrites[ControlId::kTime], timeWrites);
    EXPECT_EQ(view.labelWrites[ControlId::kDate], dateWrites);
    EXPECT_EQ(chart.advances, 1);
    EXPECT_EQ(ReadFile("wxreportaprs.txt"), aprs);
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:40" + kBaseColumns);
}

TEST_F(MinuteCycleTest, ReadsTheComputerClockOnlyAtTheFirstRecord) {
    Feed(Base(kDec31, Minute(23, 55)));
    Feed(Base(kDec31, Minute(23, 59)));
    Feed(Base(1, 0));
    Feed(Base(1, 5));
    EXPECT_EQ(clockReads, 1);
}

TEST_F(MinuteCycleTest, DayOneOf2002ShowsTuesdayAndTheTimeKeepsItsBlank) {
    Feed(Base(1, Minute(10, 5)));
    EXPECT_EQ(Label(ControlId::kDate), "Tue 01/01/2002");
    EXPECT_EQ(Label(ControlId::kTime), "10:05 ");
}

TEST_F(MinuteCycleTest, MidnightOfNewYearAdvancesTheYearAndStartsALog) {
    pipeline.saveData = true;
    Feed(Base(kDec31, Minute(23, 55)));
    Feed(Base(kDec31, Minute(23, 59)));
    EXPECT_EQ(Label(ControlId::kDate), "Tue 12/31/2002");
    Feed(Base(1, 0));
    EXPECT_EQ(Label(ControlId::kDate), "Wed 01/01/2003");
    EXPECT_EQ(Label(ControlId::kTime), "00:00 ");
    EXPECT_EQ(pipeline.state().currentYear, 2003);
    EXPECT_EQ(ListDir("OutputData"),
              (std::vector<std::string>{"U2K200212312355.txt", "U2K200301010000.txt"}));
    EXPECT_EQ(Log("U2K200212312355.txt"), kHeader + "2002/12/31 23:55" + kBaseColumns);
    EXPECT_EQ(Log("U2K200301010000.txt"), kHeader + "2003/01/01 00:00" + kBaseColumns);
}

TEST_F(MinuteCycleTest, FirstRecordAtMidnightSetsTheDateThenRunsThePoint) {
    pipeline.saveData = true;
    Feed(Base(kDec5, 0));
    EXPECT_EQ(clockReads, 1);
    EXPECT_EQ(chart.advances, 1);
    EXPECT_EQ(Log("U2K200212050000.txt"), kHeader + "2002/12/05 00:00" + kBaseColumns);
}

TEST_F(MinuteCycleTest, MissedMidnightChangesTheDayAtTheNextRecord) {
    pipeline.saveData = true;
    Feed(Base(100, Minute(23, 55)));  // 10 April 2002
    Feed(Base(101, Minute(0, 1)));    // the 00:00 record never came
    EXPECT_EQ(Label(ControlId::kDate), "Thu 04/11/2002");
    Feed(Base(101, Minute(0, 5)));
    EXPECT_EQ(ListDir("OutputData"),
              (std::vector<std::string>{"U2K200204102355.txt", "U2K200204110001.txt"}));
    EXPECT_EQ(Log("U2K200204102355.txt"), kHeader + "2002/04/10 23:55" + kBaseColumns);
    EXPECT_EQ(Log("U2K200204110001.txt"), kHeader + "2002/04/11 00:05" + kBaseColumns);
}

TEST_F(MinuteCycleTest, MissedNewYearMidnightStillAdvancesTheYear) {
    pipeline.saveData = true;
    Feed(Base(kDec31, Minute(23, 55)));
    Feed(Base(1, Minute(0, 2)));
    Feed(Base(1, Minute(0, 5)));
    EXPECT_EQ(pipeline.state().currentYear, 2003);
    EXPECT_EQ(Label(ControlId::kDate), "Wed 01/01/2003");
    EXPECT_EQ(Log("U2K200301010002.txt"), kHeader + "2003/01/01 00:05" + kBaseColumns);
}

TEST_F(MinuteCycleTest, MissedNewYearAfterTheLeapDay) {
    clockYear = 2004;
    Feed(Base(366, Minute(23, 58)));
    EXPECT_EQ(Label(ControlId::kDate), "Fri 12/31/2004");
    Feed(Base(1, Minute(0, 3)));
    EXPECT_EQ(Label(ControlId::kDate), "Sat 01/01/2005");
    EXPECT_EQ(pipeline.state().currentYear, 2005);
}

TEST_F(MinuteCycleTest, UndecodableDayNeverCountsAsAMissedMidnight) {
    Feed(Base(100, Minute(23, 55)));
    const int dateWrites = view.labelWrites[ControlId::kDate];
    std::string line = Base(101, Minute(0, 1)).Line();
    line.replace(2 + 32, 4, "----");  // the day field
    Feed(line);
    Feed(Base(1, Minute(0, 2)));  // day 1 after an unknown day: nothing either
    EXPECT_EQ(view.labelWrites[ControlId::kDate], dateWrites);
    EXPECT_EQ(Label(ControlId::kDate), "Wed 04/10/2002");
}

TEST_F(MinuteCycleTest, DayJumpOfMoreThanOneWaitsForMidnight) {
    Feed(Base(100, Minute(23, 55)));
    Feed(Base(102, Minute(0, 1)));
    EXPECT_EQ(Label(ControlId::kDate), "Wed 04/10/2002");
    Feed(Base(102, 0));
    EXPECT_EQ(Label(ControlId::kDate), "Fri 04/12/2002");
}

TEST_F(MinuteCycleTest, SavingOffFeedsTheChartWritesNoFileAndRestartsTheStatistics) {
    pipeline.plotItemEnabled = {1, 0, 0, 0, 0, 0, 0};
    Feed(Base(kDec5, Minute(14, 37)));
    Feed(Base(kDec5, Minute(14, 40)));
    EXPECT_EQ(chart.advances, 1);
    EXPECT_EQ(chart.values[0], 45);
    EXPECT_TRUE(ListDir(".").empty());
    EXPECT_EQ(pipeline.state().gust, 0.0);
    EXPECT_EQ(pipeline.state().windDirAvg, 0);
    EXPECT_EQ(pipeline.state().windDirSamples, 0);

    Record calmer = Base(kDec5, Minute(14, 41));
    calmer.windSpeed = 50;  // 3.1 mph becomes the new maximum
    Feed(calmer);
    EXPECT_EQ(Label(ControlId::kGusts), "3.1");
}

TEST_F(MinuteCycleTest, SaveDataSwitchedOnLaterStartsALogAtTheNextPoint) {
    Feed(Base(kDec5, Minute(14, 37)));
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 38)));
    EXPECT_FALSE(std::filesystem::exists("OutputData"));
    Feed(Base(kDec5, Minute(14, 40)));
    EXPECT_EQ(ListDir("OutputData"), std::vector<std::string>{"U2K200212051440.txt"});
    EXPECT_EQ(Log("U2K200212051440.txt"), kHeader + "2002/12/05 14:40" + kBaseColumns);
    EXPECT_TRUE(std::filesystem::exists("wxreportaprs.txt"));
    Feed(Base(kDec5, Minute(14, 45)));
    EXPECT_EQ(Log("U2K200212051440.txt"),
              kHeader + "2002/12/05 14:40" + kBaseColumns + "2002/12/05 14:45" + kBaseColumns);
    EXPECT_EQ(pipeline.cycle().logFilesOpened(), 1);
}

TEST_F(MinuteCycleTest, SavingResumedOnANewDayStartsThatDaysLog) {
    pipeline.saveData = true;
    Feed(Base(100, Minute(23, 55)));
    pipeline.saveData = false;
    Feed(Base(101, 0));  // midnight passes with saving off: no log for the new day
    pipeline.saveData = true;
    Feed(Base(101, Minute(0, 5)));
    EXPECT_EQ(ListDir("OutputData"),
              (std::vector<std::string>{"U2K200204102355.txt", "U2K200204110005.txt"}));
    EXPECT_EQ(Log("U2K200204102355.txt"), kHeader + "2002/04/10 23:55" + kBaseColumns);
    EXPECT_EQ(Log("U2K200204110005.txt"), kHeader + "2002/04/11 00:05" + kBaseColumns);
}

TEST_F(MinuteCycleTest, LogStaysOpenWhileSavingIsOffTheSameDay) {
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 37)));
    pipeline.saveData = false;
    Feed(Base(kDec5, Minute(14, 40)));
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 45)));
    EXPECT_EQ(Log("U2K200212051437.txt"), kHeader + "2002/12/05 14:45" + kBaseColumns);
    EXPECT_EQ(pipeline.cycle().logFilesOpened(), 1);
}

TEST_F(MinuteCycleTest, FailedLogOpenIsRetriedAtTheNextPoint) {
    pipeline.saveData = true;
    reports_test::WriteFile("OutputData", "not a directory");
    Feed(Base(kDec5, Minute(14, 37)));
    Feed(Base(kDec5, Minute(14, 40)));
    EXPECT_EQ(pipeline.cycle().logFilesOpened(), 0);
    EXPECT_TRUE(std::filesystem::exists("wxreportmixw.txt"));  // reports go on regardless

    std::filesystem::remove("OutputData");
    Feed(Base(kDec5, Minute(14, 45)));
    EXPECT_EQ(Log("U2K200212051445.txt"), kHeader + "2002/12/05 14:45" + kBaseColumns);
    EXPECT_EQ(pipeline.cycle().logFilesOpened(), 1);
}

TEST_F(MinuteCycleTest, UndecodableMinuteShowsMinusOneAndRestartsTheSetUp) {
    Feed(Base(kDec5, Minute(14, 37)));
    Record broken = Base(kDec5, -1);
    Feed(broken);
    EXPECT_EQ(Label(ControlId::kTime), "00:-01 ");
    EXPECT_EQ(chart.advances, 0);
    EXPECT_EQ(clockReads, 1);
    Feed(Base(kDec5, Minute(14, 39)));
    EXPECT_EQ(clockReads, 2);
}

TEST_F(MinuteCycleTest, SkippedMultipleOfFiveGivesNoPoint) {
    Feed(Base(kDec5, Minute(10, 4)));
    Feed(Base(kDec5, Minute(10, 6)));
    EXPECT_EQ(chart.advances, 0);
    EXPECT_EQ(pipeline.cycle().fiveMinutePoints(), 0);
}

TEST_F(MinuteCycleTest, PointLabelsAndFeedsTheChartThenPumpsOnce) {
    pipeline.plotItemEnabled = {0, 1, 0, 1, 1, 0, 1};
    Feed(Base(kDec5, Minute(14, 37)));
    view.events.clear();
    const int pumps = view.pumps;
    Feed(Base(kDec5, Minute(14, 40)));
    // Indoor temperature 68.2, indoor humidity 41.5, pressure 29.92.
    const std::vector<std::string> tail(view.events.end() - 9, view.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "label 1017 14:40 ", "label 1034 Temperature Indoor",
                        "label 1035 Humidity Indoor", "label 1036 Pressure", "series 0 68",
                        "series 1 41", "series 2 29", "advance", "pump"}));
    EXPECT_EQ(view.pumps, pumps + 1);
    EXPECT_EQ(pipeline.cycle().plotValues(), (std::array<int32_t, 3>{68, 41, 29}));
}

TEST_F(MinuteCycleTest, OnlyOneEnabledItemLeavesTheOtherSlotsEmpty) {
    pipeline.plotItemEnabled = {0, 0, 0, 0, 0, 1, 0};
    Feed(Base(kDec5, Minute(14, 40)));
    EXPECT_EQ(Label(ControlId::kPlotLabel1), "WindSpeed Avg. 1 Min.");
    EXPECT_EQ(Label(ControlId::kPlotLabel2), "");
    EXPECT_EQ(Label(ControlId::kPlotLabel3), "");
    EXPECT_EQ(pipeline.cycle().plotValues(), (std::array<int32_t, 3>{5, 0, 0}));
}

TEST_F(MinuteCycleTest, FilesUseTheReadingsOfARecordHandledInsideThePump) {
    pipeline.saveData = true;
    Feed(Base(kDec5, Minute(14, 37)));
    const Record outer = Base(kDec5, Minute(14, 40));
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

TEST_F(MinuteCycleTest, SavingPointLeavesTheAverageCompassPointForTheLog) {
    pipeline.saveData = true;
    Record r = Base(kDec5, Minute(14, 39));
    r.direction = 250;  // compass point 0 on its own
    Feed(r);
    r.direction = 10;  // average of 250 and 10 is 2: 2.8 degrees -> 2 -> north
    r.minuteOfDay = Minute(14, 40);
    Feed(r);
    EXPECT_EQ(pipeline.state().compassIndex, 0);
    EXPECT_EQ(ReadFile("wxreportmixw.txt").substr(ReadFile("wxreportmixw.txt").rfind("Wind")),
              "WindDirAvg=N\r\n");
    EXPECT_EQ(ReadFile("wxreportaprs.txt").substr(r.Line().size() + 2, 4), "002/");
}

}  // namespace
