// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataLog.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <utility>

#include "FixedFormat.h"
#include "TextFormat.h"

std::string DataLogFileName(int year, const CalendarDate& date, int minuteOfDay) {
    return FormatText("%s/U2K%4d%2.2d%2.2d%2.2d%2.2d.txt", kDataLogDirectory, year, date.month,
                      date.day, minuteOfDay / 60, minuteOfDay % 60);
}

std::string DataLogDatePrefix(int year, const CalendarDate& date) {
    return FormatText("%4d/%2.2d/%2.2d ", year, date.month, date.day);
}

namespace {
// printf's "%.Nd" (zero-padded to `digits`, the sign in front) or, with
// pad ' ', "%Nd" (blank-padded to `digits` characters in all).
void AppendInt(std::string& out, int value, std::size_t digits, char pad) {
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string_view number(text, end - text);
    const bool negative = value < 0;
    if (pad == '0' && negative) {
        out += '-';
        number.remove_prefix(1);
    }
    if (number.size() < digits) out.append(digits - number.size(), pad);
    out += number;
}

// "%3.1f", "%2.1f", "%2.2f" and "%3.2f" never pad: "0.0" and "0.00" are
// already as wide, so they are printf's "%.1f" and "%.2f".
void AppendFixed(std::string& out, double value, int decimals) {
    char text[kFixedFormatMax];
    out.append(text, FormatFixed(text, value, decimals));
}
}  // namespace

// The line format is "%2.2d:%2.2d\t%3.1f\t%2d\t%3.1f\t%3.1f\t%2.2f\t%2.1f\t%2.1f\t%3.2f",
// put together piece by piece because a replay writes tens of thousands of them.
std::string DataLogLineText(const FivePointValues& s) {
    const int m = s.minuteOfDay;
    std::string line;
    line.reserve(64);
    AppendInt(line, m / 60, 2, '0');
    line += ':';
    AppendInt(line, m % 60, 2, '0');
    line += '\t';
    AppendFixed(line, s.windSpeedAvg, 1);
    line += '\t';
    AppendInt(line, s.compassIndex, 2, ' ');
    for (const auto& [reading, decimals] : {std::pair{s.tempOutdoor, 1},
                                            {s.tempIndoor, 1},
                                            {s.pressure, 2},
                                            {s.humidityOutdoor, 1},
                                            {s.humidityIndoor, 1},
                                            {s.rainToday, 2}}) {
        line += '\t';
        AppendFixed(line, reading, decimals);
    }
    return line;
}

bool DataLog::OpenDataLog(int year, const CalendarDate& date, int minuteOfDay) {
    logFileName_ = DataLogFileName(year, date, minuteOfDay);
    logDatePrefix_ = DataLogDatePrefix(year, date);
    year_ = year;
    date_ = date;
    return OpenLogFile();
}

bool DataLog::OpenLogFile() {
    logStream_.Close();
    if (!logStream_.Open(logFileName_, OutputFile::Mode::Append)) {
        faults_.Failed(kDataLogDirectory, logFileName_, logStream_.error());
        return false;
    }
    ++filesOpened_;
    // The header goes in each time, also into a file that exists already.
    headerPending_ = !WriteLine(kDataLogHeader);
    return true;
}

void DataLog::Write(const FivePointValues& point) {
    if (!IsForDay(point.year, point.date)) {
        CreateDataLogDirectory();
        OpenDataLog(point.year, point.date, point.minuteOfDay);
    } else if (!IsOpen()) {
        // The day's log could not be opened: try the same file again rather
        // than a new name at every point, which would be a new fault each time.
        CreateDataLogDirectory();
        OpenLogFile();
    }
    AppendDataLogLine(point);
}

bool DataLog::AppendDataLogLine(const FivePointValues& point) {
    if (!logStream_.IsOpen()) return false;
    if (headerPending_ && !WriteLine(kDataLogHeader)) return false;
    headerPending_ = false;
    return WriteLine(logDatePrefix_ + DataLogLineText(point));
}

bool DataLog::WriteLine(std::string_view text) {
    if (!logStream_.WriteLine(text)) {
        faults_.Failed(kDataLogDirectory, logFileName_, logStream_.error());
        return false;
    }
    faults_.Succeeded(kDataLogDirectory, logFileName_);
    return true;
}

void CreateDataLogDirectory() {
    std::error_code ignored;  // existing already, or impossible: the open then fails
    std::filesystem::create_directory(kDataLogDirectory, ignored);
}
