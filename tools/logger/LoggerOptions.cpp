#include "LoggerOptions.h"

#include <charconv>

namespace {
bool ParseYear(const std::string& text, int& year) {
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
            if (!text || !ParseYear(*text, year)) {
                return {options, "--year needs a year from 1 to 9999"};
            }
            options.year = year;
        } else {
            return {options, "unknown option '" + args[i] + "'"};
        }
    }
    if (!options.showHelp && options.replayFile.empty()) {
        return {options, "nothing to do: give --replay FILE"};
    }
    return parsed;
}

std::string LoggerUsage() {
    return "Usage: nimbulo-logger --replay FILE [--year YYYY]\n"
           "       nimbulo-logger --help\n"
           "\n"
           "Runs the weather-station processing without a window and writes what the\n"
           "display writes with Save Data on, into the working directory: the data logs\n"
           "under OutputData/, wxreportaprs.txt and wxreportmixw.txt.\n"
           "\n"
           "  --replay FILE  process every line of FILE, a recording of data-logger\n"
           "                 records, then print a summary\n"
           "  --year YYYY    take YYYY as the year where the computer's clock would\n"
           "                 be read, so a recording from another year gets its dates\n"
           "  --help         show this text\n"
           "\n"
           "Exit status: 0 on success, 2 for a bad command line or an unreadable FILE.\n";
}
