// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FivePointWriter.h"
#include "UploadOptions.h"
#include "UploadWorker.h"

class StationPipeline;
struct StationState;

// The weather networks a station sends to: CWOP over APRS-IS, Weather
// Underground and PWSweather, each on an UploadWorker of its own. A
// five-minute point read live hands each one the observation of the
// pipeline's state; points of a replay (a burst) reach no network, so old
// weather never does.
class NetworkUploads : public FivePointWriter {
  public:
    using Reporter = UploadWorker::Reporter;

    // faults: each network's failure and recovery, beside the reporter's lines.
    NetworkUploads(UploadOptions options, Reporter reporter, OutputFaultHook faults = {});
    ~NetworkUploads() override;

    // Checks what can be checked before the first upload (a position for
    // CWOP, the secret files readable) and starts the workers of the networks
    // that pass. False, and reported, when an upload asked for cannot work:
    // that one is left out, the others run.
    bool Start();
    void Attach(StationPipeline& pipeline);
    void Detach(StationPipeline& pipeline);
    void Stop();
    bool any() const;

    void Write(const FivePointValues& point) override;
    void SetBurst(bool burst) override { burst_ = burst; }

  private:
    bool CheckCwop();
    bool CheckKeyFile(const std::string& network, const StationUploadOptions& station);
    bool AddStationUpload(const std::string& network, const StationUploadOptions& station,
                          bool anyOkReply);

    const UploadOptions options_;
    const Reporter reporter_;
    const OutputFaultHook faults_;
    const StationState* state_ = nullptr;
    std::atomic<bool> burst_{false};
    bool started_ = false;
    bool allStarted_ = false;
    std::vector<std::unique_ptr<UploadWorker>> workers_;
};
