// SPDX-License-Identifier: GPL-3.0-or-later
#include "SecretFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {
// A secret is one short line; nothing longer is read.
constexpr std::size_t kMaxSecret = 4096;

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "no regular file";
}

std::optional<std::string> Fail(std::string* problem, std::string why) {
    if (problem) *problem = std::move(why);
    return std::nullopt;
}
}  // namespace

std::optional<std::string> ReadSecretFile(const std::string& path, std::string* problem) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Fail(problem, std::strerror(errno));
    const std::unique_ptr<const int, void (*)(const int*)> closer(
        &fd, [](const int* f) { ::close(*f); });
    struct stat info {};
    if (::fstat(fd, &info) != 0) return Fail(problem, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Fail(problem, std::string("is ") + KindOf(info.st_mode) + ", not a regular file");
    std::string text(kMaxSecret, '\0');
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t n = ::read(fd, text.data() + length, text.size() - length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(problem, std::strerror(errno));
        if (n == 0) break;
        length += static_cast<std::size_t>(n);
    }
    text.resize(length);
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return Fail(problem, "is empty");
    return line;
}

std::string SecretFileProblem(const std::string& path) {
    std::string problem;
    return ReadSecretFile(path, &problem) ? std::string() : problem;
}
