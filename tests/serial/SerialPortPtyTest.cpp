// SPDX-License-Identifier: GPL-3.0-or-later
// The real SerialPort on pseudo-terminals: what the monitor thread hands over,
// in which order, and how it behaves when the device is missing or goes away.
#include <gtest/gtest.h>
#include <termios.h>

#include <ctime>
#include <filesystem>
#include <memory>

#include "PortConfig.h"
#include "PtyPair.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

using namespace std::chrono_literals;

class SerialPortOnPty : public ::testing::Test {
  protected:
    bool Open(int comPort) { return port.OpenPort(&owner, comPort, PortConfig::InstrumentLine()); }
    bool OpenAndMonitor(int comPort) {
        return Open(comPort) && port.StartMonitor() && WaitUntilRunning(port);
    }

    PtyPair pty;
    RecordingOwner owner;
    SerialPort port{[this](int) { return pty.slavePath; }};  // every COM number leads to the pty
};

TEST_F(SerialPortOnPty, OpensRawAt2400Baud8N1WithTheOneSecondTimeOutAndNoReportForRts) {
    ASSERT_TRUE(Open(3));
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);  // the master reports the slave's settings
    EXPECT_EQ(cfgetispeed(&t), B2400);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CREAD),
              static_cast<tcflag_t>(CS8 | CREAD));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 10);
    EXPECT_EQ(owner.Kinds(), "");  // a pty has no RTS line, which is no fault
}

TEST_F(SerialPortOnPty,
       BytesArriveInOrderEachAsOneCallWithThePortNumberAfterAPortEventPerWakeUpAndStopIsPrompt) {
    ASSERT_TRUE(OpenAndMonitor(3));
    const std::string first("!!\x00\x7f", 4), second = "\x80\xff\r\n";
    ASSERT_TRUE(pty.Write(first));
    ASSERT_TRUE(owner.WaitFor('C', 4));
    std::this_thread::sleep_for(30ms);  // the thread goes back to waiting
    ASSERT_TRUE(pty.Write(second));
    ASSERT_TRUE(owner.WaitFor('C', 8));
    std::this_thread::sleep_for(30ms);
    auto before = std::chrono::steady_clock::now();
    port.StopMonitor();  // while the thread waits for data
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_EQ(owner.Characters(), first + second);
    std::string kinds = owner.Kinds();
    EXPECT_EQ(kinds.front(), 'E');
    EXPECT_EQ(kinds.find("CCCCC"), std::string::npos)
        << kinds;  // the second burst had its own event
    EXPECT_EQ(owner.Ports(), std::vector<int>(kinds.size(), 3));
}

TEST_F(SerialPortOnPty,
       ADeviceVanishingMidRecordIsReportedOnceAndTheThreadIdlesWithoutCpuUntilStopped) {
    ASSERT_TRUE(OpenAndMonitor(4));
    const std::string half = "!!0072001B02C2041C27";  // a record cut short
    ASSERT_TRUE(pty.Write(half));
    ASSERT_TRUE(owner.WaitFor('C', half.size()));
    pty.CloseMaster();
    ASSERT_TRUE(owner.WaitFor('R', 1));
    std::clock_t cpuBefore = std::clock();  // this process's processor time
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(std::clock() - cpuBefore, CLOCKS_PER_SEC * 3 / 100);

    auto errors = owner.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(owner.Links(), "OL");
    bool knownOperation =
        errors[0].starts_with("Application Error|WARNING:  WaitCommEvent() Failed") ||
        errors[0].starts_with("Application Error|WARNING:  ReadFile() Failed");
    EXPECT_TRUE(knownOperation && errors[0].ends_with("\nPort: 4\n")) << errors[0];
    EXPECT_EQ(owner.Characters(), half);
    EXPECT_TRUE(port.threadRunning());
    port.StopMonitor();
}

TEST_F(SerialPortOnPty, ReopeningWhileDataFlowsStopsTheOldThreadAndGoesOnReading) {
    std::jthread writer([&](std::stop_token stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(2ms)) pty.Write("0123456789");
    });
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(OpenAndMonitor(1));
        ASSERT_TRUE(owner.WaitFor('C', owner.Characters().size() + 20)) << "round " << round;
    }
    writer.request_stop();
    port.StopMonitor();
    EXPECT_TRUE(owner.Errors().empty());
}

// A device path that outlives the terminals behind it, as /dev/ttyUSB0 does
// its adapters: a symbolic link re-pointed to a new pseudo-terminal.
class SerialPortOnReplugs : public ::testing::Test {
  protected:
    SerialPortOnReplugs() { port.SetRetrySchedule({true, 20ms, 60s, 20ms}); }
    ~SerialPortOnReplugs() override {
        port.StopMonitor();
        std::filesystem::remove_all(folder);
    }
    // Plugs a new terminal in at the link's path.
    void Plug() {
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(PointLinkAt(link, pty->slavePath));
    }
    bool Start() {
        return port.OpenPort(&owner, 2, PortConfig::InstrumentLine()) && port.StartMonitor() &&
               WaitUntilRunning(port);
    }

    std::string folder = [] {
        char path[] = "/tmp/nimbulo-replug-XXXXXX";
        return std::string(mkdtemp(path));
    }();
    std::string link = folder + "/ttyUSB0";
    std::unique_ptr<PtyPair> pty;
    RecordingOwner owner;
    SerialPort port{[this](int) { return link; }};
};

// Bytes sent while the device was there all arrive; a loss after received
// bytes is reported, a loss with none between is not, and nothing per retry.
TEST_F(SerialPortOnReplugs, ADeviceBackAtTheSamePathIsReopenedAndReadWithoutFurtherReports) {
    Plug();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(pty->Write("AB"));
    ASSERT_TRUE(owner.WaitFor('C', 2));
    Unplug(link, *pty);
    ASSERT_TRUE(owner.WaitFor('L', 1));
    std::this_thread::sleep_for(100ms);  // a few silent retries on a missing device
    Plug();
    ASSERT_TRUE(owner.WaitFor('O', 2));
    ASSERT_TRUE(pty->Write("CD"));
    ASSERT_TRUE(owner.WaitFor('C', 4));
    Unplug(link, *pty);
    ASSERT_TRUE(owner.WaitFor('L', 2));
    Plug();
    ASSERT_TRUE(owner.WaitFor('O', 3));
    Unplug(link, *pty);  // gone again before a byte came
    ASSERT_TRUE(owner.WaitFor('L', 3));
    Plug();
    ASSERT_TRUE(owner.WaitFor('O', 4));
    ASSERT_TRUE(pty->Write("E"));
    ASSERT_TRUE(owner.WaitFor('C', 5));

    EXPECT_EQ(owner.Characters(), "ABCDE");
    EXPECT_EQ(owner.Links(), "OLOLOLO");
    EXPECT_EQ(owner.LinkDevice(), link);
    EXPECT_EQ(owner.Errors().size(), 2u);
}

}  // namespace
