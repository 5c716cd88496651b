// SPDX-License-Identifier: GPL-3.0-or-later
// nimbulo-logger: the station display's processing without a window, for
// station computers without a display and for turning recordings into logs.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "ArchiveCommands.h"
#include "LiveLogging.h"
#include "LoggerOptions.h"
#include "NoaaCommands.h"
#include "ReplayRun.h"

namespace fs = std::filesystem;

namespace {

// Works in the data folder, made when missing, unless the run only reads
// it (an export). The recording and the device are named relative to the
// folder the program was started in.
bool EnterDataDir(LoggerOptions& options) {
    std::error_code code;
    if (!options.replayFile.empty()) options.replayFile = fs::absolute(options.replayFile).string();
    if (!options.devicePath.empty()) options.devicePath = fs::absolute(options.devicePath).string();
    for (std::string* file :
         {&options.mqtt.passwordFile, &options.mqtt.caFile, &options.uploads.cwop.passcodeFile,
          &options.uploads.wunderground.keyFile, &options.uploads.pwsweather.keyFile})
        if (!file->empty()) *file = fs::absolute(*file).string();
    for (std::string& path : options.importPaths) path = fs::absolute(path).string();
    if (options.exportKind.empty()) fs::create_directories(options.dataDir, code);
    if (!code) fs::current_path(options.dataDir, code);
    if (code) {
        std::cerr << "nimbulo-logger: cannot work in " << options.dataDir << ": " << code.message()
                  << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseLoggerOptions(args);
    if (!parsed.ok()) {
        std::cerr << "nimbulo-logger: " << parsed.error << "\n\n" << LoggerUsage();
        return kExitUsage;
    }
    LoggerOptions options = parsed.options;
    if (options.showHelp) {
        std::cout << LoggerUsage();
        return kExitOk;
    }
    if (options.showVersion) {
        std::cout << "nimbulo-logger " << NIMBULO_VERSION << "\n";
        return kExitOk;
    }
    options.uploads.softwareVersion = NIMBULO_VERSION;
    if (!options.dataDir.empty() && !EnterDataDir(options)) return kExitUsage;
    if (!options.importPaths.empty()) return RunImport(options, std::cout, std::cerr);
    if (!options.exportKind.empty()) return RunExport(options, std::cout, std::cerr);
    if (!options.noaaPeriod.empty() || options.noaaAll)
        return RunNoaa(options, std::cout, std::cerr);
    if (!options.devicePath.empty() || options.port) return RunLive(options, std::cout, std::cerr);
    return RunReplay(options, std::cout, std::cerr);
}
