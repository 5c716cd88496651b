// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "FivePointWriter.h"
#include "ReportValues.h"

inline constexpr const char* kMixwReportFile = "wxreportmixw.txt";

// The six lines of the MixW report, without line ends.
std::array<std::string, 6> MixwReportLines(const ReportValues& values, int minuteOfDay,
                                           int compassIndex);

// Rewrites wxreportmixw.txt in the working directory at every point.
class MixwReport : public FivePointWriter {
  public:
    void Write(const FivePointValues& point) override;
};
