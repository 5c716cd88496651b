// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include "UploadOptions.h"

// Decides which five-minute points an uploader takes: the first point once
// the interval since the last one taken has passed, none while a try is
// still under way, and after a failed try the first point once a pause has
// passed that doubles with every failure in a row, up to its cap. Plain
// values and times handed in, so it is checked without waiting.
class UploadSchedule {
  public:
    using Clock = std::chrono::steady_clock;

    explicit UploadSchedule(const UploadTiming& timing);

    bool Due(Clock::time_point now) const;
    void Took(Clock::time_point now);
    void Succeeded();
    void Failed();

  private:
    // Points come every five minutes of the station's clock, which runs a
    // little against the computer's: a point this much early still counts.
    static constexpr std::chrono::seconds kEarly{5};

    UploadTiming timing_;
    bool busy_ = false;
    bool any_ = false;
    Clock::time_point taken_{};
    Clock::time_point next_{};
    Clock::duration pause_;
};
