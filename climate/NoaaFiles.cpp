// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoaaFiles.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <vector>

#include "OutputFile.h"

namespace NoaaFiles {

namespace {
// The text's lines without their "\n": the file gets the line ends every
// other file of the data folder has.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text, start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

int Write(const std::filesystem::path& file, const std::string& text) {
    std::error_code code;
    std::filesystem::create_directories(file.parent_path(), code);
    if (code) return code.value();
    const std::vector<std::string> lines = Lines(text);
    return RewriteFile(file, lines);
}
}  // namespace

std::filesystem::path MonthFile(int year, int month) {
    char name[32];
    std::snprintf(name, sizeof name, "NOAA-%04d-%02d.txt", year, month);
    return std::filesystem::path(kFolder) / name;
}

std::filesystem::path YearFile(int year) {
    char name[32];
    std::snprintf(name, sizeof name, "NOAA-%04d.txt", year);
    return std::filesystem::path(kFolder) / name;
}

void WriteYear(ClimateReports& reports, int year, const std::vector<int>& months,
               const Outcome& outcome) {
    const ClimateReports::YearTexts texts = reports.AllOfYear(year);
    for (const auto& [month, text] : texts.months) {
        if (std::find(months.begin(), months.end(), month) == months.end()) continue;
        const std::filesystem::path file = MonthFile(year, month);
        outcome(file, Write(file, text));
    }
    if (texts.year) outcome(YearFile(year), Write(YearFile(year), *texts.year));
}

int WriteAll(ClimateReports& reports, const Outcome& outcome) {
    int written = 0;
    const Outcome counted = [&](const std::filesystem::path& file, int error) {
        written += error == 0;
        outcome(file, error);
    };
    for (const int year : reports.YearsWithData())
        WriteYear(reports, year, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, counted);
    return written;
}

}  // namespace NoaaFiles
