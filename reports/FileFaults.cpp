// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFaults.h"

#include <cstring>

void FileFaults::Failed(std::string_view output, const std::string& file, int error) {
    Failed(output, file, std::string(std::strerror(error)));
}

void FileFaults::Failed(std::string_view output, const std::string& file,
                        const std::string& cause) {
    ++failedWrites_;
    auto fault = faults_.find(output);
    if (fault == faults_.end()) fault = faults_.emplace(std::string(output), Fault{}).first;
    if (fault->second.file == file && fault->second.cause == cause) return;
    fault->second = {file, cause};
    if (reporter_ != nullptr) reporter_->Report(file, cause);
}

void FileFaults::Succeeded(std::string_view output, const std::string& file) {
    if (faults_.empty()) return;  // the usual case, once per line written
    const auto fault = faults_.find(output);
    if (fault == faults_.end()) return;
    faults_.erase(fault);
    if (reporter_ != nullptr) reporter_->Recovered(file);
}
