// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

#include "LoggerOptions.h"

// --noaa YYYY-MM or YYYY: that summary of nimbulo.db in the working folder
// to out. --noaa-all: every month's and year's summary into NOAA/, then the
// number of files to out. Faults and "no data" to err.
int RunNoaa(const LoggerOptions& options, std::ostream& out, std::ostream& err);
