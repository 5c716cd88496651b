// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ids of the main window's controls that processing writes to.
namespace ControlId {
constexpr int kRecords = 1003;
constexpr int kTempIndoor = 1004;
constexpr int kTempOutdoor = 1006;
constexpr int kHumidityOutdoor = 1007;
constexpr int kHumidityIndoor = 1008;
constexpr int kWindSpeed = 1009;
constexpr int kWindSpeedAverage = 1010;
constexpr int kGusts = 1011;
constexpr int kRainTodaysTotal = 1012;
constexpr int kRainLongTermTotal = 1013;
constexpr int kPressure = 1014;
constexpr int kDate = 1015;
constexpr int kTime = 1017;
constexpr int kCompass = 1018;
constexpr int kChart = 1020;
constexpr int kPlotLabel1 = 1034;
constexpr int kPlotLabel2 = 1035;
constexpr int kPlotLabel3 = 1036;
}  // namespace ControlId
