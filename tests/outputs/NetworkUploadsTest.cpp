// SPDX-License-Identifier: GPL-3.0-or-later
// The uploads against real servers on 127.0.0.1: an APRS-IS listener that
// records the login and the packet (read back by direwolf's decode_aprs),
// and an HTTP listener that records the query.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <regex>

#include "../core/TempDir.h"
#include "CommandOutput.h"
#include "ConnectionTests.h"
#include "LoopbackServer.h"
#include "MqttPublisher.h"
#include "StationUploadQuery.h"
#include "UploadTestSupport.h"

using reports_test::Record;

namespace {
// An APRS-IS server: a greeting, the login, its answer, one packet.
void AprsIsSession(LoopbackServer& server, int fd, const std::string& verdict) {
    LoopbackServer::Send(fd, "# aprsc test\r\n");
    const std::string login = LoopbackServer::ReadLine(fd);
    const std::string id = login.substr(5, login.find(' ', 5) - 5);
    LoopbackServer::Send(fd, "# logresp " + id + " " + verdict + ", server TEST\r\n");
    const std::string packet = LoopbackServer::ReadLine(fd);
    server.Record(login);
    server.Record(packet);
    LoopbackServer::ReadLine(fd);  // the client's end
}

LoopbackServer::Handler AprsIsServer(const std::string& verdict = "unverified") {
    return [verdict](LoopbackServer& s, int fd) { AprsIsSession(s, fd, verdict); };
}

// An HTTP server answering every GET with reply; records the request target.
LoopbackServer::Handler HttpServer(const std::string& reply) {
    return [reply](LoopbackServer& server, int fd) {
        const std::string request = LoopbackServer::ReadLine(fd);
        while (!LoopbackServer::ReadLine(fd).empty()) {
        }
        server.Record(request.substr(4, request.rfind(' ') - 4));
        LoopbackServer::Send(fd,
                             "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(reply.size()) +
                                 "\r\nConnection: close\r\n\r\n" + reply);
    };
}

CwopOptions Cwop(const LoopbackServer& server, const std::string& id = "CW1234") {
    CwopOptions cwop;
    cwop.id = id;
    cwop.latitude = 49.058333;    // 49 03.50 N
    cwop.longitude = -72.029167;  // 072 01.75 W
    cwop.havePosition = true;
    cwop.server = server.address();
    cwop.timing = EveryPoint();
    return cwop;
}

UploadOptions CwopOnly(CwopOptions cwop) {
    UploadOptions options;
    options.cwop = std::move(cwop);
    return options;
}

std::string DecodeAprs(const std::string& packet) {
    const std::string command =
        "echo '" + packet + "' | decode_aprs 2>&1 | sed 's/\\x1b\\[[0-9;]*m//g'";
    return CommandOutput(command);
}

std::string UrlDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

std::map<std::string, std::string> QueryOf(const std::string& target) {
    std::map<std::string, std::string> query;
    std::string rest = target.substr(target.find('?') + 1);
    std::smatch m;
    const std::regex pair("([^&=]+)=([^&]*)");
    for (auto it = std::sregex_iterator(rest.begin(), rest.end(), pair);
         it != std::sregex_iterator(); ++it) {
        query[(*it)[1]] = UrlDecode((*it)[2]);
    }
    return query;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Five minutes of the default readings ending in a point, both rain counters
// rising 0.03 in after the run's first record: 0.03 in the last hour, 0.15 today.
void RainingPoint(LiveStation& station) {
    Record record;
    record.minuteOfDay = 1;
    record.rainLongTerm = 500;
    station.Line(record);
    record.rainToday = 15;
    record.rainLongTerm = 503;
    for (record.minuteOfDay = 2; record.minuteOfDay <= 5; ++record.minuteOfDay) {
        station.Line(record);
    }
}

// The dew point of the record's 45.3 F and 87 %, by the Magnus formula.
double DewPointOfTheRecord() {
    const double celsius = (45.3 - 32.0) / 1.8;
    const double gamma = std::log(0.87) + 17.625 * celsius / (243.04 + celsius);
    return 243.04 * gamma / (17.625 - gamma) * 1.8 + 32.0;
}

struct LoginCase {
    std::string id;
    std::string passcode;  // empty: no passcode file
    std::string verdict;
    std::string expectedPass;
};

class CwopLogin : public ::testing::TestWithParam<LoginCase> {};
}  // namespace

TEST_P(CwopLogin, SendsTheLoginAndOneWeatherPacketOfTheFiveMinutes) {
    const LoginCase& c = GetParam();
    LoopbackServer server(AprsIsServer(c.verdict));
    TempDir secrets;
    UploadOptions options = CwopOnly(Cwop(server, c.id));
    if (!c.passcode.empty()) {
        options.cwop.passcodeFile = secrets.Write("passcode", c.passcode + "\n").string();
    }
    options.softwareVersion = "9.9";
    LiveStation station(options);
    const std::time_t before = std::time(nullptr);
    RainingPoint(station);
    ASSERT_TRUE(server.WaitForRecords(2));
    const std::time_t after = std::time(nullptr);
    const auto records = server.records();
    EXPECT_EQ(records[0], "user " + c.id + " pass " + c.expectedPass + " vers Nimbulo 9.9");

    // The record's readings: 9.0 km/h average and 10.0 km/h at most (6 mph),
    // raw direction 128 (180 degrees), 45.3 F, 0.03 in in the last hour and
    // 0.15 in today, 87.0 %, 1013.2 hPa.
    std::smatch m;
    const std::regex packet(c.id + R"(>APRS,TCPIP\*:@(\d{6})z4903\.50N/07201\.75W_)" +
                            R"(180/006g006t045r003p\.\.\.P015h87b10132\.Nimbulo)");
    ASSERT_TRUE(std::regex_match(records[1], m, packet)) << records[1];
    std::set<std::string> times;
    for (std::time_t t : {before, after}) {
        std::tm utc{};
        gmtime_r(&t, &utc);
        times.insert(Fixed(utc.tm_mday * 10000 + utc.tm_hour * 100 + utc.tm_min, 0));
    }
    EXPECT_TRUE(times.count(std::to_string(std::stoi(m[1]))) == 1) << m[1];
    EXPECT_TRUE(station.reports().empty());

    if (std::system("command -v decode_aprs >/dev/null 2>&1") != 0) return;
    const std::string decoded = DecodeAprs(records[1]);
    for (const char* expected :
         {"N 49 03.5000, W 072 01.7500", "direction 180", "gust 6", "temperature 45",
          "rain 0.03 in last hour", "rain 0.15 since midnight", "humidity 87", "barometer 29.92"}) {
        EXPECT_NE(decoded.find(expected), std::string::npos) << expected << "\n" << decoded;
    }
}

INSTANTIATE_TEST_SUITE_P(CwopIdsAndCallSigns, CwopLogin,
                         ::testing::Values(LoginCase{"CW1234", "", "unverified", "-1"},
                                           LoginCase{"N0CALL", "12345", "verified", "12345"}));

TEST(CwopUpload, AReplaySendsNothingAndTheFirstLivePointIsTheFirstPacket) {
    LoopbackServer server(AprsIsServer());
    LiveStation station(CwopOnly(Cwop(server)));
    std::string recording;
    Record old;
    old.tempOutdoor = 700;
    for (int minute = 1; minute <= 30; ++minute) {
        old.minuteOfDay = minute;
        recording += old.Line() + "\r\n";
    }
    reports_test::WriteFile("recording.txt", recording);
    ASSERT_TRUE(station.pipeline().ReplayFile("recording.txt").opened);
    EXPECT_EQ(station.pipeline().cycle().fiveMinutePoints(), 6);
    station.SetMinute(30);
    station.Point();  // 45.3 F
    ASSERT_TRUE(server.WaitForRecords(2));
    EXPECT_NE(server.records()[1].find("t045"), std::string::npos) << server.records()[1];
}

TEST(CwopUpload, ACallSignTheServerDoesNotVerifyIsReported) {
    LoopbackServer server(AprsIsServer("unverified"));
    TempDir secrets;
    UploadOptions options = CwopOnly(Cwop(server, "N0CALL"));
    options.cwop.passcodeFile = secrets.Write("passcode", "1\n").string();
    LiveStation station(options);
    station.Point();
    ASSERT_TRUE(station.WaitForReports(1));
    EXPECT_NE(station.reports()[0].find("did not accept the passcode"), std::string::npos);
    ASSERT_TRUE(server.WaitForRecords(2));
    EXPECT_EQ(server.records()[1], "") << "no packet after the refused login";
}

TEST(StationUpload, SendsTheReadingsOfThePointAsTheQuery) {
    LoopbackServer server(HttpServer("success\n"));
    TempDir secrets;
    UploadOptions options;
    options.softwareVersion = "9.9";
    options.wunderground = {"KTEST1", secrets.Write("key", "s3cr3t&=\n").string(),
                            "http://" + server.address() + "/weatherstation/update.php",
                            EveryPoint()};
    LiveStation station(options);
    RainingPoint(station);
    ASSERT_TRUE(server.WaitForRecords(1));
    const std::string target = server.records()[0];
    EXPECT_EQ(target.rfind("/weatherstation/update.php?", 0), 0u) << target;
    std::map<std::string, std::string> query = QueryOf(target);
    EXPECT_TRUE(std::regex_match(query["dateutc"], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << query["dateutc"];
    query.erase("dateutc");
    // Worked out from the records: 45.3 F, 87.0 %, raw direction 128, 9.0 and
    // 10.0 km/h, 1013.2 hPa at 0.002953 inHg per 0.1 hPa, 0.15 in today of
    // which 0.03 in the last hour.
    const std::map<std::string, std::string> expected{{"ID", "KTEST1"},
                                                      {"PASSWORD", "s3cr3t&="},
                                                      {"tempf", "45.3"},
                                                      {"humidity", "87"},
                                                      {"dewptf", Fixed(DewPointOfTheRecord(), 1)},
                                                      {"winddir", "180"},
                                                      {"windspeedmph", Fixed(9.0 * 0.62, 1)},
                                                      {"windgustmph", "6.2"},
                                                      {"baromin", Fixed(10132 * 0.002953, 3)},
                                                      {"rainin", "0.03"},
                                                      {"dailyrainin", "0.15"},
                                                      {"softwaretype", "Nimbulo 9.9"},
                                                      {"action", "updateraw"}};
    EXPECT_EQ(query, expected);
    EXPECT_TRUE(station.reports().empty());
}

TEST(StationUpload, AnAnswerOtherThanSuccessIsReportedOnceWithItsText) {
    LoopbackServer server(
        HttpServer("INVALIDPASSWORDID|Password or key and/or id are incorrect\n"));
    TempDir secrets;
    UploadOptions options;
    options.wunderground = {"KTEST1", secrets.Write("key", "wrong\n").string(),
                            "http://" + server.address() + "/update.php", EveryPoint()};
    LiveStation station(options);
    while (server.connections() < 3) {
        // A point while the last try is under way is not taken: another one.
        station.Point();
        server.WaitForRecords(server.records().size() + 1, std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(station.WaitForReports(1));
    const auto reports = station.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Weather Underground (http://127.0.0.1"), std::string::npos)
        << reports[0];
    EXPECT_NE(reports[0].find("'INVALIDPASSWORDID|Password or key and/or id are incorrect'"),
              std::string::npos)
        << reports[0];
    EXPECT_EQ(reports[0].find("wrong"), std::string::npos) << "the key is never shown";
}

// Nothing listens at first: the refusal is told once, and once that it works again.
TEST(CwopUpload, AServerThatIsDownIsReportedOnceAndItsReturnOnce) {
    LoopbackServer server(AprsIsServer(), false);
    LiveStation station(CwopOnly(Cwop(server)));
    station.Point();
    ASSERT_TRUE(station.WaitForReports(1));
    station.Point();
    station.Point();
    server.Listen();
    while (station.reports().size() < 2) {
        station.Point();
        station.WaitForReports(2, std::chrono::milliseconds(100));
    }
    const auto reports = station.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(
        reports[0].find("CWOP (" + server.address() + "): upload failed (Connection refused)"),
        std::string::npos)
        << reports[0];
    EXPECT_EQ(reports[1], "CWOP (" + server.address() + "): uploading again");
    // The same two, by network, for the uploads alarm.
    const auto faults = station.faults();
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].output, "CWOP");
    EXPECT_TRUE(faults[0].failing);
    EXPECT_EQ(reports[0], "CWOP (" + server.address() + "): " + faults[0].message);
    EXPECT_EQ(faults[1].output, "CWOP");
    EXPECT_FALSE(faults[1].failing);
    EXPECT_EQ(faults[1].message, "uploading again");
}

// A server that takes the connection and never answers: the points go on,
// the hang is reported once, and a stop does not wait for the time-out.
TEST(CwopUpload, AServerThatHangsHoldsUpNeitherThePointsNorTheStop) {
    LoopbackServer server([](LoopbackServer& s, int) { s.WaitForEnd(); });
    UploadOptions options = CwopOnly(Cwop(server));
    options.cwop.timing = EveryPoint(std::chrono::hours(1));
    LiveStation hung(options);
    hung.Point();
    ASSERT_TRUE(server.WaitForConnections(1));
    for (int i = 0; i < 12; ++i) hung.Point();
    EXPECT_EQ(hung.pipeline().cycle().fiveMinutePoints(), 13);
    hung.uploads().Stop();
    EXPECT_TRUE(hung.reports().empty());
}

TEST(CwopUpload, AServerThatNeverAnswersIsReportedOnce) {
    LoopbackServer server([](LoopbackServer&, int fd) { LoopbackServer::ReadLine(fd); });
    UploadOptions options = CwopOnly(Cwop(server));
    options.cwop.timing = EveryPoint(std::chrono::milliseconds(200));
    LiveStation station(options);
    while (server.connections() < 3) {
        station.Point();
        station.WaitForReports(1);
    }
    const auto reports = station.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("upload failed"), std::string::npos) << reports[0];
}

// The outdoor temperature goes absent ("----") for the point's last three
// records: neither it nor the dew point worked out from it goes out.
TEST(Uploads, AReadingTheLatestRecordLacksIsNeitherSentNorDerived) {
    LoopbackServer aprs(AprsIsServer());
    LoopbackServer http(HttpServer("success\n"));
    TempDir secrets;
    UploadOptions options = CwopOnly(Cwop(aprs));
    options.wunderground = {"KTEST1", secrets.Write("key", "k\n").string(),
                            "http://" + http.address() + "/update.php", EveryPoint()};
    LiveStation station(options);
    for (int minute = 1; minute <= 5; ++minute) {
        Record record;
        record.minuteOfDay = minute;
        record.tempOutdoor = -55;  // -5.5 F
        std::string line = record.Line();
        if (minute >= 3) line.replace(2 + 2 * 4, 4, "----");
        station.pipeline().ProcessLine(line.c_str());
    }
    ASSERT_TRUE(aprs.WaitForRecords(2));
    ASSERT_TRUE(http.WaitForRecords(1));
    EXPECT_NE(aprs.records()[1].find("g006t...r"), std::string::npos) << aprs.records()[1];
    const std::map<std::string, std::string> query = QueryOf(http.records()[0]);
    EXPECT_EQ(query.count("tempf"), 0u) << http.records()[0];
    EXPECT_EQ(query.count("dewptf"), 0u) << http.records()[0];
    EXPECT_EQ(query.count("humidity"), 1u) << http.records()[0];
}

// PWSweather answers in JSON, its "success" flag the verdict; any answer is
// shown on one line without the key.
TEST(StationUpload, TheAnswerDecidesAndIsShownOnOneLineWithoutTheKey) {
    struct Case {
        bool pwsweather;
        std::string reply;
        std::string shown;  // empty: a success, nothing reported
    };
    const Case cases[] = {
        {true, R"({"success":true,"error":null,"response":{"message":"Data Logged"}})", ""},
        {true, R"({"success":false,"error":"Invalid key"})",
         R"(answered 200 '{"success":false,"error":"Invalid key"}')"},
        {false, "busy\nnimbulo-logger: forged line, key s3cr3t",
         "answered 200 'busy nimbulo-logger: forged line, key ***'"},
    };
    for (const Case& c : cases) {
        LoopbackServer server(HttpServer(c.reply));
        TempDir secrets;
        UploadOptions options;
        StationUploadOptions& upload = c.pwsweather ? options.pwsweather : options.wunderground;
        upload = {"KTEST1", secrets.Write("key", "s3cr3t\n").string(),
                  "http://" + server.address() + "/update.php", EveryPoint()};
        LiveStation station(options);
        // A third try starts only once the first has been reported.
        while (server.connections() < 3) {
            station.Point();
            server.WaitForRecords(server.records().size() + 1, std::chrono::milliseconds(100));
        }
        const auto reports = station.reports();
        if (c.shown.empty()) {
            EXPECT_TRUE(reports.empty()) << c.reply << ": " << reports[0];
            continue;
        }
        ASSERT_EQ(reports.size(), 1u) << c.reply;
        EXPECT_NE(reports[0].find(c.shown), std::string::npos) << reports[0];
        EXPECT_EQ(reports[0].find('\n'), std::string::npos) << reports[0];
    }
}

// A server name that does not resolve (".invalid" never does, and needs no
// network to say so) is named in the problem each output reports and in
// the answer of its Test button.
TEST(Uploads, AServerNameThatCannotBeFoundIsNamed) {
    const std::string host = "nonexistent.invalid";
    TempDir secrets;
    const StationUploadOptions station{"KTEST1", secrets.Write("key", "k\n").string(),
                                       "https://" + host + "/update.php", EveryPoint()};
    CwopOptions cwop;
    cwop.id = "CW1234";
    cwop.havePosition = true;
    cwop.server = host + ":14580";
    cwop.timing = EveryPoint();
    MqttOptions mqtt;
    mqtt.host = host;
    const auto uploaded = [](const UploadOptions& options) {
        LiveStation live(options);
        live.Point();
        return live.WaitForReports(1) ? live.reports()[0] : "";
    };
    UploadOptions wunderground;
    wunderground.wunderground = station;
    const std::pair<const char*, std::function<std::string()>> cases[] = {
        {"CWOP", [&] { return uploaded(CwopOnly(cwop)); }},
        {"Weather Underground", [&] { return uploaded(wunderground); }},
        {"MQTT",
         [&] {
             std::string told;
             MqttPublisher publisher(mqtt, [&](const std::string& m) { told = m; });
             publisher.Start();
             return told;
         }},
        {"CWOP Test", [&] { return TestCwopLogin(cwop, "9.9").message; }},
        {"PWSweather Test", [&] { return TestStationUpload(station, true, "9.9").message; }},
        {"MQTT Test", [&] { return TestMqttConnection(mqtt, std::chrono::seconds(5)).message; }},
    };
    for (const auto& [output, problem] : cases) {
        const std::string told = problem();
        EXPECT_NE(told.find("the host " + host + " cannot be found"), std::string::npos)
            << output << ": " << told;
    }
}

// A server that answers the login with anything but "# logresp" is
// reported with its words.
TEST(CwopUpload, AnAnswerToTheLoginThatIsNoLogrespIsReportedWithItsWords) {
    const std::pair<std::string, std::string> cases[] = {
        {"Invalid login\r\n", "upload failed (the server answered 'Invalid login')"},
        {"# Login by user not allowed\r\n",
         "upload failed (the server ended the connection after '# Login by user not allowed')"},
    };
    for (const auto& [answer, shown] : cases) {
        LoopbackServer server([answer = answer](LoopbackServer& s, int fd) {
            LoopbackServer::Send(fd, "# aprsc test\r\n");
            s.Record(LoopbackServer::ReadLine(fd));
            LoopbackServer::Send(fd, answer);
        });
        LiveStation station(CwopOnly(Cwop(server)));
        station.Point();
        ASSERT_TRUE(station.WaitForReports(1));
        EXPECT_NE(station.reports()[0].find(shown), std::string::npos) << station.reports()[0];
    }
}
