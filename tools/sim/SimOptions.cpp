// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimOptions.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>

#include "StationClock.h"

namespace {

bool ParseDouble(const std::string& text, double& value, double min) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value >= min;
}

bool ParseLong(const std::string& text, long& value, long min) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= min;
}

bool ParseDate(const std::string& text, SimOptions& o) {
    int y, m, d;
    char tail;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &y, &m, &d, &tail) != 3) return false;
    int day = DayOfYear(y, m, d);
    if (day < 0) return false;
    o.year = y;
    o.dayOfYear = day;
    return true;
}

bool ParseTime(const std::string& text, SimOptions& o) {
    int h, m, s = 0;
    char tail;
    int n = std::sscanf(text.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail);
    if (n != 2 && n != 3) return false;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return false;
    o.secondOfDay = h * 3600.0 + m * 60.0 + s;
    return true;
}

void FillFromNow(SimOptions& o) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (o.year == 0) {
        o.year = local.tm_year + 1900;
        o.dayOfYear = local.tm_yday;
    }
    if (o.secondOfDay < 0)
        o.secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
}

}  // namespace

int DayOfYear(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return -1;
    auto length = [&](int m) { return kDays[m - 1] + (m == 2 && StationClock::IsLeapYear(year)); };
    if (day > length(month)) return -1;
    int total = day - 1;
    for (int m = 1; m < month; ++m) total += length(m);
    return total;
}

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& o, std::string& error) {
    using Setter = std::function<bool(const std::string&)>;
    long number = 0;
    const std::map<std::string, Setter> valued = {
        {"--device",
         [&](const std::string& v) {
             o.device = v;
             return !v.empty();
         }},
        {"--replay",
         [&](const std::string& v) {
             o.replayFile = v;
             return !v.empty();
         }},
        {"--interval", [&](const std::string& v) { return ParseDouble(v, o.interval, 0); }},
        {"--speed", [&](const std::string& v) { return ParseDouble(v, o.speed, 0); }},
        {"--baud",
         [&](const std::string& v) { return ParseLong(v, number, 0) && (o.baud = number, true); }},
        {"--count", [&](const std::string& v) { return ParseLong(v, o.count, 0); }},
        {"--garble",
         [&](const std::string& v) {
             return ParseDouble(v, o.garbleRate, 0) && o.garbleRate <= 1;
         }},
        {"--seed",
         [&](const std::string& v) {
             return ParseLong(v, number, 0) && (o.seed = static_cast<uint32_t>(number), true);
         }},
        {"--date", [&](const std::string& v) { return ParseDate(v, o); }},
        {"--time", [&](const std::string& v) { return ParseTime(v, o); }},
        {"--settle", [&](const std::string& v) { return ParseDouble(v, o.settle, 0); }},
        {"--linger", [&](const std::string& v) { return ParseDouble(v, o.linger, 0); }},
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--burst") {
            o.burst = true;
            continue;
        }
        std::string value;
        auto eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        auto it = valued.find(arg);
        if (it == valued.end()) {
            error = "unknown option " + arg;
            return false;
        }
        if (eq == std::string::npos) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!it->second(value)) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    FillFromNow(o);
    return true;
}

const char* SimUsage() {
    return "Usage: nimbulo-sim [options]\n"
           "Sends Ultimeter 2000 data-logger records (\"!!\" + 48 hex digits + CR LF) with\n"
           "simulated weather to a new pseudo-terminal (its path is printed first) or to\n"
           "a device or file.\n"
           "\n"
           "  --device PATH     write to this device or file instead of a new pseudo-terminal\n"
           "  --interval SECS   real time from one record to the next (default 1)\n"
           "  --speed FACTOR    station clock speed: 60 makes a station minute per second\n"
           "                    (default 1); each record moves the clock interval x speed\n"
           "  --baud N          pace the bytes like a line at N baud (default 2400; 0: no pacing)\n"
           "  --burst           no pacing at all, as fast as the reader takes the bytes\n"
           "  --count N         stop after N records\n"
           "  --replay FILE     send the lines of FILE instead (lines starting with # and\n"
           "                    empty lines are skipped)\n"
           "  --garble RATE     corrupt each byte with probability RATE (0 to 1)\n"
           "  --seed N          random seed of the weather and the garbling (default 1)\n"
           "  --date YYYY-MM-DD station date to start at (default today)\n"
           "  --time HH:MM[:SS] station time to start at (default now)\n"
           "  --settle SECS     wait after a reader opens the pseudo-terminal (default 1)\n"
           "  --linger SECS     keep the pseudo-terminal open after the last record until\n"
           "                    the reader closes it or SECS pass (default 2)\n"
           "  --help            show this text\n";
}
