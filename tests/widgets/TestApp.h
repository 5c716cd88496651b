// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <cstdlib>

// The one QApplication the GUI tests of this folder share, offscreen unless
// the environment chose a platform.
inline QApplication& TestApp() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("widgets-test"), nullptr};
    // Never destroyed: tearing Qt down among the other exit handlers crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
