// SPDX-License-Identifier: GPL-3.0-or-later
#include "PointDecimals.h"

namespace {
locale_t CLocale() {
    // Made once and kept for the life of the program.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}
}  // namespace

PointDecimals::PointDecimals() : previous_(uselocale(CLocale())) {}

PointDecimals::~PointDecimals() {
    uselocale(previous_);
}
