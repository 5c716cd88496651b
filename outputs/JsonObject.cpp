// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonObject.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "FixedFormat.h"

std::string JsonQuoted(std::string_view value) {
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;  // UTF-8 passes through unchanged
        }
    }
    return out + "\"";
}

void JsonObject::StartMember(std::string_view key) {
    if (text_.size() > 1) text_ += ',';
    text_ += JsonQuoted(key);
    text_ += ':';
}

JsonObject& JsonObject::AddString(std::string_view key, std::string_view value) {
    StartMember(key);
    text_ += JsonQuoted(value);
    return *this;
}

JsonObject& JsonObject::AddNumber(std::string_view key, double value, int decimals) {
    StartMember(key);
    // JSON has no NaN or infinity; readings from 16-bit fields never are.
    if (!std::isfinite(value)) value = 0.0;
    char text[kFixedFormatMax];
    std::string number(text, FormatFixed(text, value, decimals));
    // A program that set a locale with a decimal comma (Qt does) must still
    // write JSON numbers with a point.
    std::replace(number.begin(), number.end(), ',', '.');
    text_ += number;
    return *this;
}

JsonObject& JsonObject::AddInteger(std::string_view key, long long value) {
    StartMember(key);
    text_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::AddJson(std::string_view key, std::string_view value) {
    StartMember(key);
    text_ += value;
    return *this;
}
