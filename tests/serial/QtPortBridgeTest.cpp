// SPDX-License-Identifier: GPL-3.0-or-later
// The hand-over of the monitor thread's calls to the user-interface thread,
// and stopping the port while such a hand-over waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "LineAssembler.h"
#include "PortConfig.h"
#include "PtyPair.h"
#include "QtPortBridge.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("serial_bridge_tests"), nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer timer;
    for (timer.start(); !done(); QCoreApplication::processEvents(QEventLoop::AllEvents, 10))
        if (timer.elapsed() > limitMs) return false;
    return true;
}

class BridgeOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        bridge.SetErrorPresenter([this](const QString& caption, const QString& text) {
            owner.ReportError(caption.toStdString(), text.toStdString());
        });
        bridge.SetPortEventHandler(
            [this](int param, int port) { return owner.OnPortEvent(param, port); });
    }
    bool StartWithMask(unsigned mask) {
        LineSettings line = PortConfig::InstrumentLine();
        line.eventMask = mask;
        return port.OpenPort(&bridge, 1, line) && port.StartMonitor() && WaitUntilRunning(port);
    }

    QCoreApplication& app = App();  // before any QObject
    PtyPair pty;
    std::string device = pty.slavePath;
    RecordingOwner owner;  // what the bridge hands to this thread
    QtPortBridge bridge{
        [this](int character, int port) { return owner.OnSerialCharacter(character, port); }};
    SerialPort port{[this](int) { return device; }};  // stopped before the bridge goes
    const std::set<std::thread::id> thisThread{std::this_thread::get_id()};
};

TEST_F(BridgeOnPty, HandsEveryByteInOrderToTheBridgesThreadWhereAWholeRecordBecomesOneLine) {
    const std::string record = "!!0072001B02C2041C27FA02BC03E8025800FF02F2000A005C";
    std::vector<std::string> lines;
    LineAssembler assembler([&lines](const char* line) { lines.emplace_back(line); });
    owner.onCharacter = [&assembler](int c) { assembler.OnSerialCharacter(c, 1); };
    bridge.OpenAndMonitor(port, 2);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write(record + "\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return owner.Characters() == record + "\r\n"; }));
    port.StopMonitor();
    EXPECT_EQ(lines, std::vector<std::string>{record});
    EXPECT_EQ(owner.Kinds().front(), 'E');
    EXPECT_EQ(owner.Ports(), std::vector<int>(owner.Kinds().size(), 2));
    EXPECT_EQ(owner.Threads(), thisThread);
}

// Without the port-event bit the first hand-over of a wake-up is the byte itself.
TEST_F(BridgeOnPty, StoppingWhileTheMonitorWaitsInAHandOverReturnsDeliversItAndReadsNoFurther) {
    for (auto [mask, expected] :
         {std::pair{unsigned{SerialPort::EV_RXCHAR}, "C"}, std::pair{9u, "CE"}}) {
        ASSERT_TRUE(StartWithMask(mask));
        ASSERT_TRUE(pty.Write("ZW"));
        QThread::msleep(150);  // the monitor thread now waits for this thread
        port.StopMonitor();
        EXPECT_EQ(owner.Kinds(), expected) << "mask " << mask;
    }
}

TEST_F(BridgeOnPty, ReadWeatherDataFromInsideAHandOverIsPutOffUntilTheHandOverReturns) {
    owner.onCharacter = [&](int character) {
        if (character != 'A') return;
        bridge.OpenAndMonitor(port, 1);  // as if the button was pressed in a nested pump
        EXPECT_TRUE(bridge.IsDelivering());
    };
    bridge.OpenAndMonitor(port, 1);
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("A"));
    ASSERT_TRUE(PumpUntil([&] { return owner.Characters() == "A"; }));
    PumpUntil([] { return false; }, 100);  // the put-off reopening runs in here
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write("B"));
    ASSERT_TRUE(PumpUntil([&] { return owner.Characters() == "AB"; }));
    EXPECT_FALSE(bridge.IsDelivering());
}

// A device that goes away: the monitor thread reports it once.
TEST_F(BridgeOnPty, AMonitorReportIsShownOnTheBridgesThreadButNotWhenAStopOvertakesIt) {
    ASSERT_TRUE(StartWithMask(SerialPort::EV_RXCHAR));
    pty.CloseMaster();
    QThread::msleep(150);  // the report waits in this thread's queue
    port.StopMonitor();
    EXPECT_EQ(owner.Kinds(), "");

    PtyPair second;
    device = second.slavePath;
    bridge.OpenAndMonitor(port, 3);
    ASSERT_TRUE(WaitUntilRunning(port));
    second.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !owner.Errors().empty(); }));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(owner.Errors(),
              std::vector<std::string>{"Application Error|WARNING:  WaitCommEvent() Failed with "
                                       "the following error: \n" +
                                       std::string(std::strerror(EIO)) + "\nPort: 3\n"});
    EXPECT_EQ(owner.Threads(), thisThread);
    EXPECT_TRUE(port.threadRunning());  // waiting for the device to come back
    auto before = std::chrono::steady_clock::now();
    bridge.OpenAndMonitor(port, 3);  // a later Read Weather Data stops it and tries again
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

TEST_F(BridgeOnPty, ASetUpFailureOnTheBridgesOwnThreadIsShownAtOnceWithoutADeadlock) {
    char path[] = "/tmp/nimbulo-bridge-XXXXXX";
    close(mkstemp(path));
    device = path;  // a plain file is no terminal
    EXPECT_TRUE(port.OpenPort(&bridge, 1, PortConfig::InstrumentLine()));
    unlink(path);
    EXPECT_EQ(owner.Errors(),
              std::vector<std::string>{"Application Error|WARNING:  SetCommTimeouts() Failed with "
                                       "the following error: \n" +
                                       std::string(std::strerror(ENOTTY)) + "\nPort: 1\n"});
}

TEST(QtPortBridge, AnswersAPortEventWithMinusOneOutsidePortsOneToFourElseZero) {
    App();
    QtPortBridge bridge{[](int, int) { return 0; }};
    const std::pair<int, int> cases[] = {{-1, -1}, {0, -1}, {1, 0}, {4, 0}, {5, -1}};
    for (auto [port, expected] : cases)
        EXPECT_EQ(bridge.OnPortEvent(0, port), expected) << "port " << port;
}

}  // namespace
