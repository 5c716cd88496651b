// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PlotItems.h"
#include "UnitSettings.h"

// What the user chooses about processing: the Options dialog edits it, the
// window stores it, the pipeline reads it afresh for every record.
struct ProcessingOptions {
    // Check-box states as stored (0 off, 1 on, 2 indeterminate, which also
    // saves): kept as they are so that Exit stores back what it loaded.
    int32_t saveData = 0;             // write the data log and the report files
    PlotItemFlags plotItemEnabled{};  // which quantities the chart plots
    UnitSettings units{};             // what the labels and chart show; the rain gauge

    bool operator==(const ProcessingOptions&) const = default;
};
