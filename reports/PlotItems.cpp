// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotItems.h"

#include <cmath>

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

// The readings behind the items, for the metric chart, and what is added to
// each so that it lands inside the chart's 0..100: degrees C from -40 to 60,
// hPa from 950 to 1050 (the whole numbers of F, percent and inHg fit as they
// are).
struct PlotReading {
    double StationState::*reading;
    Quantity quantity;
    double metricOffset;
};
constexpr PlotReading kPlotReadings[kPlotItemCount] = {
    {&StationState::tempOutdoor, Quantity::Temperature, kMetricTemperatureOffset},
    {&StationState::tempIndoor, Quantity::Temperature, kMetricTemperatureOffset},
    {&StationState::humidityOutdoor, Quantity::Humidity, 0},
    {&StationState::humidityIndoor, Quantity::Humidity, 0},
    {&StationState::pressure, Quantity::Pressure, kMetricPressureOffset},
    {&StationState::windSpeedAvg, Quantity::Speed, 0},
    {&StationState::rainToday, Quantity::Rain, 0},
};

template <typename ValueOf>
PlotSelection Select(const PlotItemFlags& enabled, ValueOf valueOf) {
    PlotSelection selection;
    int slot = 0;
    for (int item = 0; item < kPlotItemCount && slot < kPlotSeriesCount; ++item) {
        if (enabled[item] == 0) continue;
        selection.values[slot] = valueOf(item);
        selection.titles[slot] = PlotItemTitles[item];
        ++slot;
    }
    return selection;
}
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
    return Select(enabled, [&summary](int item) { return PlotItemValue(summary, item); });
}

PlotSelection SelectPlotItems(const StationState& state, const PlotItemFlags& enabled,
                              const UnitSettings& units) {
    if (!units.Metric()) return SelectPlotItems(MakeFiveMinuteSummary(state), enabled);
    return Select(enabled, [&state](int item) {
        const PlotReading& source = kPlotReadings[item];
        // The whole part of what the label shows: converting back and forth
        // can leave 9.0 km/h as 8.999...
        const double tenths =
            std::round(ToDisplay(source.quantity, state.*source.reading, true) * 10);
        return static_cast<int32_t>(tenths / 10 + source.metricOffset);
    });
}
