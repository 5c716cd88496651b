// The serial port's steps against a scripted device: the order of the set-up,
// which failure is reported under which name, and the read failures.
#include <gtest/gtest.h>

#include "FakeSerialDevice.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

using Call = RecordingOwner::Call;
using namespace std::chrono_literals;

struct Rig {
    Rig() {
        auto owned = std::make_unique<FakeSerialDevice>();
        device = owned.get();
        port = std::make_unique<SerialPort>([](int n) { return "COM" + std::to_string(n); },
                                            std::move(owned));
    }
    bool Open(int comPort = 3) { return port->OpenPort(&owner, comPort, 2400, 'N', 8, 1, 9, 512); }
    bool WaitRunning() {
        for (int i = 0; i < 500 && !port->threadRunning(); ++i) std::this_thread::sleep_for(2ms);
        return port->threadRunning();
    }

    FakeSerialDevice* device;
    RecordingOwner owner;
    std::unique_ptr<SerialPort> port;
};

TEST(SerialPortSetUp, RunsTheStepsInOrderWithTheInstrumentsSettingsAndPurgesAtTheEnd) {
    Rig rig;
    EXPECT_TRUE(rig.Open(3));
    EXPECT_EQ(rig.device->openedName, "COM3");
    EXPECT_EQ(rig.device->Log(),
              (std::vector<std::string>{"Close", "Open", "SetTimeouts", "SetEventMask", "GetState",
                                        "BuildState", "SetState", "Purge"}));
    EXPECT_EQ(rig.device->settingsText, "baud=2400 parity=N data=8 stop=1");
    EXPECT_TRUE(rig.device->rtsEnable);
    EXPECT_EQ(rig.device->EventMask(), 9u);
    const PortTimeouts& t = rig.device->timeouts;
    for (int ms : {t.readIntervalMs, t.readTotalMultiplierMs, t.readTotalConstantMs,
                   t.writeTotalMultiplierMs, t.writeTotalConstantMs}) {
        EXPECT_EQ(ms, 1000);
    }
    EXPECT_TRUE(rig.owner.Calls().empty());
}

struct StepFailure {
    const char* deviceStep;
    const char* reportedAs;
    size_t stepsRun;  // set-up steps from SetTimeouts on, including the failed one
};

void PrintTo(const StepFailure& c, std::ostream* os) { *os << c.reportedAs; }

class SerialPortSetUpFailure : public ::testing::TestWithParam<StepFailure> {};

TEST_P(SerialPortSetUpFailure, IsReportedOnceUnderItsNameStopsTheSetUpAndStillSucceeds) {
    const auto& c = GetParam();
    Rig rig;
    rig.device->failures[c.deviceStep] = 22;
    EXPECT_TRUE(rig.Open(2));
    auto calls = rig.owner.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].caption, "Application Error");
    EXPECT_EQ(calls[0].text, std::string("WARNING:  ") + c.reportedAs +
                                 " Failed with the following error: \nerror 22\nPort: 2\n");
    auto log = rig.device->Log();
    // Close, Open, the steps that ran, then the purge that always follows.
    ASSERT_EQ(log.size(), 2 + c.stepsRun + 1);
    EXPECT_EQ(log[1 + c.stepsRun], c.deviceStep);
    EXPECT_EQ(log.back(), "Purge");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SerialPortSetUpFailure,
    ::testing::Values(StepFailure{"SetTimeouts", "SetCommTimeouts()", 1},
                      StepFailure{"SetEventMask", "SetCommMask()", 2},
                      StepFailure{"GetState", "GetCommState()", 3},
                      StepFailure{"BuildState", "BuildCommDCB()", 4},
                      StepFailure{"SetState", "SetCommState()", 5}));

TEST(SerialPortSetUp, AFailedOpenIsNotReportedAndSkipsTheRest) {
    Rig rig;
    rig.device->failures["Open"] = 2;
    EXPECT_FALSE(rig.Open());
    EXPECT_EQ(rig.port->lastOpenError(), 2);
    EXPECT_EQ(rig.device->Log(), (std::vector<std::string>{"Close", "Open"}));
    EXPECT_TRUE(rig.owner.Calls().empty());
}

struct ReadFailure {
    ReadResult::Outcome outcome;
    const char* reportedAs;
    int error;
};

void PrintTo(const ReadFailure& c, std::ostream* os) { *os << c.reportedAs; }

class SerialPortReadFailure : public ::testing::TestWithParam<ReadFailure> {};

TEST_P(SerialPortReadFailure, IsReportedOnceHandsNothingOverAndTheThreadThenOnlyWaitsToStop) {
    const auto& c = GetParam();
    Rig rig;
    ASSERT_TRUE(rig.Open(1));
    ASSERT_TRUE(rig.port->StartMonitor());
    ASSERT_TRUE(rig.WaitRunning());
    rig.device->readOutcome = c.outcome;
    rig.device->Receive("AB");
    ASSERT_TRUE(rig.owner.WaitFor(Call::Error, 1));
    std::this_thread::sleep_for(50ms);
    rig.port->StopMonitor();

    auto calls = rig.owner.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, Call::PortEvent);
    EXPECT_EQ(calls[1].text, std::string("WARNING:  ") + c.reportedAs +
                                 " Failed with the following error: \nerror " +
                                 std::to_string(c.error) + "\nPort: 1\n");
    EXPECT_EQ(rig.device->WatchFlags(), (std::vector<bool>{true, false}));
}

INSTANTIATE_TEST_SUITE_P(
    Reads, SerialPortReadFailure,
    ::testing::Values(ReadFailure{ReadResult::Outcome::Failed, "ReadFile()", 5},
                      ReadFailure{ReadResult::Outcome::TimedOut,
                                  "GetOverlappedResults() in ReadFile()", 62}));

TEST(SerialPortMonitor, WithoutThePortEventBitHandsOverOnlyTheBytes) {
    Rig rig;
    ASSERT_TRUE(rig.port->OpenPort(&rig.owner, 1, 2400, 'N', 8, 1, SerialPort::EV_RXCHAR, 512));
    ASSERT_TRUE(rig.port->StartMonitor());
    ASSERT_TRUE(rig.WaitRunning());
    rig.device->Receive("xy");
    ASSERT_TRUE(rig.owner.WaitFor(Call::Character, 2));
    rig.port->StopMonitor();
    EXPECT_TRUE(rig.owner.CallsOf(Call::PortEvent).empty());
    EXPECT_EQ(rig.owner.Characters(), "xy");
}

TEST(SerialPortMonitor, StartingTwiceStopsTheFirstThreadBeforeTheSecondStarts) {
    Rig rig;
    ASSERT_TRUE(rig.Open(1));
    ASSERT_TRUE(rig.port->StartMonitor());
    ASSERT_TRUE(rig.WaitRunning());
    ASSERT_TRUE(rig.port->StartMonitor());
    ASSERT_TRUE(rig.WaitRunning());
    rig.device->Receive("k");
    ASSERT_TRUE(rig.owner.WaitFor(Call::Character, 1));
    std::this_thread::sleep_for(30ms);
    rig.port->StopMonitor();
    EXPECT_EQ(rig.owner.Characters(), "k");  // one thread took it, once
}

TEST(SerialPortMonitor, StartingBeforeAnyOpenFailsForWantOfAnOwner) {
    Rig rig;
    EXPECT_FALSE(rig.port->StartMonitor());
    EXPECT_FALSE(rig.port->threadRunning());
}

}  // namespace
