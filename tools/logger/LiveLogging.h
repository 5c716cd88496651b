// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include "LoggerOptions.h"

class StationPipeline;

inline constexpr int kExitDeviceFailed = 3;  // the device could not be opened or went away

// Reads the instrument live from devicePath through the serial port (as COM
// portNumber, 2400 8N1) and feeds every byte to the pipeline, until SIGINT or
// SIGTERM, or until the device fails. At a signal the bytes that have already
// arrived are processed before the port stops. Reports go to err; the summary
// goes to out. Returns 0 after a signal, kExitDeviceFailed otherwise.
int RunLiveLogging(StationPipeline& pipeline, const std::string& devicePath, int portNumber,
                   std::ostream& out, std::ostream& err);

// --device / --port: live logging with saving on, through the same
// processing as --replay.
int RunLive(const LoggerOptions& options, std::ostream& out, std::ostream& err);
