// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Told when an output file (a report, the data log) cannot be opened or
// written, and when it is written again. The window shows a fault in its
// "Application Error" box, the logger as one line on stderr. Calls come from
// the thread that processes the records, at most once per file and cause.
class FileFaultReporter {
  public:
    virtual ~FileFaultReporter() = default;
    // file as the program names it ("OutputData/U2K200212051437.txt");
    // cause: the system's reason ("No space left on device").
    virtual void Report(const std::string& file, const std::string& cause) = 0;
    // file was written after a reported fault.
    virtual void Recovered(const std::string& file) = 0;
};
