// SPDX-License-Identifier: GPL-3.0-or-later
// How the demo tells whether a station could be attached, and the serial
// devices a user can pick, from a made-up /dev.

#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "DemoSession.h"
#include "SerialDeviceList.h"

namespace fs = std::filesystem;

namespace {

struct FakeDev : testing::Test {
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("nimbulo-demo-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root / "dev");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root); }
    void Make(const std::string& name) {
        fs::create_directories((root / "dev" / name).parent_path());
        std::ofstream(root / "dev" / name);
    }
    bool Configured() { return DemoSession::StationConfigured("/opt/nimbulo", root / "dev"); }

    fs::path root;
};

TEST_F(FakeDev, NoStationWithoutAComOneSettingOrAUsbOrAcmDevice) {
    Make("ttyS0");
    Make("ttyS1");
    EXPECT_FALSE(Configured());
    Make("ttyACM0");
    EXPECT_TRUE(Configured());
    fs::remove(root / "dev" / "ttyACM0");
    Make("ttyUSB3");
    EXPECT_TRUE(Configured());
    fs::remove(root / "dev" / "ttyUSB3");
    QSettings((root / "config" / "Quillfen" / "nimbulo.conf").c_str(), QSettings::IniFormat)
        .setValue("Ports/COM1", "/dev/ttyS4");
    EXPECT_TRUE(Configured());
}

TEST_F(FakeDev, ListsStableNamesFirstThenUsbAcmAndBuiltInPortsInNaturalOrder) {
    for (const char* name : {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyUSB0", "tty1", "console",
                             "serial/by-id/usb-FTDI_FT232R-if00-port0"})
        Make(name);
    const std::string dev = (root / "dev").string();
    EXPECT_EQ(SerialDeviceList::Present(root / "dev"),
              (std::vector<std::string>{dev + "/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                        dev + "/ttyUSB0", dev + "/ttyUSB1", dev + "/ttyACM0",
                                        dev + "/ttyS2", dev + "/ttyS10"}));
}

}  // namespace
