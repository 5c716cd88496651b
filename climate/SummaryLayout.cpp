// SPDX-License-Identifier: GPL-3.0-or-later
#include "SummaryLayout.h"

#include <cmath>
#include <cstdio>
#include <numeric>

namespace SummaryLayout {

namespace {
int Total(std::span<const int> widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

// Counts characters, not bytes: the titles carry a degree sign.
std::size_t Length(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::string Centred(const std::string& text, std::span<const int> widths) {
    const std::size_t length = Length(text);
    const std::size_t total = static_cast<std::size_t>(Total(widths));
    return std::string(length < total ? (total - length) / 2 : 0, ' ') + text;
}

std::string Row(std::span<const int> widths, const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < widths.size() && i < fields.size(); ++i) {
        const std::size_t width = static_cast<std::size_t>(widths[i]);
        const std::size_t length = Length(fields[i]);
        if (length < width) row.append(width - length, ' ');
        row += fields[i];
    }
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
}

std::string Rule(std::span<const int> widths) {
    return std::string(static_cast<std::size_t>(Total(widths)), '-');
}

std::vector<std::string> Head(const std::string& title, const StationIdentity& station,
                              const std::string& units, std::span<const int> widths) {
    std::string place = "ELEV:";
    if (station.elevation) {
        char text[48];
        const double e = *station.elevation;
        std::snprintf(text, sizeof text, " %.*f %s", e == std::round(e) ? 0 : 1, e,
                      ElevationUnitText(station.elevationUnit));
        place += text;
    }
    place += "    LAT:";
    if (station.latitude) place += " " + DegreesMinutesText(*station.latitude, 'N', 'S');
    place += "    LONG:";
    if (station.longitude) place += " " + DegreesMinutesText(*station.longitude, 'E', 'W');
    std::string name = "NAME:";
    // A name is one line: a control character from a settings file would break the layout.
    if (!station.name.empty()) name += " " + station.name;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    if (units.empty()) return {Centred(title, widths), "", name, place};
    return {Centred(title, widths), "", name, place, "", Centred(units, widths), ""};
}

const char* MonthAbbreviation(int month) {
    static constexpr const char* kNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return month >= 1 && month <= 12 ? kNames[month - 1] : "";
}

std::string WholeText(std::optional<int> value) {
    return value ? std::to_string(*value) : std::string();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

}  // namespace SummaryLayout
