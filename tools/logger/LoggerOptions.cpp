// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <charconv>

namespace {

// A whole number from 1 to 9999: a year, or seconds.
bool ParseFrom1To9999(const std::string& text, int& year) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, year);
    return ec == std::errc() && ptr == end && !text.empty() && text[0] != '-' && year >= 1 &&
           year <= 9999;
}

// The options and their descriptions, for parsing and for --help alike.
struct LoggerParser {
    QCommandLineParser parser;
    QCommandLineOption help{{"h", "help"}, "Show this text and exit."};
    QCommandLineOption version{"version", "Show the version and exit."};
    QCommandLineOption replay{
        "replay",
        "Process every line of <file>, a recording of data-logger records, then print a "
        "summary.",
        "file"};
    QCommandLineOption device{
        "device",
        "Read the station live from this serial device (2400 8N1) until SIGINT or "
        "SIGTERM, then print a summary.",
        "path"};
    QCommandLineOption port{
        "port",
        "The same for COM <n> (1 to 4): the device set as Ports/COM<n> in the station "
        "display's settings, else /dev/ttyS<n-1>.",
        "n"};
    QCommandLineOption year{
        "year",
        "Take <yyyy> as the year where the computer's clock would be read, so a "
        "recording from another year gets its dates.",
        "yyyy"};
    QCommandLineOption rainGauge{
        "rain-gauge",
        "What the station's rain gauge counts: mm for 0.1 mm, in for 0.01 in (the "
        "default). The files keep inches either way.",
        "unit"};
    QCommandLineOption noRetry{
        "no-retry",
        "End with status 3 when the device cannot be opened or goes away, instead of "
        "trying it again every 2 s for a minute, then every 30 s."};
    QCommandLineOption staleAfter{
        "stale-after", "Call the station silent after <s> seconds without a record (default 10).",
        "s"};
    QCommandLineOption dataDir{
        "data-dir",
        "Write the files into <dir>, made when missing, instead of the working "
        "folder.",
        "dir"};

    LoggerParser() {
        parser.setApplicationDescription(
            "Runs the weather-station processing without a window and writes what the\n"
            "display writes with Save Data on, into the working folder (or --data-dir):\n"
            "the data logs under OutputData/, wxreportaprs.txt and wxreportmixw.txt.");
        parser.addOptions(
            {help, version, replay, device, port, year, rainGauge, noRetry, staleAfter, dataDir});
    }

    // The message for an option that ends the command line without its value.
    static std::string MissingValue(const std::string& name) {
        if (name == "--replay") return "--replay needs a FILE";
        if (name == "--device") return "--device needs a PATH";
        if (name == "--port") return "--port needs a COM number from 1 to 4";
        if (name == "--year") return "--year needs a year from 1 to 9999";
        if (name == "--rain-gauge") return "--rain-gauge needs mm or in";
        if (name == "--stale-after")
            return "--stale-after needs a number of seconds from 1 to 9999";
        return name + " needs a DIR";
    }
};

// An unknown option as it was written, found by the name Qt reports.
std::string AsWritten(const std::vector<std::string>& args, const QString& name) {
    for (const std::string& arg : args) {
        const std::size_t start = arg.find_first_not_of('-');
        if (start == 0 || start == std::string::npos) continue;
        if (arg.substr(start, arg.find('=') - start) == name.toStdString()) return arg;
    }
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

}  // namespace

ParsedOptions ParseLoggerOptions(const std::vector<std::string>& args) {
    LoggerParser p;
    ParsedOptions parsed;
    LoggerOptions& options = parsed.options;
    QStringList arguments{"nimbulo-logger"};
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    if (!p.parser.parse(arguments)) {
        const QStringList unknown = p.parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return {options, "unknown option '" + AsWritten(args, unknown[0]) + "'"};
        // Qt's other refusal: the last option has no value.
        return {options, LoggerParser::MissingValue(args.back().substr(0, args.back().find('=')))};
    }
    if (!p.parser.positionalArguments().isEmpty())
        return {options,
                "unknown option '" + p.parser.positionalArguments()[0].toStdString() + "'"};
    options.showHelp = p.parser.isSet(p.help);
    options.showVersion = p.parser.isSet(p.version);
    if (p.parser.isSet(p.replay)) {
        options.replayFile = p.parser.value(p.replay).toStdString();
        if (options.replayFile.empty()) return {options, "--replay needs a FILE"};
    }
    if (p.parser.isSet(p.year)) {
        int year = 0;
        if (!ParseFrom1To9999(p.parser.value(p.year).toStdString(), year))
            return {options, "--year needs a year from 1 to 9999"};
        options.year = year;
    }
    if (p.parser.isSet(p.device)) {
        options.devicePath = p.parser.value(p.device).toStdString();
        if (options.devicePath.empty()) return {options, "--device needs a PATH"};
    }
    if (p.parser.isSet(p.port)) {
        const std::string text = p.parser.value(p.port).toStdString();
        if (text.size() != 1 || text[0] < '1' || text[0] > '4')
            return {options, "--port needs a COM number from 1 to 4"};
        options.port = text[0] - '0';
    }
    if (p.parser.isSet(p.rainGauge)) {
        const QString unit = p.parser.value(p.rainGauge);
        if (unit != "mm" && unit != "in") return {options, "--rain-gauge needs mm or in"};
        options.rainGaugeMillimetre = unit == "mm";
    }
    options.noRetry = p.parser.isSet(p.noRetry);
    if (p.parser.isSet(p.staleAfter)) {
        int seconds = 0;
        if (!ParseFrom1To9999(p.parser.value(p.staleAfter).toStdString(), seconds))
            return {options, "--stale-after needs a number of seconds from 1 to 9999"};
        options.staleAfterSeconds = seconds;
    }
    if (p.parser.isSet(p.dataDir)) {
        options.dataDir = p.parser.value(p.dataDir).toStdString();
        if (options.dataDir.empty()) return {options, "--data-dir needs a DIR"};
    }
    if (options.showHelp || options.showVersion) return parsed;
    const int sources =
        !options.replayFile.empty() + !options.devicePath.empty() + options.port.has_value();
    if (sources == 0) {
        return {options, "nothing to do: give --replay FILE, --device PATH or --port N"};
    }
    if (sources > 1) {
        return {options, "give only one of --replay, --device and --port"};
    }
    return parsed;
}

std::string LoggerUsage() {
    LoggerParser p;
    QString text = p.parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')),
                 "Usage: nimbulo-logger --replay FILE [--year YYYY] [OPTIONS]\n"
                 "       nimbulo-logger --device PATH | --port N [--year YYYY] [OPTIONS]\n"
                 "       nimbulo-logger --help | --version\n");
    text +=
        "\nExit status: 0 on success, 2 for a bad command line or an unreadable FILE,\n"
        "3 when the device cannot be opened or goes away (with --no-retry), 4 when a replay could "
        "not\n"
        "write every file (\"failed writes\").\n";
    return text.toStdString();
}
