#include "OutputFile.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

OutputFile::~OutputFile() { Close(); }

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
    return fd_ >= 0;
}

bool OutputFile::WriteLine(std::string_view text) {
    if (fd_ < 0) return false;
    static const char kLineEnd[] = "\r\n";
    iovec parts[2] = {{const_cast<char*>(text.data()), text.size()},
                      {const_cast<char*>(kLineEnd), 2}};
    std::size_t remaining = text.size() + 2;
    int first = 0;
    while (remaining > 0) {
        const ssize_t n = ::writev(fd_, parts + first, 2 - first);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written_ += n;
        remaining -= static_cast<std::size_t>(n);
        // A short write: go on from where the system stopped.
        std::size_t done = static_cast<std::size_t>(n);
        while (first < 2 && done >= parts[first].iov_len) {
            done -= parts[first].iov_len;
            ++first;
        }
        if (first < 2) {
            parts[first].iov_base = static_cast<char*>(parts[first].iov_base) + done;
            parts[first].iov_len -= done;
        }
    }
    return true;
}

void OutputFile::Close() {
    if (fd_ < 0) return;
    if (mode_ == Mode::Rewrite) {
        while (::ftruncate(fd_, written_) != 0 && errno == EINTR) {
        }
    }
    ::close(fd_);
    fd_ = -1;
}
