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

// Controls of the Options dialog.
namespace OptionsId {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kFirstComButton = 1022;  // COM1; COM2..COM4 follow
// The plot-item check boxes, one id per item in plot-item order (1026 Temperature
// Outdoor .. 1032 Rain - Todays Total).
constexpr int kFirstPlotItemCheck = 1026;
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
