// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineFileReader.h"
#include "TempDir.h"
#include "TestFileReplay.h"

namespace {

const std::string kRecord = "!!005100BE02EB0064277002A8023A023A0025005800000000";

std::vector<std::string> ReadAll(const std::string& bytes) {
    TempDir dir;
    LineFileReader reader(dir.Write("in.txt", bytes));
    std::vector<std::string> lines;
    while (const char* line = reader.ReadLine()) lines.emplace_back(line);
    return lines;
}

TEST(LineFileReader, ReadsLinesAsTheReplayReadsThem) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF line ends", kRecord + "\r\n" + kRecord + "\r\n", {kRecord, kRecord}},
        {"LF line ends", kRecord + "\n", {kRecord}},
        {"a last line without a line end counts", kRecord + "\n" + kRecord, {kRecord, kRecord}},
        {"an empty file has no line", "", {}},
        {"empty lines are empty strings", "\n\r\n\n", {"", "", ""}},
        {"a CR not before LF stays", "a\rb\r\n", {"a\rb"}},
        {"a CR at the end of the file stays", "ab\r", {"ab\r"}},
        {"600 characters become 511 and 89",
         std::string(600, 'z') + "\n",
         {std::string(511, 'z'), std::string(89, 'z')}},
        {"511 characters then LF leave an empty line",
         std::string(511, 'q') + "\r\n",
         {std::string(511, 'q'), ""}},
        {"510 characters then CR LF", std::string(510, 'q') + "\r\n", {std::string(510, 'q')}},
        {"NUL bytes are kept in the line", std::string("!!\0x\n", 5), {"!!"}},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.name;
}

TEST(TestFileReplay, AMissingFileDoesNothingAndIsNotCreated) {
    TempDir dir;
    dir.Enter();
    std::filesystem::create_directory("InputData");
    StationState state;
    int calls = 0;
    const ReplayResult result = TestFileReplay(state, [&](const char*) { ++calls; });
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(std::filesystem::exists(kTestFilePath));
}

TEST(TestFileReplay, StopsWhenTheTotalRecordCountReachesTheLimit) {
    struct Case {
        int startCount;
        int lines;
        long expectedLines;
    };
    const Case cases[] = {
        {0, 5, 5},
        {MaxReplayRecords, 5, 0},      // reads one line, processes none
        {MaxReplayRecords - 2, 5, 2},  // stops after the record that makes 300000
        {MaxReplayRecords - 1, 1, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.Enter();
        std::string bytes;
        for (int i = 0; i < c.lines; ++i) bytes += kRecord + "\r\n";
        dir.Write(kTestFilePath, bytes);
        StationState state;
        state.recordCount = c.startCount;
        // Stands in for the record processing: every line is a record.
        const ReplayResult result =
            TestFileReplay(state, [&](const char*) { ++state.recordCount; });
        EXPECT_TRUE(result.opened);
        EXPECT_EQ(result.linesRead, c.expectedLines) << c.startCount;
    }
}

TEST(ReplayLines, HandsEveryLineOverInOrderWithoutALimit) {
    TempDir dir;
    const auto file = dir.Write("rec.txt", "one\r\ntwo\nthree");
    std::vector<std::string> lines;
    const ReplayResult result = ReplayLines(file, [&](const char* l) { lines.emplace_back(l); });
    EXPECT_EQ(result.linesRead, 3);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));
}

}  // namespace
