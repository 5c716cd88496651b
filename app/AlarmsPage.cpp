// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AlarmSet.h"
#include "CommandNotifier.h"
#include "DesktopNotification.h"
#include "MailNotifier.h"

namespace {
// Each key with its label, in form order: two columns of fields.
struct Field {
    const char* key;
    const char* label;
};
constexpr Field kFields[] = {
    {"SilentMinutes", "Silent station after (min)"},
    {"FileFaultMinutes", "File fault after (min)"},
    {"UploadFaultMinutes", "Upload fault after (min)"},
    {"RepeatMinutes", "Repeat every (min)"},
    {"TempHighF", "Temperature at or above (°F)"},
    {"TempLowF", "Temperature at or below (°F)"},
    {"GustHighMph", "Gust at or above (mph)"},
    {"RainHourIn", "Rain in an hour (in)"},
    {"PressureDrop3hInHg", "Pressure drop in 3 h (inHg)"},
    {"HumidityHighPct", "Humidity at or above (%)"},
    {"Command", "Command"},
    {"SmtpServer", "SMTP server (host:port)"},
    {"SmtpUser", "SMTP user"},
    {"SmtpPasswordFile", "SMTP password file"},
    {"SmtpCaFile", "SMTP CA file (TLS)"},
    {"MailFrom", "Mail from"},
    {"MailTo", "Mail to"},
};
}  // namespace

AlarmsPage::AlarmsPage(const AlarmSettings& settings, bool on, QWidget* parent) : QWidget(parent) {
    setObjectName("alarmsPage");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    on_ = new QCheckBox("Alarms on", this);
    on_->setObjectName("alarmsOn");
    on_->setChecked(on);
    layout->addWidget(on_);
    // Wrapped, so that the page fits a small or scaled screen.
    auto* what = new QLabel(
        "Tell me when the station goes quiet, a file or upload keeps failing, or the weather "
        "crosses a line.",
        this);
    what->setWordWrap(true);
    layout->addWidget(what);
    auto* grid = new QGridLayout;
    int i = 0;
    for (const Field& f : kFields) {
        auto* edit = new QLineEdit(QString::fromStdString(AlarmSettingText(settings, f.key)), this);
        edit->setObjectName(QString("alarm") + f.key);
        if (i < 10)
            edit->setMaximumWidth(90);  // the numbers
        else                            // room for a path or an address
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(24, 'n')));
        auto* label = new QLabel(f.label, this);
        label->setBuddy(edit);
        // One a row: narrow enough for a laptop at twice the scale; the page scrolls.
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1, Qt::AlignLeft);
        fields_[f.key] = edit;
        ++i;
    }
    layout->addLayout(grid);
    auto* testRow = new QHBoxLayout;
    auto* test = new QPushButton("Test", this);
    test->setObjectName("alarmTest");
    connect(test, &QPushButton::clicked, this, &AlarmsPage::Test);
    answer_ = new QLabel(this);
    answer_->setObjectName("alarmTestAnswer");
    answer_->setWordWrap(true);
    testRow->addWidget(test);
    testRow->addWidget(answer_, 1);
    layout->addLayout(testRow);
}

AlarmsPage::~AlarmsPage() = default;

bool AlarmsPage::alarmsOn() const {
    return on_->isChecked();
}

bool AlarmsPage::Read(AlarmSettings& settings, QString& error) const {
    AlarmSettings read = settings;
    for (const Field& f : kFields) {
        QLineEdit* edit = fields_.at(f.key);
        const std::string problem = ApplyAlarmSetting(read, f.key, edit->text().toStdString());
        if (!problem.empty()) {
            // The key's own words, with the label the owner sees.
            error = QString("Alarms: ") + f.label + ": " +
                    QString::fromStdString(problem.substr(problem.find(' ') + 1));
            edit->setFocus();
            return false;
        }
    }
    settings = read;
    return true;
}

QString AlarmsPage::TestAnswer() const {
    return answer_->text();
}

void AlarmsPage::ShowAnswer(const QString& text) {
    answer_->setText(answer_->text().isEmpty() ? text : answer_->text() + "\n" + text);
}

// A set of its own with the fields as they stand, so a test needs no OK and
// no running station; its notifiers live until the next test or the page goes.
void AlarmsPage::Test() {
    answer_->clear();
    AlarmSettings settings;
    QString error;
    if (!Read(settings, error)) {
        ShowAnswer(error);
        return;
    }
    testCommand_.reset();
    testMail_.reset();
    testSet_ = std::make_unique<AlarmSet>(settings);
    auto report = [this](const std::string& message) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(message)] { ShowAnswer(text); },
            Qt::QueuedConnection);
    };
    QStringList ways{"desktop"};
    if (!settings.command.empty()) {
        testCommand_ = std::make_unique<CommandNotifier>(settings.command, report);
        testSet_->AddNotifier(*testCommand_);
        ways << "command";
    }
    if (settings.mailOn()) {
        testMail_ = std::make_unique<MailNotifier>(settings, report);
        if (testMail_->Start()) {
            testSet_->AddNotifier(*testMail_);
            ways << "mail";
        }
    }
    SendDesktopNotification("Weather station alarm: test", "A test of the alarm notices", false);
    testSet_->SendTest();
    ShowAnswer("Test notice sent: " + ways.join(", ") +
               ". A failure is shown here; a mail that went out, in its mailbox.");
}
