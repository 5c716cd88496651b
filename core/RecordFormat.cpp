// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordFormat.h"

const char* const CompassPointNames[16] = {
    "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
    "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW",
};

int DecodeHex4(const char* text) {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = text[i];
        int digit;
        // Only 0-9 and upper-case A-F: the characters between '9' and 'A'
        // are line noise, not digits.
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

int CompassIndexOfDirection(int direction) {
    const int index = static_cast<int>(direction * 0.0625 + 0.5);
    return index > 15 ? 0 : index;
}
