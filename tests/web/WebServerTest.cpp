// SPDX-License-Identifier: GPL-3.0-or-later
// The web server over loopback, on a small archive written through Archive:
// every route, the refusals, paths that try to climb out, event streams.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "AlarmSet.h"
#include "Archive.h"
#include "ArchiveHistorySource.h"
#include "FivePointValues.h"
#include "HttpProbe.h"
#include "PageAlarms.h"
#include "StationState.h"
#include "WebServer.h"

namespace {

namespace fs = std::filesystem;
using namespace ArchiveColumns;
using namespace web_test;
using nlohmann::json;

ArchivePoint Point(const char* date, const char* time, double tempF, double rainToday) {
    ArchivePoint p;
    p.date = date;
    p.time = time;
    p.values[kTempOutdoor] = tempF;
    p.values[kHumidityOutdoor] = 80.0;
    p.values[kPressure] = 29.921;
    p.values[kRainToday] = rainToday;
    return p;
}

DaySummary Day(int day, double low, const char* lowTime, double high, const char* highTime) {
    DaySummary summary;
    summary.date.FromDate(3, day, 2026);
    summary.tempOutdoor.low = {low, lowTime};
    summary.tempOutdoor.high = {high, highTime};
    summary.windSpeedMax = {21.5, "13:05"};
    summary.rainDay = 0.25;
    return summary;
}

// Climate summaries for March and the year 2026 only.
class FakeSummaries : public SummarySource {
  public:
    std::optional<std::string> MonthText(int year, int month) override {
        if (year == 2026 && month == 3) return std::string("March 2026 summary\n");
        return std::nullopt;
    }
    std::optional<std::string> YearText(int year) override {
        if (year == 2026) return std::string("2026 summary\n");
        return std::nullopt;
    }
    std::optional<std::vector<Month>> MonthsWithData() override {
        return std::vector<Month>{{2026, 2}, {2026, 3}};
    }
};

StationState Record(int minuteOfDay, double tempF) {
    StationState state;
    state.raw.tempOutdoor = 1;  // present
    state.tempOutdoor = tempF;
    state.raw.minuteOfDay = minuteOfDay;
    state.currentYear = 2026;
    state.currentDate.FromDate(3, 2, 2026);
    state.recordCount = minuteOfDay;
    return state;
}

class WebServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("nimbulo-web-" + std::to_string(getpid()) + "-" +
                                            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(dir_ / "assets" / "sub");
        std::ofstream(dir_ / "assets" / "index.html") << "<h1>station page</h1>";
        std::ofstream(dir_ / "assets" / "app.js") << "console.log('page');";
        std::ofstream(dir_ / "assets" / "sub" / "hidden.js") << "secret";
        std::ofstream(dir_ / "assets" / "nimbulo.db") << "archive";
        std::ofstream(dir_ / "assets" / "huge.js") << std::string(5 << 20, ' ');
        std::ofstream(dir_ / "secret.txt") << "not for the network";
        const std::vector<ArchivePoint> points = {
            Point("2026-03-01", "00:00", 40.0, 0.0), Point("2026-03-01", "00:05", 35.0, 0.1),
            Point("2026-03-01", "00:20", 30.0, 0.1), Point("2026-03-02", "12:00", 50.0, 0.0)};
        const std::vector<DaySummary> days = {Day(1, 30.0, "00:20", 40.0, "00:00"),
                                              Day(2, 50.0, "12:00", 50.0, "12:00")};
        Archive(dir_ / Archive::kFileName, Archive::Access::Write).Write(points, days);
        StartServer(nullptr);
    }
    void TearDown() override {
        server_.reset();
        fs::remove_all(dir_);
    }

    void StartServer(SummarySource* summaries, WebServer::Limits limits = {}) {
        server_.reset();
        const fs::path archive = dir_ / Archive::kFileName;
        server_ = std::make_unique<WebServer>(
            live_,
            [archive]() -> std::unique_ptr<HistorySource> {
                return std::make_unique<ArchiveHistorySource>(archive);
            },
            summaries, limits);
        Listen();
    }
    void Listen() {
        WebSettings settings;
        settings.port = port_;
        std::string error;
        ASSERT_TRUE(server_->Start(settings, error, dir_ / "assets")) << error;
        port_ = server_->port();
    }

    fs::path dir_;
    LiveStore live_;
    std::unique_ptr<WebServer> server_;
    int port_ = 0;
};

TEST_F(WebServerTest, EachRouteAnswersWithItsTypeAndTheSafetyHeaders) {
    struct Case {
        const char* method;
        std::string target;
        int status;
        const char* type;  // the start of Content-Type
        const char* body;  // a part of the body
    };
    const Case cases[] = {
        {"GET", "/", 200, "text/html", "station page"},
        {"GET", "/assets/app.js", 200, "text/javascript", "console.log"},
        {"GET", "/assets/index.html", 200, "text/html", "station page"},
        {"GET", "/api/current", 200, "application/json", "\"units_hint\":\"us\""},
        {"GET", "/api/history?from=2026-03-01&to=2026-03-02&buckets=10", 200, "application/json",
         "\"bucket_minutes\""},
        {"GET", "/api/days?from=2026-03-01&to=2026-03-02", 200, "application/json",
         "\"date\":\"2026-03-02\""},
        {"GET", "/api/records", 200, "application/json", "\"all_time\""},
        {"HEAD", "/api/current", 200, "application/json", ""},
        // Refusals, each with a one-line reason.
        {"GET", "/nothing", 404, "text/plain", "no such page"},
        {"GET", "/assets/missing.js", 404, "text/plain", "no such file"},
        {"GET", "/assets/sub/hidden.js", 404, "text/plain", "no such file"},
        {"GET", "/assets/nimbulo.db", 404, "text/plain", "no such file"},
        {"GET", "/assets/huge.js", 404, "text/plain", "no such file"},
        {"GET", "/noaa/", 404, "text/plain", "no climate summaries"},
        {"GET", "/noaa/2026-03.txt", 404, "text/plain", "no climate summaries"},
        {"POST", "/", 405, "text/plain", "only GET and HEAD"},
        {"PUT", "/api/current", 405, "text/plain", "only GET and HEAD"},
        {"DELETE", "/assets/app.js", 405, "text/plain", "only GET and HEAD"},
        {"OPTIONS", "/events", 405, "text/plain", "only GET and HEAD"},
        {"GET", "/api/history?from=2026-13-01", 400, "text/plain", "from needs a date"},
        {"GET", "/api/history?to=yesterday", 400, "text/plain", "to needs a date"},
        {"GET", "/api/history?from=2026-03-02&to=2026-03-01", 400, "text/plain", "must not come"},
        {"GET", "/api/history?buckets=2001", 400, "text/plain", "buckets needs"},
        {"GET", "/api/history?buckets=12abc", 400, "text/plain", "buckets needs"},
        {"GET", "/api/history?buckets=0", 400, "text/plain", "buckets needs"},
        {"GET", "/api/days?from=2026-02-30", 400, "text/plain", "from needs a date"},
        // Paths that try to leave the assets folder, in every spelling.
        {"GET", "/assets/../../etc/passwd", 400, "text/plain", "leaves"},
        {"GET", "/assets/../secret.txt", 400, "text/plain", "leaves"},
        {"GET", "/assets/%2e%2e/%2e%2e/etc/passwd", 400, "text/plain", "leaves"},
        {"GET", "/assets/%2e%2e%2f%2e%2e%2fetc%2fpasswd", 400, "text/plain", "leaves"},
        {"GET", "/assets/%252e%252e%252f%252e%252e%252fetc%252fpasswd", 400, "text/plain",
         "leaves"},
        {"GET", "/assets/..%5c..%5csecret.txt", 400, "text/plain", "leaves"},
        {"GET", "/%2e%2e/secret.txt", 400, "text/plain", "leaves"},
        {"GET", "/assets/" + std::string(3000, 'a'), 414, "text/plain", "too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.target.substr(0, 80));
        Reply reply = Fetch(port_, c.target, c.method);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.headers["content-type"].rfind(c.type, 0), 0u)
            << reply.headers["content-type"];
        EXPECT_NE(reply.body.find(c.body), std::string::npos) << reply.body;
        EXPECT_EQ(reply.headers["x-content-type-options"], "nosniff");
        EXPECT_NE(reply.headers["content-security-policy"].find("default-src 'self'"),
                  std::string::npos);
        EXPECT_EQ(reply.headers["content-security-policy"].find("unsafe-inline"),
                  std::string::npos);
        // No path of the disk, nor the other file's text, in any answer.
        EXPECT_EQ(reply.body.find(dir_.string()), std::string::npos);
        EXPECT_EQ(reply.body.find("not for the network"), std::string::npos);
        if (c.status >= 400) {
            EXPECT_EQ(reply.body.find('\n'), reply.body.size() - 1);
        }
        if (c.status == 405) {
            EXPECT_EQ(reply.headers["allow"], "GET, HEAD");
        }
    }
}

TEST_F(WebServerTest, OversizedRequestHeadsAreRefusedWith431AndTheServerGoesOn) {
    const std::string big = "X-Big: " + std::string(20000, 'b') + "\r\n";
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += "X-H" + std::to_string(i) + ": " + std::string(60, 'h') + "\r\n";
    for (const std::string& headers : {big, many}) {
        EXPECT_EQ(Fetch(port_, "/api/current", "GET", headers).status, 431);
    }
    EXPECT_EQ(Fetch(port_, "/api/current").status, 200);
}

TEST_F(WebServerTest, ArchiveAnswersCarryTheArchivesValues) {
    const json history =
        json::parse(Fetch(port_, "/api/history?from=2026-03-01&to=2026-03-01&buckets=288").body);
    EXPECT_EQ(history["bucket_minutes"], 5);
    const json& temps = history["series"]["temperature_outdoor_f"];
    ASSERT_EQ(temps.size(), 288u);
    // Station time 2026-03-01 00:00 read as UTC.
    EXPECT_EQ(temps[0], json({1772323200000LL, 40.0, 40.0, 40.0}));
    EXPECT_EQ(temps[1][1], 35.0);
    EXPECT_TRUE(temps[2].is_null());  // 00:10: a gap
    EXPECT_EQ(temps[4][0], 1772323200000LL + 20 * 60000);
    ASSERT_TRUE(history["rain"].is_array());
    EXPECT_EQ(history["rain"][0], json({1772323200000LL, 0.1, 0.1}));

    // 26 buckets make them an hour wide: the first holds 00:00, 00:05 and 00:20.
    const json hour =
        json::parse(Fetch(port_, "/api/history?from=2026-03-01&to=2026-03-01&buckets=26").body);
    ASSERT_EQ(hour["bucket_minutes"], 60);
    EXPECT_EQ(hour["series"]["temperature_outdoor_f"][0],
              json({1772323200000LL, 30.0, 35.0, 40.0}));

    const json days = json::parse(Fetch(port_, "/api/days?from=2026-03-01&to=2026-03-02").body);
    ASSERT_EQ(days["days"].size(), 2u);
    EXPECT_EQ(days["days"][0]["temperature_outdoor_f"],
              json({{"min", 30.0}, {"min_time", "00:20"}, {"max", 40.0}, {"max_time", "00:00"}}));
    EXPECT_EQ(days["days"][0]["wind_speed_mph_max"], 21.5);
    EXPECT_EQ(days["days"][0]["rain_day_in"], 0.25);
    EXPECT_TRUE(days["days"][0]["pressure_inhg"]["min"].is_null());

    const json records = json::parse(Fetch(port_, "/api/records").body);
    EXPECT_EQ(records["today"]["temperature_outdoor_f"]["max"], 50.0);
    EXPECT_EQ(records["yesterday"]["temperature_outdoor_f"]["min_time"], "00:20");
    EXPECT_EQ(records["all_time"]["temperature_outdoor_f"]["min"], 30.0);
    EXPECT_EQ(records["all_time"]["temperature_outdoor_f"]["min_date"], "2026-03-01");
    EXPECT_EQ(records["month"]["rain_in"], 0.5);
}

TEST_F(WebServerTest, ClimateSummariesAreServedFromTheirSource) {
    FakeSummaries summaries;
    StartServer(&summaries);
    struct Case {
        const char* target;
        int status;
        const char* body;
    };
    const Case cases[] = {
        {"/noaa/", 200, "<a href=\"2026-03.txt\">"},
        {"/noaa/2026-03.txt", 200, "March 2026 summary"},
        {"/noaa/2026.txt", 200, "2026 summary"},
        {"/noaa/2026-04.txt", 404, "no summary for that period"},
        {"/noaa/2026-13.txt", 404, "no such summary"},
        {"/noaa/2026-03.html", 404, "no such summary"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const Reply reply = Fetch(port_, c.target);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_NE(reply.body.find(c.body), std::string::npos) << reply.body;
    }
    EXPECT_EQ(Fetch(port_, "/noaa/2026.txt").headers.at("content-type"),
              "text/plain; charset=utf-8");
}

// Opens an event stream and reads up to its first event.
std::unique_ptr<Connection> OpenStream(int port) {
    auto stream = std::make_unique<Connection>(port);
    stream->Send("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    stream->ReadUntil("event: state\ndata: ");
    return stream;
}

TEST_F(WebServerTest, StreamsCarryStatePointAndLinkEventsAsTheyHappen) {
    auto stream = OpenStream(port_);
    Reply head = ParseReply(stream->ReadUntil("\n\n", std::chrono::seconds(5)));
    ASSERT_EQ(head.status, 200);
    EXPECT_EQ(head.headers["content-type"], "text/event-stream");
    stream->Forget();

    live_.OnRecord(Record(14 * 60 + 40, 41.2));
    EXPECT_NE(
        stream->ReadUntil("\n\n").find("event: state\ndata: {\"temperature_outdoor_f\":41.2,"),
        std::string::npos);
    EXPECT_NE(stream->ReadUntil("units_hint").find("\"station_time\":\"14:40\""),
              std::string::npos);
    stream->Forget();

    FivePointValues point{};
    point.year = 2026;
    point.date.FromDate(3, 2, 2026);
    point.minuteOfDay = 14 * 60 + 40;
    live_.Write(point);
    EXPECT_NE(
        stream->ReadUntil("\n\n").find("event: point\ndata: {\"station_date\":\"2026-03-02\""),
        std::string::npos);
    stream->Forget();

    live_.SetLink(WebLink::Silent, std::time_t(1796913425));
    EXPECT_NE(
        stream->ReadUntil("\n\n").find(
            "event: link\ndata: {\"link\":\"silent\",\"silent_since\":\"2026-12-10T14:37:05Z\"}"),
        std::string::npos);
    const json current = json::parse(Fetch(port_, "/api/current").body);
    EXPECT_EQ(current["link"], "silent");
    EXPECT_EQ(current["temperature_outdoor_f"], 41.2);
    EXPECT_EQ(current["station_date"], "2026-03-02");
    EXPECT_TRUE(current["station_name"].is_null());
    EXPECT_FALSE(current.contains("alarms")) << "no alarms set up, none shown";
    stream->Forget();

    AlarmSettings frost;
    frost.tempLowF = 32.0;
    AlarmSet alarms(frost);
    {
        PageAlarms onPage(live_, alarms);
        alarms.OnRecord(Record(14 * 60 + 45, 28.4));
        EXPECT_NE(stream->ReadUntil("\"temp_low\":{\"active\":true").find("event: alarms\ndata: "),
                  std::string::npos);
        const json alarmed = json::parse(Fetch(port_, "/api/current").body);
        EXPECT_EQ(alarmed["alarms"]["temp_low"]["active"], true);
        EXPECT_EQ(alarmed["alarms"]["temp_high"]["active"], false);
    }
    EXPECT_FALSE(json::parse(Fetch(port_, "/api/current").body).contains("alarms"));
}

TEST_F(WebServerTest, KeepAliveCommentsFlowWhileNothingHappens) {
    WebServer::Limits limits;
    limits.keepAlive = std::chrono::milliseconds(100);
    StartServer(nullptr, limits);
    auto stream = OpenStream(port_);
    stream->Forget();
    EXPECT_NE(stream->ReadUntil(": keep-alive\n\n").find(": keep-alive\n\n"), std::string::npos);
}

TEST_F(WebServerTest, TheSixtyFifthStreamIsRefusedAndTheOthersCarryOn) {
    std::vector<std::unique_ptr<Connection>> streams;
    for (int i = 0; i < 64; ++i) {
        streams.push_back(OpenStream(port_));
        ASSERT_EQ(ParseReply(streams.back()->ReadUntil("\n\n")).status, 200) << i;
        streams.back()->Forget();
    }
    EXPECT_EQ(Fetch(port_, "/events").status, 503);
    EXPECT_EQ(Fetch(port_, "/api/current").status, 200);
    live_.OnRecord(Record(600, 55.5));
    for (auto& stream : streams)
        EXPECT_NE(stream->ReadUntil("55.5").find("55.5"), std::string::npos);
    streams.pop_back();  // one goes: room for another
    // Its worker learns of it when a write fails, at one of the next records.
    for (int tries = 0; tries < 250 && server_->openStreams() == 64; ++tries) {
        live_.OnRecord(Record(601, 55.6));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(ParseReply(OpenStream(port_)->ReadUntil("\n\n")).status, 200);
}

TEST_F(WebServerTest, AClientThatNeverReadsHoldsUpNeitherRecordsNorOtherStreams) {
    WebServer::Limits limits;
    limits.requestTimeoutMs = 500;
    StartServer(nullptr, limits);
    // Big states, so that the socket buffers fill within a few dozen of them.
    live_.SetStationName(std::string(64 * 1024, 'n'));
    Connection stuck(port_, 4096);
    stuck.Send("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    auto reader = OpenStream(port_);
    for (int tries = 0; tries < 250 && server_->openStreams() < 2; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(server_->openStreams(), 2);
    // The reader takes each record as it comes (its record count tells them apart).
    // civetweb checks its time-out between waits of up to a few seconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int i = 1; server_->openStreams() > 1 && std::chrono::steady_clock::now() < deadline;
         ++i) {
        StationState record = Record(i % 1440, 20.0);
        record.recordCount = i;
        live_.OnRecord(record);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::string count = "\"record_count\":" + std::to_string(i) + ",";
        ASSERT_NE(reader->ReadUntil(count).find(count), std::string::npos) << i;
        reader->Forget();
    }
    // The write time-out has ended the stuck stream; the reader's goes on.
    live_.OnRecord(Record(100, 99.9));
    EXPECT_NE(reader->ReadUntil("99.9").find("99.9"), std::string::npos);
    EXPECT_EQ(server_->openStreams(), 1);
}

TEST_F(WebServerTest, StoppedAndStartedAgainTheServerAnswersAndStreamsEnd) {
    auto stream = OpenStream(port_);
    server_->Stop();
    stream->ReadToEnd();
    EXPECT_TRUE(stream->closed());
    EXPECT_FALSE(Connection(port_).connected());
    Listen();  // the same port again
    EXPECT_EQ(Fetch(port_, "/api/current").status, 200);
    auto again = OpenStream(port_);
    live_.OnRecord(Record(700, 61.0));
    EXPECT_NE(again->ReadUntil("61.0").find("61.0"), std::string::npos);
}

TEST(WebSettingsTest, ListenAddressesAreReadOrRefused) {
    struct Case {
        const char* text;
        bool ok;
        const char* address;
        int port;
    };
    const Case cases[] = {
        {"8080", true, "127.0.0.1", 8080},
        {"0.0.0.0:8080", true, "0.0.0.0", 8080},
        {"[::1]:9000", true, "::1", 9000},
        {"192.168.1.5:80", true, "192.168.1.5", 80},
        {"localhost:8080", false, "", 0},
        {"0", false, "", 0},
        {"65536", false, "", 0},
        {":8080", false, "", 0},
        {"", false, "", 0},
        {"8080x", false, "", 0},
        {"127.0.0.1:", false, "", 0},
        {"::1:8080", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto settings = ParseListenAddress(c.text);
        ASSERT_EQ(settings.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_TRUE(settings->enabled);
        EXPECT_EQ(settings->address, c.address);
        EXPECT_EQ(settings->port, c.port);
    }
}

}  // namespace
