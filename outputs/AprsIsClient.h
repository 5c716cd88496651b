// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "UploadOptions.h"
#include "UploadResult.h"

// One short APRS-IS session: connect, log in, wait for the server's
// "# logresp" line, send one packet, disconnect. Every step is bounded by
// the timing's time-outs, and a set cancel flag ends it within a moment.
class AprsIsClient {
  public:
    // server: "host:port".
    AprsIsClient(std::string server, UploadTiming timing, const std::atomic<bool>& cancel);

    // verified: the login must be accepted as verified (a ham call with its
    // passcode); a CWOP id is never verified and need not be. An empty
    // packet sends nothing after the login (a test of the connection).
    UploadResult Send(const std::string& login, const std::string& packet, bool verified);

  private:
    using Clock = std::chrono::steady_clock;

    UploadResult Connect(int& fd);
    bool WaitFor(int fd, short events, Clock::time_point deadline);
    bool WriteLine(int fd, const std::string& line);
    // The next line from the server without its line end; false at the end
    // of the connection or the deadline.
    bool ReadLine(int fd, std::string& line);
    UploadResult Session(int fd, const std::string& login, const std::string& packet,
                         bool verified);
    void Drain(int fd);

    std::string server_;
    UploadTiming timing_;
    const std::atomic<bool>& cancel_;
    Clock::time_point deadline_{};
    std::string buffer_;
};
