// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "LinkState.h"
#include "LoggerOptions.h"
#include "RetrySchedule.h"

class AlarmSet;
class StationPipeline;

inline constexpr int kExitDeviceFailed = 3;  // the device could not be opened or went away

// How the live logger treats its link: retries (RetrySchedule::Never() for
// --no-retry) and the silence after which the link counts as silent.
struct LiveLinkSettings {
    RetrySchedule retry;
    std::chrono::milliseconds staleAfter{std::chrono::seconds(10)};
    // Told at each change of the link whether the readings are current
    // (false while waiting for the device or silent); may be empty.
    std::function<void(bool available)> onAvailability;
    // Told at each change with the whole state; may be empty.
    std::function<void(const LinkState&)> onChange;
    // Told of records, file faults, reading on and off, and ticked; may be null.
    AlarmSet* alarms = nullptr;
    // How often the alarms look at the time: a silent station or a lasting
    // fault is told within this much of its minute.
    std::chrono::milliseconds alarmTick{std::chrono::seconds(5)};
};

// Reads the instrument live from devicePath through the serial port (as COM
// portNumber, 2400 8N1) and feeds every byte to the pipeline, until a signal
// arrives on stopSignalFd (a signalfd for SIGINT and SIGTERM, blocked in
// every thread). A device that cannot be opened or goes away is reported
// once and tried again by the retry schedule while the processing state
// carries on; without retries it ends the run. At a signal the bytes that
// have already arrived are processed before the port stops. Reports, file
// faults (as the replay words them) and one line per change of the link go
// to err; the summary goes to out. Returns kExitDeviceFailed when the device
// ended the run, else kExitWriteFailed when a file could not be written,
// else 0.
int RunLiveLogging(StationPipeline& pipeline, const std::string& devicePath, int portNumber,
                   const LiveLinkSettings& link, int stopSignalFd, std::ostream& out,
                   std::ostream& err);

// --device / --port: live logging with saving on, through the same
// processing as --replay. SIGINT and SIGTERM are blocked before any thread
// starts and end the run cleanly.
int RunLive(const LoggerOptions& options, std::ostream& out, std::ostream& err);
