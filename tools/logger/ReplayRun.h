// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <optional>

#include "AlarmSet.h"
#include "LiveOutputs.h"
#include "LoggerOptions.h"
#include "StationPipeline.h"

// A replay or a live run that could not write every file it should have.
inline constexpr int kExitWriteFailed = 4;

// Saving on (the archive with the files), and a recording's year when one is given.
void SetUpLoggerPipeline(StationPipeline& pipeline, const LoggerOptions& options);

// --mqtt and --wxnow, not started yet. Each MQTT problem (and the broker
// back again) is one line on err, written whole from the publisher's thread.
// With alarms, the outputs' fault hook feeds its uploads alarm too.
LiveOutputs LoggerLiveOutputs(const LoggerOptions& options, std::ostream& err,
                              AlarmSet* alarms = nullptr);

// --replay: processes every line of the file with saving on, then prints the
// summary to out. Files that cannot be written are reported to err as they
// fail and recover. With MQTT it waits up to 30 s for the broker to take every
// five-minute summary, and says on err how many it had not. Returns the exit status:
// kExitWriteFailed when any write failed; an unreadable file is reported to err before anything is
// written. With alarms on, each alarm the recording would have raised is a
// line on out, "alarm temp_low started 2026-01-12 03:15 at 31.8 F" and
// "alarm temp_low ended 2026-01-12 07:40", before the summary; no notice
// goes anywhere.
int RunReplay(const LoggerOptions& options, std::ostream& out, std::ostream& err);
