// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <optional>

#include "LoggerOptions.h"
#include "MinuteCycle.h"

// The clock the processing reads at its first record: the computer's, or
// 1 January of `year` when one is given.
MinuteCycle::Clock LoggerClock(std::optional<int> year);

// --replay: processes every line of the file with saving on, then prints the
// summary to out. Returns the exit status; an unreadable file is reported to
// err before anything is written.
int RunReplay(const LoggerOptions& options, std::ostream& out, std::ostream& err);
