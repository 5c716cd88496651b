// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <list>
#include <map>
#include <optional>

#include "LiveOutputSettings.h"
#include "UploadResult.h"

class AlarmsPage;
class MqttPublisher;
class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class StationIdentityPage;
class WebPageSettingsPage;

// "Live outputs...": MQTT, wxnow.json, CWOP, Weather Underground,
// PWSweather, the web page and the alarms, and the station's identity
// (whose position CWOP sends), each on a page of its own (a list beside the pages) and
// switched on or off, with a Test button per server that tries it now on a
// thread of its own and shows the answer whole. OK checks the fields in the
// order they are shown and closes only when they can be stored, naming the
// first wrong one; the message goes once the fields are right. Cancel
// changes nothing. Resizable and small enough for a laptop at twice the scale.
class LiveOutputsDialog : public QDialog {
    Q_OBJECT

  public:
    LiveOutputsDialog(const LiveOutputSettings& settings, std::string softwareVersion,
                      QWidget* owner = nullptr);
    ~LiveOutputsDialog() override;

    // The fields as settings; an error message (the field focused) when one
    // cannot be stored.
    std::optional<LiveOutputSettings> Read(QString& error) const;
    // Adds a page under title to the list; returns its index.
    int AddPage(const QString& title, QWidget* page);
    int PageCount() const;
    // Shows the page at index (in the order they were added).
    void ShowPage(int index);
    int CurrentPage() const;
    // Above the pages: how many live outputs have a problem now and each one whole.
    void ShowProblems(const QStringList& problems);
    QString ProblemsText() const;
    // The message under the pages: why OK did not close, empty once the fields are right.
    QString ErrorText() const;

    // What OK accepted.
    const LiveOutputSettings& settings() const { return accepted_; }
    // The answer shown under a Test button: "mqtt", "cwop", "wunderground", "pwsweather".
    QString TestAnswer(const QString& output) const;

    // The station's running MQTT publisher, for the alarms' Test; it must
    // outlive the dialog.
    void SetRunningMqtt(MqttPublisher* running);

    void accept() override;

  private:
    struct StationFields {
        QGroupBox* box;
        QLineEdit* stationId;
        QLineEdit* keyFile;
        QLineEdit* interval;
    };
    struct RunningTest {
        std::future<UploadResult> result;
        QString name;
    };

    QGroupBox* Group(const QString& title, const QString& name, bool on, QFormLayout*& form);
    void AddGroupPage(const QString& title, QWidget* content);
    // Reads the fields again after an edit, so a message shown goes once it is mended.
    void CheckAgain();
    QLineEdit* Field(QFormLayout* form, const QString& label, const QString& name,
                     const QString& text);
    void AddTestButton(QGroupBox* box, QFormLayout* form, const QString& name);
    QGroupBox* MqttGroup(const MqttOptions& mqtt, bool on);
    QGroupBox* CwopGroup(const CwopOptions& cwop, bool on);
    StationFields StationGroup(const QString& title, const QString& name,
                               const StationUploadOptions& station, bool on);
    bool ReadMqtt(LiveOutputSettings& out, QString& error) const;
    // The MQTT fields for the alarms' Test; nullopt with why while off or wrong.
    std::optional<MqttOptions> MqttForTest(QString& why) const;
    bool ReadCwop(LiveOutputSettings& out, QString& error) const;
    bool ReadStation(const StationFields& fields, const QString& title, bool& on,
                     StationUploadOptions& station, QString& error) const;
    void StartTest(const QString& name);
    void CollectTests();

    LiveOutputSettings original_;
    AlarmsPage* alarms_ = nullptr;
    LiveOutputSettings accepted_;
    std::string softwareVersion_;
    QLineEdit* mqttHost_ = nullptr;
    QLineEdit* mqttPort_ = nullptr;
    QLineEdit* mqttStationId_ = nullptr;
    QLineEdit* mqttPrefix_ = nullptr;
    QLineEdit* mqttUser_ = nullptr;
    QLineEdit* mqttPasswordFile_ = nullptr;
    QLineEdit* mqttCaFile_ = nullptr;
    QGroupBox* mqttBox_ = nullptr;
    QCheckBox* wxnow_ = nullptr;
    QGroupBox* cwopBox_ = nullptr;
    QLineEdit* cwopId_ = nullptr;
    QLineEdit* cwopPasscodeFile_ = nullptr;
    QLineEdit* cwopServer_ = nullptr;
    QLineEdit* cwopInterval_ = nullptr;
    StationFields wunderground_{};
    StationFields pwsweather_{};
    StationIdentityPage* station_ = nullptr;
    WebPageSettingsPage* web_ = nullptr;
    QLabel* error_ = nullptr;
    QLabel* problems_ = nullptr;
    class QListWidget* pageList_ = nullptr;
    class QStackedWidget* pages_ = nullptr;
    QTimer* poll_ = nullptr;
    std::list<RunningTest> tests_;
    std::map<QString, std::pair<QPushButton*, QLabel*>> testRows_;
};
