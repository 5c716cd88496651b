// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger --mqtt --wxnow against a real mosquitto on 127.0.0.1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
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

    MosquittoBroker broker_;
};

TEST_F(LoggerMqtt, PublishesDiscoveryStateAndSummariesOfAReplayRetained) {
    ScopedWorkDir dir;
    WriteFile("recording.txt", Lines(0, 12));
    MqttSubscriber live(broker_.port());
    const LoggerRun run = RunLogger("--replay recording.txt" + MqttArgs());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(live.WaitFor("nimbulo/test/availability",
                             [](const Message& m) { return m.payload == "online"; }));
    // The last point, 10:10, with that minute's readings (an older point
    // not sent yet gives way to a newer one).
    ASSERT_TRUE(live.WaitFor("nimbulo/test/summary"));
    const auto last = live.On("nimbulo/test/summary").back();
    EXPECT_EQ(JsonMember(last.payload, "station_time"), "10:10");
    EXPECT_EQ(JsonMember(last.payload, "temperature_outdoor_f"),
              Fixed(Minute(10).tempOutdoor / 10.0, 1));
    EXPECT_EQ(JsonMember(last.payload, "pressure_inhg"),
              Fixed(Minute(10).pressure / 10.0 * 0.02953, 2));

    MqttSubscriber late(broker_.port());
    const auto state = late.WaitFor("nimbulo/test/state");
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->retained);
    ExpectStateOf(11, 12, state->payload);
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
        std::string key = *JsonMember(c.payload, "value_template");
        key = key.substr(key.find('.') + 1, key.find(' ', 3) - key.find('.') - 1);
        EXPECT_TRUE(JsonMember(state->payload, key)) << key;
    }
}

// Records come through a FIFO while the broker goes away and comes back.
TEST_F(LoggerMqtt, ABrokerGoneMidReplayChangesNoFileAndGetsTheLatestStateBack) {
    ScopedWorkDir dir;
    std::signal(SIGPIPE, SIG_IGN);
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    fs::create_directory("mqtt");
    MqttSubscriber subscriber(broker_.port());
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
