// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggerLink.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <ostream>

LoggerLink::LoggerLink(std::ostream& err, std::chrono::milliseconds staleAfter, bool retry)
    : err_(err), retry_(retry), link_(staleAfter) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

LoggerLink::~LoggerLink() {
    if (wakeFd_ >= 0) close(wakeFd_);
}

void LoggerLink::OnLinkChange(PortLink change, int port, const std::string& device) {
    std::lock_guard<std::mutex> lock(lock_);
    switch (change) {
        case PortLink::Opened:
            return Apply(link_.Opened(port, device));
        case PortLink::OpenFailed:
            if (retry_) return Apply(link_.OpenFailed(port, device));
            break;
        case PortLink::Lost:
            if (retry_) return Apply(link_.Lost(port, device));
            break;
    }
    gaveUp_ = true;  // without retries the report has said it all
    Wake();
}

void LoggerLink::OnRecord(const StationState&) {
    std::lock_guard<std::mutex> lock(lock_);
    Apply(link_.RecordAccepted());
}

void LoggerLink::Tick() {
    std::lock_guard<std::mutex> lock(lock_);
    Apply(link_.Tick());
}

void LoggerLink::Print(const std::string& text) {
    std::lock_guard<std::mutex> lock(lock_);
    err_ << text << std::flush;
}

bool LoggerLink::gaveUp() const {
    std::lock_guard<std::mutex> lock(lock_);
    return gaveUp_;
}

int LoggerLink::WaitMs() const {
    std::lock_guard<std::mutex> lock(lock_);
    const auto next = link_.UntilNextCheck();
    return next ? int(next->count()) : -1;
}

void LoggerLink::Apply(const std::string& message) {
    if (message.empty()) return;
    err_ << "nimbulo-logger: " << message << "\n" << std::flush;
    if (onAvailability_) onAvailability_(!link_.ReadingsStale());
    if (onChange_) onChange_(link_);
    Wake();
}

void LoggerLink::Wake() {
    uint64_t one = 1;
    ssize_t n = write(wakeFd_, &one, sizeof one);
    (void)n;  // a counter that is already set wakes all the same
}
