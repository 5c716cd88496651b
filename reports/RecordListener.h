// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StationState.h"

// Told after each record the pipeline has taken (its minute cycle included),
// on the processing thread, in the order the listeners were added. It must
// return quickly: the next record waits for it.
class RecordListener {
  public:
    virtual ~RecordListener() = default;
    virtual void OnRecord(const StationState& state) = 0;
};
