// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "StationIdentity.h"

// The pieces both summaries are made of: fixed-width rows whose fields are
// right-aligned in their columns, and the head naming the station.
namespace SummaryLayout {

// The fields right-aligned in columns of these widths (a field too long
// for its column pushes the rest right rather than being cut); trailing
// blanks dropped.
std::string Row(std::span<const int> widths, const std::vector<std::string>& fields);
// The text centred over the columns.
std::string Centred(const std::string& text, std::span<const int> widths);
// A rule of dashes as long as the columns.
std::string Rule(std::span<const int> widths);
// The title centred over the columns, a blank line, NAME, ELEV/LAT/LONG;
// then, unless `units` is empty, a blank line, the units line centred and
// a blank line.
std::vector<std::string> Head(const std::string& title, const StationIdentity& station,
                              const std::string& units, std::span<const int> widths);
// "JAN" ... "DEC".
const char* MonthAbbreviation(int month);
// A whole number, or empty.
std::string WholeText(std::optional<int> value);
// Lines joined, each ending in "\n".
std::string Joined(const std::vector<std::string>& lines);

}  // namespace SummaryLayout
