// SPDX-License-Identifier: GPL-3.0-or-later
#include "YearlySummary.h"

#include <array>
#include <cstdio>
#include <vector>

#include "PeriodStats.h"
#include "SummaryLayout.h"

namespace {
using namespace SummaryLayout;

// A month's row names its extremes' day of the month; the year's row their month.
struct Period {
    std::string year, month;
    PeriodStats stats;
    bool isYear = false;

    std::string When(const PeriodStats::Extreme& e) const {
        if (!e.day) return "";
        return isYear ? MonthAbbreviation(e.day->date.month) : std::to_string(e.day->date.day);
    }
};

std::string Threshold(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Direction(std::optional<double> degrees) {
    return degrees ? CompassPointName(*degrees) : "";
}

std::string Count(const Period& p, int count) {
    return p.stats.any ? std::to_string(count) : "";
}

std::string TempRow(const Period& p, const ClimateUnits& u) {
    const PeriodStats& s = p.stats;
    return Row(
        YearlySummary::kTempWidths,
        {p.year, p.month, u.TempText(s.meanHigh), u.TempText(s.meanLow), u.TempText(s.meanTemp),
         DecimalText(s.heatDegreeDays, 1), DecimalText(s.coolDegreeDays, 1),
         u.TempText(s.high.value), p.When(s.high), u.TempText(s.low.value), p.When(s.low),
         Count(p, s.hotDays), Count(p, s.icyDays), Count(p, s.frostDays), Count(p, s.coldDays)});
}

std::string RainRow(const Period& p, const ClimateUnits& u) {
    const PeriodStats& s = p.stats;
    return Row(YearlySummary::kRainWidths,
               {p.year, p.month, u.RainText(s.rain), u.RainText(s.wettest.value), p.When(s.wettest),
                Count(p, s.rainDays[0]), Count(p, s.rainDays[1]), Count(p, s.rainDays[2])});
}

std::string WindRow(const Period& p, const ClimateUnits& u) {
    const PeriodStats& s = p.stats;
    return Row(YearlySummary::kWindWidths,
               {p.year, p.month, u.WindText(s.meanWind), u.WindText(s.windTop.value),
                p.When(s.windTop), Direction(s.dominant)});
}

template <typename Widths, typename MakeRow>
void Table(std::vector<std::string>& lines, const std::string& title, const Widths& widths,
           const std::vector<std::vector<std::string>>& heads, const std::vector<Period>& periods,
           MakeRow row) {
    lines.push_back("");
    lines.push_back(Centred(title, widths));
    lines.push_back("");
    for (const auto& head : heads) lines.push_back(Row(widths, head));
    lines.push_back(Rule(widths));
    for (std::size_t i = 0; i + 1 < periods.size(); ++i) lines.push_back(row(periods[i]));
    lines.push_back(Rule(widths));
    lines.push_back(row(periods.back()));
}
}  // namespace

std::string YearlySummary::Text(int year, std::span<const ClimateDay> days,
                                const StationIdentity& station, const ClimateUnits& u) {
    std::vector<Period> periods;
    std::size_t start = 0;
    const std::string yearText = std::to_string(year);
    for (int month = 1; month <= 12; ++month) {
        std::size_t end = start;
        while (end < days.size() && days[end].date.month == month) ++end;
        char mo[4];
        std::snprintf(mo, sizeof mo, "%02d", month);
        periods.push_back({yearText, mo, PeriodStats::Of(days.subspan(start, end - start), u)});
        start = end;
    }
    periods.push_back({yearText, "", PeriodStats::Of(days, u), true});

    // Each table names its unit.
    std::vector<std::string> lines =
        Head("CLIMATOLOGICAL SUMMARY for year " + yearText, station, "", kTempWidths);
    const std::string hot = Threshold(u.HotMax()), freezing = Threshold(u.Freezing()),
                      cold = Threshold(u.ColdMin());
    Table(lines, std::string("TEMPERATURE (") + u.TempUnit() + ")", kTempWidths,
          {{"", "", "", "", "", "HEAT", "COOL", "", "", "", "", "MAX", "MAX", "MIN", "MIN"},
           {"", "", "MEAN", "MEAN", "", "DEG", "DEG", "", "", "", "", ">=", "<=", "<=", "<="},
           {"YR", "MO", "MAX", "MIN", "MEAN", "DAYS", "DAYS", "HI", "DATE", "LOW", "DATE", hot,
            freezing, freezing, cold}},
          periods, [&u](const Period& p) { return TempRow(p, u); });
    Table(lines, std::string("PRECIPITATION (") + u.RainUnit() + ")", kRainWidths,
          // Over the three counts' columns.
          {{"", "", "", "MAX", "", "   DAYS OF RAIN"},
           {"", "", "", "OBS.", "", "", "OVER", ""},
           {"YR", "MO", "TOTAL", "DAY", "DATE", u.RainThresholdText(0), u.RainThresholdText(1),
            u.RainThresholdText(2)}},
          periods, [&u](const Period& p) { return RainRow(p, u); });
    Table(lines, std::string("WIND SPEED (") + u.WindUnit() + ")", kWindWidths,
          {{"", "", "", "", "", "DOM"}, {"YR", "MO", "AVG.", "HI", "DATE", "DIR"}}, periods,
          [&u](const Period& p) { return WindRow(p, u); });
    return Joined(lines);
}
