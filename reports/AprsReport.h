// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "FileFaults.h"
#include "FivePointWriter.h"
#include "ReportFile.h"
#include "ReportValues.h"

inline constexpr const char* kAprsReportFile = "wxreportaprs.txt";

// The APRS temperature field: "t045", "t-03" below zero, "t-99" below -99.
std::string AprsTemperatureField(int temperature);

// The APRS weather fields, e.g. "180/006g012t045r...p...P012h87b10132";
// the rain of the last hour, in hundredths of an inch, as "r003" when given.
std::string AprsWeatherFields(const ReportValues& values,
                              std::optional<int> rainLastHour = std::nullopt);

// The report file's weather line: the fields and its tag "sU2k".
std::string AprsWeatherLine(const ReportValues& values);

// Rewrites wxreportaprs.txt in the working directory at every point: the
// record line, then the weather line.
class AprsReport : public FivePointWriter {
  public:
    explicit AprsReport(FileFaults& faults) : file_(kAprsReportFile, faults) {}
    void Write(const FivePointValues& point) override;
    void SetBurst(bool burst) override { file_.SetBurst(burst); }

  private:
    ReportFile file_;
};
