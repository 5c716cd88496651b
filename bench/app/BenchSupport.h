// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// One offscreen QApplication for the whole benchmark run, with settings and
// files in a temporary folder that is also the working directory.
inline QApplication& BenchApplication() {
    static QTemporaryDir scratch;
    static int argc = 1;
    static char name[] = "nimbulo-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit().constData(), 1);
        QDir::setCurrent(scratch.path());
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A day-after-day recording: a record every 5 s of station time, the wind
// slowly veering and backing, temperatures and humidity following the day.
inline void WriteRecording(const std::string& path, int records) {
    std::ofstream out(path, std::ios::binary);
    char line[64];
    for (int i = 0; i < records; ++i) {
        const int minute = (i / 12) % 1440;
        const int day = 1 + (i / 12 / 1440) % 365;
        const double phase = i / 200.0;
        const int direction = static_cast<int>(128 + 100 * std::sin(phase)) & 0xFF;
        const int speed = 80 + static_cast<int>(60 * std::fabs(std::sin(i / 37.0)));
        const int temp = 450 + static_cast<int>(120 * std::sin(minute * 2 * M_PI / 1440));
        std::snprintf(line, sizeof line, "!!%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X%04X\r\n",
                      speed, direction, temp, 1234, 10132, 682, 700 + (i % 100), 415, day - 1,
                      minute, 12, speed - 10);
        out << line;
    }
}
