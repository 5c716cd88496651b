// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "AlarmNotice.h"
#include "AlarmSettings.h"

// Mails each notice through an SMTP server (libcurl): a plain-text message
// with the alarm and the station's current readings, STARTTLS where the
// server offers it (its certificate checked against the system's and
// SmtpCaFile's), a login when SmtpUser is set, over TLS only (the
// password from SmtpPasswordFile, read once at Start). A thread of its own sends, so a
// slow or silent server costs the caller nothing; while it fails, at most
// kMaxQueued notices wait, and the failure is reported once, and once more
// when a mail goes out again; a test notice that went out is reported too.
class MailNotifier : public AlarmNotifier {
  public:
    using Reporter = std::function<void(const std::string& message)>;
    static constexpr std::size_t kMaxQueued = 20;

    MailNotifier(const AlarmSettings& settings, Reporter reporter,
                 std::chrono::milliseconds timeout = std::chrono::seconds(60));
    ~MailNotifier() override;
    MailNotifier(const MailNotifier&) = delete;
    MailNotifier& operator=(const MailNotifier&) = delete;

    // False, and reported, when the password or CA file cannot be read.
    bool Start();
    // Ends a mail under way at once, and the thread.
    void Stop();
    void Notify(const AlarmNotice& notice) override;

    // The message as sent, CRLF line ends and all (for tests).
    static std::string Message(const AlarmSettings& settings, const AlarmNotice& notice,
                               std::time_t now);

  private:
    void Run();
    bool Send(const AlarmNotice& notice, std::string& error);

    const AlarmSettings settings_;
    const Reporter reporter_;
    const std::chrono::milliseconds timeout_;
    std::string password_;
    std::atomic<bool> cancel_{false};
    bool failing_ = false;  // only the thread touches it

    std::mutex mutex_;  // guards the queue and stopping_
    std::condition_variable wake_;
    std::deque<AlarmNotice> queue_;
    bool stopping_ = false;
    std::thread thread_;
};
