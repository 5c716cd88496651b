// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FivePointValues.h"

// One output of the five-minute point. The writers run in the order of the
// pipeline's list and read nothing but the point's value.
class FivePointWriter {
  public:
    virtual ~FivePointWriter() = default;
    virtual void Write(const FivePointValues& point) = 0;
    // Points come back to back while true (a replay): a file that is
    // replaced whole may then skip versions no reader would see, but must
    // be up to date once the burst ends.
    virtual void SetBurst(bool /*burst*/) {}
};
