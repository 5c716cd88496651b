// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>

// A raw loopback client: sends the bytes given as they are (no client
// library that would tidy a path), reads what comes back.
namespace web_test {

class Connection {
  public:
    explicit Connection(int port, int receiveBuffer = 0) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        timeval wait{0, 200 * 1000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Connection() { close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return connected_; }
    bool Send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // Reads until `wanted` has come (or the end, or the deadline); all read so far.
    const std::string& ReadUntil(const std::string& wanted,
                                 std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (received_.find(wanted) == std::string::npos && !closed_ &&
               std::chrono::steady_clock::now() < deadline) {
            char buffer[8192];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n == 0) closed_ = true;
            if (n > 0) received_.append(buffer, std::size_t(n));
        }
        return received_;
    }
    const std::string& ReadToEnd(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        return ReadUntil(std::string(1, '\0') + "never", limit);
    }
    bool closed() const { return closed_; }
    void Forget() { received_.clear(); }

  private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    std::string received_;
};

struct Reply {
    int status = 0;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
};

inline Reply ParseReply(const std::string& text) {
    Reply reply;
    const auto headEnd = text.find("\r\n\r\n");
    if (text.size() < 12 || headEnd == std::string::npos) return reply;
    reply.status = std::stoi(text.substr(9, 3));
    std::size_t at = text.find("\r\n") + 2;
    while (at < headEnd) {
        const auto end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        const auto colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
        reply.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        at = end + 2;
    }
    reply.body = text.substr(headEnd + 4);
    return reply;
}

// One request on a connection of its own, closed after the answer.
inline Reply Fetch(int port, const std::string& target, const std::string& method = "GET",
                   const std::string& extraHeaders = "") {
    Connection connection(port);
    connection.Send(method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
                    "Connection: close\r\n\r\n");
    return ParseReply(connection.ReadToEnd());
}

}  // namespace web_test
