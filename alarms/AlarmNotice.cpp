// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmNotice.h"

#include <charconv>

const char* AlarmStateWord(const AlarmNotice& notice) {
    switch (notice.kind) {
        case AlarmNotice::Kind::Ended:
            return "ended";
        case AlarmNotice::Kind::Test:
            return "test";
        case AlarmNotice::Kind::Started:
        case AlarmNotice::Kind::Repeated:
            break;
    }
    return "active";
}

std::string AlarmValueText(const AlarmNotice& notice) {
    if (!notice.value) return {};
    const int decimals = notice.unit == "inHg"  ? 3
                         : notice.unit == "in"  ? 2
                         : notice.unit == "min" ? 0
                                                : 1;
    return AlarmNumberText(*notice.value, decimals);
}

std::string AlarmNumberText(double value, int decimals) {
    char text[48];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, ec == std::errc() ? end : text);
}

std::string AlarmTimeText(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string AlarmIsoTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string iso = text;
    if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
    return iso;
}

std::string AlarmNoticeLine(const AlarmNotice& notice) {
    std::string line = notice.alarm + " " + AlarmStateWord(notice);
    if (notice.kind == AlarmNotice::Kind::Ended) {
        line += " at " + AlarmTimeText(notice.time);
    } else if (notice.kind != AlarmNotice::Kind::Test) {
        line += " since " + AlarmTimeText(notice.since);
    }
    if (notice.value) line += ": " + AlarmValueText(notice) + " " + notice.unit;
    if (!notice.detail.empty()) line += " (" + notice.detail + ")";
    return line;
}
