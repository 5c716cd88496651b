// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "JsonMember.h"
#include "MosquittoBroker.h"
#include "MqttPublisher.h"
#include "MqttSubscriber.h"

namespace {
using namespace std::chrono_literals;
using Message = MqttSubscriber::Message;

class MqttPublisherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
        ASSERT_TRUE(broker_.Start());
        options_.host = "127.0.0.1";
        options_.port = broker_.port();
        options_.stationId = "test";
        options_.stateInterval = 1s;
    }

    MqttPublisher::Reporter Reporter() {
        return [this](const std::string& m) {
            std::lock_guard lock(reportsLock_);
            reports_.push_back(m);
        };
    }
    OutputFaultHook Faults() {
        return [this](const OutputFault& f) {
            std::lock_guard lock(reportsLock_);
            faults_.push_back(f);
        };
    }
    std::vector<std::string> Reports() {
        std::lock_guard lock(reportsLock_);
        return reports_;
    }
    bool WaitForReports(std::size_t count) {
        for (int i = 0; i < 200 && Reports().size() < count; ++i) std::this_thread::sleep_for(50ms);
        return Reports().size() == count;
    }

    MosquittoBroker broker_;
    MqttOptions options_;
    std::mutex reportsLock_;
    std::vector<std::string> reports_;
    std::vector<OutputFault> faults_;  // each told before its report
};

StationState Station(int records) {
    StationState s;
    s.recordCount = records;
    s.tempOutdoor = 45.3;
    s.humidityOutdoor = 87.0;
    s.pressure = 10132 * 0.002953;  // 29.920 inHg
    return s;
}

void ExpectMembers(const std::string& json,
                   std::initializer_list<std::pair<const char*, const char*>> members) {
    for (const auto& [key, value] : members) EXPECT_EQ(JsonMember(json, key), value) << key;
}

// The point numbered n, told apart by its outdoor temperature.
FivePointValues Point(int n) {
    FivePointValues p;
    p.tempOutdoor = n;
    return p;
}

std::vector<std::string> Numbers(const std::vector<Message>& summaries) {
    std::vector<std::string> numbers;
    for (const Message& m : summaries)
        numbers.push_back(JsonMember(m.payload, "temperature_outdoor_f").value_or("?"));
    return numbers;
}

MqttSubscriber::Match Count(int records) {
    return [records](const Message& m) {
        return JsonMember(m.payload, "record_count") == std::to_string(records);
    };
}
}  // namespace

TEST_F(MqttPublisherTest, ALateSubscriberGetsRetainedDiscoveryStateAndAvailability) {
    MqttPublisher publisher(options_, Reporter());
    ASSERT_TRUE(publisher.Start());
    MqttSubscriber early(broker_.port());
    ASSERT_TRUE(early.WaitFor("nimbulo/test/availability"));  // connected: no state yet
    publisher.OnRecord(Station(7));
    ASSERT_TRUE(early.WaitFor("nimbulo/test/state", Count(7)));
    EXPECT_EQ(early.On("nimbulo/test/state").size(), 1u);

    MqttSubscriber late(broker_.port());
    const auto state = late.WaitFor("nimbulo/test/state");
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->retained);
    ExpectMembers(state->payload, {{"temperature_outdoor_f", "45.3"},
                                   {"humidity_outdoor_pct", "87.0"},
                                   {"pressure_inhg", "29.920"}});
    const auto online = late.WaitFor("nimbulo/test/availability");
    ASSERT_TRUE(online);
    EXPECT_TRUE(online->retained);
    EXPECT_EQ(online->payload, "online");
    const auto configs = late.On("homeassistant/sensor/nimbulo_test_");
    EXPECT_EQ(configs.size(), 24u);  // twelve readings and twelve derived ones
    for (const Message& c : configs) EXPECT_TRUE(c.retained) << c.topic;

    FivePointValues point;
    point.minuteOfDay = 14 * 60 + 40;
    point.compassIndex = 8;
    point.pressure = 29.919796;
    publisher.Write(point);
    const auto summary = late.WaitFor("nimbulo/test/summary");
    ASSERT_TRUE(summary);
    EXPECT_FALSE(summary->retained);
    ExpectMembers(summary->payload, {{"station_time", "14:40"},
                                     {"wind_direction_avg_compass", "8"},
                                     {"pressure_inhg", "29.92"}});

    publisher.Stop();
    EXPECT_TRUE(late.WaitFor("nimbulo/test/availability",
                             [](const Message& m) { return m.payload == "offline"; }));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(MqttPublisherTest, OneStatePerIntervalAndTheLatestBeforeStopEnds) {
    MqttSubscriber subscriber(broker_.port());
    MqttPublisher publisher(options_, Reporter());
    ASSERT_TRUE(publisher.Start());
    publisher.OnRecord(Station(1));
    ASSERT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(1)));
    for (int i = 2; i <= 100; ++i) publisher.OnRecord(Station(i));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(subscriber.On("nimbulo/test/state").size(), 1u);  // the interval runs
    publisher.Stop();
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(100)));
    EXPECT_EQ(subscriber.On("nimbulo/test/state").size(), 2u);
}

TEST_F(MqttPublisherTest, ABrokerDownCostsNothingIsReportedOnceAndGetsTheLatestStateBack) {
    MqttSubscriber subscriber(broker_.port());
    MqttPublisher publisher(options_, Reporter(), Faults());
    ASSERT_TRUE(publisher.Start());
    publisher.OnRecord(Station(1));
    ASSERT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(1)));

    broker_.Stop();
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 2; i <= 1000; ++i) publisher.OnRecord(Station(i));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 100ms);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_NE(Reports()[0].find("retrying"), std::string::npos) << Reports()[0];

    ASSERT_TRUE(broker_.Start());
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(1000)));
    // The restarted broker kept nothing: discovery came again.
    EXPECT_EQ(subscriber.On("homeassistant/sensor/nimbulo_test_temperature_outdoor_f/").size(), 2u);
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_NE(Reports()[1].find("again"), std::string::npos) << Reports()[1];
    // The same two for the uploads alarm, without the text to read.
    std::lock_guard lock(reportsLock_);
    ASSERT_EQ(faults_.size(), 2u);
    EXPECT_EQ(faults_[0].output, "MQTT");
    EXPECT_TRUE(faults_[0].failing);
    EXPECT_EQ(reports_[0], "MQTT: " + faults_[0].message);
    EXPECT_EQ(faults_[1].output, "MQTT");
    EXPECT_FALSE(faults_[1].failing);
    EXPECT_EQ(reports_[1], "MQTT: " + faults_[1].message);
}

// A broker restarted for real, which keeps the archive's session: the points
// of the outage arrive once it is back, in order, once each; of more than a
// week of them the oldest are dropped.
TEST_F(MqttPublisherTest, SummariesWaitForTheBrokerInOrderAndOnlyTheLatestWeekOfThem) {
    MosquittoBroker keeping(MosquittoBroker::kAnonymous, true);
    ASSERT_TRUE(keeping.Start());
    options_.port = keeping.port();
    MqttSubscriber archive(keeping.port(), "archive");
    ASSERT_TRUE(archive.Sync());
    MqttPublisher publisher(options_, Reporter());
    ASSERT_TRUE(publisher.Start());
    std::vector<std::string> expected;
    const auto write = [&](int n, bool kept) {
        publisher.Write(Point(n));
        if (kept) expected.push_back(std::to_string(n) + ".0");
    };
    for (int n = 0; n < 3; ++n) write(n, true);
    ASSERT_EQ(publisher.WaitForSummaries(20s), 0u);
    ASSERT_EQ(archive.WaitForCount("nimbulo/test/summary", 3).size(), 3u);
    ASSERT_TRUE(archive.Sync());

    keeping.Stop();
    ASSERT_TRUE(WaitForReports(1));  // away
    const int outage = MqttPublisher::kMaxQueuedSummaries + 2;
    for (int n = 3; n < 3 + outage; ++n) write(n, n >= 5);
    ASSERT_TRUE(keeping.Start());
    EXPECT_EQ(publisher.WaitForSummaries(20s), 0u);
    EXPECT_EQ(Numbers(archive.WaitForCount("nimbulo/test/summary", expected.size())), expected);
    ASSERT_TRUE(WaitForReports(3));  // away, back, and the points dropped
    const auto reports = Reports();
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                            [](const std::string& r) {
                                return r.find("MQTT: 2 five-minute summaries dropped") == 0;
                            }),
              1);
}

// A program started before its broker (a refused port fails the very first attempt).
TEST_F(MqttPublisherTest, ABrokerNotYetRunningAtStartIsTriedAgainUntilItIs) {
    broker_.Stop();
    MqttPublisher publisher(options_, Reporter());
    ASSERT_TRUE(publisher.Start());
    publisher.OnRecord(Station(3));
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_NE(Reports()[0].find("no connection"), std::string::npos) << Reports()[0];
    ASSERT_TRUE(broker_.Start());
    MqttSubscriber subscriber(broker_.port());
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/test/state", Count(3)));
}

TEST_F(MqttPublisherTest, TheLastWillSaysOfflineWhenTheProgramDies) {
    MqttSubscriber subscriber(broker_.port());
    pid_t pid = -1;
    const std::string port = std::to_string(broker_.port());
    const char* argv[] = {NIMBULO_MQTT_CRASH_HELPER, port.c_str(), "crash", nullptr};
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    const bool online = subscriber.WaitFor("nimbulo/crash/state").has_value();
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ASSERT_TRUE(online);
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/crash/availability",
                                   [](const Message& m) { return m.payload == "offline"; }));
    MqttSubscriber late(broker_.port());
    const auto will = late.WaitFor("nimbulo/crash/availability");
    ASSERT_TRUE(will);
    EXPECT_TRUE(will->retained);
    EXPECT_EQ(will->payload, "offline");
}

TEST_F(MqttPublisherTest, ARefusedLoginIsReportedOnceAndAMissingPasswordFileAtStart) {
    MosquittoBroker closed("allow_anonymous false\n");
    ASSERT_TRUE(closed.Start());
    TempDir dir;
    options_.port = closed.port();
    options_.user = "station";
    options_.passwordFile = dir.Write("password", "secret\n").string();
    MqttPublisher publisher(options_, Reporter());
    ASSERT_TRUE(publisher.Start());
    publisher.OnRecord(Station(1));
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_NE(Reports()[0].find("refused"), std::string::npos) << Reports()[0];
    std::this_thread::sleep_for(2500ms);  // two more attempts, refused as well
    EXPECT_EQ(Reports().size(), 1u);

    options_.passwordFile = (dir.path() / "missing").string();
    MqttPublisher unusable(options_, Reporter());
    EXPECT_FALSE(unusable.Start());
    EXPECT_EQ(Reports().size(), 2u);
}
