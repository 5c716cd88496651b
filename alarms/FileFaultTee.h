// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSet.h"
#include "FileFaultReporter.h"

// Hands each file fault and recovery to the reporter the program already
// had (a box, stderr) and to the alarms.
class FileFaultTee : public FileFaultReporter {
  public:
    FileFaultTee(FileFaultReporter* first, AlarmSet& alarms) : first_(first), alarms_(alarms) {}

    void Report(const std::string& file, const std::string& cause) override {
        if (first_) first_->Report(file, cause);
        alarms_.FileFailed(file, cause);
    }
    void Recovered(const std::string& file) override {
        if (first_) first_->Recovered(file);
        alarms_.FileRecovered(file);
    }

  private:
    FileFaultReporter* first_;
    AlarmSet& alarms_;
};
