// SPDX-License-Identifier: GPL-3.0-or-later
#include "MailNotifier.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sstream>

#include "HostNotFound.h"
#include "SecretFile.h"

namespace {
// A header value on one line whatever the settings hold.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

// "a@b, c@d" -> each address.
std::vector<std::string> Addresses(const std::string& list) {
    std::vector<std::string> all;
    std::istringstream in(list);
    for (std::string a; std::getline(in, a, ',');) {
        const auto first = a.find_first_not_of(" \t");
        if (first != std::string::npos)
            all.push_back(OneLine(a.substr(first, a.find_last_not_of(" \t") - first + 1)));
    }
    return all;
}

struct Upload {
    const std::string& text;
    std::size_t sent = 0;
};

size_t ReadPayload(char* buffer, size_t size, size_t count, void* data) {
    auto* upload = static_cast<Upload*>(data);
    const std::size_t n = std::min(size * count, upload->text.size() - upload->sent);
    std::memcpy(buffer, upload->text.data() + upload->sent, n);
    upload->sent += n;
    return n;
}

int Progress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}
}  // namespace

MailNotifier::MailNotifier(const AlarmSettings& settings, Reporter reporter,
                           std::chrono::milliseconds timeout)
    : settings_(settings), reporter_(std::move(reporter)), timeout_(timeout) {}

MailNotifier::~MailNotifier() {
    Stop();
}

bool MailNotifier::Start() {
    if (!settings_.smtpUser.empty() && !settings_.smtpPasswordFile.empty()) {
        const auto password = ReadSecretFile(settings_.smtpPasswordFile);
        if (!password) {
            reporter_("mail: cannot read the password file '" + settings_.smtpPasswordFile + "'");
            return false;
        }
        password_ = *password;
    }
    if (!settings_.smtpCaFile.empty() && access(settings_.smtpCaFile.c_str(), R_OK) != 0) {
        reporter_("mail: cannot read the CA file '" + settings_.smtpCaFile +
                  "': " + std::strerror(errno));
        return false;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void MailNotifier::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cancel_ = true;
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void MailNotifier::Notify(const AlarmNotice& notice) {
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() >= kMaxQueued) queue_.pop_front();
        queue_.push_back(notice);
    }
    wake_.notify_one();
}

void MailNotifier::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        const AlarmNotice notice = queue_.front();
        lock.unlock();
        std::string error;
        const bool sent = Send(notice, error);
        if (!sent && !failing_ && !cancel_) {
            reporter_("mail: cannot send through " + settings_.smtpServer + " (" + error +
                      "); later notices are tried again");
        } else if (sent && failing_) {
            reporter_("mail: sending through " + settings_.smtpServer + " again");
        } else if (sent && notice.kind == AlarmNotice::Kind::Test) {
            reporter_("mail: test notice sent through " + settings_.smtpServer);
        }
        failing_ = !sent;
        lock.lock();
        // A failed notice goes too: the next one tells the state anew.
        if (!queue_.empty()) queue_.pop_front();
    }
}

std::string MailNotifier::Message(const AlarmSettings& settings, const AlarmNotice& notice,
                                  std::time_t now) {
    char date[64];
    std::tm local{};
    localtime_r(&now, &local);
    // RFC 5322 wants English day and month names whatever the locale.
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char zone[8];
    std::strftime(zone, sizeof zone, "%z", &local);
    std::snprintf(date, sizeof date, "%s, %02d %s %04d %02d:%02d:%02d %s", days[local.tm_wday],
                  local.tm_mday, months[local.tm_mon], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, zone);
    std::string text;
    text += "Date: " + std::string(date) + "\r\n";
    text += "From: " + OneLine(settings.mailFrom) + "\r\n";
    text += "To: " + OneLine(settings.mailTo) + "\r\n";
    text += "Subject: Weather station alarm: " + OneLine(notice.alarm) + " " +
            AlarmStateWord(notice) + "\r\n";
    text += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    text += OneLine(AlarmNoticeLine(notice)) + "\r\n\r\n";
    if (!notice.readings.empty()) text += "Now: " + OneLine(notice.readings) + "\r\n";
    return text;
}

bool MailNotifier::Send(const AlarmNotice& notice, std::string& error) {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        error = "cannot start libcurl";
        return false;
    }
    CURL* c = curl.get();
    const std::string url = "smtp://" + settings_.smtpServer;
    const std::string message = Message(settings_, notice, std::time(nullptr));
    Upload upload{message};
    curl_slist* recipients = nullptr;
    for (const std::string& to : Addresses(settings_.mailTo))
        recipients = curl_slist_append(recipients, ("<" + to + ">").c_str());
    const std::string from = "<" + OneLine(settings_.mailFrom) + ">";
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    // STARTTLS whenever the server offers it, its certificate verified (a
    // failed check fails the mail, never falls back to plain text). A login
    // goes only over TLS: a server that offers no STARTTLS, or a middleman
    // that strips the offer, gets no password.
    const bool login = !settings_.smtpUser.empty();
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(login ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!settings_.smtpCaFile.empty())
        curl_easy_setopt(c, CURLOPT_CAINFO, settings_.smtpCaFile.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients);
    if (login) {
        curl_easy_setopt(c, CURLOPT_USERNAME, settings_.smtpUser.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password_.c_str());
    }
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &ReadPayload);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(timeout_.count()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(timeout_.count()));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &cancel_);
    const CURLcode rc = curl_easy_perform(c);
    curl_slist_free_all(recipients);
    if (rc == CURLE_COULDNT_RESOLVE_HOST)
        error = HostNotFound(HostOfUrl(url));
    else if (rc != CURLE_OK)
        error = curl_easy_strerror(rc);
    return rc == CURLE_OK;
}
