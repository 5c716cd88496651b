// The settings file: names, defaults, the eleven values and the position rule.

#include <QSettings>
#include <gtest/gtest.h>

#include "SettingsStore.h"
#include "TestSupport.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::IsolateTest(); }
    QSettings File() const { return QSettings(TestSupport::SettingsFile(), QSettings::IniFormat); }
};

TEST_F(SettingsStoreTest, LivesUnderQuillfenInAFileNamedAfterTheProgram) {
    const QString file = SettingsStore("Nimbulo").FileName();
    EXPECT_TRUE(file.endsWith("/Quillfen/Nimbulo.conf")) << file.toStdString();
    EXPECT_TRUE(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << file.toStdString();
}

TEST_F(SettingsStoreTest, GivesTheDefaultsWhenNothingIsStored) {
    const StationSettings loaded = SettingsStore().Load();
    EXPECT_EQ(loaded.comPort, 1);
    for (int flag : loaded.plotItemEnabled)
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(loaded.saveData, 0);
    EXPECT_EQ(loaded.x, -1);
    EXPECT_EQ(loaded.y, -1);
}

TEST_F(SettingsStoreTest, WritesExactlyTheElevenValuesInTheSettingsGroup) {
    StationSettings settings;
    settings.comPort = 3;
    settings.plotItemEnabled = {1, 0, 1, 0, 0, 1, 0};
    settings.saveData = 1;
    settings.x = 120;
    settings.y = 45;
    SettingsStore().Save(settings);

    QSettings file = File();
    file.beginGroup("Settings");
    QStringList keys = file.childKeys();
    keys.sort();
    EXPECT_EQ(keys, QStringList({"ComPort", "PlotItem0", "PlotItem1", "PlotItem2", "PlotItem3", "PlotItem4",
                                 "PlotItem5", "PlotItem6", "SaveStatus", "x", "y"}));
    EXPECT_EQ(file.value("ComPort").toInt(), 3);
    EXPECT_EQ(file.value("PlotItem2").toInt(), 1);
    EXPECT_EQ(file.value("PlotItem3").toInt(), 0);
    EXPECT_EQ(file.value("SaveStatus").toInt(), 1);
    EXPECT_EQ(file.value("x").toInt(), 120);
    EXPECT_EQ(file.value("y").toInt(), 45);
    file.endGroup();
    EXPECT_EQ(file.childGroups(), QStringList({"Settings"}));
}

TEST_F(SettingsStoreTest, ReadsBackWhatItWrote) {
    StationSettings settings;
    settings.comPort = 4;
    settings.plotItemEnabled = {0, 1, 0, 1, 1, 0, 1};
    settings.saveData = 1;
    settings.x = 7;
    settings.y = 9;
    SettingsStore().Save(settings);
    const StationSettings loaded = SettingsStore().Load();
    EXPECT_EQ(loaded.comPort, 4);
    EXPECT_EQ(loaded.plotItemEnabled, settings.plotItemEnabled);
    EXPECT_EQ(loaded.saveData, 1);
    EXPECT_EQ(loaded.x, 7);
    EXPECT_EQ(loaded.y, 9);
}

TEST_F(SettingsStoreTest, TakesTheDefaultForAValueThatIsNotA32BitNumber) {
    {
        QSettings file = File();
        file.setValue("Settings/ComPort", "two");
        file.setValue("Settings/x", "99999999999");
        file.setValue("Settings/PlotItem4", 2);
    }
    const StationSettings loaded = SettingsStore().Load();
    EXPECT_EQ(loaded.comPort, 1);
    EXPECT_EQ(loaded.x, -1);
    EXPECT_EQ(loaded.plotItemEnabled[4], 2);
}

TEST_F(SettingsStoreTest, KeepsTheSettingsOfEachProgramNameApart) {
    StationSettings settings;
    settings.comPort = 2;
    SettingsStore("FirstCopy").Save(settings);
    EXPECT_EQ(SettingsStore("SecondCopy").Load().comPort, 1);
    EXPECT_EQ(SettingsStore("FirstCopy").Load().comPort, 2);
}

TEST_F(SettingsStoreTest, MapsEachComPortToItsDeviceOrTheConfiguredOne) {
    {
        QSettings file = File();
        file.setValue("Ports/COM2", "/dev/ttyUSB0");
        file.setValue("Ports/COM3", "");
    }
    const SettingsStore store;
    EXPECT_EQ(store.DeviceForComPort(1), "/dev/ttyS0");
    EXPECT_EQ(store.DeviceForComPort(2), "/dev/ttyUSB0");
    EXPECT_EQ(store.DeviceForComPort(3), "/dev/ttyS2");
    EXPECT_EQ(store.DeviceForComPort(4), "/dev/ttyS3");
}

struct Position {
    int x, y;
    bool onScreen;
};

TEST(SettingsPosition, UsesAStoredCornerOnlyWhenItLiesOnThePrimaryScreen) {
    const QSize screen(1024, 768);
    const Position table[] = {
        {0, 0, true},     {1023, 767, true}, {500, 300, true}, {-1, 0, false},  {0, -1, false},
        {1024, 0, false}, {0, 768, false},   {-1, -1, false},  {-300, 20, false},
    };
    for (const Position& row : table)
        EXPECT_EQ(SettingsStore::PositionOnScreen(row.x, row.y, screen), row.onScreen) << row.x << "," << row.y;
}

}  // namespace
