// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataLogImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <utility>

#include "CalendarDate.h"
#include "DataLog.h"
#include "SensorRanges.h"
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

// The data log's forms: "-12.3" ("%.1f"), " 8" ("%2d"); never an exponent,
// a plus, "inf" or a number longer than any reading.
bool IsPrintedForm(std::string_view text) {
    constexpr std::size_t kMaxNumberLength = 12;
    if (text.starts_with('-')) text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const auto digits = [](std::string_view d) {
        return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (text.size() > kMaxNumberLength || !digits(text.substr(0, point))) return false;
    return point == std::string_view::npos || digits(text.substr(point + 1));
}

// What each of the data log's values may be beyond its stand-in 0.
constexpr SensorRanges::Range kValueRange[kDataLogCount] = {
    SensorRanges::kWindSpeedMph,    {0, 15},
    SensorRanges::kTemperatureF,    SensorRanges::kTemperatureF,
    SensorRanges::kPressureInHg,    SensorRanges::kHumidityPercent,
    SensorRanges::kHumidityPercent, SensorRanges::kRainInches,
};

// A number as the data log prints it; the compass point may have a blank in front.
bool ParseValue(std::string_view text, std::size_t index, double& value) {
    if (index == kCompass && text.size() == 2 && text[0] == ' ') text.remove_prefix(1);
    if (!IsPrintedForm(text)) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    return index != kCompass || (value >= 0 && value <= 15 && value == std::floor(value));
}
}  // namespace

std::optional<ArchivePoint> ParseDataLogLine(std::string_view line, std::string& reason,
                                             std::string* leftOut) {
    ArchivePoint point;
    if (line.size() > DataLogImport::kMaxLineLength) {
        reason = FormatText("longer than %zu characters", DataLogImport::kMaxLineLength);
        return std::nullopt;
    }
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
        start = end + 1;
        if (value != 0 && !kValueRange[k].Contains(value)) {
            if (leftOut)
                *leftOut += FormatText("%s%s %s is no sensor's reading (%g to %g)",
                                       leftOut->empty() ? "" : "; ", kPoint[k].name,
                                       ValueText(value, kPoint[k].decimals).c_str(),
                                       kValueRange[k].min, kValueRange[k].max);
            continue;
        }
        point.values[k] = AsPrinted(value, kPoint[k].decimals);
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
    for (const fs::path& file : DataLogsIn(path)) ImportFile(file);
}

std::vector<fs::path> DataLogImport::DataLogsIn(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("U2K") && name.ends_with(".txt")) files.push_back(entry.path());
    }
    if (error) {
        ++counts_.unreadable;
        complain_(folder.string() + ": " + error.message());
        return {};
    }
    std::sort(files.begin(), files.end());
    return files;
}

namespace {
// "YYYY-MM-DD HH:MM" of a data log's first line, from its name U2KYYYYMMDDHHMM.txt.
std::string NameTime(const fs::path& file) {
    const std::string n = file.filename().string();
    if (n.size() != 19) return {};
    return n.substr(3, 4) + "-" + n.substr(7, 2) + "-" + n.substr(9, 2) + " " + n.substr(11, 2) +
           ":" + n.substr(13, 2);
}

// Reads one line of at most `limit` characters; a longer one is passed over
// to its end and comes back as a line of limit + 1 characters.
bool ReadBoundedLine(std::istream& in, std::string& line, std::size_t limit) {
    line.clear();
    for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
        if (c == '\n') return true;
        if (line.size() <= limit) line += static_cast<char>(c);
    }
    return !line.empty();
}
}  // namespace

void DataLogImport::ImportRecent(const fs::path& folder, const std::optional<std::string>& latest) {
    std::error_code missing;
    if (!fs::is_directory(folder, missing)) return;
    std::vector<fs::path> files = DataLogsIn(folder);
    if (files.empty()) return;
    auto first = files.end() - 1;
    if (latest) {
        // Named by their first line's time: the last one from before the latest point holds it.
        first = files.begin();
        for (auto f = files.begin(); f != files.end(); ++f)
            if (NameTime(*f) <= *latest) first = f;
    }
    for (auto f = first; f != files.end(); ++f) ImportFile(*f);
}

void DataLogImport::ImportFile(const fs::path& file) {
    std::error_code error;
    // A device or FIFO never ends, or never opens: only a regular file is read.
    if (!fs::is_regular_file(file, error)) {
        ++counts_.unreadable;
        complain_(file.string() + ": " +
                  (error ? error.message() : "not a regular file or folder"));
        return;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ++counts_.unreadable;
        complain_(file.string() + ": cannot be read");
        return;
    }
    ++counts_.files;
    std::vector<ArchivePoint> points;
    std::string line, reason, leftOut;
    for (long number = 1; ReadBoundedLine(in, line, kMaxLineLength); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line == kDataLogHeader) continue;
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        leftOut.clear();
        std::optional<ArchivePoint> point = ParseDataLogLine(line, reason, &leftOut);
        if (!point) {
            ++counts_.rejected;
            complain_(where + reason);
            continue;
        }
        if (!before_.empty() && point->date + " " + point->time >= before_) continue;
        if (!leftOut.empty()) {
            counts_.valuesLeftOut += std::count(leftOut.begin(), leftOut.end(), ';') + 1;
            complain_(where + leftOut + ", left out");
        }
        points.push_back(std::move(*point));
    }
    const Archive::ImportCount count = archive_.Import(points);
    counts_.imported += count.added;
    counts_.present += count.present;
}
