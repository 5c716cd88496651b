// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ProcessingOptions.h"

// What the user chooses and where the window was, as stored between runs.
struct StationSettings {
    int32_t comPort = 1;  // 1..4
    ProcessingOptions processing;
    int32_t x = -1;  // window position; negative: none stored
    int32_t y = -1;
    // Seconds without a record before the link counts as silent ("StaleAfter",
    // read but never written: it has no place in the Options dialog).
    int32_t staleAfterSeconds = 10;
};
