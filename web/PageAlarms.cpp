// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageAlarms.h"

#include "AlarmSet.h"
#include "AlarmsJson.h"
#include "LiveStore.h"

PageAlarms::PageAlarms(LiveStore& live, AlarmSet& alarms) : live_(live), alarms_(alarms) {
    live_.SetAlarms(AlarmsJson(alarms_));
    alarms_.AddNotifier(*this);
}

PageAlarms::~PageAlarms() {
    alarms_.RemoveNotifier(*this);
    live_.SetAlarms("");
}

void PageAlarms::Notify(const AlarmNotice& notice) {
    if (notice.kind == AlarmNotice::Kind::Repeated || notice.kind == AlarmNotice::Kind::Test)
        return;
    live_.SetAlarms(AlarmsJson(alarms_));
}
