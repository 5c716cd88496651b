// SPDX-License-Identifier: GPL-3.0-or-later
#include "MqttPublisher.h"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "CurrentConditionsJson.h"
#include "EndNetworkThread.h"
#include "FivePointJson.h"
#include "HomeAssistantDiscovery.h"
#include "HostNotFound.h"
#include "SecretFile.h"

namespace {
using namespace std::chrono_literals;

constexpr int kKeepAliveSeconds = 60;
// Messages libmosquitto has not written yet; past this a slow broker gets
// nothing more until it catches up (then the latest state, not a backlog).
constexpr long kMaxUnwritten = 64;
// Summaries handed to libmosquitto and not yet acknowledged, at most; also
// its limit of messages in flight, so it never holds more of them than we
// know of (it keeps those across a reconnection and sends them again itself).
constexpr std::size_t kSummaryWindow = 20;
// Without any answer from the broker for this long, the outage is reported.
constexpr auto kSilenceReportAfter = 10s;
// Stop waits this long for a connection still being set up, then for the last
// messages to be written.
constexpr auto kStopConnectWait = 3s;
constexpr auto kStopWriteWait = 2s;
constexpr auto kIdleWake = 1s;
// The longest wait between two first attempts to connect, as libmosquitto's
// own reconnections (mosquitto_reconnect_delay_set below).
constexpr auto kMaxRetryDelay = 30s;

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string ErrorText(int code) {
    return code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
}
}  // namespace

MqttPublisher::MqttPublisher(MqttOptions options, Reporter reporter, OutputFaultHook faults)
    : options_(std::move(options)),
      reporter_(std::move(reporter)),
      faults_(std::move(faults)),
      prefix_(options_.TopicPrefix()),
      summaryTopic_(prefix_ + "/summary") {}

MqttPublisher::~MqttPublisher() {
    Stop();
    if (mosq_ != nullptr) mosquitto_destroy(mosq_);
}

std::string MqttPublisher::BrokerName() const {
    return options_.host + ":" + std::to_string(options_.port);
}

bool MqttPublisher::Configure() {
    const std::string will = prefix_ + "/availability";
    mosquitto_will_set(mosq_, will.c_str(), 7, "offline", 1, true);
    if (!options_.user.empty()) {
        std::optional<std::string> password;
        if (!options_.passwordFile.empty()) {
            std::string problem;
            password = ReadSecretFile(options_.passwordFile, &problem);
            if (!password) {
                reporter_("MQTT: cannot read the password file '" + options_.passwordFile +
                          "': " + problem);
                return false;
            }
        }
        mosquitto_username_pw_set(mosq_, options_.user.c_str(),
                                  password ? password->c_str() : nullptr);
    }
    if (!options_.caFile.empty()) {
        const int rc =
            mosquitto_tls_set(mosq_, options_.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            reporter_("MQTT: cannot use the CA file '" + options_.caFile + "': " + ErrorText(rc));
            return false;
        }
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_SEND_MAXIMUM, static_cast<int>(kSummaryWindow));
    mosquitto_reconnect_delay_set(mosq_, 1, 30, true);
    mosquitto_connect_callback_set(mosq_, &MqttPublisher::OnConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttPublisher::OnDisconnect);
    mosquitto_publish_callback_set(mosq_, &MqttPublisher::OnPublish);
    return true;
}

bool MqttPublisher::Start() {
    if (started_) return true;
    InitLibraryOnce();
    // No client id: libmosquitto makes a random one, so two stations on one
    // broker never push each other off.
    mosq_ = mosquitto_new(nullptr, true, this);
    if (mosq_ == nullptr) {
        reporter_("MQTT: cannot create a client: " + std::string(std::strerror(errno)));
        return false;
    }
    if (!Configure()) return false;
    downSince_ = Clock::now();
    nextAttempt_ = downSince_ + retryDelay_;
    looping_ = TryConnect();
    worker_ = std::thread(&MqttPublisher::Run, this);
    started_ = true;
    return true;
}

// libmosquitto's thread retries a connection once it has had one under way,
// but ends at once when the very first attempt fails (a refused port on this
// machine fails before connect returns). So that attempt is repeated by our
// thread, and libmosquitto's thread starts only when one is under way.
bool MqttPublisher::TryConnect() {
    const int rc =
        mosquitto_connect_async(mosq_, options_.host.c_str(), options_.port, kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        ReportProblem(rc == MOSQ_ERR_EAI ? HostNotFound(options_.host) : ErrorText(rc));
        return false;
    }
    if (mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS) {
        ReportProblem("cannot start the network thread");
        return false;
    }
    return true;
}

// On our thread, without the lock: the next first attempt when it is due.
void MqttPublisher::RetryFirstConnection(Clock::time_point now) {
    if (looping_ || now < nextAttempt_) return;
    looping_ = TryConnect();
    retryDelay_ = std::min<Clock::duration>(retryDelay_ * 2, kMaxRetryDelay);
    nextAttempt_ = now + retryDelay_;
}

void MqttPublisher::Stop() {
    if (!started_) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        stopDeadline_ = Clock::now() + kStopConnectWait;
    }
    wake_.notify_one();
    worker_.join();
    EndNetworkThread(mosq_);
    started_ = false;
}

void MqttPublisher::OnRecord(const StationState& state) {
    std::lock_guard lock(mutex_);
    const bool wasDirty = stateDirty_;
    latest_ = state;
    haveState_ = true;
    stateDirty_ = true;
    // A state already waiting has its wake-up set; only the first one after a
    // publish may be due at once. So the publishing thread wakes at most once
    // per interval, not once per record.
    if (!wasDirty) wake_.notify_one();
}

// Formatted on our thread, and a wake-up only when no other summary waits to
// be handed over: a busy or absent broker costs the processing path an append.
void MqttPublisher::Write(const FivePointValues& point) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        wake = summaries_.size() == handed_;
        summaries_.push_back({point, nextSeq_++});
        // While the broker is connected a fast replay may run ahead of it:
        // nothing is dropped then.
        while (Away() && summaries_.size() > kMaxQueuedSummaries) {
            if (handed_ > 0) --handed_;
            summaries_.pop_front();
            ++dropped_;
        }
    }
    if (wake) wake_.notify_one();
}

std::size_t MqttPublisher::WaitForSummaries(std::chrono::steady_clock::duration limit) {
    std::unique_lock lock(mutex_);
    if (!started_) return summaries_.size();
    delivered_.wait_for(lock, limit, [this] { return summaries_.empty(); });
    return summaries_.size();
}

void MqttPublisher::SetAvailable(bool available) {
    {
        std::lock_guard lock(mutex_);
        if (available_ == available) return;
        available_ = available;
        availabilityDirty_ = true;
    }
    wake_.notify_one();
}

void MqttPublisher::OnConnect(mosquitto*, void* self, int code) {
    auto* p = static_cast<MqttPublisher*>(self);
    if (code != 0) {
        p->ReportProblem(std::string("the broker refused the connection: ") +
                         mosquitto_connack_string(code));
        return;
    }
    bool wasReported = false;
    {
        std::lock_guard lock(p->mutex_);
        p->connected_ = true;
        p->freshConnection_ = true;
        ++p->connection_;
        wasReported = p->problemReported_;
        p->problemReported_ = false;
        p->sent_ = 0;
        p->written_ = 0;
    }
    p->wake_.notify_one();
    if (!wasReported) return;
    const std::string message = "connected to " + p->BrokerName() + " again";
    if (p->faults_) p->faults_({"MQTT", false, message});
    p->reporter_("MQTT: " + message);
}

void MqttPublisher::OnDisconnect(mosquitto*, void* self, int code) {
    auto* p = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard lock(p->mutex_);
        p->connected_ = false;
        p->downSince_ = Clock::now();
    }
    p->delivered_.notify_all();
    // 0 is our own disconnect at Stop.
    if (code != 0) p->ReportProblem(ErrorText(code));
}

// For QoS 0 when written to the socket, for a summary (QoS 1) when the broker
// acknowledges it.
void MqttPublisher::OnPublish(mosquitto*, void* self, int mid) {
    auto* p = static_cast<MqttPublisher*>(self);
    bool summary = false;
    {
        std::lock_guard lock(p->mutex_);
        summary = p->Acknowledge(mid);
        if (!summary) {
            ++p->written_;
            p->unknownAcks_[p->nextUnknownAck_++ % p->unknownAcks_.size()] = mid;
        }
    }
    if (summary) p->wake_.notify_one();  // the window has room again
    p->delivered_.notify_all();
}

bool MqttPublisher::Acknowledge(int mid) {
    for (std::size_t i = 0; i < handed_; ++i) {
        if (summaries_[i].mid == mid && !summaries_[i].acked) {
            summaries_[i].acked = true;
            PopAcknowledged();
            return true;
        }
    }
    return false;
}

void MqttPublisher::PopAcknowledged() {
    while (!summaries_.empty() && summaries_.front().acked) {
        summaries_.pop_front();
        --handed_;
    }
}

// held: libmosquitto keeps the message until it is acknowledged, across
// reconnections too (a publish without a connection is sent once there is
// one again). One it refused can never go.
void MqttPublisher::RecordHanded(std::uint64_t seq, int mid, bool held) {
    const auto end = summaries_.begin() + static_cast<std::ptrdiff_t>(handed_);
    const auto s =
        std::find_if(summaries_.begin(), end, [seq](const Summary& q) { return q.seq == seq; });
    if (s == end) return;  // dropped meanwhile
    if (!held) {
        s->acked = true;
        ++dropped_;
    } else if (const auto early = std::find(unknownAcks_.begin(), unknownAcks_.end(), mid);
               early != unknownAcks_.end()) {
        *early = 0;  // counted as written, but it was this summary's acknowledgement
        --written_;
        s->acked = true;
    } else {
        s->mid = mid;
    }
    PopAcknowledged();
}

void MqttPublisher::ReportDropped(std::unique_lock<std::mutex>& lock) {
    if (dropped_ == 0) return;
    const long dropped = std::exchange(dropped_, 0);
    lock.unlock();
    reporter_("MQTT: " + std::to_string(dropped) +
              " five-minute summaries dropped: the broker was away for more than the " +
              std::to_string(kMaxQueuedSummaries) + " that are kept");
    lock.lock();
}

void MqttPublisher::ReportProblem(const std::string& reason) {
    {
        std::lock_guard lock(mutex_);
        if (problemReported_) return;
        problemReported_ = true;
    }
    const std::string message =
        "no connection to " + BrokerName() + " (" + reason + "); retrying in the background";
    if (faults_) faults_({"MQTT", true, message});
    reporter_("MQTT: " + message);
}

// A broker that takes the connection but never answers makes no callback.
void MqttPublisher::ReportSilence(Clock::time_point now, std::unique_lock<std::mutex>& lock) {
    if (connected_ || problemReported_ || now - downSince_ < kSilenceReportAfter) return;
    lock.unlock();
    ReportProblem("no answer");
    lock.lock();
}

bool MqttPublisher::StopNow(Clock::time_point now) const {
    return stopping_ && (connected_ || problemReported_ || now >= stopDeadline_);
}

void MqttPublisher::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (StopNow(now)) break;
        if (!looping_) {
            lock.unlock();
            RetryFirstConnection(now);
            lock.lock();
        }
        ReportSilence(now, lock);
        if (connected_) ReportDropped(lock);
        const Batch due = TakeDue(now, false);
        if (!due.empty()) {
            Send(due, lock);
            continue;
        }
        wake_.wait_until(lock, NextWake(now));
    }
    FlushLast(lock);
}

MqttPublisher::Outgoing MqttPublisher::StateMessage(Clock::time_point now) {
    stateDirty_ = false;
    lastState_ = now;
    return {prefix_ + "/state", CurrentConditionsJson(latest_), true};
}

MqttPublisher::Outgoing MqttPublisher::AvailabilityMessage() {
    availabilityDirty_ = false;
    return {prefix_ + "/availability", available_ ? "online" : "offline", true};
}

// After every connection the broker may have forgotten everything (a restart
// without persistence): discovery, availability and the latest state again.
void MqttPublisher::TakeConnectBurst(std::vector<Outgoing>& out) {
    freshConnection_ = false;
    for (MqttMessage& config : HomeAssistantDiscovery(options_)) {
        out.push_back({std::move(config.topic), std::move(config.payload), true});
    }
    out.push_back(AvailabilityMessage());
    if (haveState_) out.push_back(StateMessage(Clock::now()));
    for (const auto& [topic, payload] : extraRetained_) out.push_back({topic, payload, true});
    extraDirty_.clear();
}

MqttPublisher::Batch MqttPublisher::TakeDue(Clock::time_point now, bool final) {
    Batch out;
    if (!connected_ || (!final && sent_ - written_ > kMaxUnwritten)) return out;
    if (freshConnection_) TakeConnectBurst(out.messages);
    if (availabilityDirty_) out.messages.push_back(AvailabilityMessage());
    for (const std::string& topic : extraDirty_)
        out.messages.push_back({topic, extraRetained_[topic], true});
    extraDirty_.clear();
    for (Outgoing& event : extraEvents_) out.messages.push_back(std::move(event));
    extraEvents_.clear();
    if (stateDirty_ && (final || now >= lastState_ + options_.stateInterval)) {
        out.messages.push_back(StateMessage(now));
    }
    TakeSummaries(out.summaries, final);
    return out;
}

// Those handed to an earlier connection go again first, sent by libmosquitto
// as soon as it is back: no newer one may overtake them.
void MqttPublisher::TakeSummaries(std::vector<Summary>& out, bool final) {
    for (std::size_t i = 0; i < handed_; ++i) {
        if (summaries_[i].connection != connection_ && !summaries_[i].acked) return;
    }
    while (handed_ < summaries_.size() && (final || handed_ < kSummaryWindow)) {
        Summary& s = summaries_[handed_++];
        s.mid = 0;
        s.connection = connection_;
        out.push_back(s);
    }
}

MqttPublisher::Clock::time_point MqttPublisher::NextWake(Clock::time_point now) const {
    Clock::time_point next = now + kIdleWake;
    if (stopping_) return std::min(next, stopDeadline_);
    if (connected_ && stateDirty_) next = std::min(next, lastState_ + options_.stateInterval);
    return next;
}

// Without the lock while publishing; the summaries' ids are recorded under it.
void MqttPublisher::Send(const Batch& batch, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    for (const Outgoing& m : batch.messages) {
        const int rc =
            mosquitto_publish(mosq_, nullptr, m.topic.c_str(), static_cast<int>(m.payload.size()),
                              m.payload.data(), 0, m.retain);
        // A message lost to a dropped connection is made good by the burst
        // after the next connection.
        if (rc == MOSQ_ERR_SUCCESS) ++sent_;
        if (m.sent) m.sent(rc == MOSQ_ERR_SUCCESS);
    }
    struct Handed {
        std::uint64_t seq;
        int mid;
        bool held;
    };
    std::vector<Handed> handed;
    handed.reserve(batch.summaries.size());
    for (const Summary& s : batch.summaries) {
        const std::string payload = FivePointJson(s.point);
        int mid = 0;
        const int rc =
            mosquitto_publish(mosq_, &mid, summaryTopic_.c_str(), static_cast<int>(payload.size()),
                              payload.data(), 1, false);
        const bool held = rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN ||
                          rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_ERRNO;
        handed.push_back({s.seq, mid, held});
    }
    lock.lock();
    for (const Handed& h : handed) RecordHanded(h.seq, h.mid, h.held);
    if (!handed.empty()) delivered_.notify_all();
}

void MqttPublisher::FlushLast(std::unique_lock<std::mutex>& lock) {
    Batch last = TakeDue(Clock::time_point::max(), true);
    if (connected_) {
        available_ = false;
        last.messages.push_back(AvailabilityMessage());
    }
    ReportDropped(lock);
    Send(last, lock);
    delivered_.wait_for(lock, kStopWriteWait,
                        [this] { return !connected_ || (written_ >= sent_ && handed_ == 0); });
    lock.unlock();
}

void MqttPublisher::PublishRetained(const std::string& topic, std::string payload) {
    {
        std::lock_guard lock(mutex_);
        extraRetained_[topic] = std::move(payload);
        if (std::find(extraDirty_.begin(), extraDirty_.end(), topic) == extraDirty_.end())
            extraDirty_.push_back(topic);
    }
    wake_.notify_one();
}

void MqttPublisher::PublishEvent(const std::string& topic, std::string payload, Sent sent) {
    {
        std::lock_guard lock(mutex_);
        if (extraEvents_.size() >= kMaxExtraEvents) extraEvents_.pop_front();
        extraEvents_.push_back({topic, std::move(payload), false, std::move(sent)});
    }
    wake_.notify_one();
}
