// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "SerialPortOwner.h"

// Records every call from the port in order: a letter per call ('E' port
// event, 'C' byte, 'R' error report), the bytes, the port number of each
// event and byte, the "caption|text" of each report and the threads they came
// on; apart from those, a letter per change of the link ('O' opened, 'F' open
// failed, 'L' lost) and the device it named.
class RecordingOwner : public SerialPortOwner {
  public:
    std::function<void(int character)> onCharacter;  // runs on the monitor thread

    int OnPortEvent(int eventParam, int port) override { return Add('E', eventParam, port, {}); }
    int OnSerialCharacter(int character, int port) override {
        Add('C', character, port, {});
        if (onCharacter) onCharacter(character);
        return 0;
    }
    void ReportError(const std::string& caption, const std::string& text) override {
        Add('R', 0, 0, caption + "|" + text);
    }

    void OnLinkChange(PortLink change, int, const std::string& device) override {
        std::lock_guard<std::mutex> lock(mutex_);
        links_.push_back(change == PortLink::Opened ? 'O' : change == PortLink::Lost ? 'L' : 'F');
        linkDevice_ = device;
    }

    std::string Links() { return Get(links_); }
    std::string LinkDevice() { return Get(linkDevice_); }
    std::string Kinds() { return Get(kinds_); }
    std::string Characters() { return Get(characters_); }
    std::vector<int> Ports() { return Get(ports_); }
    std::vector<std::string> Errors() { return Get(errors_); }
    std::set<std::thread::id> Threads() { return Get(threads_); }
    // Waits up to five seconds for at least count calls or link changes of this kind.
    bool WaitFor(char kind, size_t count) {
        auto arrived = [&] {
            return std::ranges::count(Kinds() + Links(), kind) >= static_cast<long>(count);
        };
        for (int i = 0; i < 2500 && !arrived(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return arrived();
    }

  private:
    int Add(char kind, int value, int port, std::string error) {
        std::lock_guard<std::mutex> lock(mutex_);
        kinds_.push_back(kind);
        threads_.insert(std::this_thread::get_id());
        if (kind == 'C') characters_.push_back(static_cast<char>(value));
        if (kind == 'R')
            errors_.push_back(std::move(error));
        else
            ports_.push_back(port);
        return 0;
    }
    template <typename T>
    T Get(const T& field) {
        std::lock_guard<std::mutex> lock(mutex_);
        return field;
    }

    std::mutex mutex_;
    std::string kinds_, characters_, links_, linkDevice_;
    std::vector<int> ports_;
    std::vector<std::string> errors_;
    std::set<std::thread::id> threads_;
};
