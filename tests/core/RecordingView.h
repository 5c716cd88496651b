// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "StationView.h"

// A window stand-in that records what processing asks of it, in order.
class RecordingView : public StationView {
  public:
    void SetLabelText(int controlId, std::string_view text) override {
        labels[controlId] = std::string(text);
        events.push_back("label " + std::to_string(controlId) + "=" + std::string(text));
    }
    void ShowCompassPicture(std::string_view name) override {
        picture = std::string(name);
        events.push_back("picture " + picture);
    }
    void PumpOneMessage() override {
        events.push_back("pump");
        if (onPump) {
            auto nested = std::move(onPump);  // run once
            onPump = nullptr;
            nested();
        }
    }

    std::map<int, std::string> labels;
    std::string picture;
    std::vector<std::string> events;
    std::function<void()> onPump;
};
