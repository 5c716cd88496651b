// The real SerialPort on pseudo-terminals: what the monitor thread hands over,
// in which order, and how it behaves when the device is missing or goes away.
#include <gtest/gtest.h>
#include <termios.h>
#include <time.h>

#include <cerrno>
#include <cstring>

#include "LineAssembler.h"
#include "PosixSerialDevice.h"
#include "PtyPair.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

using Call = RecordingOwner::Call;
using namespace std::chrono_literals;

constexpr const char* kRecord = "!!0072001B02C2041C27FA02BC03E8025800FF02F2000A005C";

std::string Text(int error) { return std::strerror(error); }

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    // COM numbers all lead to the test's pseudo-terminal.
    SerialPort::DeviceNameResolver ToPty() {
        return [this](int) { return pty.slavePath(); };
    }
    bool OpenInstrumentPort(SerialPort& port, int comPort) {
        return port.OpenPort(&owner, comPort, 2400, 'N', 8, 1, 9, 512);
    }

    PtyPair pty;
    RecordingOwner owner;
};

TEST_F(SerialPortOnPty, OpensThePtyAt2400BaudEightDataBitsNoParityOneStopBitRaw) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 3));
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master(), &t), 0);  // the master reports the slave's settings
    EXPECT_EQ(cfgetispeed(&t), B2400);
    EXPECT_EQ(cfgetospeed(&t), B2400);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 10);  // the one-second read time-out
}

TEST_F(SerialPortOnPty, RtsOnAPtyWithoutModemLinesIsNotReported) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 1));
    EXPECT_TRUE(owner.CallsOf(Call::Error).empty());
}

TEST_F(SerialPortOnPty, BytesArriveInOrderEachAsOneCallWithThePortNumberAfterAPortEvent) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 3));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    const std::string sent = "!!\x00\x7f\x80\xff\r\n";
    std::string bytes(sent.data(), 8);
    ASSERT_TRUE(pty.Write(bytes));
    ASSERT_TRUE(owner.WaitFor(Call::Character, bytes.size()));
    port.StopMonitor();

    auto calls = owner.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().kind, Call::PortEvent);
    EXPECT_EQ(owner.Characters(), bytes);
    for (const auto& c : calls) {
        EXPECT_EQ(c.port, 3);
        EXPECT_NE(c.thread, std::this_thread::get_id());
        if (c.kind == Call::PortEvent) {
            EXPECT_EQ(c.value, 0);
        }
        if (c.kind == Call::Character) {
            EXPECT_GE(c.value, 0);
            EXPECT_LE(c.value, 255);
        }
    }
    EXPECT_TRUE(owner.CallsOf(Call::Error).empty());
}

TEST_F(SerialPortOnPty, EachBurstOfBytesIsPrecededByItsOwnPortEvent) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 2));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    for (char c : std::string("abc")) {
        ASSERT_TRUE(pty.Write(std::string(1, c)));
        ASSERT_TRUE(owner.WaitFor(Call::Character, static_cast<size_t>(c - 'a' + 1)));
        std::this_thread::sleep_for(30ms);  // let the thread go back to waiting
    }
    port.StopMonitor();
    // Each byte came in on its own wake-up, so the calls alternate.
    std::string kinds;
    for (const auto& call : owner.Calls()) kinds += call.kind == Call::PortEvent ? 'E' : 'C';
    EXPECT_EQ(kinds, "ECECEC");
}

TEST_F(SerialPortOnPty, AWholeRecordBecomesExactlyOneLine) {
    std::vector<std::string> lines;
    LineAssembler assembler([&lines](const char* line) { lines.emplace_back(line); });
    owner.onCharacter = [&assembler](int c) { assembler.OnSerialCharacter(c, 1); };
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 1));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(pty.Write(std::string(kRecord) + "\r\n"));
    ASSERT_TRUE(owner.WaitFor(Call::Character, 52));
    port.StopMonitor();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], kRecord);
    EXPECT_EQ(lines[0].size(), 50u);
}

TEST_F(SerialPortOnPty, BytesQueuedBeforeTheMonitorStartsAreDropped) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 1));
    ASSERT_TRUE(pty.Write("stale"));
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(pty.Write("X"));
    ASSERT_TRUE(owner.WaitFor(Call::Character, 1));
    std::this_thread::sleep_for(50ms);
    port.StopMonitor();
    EXPECT_EQ(owner.Characters(), "X");
}

TEST(SerialPortMissingDevice, GivesNoReportAtTheOpenAndOneWaitCommEventReportFromTheThread) {
    RecordingOwner owner;
    SerialPort port([](int) { return std::string("/nonexistent/ttyNimbulo"); });
    EXPECT_FALSE(port.OpenPort(&owner, 2, 2400, 'N', 8, 1, 9, 512));
    EXPECT_EQ(port.lastOpenError(), ENOENT);
    EXPECT_TRUE(owner.Calls().empty());

    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    ASSERT_TRUE(owner.WaitFor(Call::Error, 1));
    std::this_thread::sleep_for(200ms);
    auto calls = owner.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].caption, "Application Error");
    EXPECT_EQ(calls[0].text, "WARNING:  WaitCommEvent() Failed with the following error: \n" +
                                 Text(EBADF) + "\nPort: 2\n");
    EXPECT_NE(calls[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(port.threadRunning());  // idle, waiting to be stopped

    // A later Read Weather Data stops the idle thread and tries again.
    auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.OpenPort(&owner, 2, 2400, 'N', 8, 1, 9, 512));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_FALSE(port.threadRunning());
}

TEST_F(SerialPortOnPty, TheIdleMonitorAfterAFailureUsesNoCpu) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 1));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    pty.CloseMaster();
    ASSERT_TRUE(owner.WaitFor(Call::Error, 1));
    double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuSeconds() - before, 0.03);
    EXPECT_EQ(owner.CallsOf(Call::Error).size(), 1u);
}

TEST_F(SerialPortOnPty, ADeviceVanishingMidRecordIsReportedOnceAndTheThreadIdlesUntilStopped) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 4));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    std::string half = std::string(kRecord).substr(0, 20);
    ASSERT_TRUE(pty.Write(half));
    ASSERT_TRUE(owner.WaitFor(Call::Character, half.size()));
    pty.CloseMaster();
    ASSERT_TRUE(owner.WaitFor(Call::Error, 1));
    std::this_thread::sleep_for(300ms);

    auto errors = owner.CallsOf(Call::Error);
    ASSERT_EQ(errors.size(), 1u);
    const std::string& text = errors[0].text;
    bool knownOperation =
        text.rfind("WARNING:  WaitCommEvent() Failed with the following error: \n", 0) == 0 ||
        text.rfind("WARNING:  ReadFile() Failed with the following error: \n", 0) == 0;
    EXPECT_TRUE(knownOperation) << text;
    EXPECT_TRUE(text.ends_with("\nPort: 4\n")) << text;
    EXPECT_EQ(owner.Characters(), half);
    EXPECT_TRUE(port.threadRunning());
    port.StopMonitor();
    EXPECT_FALSE(port.threadRunning());
}

TEST_F(SerialPortOnPty, ReopeningWhileDataFlowsStopsTheOldThreadAndGoesOnReading) {
    SerialPort port(ToPty());
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        while (writing) {
            pty.Write("0123456789");
            std::this_thread::sleep_for(2ms);
        }
    });
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(OpenInstrumentPort(port, 1));
        ASSERT_TRUE(port.StartMonitor());
        ASSERT_TRUE(WaitUntilRunning(port));
        size_t before = owner.CallsOf(Call::Character).size();
        ASSERT_TRUE(owner.WaitFor(Call::Character, before + 20)) << "round " << round;
    }
    writing = false;
    writer.join();
    port.StopMonitor();
    EXPECT_TRUE(owner.CallsOf(Call::Error).empty());
}

TEST_F(SerialPortOnPty, StopReturnsPromptlyWhileTheThreadWaitsForData) {
    SerialPort port(ToPty());
    ASSERT_TRUE(OpenInstrumentPort(port, 1));
    ASSERT_TRUE(port.StartMonitor());
    ASSERT_TRUE(WaitUntilRunning(port));
    std::this_thread::sleep_for(50ms);
    auto before = std::chrono::steady_clock::now();
    port.StopMonitor();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_FALSE(port.threadRunning());
}

TEST_F(SerialPortOnPty, AShutdownPendingTogetherWithDataWinsTheWait) {
    PosixSerialDevice device;
    ASSERT_EQ(device.Open(pty.slavePath()), 0);
    termios t{};
    ASSERT_EQ(PosixSerialDevice::ParseSettings("baud=2400 parity=N data=8 stop=1", t), 0);
    ASSERT_EQ(tcsetattr(pty.master(), TCSANOW, &t), 0);
    ASSERT_TRUE(pty.Write("data"));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device.WaitForEvent(true).outcome, WaitResult::Outcome::PortEvent);
    device.SignalShutdown();
    EXPECT_EQ(device.WaitForEvent(true).outcome, WaitResult::Outcome::Shutdown);
    device.ResetShutdown();
    EXPECT_EQ(device.WaitForEvent(true).outcome, WaitResult::Outcome::PortEvent);
}

TEST_F(SerialPortOnPty, AClosedOtherEndFailsTheWaitWithAnInputOutputError) {
    PosixSerialDevice device;
    ASSERT_EQ(device.Open(pty.slavePath()), 0);
    pty.CloseMaster();
    WaitResult wait = device.WaitForEvent(true);
    EXPECT_EQ(wait.outcome, WaitResult::Outcome::PortFailed);
    EXPECT_EQ(wait.error, EIO);
}

TEST(SerialPortPlainFile, AFileThatIsNoTerminalFailsAtTheFirstSetUpStepWhichIsReported) {
    char path[] = "/tmp/nimbulo-serial-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    RecordingOwner owner;
    SerialPort port([&](int) { return std::string(path); });
    EXPECT_TRUE(port.OpenPort(&owner, 1, 2400, 'N', 8, 1, 9, 512));
    auto calls = owner.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "WARNING:  SetCommTimeouts() Failed with the following error: \n" +
                                 Text(ENOTTY) + "\nPort: 1\n");
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    unlink(path);
}

TEST_F(SerialPortOnPty, AnUnsupportedBaudRateIsReportedAsBuildCommDcbAndTheOpenStillSucceeds) {
    SerialPort port(ToPty());
    EXPECT_TRUE(port.OpenPort(&owner, 1, 2401, 'N', 8, 1, 9, 512));
    auto calls = owner.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "WARNING:  BuildCommDCB() Failed with the following error: \n" +
                                 Text(EINVAL) + "\nPort: 1\n");
}

}  // namespace
