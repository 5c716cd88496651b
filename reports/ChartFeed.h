// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The strip chart as the five-minute point sees it: three series values,
// then one step.
class ChartFeed {
  public:
    virtual ~ChartFeed() = default;
    // Sets the value series index will plot at the next step; returns the old value.
    virtual int SetSeriesValue(int series, int value) = 0;
    // Scrolls the chart one step and draws the new points.
    virtual void Advance() = 0;
};
