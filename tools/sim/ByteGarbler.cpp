// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteGarbler.h"

int ByteGarbler::Apply(std::string& bytes) {
    if (rate_ <= 0) return 0;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> offset(1, 255);
    int changed = 0;
    for (char& c : bytes) {
        if (chance(random_) >= rate_) continue;
        // Adding 1..255 modulo 256 never gives the same byte back.
        c = static_cast<char>((static_cast<unsigned char>(c) + offset(random_)) & 0xFF);
        ++changed;
    }
    return changed;
}
