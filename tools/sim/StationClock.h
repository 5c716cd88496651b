// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The instrument's own clock: year, day of the year as the instrument counts
// it (0 is 1 January) and seconds since midnight. It can run at any pace.
class StationClock {
  public:
    StationClock(int year, int dayOfYear, double secondOfDay);

    void Advance(double seconds);

    int year() const { return year_; }
    int dayOfYear() const { return dayOfYear_; }
    double secondOfDay() const { return secondOfDay_; }
    int minuteOfDay() const { return static_cast<int>(secondOfDay_ / 60.0); }

    static bool IsLeapYear(int year);
    static int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

  private:
    int year_;
    int dayOfYear_;
    double secondOfDay_;
};
