// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the main window reading COM1 from DEVICE for SECONDS, with error
// boxes printed instead of shown, then prints the window title and ends:
//   nimbulo-link-idle-probe DEVICE SECONDS
// bench/serial/link_idle_cpu.sh measures its processor time meanwhile.

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "SettingsStore.h"
#include "StationWindow.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DEVICE SECONDS\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    QSettings settings(SettingsStore().FileName(), QSettings::IniFormat);
    settings.setValue("Ports/COM1", QString::fromLocal8Bit(argv[1]));
    settings.setValue("Settings/ComPort", 1);
    settings.sync();
    StationWindow window;
    window.portBridge().SetErrorPresenter(
        [](const QString&, const QString& text) { std::fputs(qPrintable(text), stderr); });
    window.show();
    window.ReadWeatherData();
    QTimer::singleShot(std::atoi(argv[2]) * 1000, &application, &QApplication::quit);
    application.exec();
    std::printf("title: %s\n", qPrintable(window.windowTitle()));
    return 0;
}
