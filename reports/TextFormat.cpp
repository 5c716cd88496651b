// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFormat.h"

#include <cstdarg>
#include <cstdio>

#include "PointDecimals.h"

std::string FormatText(const char* format, ...) {
    const PointDecimals point;
    char small[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < sizeof small) return std::string(small, length);

    std::string text(static_cast<std::size_t>(length), '\0');
    va_start(args, format);
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

std::string TimeText(int minuteOfDay) {
    return FormatText("%2.2d:%2.2d ", minuteOfDay / 60, minuteOfDay % 60);
}

std::string DateText(const CalendarDate& date, int year) {
    const int weekday = date.Weekday();
    const char* name = (weekday >= 1 && weekday <= 7) ? WeekdayNames[weekday] : "";
    return FormatText("%s %2.2d/%2.2d/%4d", name, date.month, date.day, year);
}
