// SPDX-License-Identifier: GPL-3.0-or-later
// Nimbulo: weather-station display for a Peet Bros. Ultimeter 2000 in
// DataLogger mode. `nimbulo --help` lists the options. Qt takes its own
// options (-platform, -style, ...) out of the command line first.
//
// The demo runs nimbulo-sim --speed 60 (a station minute per second), or
// nimbulo-sim with the arguments in NIMBULO_DEMO_SIM_ARGS when that is set.

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "DataFolder.h"
#include "DemoSession.h"
#include "StationApp.h"
#include "VersionInfo.h"

namespace {

constexpr int kExitUsage = 2;

const char* const kDescription =
    "Shows the live weather from a Peet Bros. Ultimeter 2000 weather station in\n"
    "DataLogger mode, read from a serial port, and with Save Data on writes a data\n"
    "log (OutputData/) and the report files wxreportaprs.txt and wxreportmixw.txt.\n"
    "\n"
    "The files go into the folder Nimbulo was started in, or into the folder given\n"
    "with --data-dir. The desktop menu starts it with --desktop, which uses\n"
    "~/Nimbulo. Qt's own options (-platform, -style, ...) are taken as well;\n"
    "--help-all lists them.";

bool HasDisplay(int argc, char** argv) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}

// Qt's help text with the program's name, not the path it was started by.
std::string HelpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: nimbulo [options]"));
    return text.toStdString();
}

int UsageError(const QCommandLineParser& parser, const QString& error) {
    std::fprintf(stderr, "nimbulo: %s\n\n%s", qPrintable(error), HelpText(parser).c_str());
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Without a display only --help and --version can be answered; a plain
    // core application parses for them, since a QApplication would abort.
    const bool display = HasDisplay(argc, argv);
    std::unique_ptr<QCoreApplication> qt;
    if (display)
        qt = std::make_unique<QApplication>(argc, argv);
    else
        qt = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(VersionInfo::kVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        "demo",
        "Feed the display from a simulated station on COM1, with settings and files of its own.");
    const QCommandLineOption demoIfNoStation(
        "demo-if-no-station",
        "The demo, but only when no station is set up (no Ports/COM1 setting and no serial "
        "port at /dev/ttyS0 that ever received anything).");
    const QCommandLineOption dataDir(
        "data-dir", "Write the data log and report files into <dir>, made when missing.", "dir");
    const QCommandLineOption desktop(
        "desktop",
        "As started from the desktop menu: write the files into ~/Nimbulo, made when missing.");
    parser.addOptions({demo, demoIfNoStation, dataDir, desktop});

    if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return UsageError(parser, QStringLiteral("unexpected argument '%1'")
                                      .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(dataDir) && parser.isSet(desktop))
        return UsageError(parser, QStringLiteral("give only one of --data-dir and --desktop"));
    if (parser.isSet("help-all")) parser.process(*qt);  // prints Qt's options too and exits 0
    if (parser.isSet(help)) {
        std::fputs(HelpText(parser).c_str(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("Nimbulo %s\n%s\n", VersionInfo::kVersion, VersionInfo::kFileDescription);
        return 0;
    }
    const bool wantsDemo = parser.isSet(demo) || parser.isSet(demoIfNoStation);
    if (!display) {
        std::fprintf(stderr,
                     "nimbulo: no display found (DISPLAY is not set); run it under a virtual one: "
                     "xvfb-run -a -s \"-screen 0 1024x768x24\" %s%s\n",
                     argv[0], wantsDemo ? " --demo" : "");
        return 1;
    }

    // The demo makes its folder the working folder; an explicit data folder
    // still takes the files.
    DemoSession session;
    if (parser.isSet(demo) || (wantsDemo && !DemoSession::StationConfigured(argv[0]))) {
        if (!session.Start(argv[0])) {
            std::fprintf(stderr, "nimbulo: demo not started: %s\n", session.error().c_str());
            return 1;
        }
        std::printf(
            "Demo: a simulated station is on COM1 (%s); Nimbulo reads it at once.\n"
            "Demo settings are in %s\n",
            session.devicePath().c_str(), session.folder().c_str());
    }
    std::string error;
    const bool entered =
        parser.isSet(dataDir)   ? DataFolder::Enter(parser.value(dataDir).toStdString(), error)
        : parser.isSet(desktop) ? DataFolder::Enter(DataFolder::DesktopDefault(), error)
                                : true;
    if (!entered) {
        // Started from the menu nobody reads the terminal, so a box says it too.
        std::fprintf(stderr, "nimbulo: %s\n", error.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Nimbulo"), QString::fromStdString(error));
        return 1;
    }
    if (!session.folder().empty() || parser.isSet(dataDir))
        std::printf("Files are written to %s\n", std::filesystem::current_path().c_str());
    std::fflush(stdout);

    StationApp app;
    if (!session.folder().empty()) {
        app.ReadAtStart();
        app.ShowAsDemo();
    }
    return app.Run();
}
