// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryFill.h"

void FillFromSource(HistorySource& source, StationMinute from, StationMinute to,
                    StationMinute lookBack, HistoryBuckets& cut, RainBars& rain,
                    StationMinute barMinutes) {
    const auto takePoint = [&](const HistoryPoint& p) {
        cut.Take(p);
        rain.Take(p);
    };
    const auto takeStats = [&](const HistoryStats& s) {
        cut.Take(s);
        rain.Take(s);
    };
    const StationMinute width = cut.width();
    const StationMinute minutes = width % kMinutesPerDay == 0 && barMinutes % kMinutesPerDay == 0
                                      ? kMinutesPerDay
                                  : width % 60 == 0 && barMinutes % 60 == 0 ? 60
                                                                            : 0;
    const StationMinute firstWhole = minutes ? (from + minutes - 1) / minutes * minutes : 0;
    const StationMinute lastWhole = minutes ? (to + 1) / minutes * minutes - 1 : 0;
    if (minutes == 0 || lastWhole < firstWhole) {
        source.ForEachPoint(from - lookBack, to, takePoint);
    } else {
        // Read first, so that a source without statistics reads its points in order.
        std::vector<HistoryPoint> before;
        source.ForEachPoint(from - lookBack, firstWhole - 1,
                            [&](const HistoryPoint& p) { before.push_back(p); });
        for (const HistoryPoint& p : before) takePoint(p);
        if (source.ForEachStats(firstWhole, lastWhole, minutes, takeStats))
            source.ForEachPoint(lastWhole + 1, to, takePoint);
        else
            source.ForEachPoint(firstWhole, to, takePoint);
    }
    cut.Finish();
    rain.Finish();
}
