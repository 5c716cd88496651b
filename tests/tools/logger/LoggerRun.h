// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ReportsTestSupport.h"

struct LoggerRun {
    int status = -1;
    std::string out, err;
};

// Runs nimbulo-logger in the current directory; its output is caught outside it.
inline LoggerRun RunLogger(const std::string& args) {
    const std::filesystem::path capture =
        std::filesystem::temp_directory_path() / ("nimbulo-logger-" + std::to_string(getpid()));
    std::filesystem::create_directories(capture);
    const std::string command = std::string("'") + NIMBULO_LOGGER_PATH + "' " + args + " >'" +
                                (capture / "out").string() + "' 2>'" + (capture / "err").string() +
                                "' </dev/null";
    const int raw = std::system(command.c_str());
    LoggerRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, reports_test::ReadFile(capture / "out"),
                  reports_test::ReadFile(capture / "err")};
    std::filesystem::remove_all(capture);
    return run;
}
