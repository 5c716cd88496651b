// Pieces of the serial port that need no device: the error text, the COM
// number mapping and the line settings text.
#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>

#include "PortDeviceNames.h"
#include "PosixSerialDevice.h"
#include "SerialPort.h"

namespace {

TEST(ErrorText, IsComposedExactlyWithOperationSystemTextAndPort) {
    EXPECT_EQ(SerialPort::ComposeErrorText("ReadFile()", "Input/output error", 3),
              "WARNING:  ReadFile() Failed with the following error: \n"
              "Input/output error\nPort: 3\n");
}

TEST(ErrorText, IsNeverCutHoweverLongTheSystemTextIs) {
    std::string longText(1000, 'x');
    std::string text = SerialPort::ComposeErrorText("GetOverlappedResults() in ReadFile()",
                                                    longText, 12345);
    EXPECT_EQ(text, "WARNING:  GetOverlappedResults() in ReadFile() Failed with the following "
                    "error: \n" + longText + "\nPort: 12345\n");
}

TEST(ErrorText, ShowsNegativePortNumbersAsGiven) {
    EXPECT_EQ(SerialPort::ComposeErrorText("X", "", -1),
              "WARNING:  X Failed with the following error: \n\nPort: -1\n");
}

struct DeviceNameCase {
    int port;
    PortDeviceOverrides overrides;
    std::string expected;
};

void PrintTo(const DeviceNameCase& c, std::ostream* os) {
    *os << "COM" << c.port;
    for (const auto& [n, device] : c.overrides) *os << " (COM" << n << "='" << device << "')";
    *os << " -> " << c.expected;
}

class DeviceNameFor : public ::testing::TestWithParam<DeviceNameCase> {};

TEST_P(DeviceNameFor, FollowsTheOverrideElseTheSerialDeviceOneBelowTheComNumber) {
    const auto& c = GetParam();
    EXPECT_EQ(DeviceNameForPort(c.port, c.overrides), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ComPorts, DeviceNameFor,
    ::testing::Values(DeviceNameCase{1, {}, "/dev/ttyS0"}, DeviceNameCase{4, {}, "/dev/ttyS3"},
                      DeviceNameCase{3, {{3, "/dev/ttyUSB0"}}, "/dev/ttyUSB0"},
                      DeviceNameCase{2, {{3, "/dev/ttyUSB0"}}, "/dev/ttyS1"},
                      DeviceNameCase{2, {{2, ""}}, "/dev/ttyS1"}));

TEST(LineSettings, TheInstrumentsTextGives2400BaudEightBitsNoParityOneStopBitRaw) {
    termios t{};
    t.c_lflag = ICANON | ECHO;
    t.c_cflag = PARENB | CSTOPB | CS7;
    ASSERT_EQ(PosixSerialDevice::ParseSettings("baud=2400 parity=N data=8 stop=1", t), 0);
    EXPECT_EQ(cfgetispeed(&t), B2400);
    EXPECT_EQ(cfgetospeed(&t), B2400);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
}

TEST(LineSettings, EvenParityAndTwoStopBitsSetTheirBits) {
    termios t{};
    ASSERT_EQ(PosixSerialDevice::ParseSettings("baud=9600 parity=E data=7 stop=2", t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD), static_cast<tcflag_t>(PARENB));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
}

class RejectedSettings : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectedSettings, AreRefusedAsAnInvalidArgument) {
    termios t{};
    EXPECT_EQ(PosixSerialDevice::ParseSettings(GetParam(), t), EINVAL);
}

INSTANTIATE_TEST_SUITE_P(LineSettings, RejectedSettings,
                         ::testing::Values("baud=2401 parity=N data=8 stop=1",
                                           "baud=2400 parity=M data=8 stop=1",
                                           "baud=2400 parity=N data=9 stop=1",
                                           "baud=2400 parity=N data=8 stop=3",
                                           "baud=2400 parity=N", ""));

}  // namespace
