// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmNotice.h"

class AlarmSet;
class LiveStore;

// Keeps the page's copy of the alarms current: every alarm's state goes to
// the live store at the start and at each change (a repeat changes nothing).
// Told from whichever thread the alarm set tells it from; only stores. It
// is one of the set's notifiers for as long as it lives.
class PageAlarms : public AlarmNotifier {
  public:
    PageAlarms(LiveStore& live, AlarmSet& alarms);
    // The page shows no alarms once they are gone.
    ~PageAlarms() override;

    void Notify(const AlarmNotice& notice) override;

  private:
    LiveStore& live_;
    AlarmSet& alarms_;
};
