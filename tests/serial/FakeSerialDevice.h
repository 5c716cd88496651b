#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "SerialDevice.h"

// A scripted device: any set-up step can be made to fail with an error code,
// every step is logged by name, and the test can announce received bytes
// whose reads end with readOutcome.
class FakeSerialDevice : public SerialDevice {
public:
    std::map<std::string, int> failures;
    std::vector<std::string> log;
    std::string openedName;
    bool rtsEnable = false;
    PortTimeouts timeouts;
    std::atomic<ReadResult::Outcome> readOutcome{ReadResult::Outcome::Byte};
    std::atomic<int> queued{0};

    int Open(const std::string& name) override {
        openedName = name;
        return Step("Open");
    }
    void Close() override { Step("Close"); }
    bool IsOpen() const override { return false; }
    int SetTimeouts(const PortTimeouts& t) override {
        timeouts = t;
        return Step("SetTimeouts");
    }
    int SetEventMask(uint32_t mask) override {
        mask_ = mask;
        return Step("SetEventMask");
    }
    uint32_t EventMask() const override { return mask_; }
    int GetState() override { return Step("GetState"); }
    int BuildState(const std::string&, bool rts) override {
        rtsEnable = rts;
        return Step("BuildState");
    }
    int SetState() override { return Step("SetState"); }
    int Purge() override { return Step("Purge"); }
    int QueuedBytes(int& count) override { count = queued; return 0; }
    ReadResult ReadByte() override {
        if (readOutcome == ReadResult::Outcome::Byte) return {readOutcome, static_cast<uint8_t>(queued--), 0};
        return {readOutcome, 0, readOutcome == ReadResult::Outcome::Failed ? 5 : 62};
    }
    // Polls, which is good enough for a test and keeps the fake free of locks.
    WaitResult WaitForEvent(bool watchPort) override {
        while (!shutdown_ && !(watchPort && queued > 0)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return {shutdown_ ? WaitResult::Outcome::Shutdown : WaitResult::Outcome::PortEvent, 0};
    }
    void SignalShutdown() override { shutdown_ = true; }
    void ResetShutdown() override { shutdown_ = false; }
    std::string ErrorText(int error) const override { return "error " + std::to_string(error); }

private:
    int Step(const char* name) {
        log.push_back(name);
        return failures.count(name) ? failures[name] : 0;
    }

    std::atomic<bool> shutdown_{false};
    uint32_t mask_ = 0;
};
