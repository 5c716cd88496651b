// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

// What the link to the station is doing, decided in one place for the window
// and the logger: idle (not reading), waiting for the device (it could not be
// opened or went away, and the port keeps trying), receiving, or silent (the
// port is open but no record was taken for a while). Each input returns the
// message of the change it made, or an empty text when the state stays.
// Plain C++ with an injected clock, so that tests can drive it.
class LinkState {
  public:
    enum class State { Idle, Waiting, Receiving, Silent };
    using Duration = std::chrono::milliseconds;
    // A monotonic clock for how long things last and the computer's time
    // of day for what a user reads.
    struct Clock {
        std::function<Duration()> monotonic;
        std::function<std::time_t()> wall;
    };
    static Clock SystemClock();

    explicit LinkState(Duration staleAfter = std::chrono::seconds(10), Clock clock = SystemClock());

    std::string Opened(int port, const std::string& device);
    std::string OpenFailed(int port, const std::string& device);
    std::string Lost(int port, const std::string& device);
    std::string RecordAccepted();
    // Turns a quiet link silent once staleAfter has passed since the last record.
    std::string Tick();
    std::string Stopped();

    State state() const { return state_; }
    // Readings on show are old or may be: waiting or silent.
    bool ReadingsStale() const { return state_ == State::Waiting || state_ == State::Silent; }
    // "<program>" while receiving or idle, "<program> - waiting for COM1
    // (/dev/ttyUSB0)", "<program> - no records since 14:37:05", or before
    // the first record since Read Weather Data "<program> - no records yet
    // from COM1 (/dev/ttyUSB0)".
    std::string WindowTitle(const std::string& program) const;
    // How long until Tick could change the state; none while only an input can.
    std::optional<Duration> UntilNextCheck() const;
    // The computer's time of the last record since reading started; none before one.
    std::optional<std::time_t> LastRecordTime() const {
        return anyRecord_ ? std::optional<std::time_t>(lastRecordWall_) : std::nullopt;
    }

    // "45 s", "3 min 5 s", "2 h 14 min", "3 d 4 h".
    static std::string FormatDuration(Duration duration);

  private:
    std::string Link() const;
    std::string Enter(State state, std::string message);
    Duration SinceLastRecord() const;
    std::string SinceWhat() const;

    Duration staleAfter_;
    Clock clock_;
    State state_ = State::Idle;
    int port_ = 0;
    std::string device_;
    Duration changedAt_{0};  // when the state last changed
    Duration openedAt_{0};
    Duration lastRecordAt_{0};  // the last record, or the opening before any
    std::time_t lastRecordWall_ = 0;
    bool anyRecord_ = false;  // since reading started
};
