// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FivePointWriter.h"
#include "MqttOptions.h"
#include "OutputFault.h"
#include "RecordListener.h"

struct mosquitto;

// Publishes the station to an MQTT broker beside record processing:
//   <prefix>/availability  "online"/"offline", retained, "offline" also as the
//                          broker's last will for a crash;
//   <prefix>/state         CurrentConditionsJson, retained, at most once per
//                          stateInterval, the latest always before Stop ends;
//   <prefix>/summary       FivePointJson at every five-minute point, QoS 1,
//                          each one once and in order;
//   homeassistant/sensor/<unique id>/config   discovery, retained.
// The processing thread only stores the latest state and appends the points:
// a broker that is down, slow or refusing the login costs it nothing.
// libmosquitto's thread keeps the connection and reconnects; a thread of our
// own formats and publishes, and after every (re)connection sends discovery,
// availability and the latest state. A summary stays queued until the broker
// acknowledges it; while the broker is away the queue keeps the latest
// kMaxQueuedSummaries, and the older ones dropped are reported once.
class MqttPublisher : public RecordListener, public FivePointWriter {
  public:
    // Told once per outage, and once when the broker is back, on a background
    // thread; must be safe to call from there. The outage and the return go
    // to the fault hook too, as output "MQTT".
    using Reporter = std::function<void(const std::string& message)>;
    // A week of five-minute points.
    static constexpr std::size_t kMaxQueuedSummaries = 2016;

    MqttPublisher(MqttOptions options, Reporter reporter, OutputFaultHook faults = {});
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
    // Waits up to limit until the broker has acknowledged every summary
    // written so far; the number still waiting.
    std::size_t WaitForSummaries(std::chrono::steady_clock::duration limit);
    // Messages of other features on this connection (the alarms), sent by
    // our thread: a retained one is kept (the latest per topic) and sent
    // again after every connection; an event goes once, QoS 0, and at most
    // kMaxExtraEvents wait while the broker is away.
    void PublishRetained(const std::string& topic, std::string payload);
    // sent, when given, is told on our thread whether the event was handed
    // to the connection; it is never told if the publisher goes first.
    using Sent = std::function<void(bool handed)>;
    void PublishEvent(const std::string& topic, std::string payload, Sent sent = {});
    const MqttOptions& options() const { return options_; }
    static constexpr std::size_t kMaxExtraEvents = 100;

  private:
    using Clock = std::chrono::steady_clock;
    struct Outgoing {
        std::string topic;
        std::string payload;
        bool retain;
        Sent sent = {};
    };
    struct Summary {
        FivePointValues point;
        std::uint64_t seq = 0;
        int mid = 0;          // libmosquitto's message id, 0 while it is handed over
        long connection = 0;  // the connection it was handed to
        bool acked = false;
    };
    // What one turn of our thread publishes: QoS 0 messages, then summaries.
    struct Batch {
        std::vector<Outgoing> messages;
        std::vector<Summary> summaries;
        bool empty() const { return messages.empty() && summaries.empty(); }
    };

    static void OnConnect(mosquitto*, void* self, int code);
    static void OnDisconnect(mosquitto*, void* self, int code);
    static void OnPublish(mosquitto*, void* self, int mid);

    bool Configure();
    bool TryConnect();
    void RetryFirstConnection(Clock::time_point now);
    void Run();
    bool StopNow(Clock::time_point now) const;
    Batch TakeDue(Clock::time_point now, bool final);
    void TakeConnectBurst(std::vector<Outgoing>& out);
    void TakeSummaries(std::vector<Summary>& out, bool final);
    Outgoing StateMessage(Clock::time_point now);
    Outgoing AvailabilityMessage();
    Clock::time_point NextWake(Clock::time_point now) const;
    void Send(const Batch& batch, std::unique_lock<std::mutex>& lock);
    void RecordHanded(std::uint64_t seq, int mid, bool held);
    bool Acknowledge(int mid);
    void PopAcknowledged();
    bool Away() const { return !connected_ && problemReported_; }
    void FlushLast(std::unique_lock<std::mutex>& lock);
    void ReportDropped(std::unique_lock<std::mutex>& lock);
    void ReportProblem(const std::string& reason);
    void ReportSilence(Clock::time_point now, std::unique_lock<std::mutex>& lock);
    std::string BrokerName() const;

    const MqttOptions options_;
    const Reporter reporter_;
    const OutputFaultHook faults_;
    const std::string prefix_;
    const std::string summaryTopic_;
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
    // Oldest first; the first handed_ of them are with libmosquitto.
    std::deque<Summary> summaries_;
    std::size_t handed_ = 0;
    std::uint64_t nextSeq_ = 1;
    long connection_ = 0;  // connections made so far
    long dropped_ = 0;     // summaries dropped since the last report
    // Acknowledgements for ids not known yet: a summary's may come before
    // mosquitto_publish has told our thread its id.
    std::array<int, 32> unknownAcks_{};
    std::size_t nextUnknownAck_ = 0;
    std::condition_variable delivered_;  // an acknowledgement or a disconnection
    bool available_ = true;
    bool availabilityDirty_ = false;
    bool connected_ = false;
    bool freshConnection_ = false;
    bool problemReported_ = false;
    Clock::time_point downSince_{};
    bool stopping_ = false;
    Clock::time_point stopDeadline_{};
    std::map<std::string, std::string> extraRetained_;  // by topic
    std::vector<std::string> extraDirty_;               // topics to send now
    std::deque<Outgoing> extraEvents_;
};
