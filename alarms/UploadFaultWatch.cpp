// SPDX-License-Identifier: GPL-3.0-or-later
#include "UploadFaultWatch.h"

#include "AlarmSet.h"

void WatchOutputFault(const OutputFault& fault, AlarmSet& alarms) {
    if (fault.failing) {
        alarms.UploadFailed(fault.output, fault.message);
    } else {
        alarms.UploadRecovered(fault.output);
    }
}
