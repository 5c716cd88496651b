// SPDX-License-Identifier: GPL-3.0-or-later
#include "WeatherModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDay = 86400.0;

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

double FahrenheitToCelsius(double f) {
    return (f - 32.0) * 5.0 / 9.0;
}

// Relative humidity in percent from temperature and dew point (Magnus formula).
double RelativeHumidity(double tempF, double dewF) {
    auto vapour = [](double c) { return std::exp(17.625 * c / (243.04 + c)); };
    return 100.0 * vapour(FahrenheitToCelsius(dewF)) / vapour(FahrenheitToCelsius(tempF));
}

// 0 outside the shower, rising to 1 and back within it.
double ShowerStrength(double second, double start) {
    double into = second - start;
    if (into < 0 || into > WeatherModel::kShowerLength) return 0;
    return std::sin(kPi * into / WeatherModel::kShowerLength);
}

}  // namespace

WeatherModel::WeatherModel(uint32_t seed) : random_(seed) {
    std::uniform_real_distribution<double> start(13.0 * 3600, 17.0 * 3600);
    showerStart_ = start(random_);
    windMean_ = 12 + 4 * Gaussian();
}

double WeatherModel::Wander(double value, double sigma, double tau, double dt) {
    double keep = std::exp(-dt / tau);
    return value * keep + sigma * std::sqrt(1 - keep * keep) * Gaussian();
}

void WeatherModel::UpdateRain(const StationClock& clock, double dt) {
    if (clock.dayOfYear() != rainDay_) {
        rainDay_ = clock.dayOfYear();
        rainToday_ = 0;
    }
    // The rate follows ShowerStrength, peaking at kPeakRate; integrated over the
    // elapsed part of today so that a coarse clock step cannot skip the shower.
    constexpr double kPeakRate = 0.7 / 3600.0;  // inches per second
    const double length = kShowerLength;
    auto into = [&](double s) { return std::clamp(s - showerStart_, 0.0, length); };
    double from = into(std::max(clock.secondOfDay() - dt, 0.0));
    double to = into(clock.secondOfDay());
    double fallen =
        kPeakRate * length / kPi * (std::cos(kPi * from / length) - std::cos(kPi * to / length));
    rainToday_ += fallen;
    rainLongTerm_ += fallen;
}

RecordFields WeatherModel::Next(const StationClock& clock, double dt) {
    dt = std::max(dt, 0.0);
    double second = clock.secondOfDay();
    double dayAngle = 2 * kPi * second / kDay;
    double shower = ShowerStrength(second, showerStart_);

    tempNoise_ = Wander(tempNoise_, 1.5, 3 * 3600, dt);
    dewNoise_ = Wander(dewNoise_, 2.0, 6 * 3600, dt);
    pressureDrift_ = Wander(pressureDrift_, 6.0, 2 * kDay, dt);
    windMean_ = 12 + Wander(windMean_ - 12, 6.0, 3600, dt);
    directionNoise_ = Wander(directionNoise_, 8.0, 120, dt);

    // Coldest before dawn, warmest mid-afternoon, a cool summer and a mild winter.
    double seasonal = 55 - 20 * std::cos(2 * kPi * (clock.dayOfYear() - 15) / 365.0);
    double tempOut =
        seasonal + 9 * std::cos(dayAngle - 2 * kPi * 15 / 24.0) + tempNoise_ - 6 * shower;
    double dew = std::min(seasonal - 10 + dewNoise_ + 10 * shower, tempOut);
    double humidityOut = std::clamp(RelativeHumidity(tempOut, dew), 5.0, 100.0);
    double tempIn = 70 + 1.5 * std::sin(dayAngle - kPi / 2) + 0.2 * tempNoise_;
    double humidityIn = std::clamp(40 + 0.3 * (humidityOut - 60) / 4, 25.0, 60.0);
    double pressure = std::clamp(
        1013.2 + pressureDrift_ + 0.6 * std::cos(2 * dayAngle) - 3 * shower, 960.0, 1050.0);

    double mean = std::max(windMean_, 0.0) + 10 * shower;
    double speed = std::max(0.0, mean * (1 + 0.35 * Gaussian()));
    windAverage_ =
        windAverage_ < 0 ? speed : windAverage_ + (speed - windAverage_) * (1 - std::exp(-dt / 60));
    // The wind backs all the way round every twelve hours of station time.
    double direction = 256.0 * second / (kDay / 2) + directionNoise_;
    int directionRaw = ((Round(direction) % 256) + 256) % 256;

    UpdateRain(clock, dt);

    return {Round(speed * 10),
            directionRaw,
            Round(tempOut * 10),
            static_cast<int>(rainLongTerm_ * 100 + 1e-9),
            Round(pressure * 10),
            Round(tempIn * 10),
            Round(humidityOut * 10),
            Round(humidityIn * 10),
            clock.dayOfYear(),
            clock.minuteOfDay(),
            static_cast<int>(rainToday_ * 100 + 1e-9),
            Round(windAverage_ * 10)};
}
