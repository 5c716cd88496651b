// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportValues.h"

#include <climits>

int RoundForReport(double value) {
    const double shifted = value + 0.5;
    // Readings come from 16-bit fields and never get near these bounds; the
    // guard only keeps a corrupted value from being undefined behaviour.
    if (!(shifted > INT_MIN)) return INT_MIN;
    if (!(shifted < INT_MAX)) return INT_MAX;
    return static_cast<int>(shifted);
}
