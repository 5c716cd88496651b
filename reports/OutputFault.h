// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// A live output (an upload to a weather network, the MQTT broker) that
// starts failing, or works again: told once each, beside the line the output
// writes for a person, so that what watches the outputs never reads text.
struct OutputFault {
    std::string output;  // "CWOP", "Weather Underground", "PWSweather", "MQTT"
    bool failing = false;
    std::string message;  // "upload failed (...); trying again later", "uploading again"
};

// Called from the output's own thread; must be quick and safe to call from
// there. May be empty.
using OutputFaultHook = std::function<void(const OutputFault& fault)>;
