// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "FileFaults.h"
#include "FivePointWriter.h"
#include "ReportFile.h"
#include "ReportValues.h"

inline constexpr const char* kMixwReportFile = "wxreportmixw.txt";

// The six lines of the MixW report, without line ends.
std::array<std::string, 6> MixwReportLines(const ReportValues& values, int minuteOfDay,
                                           int compassIndex);

// Rewrites wxreportmixw.txt in the working directory at every point.
class MixwReport : public FivePointWriter {
  public:
    explicit MixwReport(FileFaults& faults) : file_(kMixwReportFile, faults) {}
    void Write(const FivePointValues& point) override;
    void SetBurst(bool burst) override { file_.SetBurst(burst); }

  private:
    ReportFile file_;
};
