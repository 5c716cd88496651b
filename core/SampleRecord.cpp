// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleRecord.h"

namespace {
constexpr int16_t SampleRecord::*kFields[SampleRecord::kFieldCount] = {
    &SampleRecord::windSpeed,       &SampleRecord::windDirection,  &SampleRecord::tempOutdoor,
    &SampleRecord::rainLongTerm,    &SampleRecord::pressure,       &SampleRecord::tempIndoor,
    &SampleRecord::humidityOutdoor, &SampleRecord::humidityIndoor, &SampleRecord::dayOfYear,
    &SampleRecord::minuteOfDay,     &SampleRecord::rainToday,      &SampleRecord::windSpeedAvg,
};
}  // namespace

int16_t& SampleRecord::Field(int k) {
    return this->*kFields[k - 1];
}

int16_t SampleRecord::Field(int k) const {
    return this->*kFields[k - 1];
}
