// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFileReplay.h"

#include "LineFileReader.h"

ReplayResult ReplayLines(const std::filesystem::path& path,
                         const std::function<void(const char* line)>& handler,
                         const std::function<bool()>& stopBefore) {
    ReplayResult result;
    LineFileReader reader(path);
    if (!reader.IsOpen()) {
        result.openError = reader.openError();
        return result;
    }
    result.opened = true;
    while (const char* line = reader.ReadLine()) {
        if (stopBefore && stopBefore()) break;
        ++result.linesRead;
        handler(line);
    }
    return result;
}

ReplayResult TestFileReplay(const StationState& state,
                            const std::function<void(const char* line)>& handler) {
    return ReplayLines(kTestFilePath, handler,
                       [&state] { return state.recordCount >= MaxReplayRecords; });
}
