// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Open(const std::filesystem::path& path, Mode mode) {
    Close();
    // A rewrite does not truncate on open: it writes over the old bytes and
    // cuts the rest at Close. Truncating a file to zero and rewriting it makes
    // ext4 force the data to disk at close (about 0.2 ms a file), which would
    // dominate a replay that rewrites two reports every five minutes of data.
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    if (mode == Mode::Append) flags |= O_APPEND;
    fd_ = ::open(path.c_str(), flags, 0666);
    mode_ = mode;
    written_ = 0;
    oldSize_ = 0;
    struct stat info;
    if (fd_ >= 0 && mode == Mode::Rewrite && ::fstat(fd_, &info) == 0) oldSize_ = info.st_size;
    return fd_ >= 0;
}

namespace {
char kLineEnd[] = "\r\n";
constexpr std::size_t kMaxLinesAtOnce = 16;
}  // namespace

bool OutputFile::WriteLine(std::string_view text) {
    iovec parts[2] = {{const_cast<char*>(text.data()), text.size()}, {kLineEnd, 2}};
    return WriteAll(parts, 2);
}

bool OutputFile::WriteLines(std::span<const std::string> texts) {
    bool ok = true;
    while (!texts.empty()) {
        const std::size_t batch = std::min(texts.size(), kMaxLinesAtOnce);
        iovec parts[2 * kMaxLinesAtOnce];
        for (std::size_t i = 0; i < batch; ++i) {
            parts[2 * i] = {const_cast<char*>(texts[i].data()), texts[i].size()};
            parts[2 * i + 1] = {kLineEnd, 2};
        }
        ok = WriteAll(parts, static_cast<int>(2 * batch)) && ok;
        texts = texts.subspan(batch);
    }
    return ok;
}

bool OutputFile::WriteAll(iovec* parts, int count) {
    if (fd_ < 0) return false;
    while (count > 0) {
        const ssize_t n = ::writev(fd_, parts, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written_ += n;
        // A short write: go on from where the system stopped.
        std::size_t done = static_cast<std::size_t>(n);
        while (count > 0 && done >= parts->iov_len) {
            done -= parts->iov_len;
            ++parts;
            --count;
        }
        if (count > 0) {
            parts->iov_base = static_cast<char*>(parts->iov_base) + done;
            parts->iov_len -= done;
        }
    }
    return true;
}

void OutputFile::Close() {
    if (fd_ < 0) return;
    // Only a longer old content leaves a tail to cut.
    if (mode_ == Mode::Rewrite && oldSize_ > written_) {
        while (::ftruncate(fd_, written_) != 0 && errno == EINTR) {
        }
    }
    ::close(fd_);
    fd_ = -1;
}

bool RewriteFile(const std::filesystem::path& path, std::span<const std::string> lines) {
    OutputFile file;
    if (!file.Open(path, OutputFile::Mode::Rewrite)) return false;
    const bool ok = file.WriteLines(lines);
    file.Close();
    return ok;
}
