// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FivePointWriter.h"
#include "RecordListener.h"

// What the station link is doing, as the page shows it.
enum class WebLink { Idle, Waiting, Receiving, Silent };
const char* WebLinkWord(WebLink link);  // "idle", "waiting", "receiving", "silent"

// The hand-over from the processing path to the web server. The pipeline
// calls OnRecord and Write, the link watcher SetLink: each formats its JSON,
// stores it under a short lock and wakes the event streams; none ever waits
// for a client. The server's threads read the latest state and the recent
// events (a short ring: a stream that falls further behind gets the latest
// state only).
class LiveStore : public RecordListener, public FivePointWriter {
  public:
    struct Event {
        std::uint64_t seq = 0;
        std::string name;  // "state", "point", "link", "alarms"
        std::string data;  // one line of JSON
    };
    static constexpr std::size_t kRecentEvents = 64;

    void OnRecord(const StationState& state) override;
    void Write(const FivePointValues& point) override;
    // silentSince: when the last record came (computer time), for Silent.
    void SetLink(WebLink link, std::optional<std::time_t> silentSince = std::nullopt);
    void SetStationName(std::string name);
    // Every alarm's state (AlarmsJson), or empty while there are no alarms:
    // in /api/current as "alarms", and an "alarms" event at each change.
    void SetAlarms(const std::string& json);

    // The /api/current answer.
    std::string CurrentJson() const;
    // The events after `seq`, waiting up to `wait` for one; `seq` moves on.
    // Empty after the wait, or at once when Close has been called.
    std::vector<Event> EventsAfter(std::uint64_t& seq, std::chrono::milliseconds wait);
    std::uint64_t LatestSeq() const;
    // Wakes every waiting stream for good (the server stops).
    void Close();
    void Reopen();
    bool closed() const;

  private:
    std::string CurrentJsonLocked() const;
    std::string LinkJsonLocked() const;
    void PushLocked(const char* name, std::string data);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string record_;  // CurrentConditionsJson of the latest record
    WebLink link_ = WebLink::Idle;
    std::optional<std::time_t> silentSince_;
    std::string stationName_;
    std::string alarms_;  // AlarmsJson, empty without alarms
    std::deque<Event> recent_;
    std::uint64_t seq_ = 0;
    bool closed_ = false;
};
