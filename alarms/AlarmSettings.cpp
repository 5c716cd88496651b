// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSettings.h"

#include <charconv>
#include <cmath>

namespace {
struct MinuteKey {
    const char* key;
    int AlarmSettings::*field;
};
constexpr MinuteKey kMinuteKeys[] = {
    {"SilentMinutes", &AlarmSettings::silentMinutes},
    {"FileFaultMinutes", &AlarmSettings::fileFaultMinutes},
    {"UploadFaultMinutes", &AlarmSettings::uploadFaultMinutes},
    {"RepeatMinutes", &AlarmSettings::repeatMinutes},
};

struct LineKey {
    const char* key;
    std::optional<double> AlarmSettings::*field;
    double low;
    double high;
};
constexpr LineKey kLineKeys[] = {
    {"TempHighF", &AlarmSettings::tempHighF, -100, 200},
    {"TempLowF", &AlarmSettings::tempLowF, -100, 200},
    {"GustHighMph", &AlarmSettings::gustHighMph, 1, 250},
    {"RainHourIn", &AlarmSettings::rainHourIn, 0.01, 20},
    {"PressureDrop3hInHg", &AlarmSettings::pressureDrop3hInHg, 0.01, 5},
    {"HumidityHighPct", &AlarmSettings::humidityHighPct, 1, 100},
};

struct TextKey {
    const char* key;
    std::string AlarmSettings::*field;
};
constexpr TextKey kTextKeys[] = {
    {"Command", &AlarmSettings::command},
    {"SmtpServer", &AlarmSettings::smtpServer},
    {"SmtpUser", &AlarmSettings::smtpUser},
    {"SmtpPasswordFile", &AlarmSettings::smtpPasswordFile},
    {"SmtpCaFile", &AlarmSettings::smtpCaFile},
    {"MailFrom", &AlarmSettings::mailFrom},
    {"MailTo", &AlarmSettings::mailTo},
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The shortest text that reads back as value, with a point in every locale.
std::string FormatLimit(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, ec == std::errc() ? end : text);
}

// "host:port" with a port from 1 to 65535.
bool GoodServer(const std::string& value) {
    const auto colon = value.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    int port = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data() + colon + 1, end, port);
    return ec == std::errc() && ptr == end && port >= 1 && port <= 65535;
}
}  // namespace

const std::vector<std::string>& AlarmSettingKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all;
        for (const MinuteKey& k : kMinuteKeys) all.emplace_back(k.key);
        for (const LineKey& k : kLineKeys) all.emplace_back(k.key);
        for (const TextKey& k : kTextKeys) all.emplace_back(k.key);
        return all;
    }();
    return keys;
}

std::string AlarmSettingText(const AlarmSettings& settings, const std::string& key) {
    for (const MinuteKey& k : kMinuteKeys) {
        if (key == k.key) return std::to_string(settings.*k.field);
    }
    for (const LineKey& k : kLineKeys) {
        if (key == k.key) return settings.*k.field ? FormatLimit(*(settings.*k.field)) : "";
    }
    for (const TextKey& k : kTextKeys) {
        if (key == k.key) return settings.*k.field;
    }
    return {};
}

std::string ApplyAlarmSetting(AlarmSettings& settings, const std::string& key,
                              const std::string& raw) {
    const std::string value = Trimmed(raw);
    for (const MinuteKey& k : kMinuteKeys) {
        if (key != k.key) continue;
        int minutes = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, minutes);
        if (value.empty() || ec != std::errc() || ptr != end || minutes < 1 || minutes > 10080)
            return key + " needs a whole number of minutes from 1 to 10080";
        settings.*k.field = minutes;
        return {};
    }
    for (const LineKey& k : kLineKeys) {
        if (key != k.key) continue;
        if (value.empty()) {
            settings.*k.field = std::nullopt;
            return {};
        }
        // from_chars takes a point in every locale: the files are the same everywhere.
        double number = 0.0;
        const char* last = value.data() + value.size();
        const auto [end, ec] = std::from_chars(value.data(), last, number);
        if (ec != std::errc() || end != last || !std::isfinite(number) || number < k.low ||
            number > k.high) {
            return key + " needs a number from " + FormatLimit(k.low) + " to " +
                   FormatLimit(k.high) + ", or nothing for off";
        }
        settings.*k.field = number;
        return {};
    }
    for (const TextKey& k : kTextKeys) {
        if (key != k.key) continue;
        if (key == "SmtpServer" && !value.empty() && !GoodServer(value))
            return key + " needs host:port";
        settings.*k.field = value;
        return {};
    }
    return {};
}
