// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveColumns.h"

#include <charconv>
#include <cmath>

#include "FixedFormat.h"

namespace ArchiveColumns {

std::string ValueText(double value, int decimals) {
    char text[kFixedFormatMax];
    if (decimals == 0) {
        const auto end = std::to_chars(text, text + sizeof text, std::llround(value)).ptr;
        return std::string(text, end);
    }
    return std::string(text, FormatFixed(text, value, decimals));
}

double AsPrinted(double value, int decimals) {
    return AsPrintedValue(value, decimals);
}

std::optional<double> AsPrinted(std::optional<double> value, int decimals) {
    if (!value) return std::nullopt;
    return AsPrinted(*value, decimals);
}

}  // namespace ArchiveColumns
