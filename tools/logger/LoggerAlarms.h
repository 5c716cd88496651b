// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "AlarmSet.h"
#include "LoggerOptions.h"

class AlarmMqtt;
class CommandNotifier;
class LiveOutputs;
class MailNotifier;
class StationPipeline;

// The logger's alarms ([Alarms] Enabled=1 in its config file): the alarm
// set and every way of notice the settings ask for, each notice one line on
// stderr. A replay tells no one: it prints when each alarm would have
// started and ended, by the recording's own time.
class LoggerAlarms : public AlarmNotifier {
  public:
    using Print = std::function<void(const std::string& line)>;

    // Live: lines go to print (whole, from any thread).
    LoggerAlarms(const LoggerOptions& options, Print print);
    // Replay: the station's clock, starts and ends printed on out.
    LoggerAlarms(const LoggerOptions& options, const StationPipeline& pipeline, std::ostream& out);
    ~LoggerAlarms() override;

    // Command, mail and MQTT (on the outputs' connection); false when one of
    // them cannot work (reported), the rest run.
    bool StartNotices(LiveOutputs& outputs);
    AlarmSet& set() { return set_; }
    void Notify(const AlarmNotice& notice) override;

  private:
    const LoggerOptions& options_;
    const bool replay_;
    Print print_;
    AlarmSet set_;
    std::unique_ptr<CommandNotifier> command_;
    std::unique_ptr<MailNotifier> mail_;
    std::unique_ptr<AlarmMqtt> mqtt_;
};
