// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

#include "AlarmSet.h"
#include "FileFaultTee.h"
#include "MqttOptions.h"
#include "OutputFault.h"

class AlarmMqtt;
class CommandNotifier;
class FileFaultReporter;
class LiveOutputs;
class MailNotifier;
class StationPipeline;

// The window's alarms while they are switched on: the alarm set fed by the
// pipeline (records, file faults), the live outputs' fault reports and the
// link; ticked by a timer. The active alarms are a line along the foot of
// the chart that takes no clicks and blocks nothing; each notice is also a
// desktop notification, and goes to the command, mail and MQTT as set;
// their failures are told by Problem().
class WindowAlarms : public QObject, public AlarmNotifier {
    Q_OBJECT

  public:
    // shown: the reporter the window had for file faults, which still gets
    // them; banner: the widget whose foot shows the line.
    WindowAlarms(const AlarmSettings& settings, StationPipeline& pipeline, FileFaultReporter* shown,
                 LiveOutputs& outputs, const MqttOptions& mqtt, QWidget* banner,
                 QObject* parent = nullptr);
    // The pipeline gets back its reporter and forgets the alarms.
    ~WindowAlarms() override;

    // A live output failing or working again (on this thread).
    void OnOutputFault(const OutputFault& fault);
    // Reading on (receiving, waiting or silent) or off.
    void SetReading(bool reading);
    void Notify(const AlarmNotice& notice) override;

    AlarmSet& set() { return set_; }
    // The banner's text; empty while no alarm is active.
    QString BannerText() const;

  signals:
    // A failed command or mail, in words, on this thread.
    void Problem(const QString& message);

  private:
    void Show(const AlarmNotice& notice);
    void PlaceBanner();
    bool eventFilter(QObject* watched, QEvent* event) override;

    StationPipeline& pipeline_;
    FileFaultReporter* shown_;
    AlarmSet set_;
    FileFaultTee tee_;
    std::unique_ptr<CommandNotifier> command_;
    std::unique_ptr<MailNotifier> mail_;
    std::unique_ptr<AlarmMqtt> mqtt_;
    QTimer tick_;
    QPointer<QLabel> banner_;  // the host widget may go first
    bool reading_ = false;
};
