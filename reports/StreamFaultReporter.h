// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <utility>

#include "FileFaultReporter.h"

// One line per fault and per recovery on a text stream (the logger's stderr),
// each starting with the program's name.
class StreamFaultReporter : public FileFaultReporter {
  public:
    StreamFaultReporter(std::ostream& out, std::string program)
        : out_(out), program_(std::move(program)) {}

    void Report(const std::string& file, const std::string& cause) override;
    void Recovered(const std::string& file) override;

  private:
    std::ostream& out_;
    std::string program_;
};
