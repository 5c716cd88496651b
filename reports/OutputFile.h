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
        Rewrite  // created when missing; the old content is replaced
    };

    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Closes any file open before. False when the file cannot be opened.
    bool Open(const std::filesystem::path& path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    // Writes text and CR LF; false when the file is not open or the write failed.
    bool WriteLine(std::string_view text);
    // Writes each text with CR LF, all handed to the system in one call: a
    // small file rewritten whole costs one write instead of one per line.
    bool WriteLines(std::span<const std::string> texts);
    // For Rewrite, cuts the file after the last line written.
    void Close();

  private:
    bool WriteAll(iovec* parts, int count);

    int fd_ = -1;
    Mode mode_ = Mode::Append;
    long long written_ = 0;
    long long oldSize_ = 0;  // Rewrite: the file's size when opened
};

// Replaces the file's content with these lines. False when it could not be
// written.
bool RewriteFile(const std::filesystem::path& path, std::span<const std::string> lines);
