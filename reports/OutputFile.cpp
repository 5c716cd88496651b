// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFile.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Open(const std::filesystem::path& path, Mode mode) {
    Close();
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    flags |= mode == Mode::Append ? O_APPEND : O_EXCL | O_NOFOLLOW;
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) error_ = errno;
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
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    std::size_t written = 0;
    while (count > 0) {
        const ssize_t n = ::writev(fd_, parts, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            CutBack(written);
            return false;
        }
        written += n;
        // A short write (a full disk, a file size limit): go on from where
        // the system stopped; the next call says why it stopped.
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

void OutputFile::CutBack(std::size_t bytes) {
    if (bytes == 0) return;
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < static_cast<off_t>(bytes)) return;
    while (::ftruncate(fd_, end - static_cast<off_t>(bytes)) != 0 && errno == EINTR) {
    }
}

bool OutputFile::Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    if (!ok) error_ = errno;
    fd_ = -1;
    return ok;
}

namespace {
// ".wxreportaprs.txt.tmp" beside "wxreportaprs.txt": hidden, so that programs
// looking for the report by pattern do not pick it up.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
    return path.parent_path() / ("." + path.filename().string() + ".tmp");
}
}  // namespace

int RewriteFile(const std::filesystem::path& path, std::span<const std::string> lines) {
    const std::filesystem::path temporary = TemporaryPathFor(path);
    // What a killed run left there, or anything planted there, goes first.
    ::unlink(temporary.c_str());
    OutputFile file;
    bool ok = file.Open(temporary, OutputFile::Mode::New) && file.WriteLines(lines);
    ok = file.Close() && ok;
    int error = ok ? 0 : file.error();
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}
