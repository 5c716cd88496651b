// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"

// printf into a std::string of whatever length the text needs, numbers
// with a decimal point whatever the locale.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The station time shown in the window and the MixW report: "%2.2d:%2.2d "
// from the minute of the day, with its trailing blank ("10:05 ", "00:-01 ").
std::string TimeText(int minuteOfDay);

// The station date shown in the window: weekday, month/day/year ("Tue 01/01/2002").
std::string DateText(const CalendarDate& date, int year);
