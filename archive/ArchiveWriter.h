// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Archive.h"
#include "DaySummary.h"
#include "FileFaults.h"
#include "FivePointWriter.h"

// Writes each five-minute point and the days whose highs and lows changed
// into the archive, one transaction per point; in a burst (a replay) one per
// kBurstPoints points and one at its end. An archive that cannot be opened or
// written goes to the faults like a file; what it could not take is kept
// (up to kMaxPendingPoints points) and tried again at the next point, so the
// other files never wait for it and nothing is lost while it recovers.
class ArchiveWriter : public FivePointWriter {
  public:
    static constexpr std::size_t kBurstPoints = 1000;
    static constexpr std::size_t kMaxPendingPoints = 7 * 288;  // a week
    static constexpr const char* kOutput = "archive";

    // path relative to the working folder at the time of the first point.
    ArchiveWriter(FileFaults& faults, DaySummarySource& days,
                  std::filesystem::path path = Archive::kFileName);
    // Writes what is still pending: the days changed since the last point.
    ~ArchiveWriter() override;

    void Write(const FivePointValues& point) override;
    void SetBurst(bool burst) override;

    std::size_t pendingPoints() const { return points_.size(); }

  private:
    void TakeChangedDays();
    bool Flush();
    void Failed(const std::string& cause);

    FileFaults& faults_;
    DaySummarySource& days_;
    std::filesystem::path path_;
    std::unique_ptr<Archive> archive_;
    std::vector<ArchivePoint> points_;
    std::map<std::string, DaySummary> changedDays_;  // by "YYYY-MM-DD", so in order
    bool burst_ = false;
    bool failing_ = false;
    std::size_t pointsSinceAttempt_ = 0;
};
