// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../core/TempDir.h"
#include "CurrentConditionsJson.h"
#include "WxnowJsonWriter.h"

namespace {
using namespace std::chrono_literals;

std::string ReadFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

StationState Record(int count) {
    StationState s;
    s.recordCount = count;
    s.tempOutdoor = count / 10.0;
    return s;
}
}  // namespace

TEST(WxnowJsonWriter, AtMostOnceASecondTheLatestOnFlushNothingLeftBeside) {
    TempDir dir;
    std::chrono::steady_clock::time_point now{};
    WxnowJsonWriter writer(dir.path() / "wxnow.json", [&now] { return now; });

    writer.OnRecord(Record(1));
    EXPECT_EQ(ReadFile(writer.path()), CurrentConditionsJson(Record(1)) + "\n");
    now += 999ms;
    writer.OnRecord(Record(2));  // too soon: held back
    EXPECT_EQ(ReadFile(writer.path()), CurrentConditionsJson(Record(1)) + "\n");
    now += 1ms;
    writer.OnRecord(Record(3));
    EXPECT_EQ(ReadFile(writer.path()), CurrentConditionsJson(Record(3)) + "\n");
    now += 10ms;
    writer.OnRecord(Record(4));
    writer.Flush();
    EXPECT_EQ(ReadFile(writer.path()), CurrentConditionsJson(Record(4)) + "\n");
    EXPECT_EQ(writer.filesWritten(), 3);
    // The temporary file was renamed into place each time.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
