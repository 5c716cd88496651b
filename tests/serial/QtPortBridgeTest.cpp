// The hand-over of the monitor thread's calls to the user-interface thread,
// and stopping the port while such a hand-over waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "PtyPair.h"
#include "QtPortBridge.h"
#include "SerialPort.h"

namespace {

using namespace std::chrono_literals;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "serial_bridge_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct Received {
    std::string characters;
    std::vector<int> ports;
    std::vector<QThread*> threads;
};

class BridgeOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        bridge.SetErrorPresenter([this](const QString& caption, const QString& text) {
            errors.push_back(caption + "|" + text);
        });
    }
    SerialPort::DeviceNameResolver ToPty() {
        return [this](int) { return pty.slavePath(); };
    }

    QCoreApplication& app = App();  // before any QObject
    PtyPair pty;
    Received received;
    std::vector<QString> errors;
    std::function<void(int)> extra;
    QtPortBridge bridge{[this](int character, int port) {
        received.characters.push_back(static_cast<char>(character));
        received.ports.push_back(port);
        received.threads.push_back(QThread::currentThread());
        if (extra) extra(character);
        return 0;
    }};
};

TEST_F(BridgeOnPty, HandsEveryByteToTheHandlerOnTheBridgesThreadInOrder) {
    std::vector<int> portEvents;
    bridge.SetPortEventHandler([&](int param, int port) {
        EXPECT_EQ(QThread::currentThread(), bridge.thread());
        EXPECT_TRUE(received.characters.empty() || !portEvents.empty());
        portEvents.push_back(param * 100 + port);
        return 0;
    });
    SerialPort port(ToPty());
    bridge.OpenAndMonitor(port, 2);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("!!AB\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return received.characters.size() == 6; }));
    port.StopMonitor();
    EXPECT_EQ(received.characters, "!!AB\r\n");
    EXPECT_EQ(received.ports, std::vector<int>(6, 2));
    for (QThread* t : received.threads) EXPECT_EQ(t, bridge.thread());
    ASSERT_FALSE(portEvents.empty());
    EXPECT_EQ(portEvents.front(), 2);  // parameter 0, port 2
    EXPECT_TRUE(errors.empty());
}

TEST_F(BridgeOnPty, StoppingWhileTheMonitorWaitsInACharacterHandOverReturnsAndDeliversIt) {
    SerialPort port(ToPty());
    // Without the port-event bit the first hand-over of a wake-up is the byte itself.
    ASSERT_TRUE(port.OpenPort(&bridge, 1, 2400, 'N', 8, 1, SerialPort::EV_RXCHAR, 512));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("ZW"));
    QThread::msleep(150);  // the monitor thread now waits for this thread
    EXPECT_TRUE(received.characters.empty());
    port.StopMonitor();
    EXPECT_FALSE(port.threadRunning());
    EXPECT_EQ(received.characters, "Z");  // the stop wins over the byte still queued
}

TEST_F(BridgeOnPty, StoppingWhileTheMonitorWaitsInAPortEventHandOverReturnsWithoutReading) {
    int portEvents = 0;
    bridge.SetPortEventHandler([&](int, int) { return ++portEvents, 0; });
    SerialPort port(ToPty());
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("Z"));
    QThread::msleep(150);
    port.StopMonitor();
    EXPECT_FALSE(port.threadRunning());
    EXPECT_EQ(portEvents, 1);
    EXPECT_TRUE(received.characters.empty());
}

TEST_F(BridgeOnPty, ReopeningWhileTheMonitorWaitsInAHandOverDoesNotHang) {
    SerialPort port(ToPty());
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("Q"));
    QThread::msleep(100);
    bridge.OpenAndMonitor(port, 1);  // drops the Q still queued, as a reopened port does
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("R"));
    ASSERT_TRUE(PumpUntil([&] { return received.characters.size() == 1; }));
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(received.characters, "R");
}

TEST_F(BridgeOnPty, ReadWeatherDataFromInsideAHandOverIsPutOffUntilTheHandOverReturns) {
    SerialPort port(ToPty());
    bool reopenAsked = false;
    extra = [&](int character) {
        if (character != 'A') return;
        bridge.OpenAndMonitor(port, 1);  // as if the button was pressed in a nested pump
        reopenAsked = true;
        EXPECT_TRUE(bridge.IsDelivering());
    };
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("A"));
    ASSERT_TRUE(PumpUntil([&] { return reopenAsked; }));
    PumpUntil([] { return false; }, 100);  // the put-off reopening runs in here
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("B"));
    ASSERT_TRUE(PumpUntil([&] { return received.characters.size() == 2; }));
    EXPECT_EQ(received.characters, "AB");
    EXPECT_FALSE(bridge.IsDelivering());
}

TEST_F(BridgeOnPty, AReportFromTheMonitorThreadIsPresentedOnTheBridgesThread) {
    SerialPort port([](int) { return std::string("/nonexistent/ttyNimbulo"); });
    QThread* presentedOn = nullptr;
    bridge.SetErrorPresenter([&](const QString& caption, const QString& text) {
        presentedOn = QThread::currentThread();
        errors.push_back(caption + "|" + text);
    });
    bridge.OpenAndMonitor(port, 3);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
    PumpUntil([] { return false; }, 200);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].toStdString(),
              "Application Error|WARNING:  WaitCommEvent() Failed with the following error: \n" +
                  std::string(std::strerror(EBADF)) + "\nPort: 3\n");
    EXPECT_EQ(presentedOn, bridge.thread());
}

TEST_F(BridgeOnPty, StoppingWhileAReportWaitsToBeShownReturnsWithoutShowingIt) {
    SerialPort port([](int) { return std::string("/nonexistent/ttyNimbulo"); });
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    QThread::msleep(150);  // the monitor thread waits in the report's hand-over
    port.StopMonitor();
    EXPECT_FALSE(port.threadRunning());
    EXPECT_TRUE(errors.empty());
}

TEST_F(BridgeOnPty, ASetUpFailureOnTheBridgesOwnThreadIsPresentedAtOnce) {
    char path[] = "/tmp/nimbulo-bridge-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    SerialPort port([&](int) { return std::string(path); });
    EXPECT_TRUE(port.OpenPort(&bridge, 1, 2400, 'N', 8, 1, 9, 512));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith("Application Error|WARNING:  SetCommTimeouts() Failed"));
    unlink(path);
}

struct PortResultCase {
    int port;
    int expected;
};

void PrintTo(const PortResultCase& c, std::ostream* os) { *os << "port " << c.port; }
class PortEventResult : public ::testing::TestWithParam<PortResultCase> {};

TEST_P(PortEventResult, IsMinusOneOutsidePortsOneToFourElseZero) {
    EXPECT_EQ(QtPortBridge::DefaultPortEventResult(GetParam().port), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ports, PortEventResult,
                         ::testing::Values(PortResultCase{-1, -1}, PortResultCase{0, -1},
                                           PortResultCase{1, 0}, PortResultCase{4, 0},
                                           PortResultCase{5, -1}));

}  // namespace
