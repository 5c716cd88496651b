// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "PointDecimals.h"

namespace {
int FormatWithPrintf(char* out, double value, int decimals) {
    const PointDecimals point;
    return std::snprintf(out, kFixedFormatMax, "%.*f", decimals, value);
}

char* WriteUnsigned(char* out, unsigned long long v) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0) *out++ = digits[--n];
    return out;
}
}  // namespace

int FormatFixed(char* out, double value, int decimals) {
    static constexpr unsigned kScale[] = {1, 10, 100};
    if (decimals < 1 || decimals > 2) return FormatWithPrintf(out, value, decimals);
    const unsigned scale = kScale[decimals];
    const double scaled = std::fabs(value) * scale;
    // Below 1e9 the product's rounding error is far smaller than the margin
    // used to detect ties, so rounding it to an integer is printf's rounding.
    if (!(scaled < 1e9)) return FormatWithPrintf(out, value, decimals);
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6) return FormatWithPrintf(out, value, decimals);
    const auto rounded = static_cast<unsigned long long>(fraction > 0.5 ? whole + 1 : whole);

    char* p = out;
    if (std::signbit(value)) *p++ = '-';
    p = WriteUnsigned(p, rounded / scale);
    *p++ = '.';
    unsigned rest = static_cast<unsigned>(rounded % scale);
    if (decimals == 2) {
        *p++ = static_cast<char>('0' + rest / 10);
        rest %= 10;
    }
    *p++ = static_cast<char>('0' + rest);
    *p = '\0';
    return static_cast<int>(p - out);
}

// For one to three decimals without formatting, as it runs for every value
// of every point and record: in long double the product with 10^decimals is
// exact (a 53-bit mantissa times at most 10 bits), rounding it to even is
// what printf does with the exact value, and the quotient is the double
// nearest the printed decimal, which is what parsing the text gives.
double AsPrintedValue(double value, int decimals) {
    static constexpr long double kScale[] = {1.0L, 10.0L, 100.0L, 1000.0L};
    if (decimals == 0) return static_cast<double>(std::llround(value));
    if (decimals >= 1 && decimals <= 3 && std::fabs(value) < 1e12) {
        const long double printed = std::nearbyintl(value * kScale[decimals]);
        return static_cast<double>(printed) / static_cast<double>(kScale[decimals]);
    }
    char text[kFixedFormatMax];
    const int length = FormatFixed(text, value, decimals);
    double printed = value;
    std::from_chars(text, text + length, printed);
    return printed;
}
