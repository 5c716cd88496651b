// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotItems.h"

const char* const PlotItemTitles[kPlotItemCount] = {
    "Temperature Outdoor", "Temperature Indoor", "Humidity Outdoor",
    "Humidity Indoor",     "Pressure",           "WindSpeed Avg. 1 Min.",
    "Rain - Todays Total",
};

namespace {
int16_t Scaled(double reading, double factor) {
    // Truncate toward zero, then keep the low 16 bits. The readings come from
    // 16-bit fields, so the product always fits an int.
    return static_cast<int16_t>(static_cast<int32_t>(reading * factor));
}

struct PlotSource {
    int16_t FiveMinuteSummary::*field;
    int divisor;
};
constexpr PlotSource kPlotSources[kPlotItemCount] = {
    {&FiveMinuteSummary::tempOutdoorX10, 10},     {&FiveMinuteSummary::tempIndoorX10, 10},
    {&FiveMinuteSummary::humidityOutdoorX10, 10}, {&FiveMinuteSummary::humidityIndoorX10, 10},
    {&FiveMinuteSummary::pressureX100, 100},      {&FiveMinuteSummary::windSpeedAvgX10, 10},
    {&FiveMinuteSummary::rainTodayX100, 100},
};
}  // namespace

FiveMinuteSummary MakeFiveMinuteSummary(const StationState& s) {
    FiveMinuteSummary summary;
    summary.windSpeedAvgX10 = Scaled(s.windSpeedAvg, 10);
    summary.tempOutdoorX10 = Scaled(s.tempOutdoor, 10);
    summary.tempIndoorX10 = Scaled(s.tempIndoor, 10);
    summary.pressureX100 = Scaled(s.pressure, 100);
    summary.humidityOutdoorX10 = Scaled(s.humidityOutdoor, 10);
    summary.humidityIndoorX10 = Scaled(s.humidityIndoor, 10);
    summary.rainTodayX100 = Scaled(s.rainToday, 100);
    return summary;
}

int PlotItemValue(const FiveMinuteSummary& summary, int item) {
    const PlotSource& source = kPlotSources[item];
    return summary.*source.field / source.divisor;
}

PlotSelection SelectPlotItems(const FiveMinuteSummary& summary, const PlotItemFlags& enabled) {
    PlotSelection selection;
    int slot = 0;
    for (int item = 0; item < kPlotItemCount && slot < kPlotSeriesCount; ++item) {
        if (enabled[item] == 0) continue;
        selection.values[slot] = PlotItemValue(summary, item);
        selection.titles[slot] = PlotItemTitles[item];
        ++slot;
    }
    return selection;
}
