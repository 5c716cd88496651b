// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <filesystem>

// Reads a text file line by line as the test replay does: at most 511
// characters a line (the rest of a longer file line becomes the next line),
// the line feed consumed, a carriage return before it dropped. Never creates
// the file.
class LineFileReader {
  public:
    static constexpr int kMaxLine = 511;

    explicit LineFileReader(const std::filesystem::path& path);
    ~LineFileReader();
    LineFileReader(const LineFileReader&) = delete;
    LineFileReader& operator=(const LineFileReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Why the file could not be opened (an errno; EISDIR for a directory).
    int openError() const { return openError_; }
    // The next line, NUL-terminated, or nullptr at the end of the file or on a
    // read error. The text stays valid until the next call.
    const char* ReadLine();

  private:
    std::FILE* file_ = nullptr;
    int openError_ = 0;
    char line_[kMaxLine + 1] = {};
};
