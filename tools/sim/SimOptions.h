// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// What nimbulo-sim was asked to do.
struct SimOptions {
    std::string device;       // empty: create a pseudo-terminal and print its path
    std::string replayFile;   // empty: generate weather
    double interval = 1.0;    // real seconds from one record to the next
    double speed = 1.0;       // station seconds per real second
    int baud = 2400;          // byte pacing; 0 sends each record at once
    bool burst = false;       // no pacing at all; the station clock still steps
    long count = -1;          // records to send; -1 for no limit
    double garbleRate = 0.0;  // probability that a byte is corrupted
    uint32_t seed = 1;
    int year = 0;        // station start; 0 fields mean "now"
    int dayOfYear = -1;  // 0 is 1 January
    double secondOfDay = -1;
    double settle = 1.0;  // seconds between a reader opening the pty and the first record
    double linger = 2.0;  // seconds to keep the pty open after the last record
    bool help = false;
    bool version = false;
};

// Parses the command line; false with a message for a bad option or value.
bool ParseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

// 0-based day of the year of a calendar date; -1 for an impossible date.
int DayOfYear(int year, int month, int day);

// --help: the usage line, what the program does and every option.
std::string SimUsage();
