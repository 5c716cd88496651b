// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryPoint.h"

StationMinute ToStationMinute(const CalendarDate& date, int minuteOfDay) {
    return StationMinute(date.ComputeDayNumber()) * kMinutesPerDay + minuteOfDay;
}

CalendarDate DateOfStationMinute(StationMinute minute) {
    CalendarDate date;
    date.SetFromDayNumber(uint32_t(minute / kMinutesPerDay));
    return date;
}

int MinuteOfDay(StationMinute minute) {
    return int(minute % kMinutesPerDay);
}
