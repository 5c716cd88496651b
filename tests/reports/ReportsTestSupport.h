#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ChartFeed.h"
#include "StationView.h"

namespace reports_test {

// Runs a test inside a fresh empty directory, the one files are written relative to.
class ScopedWorkDir {
public:
    ScopedWorkDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = std::filesystem::temp_directory_path() /
               ("nimbulo-reports-" + std::to_string(getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~ScopedWorkDir() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path dir_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Sorted entry names of a directory; none when it does not exist.
inline std::vector<std::string> ListDir(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(dir)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// One data-logger record as the instrument sends it. The defaults are a
// 5 December 2002 record: 6.2 mph (5.6 average), raw direction 128 (180
// degrees), 45.3 F / 68.2 F, 1013.2 mbar, 87.0 % / 41.5 %, 0.12 in today.
// The day is the day of the year (1 = 1 January), sent one less.
struct Record {
    int windSpeed = 100, direction = 128, tempOutdoor = 453, rainLongTerm = 0;
    int pressure = 10132, tempIndoor = 682, humidityOutdoor = 870, humidityIndoor = 415;
    int dayOfYear = 339, minuteOfDay = 0, rainToday = 12, windSpeedAvg = 90;

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

// Records everything the processing shows, in order.
class FakeView : public StationView {
public:
    void SetLabelText(int controlId, std::string_view text) override {
        labels[controlId] = std::string(text);
        ++labelWrites[controlId];
        events.push_back("label " + std::to_string(controlId) + " " + std::string(text));
    }
    void ShowCompassPicture(std::string_view name) override {
        events.push_back("compass " + std::string(name));
    }
    void PumpOneMessage() override {
        events.push_back("pump");
        if (auto handler = std::exchange(onPump, nullptr)) handler();  // one nested delivery
    }

    std::map<int, std::string> labels;
    std::map<int, int> labelWrites;
    std::vector<std::string> events;
    std::function<void()> onPump;
};

class FakeChart : public ChartFeed {
public:
    explicit FakeChart(std::vector<std::string>& events) : events_(events) {}
    int SetSeriesValue(int series, int value) override {
        events_.push_back("series " + std::to_string(series) + " " + std::to_string(value));
        return std::exchange(values[series], value);
    }
    void Advance() override {
        ++advances;
        events_.push_back("advance");
    }

    int values[3] = {};
    int advances = 0;

private:
    std::vector<std::string>& events_;
};

}  // namespace reports_test
