// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

// Everything a shell command prints on its standard output (its standard
// error too where the command sends it there); empty when it cannot start.
inline std::string CommandOutput(const std::string& command) {
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    if (pipe != nullptr) pclose(pipe);
    return output;
}
