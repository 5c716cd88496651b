// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <vector>

#include "AlarmSet.h"

namespace {
// Every weather line on, near the values the records bring, so that the
// alarms start and end as they go.
AlarmSettings AllLines() {
    AlarmSettings s;
    s.tempHighF = 80;
    s.tempLowF = 32;
    s.gustHighMph = 30;
    s.rainHourIn = 0.2;
    s.pressureDrop3hInHg = 0.06;
    s.humidityHighPct = 90;
    return s;
}

std::vector<StationState> Records(int count) {
    std::vector<StationState> records(count);
    for (int i = 0; i < count; ++i) {
        StationState& s = records[i];
        s.tempOutdoor = 20 + (i * 7) % 70;
        s.gust = (i * 3) % 40;
        s.windSpeed = s.gust;
        s.humidityOutdoor = 60 + (i * 11) % 40;
        s.pressure = 29.9;
        s.rainToday = 0.01 * (i % 50);
        s.derived.rainLastHour = 0.01 * (i % 30);
        s.derived.pressureChange3h = -0.001 * (i % 90);
    }
    return records;
}

class Discard : public AlarmNotifier {
  public:
    void Notify(const AlarmNotice& notice) override { benchmark::DoNotOptimize(notice.alarm); }
};

// One record through every alarm (silence, faults, repeats and the six
// weather lines), as the pipeline's listener does it. With changing weather
// the readings cross the lines every few records, so notices are made and
// passed on; with steady weather (the usual case) none is.
void EveryAlarmPerRecord(benchmark::State& state, bool changing) {
    long minute = 0;
    AlarmSet alarms(AllLines(), {[&] { return AlarmSet::Duration(minute * 60'000); },
                                 [&] { return std::time_t(1'800'000'000) + minute * 60; }});
    Discard discard;
    alarms.AddNotifier(discard);
    const std::vector<StationState> records = Records(changing ? 1000 : 1);
    std::size_t i = 0;
    for (auto _ : state) {
        ++minute;
        alarms.OnRecord(records[i]);
        i = (i + 1) % records.size();
    }
}
void BM_EveryAlarmChangingWeather(benchmark::State& state) {
    EveryAlarmPerRecord(state, true);
}
void BM_EveryAlarmSteadyWeather(benchmark::State& state) {
    EveryAlarmPerRecord(state, false);
}
BENCHMARK(BM_EveryAlarmChangingWeather);
BENCHMARK(BM_EveryAlarmSteadyWeather);
}  // namespace
