// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

#include "AlarmSettings.h"

// Group "Alarms" of the settings file: Enabled and the keys the logger's
// --config reads too. A value that cannot be used keeps its default.
void LoadAlarmSettings(QSettings& settings, bool& on, AlarmSettings& alarms);
void SaveAlarmSettings(QSettings& settings, bool on, const AlarmSettings& alarms);
