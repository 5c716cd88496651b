// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostNotFound.h"

#include <curl/curl.h>

#include <memory>

std::string HostNotFound(const std::string& host, const std::string& why) {
    std::string text = "the host " + host + " cannot be found";
    if (!why.empty()) text += " (" + why + ")";
    return text;
}

std::string HostOfUrl(const std::string& url) {
    const std::unique_ptr<CURLU, void (*)(CURLU*)> parsed(curl_url(), curl_url_cleanup);
    char* host = nullptr;
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK)
        return {};
    std::string result(host);
    curl_free(host);
    return result;
}
