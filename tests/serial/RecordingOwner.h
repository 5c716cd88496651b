#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SerialPortOwner.h"

// Records every call from the port, in order, with the thread it came on.
class RecordingOwner : public SerialPortOwner {
public:
    struct Call {
        enum Kind { PortEvent, Character, Error } kind;
        int value = 0;  // event parameter or character
        int port = 0;
        std::string text;
        std::thread::id thread;
        std::string caption;
    };

    std::function<void(int character)> onCharacter;  // runs on the monitor thread

    int OnPortEvent(int eventParam, int port) override {
        Add({Call::PortEvent, eventParam, port, {}, std::this_thread::get_id(), {}});
        return 0;
    }
    int OnSerialCharacter(int character, int port) override {
        Add({Call::Character, character, port, {}, std::this_thread::get_id(), {}});
        if (onCharacter) onCharacter(character);
        return 0;
    }
    void ReportError(const std::string& caption, const std::string& text) override {
        Add({Call::Error, 0, 0, text, std::this_thread::get_id(), caption});
    }

    std::vector<Call> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    std::vector<Call> CallsOf(Call::Kind kind) {
        std::vector<Call> out;
        for (const auto& c : Calls())
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    std::string Characters() {
        std::string s;
        for (const auto& c : CallsOf(Call::Character)) s.push_back(static_cast<char>(c.value));
        return s;
    }
    // Waits until at least count calls of this kind arrived; false on time-out.
    bool WaitFor(Call::Kind kind, size_t count,
                 std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [&] {
            size_t n = 0;
            for (const auto& c : calls_)
                if (c.kind == kind) ++n;
            return n >= count;
        });
    }

private:
    void Add(Call call) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(std::move(call));
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Call> calls_;
};
