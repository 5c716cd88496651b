// SPDX-License-Identifier: GPL-3.0-or-later
// The one function the history window's module shows to the program.
#include <QtGlobal>

#include "HistoryWindow.h"

extern "C" Q_DECL_EXPORT HistoryWindowInterface* nimbulo_open_history_window(
    int version, HistoryWindowArgs& args, QWidget* parent) {
    if (version != kHistoryModuleVersion) return nullptr;
    return new HistoryWindow(std::move(args), parent);
}
