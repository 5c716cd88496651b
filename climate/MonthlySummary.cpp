// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonthlySummary.h"

#include <vector>

#include "PeriodStats.h"
#include "SummaryLayout.h"

namespace {
using namespace SummaryLayout;

const char* const kTitleMonths[12] = {"JAN.", "FEB.", "MAR.", "APR.", "MAY",  "JUNE",
                                      "JULY", "AUG.", "SEP.", "OCT.", "NOV.", "DEC."};

std::string DirectionText(std::optional<double> degrees) {
    return degrees ? CompassPointName(*degrees) : "";
}

std::string DayOf(const PeriodStats::Extreme& e) {
    return e.day ? std::to_string(e.day->date.day) : "";
}

std::string DayRow(const ClimateDay& day, const ClimateUnits& u) {
    const std::string number = std::to_string(day.date.day);
    if (day.Empty()) return Row(MonthlySummary::kWidths, {number});
    const DayFigures f = DayFigures::Of(day, u);
    const auto& r = day.row;
    const auto highTime = r && r->tempOutdoor.high.value ? r->tempOutdoor.high.time : "";
    const auto lowTime = r && r->tempOutdoor.low.value ? r->tempOutdoor.low.time : "";
    const auto windTime = r && r->windSpeedMax.value ? r->windSpeedMax.time : "";
    return Row(
        MonthlySummary::kWidths,
        {number, u.TempText(f.mean), u.TempText(u.Temp(day.High())), highTime,
         u.TempText(u.Temp(day.Low())), lowTime, DecimalText(f.heatDegreeDays, 1),
         DecimalText(f.coolDegreeDays, 1), u.RainText(u.Rain(day.Rain())), u.WindText(f.meanWind),
         u.WindText(u.Wind(day.WindTop())), windTime, DirectionText(f.dominant)});
}
}  // namespace

std::string MonthlySummary::Text(int year, int month, std::span<const ClimateDay> days,
                                 const StationIdentity& station, const ClimateUnits& u) {
    std::vector<std::string> lines =
        Head("MONTHLY CLIMATOLOGICAL SUMMARY for " + std::string(kTitleMonths[month - 1]) + " " +
                 std::to_string(year),
             station,
             std::string("TEMPERATURE (") + u.TempUnit() + "), RAIN (" + u.RainUnit() +
                 "), WIND SPEED (" + u.WindUnit() + ")",
             kWidths);
    lines.push_back(Row(kWidths, {"", "", "", "", "", "", "HEAT", "COOL", "", "AVG"}));
    lines.push_back(
        Row(kWidths, {"", "MEAN", "", "", "", "", "DEG", "DEG", "", "WIND", "", "", "DOM"}));
    lines.push_back(Row(kWidths, {"DAY", "TEMP", "HIGH", "TIME", "LOW", "TIME", "DAYS", "DAYS",
                                  "RAIN", "SPEED", "HIGH", "TIME", "DIR"}));
    lines.push_back(Rule(kWidths));
    for (const ClimateDay& day : days) lines.push_back(DayRow(day, u));
    lines.push_back(Rule(kWidths));
    const PeriodStats s = PeriodStats::Of(days, u);
    lines.push_back(
        Row(kWidths, {"", u.TempText(s.meanTemp), u.TempText(s.high.value), DayOf(s.high),
                      u.TempText(s.low.value), DayOf(s.low), DecimalText(s.heatDegreeDays, 1),
                      DecimalText(s.coolDegreeDays, 1), u.RainText(s.rain), u.WindText(s.meanWind),
                      u.WindText(s.windTop.value), DayOf(s.windTop), DirectionText(s.dominant)}));
    return Joined(lines);
}
