// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChartFeed.h"

// A chart nobody sees.
class HeadlessChart : public ChartFeed {
  public:
    int SetSeriesValue(int, int) override { return 0; }
    void Advance() override {}
};
