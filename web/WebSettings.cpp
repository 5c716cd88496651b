// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebSettings.h"

#include <arpa/inet.h>

#include <charconv>

bool IsNumericAddress(const std::string& address) {
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, address.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, address.c_str(), buffer) == 1;
}

std::optional<WebSettings> ParseListenAddress(const std::string& text) {
    WebSettings settings;
    settings.enabled = true;
    std::string portText = text;
    const auto colon = text.rfind(':');
    if (colon != std::string::npos) {
        std::string address = text.substr(0, colon);
        // An IPv6 address comes in brackets, so that its colons are not the port's.
        if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
            address = address.substr(1, address.size() - 2);
        else if (address.find(':') != std::string::npos)
            return std::nullopt;
        if (!IsNumericAddress(address)) return std::nullopt;
        settings.address = address;
        portText = text.substr(colon + 1);
    }
    int port = 0;
    const char* end = portText.data() + portText.size();
    const auto [ptr, ec] = std::from_chars(portText.data(), end, port);
    if (portText.empty() || ec != std::errc() || ptr != end || port < 1 || port > 65535)
        return std::nullopt;
    settings.port = port;
    return settings;
}
