// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OutputFault.h"

class AlarmSet;

// The uploads alarm's view of the live outputs: a network or broker that
// starts failing, or works again, as the output's hook tells it.
void WatchOutputFault(const OutputFault& fault, AlarmSet& alarms);
