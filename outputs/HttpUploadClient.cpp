// SPDX-License-Identifier: GPL-3.0-or-later
#include "HttpUploadClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>

#include "HostNotFound.h"
#include "ServerAnswer.h"

namespace {
// The reply is read up to this length: enough for any answer worth showing.
constexpr std::size_t kMaxReply = 4096;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t Collect(char* data, size_t size, size_t count, void* reply) {
    auto* text = static_cast<std::string*>(reply);
    const size_t bytes = size * count;
    text->append(data, std::min(bytes, kMaxReply - std::min(kMaxReply, text->size())));
    return bytes;
}

int Progress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

bool SpeaksOfError(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return text.find("error") != std::string::npos || text.find("invalid") != std::string::npos;
}

// A JSON answer ({"success":true,...}) says by its flag; nullopt for one
// that is no JSON object with a true or false "success".
std::optional<bool> JsonSuccess(const std::string& reply) {
    const nlohmann::json answer = nlohmann::json::parse(reply, nullptr, false);
    if (!answer.is_object()) return std::nullopt;
    const auto flag = answer.find("success");
    if (flag == answer.end() || !flag->is_boolean()) return std::nullopt;
    return flag->get<bool>();
}
}  // namespace

HttpUploadClient::HttpUploadClient(UploadTiming timing, const std::atomic<bool>& cancel)
    : timing_(timing), cancel_(cancel) {}

UploadResult HttpUploadClient::Get(const std::string& url, bool anyOkReply,
                                   const std::vector<std::string>& hidden) {
    InitCurlOnce();
    const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return {false, "cannot set up the connection"};
    std::string reply;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(timing_.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(timing_.totalTimeout.count()));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);  // a thread of its own: no SIGALRM
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &cancel_);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Nimbulo");
    const CURLcode rc = curl_easy_perform(c);
    // Never names the URL, which holds the key; the host alone is no secret.
    if (rc == CURLE_COULDNT_RESOLVE_HOST) return {false, HostNotFound(HostOfUrl(url))};
    if (rc != CURLE_OK) return {false, curl_easy_strerror(rc)};
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    const std::string answer = ShownServerAnswer(reply, hidden);
    bool ok = status / 100 == 2;
    if (const std::optional<bool> success = anyOkReply ? JsonSuccess(reply) : std::nullopt) {
        ok = ok && *success;
    } else {
        ok = ok && (answer == "success" || (anyOkReply && !SpeaksOfError(answer)));
    }
    if (ok) return {true, answer};
    return {false, "the server answered " + std::to_string(status) + " '" + answer + "'"};
}
