// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "ControlIds.h"
#include "RecordFormat.h"
#include "RecordProcessor.h"
#include "RecordingView.h"

namespace {

// A 48-digit record: every field "0000" but the given ones (field number, digits).
std::string Record(std::map<int, const char*> fields) {
    std::string line = "!!";
    for (int k = 1; k <= 12; ++k) line += fields.count(k) ? fields[k] : "0000";
    return line;
}

// A calm record at 21:40 with a pressure and this direction field.
std::string WithDirection(const char* direction) {
    return Record({{2, direction}, {5, "2770"}, {9, "0021"}, {10, "0514"}});
}

class RecordProcessorTest : public ::testing::Test {
  protected:
    void Process(const std::string& line) {
        if (processor.ProcessLine(line.c_str())) accepted.push_back(line);
    }

    StationState state;
    RecordingView view;
    RecordProcessor processor{state, view};
    // The lines ProcessLine said it took, in the order it returned.
    std::vector<std::string> accepted;
};

TEST(DecodeHex4, ReadsOnlyUpperCaseHexDigits) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"0000", 0},
        {"FFFF", 65535},
        {"00FF", 255},
        {"1A2B", 0x1A2B},
        {"9999", 0x9999},
        {"abcd", -1},
        {"00ff", -1},
        {":000", -1},
        {"0@00", -1},
        {"000;", -1},
        {"----", -1},
        {"12 4", -1},
        {"0G00", -1},
        {"\x80"
         "000",
         -1},
        {"12", -1},
        {"", -1},
        {"/000", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeHex4(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(DecodeHex4, ReadsNoFurtherThanTheFourthCharacter) {
    const char text[4] = {'0', '0', '1', '0'};  // no terminator
    EXPECT_EQ(DecodeHex4(text), 16);
}

TEST_F(RecordProcessorTest, AcceptsOnlyRecordsOfFortyFortyFourOrFortyEightDigits) {
    const std::string full = WithDirection("0000");
    struct Case {
        std::string line;
        bool accepted;
    };
    const Case cases[] = {
        {full, true},
        {full + "\r", false},
        {full.substr(0, 42), true},
        {full.substr(0, 46), true},
        {full.substr(0, 43), false},
        {full.substr(0, 45), false},
        {full.substr(0, 47), false},
        {full.substr(0, 49), false},
        {full + "00", false},
        {full.substr(0, 41), false},
        {"", false},
        {"!", false},
        {"!?" + full.substr(2), false},
        {" " + full.substr(0, 49), false},
    };
    int expected = 0;
    for (const Case& c : cases) {
        Process(c.line);
        if (c.accepted) ++expected;
        EXPECT_EQ(state.recordCount, expected) << c.line;
    }
    EXPECT_EQ(accepted.size(), 3u);
}

TEST_F(RecordProcessorTest, DecodesThePublishedRealRecords) {
    const char* records[] = {
        "!!006B005803500000----03E9--------002105140000005D",
        "!!000000A600B50000----------------001C01D500000017",
        "!!005100BE02EB0064277002A8023A023A0025005800000000",
        "!!000000BE02EB000027700000023A023A0025005800000000",
        "!!00000066013D000028710166--------0158053201200210",
        "!!0000002202B3000027860334--------003D052300000000",
    };
    // The first has no pressure and no humidities. Speeds in 0.1 km/h times
    // 0.062: 107 -> 6.634, 93 -> 5.766; direction 88 lies in compass point 6.
    Process(records[0]);
    const std::map<int, std::string> first = {
        {ControlId::kRecords, "1"},
        {ControlId::kGusts, "6.6"},
        {ControlId::kWindSpeed, "6.6"},
        {ControlId::kWindSpeedAverage, "5.8"},
        {ControlId::kTempOutdoor, "84.8"},
        {ControlId::kTempIndoor, "100.1"},
        {ControlId::kHumidityOutdoor, "0.0"},
        {ControlId::kHumidityIndoor, "0.0"},
        {ControlId::kRainTodaysTotal, "0.00"},
        {ControlId::kRainLongTermTotal, "0.00"},
        {ControlId::kPressure, "0.00"},
    };
    EXPECT_EQ(view.labels, first);
    EXPECT_EQ(state.raw.dayOfYear, 0x21 + 1);
    EXPECT_EQ(state.raw.minuteOfDay, 1300);
    EXPECT_EQ(view.picture, "SE");
    EXPECT_EQ(accepted, std::vector<std::string>{records[0]});

    for (const char* r : records) Process(r);
    EXPECT_EQ(state.recordCount, 7);
    // The last: 0x2786 = 10118 tenths of a mbar, 0x334 = 820 tenths of a
    // degree, direction 0x22 = 34 in compass point 2.
    EXPECT_EQ(view.labels[ControlId::kPressure], "29.88");
    EXPECT_EQ(view.labels[ControlId::kTempIndoor], "82.0");
    EXPECT_EQ(view.labels[ControlId::kTempOutdoor], "69.1");
    EXPECT_EQ(view.picture, "NE");
}

TEST_F(RecordProcessorTest, WritesTheCountThePictureAndTheLabelsInOrder) {
    Process(WithDirection("0040"));
    const std::vector<std::string> expected = {
        "label 1003=1",     "picture E",       "pump",
        "label 1011=0.0",   "label 1009=0.0",  "label 1010=0.0",
        "label 1006=0.0",   "label 1004=0.0",  "label 1007=0.0",
        "label 1008=0.0",   "label 1012=0.00", "label 1013=0.00",
        "label 1014=29.81",
    };
    EXPECT_EQ(view.events, expected);
}

TEST_F(RecordProcessorTest, ShortRecordsKeepTheReadingsTheyDoNotCarry) {
    Process(Record({{1, "0064"}, {11, "0019"}, {12, "0032"}}));
    EXPECT_DOUBLE_EQ(state.rainToday, 25 * 0.01);
    EXPECT_DOUBLE_EQ(state.windSpeedAvg, 50 * 0.062);

    const std::string changed = Record({{1, "0064"}, {11, "0001"}, {12, "0001"}});
    Process(changed.substr(0, 46));  // fields 1-11
    EXPECT_DOUBLE_EQ(state.rainToday, 0.01);
    EXPECT_DOUBLE_EQ(state.windSpeedAvg, 50 * 0.062);
    EXPECT_EQ(state.raw.windSpeedAvg, -1);

    Process(Record({{1, "0064"}, {11, "0002"}, {12, "0002"}}).substr(0, 42));  // fields 1-10
    EXPECT_DOUBLE_EQ(state.rainToday, 0.01);
    EXPECT_DOUBLE_EQ(state.windSpeedAvg, 50 * 0.062);
    EXPECT_EQ(state.recordCount, 3);
}

TEST_F(RecordProcessorTest, UndecodableFieldsKeepTheirReadingsButTheRecordCounts) {
    Process(Record({{1, "0010"},
                    {2, "0040"},
                    {3, "0321"},
                    {4, "0005"},
                    {5, "2770"},
                    {6, "02A8"},
                    {7, "023A"},
                    {8, "0100"},
                    {9, "0021"},
                    {10, "0514"},
                    {11, "0019"},
                    {12, "0032"}}));
    const StationState before = state;
    view.events.clear();
    for (const char* digits : {"----", "abcd", ":::9", "00 0"}) {
        std::string line = "!!";
        for (int i = 0; i < 12; ++i) line += digits;
        Process(line);
        EXPECT_DOUBLE_EQ(state.windSpeed, before.windSpeed) << digits;
        EXPECT_DOUBLE_EQ(state.tempOutdoor, before.tempOutdoor) << digits;
        EXPECT_DOUBLE_EQ(state.pressure, before.pressure) << digits;
        EXPECT_DOUBLE_EQ(state.humidityIndoor, before.humidityIndoor) << digits;
        EXPECT_DOUBLE_EQ(state.windSpeedAvg, before.windSpeedAvg) << digits;
        EXPECT_EQ(state.windDirAvg, before.windDirAvg) << digits;
        EXPECT_EQ(state.windDirSamples, before.windDirSamples) << digits;
        EXPECT_EQ(state.compassIndex, before.compassIndex) << digits;
        EXPECT_EQ(state.raw.dayOfYear, 0) << digits;
    }
    EXPECT_EQ(state.recordCount, before.recordCount + 4);
    // Every record still redraws the count and the ten readings, and never the compass.
    EXPECT_EQ(view.events.size(), 4u * 11u);
    EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "pump"), 0);
}

TEST_F(RecordProcessorTest, ConvertsSignedFieldsWithTheExactMultipliers) {
    struct Case {
        const char* tempOutdoor;
        const char* pressure;
        const char* expectedTemp;
        const char* expectedPressure;
    };
    const Case cases[] = {
        {"FF9C", "2770", "-10.0", "29.81"},  // -100 tenths; 10096 * 0.002953
        {"FFFF", "FFFF", "-10.0", "29.81"},  // -1 is the absent marker: unchanged
        {"0000", "27A5", "0.0", "29.97"},    // 10149 * 0.002953 = 29.969...
        {"FFFE", "8000", "-0.2", "-96.76"},  // -32768 * 0.002953 = -96.763...
    };
    for (const Case& c : cases) {
        Process(Record({{3, c.tempOutdoor}, {5, c.pressure}}));
        EXPECT_EQ(view.labels[ControlId::kTempOutdoor], c.expectedTemp) << c.tempOutdoor;
        EXPECT_EQ(view.labels[ControlId::kPressure], c.expectedPressure) << c.pressure;
    }
}

TEST_F(RecordProcessorTest, MapsDirectionsToCompassPointsUsingTheLowByte) {
    struct Case {
        const char* field;
        int expectedIndex;  // -1: the direction is left alone
    };
    const Case cases[] = {
        {"0000", 0},
        {"0007", 0},
        {"0008", 1},
        {"0017", 1},
        {"0018", 2},
        {"0040", 4},
        {"0080", 8},
        {"00C0", 12},
        {"00F7", 15},
        {"00F8", 0},
        {"00FF", 0},
        // The two leading digits are not part of the direction.
        {"FF40", 4},
        {"0100", 0},
        {"FFF7", 15},
        {"7F08", 1},
        {"----", -1},
        {"00G0", -1},
        {"00f7", -1},
    };
    for (const Case& c : cases) {
        StationState fresh;
        fresh.compassIndex = 7;
        state = fresh;
        Process(WithDirection(c.field));
        if (c.expectedIndex < 0) {
            EXPECT_EQ(state.compassIndex, 7) << c.field;
            EXPECT_EQ(state.windDirSamples, 0) << c.field;
        } else {
            EXPECT_EQ(state.compassIndex, c.expectedIndex) << c.field;
            EXPECT_EQ(state.windDirSamples, 1) << c.field;
        }
    }
}

TEST_F(RecordProcessorTest, AveragesDirectionsTheShortWayRound) {
    struct Case {
        std::vector<const char*> directions;
        std::vector<int> averages;
    };
    const Case cases[] = {
        {{"00FA", "000A"}, {250, 2}},           // d = 16, 16 / 2 = 8, 258 wraps to 2
        {{"0000", "0080"}, {0, 64}},            // d = +128 stays +128
        {{"0080", "0000"}, {128, 64}},          // d = -128 stays -128
        {{"000A", "00FA"}, {10, 2}},            // d = -16, -16 / 2 = -8
        {{"0000", "00FF", "00FF"}, {0, 0, 0}},  // -1 / 2 and -1 / 3 drop to 0
        {{"0010", "0020", "0030"}, {16, 24, 32}},
    };
    for (const Case& c : cases) {
        state = StationState{};
        for (std::size_t i = 0; i < c.directions.size(); ++i) {
            Process(WithDirection(c.directions[i]));
            EXPECT_EQ(state.windDirAvg, c.averages[i]) << c.directions[0] << " step " << i;
        }
        EXPECT_EQ(state.windDirSamples, static_cast<int>(c.directions.size()));
    }
}

TEST_F(RecordProcessorTest, GustRisesOnlyForAStrictlyHigherSpeed) {
    struct Case {
        const char* speed;
        double expectedGust;
    };
    const Case cases[] = {
        {"000A", 10 * 0.062}, {"000A", 10 * 0.062}, {"0005", 10 * 0.062},
        {"FFF6", 10 * 0.062}, {"0014", 20 * 0.062}, {"----", 20 * 0.062},
    };
    for (const Case& c : cases) {
        Process(Record({{1, c.speed}}));
        EXPECT_DOUBLE_EQ(state.gust, c.expectedGust) << c.speed;
    }
    // After a five-minute point cleared the gust, an undecodable speed still
    // raises it to the unchanged current speed.
    state.gust = 0.0;
    Process(Record({{1, "----"}}));
    EXPECT_DOUBLE_EQ(state.gust, 20 * 0.062);
}

TEST_F(RecordProcessorTest, SwitchesThePictureOnlyWhenTheCompassPointChanges) {
    for (const char* direction : {"0000", "0004", "0040", "0041", "0040", "0000"}) {
        Process(WithDirection(direction));
    }
    std::vector<std::string> switches;
    for (const std::string& e : view.events) {
        if (e.rfind("picture", 0) == 0 || e == "pump") switches.push_back(e);
    }
    const std::vector<std::string> expected = {"picture E", "pump", "picture N", "pump"};
    EXPECT_EQ(switches, expected);
    EXPECT_EQ(state.shownCompassIndex, 0);
}

TEST_F(RecordProcessorTest, ANestedRecordInsideThePumpWinsOverTheOuterOne) {
    const std::string outer =
        Record({{1, "0064"}, {2, "0040"}, {3, "0100"}, {5, "2770"}, {9, "0021"}, {10, "0514"}});
    const std::string nested =
        Record({{1, "00C8"}, {2, "0080"}, {3, "0200"}, {5, "2771"}, {9, "0021"}, {10, "0515"}});
    view.onPump = [&] { Process(nested); };
    Process(outer);

    EXPECT_EQ(state.recordCount, 2);
    // The outer record converts what the nested one left in the raw fields.
    EXPECT_DOUBLE_EQ(state.windSpeed, 200 * 0.062);
    EXPECT_DOUBLE_EQ(state.tempOutdoor, 0x200 * 0.1);
    EXPECT_EQ(view.labels[ControlId::kWindSpeed], "12.4");
    EXPECT_EQ(view.labels[ControlId::kRecords], "2");
    EXPECT_EQ(state.compassIndex, 8);
    EXPECT_EQ(state.shownCompassIndex, 8);
    EXPECT_EQ(view.picture, "S");
    // Both records are taken, the nested one first.
    EXPECT_EQ(accepted, (std::vector<std::string>{nested, outer}));
}

}  // namespace
