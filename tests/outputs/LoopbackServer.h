// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A TCP server on 127.0.0.1 and a free port, for the upload tests: it takes
// one connection at a time and hands it to the test's handler, which
// records what it saw. Until Listen the port refuses connections.
class LoopbackServer {
  public:
    using Handler = std::function<void(LoopbackServer& server, int fd)>;

    explicit LoopbackServer(Handler handler, bool listen = true) : handler_(std::move(handler)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        if (listen) Listen();
    }
    ~LoopbackServer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        ::shutdown(fd_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        ::close(fd_);
    }

    void Listen() {
        ::listen(fd_, 8);
        thread_ = std::thread([this] { Accept(); });
    }
    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

    // For handlers: keeps what the connection said.
    void Record(const std::string& text) {
        {
            std::lock_guard lock(mutex_);
            records_.push_back(text);
        }
        changed_.notify_all();
    }
    // For handlers that hang: returns when the server is destroyed.
    void WaitForEnd() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_; });
    }
    bool WaitForRecords(std::size_t count,
                        std::chrono::milliseconds wait = std::chrono::seconds(30)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, wait, [&] { return records_.size() >= count; });
    }
    bool WaitForConnections(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return connections_ >= count; });
    }
    std::vector<std::string> records() {
        std::lock_guard lock(mutex_);
        return records_;
    }
    int connections() {
        std::lock_guard lock(mutex_);
        return connections_;
    }

    // The next line the client sends, without its line end; "" at its end.
    static std::string ReadLine(int fd) {
        std::string line;
        char c = 0;
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, 10000) > 0 && ::recv(fd, &c, 1, 0) == 1 && c != '\n') line += c;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
    static void Send(int fd, const std::string& text) {
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    }

  private:
    void Accept() {
        for (;;) {
            const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) return;
            {
                std::lock_guard lock(mutex_);
                ++connections_;
            }
            changed_.notify_all();
            handler_(*this, client);
            ::close(client);
        }
    }

    Handler handler_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> records_;
    int connections_ = 0;
    bool stopping_ = false;
};
