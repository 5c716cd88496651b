// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Archive.h"
#include "ArchivePoint.h"

// Reads data logs as this program writes them into the archive: a header
// line, then "YYYY/MM/DD HH:MM" and eight tab-separated values per line. A
// line that is anything else is rejected and named, never guessed at; blank
// lines and header lines are passed over.
class DataLogImport {
  public:
    struct Counts {
        long files = 0;
        long imported = 0;
        long present = 0;  // a point at that station date and time was there already
        long rejected = 0;
        long unreadable = 0;  // files or folders that could not be read
    };
    // Told of every rejected line ("OutputData/U2K….txt:12: <reason>") and
    // every path that cannot be read.
    using Complaint = std::function<void(const std::string& message)>;

    DataLogImport(Archive& archive, Complaint complain);

    // A data log, or a folder whose U2K*.txt files are read in name order.
    // Each file is one transaction. Throws SqliteError when the archive
    // cannot take them.
    void ImportPath(const std::filesystem::path& path);
    const Counts& counts() const { return counts_; }

  private:
    void ImportFile(const std::filesystem::path& file);

    Archive& archive_;
    Complaint complain_;
    Counts counts_;
};

// One data-log line as a point; none (with the reason) when it is not one.
std::optional<ArchivePoint> ParseDataLogLine(std::string_view line, std::string& reason);
