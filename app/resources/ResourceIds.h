// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// The string table.
QString LoadResourceString(int id);
