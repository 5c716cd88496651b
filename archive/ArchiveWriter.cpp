// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveWriter.h"

#include <utility>

#include "SqliteError.h"

ArchiveWriter::ArchiveWriter(FileFaults& faults, DaySummarySource& days, std::filesystem::path path)
    : faults_(faults), days_(days), path_(std::move(path)) {}

ArchiveWriter::~ArchiveWriter() {
    // Only an archive that works: a fault was told already, and the
    // reporter may be gone by now.
    if (archive_ == nullptr || failing_) return;
    TakeChangedDays();
    if (!changedDays_.empty() || !points_.empty()) Flush();
}

void ArchiveWriter::Write(const FivePointValues& point) {
    TakeChangedDays();
    points_.push_back(
        ArchivePoint::FromFivePoint(point, burst_ ? std::nullopt : std::optional(UtcNowText())));
    if (points_.size() > kMaxPendingPoints) points_.erase(points_.begin());
    // In a burst a failing archive is tried again a batch later, not at every point.
    if (burst_ && ++pointsSinceAttempt_ < kBurstPoints) return;
    Flush();
}

void ArchiveWriter::SetBurst(bool burst) {
    if (burst_ && !burst) {
        TakeChangedDays();
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

bool ArchiveWriter::Flush() {
    pointsSinceAttempt_ = 0;
    // A replay that read nothing makes no archive.
    if (points_.empty() && changedDays_.empty()) return true;
    try {
        if (archive_ == nullptr)
            archive_ = std::make_unique<Archive>(path_, Archive::Access::Write);
        std::vector<DaySummary> days;
        days.reserve(changedDays_.size());
        for (const auto& [date, day] : changedDays_) days.push_back(day);
        archive_->Write(points_, days);
    } catch (const SqliteError& error) {
        Failed(error.what());
        return false;
    }
    points_.clear();
    changedDays_.clear();
    failing_ = false;
    faults_.Succeeded(kOutput, path_.string());
    return true;
}

// The connection goes: the next point opens the file afresh, which finds a
// file put right (or replaced) meanwhile.
void ArchiveWriter::Failed(const std::string& cause) {
    archive_.reset();
    failing_ = true;
    faults_.Failed(kOutput, path_.string(), cause);
}
