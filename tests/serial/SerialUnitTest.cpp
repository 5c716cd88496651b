// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port without a real device: the error text, the COM number
// mapping, the line settings, and the port's steps against a scripted device.
#include <gtest/gtest.h>
#include <termios.h>

#include <QSettings>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>

#include "PortConfig.h"
#include "PosixSerialDevice.h"
#include "RecordingOwner.h"
#include "SerialPort.h"

namespace {

using namespace std::chrono_literals;

// A scripted device: any set-up step can be made to fail with an error code,
// every step is logged by name, and the test can announce received bytes
// whose read then ends with readOutcome and error 5.
class FakeSerialDevice : public SerialDevice {
  public:
    // Locked by the steps, which the monitor thread runs too when it loses the device.
    std::mutex mutex;
    std::map<std::string, int> failures;
    std::vector<std::string> log;
    bool rtsEnable = false;
    std::atomic<ReadResult::Outcome> readOutcome{ReadResult::Outcome::Failed};
    std::atomic<int> queued{0};

    int Open(const std::string&) override {
        const int error = Step("Open");
        open_ = error == 0;
        return error;
    }
    void Close() override {
        Step("Close");
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    int SetReadTimeout(int) override { return Step("SetReadTimeout"); }
    int SetEventMask(uint32_t mask) override {
        mask_ = mask;
        return Step("SetEventMask");
    }
    uint32_t EventMask() const override { return mask_; }
    int GetState() override { return Step("GetState"); }
    int BuildState(const std::string&, bool rts) override {
        rtsEnable = rts;
        return Step("BuildState");
    }
    int SetState() override { return Step("SetState"); }
    int Purge() override { return Step("Purge"); }
    int QueuedBytes(int& count) override {
        count = queued;
        return 0;
    }
    ReadResult ReadByte() override { return {readOutcome, 0, 5}; }
    // Polls, which is good enough for a test and keeps the fake free of locks.
    WaitResult WaitForEvent(bool watchPort, int timeoutMs) override {
        for (int waited = 0; !shutdown_ && !(watchPort && queued > 0); ++waited) {
            if (timeoutMs >= 0 && waited >= timeoutMs) return {WaitResult::Outcome::TimedOut, 0};
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return {shutdown_ ? WaitResult::Outcome::Shutdown : WaitResult::Outcome::PortEvent, 0};
    }
    void SignalShutdown() override { shutdown_ = true; }
    void ResetShutdown() override { shutdown_ = false; }
    std::string ErrorText(int error) const override { return "error " + std::to_string(error); }

  private:
    int Step(const char* name) {
        std::lock_guard<std::mutex> lock(mutex);
        log.push_back(name);
        return failures.count(name) ? failures[name] : 0;
    }

    std::atomic<bool> shutdown_{false};
    std::atomic<bool> open_{false};
    uint32_t mask_ = 0;
};

TEST(ErrorText, IsNeverCutHoweverLongItsParts) {
    std::string longText(1000, 'x');
    EXPECT_EQ(
        SerialPort::ComposeErrorText("GetOverlappedResults() in ReadFile()", longText, -12345),
        "WARNING:  GetOverlappedResults() in ReadFile() Failed with the following error: \n" +
            longText + "\nPort: -12345\n");
}

// Ports/COM3 names a USB adapter and Ports/COM2 is set but empty.
TEST(PortConfig, TheDeviceIsTheComNumbersSettingElseTheSerialDeviceOneBelowIt) {
    QTemporaryDir folder;
    QSettings settings(folder.filePath("nimbulo.conf"), QSettings::IniFormat);
    settings.setValue("Ports/COM3", "/dev/ttyUSB0");
    settings.setValue("Ports/COM2", "");
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyS0"}, {2, "/dev/ttyS1"}, {3, "/dev/ttyUSB0"}, {4, "/dev/ttyS3"}};
    for (auto [port, expected] : cases)
        EXPECT_EQ(PortConfig::DeviceFor(settings, port), expected) << "COM" << port;
}

TEST(LineSettings, ThatTheLineCannotTakeAreRefused) {
    termios t{};
    for (const char* bad : {"baud=2401 parity=N data=8 stop=1", "baud=2400 parity=M data=8 stop=1",
                            "baud=2400 parity=N data=9 stop=1", "baud=2400 parity=N data=8 stop=3",
                            "baud=2400 parity=N"})
        EXPECT_EQ(PosixSerialDevice::ParseSettings(bad, t), EINVAL) << bad;
}

struct Rig {
    FakeSerialDevice* device = new FakeSerialDevice;
    SerialPort port{{}, std::unique_ptr<SerialDevice>(device)};
    RecordingOwner owner;
    bool Open(int comPort) { return port.OpenPort(&owner, comPort, PortConfig::InstrumentLine()); }
};

// Every set-up step in turn fails, then none: the failing step is reported
// once under its name, the later steps are skipped, the purge always follows.
TEST(SerialPortSetUp,
     RunsTheStepsInOrderUntilOneFailsWhichIsReportedUnderItsNameAndTheOpenSucceeds) {
    const std::vector<std::string> steps{"SetReadTimeout", "SetEventMask", "GetState", "BuildState",
                                         "SetState"};
    const char* names[] = {"SetCommTimeouts()", "SetCommMask()", "GetCommState()", "BuildCommDCB()",
                           "SetCommState()"};
    for (size_t failing = 0; failing <= steps.size(); ++failing) {
        Rig rig;
        std::vector<std::string> expectedLog{"Close", "Open"}, expectedErrors;
        expectedLog.insert(expectedLog.end(), steps.begin(),
                           steps.begin() + std::min(failing + 1, steps.size()));
        expectedLog.push_back("Purge");
        if (failing < steps.size()) {
            rig.device->failures[steps[failing]] = 22;
            expectedErrors.push_back(std::string("Application Error|WARNING:  ") + names[failing] +
                                     " Failed with the following error: \nerror 22\nPort: 2\n");
        }
        EXPECT_TRUE(rig.Open(2));
        EXPECT_EQ(rig.device->log, expectedLog);
        EXPECT_EQ(rig.owner.Errors(), expectedErrors);
        EXPECT_EQ(rig.device->rtsEnable, failing >= 3);  // the line settings ask for RTS
    }
}

TEST(SerialPortSetUp, AFailedOpenIsReportedOnceWithTheDeviceAndAHintAndSkipsTheRest) {
    const std::pair<int, const char*> hints[] = {{ENOENT, "Is the adapter plugged in?\n"},
                                                 {ENODEV, "Is the adapter plugged in?\n"},
                                                 {ENXIO, "Is the adapter plugged in?\n"},
                                                 {EACCES, "Add your user to the dialout group.\n"},
                                                 {EPERM, "Add your user to the dialout group.\n"},
                                                 {EBUSY, "Another program holds it.\n"},
                                                 {EIO, ""}};
    for (auto [error, hint] : hints) {
        Rig rig;
        EXPECT_FALSE(rig.port.StartMonitor());  // no owner yet
        rig.device->failures["Open"] = error;
        EXPECT_FALSE(rig.Open(2));
        EXPECT_EQ(rig.port.lastOpenError(), error);
        EXPECT_EQ(rig.device->log, (std::vector<std::string>{"Close", "Open"}));
        EXPECT_EQ(rig.owner.Kinds(), "R");
        EXPECT_EQ(rig.owner.Errors(),
                  std::vector<std::string>{"Application Error|WARNING:  COM2 (/dev/ttyS1) cannot "
                                           "be opened: error " +
                                           std::to_string(error) + "\n" + hint});
        EXPECT_EQ(rig.owner.Links(), "F");
        EXPECT_EQ(rig.owner.LinkDevice(), "/dev/ttyS1");
    }
}

TEST(RetrySchedule, TriesEveryTwoSecondsForAMinuteThenEveryThirtyOrNever) {
    using std::chrono::milliseconds;
    const RetrySchedule schedule;
    EXPECT_TRUE(schedule.enabled);
    EXPECT_EQ(schedule.DelayAfter(milliseconds(0)), milliseconds(2000));
    EXPECT_EQ(schedule.DelayAfter(milliseconds(59999)), milliseconds(2000));
    EXPECT_EQ(schedule.DelayAfter(milliseconds(60000)), milliseconds(30000));
    EXPECT_FALSE(RetrySchedule::Never().enabled);
}

TEST(SerialPortMonitor, AFailedReadIsReportedOnceHandsNothingOverAndTheDeviceCountsAsLost) {
    for (auto [outcome, operation] :
         {std::pair{ReadResult::Outcome::Failed, "ReadFile()"},
          {ReadResult::Outcome::TimedOut, "GetOverlappedResults() in ReadFile()"}}) {
        Rig rig;
        ASSERT_TRUE(rig.Open(1));
        ASSERT_TRUE(rig.port.StartMonitor());
        rig.device->readOutcome = outcome;
        rig.device->queued = 2;  // never read: a thread still watching would spin on them
        ASSERT_TRUE(rig.owner.WaitFor('R', 1));
        std::this_thread::sleep_for(50ms);
        rig.port.StopMonitor();
        EXPECT_EQ(rig.owner.Kinds(), "ER");
        EXPECT_EQ(rig.owner.Links(), "OL");
        EXPECT_EQ(rig.owner.Errors().back(),
                  std::string("Application Error|WARNING:  ") + operation +
                      " Failed with the following error: \nerror 5\nPort: 1\n");
    }
}

// Failing before its first byte, a device that is no serial line (its set-up
// failed) is lost once, a serial line that does so twice running twice; then
// either is tried on the slow schedule without a word to the owner.
TEST(SerialPortMonitor, ADeviceThatKeepsFailingRightAfterItOpensIsTriedSeldomAndQuietly) {
    const std::tuple<bool, size_t, const char*> cases[] = {{true, 1, "OL"}, {false, 2, "OLOL"}};
    for (auto [setUpFails, losses, links] : cases) {
        Rig rig;
        rig.port.SetRetrySchedule({true, 1ms, 1h, 1h});
        if (setUpFails) rig.device->failures["SetState"] = 25;
        ASSERT_TRUE(rig.Open(1));
        rig.device->queued = 1;  // its read fails
        ASSERT_TRUE(rig.port.StartMonitor());
        ASSERT_TRUE(rig.owner.WaitFor('L', losses));
        std::this_thread::sleep_for(100ms);  // time for a hundred early retries
        rig.port.StopMonitor();
        EXPECT_EQ(rig.owner.Links(), links) << "set-up fails: " << setUpFails;
    }
}

}  // namespace
