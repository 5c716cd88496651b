#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "CalendarDate.h"
#include "ChartFeed.h"
#include "StationView.h"

namespace reports_test {

// Runs a test inside a fresh empty directory, the working directory that the
// files are written relative to.
class ScopedWorkDir {
public:
    ScopedWorkDir() : previous_(std::filesystem::current_path()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
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
    const std::filesystem::path& path() const { return dir_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Names of the entries of a directory, sorted, "" for the directory itself
// when it does not exist.
inline std::vector<std::string> ListDir(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(dir)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The fields of one data-logger record as the instrument sends them; the
// day is given as the day of the year (1 = 1 January) and written one less,
// as the instrument counts.
struct Record {
    int windSpeed = 0;      // 0.1 km/h
    int direction = 0;      // 0..255
    int tempOutdoor = 0;    // 0.1 F
    int rainLongTerm = 0;   // 0.01 in
    int pressure = 10132;   // 0.1 mbar
    int tempIndoor = 700;   // 0.1 F
    int humidityOutdoor = 500;
    int humidityIndoor = 400;
    int dayOfYear = 1;
    int minuteOfDay = 0;
    int rainToday = 0;      // 0.01 in
    int windSpeedAvg = 0;   // 0.1 km/h

    std::string Line() const {
        const int fields[12] = {windSpeed,       direction,      tempOutdoor, rainLongTerm,
                                pressure,        tempIndoor,     humidityOutdoor,
                                humidityIndoor,  dayOfYear - 1,  minuteOfDay, rainToday,
                                windSpeedAvg};
        std::string line = "!!";
        char hex[8];
        for (int field : fields) {
            std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(field) & 0xFFFFu);
            line += hex;
        }
        return line;
    }
};

inline int Minute(int hours, int minutes) { return hours * 60 + minutes; }

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
        ++pumps;
        events.push_back("pump");
        if (onPump) {
            auto handler = std::move(onPump);  // one nested delivery only
            onPump = nullptr;
            handler();
        }
    }

    std::map<int, std::string> labels;
    std::map<int, int> labelWrites;
    std::vector<std::string> events;
    int pumps = 0;
    std::function<void()> onPump;
};

class FakeChart : public ChartFeed {
public:
    explicit FakeChart(std::vector<std::string>* events = nullptr) : events_(events) {}
    int SetSeriesValue(int series, int value) override {
        const int old = values[series];
        values[series] = value;
        if (events_) events_->push_back("series " + std::to_string(series) + " " + std::to_string(value));
        return old;
    }
    void Advance() override {
        ++advances;
        if (events_) events_->push_back("advance");
    }

    int values[3] = {};
    int advances = 0;

private:
    std::vector<std::string>* events_;
};

// A computer clock that always says 1 January of `year` and counts its reads.
struct FixedClock {
    int year = 2002;
    int reads = 0;
    CalendarDate operator()() {
        ++reads;
        CalendarDate date;
        date.FromDate(1, 1, year);
        return date;
    }
};

}  // namespace reports_test
