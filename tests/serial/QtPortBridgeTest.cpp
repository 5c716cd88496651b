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

class BridgeOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        bridge.SetErrorPresenter([this](const QString& caption, const QString& text) {
            Record('R', 0);
            errors.push_back((caption + "|" + text).toStdString());
        });
        bridge.SetPortEventHandler([this](int param, int port) { return Record('E', param * 100 + port); });
    }
    int Record(char kind, int port) {
        kinds.push_back(kind);
        ports.push_back(port);
        allOnBridgeThread = allOnBridgeThread && QThread::currentThread() == bridge.thread();
        return 0;
    }
    bool StartWithMask(unsigned mask) {
        return port.OpenPort(&bridge, 1, 2400, 'N', 8, 1, mask, 512) && port.StartMonitor() && WaitUntilRunning(port);
    }

    QCoreApplication& app = App();  // before any QObject
    PtyPair pty;
    std::string device = pty.slavePath();
    std::string kinds, characters;
    std::vector<int> ports;
    std::vector<std::string> errors;
    bool allOnBridgeThread = true;
    std::function<void(int)> extra;
    QtPortBridge bridge{[this](int character, int port) {
        characters.push_back(static_cast<char>(character));
        if (extra) extra(character);
        return Record('C', port);
    }};
    SerialPort port{[this](int) { return device; }};  // stopped before the bridge goes
};

TEST_F(BridgeOnPty, HandsEveryByteToTheHandlerOnTheBridgesThreadInOrderAfterAPortEvent) {
    bridge.OpenAndMonitor(port, 2);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("!!AB\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return characters.size() == 6; }));
    port.StopMonitor();
    EXPECT_EQ(characters, "!!AB\r\n");
    EXPECT_EQ(kinds.front(), 'E');
    EXPECT_EQ(ports, std::vector<int>(kinds.size(), 2));  // the event's parameter is 0
    EXPECT_TRUE(allOnBridgeThread);
}

// Without the port-event bit the first hand-over of a wake-up is the byte itself.
TEST_F(BridgeOnPty, StoppingWhileTheMonitorWaitsInAHandOverReturnsDeliversItAndReadsNoFurther) {
    for (auto [mask, expected] : {std::pair{unsigned{SerialPort::EV_RXCHAR}, "C"}, std::pair{9u, "E"}}) {
        kinds.clear();
        ASSERT_TRUE(StartWithMask(mask));
        ASSERT_TRUE(pty.Write("ZW"));
        QThread::msleep(150);  // the monitor thread now waits for this thread
        EXPECT_EQ(kinds, "");
        port.StopMonitor();
        EXPECT_FALSE(port.threadRunning());
        EXPECT_EQ(kinds, expected) << "mask " << mask;
    }
}

TEST_F(BridgeOnPty, ReopeningWhileTheMonitorWaitsInAHandOverDoesNotHang) {
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("Q"));
    QThread::msleep(100);
    bridge.OpenAndMonitor(port, 1);  // drops the Q still queued, as a reopened port does
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("R"));
    ASSERT_TRUE(PumpUntil([&] { return characters.size() == 1; }));
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(characters, "R");
}

TEST_F(BridgeOnPty, ReadWeatherDataFromInsideAHandOverIsPutOffUntilTheHandOverReturns) {
    extra = [&](int character) {
        if (character != 'A') return;
        bridge.OpenAndMonitor(port, 1);  // as if the button was pressed in a nested pump
        EXPECT_TRUE(bridge.IsDelivering());
    };
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("A"));
    ASSERT_TRUE(PumpUntil([&] { return characters == "A"; }));
    PumpUntil([] { return false; }, 100);  // the put-off reopening runs in here
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("B"));
    ASSERT_TRUE(PumpUntil([&] { return characters == "AB"; }));
    EXPECT_FALSE(bridge.IsDelivering());
}

TEST_F(BridgeOnPty, AMonitorReportIsShownOnTheBridgesThreadButNotWhenAStopOvertakesIt) {
    device = "/nonexistent/ttyNimbulo";
    bridge.OpenAndMonitor(port, 3);
    ASSERT_TRUE(WaitUntilRunning(port));
    QThread::msleep(150);  // the monitor thread waits in the report's hand-over
    port.StopMonitor();
    EXPECT_TRUE(errors.empty());

    bridge.OpenAndMonitor(port, 3);
    ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(errors, std::vector<std::string>{"Application Error|WARNING:  WaitCommEvent() Failed with the "
                                               "following error: \n" + std::string(std::strerror(EBADF)) +
                                               "\nPort: 3\n"});
    EXPECT_TRUE(allOnBridgeThread);
}

TEST_F(BridgeOnPty, ASetUpFailureOnTheBridgesOwnThreadIsShownAtOnceWithoutADeadlock) {
    char path[] = "/tmp/nimbulo-bridge-XXXXXX";
    close(mkstemp(path));
    device = path;  // a plain file is no terminal
    EXPECT_TRUE(port.OpenPort(&bridge, 1, 2400, 'N', 8, 1, 9, 512));
    unlink(path);
    EXPECT_EQ(errors, std::vector<std::string>{"Application Error|WARNING:  SetCommTimeouts() Failed with the "
                                               "following error: \n" + std::string(std::strerror(ENOTTY)) +
                                               "\nPort: 1\n"});
}

TEST(QtPortBridge, ThePortEventResultIsMinusOneOutsidePortsOneToFourElseZero) {
    const std::pair<int, int> cases[] = {{-1, -1}, {0, -1}, {1, 0}, {4, 0}, {5, -1}};
    for (auto [port, expected] : cases)
        EXPECT_EQ(QtPortBridge::DefaultPortEventResult(port), expected) << "port " << port;
}

}  // namespace
