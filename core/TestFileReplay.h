// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "StationState.h"

inline constexpr int32_t MaxReplayRecords = 300000;
inline constexpr const char* kTestFilePath = "InputData/InputTestData.txt";

struct ReplayResult {
    bool opened = false;
    int openError = 0;   // errno when not opened
    long linesRead = 0;  // lines handed to the handler
};

// Hands every line of the file to handler, in order. Before each line,
// stopBefore() is asked (after the line was read) and ends the replay when true.
ReplayResult ReplayLines(const std::filesystem::path& path,
                         const std::function<void(const char* line)>& handler,
                         const std::function<bool()>& stopBefore = {});

// The hidden test command: replays kTestFilePath (relative to the working
// directory) until the total record count reaches MaxReplayRecords.
ReplayResult TestFileReplay(const StationState& state,
                            const std::function<void(const char* line)>& handler);
