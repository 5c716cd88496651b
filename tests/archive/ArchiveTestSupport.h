// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Archive.h"

namespace archive_test {

// The five-minute lines of every data log under dir/OutputData, by
// "YYYY-MM-DD HH:MM": their eight values as printed, blanks trimmed.
inline std::map<std::string, std::vector<std::string>> DataLogLines(
    const std::filesystem::path& dir) {
    std::map<std::string, std::vector<std::string>> lines;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "OutputData")) {
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("DateTime")) continue;
            if (line.ends_with('\r')) line.pop_back();
            std::string key = line.substr(0, 16);
            key[4] = key[7] = '-';
            std::vector<std::string> values;
            std::istringstream fields(line.substr(17));
            for (std::string value; std::getline(fields, value, '\t');)
                values.push_back(value.substr(value.find_first_not_of(' ')));
            lines[key] = values;
        }
    }
    return lines;
}

// All points of an archive by "YYYY-MM-DD HH:MM".
inline std::map<std::string, ArchivePoint> ArchivePoints(const std::filesystem::path& file) {
    Archive archive(file, Archive::Access::Read);
    std::map<std::string, ArchivePoint> points;
    for (ArchivePoint& p : archive.ReadPoints("0001-01-01", "00:00", "9999-12-31", "23:59"))
        points[p.date + " " + p.time] = p;
    return points;
}

// printf's text of a value with these decimals ("%d" for none).
inline std::string Printed(double value, int decimals) {
    char text[64];
    if (decimals == 0)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// ToolRunner appends a tool's output to what an earlier run left: forgotten
// before a run whose output is read.
inline void ForgetOutput(const std::string& work, const std::string& tool) {
    for (const char* stream : {".out", ".err"}) std::filesystem::remove(work + "/" + tool + stream);
}

}  // namespace archive_test
