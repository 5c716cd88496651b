// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <future>
#include <list>
#include <map>
#include <optional>

#include "LiveOutputSettings.h"
#include "UploadResult.h"

class AlarmsPage;
class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class StationIdentityPage;
class WebPageSettingsPage;

// "Live outputs...": the station's identity (whose position CWOP sends), MQTT, wxnow.json, CWOP,
// Weather Underground and PWSweather, each switched on or off, with a Test button per server that
// tries it now on a thread of its own and shows the answer. OK checks the
// fields and closes only when they can be stored; Cancel changes nothing.
class LiveOutputsDialog : public QDialog {
    Q_OBJECT

  public:
    LiveOutputsDialog(const LiveOutputSettings& settings, std::string softwareVersion,
                      QWidget* owner = nullptr);
    ~LiveOutputsDialog() override;

    // The fields as settings; an error message (the field focused) when one
    // cannot be stored.
    std::optional<LiveOutputSettings> Read(QString& error) const;
    // What OK accepted.
    const LiveOutputSettings& settings() const { return accepted_; }
    // The answer shown under a Test button: "mqtt", "cwop", "wunderground", "pwsweather".
    QString TestAnswer(const QString& output) const;

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
    QLineEdit* Field(QFormLayout* form, const QString& label, const QString& name,
                     const QString& text);
    void AddTestButton(QGroupBox* box, QFormLayout* form, const QString& name);
    QGroupBox* MqttGroup(const MqttOptions& mqtt, bool on);
    QGroupBox* CwopGroup(const CwopOptions& cwop, bool on);
    StationFields StationGroup(const QString& title, const QString& name,
                               const StationUploadOptions& station, bool on);
    bool ReadMqtt(LiveOutputSettings& out, QString& error) const;
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
    QTimer* poll_ = nullptr;
    std::list<RunningTest> tests_;
    std::map<QString, std::pair<QPushButton*, QLabel*>> testRows_;
};
