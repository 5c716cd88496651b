// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClimateReports.h"

#include <algorithm>
#include <span>

#include "MonthlySummary.h"
#include "YearlySummary.h"

namespace {
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

CalendarDate Date(int year, int month, int day) {
    CalendarDate date;
    date.FromDate(month, day, year);
    return date;
}

bool HasData(std::span<const ClimateDay> days) {
    return std::any_of(days.begin(), days.end(), [](const ClimateDay& d) { return !d.Empty(); });
}
}  // namespace

ClimateReports::ClimateReports(Archive& archive, StationIdentity station, bool metric)
    : archive_(archive), station_(std::move(station)), units_(metric) {}

std::optional<std::string> ClimateReports::MonthText(int year, int month) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return std::nullopt;
    const std::vector<ClimateDay> days = ReadClimateDays(
        archive_, Date(year, month, 1), Date(year, month, DaysInMonth(month, year)), cache_);
    if (!HasData(days)) return std::nullopt;
    return MonthlySummary::Text(year, month, days, station_, units_);
}

std::optional<std::string> ClimateReports::YearText(int year) {
    if (year < kFirstYear || year > kLastYear) return std::nullopt;
    const std::vector<ClimateDay> days =
        ReadClimateDays(archive_, Date(year, 1, 1), Date(year, 12, 31), cache_);
    if (!HasData(days)) return std::nullopt;
    return YearlySummary::Text(year, days, station_, units_);
}

ClimateReports::YearTexts ClimateReports::AllOfYear(int year) {
    YearTexts texts;
    if (year < kFirstYear || year > kLastYear) return texts;
    const std::vector<ClimateDay> days =
        ReadClimateDays(archive_, Date(year, 1, 1), Date(year, 12, 31), cache_);
    if (!HasData(days)) return texts;
    texts.year = YearlySummary::Text(year, days, station_, units_);
    const std::span<const ClimateDay> all(days);
    std::size_t start = 0;
    for (int month = 1; month <= 12; ++month) {
        const std::size_t count = static_cast<std::size_t>(DaysInMonth(month, year));
        const auto monthDays = all.subspan(start, std::min(count, all.size() - start));
        if (HasData(monthDays))
            texts.months.emplace_back(
                month, MonthlySummary::Text(year, month, monthDays, station_, units_));
        start += monthDays.size();
    }
    return texts;
}

std::vector<std::pair<int, int>> ClimateReports::MonthsWithData() {
    std::vector<std::pair<int, int>> months;
    for (const DaySummary& day : archive_.ReadDays("0001-01-01", "9999-12-31")) {
        const std::pair<int, int> month{day.date.year, day.date.month};
        if (months.empty() || months.back() != month) months.push_back(month);
    }
    return months;
}

std::vector<int> ClimateReports::YearsWithData() {
    std::vector<int> years;
    for (const auto& [year, month] : MonthsWithData())
        if (years.empty() || years.back() != year) years.push_back(year);
    return years;
}
