// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"
#include "StationState.h"

// The current readings as one JSON object, each key naming its unit
// ("temperature_outdoor_f"), with the station's date and time and the record
// count, and the derived readings (dew point, feels-like, pressure trend,
// recent rain, today's high and low: "dew_point_f", "pressure_trend", ...).
// A reading whose record field was absent (-1) is left out; a derived reading
// without a value is null. The MQTT state and wxnow.json are this text.
std::string CurrentConditionsJson(const StationState& state);

// "2002-12-05": the station date as ISO 8601.
std::string StationDateJsonText(int year, const CalendarDate& date);
// "14:40" from the minute of the day.
std::string StationTimeJsonText(int minuteOfDay);
