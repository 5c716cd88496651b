// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "DerivedReadings.h"

class QSettings;

// What the history window takes from the program that opens it.
struct HistoryWindowArgs {
    std::filesystem::path archive;
    bool metric = false;
    // The readings of now (dew point, feels-like, the pressure change), none
    // when nothing is being read.
    std::function<DerivedReadings()> liveDerived;
    // The program's settings, where the window keeps its group "History";
    // without it the window keeps nothing.
    std::function<std::unique_ptr<QSettings>()> openSettings;
};

// The history window as the main window sees it. The window itself lives in
// a module loaded on its first opening (HistoryModule), so its plotting
// library costs a program that never opens it nothing.
class HistoryWindowInterface : public QWidget {
  public:
    using QWidget::QWidget;

    virtual void SetMetric(bool metric) = 0;
    // A new five-minute point was made: read the archive again shortly.
    virtual void PointMade() = 0;
    // Whether it explains an empty or unreadable archive instead of plotting.
    virtual bool showsEmpty() const = 0;
};

// The module's one entry, exported as kHistoryModuleEntry; it gives no
// window when `version` is not the one it was built with.
using HistoryModuleEntry = HistoryWindowInterface* (*)(int version, HistoryWindowArgs& args,
                                                       QWidget* parent);
inline constexpr const char* kHistoryModuleEntry = "nimbulo_open_history_window";
// Changes whenever the arguments or the interface above change.
inline constexpr int kHistoryModuleVersion = 1;
