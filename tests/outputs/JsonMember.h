// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The text of a top-level member's value in the flat JSON our outputs write
// (a number as written, a string without its quotes); nullopt when missing.
inline std::optional<std::string> JsonMember(const std::string& json, const std::string& key) {
    const std::string name = "\"" + key + "\":";
    const std::size_t at = json.find(name);
    if (at == std::string::npos) return std::nullopt;
    std::size_t begin = at + name.size();
    if (json[begin] == '"') return json.substr(begin + 1, json.find('"', begin + 1) - begin - 1);
    return json.substr(begin, json.find_first_of(",}", begin) - begin);
}
