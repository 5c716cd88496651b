// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include "Archive.h"

// The archive as CSV with a header line, from one station date to another
// (both "YYYY-MM-DD", included): values as the data log prints them, an
// empty field where there is no value. Throws SqliteError.
namespace ArchiveCsv {

// station_time ("YYYY-MM-DD HH:MM"), then the point's values.
void WritePoints(Archive& archive, const std::string& from, const std::string& to,
                 std::ostream& out);
// date, then each quantity's _min, _min_time, _max, _max_time, the top wind
// speed and its time, the day's rain and from_points (1: made from
// five-minute lines only).
void WriteDays(Archive& archive, const std::string& from, const std::string& to, std::ostream& out);

}  // namespace ArchiveCsv
