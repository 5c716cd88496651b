// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "../core/TempDir.h"

// A private mosquitto on a free port of 127.0.0.1 with a config of its own;
// stopped and started again on the same port. It keeps nothing on disk, or,
// when persistent, its retained messages and sessions (with every message
// queued for a client away) across a restart.
class MosquittoBroker {
  public:
    static constexpr const char* kProgram = "/usr/sbin/mosquitto";
    static constexpr const char* kAnonymous = "allow_anonymous true\n";
    static bool Installed() { return access(kProgram, X_OK) == 0; }

    explicit MosquittoBroker(const std::string& access = kAnonymous, bool persistent = false)
        : port_(FreePort()) {
        // Started by root, mosquitto would become user mosquitto, who may not
        // write our folder: it stays who we are.
        const passwd* user = getpwuid(geteuid());
        const std::string keep =
            persistent
                ? "persistence true\npersistence_location " + dir_.path().string() +
                      "/\nmax_queued_messages 0\nuser " + (user ? user->pw_name : "root") + "\n"
                : "persistence false\n";
        config_ =
            dir_.Write("mosquitto.conf", "listener " + std::to_string(port_) + " 127.0.0.1\n" +
                                             keep + "log_dest none\n" + access);
    }
    ~MosquittoBroker() { Stop(); }

    int port() const { return port_; }

    // True once the broker takes connections.
    bool Start() {
        const char* argv[] = {"mosquitto", "-c", config_.c_str(), nullptr};
        // Its warning about running as root is no part of a test's output.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const int failed =
            posix_spawn(&pid_, kProgram, &quiet, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (failed) return false;
        for (int i = 0; i < 250; ++i) {
            if (Accepts()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    static sockaddr_in Loopback(int port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static int FreePort() {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = Loopback(0);
        socklen_t length = sizeof a;
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
        close(fd);
        return ntohs(a.sin_port);
    }
    bool Accepts() const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in a = Loopback(port_);
        const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
        close(fd);
        return ok;
    }

    TempDir dir_;
    int port_;
    std::filesystem::path config_;
    pid_t pid_ = -1;
};
