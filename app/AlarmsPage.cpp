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
#include "ConnectionTests.h"
#include "DesktopNotification.h"
#include "MailNotifier.h"

namespace {
using namespace std::chrono_literals;
constexpr auto kMqttTestTimeout = 10s;

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
        const bool number = i < 10;
        if (number)
            edit->setMaximumWidth(90);
        else  // a path or an address: as wide as the page lets it be
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(12, 'n')));
        auto* label = new QLabel(f.label, this);
        label->setBuddy(edit);
        // One a row: narrow enough for a laptop at twice the scale; the page scrolls.
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1, number ? Qt::AlignLeft : Qt::Alignment());
        fields_[f.key] = edit;
        ++i;
    }
    grid->setColumnStretch(1, 1);
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

void AlarmsPage::SetMqtt(MqttFields fields, MqttPublisher* running) {
    mqttFields_ = std::move(fields);
    running_ = running;
}

void AlarmsPage::SetAnswer(Way way, const QString& text) {
    answers_[way] = text;
    QStringList lines;
    for (const QString& line : answers_) {
        if (!line.isEmpty()) lines << line;
    }
    answer_->setText(lines.join('\n'));
}

// A set of its own with the fields as they stand, so a test needs no OK and
// no running station; its notifiers live until the next test or the page goes.
void AlarmsPage::Test() {
    answers_ = {};
    answer_->clear();
    AlarmSettings settings;
    QString error;
    if (!Read(settings, error)) {
        answer_->setText(error);
        return;
    }
    const int run = ++testRun_;
    // Each way's answer, from whichever thread gives it, shown on this one.
    auto answer = [this, run](Way way) {
        return [this, run, way](const std::string& message) {
            QMetaObject::invokeMethod(
                this,
                [this, run, way, text = QString::fromStdString(message)] {
                    if (run == testRun_) SetAnswer(way, text);
                },
                Qt::QueuedConnection);
        };
    };
    testCommand_.reset();
    testMail_.reset();
    testSet_ = std::make_unique<AlarmSet>(settings);
    if (settings.command.empty()) {
        SetAnswer(kCommand, "command: not set");
    } else {
        SetAnswer(kCommand, "command: running...");
        testCommand_ = std::make_unique<CommandNotifier>(settings.command, answer(kCommand));
        testSet_->AddNotifier(*testCommand_);
    }
    if (!settings.mailOn()) {
        SetAnswer(kMail, "mail: not set (needs the SMTP server and Mail to)");
    } else {
        SetAnswer(kMail, "mail: sending...");
        testMail_ = std::make_unique<MailNotifier>(settings, answer(kMail));
        if (testMail_->Start()) testSet_->AddNotifier(*testMail_);
    }
    struct Keep : AlarmNotifier {
        AlarmNotice notice;
        void Notify(const AlarmNotice& n) override { notice = n; }
    } kept;  // for MQTT, which answers on a thread of its own
    testSet_->AddNotifier(kept);
    testSet_->SendTest();
    testSet_->RemoveNotifier(kept);
    TestMqtt(kept.notice, answer(kMqtt));
    if (const QString problem = DesktopNotificationProblem(); problem.isEmpty()) {
        SendDesktopNotification("Weather station alarm: test", "A test of the alarm notices",
                                false);
        SetAnswer(kDesktop, "desktop: notification sent");
    } else {
        SetAnswer(kDesktop, "desktop: not shown: " + problem);
    }
}

void AlarmsPage::TestMqtt(const AlarmNotice& notice,
                          const std::function<void(const std::string&)>& answer) {
    QString why = "not set up";
    const std::optional<MqttOptions> options = mqttFields_ ? mqttFields_(why) : std::nullopt;
    if (!options) {
        SetAnswer(kMqtt, "MQTT: " + why);
        return;
    }
    SetAnswer(kMqtt, "MQTT: sending...");
    mqttTests_.remove_if([](const std::future<void>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    mqttTests_.push_back(std::async(std::launch::async, [options = *options, running = running_,
                                                         answer, notice] {
        const UploadResult result = SendMqttAlarmTest(options, running, notice, kMqttTestTimeout);
        answer(result.ok ? "MQTT: test notice " + result.message
                         : "MQTT: not sent: " + result.message);
    }));
}
