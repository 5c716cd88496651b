#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "SerialDevice.h"

// A scripted device: each operation can be made to fail, received bytes are
// queued by the test, and every call is logged by name.
class FakeSerialDevice : public SerialDevice {
public:
    // Operation name -> error code it returns.
    std::map<std::string, int> failures;
    ReadResult::Outcome readOutcome = ReadResult::Outcome::Byte;

    void Receive(const std::string& bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (char c : bytes) queue_.push_back(static_cast<uint8_t>(c));
        changed_.notify_all();
    }
    std::vector<std::string> Log() {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }
    std::vector<bool> WatchFlags() {
        std::lock_guard<std::mutex> lock(mutex_);
        return watchFlags_;
    }

    int Open(const std::string& name) override {
        int e = Call("Open");
        open_ = e == 0;
        openedName = name;
        return e;
    }
    void Close() override {
        Call("Close");
        open_ = false;
    }
    bool IsOpen() const override { return open_; }
    int SetTimeouts(const PortTimeouts& t) override {
        timeouts = t;
        return Call("SetTimeouts");
    }
    int SetEventMask(uint32_t mask) override {
        mask_ = mask;
        return Call("SetEventMask");
    }
    uint32_t EventMask() const override { return mask_; }
    int GetState() override { return Call("GetState"); }
    int BuildState(const std::string& text, bool rts) override {
        settingsText = text;
        rtsEnable = rts;
        return Call("BuildState");
    }
    int SetState() override { return Call("SetState"); }
    int Purge() override {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        log_.push_back("Purge");
        return 0;
    }
    int QueuedBytes(int& count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        count = static_cast<int>(queue_.size());
        return 0;
    }
    ReadResult ReadByte() override {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back("ReadByte");
        ReadResult r;
        r.outcome = readOutcome;
        if (readOutcome == ReadResult::Outcome::Byte) {
            r.byte = queue_.front();
            queue_.pop_front();
        } else {
            r.error = readOutcome == ReadResult::Outcome::Failed ? 5 : 62;
        }
        return r;
    }
    WaitResult WaitForEvent(bool watchPort) override {
        std::unique_lock<std::mutex> lock(mutex_);
        watchFlags_.push_back(watchPort);
        if (watchPort && !open_) return {WaitResult::Outcome::PortFailed, 9};
        changed_.wait(lock, [&] { return shutdown_ || (watchPort && !queue_.empty()); });
        if (shutdown_) return {WaitResult::Outcome::Shutdown, 0};
        return {WaitResult::Outcome::PortEvent, 0};
    }
    void SignalShutdown() override {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = true;
        changed_.notify_all();
    }
    void ResetShutdown() override {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = false;
    }
    std::string ErrorText(int error) const override { return "error " + std::to_string(error); }

    std::string openedName;
    std::string settingsText;
    bool rtsEnable = false;
    PortTimeouts timeouts;

private:
    int Call(const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(name);
        auto it = failures.find(name);
        return it == failures.end() ? 0 : it->second;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<uint8_t> queue_;
    std::vector<std::string> log_;
    std::vector<bool> watchFlags_;
    bool open_ = false;
    bool shutdown_ = false;
    uint32_t mask_ = 0;
};
