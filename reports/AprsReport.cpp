// SPDX-License-Identifier: GPL-3.0-or-later
#include "AprsReport.h"

#include "TextFormat.h"

std::string AprsTemperatureField(int temperature) {
    if (temperature >= 0) return FormatText("t%.3d", temperature);
    // APRS gives a negative temperature three characters: the sign and two digits.
    if (temperature < -99) temperature = -99;
    return FormatText("t-%.2d", -temperature);
}

std::string AprsWeatherFields(const ReportValues& v, std::optional<int> rainLastHour) {
    // APRS writes 100 percent as "h00", so a reading below 1 percent (a
    // station without a humidity sensor shows 0) is written as not known.
    const int humidity = v.humidity > 99 ? 0 : v.humidity;
    std::string text = FormatText("%.3d/%.3dg%.3d", v.direction, v.speed, v.gust);
    text += AprsTemperatureField(v.temperature);
    // The report file's line has never carried the last hour: dots there.
    text += rainLastHour ? FormatText("r%.3d", *rainLastHour) : std::string("r...");
    text += "p...";
    text += FormatText("P%.3d", v.rain);
    text += v.humidity < 1 ? std::string("h..") : FormatText("h%.2d", humidity);
    // A station without a barometer sends no pressure field (read as -1); APRS
    // writes an unknown value as dots rather than a negative pressure.
    text += v.pressure < 0 ? std::string("b.....") : FormatText("b%05d", v.pressure);
    return text;
}

std::string AprsWeatherLine(const ReportValues& values) {
    return AprsWeatherFields(values) + "sU2k";
}

void AprsReport::Write(const FivePointValues& point) {
    const std::string lines[2] = {point.line, AprsWeatherLine(point.report)};
    file_.Replace(lines);
}
