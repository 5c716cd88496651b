// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AlarmNotice.h"
#include "AlarmSettings.h"
#include "RecordListener.h"

// The state of one alarm as it stands.
struct AlarmStatus {
    std::string name;
    bool active = false;
    std::optional<double> value;  // the latest value while active, or the last one
    std::string unit;
    std::time_t since = 0;  // when it became active; 0 while inactive
};

// Decides every alarm of a station from what it is told: the records taken,
// whether reading is on, file faults and upload faults, and the time. An
// alarm starts when its condition holds, and ends only once it has cleared
// by a margin, so a value hovering at a line does not flap. Each alarm gives
// a notice when it starts, again every repeatMinutes while it stays, and
// once when it ends, to every notifier added. A reading the record lacks
// raises nothing and ends nothing. Plain C++ with an injected clock; safe
// to call from several threads (the processing thread, the upload workers,
// the one that ticks), notifiers are told outside the lock.
class AlarmSet : public RecordListener {
  public:
    using Duration = std::chrono::milliseconds;
    struct Clock {
        std::function<Duration()> monotonic;
        std::function<std::time_t()> wall;
    };
    static Clock SystemClock();
    // The names of every alarm, in the order the notices and the JSON use.
    static const std::vector<std::string>& Names();

    explicit AlarmSet(AlarmSettings settings, Clock clock = SystemClock());

    // Any time, from any thread; a notifier is told until RemoveNotifier
    // returns, so it must outlive the set or be removed before it goes.
    void AddNotifier(AlarmNotifier& notifier);
    void RemoveNotifier(AlarmNotifier& notifier);

    // The silent alarm counts only while reading is on.
    void ReadingStarted();
    void ReadingStopped();
    void OnRecord(const StationState& state) override;
    // A file (data log, report, archive) failing, and written again.
    void FileFailed(const std::string& file, const std::string& cause);
    void FileRecovered(const std::string& file);
    // A network or the MQTT broker failing, and working again.
    void UploadFailed(const std::string& network, const std::string& cause);
    void UploadRecovered(const std::string& network);
    // Checks what time alone can change: silence, faults that last, repeats.
    void Tick();
    // A test notice of every way, marked as a test.
    void SendTest();

    std::vector<AlarmStatus> Statuses() const;
    const AlarmSettings& settings() const { return settings_; }

  private:
    struct Alarm {
        AlarmStatus status;
        Duration lastNotice{0};
        std::string detail;
    };
    struct Fault {
        Duration since;
        std::string cause;
    };
    using Notices = std::vector<AlarmNotice>;

    Alarm& At(std::size_t index);
    void Evaluate(Alarm& alarm, bool holds, bool cleared, std::optional<double> value, Duration now,
                  Notices& out, std::time_t since = 0);
    void Weather(const StationState& state, Duration now, Notices& out);
    void Timed(Duration now, Notices& out);
    void FaultAlarm(std::size_t index, const std::map<std::string, Fault>& faults, int minutes,
                    Duration now, Notices& out);
    void Repeats(Duration now, Notices& out);
    AlarmNotice Notice(const Alarm& alarm, AlarmNotice::Kind kind) const;
    void Tell(const Notices& notices);

    const AlarmSettings settings_;
    const Clock clock_;
    std::mutex notifiersMutex_;  // held while they are told, which is quick
    std::vector<AlarmNotifier*> notifiers_;

    mutable std::mutex mutex_;  // guards everything below
    std::vector<Alarm> alarms_;
    bool reading_ = false;
    Duration lastRecord_{0};  // or the start of reading before any record
    std::map<std::string, Fault> fileFaults_;
    std::map<std::string, Fault> uploadFaults_;
    StationState latest_{};
    bool haveRecord_ = false;
};
