// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// One answer of the server, before the library sends it.
struct WebAnswer {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    bool cache = false;  // the page's files may be kept; data never

    // A one-line reason, as text.
    static WebAnswer Error(int status, std::string reason) {
        return {status, "text/plain; charset=utf-8", std::move(reason) + "\n", false};
    }
};
