// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HistoryBuckets.h"
#include "HistorySource.h"
#include "RainBars.h"

// Fills buckets and rain bars of from..to from a source: the whole hours or
// days inside the period from its statistics where the widths allow and
// the source keeps them, the rest from its points. Same values as every
// point would give; the points of `lookBack` minutes before `from` set the
// rain's start. Both finished.
void FillFromSource(HistorySource& source, StationMinute from, StationMinute to,
                    StationMinute lookBack, HistoryBuckets& cut, RainBars& rain,
                    StationMinute barMinutes);
