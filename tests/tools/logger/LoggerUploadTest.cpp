// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger's settings file and its uploads: a file in the station
// display's own format, the command line winning over it, and a live run
// through a pseudo-terminal that reaches an APRS-IS listener on 127.0.0.1.
#include <gtest/gtest.h>

#include <QSettings>
#include <csignal>

#include "../../core/TempDir.h"
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

TEST(LoggerConfig, ReadsTheDisplaysSettingsFileAndTheCommandLineWins) {
    TempDir dir;
    const std::string file = WriteDisplaySettings(dir, "127.0.0.1:14580");
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
    const ParsedOptions http = Parse({"--config", file, "--device", "/dev/null", "--http", "9000"});
    EXPECT_EQ(http.options.web, (WebSettings{true, "127.0.0.1", 9000}));
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
    for (int minute = 1; minute <= 5; ++minute) {
        reports_test::Record r;
        r.minuteOfDay = minute;
        ASSERT_TRUE(pty.Write(r.Line() + "\r\n"));
    }
    ASSERT_TRUE(server.WaitForRecords(2)) << Err("logger");
    const auto records = server.records();
    EXPECT_EQ(records[0].rfind("user CW1234 pass -1 vers Nimbulo ", 0), 0u) << records[0];
    EXPECT_NE(records[1].find(":@"), std::string::npos) << records[1];
    EXPECT_NE(records[1].find("z4903.50N/07201.75W_180/006g006t045"), std::string::npos)
        << records[1];
    Signal("logger", SIGTERM);
    EXPECT_EQ(Wait("logger", 10s), 0) << Err("logger");
    EXPECT_EQ(Err("logger").find("CWOP"), std::string::npos) << Err("logger");
}
