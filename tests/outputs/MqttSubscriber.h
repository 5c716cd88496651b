// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mosquitto.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "EndNetworkThread.h"

// Subscribes to every topic of a local broker with QoS 1 (again after a
// reconnection) and keeps what arrives, retained flag included. With an id it
// has a persistent session: the broker keeps what comes while it is away.
class MqttSubscriber {
  public:
    struct Message {
        std::string topic;
        std::string payload;
        bool retained;
    };
    using Match = std::function<bool(const Message&)>;

    explicit MqttSubscriber(int port, const std::string& id = "") {
        mosquitto_lib_init();
        mosq_ = mosquitto_new(id.empty() ? nullptr : id.c_str(), id.empty(), this);
        mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
        mosquitto_connect_callback_set(
            mosq_, [](mosquitto* m, void*, int) { mosquitto_subscribe(m, nullptr, "#", 1); });
        mosquitto_message_callback_set(mosq_, &MqttSubscriber::OnMessage);
        mosquitto_connect(mosq_, "127.0.0.1", port, 60);
        mosquitto_loop_start(mosq_);
    }
    ~MqttSubscriber() {
        EndNetworkThread(mosq_);
        mosquitto_destroy(mosq_);
    }

    // The first message on topic that matches, waiting up to 20 s for it.
    std::optional<Message> WaitFor(const std::string& topic, const Match& match = {}) {
        std::unique_lock lock(mutex_);
        std::optional<Message> found;
        arrived_.wait_for(lock, std::chrono::seconds(20), [&] {
            for (const Message& m : messages_) {
                if (m.topic == topic && (!match || match(m))) return found = m, true;
            }
            return false;
        });
        return found;
    }
    // Every message on topic once count of them are there (waiting up to 20 s).
    std::vector<Message> WaitForCount(const std::string& topic, std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(20), [&] { return On(topic, lock) >= count; });
        std::vector<Message> all;
        for (const Message& m : messages_) {
            if (m.topic == topic) all.push_back(m);
        }
        return all;
    }
    // True once the broker has handled everything this subscriber sent before
    // (the acknowledgements of what it received) and its subscription holds:
    // a retained message of its own comes back.
    bool Sync() {
        const std::string payload = std::to_string(++syncs_);
        mosquitto_publish(mosq_, nullptr, "test/sync", static_cast<int>(payload.size()),
                          payload.data(), 1, true);
        return WaitFor("test/sync", [&](const Message& m) { return m.payload == payload; })
            .has_value();
    }
    std::vector<Message> On(const std::string& topic) {
        std::lock_guard lock(mutex_);
        std::vector<Message> all;
        for (const Message& m : messages_) {
            if (m.topic.rfind(topic, 0) == 0) all.push_back(m);
        }
        return all;
    }

  private:
    std::size_t On(const std::string& topic, std::unique_lock<std::mutex>&) const {
        std::size_t n = 0;
        for (const Message& m : messages_) n += m.topic == topic;
        return n;
    }
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* m) {
        auto* s = static_cast<MqttSubscriber*>(self);
        std::lock_guard lock(s->mutex_);
        s->messages_.push_back({m->topic,
                                std::string(static_cast<const char*>(m->payload), m->payloadlen),
                                m->retain});
        s->arrived_.notify_all();
    }

    mosquitto* mosq_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Message> messages_;
    int syncs_ = 0;
};
