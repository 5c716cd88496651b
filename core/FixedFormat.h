// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// printf's "%.1f" / "%.2f" without printf's cost, for the readings that are
// formatted on every record. Gives exactly printf's text for every value
// (values printf would round at an exact tie, and huge ones, are left to
// snprintf itself). out must hold kFixedFormatMax bytes; returns the length.
inline constexpr std::size_t kFixedFormatMax = 352;
int FormatFixed(char* out, double value, int decimals);

// The number printf's text of value with these decimals (0 to 3; 0 for
// "%d" of the rounded value) reads back as: the value as a file holds it.
double AsPrintedValue(double value, int decimals);
