// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "CurrentConditionsJson.h"
#include "MqttPublisher.h"
#include "WxnowJsonWriter.h"

namespace {
// A port of 127.0.0.1 on which nothing listens: a broker that is down.
int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    close(fd);
    return ntohs(a.sin_port);
}

StationState Readings(int i) {
    StationState s;
    s.recordCount = i;
    s.tempOutdoor = 45.3 + i % 10;
    s.pressure = 29.92;
    s.raw.minuteOfDay = static_cast<int16_t>(i % 1440);
    s.currentYear = 2026;
    return s;
}

void BM_MqttOnRecordBrokerDown(benchmark::State& state) {
    MqttOptions options;
    options.host = "127.0.0.1";
    options.port = ClosedPort();
    std::atomic<int> reports{0};
    MqttPublisher publisher(options, [&reports](const std::string&) { ++reports; });
    publisher.Start();
    int i = 0;
    for (auto _ : state) publisher.OnRecord(Readings(++i));
    publisher.Stop();
    state.counters["reports"] = reports.load();
}
BENCHMARK(BM_MqttOnRecordBrokerDown);

// What a five-minute point costs the processing path while the broker is
// away (the queue full, the oldest point dropped at every new one).
void BM_MqttWriteBrokerDown(benchmark::State& state) {
    MqttOptions options;
    options.host = "127.0.0.1";
    options.port = ClosedPort();
    MqttPublisher publisher(options, [](const std::string&) {});
    publisher.Start();
    FivePointValues point;
    point.line = "!!000000BE02EB000027F3000023A1000003E80000000F0000";
    for (int i = 0; i < 3000; ++i) publisher.Write(point);
    for (auto _ : state) publisher.Write(point);
    publisher.Stop();
}
BENCHMARK(BM_MqttWriteBrokerDown);

void BM_CurrentConditionsJson(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(CurrentConditionsJson(Readings(++i)));
}
BENCHMARK(BM_CurrentConditionsJson);

// Records faster than one a second: all but the first are held back.
void BM_WxnowOnRecordHeldBack(benchmark::State& state) {
    const auto file = std::filesystem::temp_directory_path() / "nimbulo-bench-wxnow.json";
    const auto now = std::chrono::steady_clock::now();
    {
        WxnowJsonWriter writer(file, [now] { return now; });
        int i = 0;
        for (auto _ : state) writer.OnRecord(Readings(++i));
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WxnowOnRecordHeldBack);
}  // namespace
