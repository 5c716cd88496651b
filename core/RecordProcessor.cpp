// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordProcessor.h"

#include <charconv>
#include <cstring>

#include "ControlIds.h"
#include "FixedFormat.h"
#include "RecordFormat.h"

namespace {
constexpr int16_t kAbsent = -1;

// Fields converted into display units: record field number, multiplier, reading.
struct Conversion {
    int field;
    double multiplier;
    double StationState::*reading;
};
constexpr Conversion kConversions[] = {
    {1, 0.062, &StationState::windSpeed},     {3, 0.1, &StationState::tempOutdoor},
    {4, 0.01, &StationState::rainLongTerm},   {5, 0.002953, &StationState::pressure},
    {6, 0.1, &StationState::tempIndoor},      {7, 0.1, &StationState::humidityOutdoor},
    {8, 0.1, &StationState::humidityIndoor},  {11, 0.01, &StationState::rainToday},
    {12, 0.062, &StationState::windSpeedAvg},
};

// Labels written for every accepted record, in this order.
struct LabelOut {
    int controlId;
    double StationState::*reading;
    int decimals;
};
constexpr LabelOut kLabels[] = {
    {ControlId::kGusts, &StationState::gust, 1},
    {ControlId::kWindSpeed, &StationState::windSpeed, 1},
    {ControlId::kWindSpeedAverage, &StationState::windSpeedAvg, 1},
    {ControlId::kTempOutdoor, &StationState::tempOutdoor, 1},
    {ControlId::kTempIndoor, &StationState::tempIndoor, 1},
    {ControlId::kHumidityOutdoor, &StationState::humidityOutdoor, 1},
    {ControlId::kHumidityIndoor, &StationState::humidityIndoor, 1},
    {ControlId::kRainTodaysTotal, &StationState::rainToday, 2},
    {ControlId::kRainLongTermTotal, &StationState::rainLongTerm, 2},
    {ControlId::kPressure, &StationState::pressure, 2},
};
}  // namespace

RecordProcessor::RecordProcessor(StationState& state, StationView& view)
    : state_(state), view_(view) {}

bool RecordProcessor::ProcessLine(const char* line) {
    if (line[0] != '!' || line[1] != '!') return false;
    if (!CopyDigits(line)) return false;

    ++state_.recordCount;
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, state_.recordCount).ptr;
    view_.SetLabelText(ControlId::kRecords, std::string_view(text, end - text));

    DecodeFields();
    UpdateDirection();
    ConvertUnits();
    if (state_.windSpeed > state_.gust) state_.gust = state_.windSpeed;
    WriteLabels();
    return true;
}

// Copies the digits of a 10-, 11- or 12-field record into hexDigits and marks
// the absent fields; false for any other length.
bool RecordProcessor::CopyDigits(const char* line) {
    const std::size_t length = std::strlen(line);
    if (length != 42 && length != 46 && length != 50) return false;
    std::memcpy(state_.hexDigits, line + 2, length - 2);
    if (length <= 46) state_.hexDigits[44] = '-';
    if (length == 42) state_.hexDigits[40] = '-';
    return true;
}

void RecordProcessor::DecodeFields() {
    directionDecoded_ = -1;
    for (int k = 1; k <= SampleRecord::kFieldCount; ++k) {
        int value = DecodeHex4(state_.hexDigits + 4 * (k - 1));
        if (k == 2) directionDecoded_ = value;
        if (k == 9) value += 1;  // the station counts days from 0
        state_.raw.Field(k) = static_cast<int16_t>(value);
    }
}

void RecordProcessor::UpdateDirection() {
    // The first two digits of the direction are not part of it: the
    // instrument sets them to FF once a direction calibration is entered.
    if (directionDecoded_ < 0) return;
    const int direction = directionDecoded_ & 0xFF;

    state_.compassIndex = CompassIndexOfDirection(direction);

    int d = direction - state_.windDirAvg;
    if (d < -128) d += 256;
    if (d > 128) d -= 256;
    state_.windDirSamples += 1;
    state_.windDirAvg += d / state_.windDirSamples;
    if (state_.windDirAvg < 0) state_.windDirAvg += 256;
    if (state_.windDirAvg > 255) state_.windDirAvg -= 256;

    if (state_.compassIndex != state_.shownCompassIndex) {
        view_.ShowCompassPicture(CompassPointNames[state_.compassIndex]);
        view_.PumpOneMessage();
        // A record processed inside the pump may have moved the compass on;
        // what is shown now is the latest index.
        state_.shownCompassIndex = state_.compassIndex;
    }
}

void RecordProcessor::ConvertUnits() {
    for (const Conversion& c : kConversions) {
        const int16_t raw = state_.raw.Field(c.field);
        if (raw != kAbsent) state_.*c.reading = raw * c.multiplier;
    }
}

void RecordProcessor::WriteLabels() {
    char text[kFixedFormatMax];
    for (const LabelOut& label : kLabels) {
        const int length = FormatFixed(text, state_.*label.reading, label.decimals);
        view_.SetLabelText(label.controlId, std::string_view(text, length));
    }
}
