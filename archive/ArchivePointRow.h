// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <limits>
#include <string_view>

#include "ArchiveColumns.h"

// A point as read for plots of many points: its station date and time as
// the archive keeps them ("YYYY-MM-DD", "HH:MM"), valid until the next row,
// and its values as numbers, NaN where the point has none. No string or
// optional is made per row: a year of points is read at every open.
struct ArchivePointRow {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    std::string_view date;
    std::string_view time;
    std::array<double, ArchiveColumns::kPointCount> values{};
};
