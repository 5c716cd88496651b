// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "ReportValues.h"
#include "StationState.h"

inline constexpr const char* kMixwReportFile = "wxreportmixw.txt";

// The six lines of the MixW report, without line ends.
std::array<std::string, 6> MixwReportLines(const ReportValues& values, int minuteOfDay,
                                           int compassIndex);

// Rewrites wxreportmixw.txt in the working directory from the readings, the
// record's minute and compassIndex. False when the file could not be written.
bool WriteMixwReport(const StationState& state);
