// SPDX-License-Identifier: GPL-3.0-or-later
#include "SecretFile.h"

#include <fstream>

std::optional<std::string> ReadSecretFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::string line;
    std::getline(file, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}
