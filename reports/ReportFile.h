// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <span>
#include <string>
#include <vector>

#include "FileFaults.h"

// A report file in the working directory, replaced whole at every five-minute
// point. During a burst of points (a replay runs weeks of them in a second)
// only the newest version is written, at most one per kBurstInterval, and
// the one still held when the burst ends: each replacement costs a rename,
// and the programs that read the file poll it far less often.
class ReportFile {
  public:
    static constexpr std::chrono::milliseconds kBurstInterval{50};

    ReportFile(std::string path, FileFaults& faults);
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // The new content. A version that could not be written is tried again
    // with the next one.
    void Replace(std::span<const std::string> lines);
    // Ending a burst writes the version held back, if any.
    void SetBurst(bool burst);

  private:
    void Write();

    std::string path_;
    FileFaults& faults_;
    std::vector<std::string> lines_;
    bool pending_ = false;
    bool burst_ = false;
    std::chrono::steady_clock::time_point lastWrite_{};
};
