// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineFileReader.h"

#include <sys/stat.h>

#include <cerrno>

LineFileReader::LineFileReader(const std::filesystem::path& path) {
    // "rb": reading must never create the file; line ends are handled below.
    // Opened once and checked through the open file: a FIFO has one writer
    // to give, and a probe before the real open would take it.
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        openError_ = errno;
        return;
    }
    struct stat info;
    if (::fstat(fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file_);
        file_ = nullptr;
        openError_ = EISDIR;
    }
}

LineFileReader::~LineFileReader() {
    if (file_ != nullptr) std::fclose(file_);
}

const char* LineFileReader::ReadLine() {
    if (file_ == nullptr) return nullptr;
    int n = 0;
    while (n < kMaxLine) {
        int c = getc_unlocked(file_);
        if (c == '\r') {
            const int next = getc_unlocked(file_);
            if (next == '\n') break;
            if (next != EOF) ungetc(next, file_);
        } else if (c == '\n') {
            break;
        } else if (c == EOF) {
            if (n == 0 || std::ferror(file_)) return nullptr;
            break;
        }
        line_[n++] = static_cast<char>(c);
    }
    line_[n] = '\0';
    return line_;
}
