// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "NetworkUploads.h"
#include "ReportsTestSupport.h"
#include "StationPipeline.h"

// A station read live: records of the default readings, a five-minute point
// at every call of Point, and the uploads attached.
class LiveStation {
  public:
    explicit LiveStation(UploadOptions options)
        : uploads_(
              std::move(options), [this](const std::string& m) { Told(m); },
              [this](const OutputFault& f) {
                  std::lock_guard lock(mutex_);
                  faults_.push_back(f);
              }) {
        pipeline_.SetStartYear(2002);
        EXPECT_TRUE(uploads_.Start());
        uploads_.Attach(pipeline_);
    }
    ~LiveStation() { uploads_.Stop(); }

    void Line(const reports_test::Record& record) { pipeline_.ProcessLine(record.Line().c_str()); }
    // Five more minutes of records; the last one makes a point.
    void Point(reports_test::Record record = {}) {
        for (int i = 0; i < 5; ++i) {
            minute_ = (minute_ + 1) % 1440;
            record.minuteOfDay = minute_;
            Line(record);
        }
    }
    void SetMinute(int minute) { minute_ = minute; }
    StationPipeline& pipeline() { return pipeline_; }
    NetworkUploads& uploads() { return uploads_; }

    bool WaitForReports(std::size_t count,
                        std::chrono::milliseconds wait = std::chrono::seconds(30)) {
        std::unique_lock lock(mutex_);
        return told_.wait_for(lock, wait, [&] { return reports_.size() >= count; });
    }
    std::vector<std::string> reports() {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    // What the fault hook was told, each before its report.
    std::vector<OutputFault> faults() {
        std::lock_guard lock(mutex_);
        return faults_;
    }

  private:
    void Told(const std::string& message) {
        {
            std::lock_guard lock(mutex_);
            reports_.push_back(message);
        }
        told_.notify_all();
    }

    reports_test::ScopedWorkDir dir_;
    HeadlessView view_;
    HeadlessChart chart_;
    StationPipeline pipeline_{view_, chart_};
    std::mutex mutex_;
    std::condition_variable told_;
    std::vector<std::string> reports_;
    std::vector<OutputFault> faults_;
    int minute_ = 0;
    NetworkUploads uploads_;  // last: stopped before anything it reports to goes
};

// Tries at every point, time-outs short enough for a test to see them end.
inline UploadTiming EveryPoint(std::chrono::milliseconds timeout = std::chrono::seconds(2)) {
    return {std::chrono::seconds(0), std::chrono::seconds(0), std::chrono::seconds(0), timeout,
            timeout};
}
