// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataLogImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <utility>

#include "CalendarDate.h"
#include "DataLog.h"
#include "TextFormat.h"

namespace fs = std::filesystem;

namespace {
using namespace ArchiveColumns;

// Exactly `width` characters: blanks, then at least one digit.
bool ParseWholeNumber(std::string_view text, std::size_t width, int& value) {
    if (text.size() < width) return false;
    std::string_view digits = text.substr(0, width);
    digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
    if (digits.empty()) return false;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc() && end == digits.data() + digits.size() && value >= 0;
}

// "YYYY/MM/DD HH:MM", as the data log prints a point's date and time.
bool ParseStationTime(std::string_view text, ArchivePoint& point) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (text.size() != 16 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':')
        return false;
    if (!ParseWholeNumber(text.substr(0, 4), 4, year) ||
        !ParseWholeNumber(text.substr(5), 2, month) || !ParseWholeNumber(text.substr(8), 2, day) ||
        !ParseWholeNumber(text.substr(11), 2, hour) ||
        !ParseWholeNumber(text.substr(14), 2, minute))
        return false;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year) ||
        hour > 23 || minute > 59)
        return false;
    point.date = FormatText("%04d-%02d-%02d", year, month, day);
    point.time = FormatText("%02d:%02d", hour, minute);
    return true;
}

// A number as the data log prints it; the compass point may have a blank in front.
bool ParseValue(std::string_view text, std::size_t index, double& value) {
    if (index == kCompass) text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    return index != kCompass || (value >= 0 && value <= 15 && value == std::floor(value));
}
}  // namespace

std::optional<ArchivePoint> ParseDataLogLine(std::string_view line, std::string& reason) {
    ArchivePoint point;
    const std::size_t tab = line.find('\t');
    if (!ParseStationTime(line.substr(0, tab), point)) {
        reason = "no date and time (YYYY/MM/DD HH:MM) at the start";
        return std::nullopt;
    }
    std::size_t start = tab + 1;
    for (std::size_t k = 0; k < kDataLogCount; ++k) {
        if (start > line.size()) {
            reason = FormatText("%zu values instead of %zu", k, kDataLogCount);
            return std::nullopt;
        }
        const std::size_t end = std::min(line.find('\t', start), line.size());
        double value = 0;
        if (!ParseValue(line.substr(start, end - start), k, value)) {
            reason = std::string("no number for ") + kPoint[k].name;
            return std::nullopt;
        }
        point.values[k] = AsPrinted(value, kPoint[k].decimals);
        start = end + 1;
    }
    if (start <= line.size()) {
        reason = FormatText("more than %zu values", kDataLogCount);
        return std::nullopt;
    }
    return point;
}

DataLogImport::DataLogImport(Archive& archive, Complaint complain)
    : archive_(archive), complain_(std::move(complain)) {}

void DataLogImport::ImportPath(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        ImportFile(path);
        return;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("U2K") && name.ends_with(".txt")) files.push_back(entry.path());
    }
    if (error) {
        ++counts_.unreadable;
        complain_(path.string() + ": " + error.message());
        return;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) ImportFile(file);
}

void DataLogImport::ImportFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ++counts_.unreadable;
        complain_(file.string() + ": cannot be read");
        return;
    }
    ++counts_.files;
    std::vector<ArchivePoint> points;
    std::string line, reason;
    for (long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line == kDataLogHeader) continue;
        if (auto point = ParseDataLogLine(line, reason)) {
            points.push_back(std::move(*point));
        } else {
            ++counts_.rejected;
            complain_(file.string() + ":" + std::to_string(number) + ": " + reason);
        }
    }
    const Archive::ImportCount count = archive_.Import(points);
    counts_.imported += count.added;
    counts_.present += count.present;
}
