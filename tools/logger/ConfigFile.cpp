// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConfigFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
std::string Trim(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// A quoted value as the display writes one ("a, b", paths with spaces):
// the text between the quotes with \" \\ \n \t undone.
std::string Unquote(const std::string& value) {
    if (value.size() < 2 || value.front() != '"') return value;
    std::string out;
    for (std::size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            c = value[++i];
            if (c == 'n') c = '\n';
            if (c == 't') c = '\t';
        }
        out += c;
    }
    return out;
}
}  // namespace

bool ConfigFile::Load(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    Parse(text.str());
    return true;
}

void ConfigFile::Parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::string group;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = Trim(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;  // not a setting: left alone
        const std::string key = Trim(line.substr(0, equals));
        values_[group + "/" + key] = Unquote(Trim(line.substr(equals + 1)));
    }
}

std::optional<std::string> ConfigFile::Value(const std::string& group,
                                             const std::string& key) const {
    const auto found = values_.find(group + "/" + key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}
