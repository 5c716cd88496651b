// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ChartFeed.h"
#include "StationView.h"

namespace reports_test {

// Runs a test inside a fresh empty directory, the one files are written relative to.
class ScopedWorkDir {
  public:
    ScopedWorkDir() {
        std::string name = (std::filesystem::temp_directory_path() / "nimbulo-reports-XXXXXX");
        dir_ = mkdtemp(name.data());
        std::filesystem::current_path(dir_);
    }
    ~ScopedWorkDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

  private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path dir_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    if (std::filesystem::is_directory(path)) return "<directory>";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file and directory under dir, as sorted paths relative to it; none
// when dir does not exist.
inline std::vector<std::string> Entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(dir)) return names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        names.push_back(std::filesystem::relative(entry.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// One data-logger record as the instrument sends it. The defaults are a
// 5 December 2002 record: 6.2 mph (5.6 average), raw direction 128 (180
// degrees), 45.3 F / 68.2 F, 1013.2 mbar, 87.0 % / 41.5 %, 0.12 in today.
// The day is the day of the year (1 = 1 January), sent one less.
struct Record {
    int dayOfYear = 339, minuteOfDay = 0;
    int windSpeed = 100, direction = 128, tempOutdoor = 453, rainLongTerm = 0;
    int pressure = 10132, tempIndoor = 682, humidityOutdoor = 870, humidityIndoor = 415;
    int rainToday = 12, windSpeedAvg = 90;

    std::string Line() const {
        std::string line = "!!";
        char hex[8];
        for (int field : {windSpeed, direction, tempOutdoor, rainLongTerm, pressure, tempIndoor,
                          humidityOutdoor, humidityIndoor, dayOfYear - 1, minuteOfDay, rainToday,
                          windSpeedAvg}) {
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(field) & 0xFFFFu);
            line += hex;
        }
        return line;
    }
};

// The window and its chart: records everything shown, in order.
class FakeStation : public StationView, public ChartFeed {
  public:
    void SetLabelText(int controlId, std::string_view text) override {
        labels[controlId] = std::string(text);
        events.push_back("label " + std::to_string(controlId) + " " + std::string(text));
    }
    void ShowCompassPicture(std::string_view name) override {
        events.push_back("compass " + std::string(name));
    }
    void PumpOneMessage() override {
        events.push_back("pump");
        if (auto handler = std::exchange(onPump, nullptr)) handler();  // one nested delivery
    }
    int SetSeriesValue(int series, int value) override {
        events.push_back("series " + std::to_string(series) + " " + std::to_string(value));
        return 0;
    }
    void Advance() override { events.push_back("advance"); }
    long Count(const std::string& event) const {
        return std::count(events.begin(), events.end(), event);
    }

    std::map<int, std::string> labels;
    std::vector<std::string> events;
    std::function<void()> onPump;
};

}  // namespace reports_test
