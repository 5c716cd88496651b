// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "Archive.h"

// Twenty years of five-minute points ending 2025-12-31 (2.1 million), every
// value present. Writing it takes minutes, so it is kept in the temporary
// folder between runs and shared by the benchmarks that read it.
inline constexpr int kArchiveYears = 20;

// The i-th five-minute point from the day `firstDay`: temperatures and
// humidity following the day, the wind rising and falling, the pressure
// slowly waving, rain in the evening of every fifth day.
inline ArchivePoint BenchPoint(uint32_t firstDay, int i) {
    CalendarDate date;
    date.SetFromDayNumber(firstDay + uint32_t(i / 288));
    const int minute = (i % 288) * 5;
    const double day = std::sin(2 * M_PI * (minute - 240) / 1440.0);
    ArchivePoint p;
    p.date = ArchiveDateText(date);
    p.time = ArchiveTimeText(minute);
    auto& v = p.values;
    v[ArchiveColumns::kTempOutdoor] =
        std::round(450 + 150 * day + 200 * std::sin(i / 16000.0)) / 10;
    v[ArchiveColumns::kTempIndoor] = 68.0;
    v[ArchiveColumns::kHumidityOutdoor] = std::round(70 - 20 * day);
    v[ArchiveColumns::kHumidityIndoor] = 41.5;
    v[ArchiveColumns::kWindSpeedAvg] = std::round(50 + 40 * std::sin(i / 37.0)) / 10;
    v[ArchiveColumns::kGust] = *v[ArchiveColumns::kWindSpeedAvg] + 3;
    v[ArchiveColumns::kDirectionDegrees] = double((i / 7) % 360);
    v[ArchiveColumns::kCompass] = double((i / 7) % 16);
    v[ArchiveColumns::kPressure] = std::round(2992 + 40 * std::sin(i / 900.0)) / 100;
    v[ArchiveColumns::kRainToday] =
        (i % 288) > 200 && (i / 288) % 5 == 0 ? 0.01 * ((i % 288) - 200) : 0;
    return p;
}

inline std::filesystem::path TwentyYearArchive() {
    const auto file = std::filesystem::temp_directory_path() / "nimbulo-web-bench-2.db";
    if (std::filesystem::exists(file)) return file;
    CalendarDate date;
    date.FromDate(1, 1, 2026 - kArchiveYears);
    const uint32_t first = date.dayNumber;
    CalendarDate end;
    end.FromDate(1, 1, 2026);
    const int total = int(end.dayNumber - first) * 288;
    Archive archive(file, Archive::Access::Write);
    std::vector<ArchivePoint> points;
    for (int i = 0; i < total; ++i) {
        points.push_back(BenchPoint(first, i));
        if (points.size() == 100000 || i + 1 == total) {
            archive.Import(points);
            points.clear();
        }
    }
    std::printf("archive written: %d points, %.0f MB\n", total,
                std::filesystem::file_size(file) / 1e6);
    return file;
}
