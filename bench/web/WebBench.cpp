// SPDX-License-Identifier: GPL-3.0-or-later
// The web server's costs, printed: the HTTP library chosen against the
// other candidate on the same answer; /api/history for a year and for all
// time on a twenty-year archive (2.1 million points, written first); a
// record reaching 100 open event streams; what 100 idle streams cost in CPU;
// the server's resident memory. Goals: year < 50 ms, all time < 100 ms,
// fan-out < 200 ms, idle < 1 % of a core, memory < 10 MB.
//   cmake --build build --target web_bench && build/bench/web/web_bench
#include <httplib.h>
#include <poll.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Archive.h"
#include "ArchiveHistorySource.h"
#include "HistoryJson.h"
#include "HttpProbe.h"
#include "StationState.h"
#include "TwentyYearArchive.h"
#include "WebServer.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using web_test::Connection;

namespace {

constexpr int kStreams = 100;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:")) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void History(const fs::path& file) {
    ArchiveHistorySource source(file);
    struct Span {
        const char* name;
        int fromYear;
        double goal;
    };
    for (const Span span :
         {Span{"a year", 2025, 50}, Span{"all time", 2026 - kArchiveYears, 100}}) {
        CalendarDate from, to;
        from.FromDate(1, 1, span.fromYear);
        to.FromDate(12, 31, 2025);
        std::vector<double> times;
        std::size_t bytes = 0;
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            bytes = HistoryJson::History(source, from, to, 2000).size();
            times.push_back(Ms(Clock::now() - start));
        }
        std::printf("/api/history for %s, 2000 buckets: median %.1f ms (goal < %.0f), %zu bytes\n",
                    span.name, Median(times), span.goal, bytes);
    }
}

// Sequential requests, a connection each, as a page's fetches come.
double RequestsPerSecond(int port, const char* target) {
    constexpr int kRequests = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < kRequests; ++i)
        if (web_test::Fetch(port, target).status != 200) return 0;
    return kRequests / std::chrono::duration<double>(Clock::now() - start).count();
}

void Libraries(LiveStore& live) {
    const double before = ResidentMb();
    WebServer civet(live, nullptr, nullptr);
    WebSettings settings;
    settings.port = 0;
    std::string error;
    civet.Start(settings, error, {});
    const double civetMb = ResidentMb() - before;
    std::printf("civetweb: %.0f requests/s on /api/current, %.1f MB resident for 72 workers\n",
                RequestsPerSecond(civet.port(), "/api/current"), civetMb);
    civet.Stop();

    const double before2 = ResidentMb();
    httplib::Server other;
    other.new_task_queue = [] { return new httplib::ThreadPool(72); };
    other.Get("/api/current", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(live.CurrentJson(), "application/json");
    });
    const int port = other.bind_to_any_port("127.0.0.1");
    std::thread runner([&] { other.listen_after_bind(); });
    while (!other.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double otherMb = ResidentMb() - before2;
    std::printf("cpp-httplib: %.0f requests/s on /api/current, %.1f MB resident for 72 workers\n",
                RequestsPerSecond(port, "/api/current"), otherMb);
    other.stop();
    runner.join();
}

StationState Record(double tempF) {
    StationState state;
    state.raw.tempOutdoor = 1;
    state.tempOutdoor = tempF;
    return state;
}

void Streams(LiveStore& live) {
    const double before = ResidentMb();
    WebServer::Limits limits;
    limits.maxStreams = kStreams;
    WebServer server(live, nullptr, nullptr, limits);
    WebSettings settings;
    settings.port = 0;
    std::string error;
    server.Start(settings, error, {});
    std::vector<std::unique_ptr<Connection>> streams;
    for (int i = 0; i < kStreams; ++i) {
        streams.push_back(std::make_unique<Connection>(server.port()));
        streams.back()->Send("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        streams.back()->ReadUntil("units_hint");
        streams.back()->Forget();
    }
    std::printf("open streams: %d\n", server.openStreams());
    std::printf("resident memory of the server with %d streams: %.1f MB (goal < 10)\n", kStreams,
                ResidentMb() - before);

    std::vector<double> times;
    for (int round = 0; round < 20; ++round) {
        const std::string marker = std::to_string(100.0 + round).substr(0, 5);
        const auto start = Clock::now();
        live.OnRecord(Record(100.0 + round));
        for (auto& stream : streams) stream->ReadUntil(marker);
        times.push_back(Ms(Clock::now() - start));
        for (auto& stream : streams) stream->Forget();
    }
    std::printf("a record reaching %d streams: median %.2f ms, worst %.2f ms (goal < 200)\n",
                kStreams, Median(times), *std::max_element(times.begin(), times.end()));

    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double share =
        (CpuSeconds() - cpu) / std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%d idle streams: %.3f %% of a core (goal < 1)\n", kStreams, share * 100);
    server.Stop();
}

}  // namespace

int main() {
    LiveStore live;
    live.OnRecord(Record(41.2));
    Libraries(live);
    Streams(live);
    // A copy of a first-version archive put in its place is brought to the
    // present version here, and the time it takes printed.
    const fs::path file = TwentyYearArchive();
    const auto start = Clock::now();
    Archive(file, Archive::Access::Write);
    std::printf(
        "opening for writing (an archive of the first version gets its hour and day "
        "statistics): %.0f ms\n",
        Ms(Clock::now() - start));
    History(file);
    return 0;
}
