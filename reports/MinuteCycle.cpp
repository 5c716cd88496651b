// SPDX-License-Identifier: GPL-3.0-or-later
#include "MinuteCycle.h"

#include <filesystem>
#include <system_error>

#include "AprsReport.h"
#include "ControlIds.h"
#include "MixwReport.h"
#include "TextFormat.h"

namespace {
constexpr int kPlotLabelIds[kPlotSeriesCount] = {ControlId::kPlotLabel1, ControlId::kPlotLabel2,
                                                 ControlId::kPlotLabel3};

void CreateLogDirectory() {
    std::error_code ignored;  // existing already, or impossible: the open then fails quietly
    std::filesystem::create_directory(kDataLogDirectory, ignored);
}

int DaysInYear(int year) {
    return IsLeapYear(year) ? 366 : 365;
}
}  // namespace

MinuteCycle::MinuteCycle(StationState& state, StationView& view, ChartFeed& chart,
                         const PlotItemFlags& plotItemEnabled, Clock today)
    : state_(state),
      view_(view),
      chart_(chart),
      plotItemEnabled_(plotItemEnabled),
      today_(std::move(today)) {}

void MinuteCycle::RunMinuteCycle(const char* line, bool saveData) {
    const int minute = state_.raw.minuteOfDay;
    const int day = state_.raw.dayOfYear;
    if (state_.lastMinute == minute) return;

    if (state_.lastMinute < 0) {
        FirstRecordSetUp(day, saveData);
        DateUpdate(day, minute, minute == 0, saveData);
    } else if (minute == 0) {
        DateUpdate(day, minute, true, saveData);
    } else if (IsMissedMidnight(day)) {
        // The midnight record never came: change the day now, or a whole day
        // of lines would carry the previous date.
        DateUpdate(day, minute, true, saveData);
    }

    state_.lastMinute = minute;
    view_.SetLabelText(ControlId::kTime, TimeText(minute));
    if (minute % 5 != 0) return;
    FiveMinutePoint(line, saveData);
}

void MinuteCycle::FirstRecordSetUp(int day, bool saveData) {
    // The one place the computer's clock is read; month and day come from the station.
    state_.currentYear = today_().year;
    state_.currentDate.FromDayOfYear(day, state_.currentYear);
    stationDay_ = day;
    if (saveData) CreateLogDirectory();
}

bool MinuteCycle::IsMissedMidnight(int day) const {
    if (stationDay_ < 1 || day < 1) return false;
    if (day == stationDay_ + 1) return true;
    return day == 1 && stationDay_ >= DaysInYear(state_.currentYear);
}

void MinuteCycle::DateUpdate(int day, int minute, bool takeRecordDay, bool saveData) {
    ++dateUpdates_;
    if (day == 1 && state_.currentDate.day != 1) {
        ++state_.currentYear;
        state_.currentDate.FromDayOfYear(1, state_.currentYear);
    }
    if (takeRecordDay) {
        state_.currentDate.FromDayOfYear(day, state_.currentYear);
        stationDay_ = day;
    }
    view_.SetLabelText(ControlId::kDate, DateText(state_.currentDate, state_.currentYear));
    if (saveData) OpenLog(minute);
}

void MinuteCycle::OpenLog(int minute) {
    if (dataLog_.OpenDataLog(state_.currentYear, state_.currentDate, minute)) ++logFilesOpened_;
}

void MinuteCycle::FiveMinutePoint(const char* line, bool saveData) {
    ++fiveMinutePoints_;
    state_.windDirAvg = AverageDirectionDegrees(state_.windDirAvg);
    state_.summary = MakeFiveMinuteSummary(state_);
    PlotSummary();

    // A record handled inside the pump may reuse the buffer that holds line.
    std::string pointLine;
    if (saveData) pointLine.assign(line);
    view_.PumpOneMessage();
    // From here on the readings are those after the pump: a nested record of
    // the same minute has replaced the outer one's.
    if (saveData) WriteFiles(pointLine.c_str());

    state_.windDirAvg = 0;
    state_.windDirSamples = 0;
    state_.gust = 0.0;
}

void MinuteCycle::PlotSummary() {
    const PlotSelection selection = SelectPlotItems(state_.summary, plotItemEnabled_);
    plotValues_ = selection.values;
    for (int k = 0; k < kPlotSeriesCount; ++k)
        view_.SetLabelText(kPlotLabelIds[k], selection.titles[k]);
    for (int k = 0; k < kPlotSeriesCount; ++k) chart_.SetSeriesValue(k, plotValues_[k]);
    chart_.Advance();
}

void MinuteCycle::WriteFiles(const char* line) {
    WriteAprsReport(line, state_);
    state_.compassIndex = CompassIndexOfDegrees(state_.windDirAvg);
    WriteMixwReport(state_);
    if (!dataLog_.IsOpen() || !dataLog_.IsForDay(state_.currentYear, state_.currentDate)) {
        // Saving was off when the day's log would have been opened, or that
        // open failed: start the log now rather than lose the lines or give
        // them another day's date.
        CreateLogDirectory();
        OpenLog(state_.raw.minuteOfDay);
    }
    dataLog_.AppendDataLogLine(state_);
}
