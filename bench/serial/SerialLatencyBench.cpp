// SPDX-License-Identifier: GPL-3.0-or-later
// How quickly a byte written on a pseudo-terminal reaches the owner of the
// serial port, and what the monitor thread costs while no data comes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "PortConfig.h"
#include "QtPortBridge.h"
#include "SerialPort.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        path = ptsname(master);
    }
    ~Pty() { close(master); }
    int master;
    std::string path;
};

class CountingOwner : public SerialPortOwner {
  public:
    std::atomic<int> bytes{0};
    int OnPortEvent(int, int) override { return 0; }
    int OnSerialCharacter(int, int) override {
        bytes.fetch_add(1, std::memory_order_release);
        return 0;
    }
    void ReportError(const std::string&, const std::string&) override {}
};

// Opens the port on COM1 with the station's settings and waits until the
// monitor thread is watching it.
void OpenAndMonitor(SerialPort& port, SerialPortOwner& owner) {
    port.OpenPort(&owner, 1, PortConfig::InstrumentLine());
    port.StartMonitor();
    while (!port.threadRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ReportPercentiles(benchmark::State& state, std::vector<double>& micros) {
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}

// Monitor thread calling the owner directly (the headless logger's way).
void BM_ByteToHandOverDirect(benchmark::State& state) {
    Pty pty;
    CountingOwner owner;
    SerialPort port([&](int) { return pty.path; });
    OpenAndMonitor(port, owner);
    std::vector<double> micros;
    char byte = 'A';
    for (auto _ : state) {
        int before = owner.bytes.load(std::memory_order_acquire);
        auto start = Clock::now();
        if (write(pty.master, &byte, 1) != 1) state.SkipWithError("write failed");
        while (owner.bytes.load(std::memory_order_acquire) == before) std::this_thread::yield();
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    ReportPercentiles(state, micros);
}
BENCHMARK(BM_ByteToHandOverDirect)->UseManualTime()->Iterations(2000);

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "serial_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Through the Qt bridge to a handler on this (the user-interface) thread,
// which waits in its event loop as the window would.
void BM_ByteToHandOverQtBridge(benchmark::State& state) {
    App();
    Pty pty;
    int received = 0;
    QtPortBridge bridge([&](int, int) { return ++received, 0; });
    SerialPort port([&](int) { return pty.path; });
    OpenAndMonitor(port, bridge);
    std::vector<double> micros;
    char byte = 'A';
    for (auto _ : state) {
        int before = received;
        auto start = Clock::now();
        if (write(pty.master, &byte, 1) != 1) state.SkipWithError("write failed");
        while (received == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        micros.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    port.StopMonitor();
    ReportPercentiles(state, micros);
}
BENCHMARK(BM_ByteToHandOverQtBridge)->UseManualTime()->Iterations(2000);

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The port open and monitored, nothing arriving: the whole process's CPU time
// per second of wall time.
void BM_IdleMonitorCpu(benchmark::State& state) {
    Pty pty;
    CountingOwner owner;
    SerialPort port([&](int) { return pty.path; });
    OpenAndMonitor(port, owner);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        double cpuBefore = CpuSeconds();
        auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        wall += std::chrono::duration<double>(Clock::now() - start).count();
        cpu += CpuSeconds() - cpuBefore;
    }
    state.counters["cpu_ms_per_s"] = 1000 * cpu / wall;
}
BENCHMARK(BM_IdleMonitorCpu)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
