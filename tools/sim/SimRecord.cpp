// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimRecord.h"

#include <cstdint>

std::string FormatRecord(const RecordFields& fields) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = "!!";
    for (int field : fields) {
        auto bits = static_cast<uint16_t>(field);
        for (int shift = 12; shift >= 0; shift -= 4) line.push_back(kDigits[(bits >> shift) & 0xF]);
    }
    line += "\r\n";
    return line;
}
