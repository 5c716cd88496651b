// SPDX-License-Identifier: GPL-3.0-or-later
// Nimbulo: weather-station display for a Peet Bros. Ultimeter 2000 in
// DataLogger mode.
//
//   nimbulo                       the station display
//   nimbulo --demo                the display fed by a simulated station
//   nimbulo --demo-if-no-station  the demo only when no station is set up
//   nimbulo --version
//
// The demo runs nimbulo-sim --speed 60 (a station minute per second), or
// nimbulo-sim with the arguments in NIMBULO_DEMO_SIM_ARGS when that is set.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DemoSession.h"
#include "StationApp.h"
#include "VersionInfo.h"

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

void PrintVersion() {
    std::printf("Nimbulo %s\n%s\n", VersionInfo::kVersion, VersionInfo::kFileDescription);
}

void PrintUsage(const char* program) {
    std::printf("usage: %s [--demo | --demo-if-no-station] [--version]\n", program);
}

}  // namespace

int main(int argc, char** argv) {
    bool demo = false;
    bool demoIfNoStation = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            PrintVersion();
            return 0;
        }
        if (std::strcmp(argv[i], "--demo") == 0) {
            demo = true;
        } else if (std::strcmp(argv[i], "--demo-if-no-station") == 0) {
            demoIfNoStation = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            PrintUsage(argv[0]);
            return 0;
        } else {
            PrintUsage(argv[0]);
            return 2;
        }
    }
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "nimbulo: no display found (DISPLAY is not set); run it under a virtual one: "
                     "xvfb-run -a -s \"-screen 0 1024x768x24\" %s%s\n",
                     argv[0], demo || demoIfNoStation ? " --demo" : "");
        return 1;
    }

    DemoSession session;
    if (demo || (demoIfNoStation && !DemoSession::StationConfigured(argv[0]))) {
        if (!session.Start(argv[0])) {
            std::fprintf(stderr, "nimbulo: demo not started: %s\n", session.error().c_str());
            return 1;
        }
        std::printf(
            "Demo: a simulated station is on COM1 (%s); press Read Weather Data.\n"
            "Demo settings and files are in %s\n",
            session.devicePath().c_str(), session.folder().c_str());
        std::fflush(stdout);
    }

    QApplication application(argc, argv);
    StationApp app;
    return app.Run();
}
