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
// line, then "YYYY/MM/DD HH:MM" and eight tab-separated values per line, each
// a number as the data log prints it ("-12.3", no exponent). A line that is
// anything else, or longer than kMaxLineLength, is rejected and named, never
// guessed at; blank lines and header lines are passed over. A value no
// sensor gives (beyond SensorRanges; the log's stand-in 0 for a reading never
// received passes) is left out of its point, and the line is named.
class DataLogImport {
  public:
    struct Counts {
        long files = 0;
        long imported = 0;
        long present = 0;  // a point at that station date and time was there already
        long rejected = 0;
        long valuesLeftOut = 0;  // beyond what the sensor gives
        long unreadable = 0;     // files or folders that could not be read
    };
    // Told of every rejected line ("OutputData/U2K….txt:12: <reason>") and
    // every path that cannot be read.
    using Complaint = std::function<void(const std::string& message)>;

    DataLogImport(Archive& archive, Complaint complain);

    static constexpr std::size_t kMaxLineLength = 200;

    // A data log, or a folder whose U2K*.txt files are read in name order;
    // anything but a regular file or a folder is refused as unreadable.
    // Each file is one transaction. Throws SqliteError when the archive
    // cannot take them.
    void ImportPath(const std::filesystem::path& path);
    // The data logs in folder that may hold points the archive lacks, whose
    // latest point was `latest` ("YYYY-MM-DD HH:MM"): the one that holds it
    // and every later one; with none, the newest. A folder that is not
    // there holds none.
    void ImportRecent(const std::filesystem::path& folder,
                      const std::optional<std::string>& latest);
    // Only lines before this station time ("YYYY-MM-DD HH:MM") are read.
    void SetLimit(std::string before) { before_ = std::move(before); }
    const Counts& counts() const { return counts_; }

  private:
    void ImportFile(const std::filesystem::path& file);
    std::vector<std::filesystem::path> DataLogsIn(const std::filesystem::path& folder);

    Archive& archive_;
    std::string before_;
    Complaint complain_;
    Counts counts_;
};

// One data-log line as a point; none (with the reason) when it is not one.
// Values beyond what the sensor gives are left out, and said in leftOut.
std::optional<ArchivePoint> ParseDataLogLine(std::string_view line, std::string& reason,
                                             std::string* leftOut = nullptr);
