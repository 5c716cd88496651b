// SPDX-License-Identifier: GPL-3.0-or-later
#include "MinuteCycle.h"

#include <string>

#include "ControlIds.h"
#include "TextFormat.h"

namespace {
constexpr int kPlotLabelIds[kPlotSeriesCount] = {ControlId::kPlotLabel1, ControlId::kPlotLabel2,
                                                 ControlId::kPlotLabel3};

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kMaxDayOfYear = 366;

int DaysInYear(int year) {
    return IsLeapYear(year) ? 366 : 365;
}
}  // namespace

MinuteCycle::MinuteCycle(StationState& state, StationView& view, ChartFeed& chart,
                         const ProcessingOptions& options, DataLog& dataLog,
                         const Writers& fileWriters, const Writers& liveOutputs, Clock today)
    : state_(state),
      view_(view),
      chart_(chart),
      options_(options),
      dataLog_(dataLog),
      fileWriters_(fileWriters),
      liveOutputs_(liveOutputs),
      today_(std::move(today)) {}

void MinuteCycle::RunMinuteCycle(const char* line) {
    const int minute = state_.raw.minuteOfDay;
    const int day = state_.raw.dayOfYear;
    clockTookRecord_ = false;
    // Line noise in the clock fields must not move the station clock: a
    // minute that is no time of day leaves the clock alone, a day that is no
    // day of the year can neither set up nor change the date.
    if (minute < 0 || minute >= kMinutesPerDay) return;
    const bool dayKnown = day >= 1 && day <= kMaxDayOfYear;
    if (dayKnown) {
        FollowTheDay(day, minute);
    } else if (state_.lastMinute < 0) {
        return;  // nothing to take the date from yet
    }
    clockTookRecord_ = true;
    if (state_.lastMinute == minute) return;
    if (!dayKnown && minute == 0) midnightMissed_ = true;

    state_.lastMinute = minute;
    view_.SetLabelText(ControlId::kTime, TimeText(minute));
    if (minute % 5 != 0) return;
    FiveMinutePoint(line);
}

// The date part of the cycle, for a record whose day is a day of the year.
void MinuteCycle::FollowTheDay(int day, int minute) {
    if (midnightMissed_) {
        // The midnight record's day was noise: the first good day after it
        // dates the new day, also within the same minute.
        DateUpdate(day, minute, true);
    } else if (state_.lastMinute == minute) {
        return;
    } else if (state_.lastMinute < 0) {
        FirstRecordSetUp(day);
        DateUpdate(day, minute, minute == 0);
    } else if (minute == 0) {
        DateUpdate(day, minute, true);
    } else if (IsMissedMidnight(day)) {
        // The midnight record never came: change the day now, or a whole day
        // of lines would carry the previous date.
        DateUpdate(day, minute, true);
    }
}

void MinuteCycle::FirstRecordSetUp(int day) {
    // Month and day come from the station, the year from the computer.
    state_.currentYear = SetUpYear();
    state_.currentDate.FromDayOfYear(day, state_.currentYear);
    stationDay_ = day;
    if (options_.saveData) CreateDataLogDirectory();
}

int MinuteCycle::SetUpYear() {
    return startYear_ ? *startYear_ : today_().year;
}

bool MinuteCycle::IsMissedMidnight(int day) const {
    if (stationDay_ < 1 || day < 1) return false;
    if (day == stationDay_ + 1) return true;
    return day == 1 && stationDay_ >= DaysInYear(state_.currentYear);
}

void MinuteCycle::DateUpdate(int day, int minute, bool takeRecordDay) {
    ++dateUpdates_;
    midnightMissed_ = false;
    if (day == 1 && state_.currentDate.day != 1) {
        ++state_.currentYear;
        state_.currentDate.FromDayOfYear(1, state_.currentYear);
    }
    if (takeRecordDay) {
        state_.currentDate.FromDayOfYear(day, state_.currentYear);
        stationDay_ = day;
    }
    view_.SetLabelText(ControlId::kDate, DateText(state_.currentDate, state_.currentYear));
    if (options_.saveData) dataLog_.OpenDataLog(state_.currentYear, state_.currentDate, minute);
}

void MinuteCycle::FiveMinutePoint(const char* line) {
    ++fiveMinutePoints_;
    PlotSummary();

    const bool saving = options_.saveData != 0;
    // A record handled inside the pump may reuse the buffer that holds line.
    std::string pointLine(line);
    view_.PumpOneMessage();
    // The value is taken after the pump: a nested record of the same minute
    // has replaced the outer one's readings and joined the average.
    if (saving || !liveOutputs_.empty()) {
        const FivePointValues point = FivePointValues::FromState(state_, std::move(pointLine));
        if (saving) {
            for (FivePointWriter* writer : fileWriters_) writer->Write(point);
        }
        for (FivePointWriter* output : liveOutputs_) output->Write(point);
    }

    state_.windDirAvg = 0;
    state_.windDirSamples = 0;
    state_.gust = 0.0;
}

void MinuteCycle::PlotSummary() {
    const PlotSelection selection =
        SelectPlotItems(state_, options_.plotItemEnabled, options_.units);
    plotValues_ = selection.values;
    for (int k = 0; k < kPlotSeriesCount; ++k) {
        view_.SetLabelText(kPlotLabelIds[k], selection.titles[k]);
    }
    for (int k = 0; k < kPlotSeriesCount; ++k) chart_.SetSeriesValue(k, plotValues_[k]);
    chart_.Advance();
}
