// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationApp.h"

#include <QCoreApplication>
#include <memory>

#include "SettingsLocation.h"
#include "StationWindow.h"
#include "VersionInfo.h"

StationApp::StationApp() = default;

StationApp::~StationApp() = default;

void StationApp::SetUpApplication() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsLocation::kOrganisation));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(VersionInfo::kVersion));
}

int StationApp::Run() {
    SetUpApplication();
    auto window = std::make_unique<StationWindow>();
    window->exec();
    // Destroying the window stops the serial port's monitor thread first.
    window.reset();
    return 0;
}
