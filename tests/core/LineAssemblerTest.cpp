// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineAssembler.h"

namespace {

const std::string kRecord = "!!005100BE02EB0064277002A8023A023A0025005800000000";

struct Collector {
    std::vector<std::string> lines;
    LineAssembler assembler{[this](const char* line) { lines.emplace_back(line); }};

    void Feed(const std::string& bytes, int port = 1) {
        for (unsigned char c : bytes) assembler.OnSerialCharacter(c, port);
    }
};

TEST(LineAssembler, CutsTheByteStreamIntoLines) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::string k512(512, 'x');
    const Case cases[] = {
        {"a record with CR LF", kRecord + "\r\n", {kRecord}},
        {"a bare line feed drops the last digit", kRecord + "\n", {kRecord.substr(0, 49)}},
        {"junk before the record",
         "\x01\xff garbage!!\r\n" + kRecord + "\r\n",
         {"\x01\xff garbage!!", kRecord}},
        {"a cut record then a whole one",
         kRecord.substr(0, 20) + "\r\n" + kRecord + "\r\n",
         {kRecord.substr(0, 20), kRecord}},
        {"CR CR LF keeps one CR", kRecord + "\r\r\n", {kRecord + "\r"}},
        {"LF CR swaps",
         kRecord + "\n\r" + kRecord + "\n\r",
         {kRecord.substr(0, 49), "\r" + kRecord.substr(0, 49)}},
        {"a line feed with nothing collected", "\n", {""}},
        {"two line feeds", kRecord + "\r\n\n", {kRecord, ""}},
        {"no line feed yet", kRecord + "\r", {}},
        {"512 characters then LF", k512 + "\n", {std::string(511, 'x')}},
        {"the 513th character is dropped", k512 + "ABCDE\r\n", {"BCDE"}},
        {"NUL bytes end the handed-over text",
         std::string("!!00\0"
                     "11\r\n",
                     9),
         {"!!00"}},
    };
    for (const Case& c : cases) {
        Collector collector;
        collector.Feed(c.bytes);
        EXPECT_EQ(collector.lines, c.lines) << c.name;
    }
}

TEST(LineAssembler, RefusesPortsOutsideOneToFour) {
    struct Case {
        int port;
        int result;
    };
    const Case cases[] = {{-1, -1}, {0, -1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, -1}, {99, -1}};
    for (const Case& c : cases) {
        Collector collector;
        collector.Feed("abc");
        EXPECT_EQ(collector.assembler.OnSerialCharacter('d', c.port), c.result) << c.port;
        EXPECT_EQ(collector.assembler.OnSerialCharacter('\n', c.port), c.result) << c.port;
        EXPECT_EQ(collector.assembler.linePos(), c.result == 0 ? 0 : 3) << c.port;
        EXPECT_EQ(collector.lines.size(), c.result == 0 ? 1u : 0u) << c.port;
    }
}

TEST(LineAssembler, KeepsAPartLineAcrossCallsAndStoresOnlyTheLowByte) {
    Collector collector;
    collector.Feed(kRecord.substr(0, 10));
    EXPECT_EQ(collector.assembler.linePos(), 10);
    collector.assembler.OnSerialCharacter(0x100 + '0', 2);
    collector.Feed(kRecord.substr(11) + "\r\n", 3);
    EXPECT_EQ(collector.lines, std::vector<std::string>{kRecord});
}

TEST(LineAssembler, AHandedOverLineSurvivesCharactersArrivingDuringItsProcessing) {
    std::vector<std::string> seen;
    LineAssembler* self = nullptr;
    bool nested = false;
    LineAssembler assembler([&](const char* line) {
        if (!nested) {
            nested = true;
            // Characters handled inside processing (a nested event pump).
            for (char c : std::string("XXXXXXXXXXXXXXXXXXXX")) self->OnSerialCharacter(c, 1);
        }
        seen.emplace_back(line);
    });
    self = &assembler;
    for (char c : kRecord + "\r\n") assembler.OnSerialCharacter(c, 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], kRecord);
    EXPECT_EQ(assembler.linePos(), 20);
}

// A device lost after "!!00" of a 40-digit record, then a whole 40-digit
// record: glued, the two would make a 46-character line starting with "!!",
// a length the record processor takes.
TEST(LineAssembler, ALineCutByALostDeviceIsDroppedAndNotGluedToTheNextRecord) {
    const std::string shortRecord = kRecord.substr(0, 42);
    Collector glued, dropped;
    glued.Feed("!!00");
    dropped.Feed("!!00");
    dropped.assembler.DropPartialLine();
    glued.Feed(shortRecord + "\r\n");
    dropped.Feed(shortRecord + "\r\n");
    EXPECT_EQ(glued.lines, std::vector<std::string>{"!!00" + shortRecord});
    EXPECT_EQ(glued.lines[0].size(), 46u);
    EXPECT_EQ(dropped.lines, std::vector<std::string>{shortRecord});
}

}  // namespace
