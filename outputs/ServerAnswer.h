// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// A server's answer as it may be shown in a report line: control characters
// (line ends included) become blanks, so no answer can forge a line of its
// own; it is trimmed and cut to kShownAnswer bytes; and every non-empty text
// of hidden (a key, the query that carried it) is replaced, so an answer
// that echoes the request shows no secret.
inline constexpr std::size_t kShownAnswer = 200;
std::string ShownServerAnswer(std::string answer, const std::vector<std::string>& hidden = {});
