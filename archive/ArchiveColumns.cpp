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

// For one to three decimals without formatting, as it runs for every value
// of every point: in long double the product with 10^decimals is exact (a
// 53-bit mantissa times at most 10 bits), rounding it to even is what printf
// does with the exact value, and the quotient is the double nearest the
// printed decimal, which is what parsing the text gives.
double AsPrinted(double value, int decimals) {
    static constexpr long double kScale[] = {1.0L, 10.0L, 100.0L, 1000.0L};
    if (decimals >= 1 && decimals <= 3 && std::fabs(value) < 1e12) {
        const long double printed = std::nearbyintl(value * kScale[decimals]);
        return static_cast<double>(printed) / static_cast<double>(kScale[decimals]);
    }
    const std::string text = ValueText(value, decimals);
    double printed = value;
    std::from_chars(text.data(), text.data() + text.size(), printed);
    return printed;
}

std::optional<double> AsPrinted(std::optional<double> value, int decimals) {
    if (!value) return std::nullopt;
    return AsPrinted(*value, decimals);
}

}  // namespace ArchiveColumns
