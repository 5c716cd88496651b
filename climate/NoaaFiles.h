// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "ClimateReports.h"

// The summaries as files in NOAA/ of the data folder: NOAA-YYYY-MM.txt and
// NOAA-YYYY.txt, each replaced whole (a temporary file renamed over it), so
// a reader finds the old summary or the new one, never a mix.
namespace NoaaFiles {

inline constexpr const char* kFolder = "NOAA";

std::filesystem::path MonthFile(int year, int month);
std::filesystem::path YearFile(int year);

// Told of each file written (0) or not (its errno).
using Outcome = std::function<void(const std::filesystem::path& file, int error)>;

// The year's file and the files of `months` (1..12) that have data, from
// one read of the archive; NOAA/ is made when missing. Files of a month
// without data are left alone.
void WriteYear(ClimateReports& reports, int year, const std::vector<int>& months,
               const Outcome& outcome);
// Every month and year with data; the number of files written.
int WriteAll(ClimateReports& reports, const Outcome& outcome);

}  // namespace NoaaFiles
