// SPDX-License-Identifier: GPL-3.0-or-later
#include "UploadSchedule.h"

#include <algorithm>

UploadSchedule::UploadSchedule(const UploadTiming& timing)
    : timing_(timing), pause_(timing.firstRetryPause) {}

bool UploadSchedule::Due(Clock::time_point now) const {
    return !busy_ && (!any_ || now + kEarly >= next_);
}

void UploadSchedule::Took(Clock::time_point now) {
    busy_ = true;
    any_ = true;
    taken_ = now;
}

void UploadSchedule::Succeeded() {
    busy_ = false;
    next_ = taken_ + timing_.interval;
    pause_ = timing_.firstRetryPause;
}

void UploadSchedule::Failed() {
    busy_ = false;
    next_ = taken_ + std::max<Clock::duration>(pause_, timing_.interval);
    pause_ = std::min<Clock::duration>(pause_ * 2, timing_.maxRetryPause);
}
