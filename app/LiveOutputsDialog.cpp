// SPDX-License-Identifier: GPL-3.0-or-later
#include "LiveOutputsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <filesystem>

#include "AlarmsPage.h"
#include "ConnectionTests.h"
#include "ScreenFit.h"
#include "SecretFile.h"
#include "StationIdentityPage.h"
#include "WebPageSettingsPage.h"

namespace {
using namespace std::chrono_literals;

constexpr int kMaxIntervalSeconds = 9999;  // as the logger's --cwop-interval and --upload-interval
constexpr auto kMqttTestTimeout = 10s;
constexpr int kPollMs = 100;

// The wrong field is focused, on its page, unless the dialog only checks
// again while the user types.
bool quietCheck = false;

// Brings the page that holds a field to the front.
void ShowPageOf(QWidget* field) {
    QWidget* page = field;
    while (page->parentWidget() && !qobject_cast<QStackedWidget*>(page->parentWidget()))
        page = page->parentWidget();
    if (auto* pages = qobject_cast<QStackedWidget*>(page->parentWidget()))
        pages->setCurrentWidget(page);
}

void Wrong(QLineEdit* field) {
    if (quietCheck) return;
    ShowPageOf(field);
    field->setFocus();
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QLineEdit* field) {
    return field->text().trimmed().toStdString();
}

// An empty field keeps fallback; otherwise a whole number in low..high.
bool ReadInt(QLineEdit* field, const QString& what, int low, int high, int& value, QString& error) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return true;
    bool ok = false;
    const int read = text.toInt(&ok);
    if (ok && read >= low && read <= high) {
        value = read;
        return true;
    }
    error = QString("%1 must be a whole number from %2 to %3.").arg(what).arg(low).arg(high);
    Wrong(field);
    return false;
}

bool ReadSeconds(QLineEdit* field, const QString& what, std::chrono::seconds& interval,
                 QString& error) {
    int seconds = int(interval.count());
    if (!ReadInt(field, what + " (seconds)", 1, kMaxIntervalSeconds, seconds, error)) return false;
    interval = std::chrono::seconds(seconds);
    return true;
}

bool Required(QLineEdit* field, const QString& what, QString& error) {
    if (!field->text().trimmed().isEmpty()) return true;
    error = what + " is needed.";
    Wrong(field);
    return false;
}

// A password, passcode or key file of an output that is on must be one the
// output can read: a regular file with something in it, never a FIFO that
// would hold the output up or a folder that gives an empty secret. A file
// not there yet is the output's to report while it runs, as at start.
bool SecretFileUsable(bool on, QLineEdit* field, const QString& what, QString& error) {
    const std::string path = S(field);
    std::error_code ignored;
    if (!on || path.empty() || !std::filesystem::exists(path, ignored)) return true;
    const std::string problem = SecretFileProblem(path);
    if (problem.empty()) return true;
    error = QString("%1 '%2' %3.").arg(what, Q(path), Q(problem));
    Wrong(field);
    return false;
}
}  // namespace

LiveOutputsDialog::LiveOutputsDialog(const LiveOutputSettings& settings,
                                     std::string softwareVersion, QWidget* owner)
    : QDialog(owner),
      original_(settings),
      accepted_(settings),
      softwareVersion_(std::move(softwareVersion)) {
    setWindowTitle("Live outputs");
    setSizeGripEnabled(true);
    new ScreenFit(this);
    auto* layout = new QVBoxLayout(this);
    problems_ = new QLabel(this);
    problems_->setObjectName("problems");
    problems_->setTextFormat(Qt::PlainText);
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problems_->hide();
    layout->addWidget(problems_);
    auto* row = new QHBoxLayout;
    layout->addLayout(row, 1);
    pageList_ = new QListWidget(this);
    pageList_->setObjectName("pages");
    pages_ = new QStackedWidget(this);
    row->addWidget(pageList_);
    row->addWidget(pages_, 1);
    connect(pageList_, &QListWidget::currentRowChanged, pages_, &QStackedWidget::setCurrentIndex);

    station_ = new StationIdentityPage(settings.station, this);
    AddGroupPage("Station", station_);
    AddGroupPage("MQTT", MqttGroup(settings.mqtt, settings.mqttOn));
    wxnow_ = new QCheckBox("Write wxnow.json beside the report files", this);
    wxnow_->setObjectName("wxnowJson");
    wxnow_->setChecked(settings.wxnowJson);
    AddGroupPage("wxnow.json", wxnow_);
    AddGroupPage("CWOP", CwopGroup(settings.cwop, settings.cwopOn));
    wunderground_ = StationGroup("Weather Underground", "wunderground", settings.wunderground,
                                 settings.wundergroundOn);
    AddGroupPage("Weather Underground", wunderground_.box);
    pwsweather_ =
        StationGroup("PWSweather", "pwsweather", settings.pwsweather, settings.pwsweatherOn);
    AddGroupPage("PWSweather", pwsweather_.box);
    web_ = new WebPageSettingsPage(settings.web, this);
    AddGroupPage("Web page", web_);
    alarms_ = new AlarmsPage(settings.alarms, settings.alarmsOn, this);
    SetRunningMqtt(nullptr);
    AddGroupPage("Alarms", alarms_);
    ShowPage(0);
    error_ = new QLabel(this);
    error_->setObjectName("error");
    error_->setStyleSheet("color: #b00000");
    error_->setWordWrap(true);
    layout->addWidget(error_);
    for (QLineEdit* field : findChildren<QLineEdit*>())
        connect(field, &QLineEdit::textEdited, this, &LiveOutputsDialog::CheckAgain);
    for (QGroupBox* box : findChildren<QGroupBox*>())
        connect(box, &QGroupBox::toggled, this, &LiveOutputsDialog::CheckAgain);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &LiveOutputsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LiveOutputsDialog::reject);
    layout->addWidget(buttons);
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &LiveOutputsDialog::CollectTests);
}

int LiveOutputsDialog::AddPage(const QString& title, QWidget* page) {
    pageList_->addItem(title);
    const int index = pages_->addWidget(page);
    // The list is as wide as its longest title, the pages take the rest.
    pageList_->setFixedWidth(pageList_->sizeHintForColumn(0) + 2 * pageList_->frameWidth() +
                             fontMetrics().averageCharWidth() * 2);
    return index;
}

int LiveOutputsDialog::PageCount() const {
    return pages_->count();
}

void LiveOutputsDialog::ShowPage(int index) {
    pageList_->setCurrentRow(index);
}

int LiveOutputsDialog::CurrentPage() const {
    return pages_->currentIndex();
}

// A page of the dialog's own: the output's box at the top.
void LiveOutputsDialog::AddGroupPage(const QString& title, QWidget* content) {
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(content);
    column->addStretch(1);
    // A long page (the alarms) scrolls rather than making the dialog too big
    // for a small or scaled screen.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    AddPage(title, scroll);
}

void LiveOutputsDialog::ShowProblems(const QStringList& problems) {
    problems_->setVisible(!problems.isEmpty());
    if (problems.isEmpty()) return;
    const QString head = problems.size() == 1
                             ? QString("1 live output has a problem:")
                             : QString("%1 live outputs have a problem:").arg(problems.size());
    problems_->setText(head + "\n" + problems.join('\n'));
}

QString LiveOutputsDialog::ProblemsText() const {
    return problems_->isHidden() ? QString() : problems_->text();
}

QString LiveOutputsDialog::ErrorText() const {
    return error_->text();
}

void LiveOutputsDialog::CheckAgain() {
    if (error_->text().isEmpty()) return;
    QString error;
    // The pages of their own (station, web page, alarms) focus their wrong
    // field: the field being typed in keeps the focus.
    QWidget* typing = focusWidget();
    quietCheck = true;
    Read(error);
    quietCheck = false;
    if (typing) typing->setFocus();
    error_->setText(error);
}

// A test still under way is waited for: each is bounded by its time-out.
LiveOutputsDialog::~LiveOutputsDialog() = default;

QGroupBox* LiveOutputsDialog::Group(const QString& title, const QString& name, bool on,
                                    QFormLayout*& form) {
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    box->setCheckable(true);
    box->setChecked(on);
    form = new QFormLayout(box);
    return box;
}

QLineEdit* LiveOutputsDialog::Field(QFormLayout* form, const QString& label, const QString& name,
                                    const QString& text) {
    auto* field = new QLineEdit(text, this);
    field->setObjectName(name);
    // Room for a host and port such as "cwop.aprs.net:14580" and a little more.
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(26, 'n')));
    form->addRow(label, field);
    return field;
}

void LiveOutputsDialog::AddTestButton(QGroupBox* box, QFormLayout* form, const QString& name) {
    auto* button = new QPushButton("Test", box);
    button->setObjectName(name + "Test");
    auto* answer = new QLabel(box);
    answer->setObjectName(name + "Answer");
    answer->setWordWrap(true);
    answer->setTextFormat(Qt::PlainText);
    answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The whole width under the button, as many lines as the answer takes.
    form->addRow(button);
    form->addRow(answer);
    testRows_[name] = {button, answer};
    connect(button, &QPushButton::clicked, this, [this, name] { StartTest(name); });
}

QGroupBox* LiveOutputsDialog::MqttGroup(const MqttOptions& mqtt, bool on) {
    QFormLayout* form = nullptr;
    mqttBox_ = Group("MQTT", "mqtt", on, form);
    mqttHost_ = Field(form, "Broker host:", "mqttHost", Q(mqtt.host));
    mqttPort_ = Field(form, "Port:", "mqttPort", QString::number(mqtt.port));
    mqttStationId_ = Field(form, "Station id:", "mqttStationId", Q(mqtt.stationId));
    mqttPrefix_ = Field(form, "Topic prefix:", "mqttPrefix", Q(mqtt.prefix));
    mqttPrefix_->setPlaceholderText("nimbulo/<station id>");
    mqttUser_ = Field(form, "User:", "mqttUser", Q(mqtt.user));
    mqttPasswordFile_ = Field(form, "Password file:", "mqttPasswordFile", Q(mqtt.passwordFile));
    mqttCaFile_ = Field(form, "CA file (TLS):", "mqttCaFile", Q(mqtt.caFile));
    AddTestButton(mqttBox_, form, "mqtt");
    return mqttBox_;
}

QGroupBox* LiveOutputsDialog::CwopGroup(const CwopOptions& cwop, bool on) {
    QFormLayout* form = nullptr;
    cwopBox_ = Group("CWOP (APRS-IS)", "cwop", on, form);
    cwopId_ = Field(form, "CWOP id or call sign:", "cwopId", Q(cwop.id));
    cwopPasscodeFile_ =
        Field(form, "Passcode file (call signs):", "cwopPasscodeFile", Q(cwop.passcodeFile));
    cwopServer_ = Field(form, "Server (host:port):", "cwopServer", Q(cwop.server));
    cwopInterval_ = Field(form, "Interval (seconds):", "cwopInterval",
                          QString::number(cwop.timing.interval.count()));
    AddTestButton(cwopBox_, form, "cwop");
    return cwopBox_;
}

LiveOutputsDialog::StationFields LiveOutputsDialog::StationGroup(
    const QString& title, const QString& name, const StationUploadOptions& station, bool on) {
    QFormLayout* form = nullptr;
    StationFields fields{};
    fields.box = Group(title, name, on, form);
    fields.stationId = Field(form, "Station id:", name + "StationId", Q(station.stationId));
    fields.keyFile = Field(form, "Station key file:", name + "KeyFile", Q(station.keyFile));
    fields.interval = Field(form, "Interval (seconds):", name + "Interval",
                            QString::number(station.timing.interval.count()));
    AddTestButton(fields.box, form, name);
    return fields;
}

bool LiveOutputsDialog::ReadMqtt(LiveOutputSettings& out, QString& error) const {
    out.mqttOn = mqttBox_->isChecked();
    MqttOptions& mqtt = out.mqtt;
    if (out.mqttOn && !Required(mqttHost_, "MQTT: the broker host", error)) return false;
    mqtt.host = S(mqttHost_);
    if (!ReadInt(mqttPort_, "MQTT: the port", 1, 65535, mqtt.port, error) ||
        !SecretFileUsable(out.mqttOn, mqttPasswordFile_, "MQTT: the password file", error))
        return false;
    mqtt.stationId = S(mqttStationId_).empty() ? MqttOptions{}.stationId : S(mqttStationId_);
    mqtt.prefix = S(mqttPrefix_);
    mqtt.user = S(mqttUser_);
    mqtt.passwordFile = S(mqttPasswordFile_);
    mqtt.caFile = S(mqttCaFile_);
    return true;
}

std::optional<MqttOptions> LiveOutputsDialog::MqttForTest(QString& why) const {
    LiveOutputSettings s;
    if (!mqttBox_->isChecked()) {
        why = "off on the MQTT page";
        return std::nullopt;
    }
    if (!ReadMqtt(s, why)) return std::nullopt;
    return s.mqtt;
}

void LiveOutputsDialog::SetRunningMqtt(MqttPublisher* running) {
    alarms_->SetMqtt([this](QString& why) { return MqttForTest(why); }, running);
}

bool LiveOutputsDialog::ReadCwop(LiveOutputSettings& out, QString& error) const {
    out.cwopOn = cwopBox_->isChecked();
    CwopOptions& cwop = out.cwop;
    // The position is the station's, read before.
    cwop.havePosition = out.station.latitude && out.station.longitude;
    cwop.latitude = out.station.latitude.value_or(0.0);
    cwop.longitude = out.station.longitude.value_or(0.0);
    if (out.cwopOn && !Required(cwopId_, "CWOP: the id or call sign", error)) return false;
    if (out.cwopOn && !cwop.havePosition) {
        error = "CWOP: the station's latitude and longitude are needed.";
        return false;
    }
    if (!SecretFileUsable(out.cwopOn, cwopPasscodeFile_, "CWOP: the passcode file", error) ||
        !ReadSeconds(cwopInterval_, "CWOP: the interval", cwop.timing.interval, error))
        return false;
    cwop.id = S(cwopId_);
    cwop.passcodeFile = S(cwopPasscodeFile_);
    cwop.server = S(cwopServer_).empty() ? kDefaultAprsServer : S(cwopServer_);
    return true;
}

bool LiveOutputsDialog::ReadStation(const StationFields& fields, const QString& title, bool& on,
                                    StationUploadOptions& station, QString& error) const {
    on = fields.box->isChecked();
    if (on && (!Required(fields.stationId, title + ": the station id", error) ||
               !Required(fields.keyFile, title + ": the station key file", error) ||
               !SecretFileUsable(on, fields.keyFile, title + ": the station key file", error))) {
        return false;
    }
    if (!ReadSeconds(fields.interval, title + ": the interval", station.timing.interval, error))
        return false;
    station.stationId = S(fields.stationId);
    station.keyFile = S(fields.keyFile);
    return true;
}

std::optional<LiveOutputSettings> LiveOutputsDialog::Read(QString& error) const {
    LiveOutputSettings out = original_;
    out.wxnowJson = wxnow_->isChecked();
    if (!station_->Read(out.station, error) || !ReadMqtt(out, error) || !ReadCwop(out, error) ||
        !ReadStation(wunderground_, "Weather Underground", out.wundergroundOn, out.wunderground,
                     error) ||
        !ReadStation(pwsweather_, "PWSweather", out.pwsweatherOn, out.pwsweather, error) ||
        !web_->Read(out.web, error) || !alarms_->Read(out.alarms, error)) {
        return std::nullopt;
    }
    out.alarmsOn = alarms_->alarmsOn();
    return out;
}

void LiveOutputsDialog::accept() {
    QString error;
    const std::optional<LiveOutputSettings> read = Read(error);
    error_->setText(error);
    if (!read) {
        // A page of its own focuses its wrong field; show that page.
        if (QWidget* wrong = focusWidget()) ShowPageOf(wrong);
        return;
    }
    accepted_ = *read;
    QDialog::accept();
}

QString LiveOutputsDialog::TestAnswer(const QString& output) const {
    const auto row = testRows_.find(output);
    return row == testRows_.end() ? QString() : row->second.second->text();
}

// The fields as they stand, whether the output is switched on or not.
void LiveOutputsDialog::StartTest(const QString& name) {
    QLabel* answer = testRows_.at(name).second;
    LiveOutputSettings s = original_;
    QString error;
    std::function<UploadResult()> test;
    const std::string version = softwareVersion_;
    if (name == "mqtt" && ReadMqtt(s, error) && Required(mqttHost_, "The broker host", error)) {
        test = [mqtt = s.mqtt] { return TestMqttConnection(mqtt, kMqttTestTimeout); };
    } else if (name == "cwop" && station_->Read(s.station, error) && ReadCwop(s, error) &&
               Required(cwopId_, "The id", error)) {
        test = [cwop = s.cwop, version] { return TestCwopLogin(cwop, version); };
    } else if (name == "wunderground" && ReadStation(wunderground_, "Weather Underground",
                                                     s.wundergroundOn, s.wunderground, error)) {
        test = [w = s.wunderground, version] { return TestStationUpload(w, false, version); };
    } else if (name == "pwsweather" &&
               ReadStation(pwsweather_, "PWSweather", s.pwsweatherOn, s.pwsweather, error)) {
        test = [p = s.pwsweather, version] { return TestStationUpload(p, true, version); };
    }
    if (!test) {
        answer->setText(error.isEmpty() ? QString("Fill in the fields first.") : error);
        return;
    }
    answer->setText("Trying...");
    testRows_.at(name).first->setEnabled(false);
    tests_.push_back({std::async(std::launch::async, std::move(test)), name});
    poll_->start();
}

void LiveOutputsDialog::CollectTests() {
    for (auto it = tests_.begin(); it != tests_.end();) {
        if (it->result.wait_for(0s) != std::future_status::ready) {
            ++it;
            continue;
        }
        const UploadResult result = it->result.get();
        auto& [button, answer] = testRows_.at(it->name);
        answer->setText((result.ok ? "Works: " : "Failed: ") + Q(result.message));
        button->setEnabled(true);
        it = tests_.erase(it);
    }
    if (tests_.empty()) poll_->stop();
}
