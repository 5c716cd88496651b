// SPDX-License-Identifier: GPL-3.0-or-later
// The window's live data from its settings, against a real mosquitto on 127.0.0.1.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "JsonMember.h"
#include "MosquittoBroker.h"
#include "MqttSubscriber.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using TestSupport::Store;

class StationWindowMqtt : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MosquittoBroker::Installed()) GTEST_SKIP() << "mosquitto is not installed";
        TestSupport::IsolateTest();
        Store("Mqtt/Enabled", 1);
        Store("Mqtt/Host", "127.0.0.1");
        Store("Mqtt/Port", broker_.port());
        Store("Mqtt/StationId", "gui");
        Store("Settings/WxnowJson", 1);
    }

    MosquittoBroker broker_;
};

// 45.3 F outside at station time 14:40.
const std::string kRecord =
    TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 880, 12, 90});

TEST_F(StationWindowMqtt, PublishesTheStateOfARecordAndWritesWxnowJson) {
    ASSERT_TRUE(broker_.Start());
    MqttSubscriber subscriber(broker_.port());
    StationWindow window;
    window.pipeline().ProcessLine(kRecord.c_str());
    const auto state = subscriber.WaitFor("nimbulo/gui/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(JsonMember(state->payload, "temperature_outdoor_f"), "45.3");
    EXPECT_EQ(JsonMember(state->payload, "station_time"), "14:40");
    EXPECT_EQ(TestSupport::ReadAll("wxnow.json"), state->payload + "\n");
}

// An upload whose key file cannot be read is named in the title and left
// out; MQTT and wxnow.json run all the same.
TEST_F(StationWindowMqtt, AnUploadThatCannotWorkSwitchesOffNoOtherOutput) {
    Store("Wunderground/Enabled", 1);
    Store("Wunderground/StationId", "KTEST1");
    Store("Wunderground/KeyFile", QDir::current().filePath("no-such-key"));
    ASSERT_TRUE(broker_.Start());
    MqttSubscriber subscriber(broker_.port());
    StationWindow window;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.windowTitle().contains("Weather Underground: cannot read"); }, 5000))
        << window.windowTitle().toStdString();
    window.pipeline().ProcessLine(kRecord.c_str());
    const auto state = subscriber.WaitFor("nimbulo/gui/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(TestSupport::ReadAll("wxnow.json"), state->payload + "\n");
}

// While the window waits for a missing device, its readings are old: the
// station turns unavailable, and the title says why.
TEST_F(StationWindowMqtt, GoesOfflineWhileWaitingForTheDevice) {
    Store("Ports/COM1", QDir::current().filePath("no-such-tty"));
    ASSERT_TRUE(broker_.Start());
    MqttSubscriber subscriber(broker_.port());
    StationWindow window;
    window.portBridge().SetErrorPresenter([](auto&, auto&) {});
    const auto isOnline = [](const auto& m) { return m.payload == "online"; };
    ASSERT_TRUE(subscriber.WaitFor("nimbulo/gui/availability", isOnline));
    window.ReadWeatherData();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.windowTitle().contains("waiting"); }, 5000));
    EXPECT_TRUE(subscriber.WaitFor("nimbulo/gui/availability",
                                   [](const auto& m) { return m.payload == "offline"; }));
    window.serialPort().StopMonitor();
}

TEST_F(StationWindowMqtt, NamesABrokerThatIsDownInTheTitleUntilItIsBack) {
    StationWindow window;
    const QString title = window.windowTitle();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.windowTitle().startsWith(title + " - MQTT: no connection"); }, 5000))
        << window.windowTitle().toStdString();
    ASSERT_TRUE(broker_.Start());
    // libmosquitto tries again after 1, 2, 4... s.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.windowTitle() == title; }, 40000))
        << window.windowTitle().toStdString();
}

}  // namespace
