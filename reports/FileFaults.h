// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "FileFaultReporter.h"

// Every attempt to write an output file ends here. A fault is passed on
// once per file and cause, and its end once, so a full disk gives one
// message rather than one every five minutes; failed attempts are counted.
class FileFaults {
  public:
    // None by default: faults are then only counted.
    void SetReporter(FileFaultReporter* reporter) { reporter_ = reporter; }

    // output names one output whose file name may change (the data log gets
    // a new file every day); error is the errno of the attempt.
    void Failed(std::string_view output, const std::string& file, int error);
    // The same with the cause in words, for outputs whose failures are no
    // errno (a database that is no database, or of a newer version).
    void Failed(std::string_view output, const std::string& file, const std::string& cause);
    void Succeeded(std::string_view output, const std::string& file);

    long failedWrites() const { return failedWrites_; }

  private:
    struct Fault {
        std::string file;
        std::string cause;
    };

    FileFaultReporter* reporter_ = nullptr;
    std::map<std::string, Fault, std::less<>> faults_;  // by output, while failing
    long failedWrites_ = 0;
};
