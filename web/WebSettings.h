// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Where the web page is served: the [Web] group of the settings and of the
// logger's config file, and --http. The default address is the loopback
// one, so that nothing is reachable from the network until the owner asks.
struct WebSettings {
    static constexpr const char* kDefaultAddress = "127.0.0.1";
    static constexpr int kDefaultPort = 8080;

    bool enabled = false;
    std::string address = kDefaultAddress;
    int port = kDefaultPort;

    friend bool operator==(const WebSettings&, const WebSettings&) = default;
};

// "[ADDRESS:]PORT" as --http takes it: "8080", "0.0.0.0:8080", "[::1]:8080".
// The settings (enabled) or none when the text is no address and port.
std::optional<WebSettings> ParseListenAddress(const std::string& text);
// An IPv4 or IPv6 address in numbers (names are not looked up).
bool IsNumericAddress(const std::string& address);
