// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "MqttOptions.h"
#include "MqttPublisher.h"
#include "NetworkUploads.h"
#include "WxnowJsonWriter.h"

class StationPipeline;

// The live data a program sends beside its files, as its settings or command
// line ask: the MQTT publisher (when options name a host), wxnow.json (when
// asked for) and the uploads to the weather networks (NetworkUploads). The window and the headless
// logger both run exactly this: Start, Attach to the pipeline, and Stop when the run ends.
class LiveOutputs {
  public:
    using Reporter = MqttPublisher::Reporter;

    // faults: each network's and the broker's failure and recovery (for the
    // uploads alarm), beside the reporter's lines.
    LiveOutputs(MqttOptions mqtt, bool wxnow, Reporter reporter,
                std::filesystem::path wxnowFile = kWxnowJsonFile, UploadOptions uploads = {},
                OutputFaultHook faults = {});
    ~LiveOutputs();
    LiveOutputs(const LiveOutputs&) = delete;
    LiveOutputs& operator=(const LiveOutputs&) = delete;

    // Starts connecting in the background. False (and reported) for options
    // that cannot work: an unreadable password or key file, a bad CA file,
    // CWOP without a position. Such an output is left out; the rest run.
    bool Start();
    // Every record and five-minute point from now on reaches the outputs.
    void Attach(StationPipeline& pipeline);
    // The pipeline forgets the outputs, before they go (settings changed).
    void Detach(StationPipeline& pipeline);
    // Publishes the latest state and "offline", writes wxnow.json one last time.
    void Stop();
    // false while the station link is waiting or silent: "offline" on MQTT.
    void SetLinkAvailable(bool available);
    // Waits up to limit until the broker has every MQTT summary so far; the
    // number still waiting (0 without MQTT).
    std::size_t WaitForSummaries(std::chrono::steady_clock::duration limit);

    bool mqttOn() const { return publisher_ != nullptr; }
    bool wxnowOn() const { return wxnow_ != nullptr; }
    bool uploadsOn() const { return uploads_ != nullptr; }
    // The running MQTT publisher, for the alarms to share its connection; nullptr without.
    MqttPublisher* mqtt() { return publisher_.get(); }

  private:
    std::unique_ptr<MqttPublisher> publisher_;
    std::unique_ptr<WxnowJsonWriter> wxnow_;
    std::unique_ptr<NetworkUploads> uploads_;
};
