// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>

#include "LinkState.h"
#include "RecordListener.h"
#include "SerialPortOwner.h"

// The logger's side of the link state, for a service log that tells the
// story without a flood: each change (reading, lost, back, silent, records
// again) is one line on err. The monitor thread feeds it the port's changes
// and every record, the main thread the time, under one lock. A change wakes
// the main thread through wakeFd(), which then waits only as long as the
// state machine asks. Without retries a lost device is the end: gaveUp().
class LoggerLink : public RecordListener {
  public:
    LoggerLink(std::ostream& err, std::chrono::milliseconds staleAfter, bool retry);
    ~LoggerLink() override;
    LoggerLink(const LoggerLink&) = delete;
    LoggerLink& operator=(const LoggerLink&) = delete;

    // Told at each change whether the readings are current.
    void SetAvailabilityHandler(std::function<void(bool)> handler) {
        onAvailability_ = std::move(handler);
    }
    // Told at each change with the whole state (under the link's lock).
    void SetChangeHandler(std::function<void(const LinkState&)> handler) {
        onChange_ = std::move(handler);
    }
    void OnLinkChange(PortLink change, int port, const std::string& device);
    void OnRecord(const StationState& state) override;
    void Tick();
    // text as it is, on err, never between the lines of another.
    void Print(const std::string& text);

    int wakeFd() const { return wakeFd_; }
    bool gaveUp() const;
    // For poll(): milliseconds until Tick could change the state, -1 for never.
    int WaitMs() const;

  private:
    void Apply(const std::string& message);  // under the lock
    void Wake();

    std::ostream& err_;
    const bool retry_;
    mutable std::mutex lock_;
    LinkState link_;
    bool gaveUp_ = false;
    int wakeFd_ = -1;
    std::function<void(bool)> onAvailability_;
    std::function<void(const LinkState&)> onChange_;
};
