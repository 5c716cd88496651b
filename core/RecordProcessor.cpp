// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordProcessor.h"

#include <charconv>
#include <cstring>

#include "ControlIds.h"
#include "FixedFormat.h"
#include "RecordFormat.h"

namespace {
constexpr int16_t kAbsent = -1;

// Fields converted into US units: record field number, multiplier, reading.
// A multiplier of 0 marks a rain field, whose count the rain gauge sets.
constexpr double kRainCount = 0.0;
struct Conversion {
    int field;
    double multiplier;
    double StationState::*reading;
};
constexpr Conversion kConversions[] = {
    {1, 0.062, &StationState::windSpeed},         {3, 0.1, &StationState::tempOutdoor},
    {4, kRainCount, &StationState::rainLongTerm}, {5, 0.002953, &StationState::pressure},
    {6, 0.1, &StationState::tempIndoor},          {7, 0.1, &StationState::humidityOutdoor},
    {8, 0.1, &StationState::humidityIndoor},      {11, kRainCount, &StationState::rainToday},
    {12, 0.062, &StationState::windSpeedAvg},
};

// Labels written for every accepted record, in this order.
struct LabelOut {
    int controlId;
    double StationState::*reading;
    Quantity quantity;
};
constexpr LabelOut kLabels[] = {
    {ControlId::kGusts, &StationState::gust, Quantity::Speed},
    {ControlId::kWindSpeed, &StationState::windSpeed, Quantity::Speed},
    {ControlId::kWindSpeedAverage, &StationState::windSpeedAvg, Quantity::Speed},
    {ControlId::kTempOutdoor, &StationState::tempOutdoor, Quantity::Temperature},
    {ControlId::kTempIndoor, &StationState::tempIndoor, Quantity::Temperature},
    {ControlId::kHumidityOutdoor, &StationState::humidityOutdoor, Quantity::Humidity},
    {ControlId::kHumidityIndoor, &StationState::humidityIndoor, Quantity::Humidity},
    {ControlId::kRainTodaysTotal, &StationState::rainToday, Quantity::Rain},
    {ControlId::kRainLongTermTotal, &StationState::rainLongTerm, Quantity::Rain},
    {ControlId::kPressure, &StationState::pressure, Quantity::Pressure},
};
}  // namespace

RecordProcessor::RecordProcessor(StationState& state, StationView& view, const UnitSettings& units)
    : state_(state), view_(view), units_(units) {}

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
        const bool taken = k == 2 ? value >= 0 : state_.raw.Field(k) != kAbsent;
        if (taken) state_.fieldsReceived |= static_cast<uint16_t>(1u << (k - 1));
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
    const double rainMultiplier = units_.RainInchesPerCount();
    for (const Conversion& c : kConversions) {
        const int16_t raw = state_.raw.Field(c.field);
        const double multiplier = c.multiplier == kRainCount ? rainMultiplier : c.multiplier;
        if (raw != kAbsent) state_.*c.reading = raw * multiplier;
    }
}

void RecordProcessor::WriteLabels() {
    for (std::size_t i = 0; i < shown_.size(); ++i) shown_[i] = state_.*kLabels[i].reading;
    ShowReadings();
}

void RecordProcessor::ShowReadings() {
    static_assert(std::size(kLabels) == std::tuple_size_v<decltype(shown_)>);
    char text[kFixedFormatMax];
    const bool metric = units_.Metric();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const LabelOut& label = kLabels[i];
        const double value = ToDisplay(label.quantity, shown_[i], metric);
        const int length = FormatFixed(text, value, LabelDecimals(label.quantity, metric));
        view_.SetLabelText(label.controlId, std::string_view(text, length));
    }
}
