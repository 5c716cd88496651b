// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "AlarmSettings.h"

class AlarmSet;
class CommandNotifier;
class MailNotifier;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Alarms": switched on or off, the minutes, the weather lines (empty for
// off), the command and the mail, each key of the [Alarms] group one field.
// Test sends a test notice through each way filled in (desktop, command,
// mail) and shows what came back under the button.
class AlarmsPage : public QWidget {
    Q_OBJECT

  public:
    AlarmsPage(const AlarmSettings& settings, bool on, QWidget* parent = nullptr);
    ~AlarmsPage() override;

    // The fields as settings; false with the first wrong field (in form
    // order) named in error and focused.
    bool Read(AlarmSettings& settings, QString& error) const;
    bool alarmsOn() const;
    // What the last test said (for tests: the command's and mail's answers).
    QString TestAnswer() const;

  private:
    void Test();
    void ShowAnswer(const QString& text);

    QCheckBox* on_;
    std::map<std::string, QLineEdit*> fields_;
    QLabel* answer_;
    std::unique_ptr<AlarmSet> testSet_;
    std::unique_ptr<CommandNotifier> testCommand_;
    std::unique_ptr<MailNotifier> testMail_;
};
