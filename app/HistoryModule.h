// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "HistoryWindowInterface.h"

// Loads the history window's module on the first opening and keeps it for
// the rest of the run. The module is looked for beside the program (a build
// folder), then where the package puts it; NIMBULO_HISTORY_MODULE names
// another file instead.
class HistoryModule {
  public:
    static constexpr const char* kFileName = "nimbulo-history.so";

    // A new window, or none and the reason in `error`.
    static HistoryWindowInterface* Open(HistoryWindowArgs args, QWidget* parent, QString& error);
    // The files tried, in order.
    static QStringList Candidates();
};
