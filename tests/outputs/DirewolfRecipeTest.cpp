// SPDX-License-Identifier: GPL-3.0-or-later
// Runs Dire Wolf with the recipe of docs/direwolf, reading no audio (stdin)
// and sending to the null device, with its network ports and IGate off, and
// checks the beacon it transmits carries our APRS weather line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "../core/TempDir.h"
#include "AprsReport.h"
#include "CommandOutput.h"
#include "FileFaults.h"

namespace {
std::string Recipe(const std::filesystem::path& aprsFile) {
    std::ostringstream text;
    text << std::ifstream(NIMBULO_SOURCE_DIR "/docs/direwolf/nimbulo-weather.conf").rdbuf();
    std::string conf =
        std::regex_replace(text.str(), std::regex("ADEVICE .*"), "ADEVICE stdin null");
    conf = std::regex_replace(conf, std::regex("/home/station/nimbulo/wxreportaprs.txt"),
                              aprsFile.string());
    conf = std::regex_replace(conf, std::regex("delay=1:00"), "delay=0:01");
    return conf + "AGWPORT 0\nKISSPORT 0\n";
}

// Dire Wolf's output for three seconds, stdin held open and silent.
std::string RunDirewolf(const TempDir& dir) {
    const std::string command = "cd '" + dir.path().string() +
                                "' && (sleep 3 | timeout 3 direwolf -c dw.conf -t 0 -q d) 2>&1";
    return CommandOutput(command);
}
}  // namespace

TEST(DirewolfRecipe, TheBeaconCarriesTheWeatherLineOfWxreportaprs) {
    if (access("/usr/bin/direwolf", X_OK) != 0) GTEST_SKIP() << "direwolf is not installed";
    TempDir dir;
    dir.Enter();
    StationState s;
    s.windDirAvg = 128;  // 180 degrees
    s.windSpeedAvg = 5.6;
    s.gust = 12.4;
    s.tempOutdoor = 45.3;
    s.rainToday = 0.12;
    s.humidityOutdoor = 87.0;
    s.raw.pressure = 10132;
    FileFaults faults;
    AprsReport(faults).Write(
        FivePointValues::FromState(s, "!!0000008C01C5005E27940293035C0190006503580000003C"));
    dir.Write("dw.conf", Recipe(dir.path() / kAprsReportFile));

    const std::string output = RunDirewolf(dir);
    if (output.find("Reading config file") == std::string::npos ||
        output.find("Could not open audio device") != std::string::npos) {
        GTEST_SKIP() << "direwolf cannot start here:\n" << output;
    }
    EXPECT_NE(output.find("N0CALL-13>APDW"), std::string::npos) << output;
    EXPECT_NE(output.find(":!4237.14N/07120.83W_180/006g012t045r...p...P012h87b10132sU2k\n"),
              std::string::npos)
        << output;
}
