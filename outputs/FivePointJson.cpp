// SPDX-License-Identifier: GPL-3.0-or-later
#include "FivePointJson.h"

#include "CurrentConditionsJson.h"
#include "JsonObject.h"

std::string FivePointJson(const FivePointValues& p) {
    JsonObject json;
    json.AddString("station_date", StationDateJsonText(p.year, p.date))
        .AddString("station_time", StationTimeJsonText(p.minuteOfDay))
        .AddNumber("wind_speed_avg_mph", p.windSpeedAvg, 1)
        .AddInteger("wind_direction_avg_compass", p.compassIndex)
        .AddInteger("wind_direction_avg_deg", p.directionDegrees)
        .AddNumber("wind_gust_mph", p.gust, 1)
        .AddNumber("temperature_outdoor_f", p.tempOutdoor, 1)
        .AddNumber("temperature_indoor_f", p.tempIndoor, 1)
        .AddNumber("pressure_inhg", p.pressure, 2)
        .AddNumber("humidity_outdoor_pct", p.humidityOutdoor, 1)
        .AddNumber("humidity_indoor_pct", p.humidityIndoor, 1)
        .AddNumber("rain_today_in", p.rainToday, 2);
    return json.Text();
}
