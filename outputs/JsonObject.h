// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Builds one JSON object member by member: numbers are written with a fixed
// number of decimals and a point (whatever the C locale says), strings are
// escaped. It stays our own because a JSON library (nlohmann's) writes a
// double in its shortest form ("0.7", "29.92"), while readers of the
// state and the summaries have the fixed decimals ("0.70", "29.920");
// answers are parsed, and the discovery configs (no such numbers) written,
// with nlohmann.
class JsonObject {
  public:
    JsonObject& AddString(std::string_view key, std::string_view value);
    JsonObject& AddNumber(std::string_view key, double value, int decimals);
    JsonObject& AddInteger(std::string_view key, long long value);
    // value must already be JSON (an object or an array).
    JsonObject& AddJson(std::string_view key, std::string_view value);

    std::string Text() const { return text_ + "}"; }

  private:
    void StartMember(std::string_view key);

    std::string text_ = "{";
};

// value as a JSON string, quotes included.
std::string JsonQuoted(std::string_view value);
