// SPDX-License-Identifier: GPL-3.0-or-later
#include "StreamFaultReporter.h"

void StreamFaultReporter::Report(const std::string& file, const std::string& cause) {
    out_ << program_ << ": cannot write '" << file << "': " << cause << std::endl;
}

void StreamFaultReporter::Recovered(const std::string& file) {
    out_ << program_ << ": writing '" << file << "' again" << std::endl;
}
