// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger --mqtt --wxnow against a real mosquitto on 127.0.0.1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <sstream>
#include <thread>

#include "JsonMember.h"
#include "LoggerRun.h"
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "PtyPair.h"
#include "ToolRunner.h"

using namespace reports_test;
namespace fs = std::filesystem;

namespace {
using Message = MqttSubscriber::Message;

// Station minutes from 10:00 on 5 December, every reading changing each minute.
Record Minute(int i) {
    Record r;
    r.minuteOfDay = 600 + i;
    r.windSpeed = 100 + 16 * i;
    r.tempOutdoor = 400 + 7 * i;
    r.pressure = 10100 + i;
    r.humidityOutdoor = 500 + 10 * i;
    return r;
}

std::string Lines(int first, int end) {
    std::string text;
    for (int i = first; i < end; ++i) text += Minute(i).Line() + "\r\n";
    return text;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The state the record of minute i leaves, worked out from its fields:
// tenths of a degree and of a percent, 0.1 hPa, 0.1 km/h.
void ExpectStateOf(int i, int records, const std::string& json) {
    const Record r = Minute(i);
    EXPECT_EQ(JsonMember(json, "temperature_outdoor_f"), Fixed(r.tempOutdoor / 10.0, 1));
    EXPECT_EQ(JsonMember(json, "humidity_outdoor_pct"), Fixed(r.humidityOutdoor / 10.0, 1));
    EXPECT_EQ(JsonMember(json, "pressure_inhg"), Fixed(r.pressure / 10.0 * 0.02953, 3));
    EXPECT_EQ(JsonMember(json, "wind_speed_mph"), Fixed(r.windSpeed / 10.0 * 0.62, 1));
    EXPECT_EQ(JsonMember(json, "station_date"), "2002-12-05");
    EXPECT_EQ(JsonMember(json, "station_time"),
              "10:" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    EXPECT_EQ(JsonMember(json, "record_count"), std::to_string(records));
}

// The lines of the data logs under dir, in order, without their headers.
std::vector<std::string> LogLines(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir / "OutputData")) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> lines;
    for (const fs::path& file : files) {
        std::istringstream text(ReadFile(file));
        for (std::string line; std::getline(text, line);) {
            if (line.rfind("DateTime", 0) != 0) lines.push_back(line.substr(0, line.find('\r')));
        }
    }
    return lines;
}

// A summary as the data log writes its point.
std::string AsLogLine(const std::string& json) {
    const auto member = [&json](const char* key) { return JsonMember(json, key).value_or("?"); };
    std::string date = member("station_date");
    std::replace(date.begin(), date.end(), '-', '/');
    const std::string compass = member("wind_direction_avg_compass");
    std::string line = date + " " + member("station_time") + "\t" + member("wind_speed_avg_mph") +
                       "\t" + (compass.size() < 2 ? " " : "") + compass;
    for (const char* key : {"temperature_outdoor_f", "temperature_indoor_f", "pressure_inhg",
                            "humidity_outdoor_pct", "humidity_indoor_pct", "rain_today_in"}) {
        line += "\t" + member(key);
    }
    return line;
}

// Exactly one summary per point of the data log, with its values, in order.
void ExpectOneSummaryPerLogLine(MqttSubscriber& subscriber, const fs::path& dir) {
    const std::vector<std::string> lines = LogLines(dir);
    ASSERT_GE(lines.size(), 3u);
    std::vector<std::string> summaries;
    for (const Message& m : subscriber.WaitForCount("nimbulo/test/summary", lines.size())) {
        EXPECT_FALSE(m.retained);
        summaries.push_back(AsLogLine(m.payload));
    }
    EXPECT_EQ(summaries, lines);
}

MqttSubscriber::Match Count(int records) {
    return [records](const Message& m) {
        return JsonMember(m.payload, "record_count") == std::to_string(records);
    };
}

class LoggerMqtt : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
        ASSERT_TRUE(broker_.Start());
    }
    std::string MqttArgs() const {
        return " --year 2002 --wxnow --mqtt-station-id test --mqtt 127.0.0.1:" +
               std::to_string(broker_.port());
    }

    // Keeps the subscribers' sessions across a restart.
    MosquittoBroker broker_{MosquittoBroker::kAnonymous, true};
};

TEST_F(LoggerMqtt, PublishesDiscoveryStateAndSummariesOfAReplayRetained) {
    ScopedWorkDir dir;
    WriteFile("recording.txt", Lines(0, 30));
    MqttSubscriber live(broker_.port());
    ASSERT_TRUE(live.Sync());
    const LoggerRun run = RunLogger("--replay recording.txt" + MqttArgs());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(live.WaitFor("nimbulo/test/availability",
                             [](const Message& m) { return m.payload == "online"; }));
    ExpectOneSummaryPerLogLine(live, ".");

    MqttSubscriber late(broker_.port());
    const auto state = late.WaitFor("nimbulo/test/state");
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->retained);
    ExpectStateOf(29, 30, state->payload);
    EXPECT_EQ(ReadFile("wxnow.json"), state->payload + "\n");
    const auto offline = late.WaitFor("nimbulo/test/availability");
    ASSERT_TRUE(offline);
    EXPECT_TRUE(offline->retained);
    EXPECT_EQ(offline->payload, "offline");
    const auto configs = late.On("homeassistant/sensor/nimbulo_test_");
    EXPECT_EQ(configs.size(), 24u);  // twelve readings and twelve derived ones
    for (const Message& c : configs) {
        EXPECT_TRUE(c.retained) << c.topic;
        EXPECT_EQ(JsonMember(c.payload, "state_topic"), "nimbulo/test/state");
        EXPECT_EQ(JsonMember(c.payload, "availability_topic"), "nimbulo/test/availability");
        EXPECT_EQ(JsonMember(c.payload, "payload_not_available"), offline->payload);
        std::string key = *JsonMember(c.payload, "value_template");
        key = key.substr(key.find('.') + 1, key.find(' ', 3) - key.find('.') - 1);
        EXPECT_TRUE(JsonMember(state->payload, key)) << key;
    }
}

// Records come through a FIFO while the broker goes away and comes back: a
// real restart, which keeps the session of the subscriber (an archive).
TEST_F(LoggerMqtt, ABrokerGoneMidReplayChangesNoFileAndGetsTheLatestStateAndEverySummary) {
    ScopedWorkDir dir;
    std::signal(SIGPIPE, SIG_IGN);
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    fs::create_directory("mqtt");
    MqttSubscriber subscriber(broker_.port(), "archive");
    ASSERT_TRUE(subscriber.Sync());
    LoggerRun run;
    std::thread logger([&] { run = RunLogger("--replay fifo --data-dir mqtt" + MqttArgs()); });
    {
        // Close-on-exec: the broker started again must not hold the FIFO open.
        const int fifo = ::open("fifo", O_WRONLY | O_CLOEXEC);  // waits for the logger's open
        ASSERT_GE(fifo, 0);
        const auto send = [fifo](const std::string& text) {
            EXPECT_EQ(::write(fifo, text.data(), text.size()), ssize_t(text.size()));
        };
        send(Lines(0, 4));
        EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state"));
        // 10:00 delivered and acknowledged: nothing is on its way at the stop.
        EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/summary"));
        EXPECT_TRUE(subscriber.Sync());
        broker_.Stop();
        send(Lines(4, 8));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(broker_.Start());
        EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(8)));
        send(Lines(8, 12));
        ::close(fifo);
    }
    logger.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(12)));
    EXPECT_NE(run.err.find("nimbulo-logger: MQTT: no connection"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("again"), std::string::npos) << run.err;
    ExpectOneSummaryPerLogLine(subscriber, "mqtt");

    WriteFile("recording.txt", Lines(0, 12));
    fs::create_directory("plain");
    ASSERT_EQ(RunLogger("--replay recording.txt --year 2002 --data-dir plain").status, 0);
    fs::remove("mqtt/wxnow.json");
    ASSERT_EQ(Entries("mqtt"), Entries("plain"));
    for (const std::string& file : Entries("plain"))
        EXPECT_EQ(ReadFile("mqtt/" + file), ReadFile("plain/" + file)) << file;
}

// Live, records through a pseudo-terminal until SIGTERM: no thread of the
// program may take the signal and die with it.
class LoggerMqttLive : public ToolRunner {
  protected:
    void SetUp() override {
        if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
        ASSERT_TRUE(broker_.Start());
    }
    MosquittoBroker broker_;
};

TEST_F(LoggerMqttLive, SigtermTakesTheRecordsSentPublishesTheLastStateAndPrintsTheSummary) {
    const auto said = [this](const char* text) {
        return WaitFor([&] { return Err("logger").find(text) != std::string::npos; },
                       std::chrono::seconds(10));
    };
    // Plugged in once it runs: a device that comes back is not purged.
    const std::string link = work + "/ttyUSB0";
    Start("logger", {"--device", link, "--year", "2002", "--mqtt-station-id", "test", "--mqtt",
                     "127.0.0.1:" + std::to_string(broker_.port())});
    ASSERT_TRUE(said("which cannot be opened")) << Err("logger");
    PtyPair pty;
    ASSERT_TRUE(PointLinkAt(link, pty.slavePath));
    ASSERT_TRUE(said("is back after")) << Err("logger");
    ASSERT_TRUE(pty.Write(Lines(0, 11)));
    // The log's heading and the points of 10:00, 10:05 and 10:10, the last record's.
    ASSERT_TRUE(WaitFor([this] { return LogLines().size() == 4; }, std::chrono::seconds(10)));
    Signal("logger", SIGTERM);
    ASSERT_EQ(Wait("logger", std::chrono::seconds(10)), 0) << Err("logger");
    EXPECT_EQ(Summary(Out("logger"), "records accepted"), 11) << Out("logger");

    MqttSubscriber late(broker_.port());
    const auto state = late.WaitFor("nimbulo/test/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(JsonMember(state->payload, "record_count"), "11");
}

TEST_F(LoggerMqtt, AnUnreadablePasswordFileIsAUsageError) {
    ScopedWorkDir dir;
    WriteFile("recording.txt", Lines(0, 2));
    const LoggerRun run = RunLogger(
        "--replay recording.txt --mqtt-user u "
        "--mqtt-password-file missing" +
        MqttArgs());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("nimbulo-logger: MQTT: cannot read the password file", 0), 0u)
        << run.err;
}

TEST(LoggerMqttOptions, NeedAHostAndNoPasswordOnTheCommandLine) {
    ScopedWorkDir dir;
    const std::pair<const char*, const char*> runs[] = {
        {"--replay r --mqtt-user u", "--mqtt-user needs --mqtt HOST[:PORT]"},
        {"--replay r --mqtt 127.0.0.1:0", "--mqtt needs a HOST[:PORT]"},
        {"--replay r --mqtt :1883", "--mqtt needs a HOST[:PORT]"},
        {"--replay r --mqtt 127.0.0.1 --mqtt-password secret", "unknown option"}};
    for (const auto& [args, message] : runs) {
        const LoggerRun run = RunLogger(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

}  // namespace
