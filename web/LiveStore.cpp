// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveStore.h"

#include <nlohmann/json.hpp>

#include "CurrentConditionsJson.h"
#include "FivePointJson.h"

namespace {
// "2026-12-10T14:37:05Z": the computer's clock, in UTC.
std::string UtcText(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}
}  // namespace

const char* WebLinkWord(WebLink link) {
    switch (link) {
        case WebLink::Waiting:
            return "waiting";
        case WebLink::Receiving:
            return "receiving";
        case WebLink::Silent:
            return "silent";
        case WebLink::Idle:
            break;
    }
    return "idle";
}

void LiveStore::OnRecord(const StationState& state) {
    std::string json = CurrentConditionsJson(state);  // formatted before the lock
    {
        std::lock_guard<std::mutex> lock(mutex_);
        record_ = std::move(json);
        PushLocked("state", CurrentJsonLocked());
    }
    changed_.notify_all();
}

void LiveStore::Write(const FivePointValues& point) {
    std::string json = FivePointJson(point);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        PushLocked("point", std::move(json));
    }
    changed_.notify_all();
}

void LiveStore::SetLink(WebLink link, std::optional<std::time_t> silentSince) {
    if (link != WebLink::Silent) silentSince.reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (link == link_ && silentSince == silentSince_) return;
        link_ = link;
        silentSince_ = silentSince;
        PushLocked("link", LinkJsonLocked());
    }
    changed_.notify_all();
}

void LiveStore::SetStationName(std::string name) {
    std::lock_guard<std::mutex> lock(mutex_);
    stationName_ = std::move(name);
}

std::string LiveStore::CurrentJson() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return CurrentJsonLocked();
}

// The record's JSON with the link, the station and the units added: spliced
// as text, so the readings keep the exact decimals of the MQTT state.
std::string LiveStore::CurrentJsonLocked() const {
    std::string json = record_.empty() ? std::string("{}") : record_;
    json.pop_back();  // the closing brace
    nlohmann::ordered_json extra;
    extra["link"] = WebLinkWord(link_);
    extra["silent_since"] = silentSince_ ? nlohmann::json(UtcText(*silentSince_)) : nullptr;
    if (json.find("\"station_date\"") == std::string::npos) extra["station_date"] = nullptr;
    if (json.find("\"station_time\"") == std::string::npos) extra["station_time"] = nullptr;
    extra["station_name"] = stationName_.empty() ? nlohmann::json() : nlohmann::json(stationName_);
    extra["units_hint"] = "us";
    if (!alarms_.empty()) extra["alarms"] = nlohmann::json::parse(alarms_, nullptr, false);
    std::string members = extra.dump();
    members.erase(0, 1);  // its opening brace
    if (json.size() > 1) json += ',';
    return json + members;
}

void LiveStore::SetAlarms(const std::string& json) {
    {
        std::lock_guard lock(mutex_);
        if (json == alarms_) return;
        alarms_ = json;
        if (!json.empty()) PushLocked("alarms", json);
    }
    changed_.notify_all();
}

std::string LiveStore::LinkJsonLocked() const {
    nlohmann::ordered_json link;
    link["link"] = WebLinkWord(link_);
    link["silent_since"] = silentSince_ ? nlohmann::json(UtcText(*silentSince_)) : nullptr;
    return link.dump();
}

void LiveStore::PushLocked(const char* name, std::string data) {
    recent_.push_back({++seq_, name, std::move(data)});
    if (recent_.size() > kRecentEvents) recent_.pop_front();
}

std::uint64_t LiveStore::LatestSeq() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seq_;
}

std::vector<LiveStore::Event> LiveStore::EventsAfter(std::uint64_t& seq,
                                                     std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, wait, [&] { return closed_ || seq_ > seq; });
    std::vector<Event> events;
    if (closed_ || seq_ <= seq) return events;
    if (recent_.empty() || recent_.front().seq > seq + 1) {
        // Fell behind the ring: what is true now, not what it missed.
        events.push_back({seq_, "state", CurrentJsonLocked()});
    } else {
        for (const Event& event : recent_)
            if (event.seq > seq) events.push_back(event);
    }
    seq = seq_;
    return events;
}

void LiveStore::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

void LiveStore::Reopen() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = false;
}

bool LiveStore::closed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}
