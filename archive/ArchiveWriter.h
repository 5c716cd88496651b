// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <filesystem>
#include <future>
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
// Every write runs on a thread of its own (one at a time, in order), so the
// record path never waits for SQLite: live, a point that comes while the
// write before is still under way (another program holds the archive) waits
// in memory and goes with the next one; in a burst the replay waits for the
// batch before only when the next is full. A write's outcome is taken, and
// told to the faults, on the processing thread at a later point, at the
// burst's end or at WaitForWrites().
// The first write brings the archive up to date from the data logs: the
// points a killed run logged but never committed (see DataLogImport).
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

    // Waits for the write under way and takes its outcome.
    void WaitForWrites() { CollectBackground(); }

    std::size_t pendingPoints() const { return points_.size(); }

  private:
    // What one write takes; on failure it comes back with the cause.
    struct Batch {
        std::vector<ArchivePoint> points;
        std::map<std::string, DaySummary> days;
        std::string failure;
    };

    void TakeChangedDays();
    bool Flush();
    Batch TakeBatch();
    // Writes on whichever thread runs it; touches nothing but archive_.
    Batch WriteBatch(Batch batch);
    bool Settle(Batch batch);
    bool CollectBackground();
    void StartWrite();
    void CatchUp(const Batch& batch, const std::optional<std::string>& latest);

    FileFaults& faults_;
    DaySummarySource& days_;
    std::filesystem::path path_;
    std::unique_ptr<Archive> archive_;
    // A deque: while the archive fails, the oldest goes at every point.
    std::deque<ArchivePoint> points_;
    std::map<std::string, DaySummary> changedDays_;  // by "YYYY-MM-DD", so in order
    bool burst_ = false;
    bool failing_ = false;
    std::size_t pointsSinceAttempt_ = 0;
    bool caughtUp_ = false;          // only on the writing thread
    std::future<Batch> background_;  // the batch being written, if any
};
