// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger: the station display's processing without a window, for
// station computers without a display and for turning recordings into logs.
#include <iostream>
#include <string>
#include <vector>

#include "LiveLogging.h"
#include "LoggerOptions.h"
#include "ReplayRun.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseLoggerOptions(args);
    if (!parsed.ok()) {
        std::cerr << "nimbulo-logger: " << parsed.error << "\n\n" << LoggerUsage();
        return kExitUsage;
    }
    const LoggerOptions& options = parsed.options;
    if (options.showHelp) {
        std::cout << LoggerUsage();
        return kExitOk;
    }
    if (!options.devicePath.empty() || options.port) return RunLive(options, std::cout, std::cerr);
    return RunReplay(options, std::cout, std::cerr);
}
