// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "AlarmNotice.h"
#include "AlarmSettings.h"
#include "MqttOptions.h"

class AlarmSet;
class CommandNotifier;
class MailNotifier;
class MqttPublisher;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Alarms": switched on or off, the minutes, the weather lines (empty for
// off), the command and the mail, each key of the [Alarms] group one field.
// Test sends a test notice through each way filled in and shows under the
// button, a line per way (command, mail, MQTT, desktop), whether it went
// out or why not.
class AlarmsPage : public QWidget {
    Q_OBJECT

  public:
    AlarmsPage(const AlarmSettings& settings, bool on, QWidget* parent = nullptr);
    ~AlarmsPage() override;

    // The fields as settings; false with the first wrong field (in form
    // order) named in error and focused.
    bool Read(AlarmSettings& settings, QString& error) const;
    bool alarmsOn() const;
    // Where Test sends on MQTT: the options as the dialog's fields stand
    // (nullopt, with why not, while MQTT is off or a field is wrong), and the
    // station's running publisher, if any, which is used when it goes to the
    // same broker and topics.
    using MqttFields = std::function<std::optional<MqttOptions>(QString& why)>;
    void SetMqtt(MqttFields fields, MqttPublisher* running);
    // What the last test said (for tests: the command's and mail's answers).
    QString TestAnswer() const;

  private:
    enum Way { kCommand, kMail, kMqtt, kDesktop, kWays };

    void Test();
    void TestMqtt(const AlarmNotice& notice, const std::function<void(const std::string&)>& answer);
    void SetAnswer(Way way, const QString& text);

    QCheckBox* on_;
    std::map<std::string, QLineEdit*> fields_;
    QLabel* answer_;
    std::unique_ptr<AlarmSet> testSet_;
    std::unique_ptr<CommandNotifier> testCommand_;
    std::unique_ptr<MailNotifier> testMail_;
    MqttFields mqttFields_;
    MqttPublisher* running_ = nullptr;
    std::array<QString, kWays> answers_;
    int testRun_ = 0;  // answers of an earlier Test are not shown
    // Last, so that they end first: each waits at most for its time-out.
    std::list<std::future<void>> mqttTests_;
};
