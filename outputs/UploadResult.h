// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// How one upload went: ok, or what went wrong in words for the user (never
// a secret).
struct UploadResult {
    bool ok = false;
    std::string message;  // the server's answer, or the reason it failed
};
