// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveWriter.h"

#include <chrono>
#include <utility>

#include "DataLog.h"
#include "DataLogImport.h"
#include "SqliteError.h"

ArchiveWriter::ArchiveWriter(FileFaults& faults, DaySummarySource& days, std::filesystem::path path)
    : faults_(faults), days_(days), path_(std::move(path)) {}

ArchiveWriter::~ArchiveWriter() {
    CollectBackground();
    // Only an archive that works: a fault was told already, and the
    // reporter may be gone by now.
    if (archive_ == nullptr || failing_) return;
    Flush();
}

void ArchiveWriter::Write(const FivePointValues& point) {
    points_.push_back(
        ArchivePoint::FromFivePoint(point, burst_ ? std::nullopt : std::optional(UtcNowText())));
    if (points_.size() > kMaxPendingPoints) points_.pop_front();
    if (!burst_) {
        // Never waits: a write still under way takes this point with the next.
        if (background_.valid() &&
            background_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        CollectBackground();
        StartWrite();
        return;
    }
    // In a burst a failing archive is tried again a batch later, not at every point.
    if (++pointsSinceAttempt_ < kBurstPoints) return;
    pointsSinceAttempt_ = 0;
    if (!CollectBackground()) return;  // it failed: the next batch tries again
    StartWrite();
}

void ArchiveWriter::StartWrite() {
    TakeChangedDays();
    if (points_.empty() && changedDays_.empty()) return;
    background_ = std::async(std::launch::async, &ArchiveWriter::WriteBatch, this, TakeBatch());
}

void ArchiveWriter::SetBurst(bool burst) {
    if (burst_ && !burst) {
        CollectBackground();
        Flush();
    }
    burst_ = burst;
}

// A day's summary holds all its records so far: the latest replaces the one
// still pending.
void ArchiveWriter::TakeChangedDays() {
    for (DaySummary& day : days_.TakeChangedDays()) {
        std::string date = DaySummaryDateText(day);
        changedDays_.insert_or_assign(std::move(date), std::move(day));
    }
}

ArchiveWriter::Batch ArchiveWriter::TakeBatch() {
    Batch batch;
    batch.points.assign(std::make_move_iterator(points_.begin()),
                        std::make_move_iterator(points_.end()));
    batch.days = std::move(changedDays_);
    points_.clear();
    changedDays_.clear();
    return batch;
}

ArchiveWriter::Batch ArchiveWriter::WriteBatch(Batch batch) {
    try {
        if (archive_ == nullptr)
            archive_ = std::make_unique<Archive>(path_, Archive::Access::Write);
        std::vector<DaySummary> days;
        days.reserve(batch.days.size());
        for (const auto& [date, day] : batch.days) days.push_back(day);
        // Before this run's points are in: they would hide the logs' later lines.
        std::optional<std::string> latest;
        if (!caughtUp_) latest = archive_->LatestPointTime();
        archive_->Write(batch.points, days);
        if (!caughtUp_) CatchUp(batch, latest);
        batch.points.clear();
        batch.days.clear();
    } catch (const SqliteError& error) {
        // The connection goes: the next write opens the file afresh, which
        // finds a file put right (or replaced) meanwhile.
        archive_.reset();
        batch.failure = error.what();
    }
    return batch;
}

// After this run's first points are in, so that they keep what only a live
// point knows (gust, degrees, time of writing): the data logs' lines from
// before them that the archive lacks, as a killed run leaves them.
void ArchiveWriter::CatchUp(const Batch& batch, const std::optional<std::string>& latest) {
    if (batch.points.empty()) return;
    DataLogImport logs(*archive_, [](const std::string&) {
        // A line cut short by the kill, or one --import names.
    });
    logs.SetLimit(batch.points.front().date + " " + batch.points.front().time);
    logs.ImportRecent(path_.parent_path() / kDataLogDirectory, latest);
    caughtUp_ = true;
}

// The outcome of a write, on the processing thread: what failed goes back
// before what came since (the newer summary of a day wins), and the fault is told.
bool ArchiveWriter::Settle(Batch batch) {
    if (batch.failure.empty()) {
        failing_ = false;
        faults_.Succeeded(kOutput, path_.string());
        return true;
    }
    points_.insert(points_.begin(), std::make_move_iterator(batch.points.begin()),
                   std::make_move_iterator(batch.points.end()));
    while (points_.size() > kMaxPendingPoints) points_.pop_front();
    changedDays_.merge(batch.days);  // keeps the newer where both have a day
    failing_ = true;
    faults_.Failed(kOutput, path_.string(), batch.failure);
    return false;
}

bool ArchiveWriter::CollectBackground() {
    if (!background_.valid()) return true;
    return Settle(background_.get());
}

// The days are taken here, not at every point: in a replay a day's summary
// changes at every point, and only the last one before a write counts.
bool ArchiveWriter::Flush() {
    TakeChangedDays();
    pointsSinceAttempt_ = 0;
    // A replay that read nothing makes no archive.
    if (points_.empty() && changedDays_.empty()) return true;
    return Settle(WriteBatch(TakeBatch()));
}
