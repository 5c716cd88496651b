// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// How often a port that could not be opened, or that went away, is tried
// again: often at first, when a replugged adapter or a restarted station is
// likely to be back within moments, then seldom, so that a device gone for
// days costs nothing. Tests shorten the delays.
struct RetrySchedule {
    using Duration = std::chrono::milliseconds;

    bool enabled = true;
    Duration early{std::chrono::seconds(2)};
    Duration earlyPeriod{std::chrono::minutes(1)};
    Duration later{std::chrono::seconds(30)};

    // Never tries again: a lost device stays lost until the port is reopened.
    static RetrySchedule Never() {
        RetrySchedule schedule;
        schedule.enabled = false;
        return schedule;
    }
    // The wait before the next try, `waited` after the device was lost.
    Duration DelayAfter(Duration waited) const { return waited < earlyPeriod ? early : later; }
};
