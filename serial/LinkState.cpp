// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinkState.h"

#include <algorithm>

namespace {

std::string TimeOfDay(std::time_t wall) {
    std::tm local{};
    localtime_r(&wall, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

}  // namespace

LinkState::Clock LinkState::SystemClock() {
    return {[] {
                return std::chrono::duration_cast<Duration>(
                    std::chrono::steady_clock::now().time_since_epoch());
            },
            [] { return std::time(nullptr); }};
}

LinkState::LinkState(Duration staleAfter, Clock clock)
    : staleAfter_(staleAfter), clock_(std::move(clock)) {}

std::string LinkState::Link() const {
    return "COM" + std::to_string(port_) + " (" + device_ + ")";
}

std::string LinkState::Enter(State state, std::string message) {
    state_ = state;
    changedAt_ = clock_.monotonic();
    return message;
}

LinkState::Duration LinkState::SinceLastRecord() const {
    return std::max(Duration{0}, clock_.monotonic() - lastRecordAt_);
}

// Silence is counted from the opening until the first record comes.
std::string LinkState::Opened(int port, const std::string& device) {
    const bool back = state_ == State::Waiting && port == port_ && device == device_;
    const Duration waited = clock_.monotonic() - changedAt_;
    if (state_ == State::Idle) anyRecord_ = false;
    port_ = port;
    device_ = device;
    lastRecordAt_ = clock_.monotonic();
    lastRecordWall_ = clock_.wall();
    openedAt_ = lastRecordAt_;
    if (back) return Enter(State::Receiving, Link() + " is back after " + FormatDuration(waited));
    return Enter(State::Receiving, "reading " + Link());
}

std::string LinkState::OpenFailed(int port, const std::string& device) {
    if (state_ == State::Waiting && port == port_ && device == device_) return {};
    port_ = port;
    device_ = device;
    return Enter(State::Waiting, "waiting for " + Link() + ", which cannot be opened");
}

std::string LinkState::Lost(int port, const std::string& device) {
    if (state_ == State::Waiting) return {};
    const Duration open = clock_.monotonic() - openedAt_;
    const bool wasOpen = state_ != State::Idle;
    port_ = port;
    device_ = device;
    return Enter(State::Waiting, "lost " + Link() +
                                     (wasOpen ? " after " + FormatDuration(open) : "") +
                                     "; waiting for it to come back");
}

std::string LinkState::RecordAccepted() {
    const Duration silence = SinceLastRecord();
    lastRecordAt_ = clock_.monotonic();
    lastRecordWall_ = clock_.wall();
    const bool first = !anyRecord_;
    anyRecord_ = true;
    if (state_ != State::Silent) return {};
    if (first)
        return Enter(State::Receiving,
                     "first record from " + Link() + " after " + FormatDuration(silence));
    return Enter(State::Receiving,
                 "records from " + Link() + " again after " + FormatDuration(silence));
}

std::string LinkState::Tick() {
    if (state_ != State::Receiving || SinceLastRecord() < staleAfter_) return {};
    return Enter(State::Silent, "no records from " + Link() + " for " +
                                    FormatDuration(SinceLastRecord()) + " (" + SinceWhat() + ")");
}

std::string LinkState::Stopped() {
    if (state_ == State::Idle) return {};
    return Enter(State::Idle, "stopped reading " + Link());
}

std::string LinkState::WindowTitle(const std::string& program) const {
    if (state_ == State::Waiting) return program + " - waiting for " + Link();
    if (state_ == State::Silent && !anyRecord_) return program + " - no records yet from " + Link();
    if (state_ == State::Silent)
        return program + " - no records since " + TimeOfDay(lastRecordWall_);
    return program;
}

// A time of the last record would read as if one had come.
std::string LinkState::SinceWhat() const {
    return anyRecord_ ? "since " + TimeOfDay(lastRecordWall_) : "none yet";
}

std::optional<LinkState::Duration> LinkState::UntilNextCheck() const {
    if (state_ != State::Receiving) return std::nullopt;
    return std::max(Duration{0}, staleAfter_ - SinceLastRecord());
}

std::string LinkState::FormatDuration(Duration duration) {
    const long long s = std::max<long long>(0, duration.count() / 1000);
    auto two = [](long long big, const char* bigUnit, long long small, const char* smallUnit) {
        return std::to_string(big) + " " + bigUnit + " " + std::to_string(small) + " " + smallUnit;
    };
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return two(s / 60, "min", s % 60, "s");
    if (s < 86400) return two(s / 3600, "h", s / 60 % 60, "min");
    return two(s / 86400, "d", s / 3600 % 24, "h");
}
