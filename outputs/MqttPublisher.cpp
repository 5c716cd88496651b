// SPDX-License-Identifier: GPL-3.0-or-later
#include "MqttPublisher.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "CurrentConditionsJson.h"
#include "FivePointJson.h"
#include "HomeAssistantDiscovery.h"

namespace {
using namespace std::chrono_literals;

constexpr int kKeepAliveSeconds = 60;
// Messages libmosquitto has not written yet; past this a slow broker gets
// nothing more until it catches up (then the latest state, not a backlog).
constexpr long kMaxUnwritten = 64;
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

// The first line of the file, without its line end; nullopt when unreadable.
std::optional<std::string> ReadPassword(const std::string& path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::string line;
    std::getline(file, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string ErrorText(int code) {
    return code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
}
}  // namespace

MqttPublisher::MqttPublisher(MqttOptions options, Reporter reporter)
    : options_(std::move(options)),
      reporter_(std::move(reporter)),
      prefix_(options_.TopicPrefix()) {}

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
            password = ReadPassword(options_.passwordFile);
            if (!password) {
                reporter_("MQTT: cannot read the password file '" + options_.passwordFile +
                          "': " + std::strerror(errno));
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
        ReportProblem(ErrorText(rc));
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
    mosquitto_loop_stop(mosq_, false);
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

// Formatted on our thread, and a wake-up only for the first point waiting: a
// broker that is away costs the processing path a copy per point.
void MqttPublisher::Write(const FivePointValues& point) {
    bool wasWaiting = false;
    {
        std::lock_guard lock(mutex_);
        wasWaiting = summary_.has_value();
        summary_ = point;  // an unsent older point is replaced
    }
    if (!wasWaiting) wake_.notify_one();
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
        wasReported = p->problemReported_;
        p->problemReported_ = false;
        p->sent_ = 0;
        p->written_ = 0;
    }
    p->wake_.notify_one();
    if (wasReported) p->reporter_("MQTT: connected to " + p->BrokerName() + " again");
}

void MqttPublisher::OnDisconnect(mosquitto*, void* self, int code) {
    auto* p = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard lock(p->mutex_);
        p->connected_ = false;
        p->downSince_ = Clock::now();
    }
    // 0 is our own disconnect at Stop.
    if (code != 0) p->ReportProblem(ErrorText(code));
}

void MqttPublisher::OnPublish(mosquitto*, void* self, int) {
    ++static_cast<MqttPublisher*>(self)->written_;
}

void MqttPublisher::ReportProblem(const std::string& reason) {
    {
        std::lock_guard lock(mutex_);
        if (problemReported_) return;
        problemReported_ = true;
    }
    reporter_("MQTT: no connection to " + BrokerName() + " (" + reason +
              "); retrying in the background");
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
        const std::vector<Outgoing> due = TakeDue(now, false);
        if (!due.empty()) {
            lock.unlock();
            Send(due);
            lock.lock();
            continue;
        }
        wake_.wait_until(lock, NextWake(now));
    }
    FlushAndDisconnect(lock);
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
}

std::vector<MqttPublisher::Outgoing> MqttPublisher::TakeDue(Clock::time_point now, bool final) {
    std::vector<Outgoing> out;
    if (!connected_ || (!final && sent_ - written_ > kMaxUnwritten)) return out;
    if (freshConnection_) TakeConnectBurst(out);
    if (availabilityDirty_) out.push_back(AvailabilityMessage());
    if (stateDirty_ && (final || now >= lastState_ + options_.stateInterval)) {
        out.push_back(StateMessage(now));
    }
    if (summary_) {
        out.push_back({prefix_ + "/summary", FivePointJson(*summary_), false});
        summary_.reset();
    }
    return out;
}

MqttPublisher::Clock::time_point MqttPublisher::NextWake(Clock::time_point now) const {
    Clock::time_point next = now + kIdleWake;
    if (stopping_) return std::min(next, stopDeadline_);
    if (connected_ && stateDirty_) next = std::min(next, lastState_ + options_.stateInterval);
    return next;
}

void MqttPublisher::Send(const std::vector<Outgoing>& messages) {
    for (const Outgoing& m : messages) {
        const int rc =
            mosquitto_publish(mosq_, nullptr, m.topic.c_str(), static_cast<int>(m.payload.size()),
                              m.payload.data(), 0, m.retain);
        // A message lost to a dropped connection is made good by the burst
        // after the next connection.
        if (rc == MOSQ_ERR_SUCCESS) ++sent_;
    }
}

void MqttPublisher::FlushAndDisconnect(std::unique_lock<std::mutex>& lock) {
    std::vector<Outgoing> last = TakeDue(Clock::time_point::max(), true);
    if (connected_) {
        available_ = false;
        last.push_back(AvailabilityMessage());
    }
    lock.unlock();
    Send(last);
    const Clock::time_point deadline = Clock::now() + kStopWriteWait;
    while (written_ < sent_ && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    // Also ends the reconnect attempts of the loop thread.
    mosquitto_disconnect(mosq_);
}
