// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The step that follows the readings of every accepted record: the station
// clock, the five-minute point and the files.
class MinuteCycleHook {
  public:
    virtual ~MinuteCycleHook() = default;
    virtual void RunMinuteCycle(const char* line, bool saveData) = 0;
};
