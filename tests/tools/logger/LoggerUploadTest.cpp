// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger's settings file and its uploads: a file in the station
// display's own format, the command line winning over it, and a live run
// through a pseudo-terminal that reaches an APRS-IS listener on 127.0.0.1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSettings>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "../../core/TempDir.h"
#include "ConfigFile.h"
#include "LoggerConfig.h"
#include "LoggerOptions.h"
#include "LoopbackServer.h"
#include "PtyPair.h"
#include "ReportsTestSupport.h"
#include "ToolRunner.h"

namespace {
using namespace std::chrono_literals;

// The file as the display's QSettings writes it.
std::string WriteDisplaySettings(const TempDir& dir, const std::string& server) {
    const std::string path = (dir.path() / "nimbulo-logger.conf").string();
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    settings.setValue("Mqtt/Enabled", 1);
    settings.setValue("Mqtt/Host", "broker.local");
    settings.setValue("Mqtt/Port", 8883);
    settings.setValue("Mqtt/StationId", "garden, north");
    settings.setValue("Mqtt/PasswordFile", "/etc/nimbulo/mqtt password");
    settings.setValue("Settings/WxnowJson", 1);
    settings.setValue("Settings/StaleAfter", 30);
    settings.setValue("Cwop/Enabled", 1);
    settings.setValue("Cwop/Id", "CW1234");
    settings.setValue("Cwop/Latitude", 49.058333);
    settings.setValue("Cwop/Longitude", -72.029167);
    settings.setValue("Cwop/Server", QString::fromStdString(server));
    settings.setValue("Cwop/Interval", 1);
    settings.setValue("Wunderground/Enabled", 0);
    settings.setValue("Wunderground/StationId", "KOFF1");
    settings.setValue("Web/Enabled", 1);
    settings.setValue("Web/Address", "0.0.0.0");
    settings.setValue("Web/Port", 8081);
    settings.sync();
    return path;
}

ParsedOptions Parse(std::vector<std::string> args) {
    return ParseLoggerOptions(args);
}
}  // namespace

// With the file's own LF line ends and with CRLF ones, as an editor on
// Windows leaves them.
TEST(LoggerConfig, ReadsTheDisplaysSettingsFileAndTheCommandLineWins) {
    for (const bool crlf : {false, true}) {
        SCOPED_TRACE(crlf ? "CRLF" : "LF");
        TempDir dir;
        const std::string file = WriteDisplaySettings(dir, "127.0.0.1:14580");
        if (crlf) {
            std::ostringstream text;
            text << std::ifstream(file).rdbuf();
            std::ofstream(file) << std::regex_replace(text.str(), std::regex("\n"), "\r\n");
        }
        const ParsedOptions parsed =
            Parse({"--config", file, "--device", "/dev/null", "--mqtt-station-id", "south"});
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        const LoggerOptions& o = parsed.options;
        EXPECT_EQ(o.mqtt.host, "broker.local");
        EXPECT_EQ(o.mqtt.port, 8883);
        EXPECT_EQ(o.mqtt.stationId, "south");
        EXPECT_EQ(o.mqtt.passwordFile, "/etc/nimbulo/mqtt password");
        EXPECT_TRUE(o.wxnow);
        EXPECT_EQ(o.staleAfterSeconds, 30);
        EXPECT_EQ(o.uploads.cwop.id, "CW1234");
        EXPECT_TRUE(o.uploads.cwop.havePosition);
        EXPECT_DOUBLE_EQ(o.uploads.cwop.latitude, 49.058333);
        EXPECT_DOUBLE_EQ(o.uploads.cwop.longitude, -72.029167);
        EXPECT_EQ(o.uploads.cwop.server, "127.0.0.1:14580");
        EXPECT_EQ(o.uploads.cwop.timing.interval, 1s);
        EXPECT_EQ(o.uploads.wunderground.stationId, "") << "a group not enabled stays off";
        EXPECT_EQ(o.web, (WebSettings{true, "0.0.0.0", 8081}));
        const ParsedOptions http =
            Parse({"--config", file, "--device", "/dev/null", "--http", "9000"});
        EXPECT_EQ(http.options.web, (WebSettings{true, "127.0.0.1", 9000}));
    }
}

// Every value as Qt's settings writer escapes it comes back as it was set.
TEST(LoggerConfig, ReadsEveryValueAsTheDisplaysSettingsWroteIt) {
    const std::vector<std::string> values = {"C:\\keys\\wu",
                                             "say \"hi\"",
                                             "@at",
                                             "a, b",
                                             "x;y",
                                             "k=v",
                                             " lead",
                                             "trail ",
                                             "tab\there",
                                             "Z\u00fcrich",
                                             "#hash",
                                             "line\nbreak",
                                             "",
                                             "plain",
                                             "\x01"
                                             "7"};
    TempDir dir;
    const std::string path = (dir.path() / "values.conf").string();
    {
        QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
        for (std::size_t i = 0; i < values.size(); ++i)
            settings.setValue(QString("Values/Key%1").arg(i), QString::fromStdString(values[i]));
    }
    ConfigFile config;
    std::string error;
    ASSERT_TRUE(config.Load(path, error)) << error;
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(config.Value("Values", "Key" + std::to_string(i)), values[i]) << values[i];
    }
}

// The window's settings are read in the user's locale: a comma one must
// still take the point the file writes.
TEST(LoggerConfig, ReadsAPositionWithItsPointUnderACommaLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "scripts/setup generates de_DE.UTF-8";
    CwopOptions cwop;
    const bool parsed = ParsePosition("49.5,-72.25", cwop);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(parsed);
    EXPECT_DOUBLE_EQ(cwop.latitude, 49.5);
    EXPECT_DOUBLE_EQ(cwop.longitude, -72.25);
}

// A file that is no settings file is named, and a FIFO is not waited on.
TEST(LoggerConfig, RefusesWhatIsNoSettingsFileAndNamesIt) {
    TempDir dir;
    const std::string folder = (dir.path() / "folder.conf").string();
    const std::string fifo = (dir.path() / "fifo.conf").string();
    const std::string garbage = (dir.path() / "garbage.conf").string();
    const std::string flag = (dir.path() / "flag.conf").string();
    std::filesystem::create_directory(folder);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const char binary[] =
        "[Mqtt]\nEnabled=1\n\x7f"
        "ELF\x02\x01\x01\0\0";
    std::ofstream(garbage) << std::string(binary, sizeof binary - 1);
    std::ofstream(flag) << "[Mqtt]\r\nEnabled=yes\r\nHost=b\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {folder, "a directory"},
        {fifo, "not a regular file"},
        {garbage, "binary data on line 3"},
        {flag, "[Mqtt] Enabled needs 1, 0, true or false"},
    };
    for (const auto& [file, why] : cases) {
        const std::string error = Parse({"--config", file, "--device", "/dev/null"}).error;
        EXPECT_NE(error.find(file), std::string::npos) << error;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
    std::ofstream(flag) << "[Mqtt]\nEnabled=true\nHost=b\n[Settings]\nWxnowJson=TRUE\n";
    const ParsedOptions parsed = Parse({"--config", flag, "--device", "/dev/null"});
    EXPECT_EQ(parsed.options.mqtt.host, "b") << parsed.error;
    EXPECT_TRUE(parsed.options.wxnow);
}

TEST(LoggerConfig, AMissingFileIsAnErrorOnlyWhenNamedWithConfig) {
    const std::string missing = "/nonexistent/nimbulo-logger.conf";
    const ParsedOptions named = Parse({"--config", missing, "--device", "/dev/null"});
    EXPECT_NE(named.error.find("cannot read '" + missing + "'"), std::string::npos) << named.error;
    EXPECT_TRUE(Parse({"--config-if-present", missing, "--device", "/dev/null"}).ok());
}

TEST(LoggerConfig, RefusesUploadsThatCannotWork) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--cwop", "CW1234"}, "--cwop needs --position LAT,LON"},
        {{"--cwop", "CW1234", "--position", "91,0"}, "--position needs LAT,LON"},
        {{"--wunderground", "K1"}, "--wunderground needs --wunderground-key-file FILE"},
        {{"--upload-interval", "0"}, "--upload-interval needs a number of seconds"},
        {{"--http", "localhost:8080"}, "--http needs [ADDRESS:]PORT"},
        {{"--http", "0"}, "--http needs [ADDRESS:]PORT"},
    };
    for (auto [args, error] : cases) {
        args.insert(args.end(), {"--device", "/dev/null"});
        EXPECT_NE(Parse(args).error.find(error), std::string::npos) << Parse(args).error;
    }
}

class LoggerUploads : public ToolRunner {};

// The service's way: the settings file read when present, the device live.
TEST_F(LoggerUploads, ALiveRunSendsItsFiveMinutePointToCwop) {
    LoopbackServer server([](LoopbackServer& s, int fd) {
        LoopbackServer::Send(fd, "# aprsc test\r\n");
        s.Record(LoopbackServer::ReadLine(fd));
        LoopbackServer::Send(fd, "# logresp CW1234 unverified, server TEST\r\n");
        s.Record(LoopbackServer::ReadLine(fd));
        LoopbackServer::ReadLine(fd);
    });
    TempDir dir;
    const std::string config = WriteDisplaySettings(dir, server.address());
    QSettings(QString::fromStdString(config), QSettings::IniFormat).setValue("Mqtt/Enabled", 0);
    PtyPair pty;
    Start("logger", {"--config-if-present", config, "--device", pty.slavePath, "--year", "2002"});
    // The device is flushed when opened: the records go after it.
    ASSERT_TRUE(
        WaitFor([&] { return Err("logger").find("reading COM1") != std::string::npos; }, 10s));
    // The reading thread flushes the device once more when it starts, which
    // a loaded machine may run after the line above: five more minutes go
    // out until the packet has come.
    bool sent = false;
    for (int minute = 1; minute <= 60 && !sent; ++minute) {
        reports_test::Record r;
        r.minuteOfDay = minute;
        ASSERT_TRUE(pty.Write(r.Line() + "\r\n"));
        if (minute % 5 == 0) sent = server.WaitForRecords(2, 5s);
    }
    ASSERT_TRUE(sent || server.WaitForRecords(2)) << Err("logger");
    const auto records = server.records();
    EXPECT_EQ(records[0].rfind("user CW1234 pass -1 vers Nimbulo ", 0), 0u) << records[0];
    EXPECT_NE(records[1].find(":@"), std::string::npos) << records[1];
    EXPECT_NE(records[1].find("z4903.50N/07201.75W_180/006g006t045"), std::string::npos)
        << records[1];
    Signal("logger", SIGTERM);
    EXPECT_EQ(Wait("logger", 10s), 0) << Err("logger");
    EXPECT_EQ(Err("logger").find("CWOP"), std::string::npos) << Err("logger");
}

// A key file the logger cannot take ends it at start (status 2) with the
// reason: a FIFO is not waited on, an empty file does not send an empty key.
TEST_F(LoggerUploads, AKeyFileThatIsNoRegularFileWithAKeyEndsTheStart) {
    const std::string recording = work + "/recording.txt";
    std::ofstream(recording) << reports_test::Record{}.Line() << "\r\n";
    const std::string fifo = work + "/fifo", empty = work + "/empty", folder = work + "/folder";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(empty).close();
    std::filesystem::create_directory(folder);
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "is a FIFO, not a regular file"},
        {empty, "is empty"},
        {folder, "is a directory, not a regular file"},
    };
    for (const auto& [file, why] : cases) {
        Start("logger",
              {"--replay", recording, "--pwsweather", "P1", "--pwsweather-key-file", file});
        EXPECT_EQ(Wait("logger", 10s), 2) << Err("logger");
        EXPECT_NE(Err("logger").find("PWSweather: cannot read the station key file '" + file +
                                     "': " + why),
                  std::string::npos)
            << Err("logger");
    }
}
