// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportFile.h"

#include <utility>

#include "OutputFile.h"

ReportFile::ReportFile(std::string path, FileFaults& faults)
    : path_(std::move(path)), faults_(faults) {}

void ReportFile::Replace(std::span<const std::string> lines) {
    lines_.assign(lines.begin(), lines.end());
    pending_ = true;
    if (!burst_ || std::chrono::steady_clock::now() - lastWrite_ >= kBurstInterval) Write();
}

void ReportFile::SetBurst(bool burst) {
    burst_ = burst;
    if (!burst_ && pending_) Write();
}

void ReportFile::Write() {
    lastWrite_ = std::chrono::steady_clock::now();
    if (const int error = RewriteFile(path_, lines_); error != 0) {
        faults_.Failed(path_, path_, error);
        return;
    }
    pending_ = false;
    faults_.Succeeded(path_, path_);
}
