// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <optional>

#include "LoggerOptions.h"
#include "StationPipeline.h"

// Saving on, and a recording's year when one is given.
void SetUpLoggerPipeline(StationPipeline& pipeline, const LoggerOptions& options);

// --replay: processes every line of the file with saving on, then prints the
// summary to out. Returns the exit status; an unreadable file is reported to
// err before anything is written.
int RunReplay(const LoggerOptions& options, std::ostream& out, std::ostream& err);
