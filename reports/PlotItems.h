// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "StationState.h"
#include "UnitSettings.h"

// The readings at a five-minute point scaled by 10 or 100 and kept as signed
// 16-bit integers (the fraction truncated toward zero): what the chart plots.
struct FiveMinuteSummary {
    int16_t windSpeedAvgX10 = 0;
    int16_t tempOutdoorX10 = 0;
    int16_t tempIndoorX10 = 0;
    int16_t pressureX100 = 0;
    int16_t humidityOutdoorX10 = 0;
    int16_t humidityIndoorX10 = 0;
    int16_t rainTodayX100 = 0;
};

// The plottable quantities, in the order of the Options check boxes:
// outdoor and indoor temperature, outdoor and indoor humidity, pressure,
// one-minute average wind speed, today's rain.
inline constexpr int kPlotItemCount = 7;
inline constexpr int kPlotSeriesCount = 3;
using PlotItemFlags = std::array<int32_t, kPlotItemCount>;

extern const char* const PlotItemTitles[kPlotItemCount];

// The readings scaled by 10 or 100, truncated toward zero, kept as 16 bits.
FiveMinuteSummary MakeFiveMinuteSummary(const StationState& state);

// Item 0..6 in chart units: its summary field divided by 10 or 100,
// truncated toward zero (whole degrees, percent, inHg, mph, inches).
int PlotItemValue(const FiveMinuteSummary& summary, int item);

// The first three enabled items fill the three series; slots left over get
// 0 and an empty title.
struct PlotSelection {
    std::array<int32_t, kPlotSeriesCount> values{};
    std::array<std::string_view, kPlotSeriesCount> titles{};
};
PlotSelection SelectPlotItems(const FiveMinuteSummary& summary, const PlotItemFlags& enabled);
// The same from the readings in the chosen units: US as above; metric takes
// each reading in km/h, degrees C, percent, hPa or mm as its label shows it,
// moves temperatures and pressure into the chart's 0..100 (degrees C + 40,
// hPa - 950) and truncates toward zero.
inline constexpr double kMetricTemperatureOffset = 40;
inline constexpr double kMetricPressureOffset = -950;
PlotSelection SelectPlotItems(const StationState& state, const PlotItemFlags& enabled,
                              const UnitSettings& units);
