// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

struct iovec;

// An output file written line by line, each line ending in CR LF and handed
// to the operating system as soon as it is written (so readers see whole
// lines at once). No sharing restrictions: other programs may read the file
// while it is open.
class OutputFile {
  public:
    enum class Mode {
        Append,  // created when missing; lines go after the existing content
        New      // must not exist yet (a symlink in its place is not followed)
    };

    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Closes any file open before. False when the file cannot be opened.
    bool Open(const std::filesystem::path& path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    // Writes text and CR LF; false when the file is not open or the write
    // failed. A line that fails part-way is cut off again, so that the file
    // holds whole lines only and the next line starts on its own.
    bool WriteLine(std::string_view text);
    // Writes each text with CR LF, all handed to the system in one call: a
    // small file written whole costs one write instead of one per line.
    bool WriteLines(std::span<const std::string> texts);
    // False when the system reports a late write error.
    bool Close();
    // The errno of the last failed call.
    int error() const { return error_; }

  private:
    bool WriteAll(iovec* parts, int count);
    void CutBack(std::size_t bytes);

    int fd_ = -1;
    int error_ = 0;
};

// Replaces the file with one holding these lines: they go to a temporary
// file in the same folder, which is then renamed over the old one, so a
// reader finds the old content or the new, never a mix, even if the program
// dies half-way. Returns 0, or the errno of the step that failed.
int RewriteFile(const std::filesystem::path& path, std::span<const std::string> lines);
