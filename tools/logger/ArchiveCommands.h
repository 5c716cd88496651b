// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>

#include "LoggerOptions.h"

// The archive's exit status: an import it could not take.
inline constexpr int kExitArchiveFailed = 4;

// --import: the data logs into nimbulo.db in the working folder; each
// rejected line and unreadable path to err, then the summary to out.
int RunImport(const LoggerOptions& options, std::ostream& out, std::ostream& err);
// --export points|days FROM TO: CSV from nimbulo.db in the working folder to out.
int RunExport(const LoggerOptions& options, std::ostream& out, std::ostream& err);
