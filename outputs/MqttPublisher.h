// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FivePointWriter.h"
#include "MqttOptions.h"
#include "RecordListener.h"

struct mosquitto;

// Publishes the station to an MQTT broker beside record processing:
//   <prefix>/availability  "online"/"offline", retained, "offline" also as the
//                          broker's last will for a crash;
//   <prefix>/state         CurrentConditionsJson, retained, at most once per
//                          stateInterval, the latest always before Stop ends;
//   <prefix>/summary       FivePointJson at every five-minute point;
//   homeassistant/sensor/<unique id>/config   discovery, retained.
// The processing thread only stores the latest values: a broker that is down,
// slow or refusing the login costs it nothing. libmosquitto's thread keeps the
// connection and reconnects; a thread of our own publishes, and after every
// (re)connection sends discovery, availability and the latest state. Nothing
// queues up while the broker is away: only the latest state and summary wait.
class MqttPublisher : public RecordListener, public FivePointWriter {
  public:
    // Told once per outage, and once when the broker is back, on a background
    // thread; must be safe to call from there.
    using Reporter = std::function<void(const std::string& message)>;

    MqttPublisher(MqttOptions options, Reporter reporter);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Starts connecting in the background. False (and reported) only for
    // options that cannot work: an unreadable password file, a bad CA file.
    bool Start();
    // Publishes the latest state and "offline", then disconnects. Waits up to a
    // few seconds for a connection still being set up, so a short run is not lost.
    void Stop();

    void OnRecord(const StationState& state) override;
    void Write(const FivePointValues& point) override;
    // false while the station link is waiting or silent: "offline".
    void SetAvailable(bool available);

  private:
    using Clock = std::chrono::steady_clock;
    struct Outgoing {
        std::string topic;
        std::string payload;
        bool retain;
    };

    static void OnConnect(mosquitto*, void* self, int code);
    static void OnDisconnect(mosquitto*, void* self, int code);
    static void OnPublish(mosquitto*, void* self, int mid);

    bool Configure();
    bool TryConnect();
    void RetryFirstConnection(Clock::time_point now);
    void Run();
    bool StopNow(Clock::time_point now) const;
    std::vector<Outgoing> TakeDue(Clock::time_point now, bool final);
    void TakeConnectBurst(std::vector<Outgoing>& out);
    Outgoing StateMessage(Clock::time_point now);
    Outgoing AvailabilityMessage();
    Clock::time_point NextWake(Clock::time_point now) const;
    void Send(const std::vector<Outgoing>& messages);
    void FlushAndDisconnect(std::unique_lock<std::mutex>& lock);
    void ReportProblem(const std::string& reason);
    void ReportSilence(Clock::time_point now, std::unique_lock<std::mutex>& lock);
    std::string BrokerName() const;

    const MqttOptions options_;
    const Reporter reporter_;
    const std::string prefix_;
    mosquitto* mosq_ = nullptr;
    bool started_ = false;
    // Only our thread touches these once it runs.
    bool looping_ = false;  // libmosquitto's thread runs
    Clock::time_point nextAttempt_{};
    Clock::duration retryDelay_ = std::chrono::seconds(1);
    std::thread worker_;
    std::atomic<long> sent_{0};     // published since the last connection
    std::atomic<long> written_{0};  // of those, handed to the system

    std::mutex mutex_;  // guards everything below
    std::condition_variable wake_;
    StationState latest_{};
    bool haveState_ = false;
    bool stateDirty_ = false;
    Clock::time_point lastState_{};
    std::optional<FivePointValues> summary_;
    bool available_ = true;
    bool availabilityDirty_ = false;
    bool connected_ = false;
    bool freshConnection_ = false;
    bool problemReported_ = false;
    Clock::time_point downSince_{};
    bool stopping_ = false;
    Clock::time_point stopDeadline_{};
};
