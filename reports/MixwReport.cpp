// SPDX-License-Identifier: GPL-3.0-or-later
#include "MixwReport.h"

#include "RecordFormat.h"
#include "TextFormat.h"

std::array<std::string, 6> MixwReportLines(const ReportValues& v, int minuteOfDay,
                                           int compassIndex) {
    const bool known = compassIndex >= 0 && compassIndex < 16;
    return {
        "[wxreport]",
        "Time=" + TimeText(minuteOfDay),
        FormatText("TempOutdoor=%d", v.temperature),
        // Plain percent: saturated air is 100 here (only APRS writes it as 00).
        FormatText("HumidityOutdoor=%d", v.humidity),
        FormatText("WindSpeedAvg=%d", v.speed),
        std::string("WindDirAvg=") + (known ? CompassPointNames[compassIndex] : ""),
    };
}

void MixwReport::Write(const FivePointValues& point) {
    file_.Replace(MixwReportLines(point.report, point.minuteOfDay, point.compassIndex));
}
