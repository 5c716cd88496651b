// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerOptions.h"

#include <charconv>

namespace {
// A whole number from 1 to 9999: a year, or seconds.
bool ParseFrom1To9999(const std::string& text, int& year) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, year);
    return ec == std::errc() && ptr == end && !text.empty() && text[0] != '-' && year >= 1 &&
           year <= 9999;
}
}  // namespace

ParsedOptions ParseLoggerOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    LoggerOptions& options = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> attached;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            attached = name.substr(eq + 1);
            name.resize(eq);
        }
        // The option's value: after "=" or the next argument.
        auto value = [&]() -> std::optional<std::string> {
            if (attached) return attached;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };

        if (name == "--help" || name == "-h") {
            options.showHelp = true;
        } else if (name == "--replay") {
            const auto file = value();
            if (!file || file->empty()) return {options, "--replay needs a FILE"};
            options.replayFile = *file;
        } else if (name == "--year") {
            const auto text = value();
            int year = 0;
            if (!text || !ParseFrom1To9999(*text, year)) {
                return {options, "--year needs a year from 1 to 9999"};
            }
            options.year = year;
        } else if (name == "--device") {
            const auto path = value();
            if (!path || path->empty()) return {options, "--device needs a PATH"};
            options.devicePath = *path;
        } else if (name == "--port") {
            const auto text = value();
            if (!text || text->size() != 1 || (*text)[0] < '1' || (*text)[0] > '4') {
                return {options, "--port needs a COM number from 1 to 4"};
            }
            options.port = (*text)[0] - '0';
        } else if (name == "--no-retry") {
            options.noRetry = true;
        } else if (name == "--stale-after") {
            const auto text = value();
            int seconds = 0;
            if (!text || !ParseFrom1To9999(*text, seconds)) {
                return {options, "--stale-after needs a number of seconds from 1 to 9999"};
            }
            options.staleAfterSeconds = seconds;
        } else {
            return {options, "unknown option '" + args[i] + "'"};
        }
    }
    const int sources =
        !options.replayFile.empty() + !options.devicePath.empty() + options.port.has_value();
    if (!options.showHelp && sources == 0) {
        return {options, "nothing to do: give --replay FILE, --device PATH or --port N"};
    }
    if (!options.showHelp && sources > 1) {
        return {options, "give only one of --replay, --device and --port"};
    }
    return parsed;
}

std::string LoggerUsage() {
    return "Usage: nimbulo-logger --replay FILE [--year YYYY]\n"
           "       nimbulo-logger --device PATH | --port N [--year YYYY] [--no-retry]\n"
           "                      [--stale-after S]\n"
           "       nimbulo-logger --help\n"
           "\n"
           "Runs the weather-station processing without a window and writes what the\n"
           "display writes with Save Data on, into the working directory: the data logs\n"
           "under OutputData/, wxreportaprs.txt and wxreportmixw.txt.\n"
           "\n"
           "  --replay FILE  process every line of FILE, a recording of data-logger\n"
           "                 records, then print a summary\n"
           "  --device PATH  read the station live from this serial device (2400 8N1)\n"
           "                 until SIGINT or SIGTERM, then print a summary\n"
           "  --port N       the same for COM N (1 to 4): the device set as Ports/COMN\n"
           "                 in the station display's settings, else /dev/ttyS<N-1>\n"
           "  --no-retry     end with status 3 when the device cannot be opened or goes\n"
           "                 away; without it the logger tries the device again every\n"
           "                 2 s for a minute, then every 30 s, and goes on logging\n"
           "  --stale-after S  call the link silent after S seconds without a record\n"
           "                 (default 10); each change of the link is one line on stderr\n"
           "  --year YYYY    take YYYY as the year where the computer's clock would\n"
           "                 be read, so a recording from another year gets its dates\n"
           "  --help         show this text\n"
           "\n"
           "Exit status: 0 on success, 2 for a bad command line or an unreadable FILE,\n"
           "3 with --no-retry when the device cannot be opened or goes away.\n";
}
