// SPDX-License-Identifier: GPL-3.0-or-later
#include "WeatherObservation.h"

#include "FivePointValues.h"
#include "RecordFormat.h"

namespace {
constexpr int16_t kAbsent = -1;

// A reading goes out only when the latest record carried its field: one the
// station stopped sending would go out with its last value, or with the
// start value 0 for a sensor never seen.
bool InLatest(const StationState& s, int field) {
    // The direction's first digits may be FF after a calibration, so only
    // its digits tell an absent direction from 0xFFFF.
    if (field == 2) return DecodeHex4(s.hexDigits + 4) >= 0;
    return s.raw.Field(field) != kAbsent;
}

std::optional<double> If(bool present, double value) {
    return present ? std::optional<double>(value) : std::nullopt;
}
}  // namespace

WeatherObservation ObservationFromState(const StationState& s, std::time_t now) {
    WeatherObservation o;
    o.time = now;
    o.windDirection =
        If(InLatest(s, 2) && s.windDirSamples > 0, AverageDirectionDegrees(s.windDirAvg));
    o.windSpeed = If(InLatest(s, 12), s.windSpeedAvg);
    o.windGust = If(InLatest(s, 1), s.gust);
    const bool temperature = InLatest(s, 3);
    o.temperature = If(temperature, s.tempOutdoor);
    // A station without a humidity sensor reads 0 and one without a
    // barometer -1 in the record, as the report files take them.
    const bool humidity = InLatest(s, 7) && s.humidityOutdoor >= 1.0;
    o.humidity = If(humidity, s.humidityOutdoor);
    o.pressure = If(s.raw.pressure > 0, s.pressure);
    o.rainToday = If(InLatest(s, 11), s.rainToday);
    // Derived readings go with the readings they are worked out from.
    if (temperature && humidity) o.dewPoint = s.derived.dewPoint;
    if (InLatest(s, 11) || InLatest(s, 4)) o.rainLastHour = s.derived.rainLastHour;
    return o;
}
