// SPDX-License-Identifier: GPL-3.0-or-later
#include "AprsIsClient.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "HostNotFound.h"
#include "ServerAnswer.h"

namespace {
using namespace std::chrono_literals;

// A cancel is seen within this.
constexpr auto kSlice = 100ms;
// After the packet, the server's own close is awaited this long at most, so
// the packet is not lost to a reset from unread data.
constexpr auto kDrainWait = 2s;
constexpr std::size_t kMaxLine = 512;

UploadResult Failed(const std::string& why) {
    return {false, why};
}
}  // namespace

AprsIsClient::AprsIsClient(std::string server, UploadTiming timing, const std::atomic<bool>& cancel)
    : server_(std::move(server)), timing_(timing), cancel_(cancel) {}

bool AprsIsClient::WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (cancel_ || now >= deadline) return false;
        const auto slice = std::min<Clock::duration>(deadline - now, kSlice);
        pollfd p{fd, events, 0};
        const int n = ::poll(
            &p, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

UploadResult AprsIsClient::Connect(int& fd) {
    const std::size_t colon = server_.rfind(':');
    if (colon == std::string::npos) return Failed("no port in '" + server_ + "'");
    const std::string host = server_.substr(0, colon);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), server_.c_str() + colon + 1, &hints, &found);
    if (rc == EAI_NONAME || rc == EAI_NODATA) return Failed(HostNotFound(host));
    if (rc != 0) return Failed(HostNotFound(host, gai_strerror(rc)));
    std::string why = "no address";
    const Clock::time_point connectDeadline = Clock::now() + timing_.connectTimeout;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s < 0) continue;
        int error = 0;
        if (::connect(s, a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            error = errno;
        } else if (!WaitFor(s, POLLOUT, connectDeadline)) {
            error = ETIMEDOUT;
        } else {
            socklen_t size = sizeof error;
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size);
        }
        if (error == 0) {
            fd = s;
        } else {
            why = std::strerror(error);
            ::close(s);
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) return Failed(cancel_ ? "stopped" : why);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return {true, ""};
}

bool AprsIsClient::WriteLine(int fd, const std::string& line) {
    const std::string text = line + "\r\n";
    std::size_t done = 0;
    while (done < text.size()) {
        if (!WaitFor(fd, POLLOUT, deadline_)) return false;
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AprsIsClient::ReadLine(int fd, std::string& line) {
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos || buffer_.size() > kMaxLine) {
            line = buffer_.substr(0, std::min(end, buffer_.size()));
            buffer_.erase(0, end == std::string::npos ? buffer_.size() : end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (!WaitFor(fd, POLLIN, deadline_)) return false;
        char chunk[256];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n == 0) return false;
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

UploadResult AprsIsClient::Session(int fd, const std::string& login, const std::string& packet,
                                   bool verified) {
    if (!WriteLine(fd, login)) return Failed("cannot send the login");
    // The server greets with comment lines ("# ..."), then answers the login.
    std::string line;
    std::string said;  // the server's last comment, for a login it ends
    for (;;) {
        if (!ReadLine(fd, line)) {
            std::string why = Clock::now() >= deadline_ ? "no answer to the login"
                                                        : "the server ended the connection";
            if (!said.empty()) why += " after '" + ShownServerAnswer(said, {login}) + "'";
            return Failed(why);
        }
        if (line.rfind("# logresp", 0) == 0) break;
        // Anything but a comment is an answer the login did not expect.
        if (line.rfind('#', 0) != 0) {
            return Failed("the server answered '" + ShownServerAnswer(line, {login}) + "'");
        }
        said = line;
    }
    const bool unverified = line.find(" unverified") != std::string::npos;
    if (verified && unverified) return Failed("the server did not accept the passcode");
    if (!packet.empty() && !WriteLine(fd, packet)) return Failed("cannot send the packet");
    return {true, ShownServerAnswer(line, {login})};
}

void AprsIsClient::Drain(int fd) {
    ::shutdown(fd, SHUT_WR);
    deadline_ = std::min(deadline_, Clock::now() + kDrainWait);
    char chunk[256];
    while (WaitFor(fd, POLLIN, deadline_) && ::recv(fd, chunk, sizeof chunk, 0) > 0) {
    }
}

UploadResult AprsIsClient::Send(const std::string& login, const std::string& packet,
                                bool verified) {
    deadline_ = Clock::now() + timing_.totalTimeout;
    buffer_.clear();
    int fd = -1;
    UploadResult result = Connect(fd);
    if (!result.ok) return result;
    result = Session(fd, login, packet, verified);
    if (result.ok) Drain(fd);
    ::close(fd);
    return result;
}
