// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "Archive.h"
#include "CalendarDate.h"
#include "DerivedTracker.h"

// Gives the derived readings the day rows of this year and the last, so that
// rain yesterday, this month and this year count the days before the program
// started. With no archive, or one that cannot be read, the totals simply
// start with this run: false then, and nothing is created or changed.
bool SeedFromArchive(DerivedTracker& derived,
                     const std::filesystem::path& path = Archive::kFileName,
                     const CalendarDate& today = CalendarDate::Today());
