// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "OutputFault.h"
#include "UploadOptions.h"
#include "UploadResult.h"
#include "UploadSchedule.h"
#include "WeatherObservation.h"

// Runs one network's uploads on a thread of its own. The processing thread
// only offers each five-minute point's observation: taken when the schedule
// says it is due, otherwise dropped (old weather is never sent late). A
// failure is reported once, and once more when an upload works again: to
// the fault hook, then as a line for a person.
class UploadWorker {
  public:
    // Does one upload; returns within the time-outs, at once when cancel is set.
    using Sender =
        std::function<UploadResult(const WeatherObservation&, const std::atomic<bool>& cancel)>;
    using Reporter = std::function<void(const std::string& message)>;

    // network and server name it in the reports ("CWOP (host:port)"), the
    // network alone to the fault hook.
    UploadWorker(std::string network, const std::string& server, const UploadTiming& timing,
                 Sender sender, Reporter reporter, OutputFaultHook faults = {});
    ~UploadWorker();
    UploadWorker(const UploadWorker&) = delete;
    UploadWorker& operator=(const UploadWorker&) = delete;

    // On the processing thread: returns at once, whatever the network does. A
    // point taken is sent after the timing's send delay and spacing.
    void Offer(const WeatherObservation& observation);
    // Ends an upload under way (without waiting for its time-outs) and the thread.
    void Stop();

  private:
    void Run();
    void Report(const UploadResult& result);

    const std::string network_;
    const std::string name_;
    const UploadTiming timing_;
    const Sender sender_;
    const Reporter reporter_;
    const OutputFaultHook faults_;
    std::atomic<bool> cancel_{false};
    bool failing_ = false;  // only the worker thread touches it

    std::mutex mutex_;  // guards everything below
    std::condition_variable wake_;
    UploadSchedule schedule_;
    std::optional<WeatherObservation> pending_;
    UploadSchedule::Clock::time_point takenAt_{};
    std::optional<UploadSchedule::Clock::time_point> lastSent_;
    bool stopping_ = false;
    std::thread thread_;
};
