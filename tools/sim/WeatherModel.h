// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

#include "SimRecord.h"
#include "StationClock.h"

// Plausible, slowly varying weather for the simulator: a seasonal and daily
// temperature curve, humidity that follows it through a dew point, gusty wind
// whose direction turns through all sixteen compass points twice a day,
// drifting pressure, and one rain shower each afternoon.
class WeatherModel {
  public:
    explicit WeatherModel(uint32_t seed);

    // Moves the weather on by elapsedSeconds of station time ending at clock
    // and returns the record the instrument would send then.
    RecordFields Next(const StationClock& clock, double elapsedSeconds);

    // Time of the day's shower, in seconds since midnight.
    double showerStart() const { return showerStart_; }
    static constexpr double kShowerLength = 45 * 60.0;

  private:
    // An Ornstein-Uhlenbeck step: relaxes toward 0 with time constant tau and
    // keeps a standard deviation of sigma.
    double Wander(double value, double sigma, double tau, double dt);
    double Gaussian() { return normal_(random_); }
    void UpdateRain(const StationClock& clock, double dt);

    std::mt19937 random_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    double tempNoise_ = 0;       // degrees F
    double dewNoise_ = 0;        // degrees F
    double pressureDrift_ = 0;   // mbar
    double windMean_ = 12;       // km/h
    double windAverage_ = -1;    // km/h, the instrument's one-minute average
    double directionNoise_ = 0;  // direction units
    double rainToday_ = 0;       // inches
    double rainLongTerm_ = 12.34;
    int rainDay_ = -1;
    double showerStart_;
};
