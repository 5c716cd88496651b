// The serial port without a real device: the error text, the COM number
// mapping, the line settings, and the port's steps against a scripted device.
#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>

#include "FakeSerialDevice.h"
#include "PortDeviceNames.h"
#include "PosixSerialDevice.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

using namespace std::chrono_literals;

TEST(ErrorText, IsComposedExactlyAndNeverCutHoweverLongItsParts) {
    std::string longText(1000, 'x');
    EXPECT_EQ(SerialPort::ComposeErrorText("ReadFile()", "Input/output error", 3),
              "WARNING:  ReadFile() Failed with the following error: \nInput/output error\nPort: 3\n");
    EXPECT_EQ(SerialPort::ComposeErrorText("GetOverlappedResults() in ReadFile()", longText, -12345),
              "WARNING:  GetOverlappedResults() in ReadFile() Failed with the following error: \n" +
                  longText + "\nPort: -12345\n");
}

TEST(DeviceNameForPort, FollowsTheOverrideElseTheSerialDeviceOneBelowTheComNumber) {
    EXPECT_EQ(DeviceNameForPort(1, {}), "/dev/ttyS0");
    EXPECT_EQ(DeviceNameForPort(3, {{3, "/dev/ttyUSB0"}}), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceNameForPort(2, {{3, "/dev/ttyUSB0"}}), "/dev/ttyS1");
    EXPECT_EQ(DeviceNameForPort(2, {{2, ""}}), "/dev/ttyS1");  // an empty setting is no override
}

TEST(LineSettings, EvenParityAndTwoStopBitsSetTheirBitsAndNonsenseIsRefused) {
    termios t{};
    ASSERT_EQ(PosixSerialDevice::ParseSettings("baud=9600 parity=E data=7 stop=2", t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB), static_cast<tcflag_t>(CS7 | PARENB | CSTOPB));
    for (const char* bad : {"baud=2401 parity=N data=8 stop=1", "baud=2400 parity=M data=8 stop=1",
                            "baud=2400 parity=N data=9 stop=1", "baud=2400 parity=N data=8 stop=3",
                            "baud=2400 parity=N"})
        EXPECT_EQ(PosixSerialDevice::ParseSettings(bad, t), EINVAL) << bad;
}

struct Rig {
    FakeSerialDevice* device = new FakeSerialDevice;
    SerialPort port{[](int n) { return "COM" + std::to_string(n); }, std::unique_ptr<SerialDevice>(device)};
    RecordingOwner owner;
    bool Open(int comPort) { return port.OpenPort(&owner, comPort, 2400, 'N', 8, 1, 9, 512); }
};

TEST(SerialPortSetUp, RunsTheStepsInOrderWithTheInstrumentsSettingsAndPurgesAtTheEnd) {
    Rig rig;
    EXPECT_TRUE(rig.Open(3));
    EXPECT_EQ(rig.device->openedName, "COM3");
    EXPECT_EQ(rig.device->log, (std::vector<std::string>{"Close", "Open", "SetTimeouts", "SetEventMask",
                                                           "GetState", "BuildState", "SetState", "Purge"}));
    EXPECT_TRUE(rig.device->rtsEnable);
    const PortTimeouts& t = rig.device->timeouts;
    for (int ms : {t.readIntervalMs, t.readTotalMultiplierMs, t.readTotalConstantMs, t.writeTotalMultiplierMs,
                   t.writeTotalConstantMs})
        EXPECT_EQ(ms, 1000);
    EXPECT_TRUE(rig.owner.Kinds().empty());
}

TEST(SerialPortSetUp, AFailedOpenIsNotReportedAndSkipsTheRestAndNoMonitorStartsBeforeAnOpen) {
    Rig rig;
    EXPECT_FALSE(rig.port.StartMonitor());  // no owner yet
    rig.device->failures["Open"] = 2;
    EXPECT_FALSE(rig.Open(1));
    EXPECT_EQ(rig.port.lastOpenError(), 2);
    EXPECT_EQ(rig.device->log, (std::vector<std::string>{"Close", "Open"}));
    EXPECT_TRUE(rig.owner.Kinds().empty());
}

// Each failing step, with the name it is reported under; the steps after it are skipped.
TEST(SerialPortSetUp, AFailedStepIsReportedOnceUnderItsNameStopsTheSetUpAndTheOpenStillSucceeds) {
    const std::pair<const char*, const char*> steps[] = {
        {"SetTimeouts", "SetCommTimeouts()"}, {"SetEventMask", "SetCommMask()"}, {"GetState", "GetCommState()"},
        {"BuildState", "BuildCommDCB()"},     {"SetState", "SetCommState()"}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].first);
        Rig rig;
        rig.device->failures[steps[i].first] = 22;
        EXPECT_TRUE(rig.Open(2));
        auto errors = rig.owner.Errors();
        ASSERT_EQ(rig.owner.Kinds(), "R");
        EXPECT_EQ(errors[0], std::string("Application Error|WARNING:  ") + steps[i].second +
                                     " Failed with the following error: \nerror 22\nPort: 2\n");
        auto log = rig.device->log;  // Close, Open, the steps that ran, Purge
        ASSERT_EQ(log.size(), i + 4);
        EXPECT_EQ(log[i + 2], steps[i].first);
        EXPECT_EQ(log.back(), "Purge");
    }
}

TEST(SerialPortMonitor, AFailedReadIsReportedOnceHandsNothingOverAndTheThreadOnlyWaitsToStop) {
    struct Case { ReadResult::Outcome outcome; std::string operation; int error; };
    for (const Case& c : {Case{ReadResult::Outcome::Failed, "ReadFile()", 5},
                          Case{ReadResult::Outcome::TimedOut, "GetOverlappedResults() in ReadFile()", 62}}) {
        SCOPED_TRACE(c.operation);
        Rig rig;
        ASSERT_TRUE(rig.Open(1));
        ASSERT_TRUE(rig.port.StartMonitor());
        while (!rig.port.threadRunning()) std::this_thread::sleep_for(1ms);
        rig.device->readOutcome = c.outcome;
        rig.device->queued = 2;  // never read: a thread still watching would spin on them
        ASSERT_TRUE(rig.owner.WaitFor('R', 1));
        std::this_thread::sleep_for(50ms);
        rig.port.StopMonitor();
        EXPECT_EQ(rig.owner.Kinds(), "ER");
        EXPECT_EQ(rig.owner.Errors().back(), "Application Error|WARNING:  " + c.operation +
                  " Failed with the following error: \nerror " + std::to_string(c.error) + "\nPort: 1\n");
    }
}

}  // namespace
