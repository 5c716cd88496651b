// SPDX-License-Identifier: GPL-3.0-or-later
#include "UploadWorker.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <utility>

UploadWorker::UploadWorker(std::string network, const std::string& server,
                           const UploadTiming& timing, Sender sender, Reporter reporter,
                           OutputFaultHook faults)
    : network_(std::move(network)),
      name_(network_ + " (" + server + ")"),
      timing_(timing),
      sender_(std::move(sender)),
      reporter_(std::move(reporter)),
      faults_(std::move(faults)),
      schedule_(timing) {
    // Started with every signal blocked, so the process's signals go to the
    // thread that waits for them (the logger's signalfd), never to this one.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    thread_ = std::thread(&UploadWorker::Run, this);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

UploadWorker::~UploadWorker() {
    Stop();
}

void UploadWorker::Offer(const WeatherObservation& observation) {
    {
        std::lock_guard lock(mutex_);
        const auto now = UploadSchedule::Clock::now();
        if (stopping_ || !schedule_.Due(now)) return;
        schedule_.Took(now);
        takenAt_ = now;
        pending_ = observation;
    }
    wake_.notify_one();
}

void UploadWorker::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    cancel_ = true;
    wake_.notify_one();
    thread_.join();
}

void UploadWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
        if (stopping_) return;
        auto sendAt = takenAt_ + timing_.sendDelay;
        if (lastSent_) sendAt = std::max(sendAt, *lastSent_ + timing_.minSpacing);
        if (wake_.wait_until(lock, sendAt, [this] { return stopping_; })) return;
        lastSent_ = UploadSchedule::Clock::now();
        const WeatherObservation observation = *pending_;
        pending_.reset();
        lock.unlock();
        const UploadResult result = sender_(observation, cancel_);
        lock.lock();
        if (stopping_) return;  // cut short by Stop: neither a failure nor a success
        if (result.ok) {
            schedule_.Succeeded();
        } else {
            schedule_.Failed();
        }
        lock.unlock();
        Report(result);
        lock.lock();
    }
}

void UploadWorker::Report(const UploadResult& result) {
    if (result.ok && failing_) {
        failing_ = false;
        if (faults_) faults_({network_, false, "uploading again"});
        reporter_(name_ + ": uploading again");
    } else if (!result.ok && !failing_) {
        failing_ = true;
        const std::string message = "upload failed (" + result.message + "); trying again later";
        if (faults_) faults_({network_, true, message});
        reporter_(name_ + ": " + message);
    }
}
