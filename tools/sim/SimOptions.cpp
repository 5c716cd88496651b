// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimOptions.h"

#include <CLI/CLI.hpp>
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

namespace {

// The options, their descriptions and the texts given for them, for parsing
// and for --help alike. Values are checked after parsing, so each gets the
// same message.
struct SimParser {
    CLI::App app{"", "nimbulo-sim"};
    std::map<std::string, std::string> values;
    bool help = false;
    bool version = false;
    bool burst = false;

    SimParser() {
        app.set_help_flag();
        app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app.get_formatter()->column_width(26);
        app.get_formatter()->label("OPTIONS", "options");
        app.add_flag("-h,--help", help, "Show this text and exit.");
        app.add_flag("--version", version, "Show the version and exit.");
        Valued("--device", "PATH",
               "Write to this device or file instead of a new\npseudo-terminal.");
        Valued("--interval", "SECS", "Real time from one record to the next (default 1).");
        Valued("--speed", "FACTOR",
               "Station clock speed: 60 makes a station minute per second\n"
               "(default 1); each record moves the clock interval x speed.");
        Valued("--baud", "N",
               "Pace the bytes like a line at N baud (default 2400;\n0: no pacing).");
        app.add_flag("--burst", burst, "No pacing at all, as fast as the reader takes the bytes.");
        Valued("--count", "N", "Stop after N records.");
        Valued("--replay", "FILE",
               "Send the lines of FILE instead (lines starting with #\n"
               "and empty lines are skipped).");
        Valued("--garble", "RATE", "Corrupt each byte with probability RATE (0 to 1).");
        Valued("--seed", "N", "Random seed of the weather and the garbling (default 1).");
        Valued("--date", "YYYY-MM-DD", "Station date to start at (default today).");
        Valued("--time", "HH:MM[:SS]", "Station time to start at (default now).");
        Valued("--settle", "SECS", "Wait after a reader opens the pseudo-terminal\n(default 1).");
        Valued("--linger", "SECS",
               "Keep the pseudo-terminal open after the last record\n"
               "until the reader closes it or SECS pass (default 2).");
    }

    void Valued(const std::string& name, const std::string& type, const std::string& text) {
        app.add_option(name, values[name], text)->type_name(type);
    }
};

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions& o, std::string& error) {
    long number = 0;
    const std::map<std::string, std::function<bool(const std::string&)>> setters = {
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
    SimParser p;
    try {
        p.app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    o.help = p.help;
    o.version = p.version;
    o.burst = p.burst;
    for (const auto& [name, set] : setters) {
        if (p.app.count(name) == 0) continue;
        if (!set(p.values[name])) {
            error = "bad value for " + name + ": " + p.values[name];
            return false;
        }
    }
    FillFromNow(o);
    return true;
}

std::string SimUsage() {
    // CLI11's text starts with the usage line; what the program does follows it.
    std::string text = SimParser().app.help();
    text.insert(text.find('\n') + 1,
                "\nSends Ultimeter 2000 data-logger records (\"!!\" + 48 hex digits + CR LF) with\n"
                "simulated weather to a new pseudo-terminal (its path is printed first) or to\n"
                "a device or file.\n");
    return text;
}
