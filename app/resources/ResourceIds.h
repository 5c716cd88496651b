// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

// Numbers and names under which the program finds its resources.
namespace ResourceId {
constexpr int kAboutDialog = 100;
constexpr int kMainDialog = 102;
constexpr int kOptionsDialog = 130;

constexpr int kAboutMenuString = 101;  // "&About"
constexpr int kAboutCommand = 0x0010;
constexpr int kHelpCommand = 0xE146;

constexpr int kAppIcon = 128;
constexpr int kExitIconNormal = 135;
constexpr int kExitIconActive = 136;
constexpr int kReadIconActive = 137;
constexpr int kHelpIconActive = 138;
constexpr int kHelpIconNormal = 139;
constexpr int kReadIconNormal = 142;
constexpr int kOptionsIconActive = 146;
constexpr int kOptionsIconNormal = 148;
constexpr int kTestIconNormal = 149;
constexpr int kTestIconActive = 150;
}  // namespace ResourceId

// Commands; a button's control id is its command.
namespace CommandId {
constexpr int kOk = 1;  // Exit on the main window
constexpr int kCancel = 2;
constexpr int kReadWeatherData = 1000;
constexpr int kReadTestDataFile = 1001;  // its button is hidden
constexpr int kOptions = 1021;
}  // namespace CommandId

// The main window's controls that processing does not write to (those are
// in ControlIds.h) and that are no command.
namespace MainWindowId {
constexpr int kBlankLine = 1016;  // never written, stays empty
}  // namespace MainWindowId

// The Options dialog's controls.
namespace OptionsId {
constexpr int kComPort1 = 1022;  // "Com 1"; Com 2 to Com 4 follow it
constexpr int kTempOutdoor = 1026;
constexpr int kTempIndoor = 1027;
constexpr int kHumidityOutdoor = 1028;
constexpr int kHumidityIndoor = 1029;
constexpr int kPressure = 1030;
constexpr int kWindSpeed = 1031;
constexpr int kRainTodaysTotal = 1032;
// The plot-item check boxes are numbered in plot-item order.
constexpr int kFirstPlotItem = kTempOutdoor;
constexpr int kSaveData = 1033;
constexpr int kDevice = 1037;  // the device of the checked Com port, picked or typed
constexpr int kMetric = 1038;
constexpr int kRainGaugeMillimetre = 1039;
}  // namespace OptionsId

// Paths inside the program's Qt resources.
namespace ResourcePath {
inline QString Icon(int id) {
    return QStringLiteral(":/nimbulo/icons/%1.png").arg(id);
}
inline QString Compass(const QString& name) {
    return QStringLiteral(":/nimbulo/compass/%1.png").arg(name);
}
inline QString HelpPage() {
    return QStringLiteral(":/nimbulo/help/index.html");
}
}  // namespace ResourcePath

// The picture at `path` (a ".png" resource), or its "@2x" drawing on a
// screen scaled above 1; either way the same size in device-independent pixels.
QPixmap ResourcePicture(const QString& path);

// The string table.
QString LoadResourceString(int id);
