// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <utility>

#include "CalendarDate.h"
#include "LoggerConfig.h"

namespace {

// A whole number from 1 to 9999: a year, or seconds.
bool ParseFrom1To9999(const std::string& text, int& year) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, year);
    return ec == std::errc() && ptr == end && !text.empty() && text[0] != '-' && year >= 1 &&
           year <= 9999;
}

constexpr const char* kHttpUsage = "--http needs [ADDRESS:]PORT, the address in numbers";
constexpr const char* kExportUsage = "--export needs points or days, then FROM and TO (YYYY-MM-DD)";
constexpr const char* kNoaaUsage = "--noaa needs a month YYYY-MM or a year YYYY";
constexpr const char* kElevationUsage = "--elevation needs a number with ft or m (312ft, 95 m)";

// A station date YYYY-MM-DD that is a day of the calendar.
bool IsDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    char end = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3)
        return false;
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
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
        "Write the files into <dir>, made when missing (not by --export), instead "
        "of the working folder.",
        "dir"};

    QCommandLineOption mqtt{
        "mqtt",
        "Publish the readings to the MQTT broker at <host>, port 1883 unless given, "
        "with Home Assistant discovery. A broker that is down is retried in the "
        "background and never holds up the files; the five-minute summaries wait for it "
        "(a week of them). A replay waits up to 30 s at its end until the broker has "
        "every summary.",
        "host[:port]"};
    QCommandLineOption mqttPrefix{"mqtt-prefix", "Topic prefix (default nimbulo/<station id>).",
                                  "prefix"};
    QCommandLineOption mqttStationId{
        "mqtt-station-id",
        "Names the station in the default prefix and in Home Assistant (default "
        "station).",
        "id"};
    QCommandLineOption mqttUser{"mqtt-user", "Log in to the broker as <user>.", "user"};
    QCommandLineOption mqttPasswordFile{
        "mqtt-password-file",
        "The password for --mqtt-user is the first line of <file> (never give it on "
        "the command line, where every user of the machine can read it).",
        "file"};
    QCommandLineOption mqttCaFile{
        "mqtt-ca-file", "Connect with TLS and check the broker against the CA in <file>.", "file"};
    QCommandLineOption import{
        "import",
        "Read data logs (files, or folders of U2K*.txt) into the archive nimbulo.db, then "
        "print a summary. Points already there stay as they are; a line that is no "
        "data-log line is named on stderr and left out.",
        "path"};
    QCommandLineOption exportKind{
        "export",
        "Print the archive's five-minute points or day rows (points or days) from station "
        "date FROM to TO (YYYY-MM-DD, both included) as CSV.",
        "points|days"};
    QCommandLineOption wxnow{
        "wxnow",
        "Keep wxnow.json, the current readings as JSON, beside the report files "
        "(replaced whole, at most once a second)."};
    QCommandLineOption http{
        "http",
        "Serve the station's web page (live readings, charts, highs and lows) on <port>, at "
        "127.0.0.1 unless an address is given (0.0.0.0:8080 for every network; better behind "
        "a reverse proxy with TLS and a password).",
        "[address:]port"};

    // The weather networks and the settings file.
    QCommandLineOption config{
        "config",
        "Read the live outputs from <file>, a settings file with the station display's "
        "groups and keys ([Mqtt], [Settings], [Cwop], [Wunderground], [Pwsweather], "
        "[Station], [Web], [Alarms]); "
        "the options given on the command line win.",
        "file"};
    QCommandLineOption configIfPresent{
        "config-if-present", "The same, but a missing <file> is no error (for the service).",
        "file"};
    QCommandLineOption cwop{
        "cwop",
        "Send the weather to CWOP over APRS-IS as <id>: a CWOP id (CW1234) or a ham call "
        "sign with --cwop-passcode-file. Needs --position.",
        "id"};
    QCommandLineOption cwopPasscodeFile{
        "cwop-passcode-file", "The APRS-IS passcode of a call sign is the first line of <file>.",
        "file"};
    QCommandLineOption position{
        "position", "The station's position in decimal degrees, north and east positive.",
        "lat,lon"};
    QCommandLineOption aprsServer{
        "aprs-server", "The APRS-IS server for CWOP (default cwop.aprs.net:14580).", "host:port"};
    QCommandLineOption cwopInterval{
        "cwop-interval",
        "At most one CWOP packet per <s> seconds (default 600; the network asks for 5 to 15 "
        "minutes).",
        "s"};
    QCommandLineOption wunderground{"wunderground",
                                    "Upload to Weather Underground as station <id>.", "id"};
    QCommandLineOption wundergroundKeyFile{
        "wunderground-key-file", "The Weather Underground station key is the first line of <file>.",
        "file"};
    QCommandLineOption wundergroundUrl{
        "wunderground-url", "Where Weather Underground uploads go (the network's own by default).",
        "url"};
    QCommandLineOption pwsweather{"pwsweather", "Upload to PWSweather as station <id>.", "id"};
    QCommandLineOption pwsweatherKeyFile{
        "pwsweather-key-file", "The PWSweather API key is the first line of <file>.", "file"};
    QCommandLineOption pwsweatherUrl{
        "pwsweather-url", "Where PWSweather uploads go (the network's own by default).", "url"};
    QCommandLineOption uploadInterval{
        "upload-interval",
        "At most one Weather Underground and one PWSweather upload per <s> seconds "
        "(default 300).",
        "s"};

    // The climate summaries and the station's identity.
    QCommandLineOption noaa{
        "noaa",
        "Print the climate summary of month YYYY-MM or of year YYYY from the archive "
        "nimbulo.db, in the common plain-text layout.",
        "period"};
    QCommandLineOption noaaAll{
        "noaa-all",
        "Write the summary of every month and year the archive has data of into NOAA/ "
        "(NOAA-YYYY-MM.txt, NOAA-YYYY.txt), then print how many."};
    QCommandLineOption metric{
        "metric", "Summaries in degrees C, mm and km/h instead of degrees F, inches and mph."};
    QCommandLineOption stationName{"station-name", "The station's name in the summaries' head.",
                                   "name"};
    QCommandLineOption elevation{
        "elevation", "The station's elevation in the summaries' head: a number with ft or m.",
        "height"};

    LoggerParser() {
        parser.setApplicationDescription(
            "Runs the weather-station processing without a window and writes what the\n"
            "display writes with Save Data on, into the working folder (or --data-dir):\n"
            "the data logs under OutputData/, wxreportaprs.txt and wxreportmixw.txt,\n"
            "and the archive nimbulo.db.");
        parser.addOptions({help,       version,    replay,        device,     port,
                           year,       rainGauge,  noRetry,       staleAfter, dataDir,
                           mqtt,       mqttPrefix, mqttStationId, mqttUser,   mqttPasswordFile,
                           mqttCaFile, wxnow,      http,          import,     exportKind});
        parser.addOptions({config, configIfPresent, cwop, cwopPasscodeFile, position, aprsServer,
                           cwopInterval, wunderground, wundergroundKeyFile, wundergroundUrl,
                           pwsweather, pwsweatherKeyFile, pwsweatherUrl, uploadInterval});
        parser.addOptions({noaa, noaaAll, metric, stationName, elevation});
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
        if (name == "--mqtt") return "--mqtt needs a HOST[:PORT]";
        if (name == "--http") return kHttpUsage;
        if (name == "--import") return "--import needs a PATH";
        if (name == "--export") return kExportUsage;
        if (name == "--noaa") return kNoaaUsage;
        if (name == "--station-name") return "--station-name needs a NAME";
        if (name == "--elevation") return kElevationUsage;
        if (name.rfind("--config", 0) == 0) return name + " needs a FILE";
        if (name.rfind("--mqtt-", 0) == 0) return name + " needs a value";
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

// "host" or "host:port" with a port from 1 to 65535.
bool ParseBroker(const std::string& text, MqttOptions& mqtt) {
    const std::size_t colon = text.rfind(':');
    mqtt.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        const char* end = port.data() + port.size();
        const auto [ptr, ec] = std::from_chars(port.data(), end, mqtt.port);
        if (ec != std::errc() || ptr != end || port.empty() || mqtt.port < 1 || mqtt.port > 65535)
            return false;
    }
    return !mqtt.host.empty();
}

// The --mqtt options into options.mqtt; an error message, or empty.
std::string ParseMqtt(LoggerParser& p, LoggerOptions& options) {
    const std::pair<QCommandLineOption*, std::string*> values[] = {
        {&p.mqttPrefix, &options.mqtt.prefix},
        {&p.mqttStationId, &options.mqtt.stationId},
        {&p.mqttUser, &options.mqtt.user},
        {&p.mqttPasswordFile, &options.mqtt.passwordFile},
        {&p.mqttCaFile, &options.mqtt.caFile}};
    for (const auto& [option, value] : values) {
        if (!p.parser.isSet(*option)) continue;
        const std::string name = "--" + option->names()[0].toStdString();
        if (options.mqtt.host.empty() && !p.parser.isSet(p.mqtt))
            return name + " needs --mqtt HOST[:PORT]";
        *value = p.parser.value(*option).toStdString();
        if (value->empty()) return name + " needs a value";
    }
    if (p.parser.isSet(p.mqtt) && !ParseBroker(p.parser.value(p.mqtt).toStdString(), options.mqtt))
        return "--mqtt needs a HOST[:PORT]";
    return {};
}

// --import's paths and --export's kind and dates, which follow them as
// arguments of their own; an error message, or empty.
std::string ParseArchiveCommands(LoggerParser& p, LoggerOptions& options) {
    std::vector<std::string> rest;
    for (const QString& arg : p.parser.positionalArguments()) rest.push_back(arg.toStdString());
    if (p.parser.isSet(p.import)) {
        options.importPaths.push_back(p.parser.value(p.import).toStdString());
        options.importPaths.insert(options.importPaths.end(), rest.begin(), rest.end());
        for (const std::string& path : options.importPaths)
            if (path.empty()) return "--import needs a PATH";
        return {};
    }
    if (p.parser.isSet(p.exportKind)) {
        options.exportKind = p.parser.value(p.exportKind).toStdString();
        if ((options.exportKind != "points" && options.exportKind != "days") || rest.size() != 2 ||
            !IsDate(rest[0]) || !IsDate(rest[1]))
            return kExportUsage;
        options.exportFrom = rest[0];
        options.exportTo = rest[1];
        if (options.exportFrom > options.exportTo) return "--export: FROM is after TO";
        return {};
    }
    if (!rest.empty()) return "unknown option '" + rest[0] + "'";
    return {};
}

// --config or --config-if-present: the file's values, which the other
// options then override.
std::string ParseConfig(LoggerParser& p, LoggerOptions& options) {
    const bool optional = !p.parser.isSet(p.config) && p.parser.isSet(p.configIfPresent);
    if (!p.parser.isSet(p.config) && !optional) return {};
    options.configFile = p.parser.value(optional ? p.configIfPresent : p.config).toStdString();
    ConfigFile config;
    std::string error;
    if (!config.Load(options.configFile, error)) {
        if (optional && config.missing()) return {};
        return error;
    }
    error = ApplyConfigFile(config, options);
    return error.empty() ? error : options.configFile + ": " + error;
}

// The weather networks' options into options.uploads; an error message, or empty.
std::string ParseUploads(LoggerParser& p, LoggerOptions& options) {
    UploadOptions& u = options.uploads;
    const auto text = [&p](QCommandLineOption& option, std::string& out) {
        if (p.parser.isSet(option)) out = p.parser.value(option).toStdString();
    };
    const auto seconds = [&p](QCommandLineOption& option, std::chrono::seconds& out) {
        int value = 0;
        if (!p.parser.isSet(option)) return true;
        if (!ParseFrom1To9999(p.parser.value(option).toStdString(), value)) return false;
        out = std::chrono::seconds(value);
        return true;
    };
    text(p.cwop, u.cwop.id);
    text(p.cwopPasscodeFile, u.cwop.passcodeFile);
    text(p.aprsServer, u.cwop.server);
    text(p.wunderground, u.wunderground.stationId);
    text(p.wundergroundKeyFile, u.wunderground.keyFile);
    text(p.wundergroundUrl, u.wunderground.url);
    text(p.pwsweather, u.pwsweather.stationId);
    text(p.pwsweatherKeyFile, u.pwsweather.keyFile);
    text(p.pwsweatherUrl, u.pwsweather.url);
    if (p.parser.isSet(p.position) &&
        !ParsePosition(p.parser.value(p.position).toStdString(), u.cwop))
        return "--position needs LAT,LON in decimal degrees";
    if (!seconds(p.cwopInterval, u.cwop.timing.interval))
        return "--cwop-interval needs a number of seconds from 1 to 9999";
    if (!seconds(p.uploadInterval, u.wunderground.timing.interval) ||
        !seconds(p.uploadInterval, u.pwsweather.timing.interval))
        return "--upload-interval needs a number of seconds from 1 to 9999";
    if (!u.cwop.id.empty() && !u.cwop.havePosition) return "--cwop needs --position LAT,LON";
    if (!u.cwop.server.empty() && u.cwop.server.find(':') == std::string::npos)
        return "--aprs-server needs HOST:PORT";
    if (!u.wunderground.stationId.empty() && u.wunderground.keyFile.empty())
        return "--wunderground needs --wunderground-key-file FILE";
    if (!u.pwsweather.stationId.empty() && u.pwsweather.keyFile.empty())
        return "--pwsweather needs --pwsweather-key-file FILE";
    return {};
}

// "YYYY" or "YYYY-MM", a year from 1 to 9999 and a month from 1 to 12.
bool IsNoaaPeriod(const std::string& text) {
    const auto digits = [&text](std::size_t from, std::size_t count) {
        for (std::size_t i = from; i < from + count; ++i)
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        return true;
    };
    if ((text.size() != 4 && text.size() != 7) || !digits(0, 4) || std::stoi(text.substr(0, 4)) < 1)
        return false;
    if (text.size() == 4) return true;
    if (text[4] != '-' || !digits(5, 2)) return false;
    const int month = std::stoi(text.substr(5));
    return month >= 1 && month <= 12;
}

// The summaries' options and the station's identity; an error message, or empty.
std::string ParseClimate(LoggerParser& p, LoggerOptions& options) {
    if (p.parser.isSet(p.noaa)) {
        options.noaaPeriod = p.parser.value(p.noaa).toStdString();
        if (!IsNoaaPeriod(options.noaaPeriod)) return kNoaaUsage;
    }
    options.noaaAll = p.parser.isSet(p.noaaAll);
    if (p.parser.isSet(p.metric)) options.metric = true;
    if (p.parser.isSet(p.stationName))
        options.station.name = p.parser.value(p.stationName).toStdString();
    if (p.parser.isSet(p.elevation) &&
        !ParseElevation(p.parser.value(p.elevation).toStdString(), options.station))
        return kElevationUsage;
    // One position for all: the one CWOP sends is the one the summaries name.
    const CwopOptions& cwop = options.uploads.cwop;
    if (cwop.havePosition) {
        options.station.latitude = cwop.latitude;
        options.station.longitude = cwop.longitude;
    }
    return {};
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
    if (std::string error = ParseArchiveCommands(p, options); !error.empty())
        return {options, error};
    if (std::string error = ParseConfig(p, options); !error.empty()) return {options, error};
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
    if (std::string error = ParseMqtt(p, options); !error.empty()) return {options, error};
    if (p.parser.isSet(p.wxnow)) options.wxnow = true;
    if (p.parser.isSet(p.http)) {
        const auto web = ParseListenAddress(p.parser.value(p.http).toStdString());
        if (!web) return {options, kHttpUsage};
        options.web = *web;
    }
    if (std::string error = ParseUploads(p, options); !error.empty()) return {options, error};
    if (std::string error = ParseClimate(p, options); !error.empty()) return {options, error};
    if (options.showHelp || options.showVersion) return parsed;
    const int sources = !options.replayFile.empty() + !options.devicePath.empty() +
                        options.port.has_value() + !options.importPaths.empty() +
                        !options.exportKind.empty() + !options.noaaPeriod.empty() + options.noaaAll;
    if (sources == 0) {
        return {options,
                "nothing to do: give --replay FILE, --device PATH, --port N, --import PATH, "
                "--export, --noaa or --noaa-all"};
    }
    if (sources > 1) {
        return {options,
                "give only one of --replay, --device, --port, --import, --export, --noaa and "
                "--noaa-all"};
    }
    return parsed;
}

std::string LoggerUsage() {
    LoggerParser p;
    QString text = p.parser.helpText();
    text.replace(
        0, text.indexOf(QLatin1Char('\n')),
        "Usage: nimbulo-logger --replay FILE [--year YYYY] [OPTIONS]\n"
        "       nimbulo-logger --device PATH | --port N [--year YYYY] [OPTIONS]\n"
        "       nimbulo-logger --import PATH... [--data-dir DIR]\n"
        "       nimbulo-logger --export points|days FROM TO [--data-dir DIR]\n"
        "       nimbulo-logger --noaa YYYY-MM|YYYY | --noaa-all [--metric] [--data-dir DIR]\n"
        "       nimbulo-logger --help | --version\n");
    text +=
        "\nThe archive nimbulo.db in the data folder keeps every five-minute point and each\n"
        "station day's highs and lows (SQLite; read it with sqlite3 or --export).\n"
        "After each station midnight the summaries of that day's month and year are\n"
        "written again into NOAA/ (with --metric in metric units).\n"
        "\nExit status: 0 on success, 2 for a bad command line, an unreadable FILE, PATH or\n"
        "data folder, unusable MQTT options, no archive to export or summarise, or no\n"
        "data for --noaa's month or year, 3 when the device cannot be opened or goes away\n"
        "(with --no-retry), 4 when a file could not be written, live or in a replay\n"
        "(\"failed writes\" in the summary), or an import could not write the archive or\n"
        "--noaa-all a summary.\n";
    return text.toStdString();
}
