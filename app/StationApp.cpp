// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <memory>

#include "ExitSignals.h"
#include "FocusFrameStyle.h"
#include "SettingsLocation.h"
#include "StationWindow.h"
#include "VersionInfo.h"

StationApp::StationApp() = default;

StationApp::~StationApp() = default;

void StationApp::SetUpApplication() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(SettingsLocation::kOrganisation));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(VersionInfo::kVersion));
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setStyle(new FocusFrameStyle);
}

int StationApp::Run() {
    SetUpApplication();
    // A signal ends every modal loop, an error box on top of the window
    // included, and the program then ends as after the close box: the port
    // stops, the files close, the settings stay as they were stored. Caught
    // from here on, so one that comes while the window is built waits for
    // its loop.
    ExitSignals exitSignals;
    connect(&exitSignals, &ExitSignals::Received, this, [] { QCoreApplication::exit(0); });
    auto window = std::make_unique<StationWindow>();
    if (demo_) window->ShowAsDemo();
    if (readAtStart_)
        QTimer::singleShot(0, window.get(), [w = window.get()] { w->ReadWeatherData(); });
    window->exec();
    // Destroying the window stops the serial port's monitor thread first.
    window.reset();
    return 0;
}
