// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowAlarms.h"

#include <QEvent>
#include <QMetaObject>

#include "AlarmMqtt.h"
#include "CommandNotifier.h"
#include "DesktopNotification.h"
#include "LiveOutputs.h"
#include "MailNotifier.h"
#include "StationPipeline.h"
#include "UploadFaultWatch.h"

namespace {
// A silent station or a lasting fault is told within this much of its minute.
constexpr int kTickMs = 5000;
}  // namespace

WindowAlarms::WindowAlarms(const AlarmSettings& settings, StationPipeline& pipeline,
                           FileFaultReporter* shown, LiveOutputs& outputs, const MqttOptions& mqtt,
                           QWidget* banner, QObject* parent)
    : QObject(parent),
      pipeline_(pipeline),
      shown_(shown),
      set_(settings),
      tee_(shown, set_),
      banner_(new QLabel(banner)) {
    set_.AddNotifier(*this);
    auto report = [this](const std::string& message) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(message)] { emit Problem(text); },
            Qt::QueuedConnection);
    };
    if (!settings.command.empty()) {
        command_ = std::make_unique<CommandNotifier>(settings.command, report);
        set_.AddNotifier(*command_);
    }
    if (settings.mailOn()) {
        mail_ = std::make_unique<MailNotifier>(settings, report);
        if (mail_->Start()) set_.AddNotifier(*mail_);
    }
    if (MqttPublisher* publisher = outputs.mqtt()) {
        mqtt_ = std::make_unique<AlarmMqtt>(mqtt, *publisher, set_);
        mqtt_->Start();
        set_.AddNotifier(*mqtt_);
    }
    pipeline_.SetFileFaultReporter(&tee_);
    pipeline_.AddRecordListener(set_);

    banner_->setObjectName("alarmBanner");
    banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    banner_->setAutoFillBackground(true);
    banner_->setWordWrap(true);
    banner_->setMargin(3);
    QPalette look = banner_->palette();
    look.setColor(QPalette::Window, QColor(0xb0, 0x00, 0x00));
    look.setColor(QPalette::WindowText, Qt::white);
    banner_->setPalette(look);
    banner_->hide();
    banner->installEventFilter(this);

    connect(&tick_, &QTimer::timeout, this, [this] { set_.Tick(); });
    tick_.start(kTickMs);
}

WindowAlarms::~WindowAlarms() {
    pipeline_.RemoveRecordListener(set_);
    pipeline_.SetFileFaultReporter(shown_);
    if (banner_) {
        banner_->parentWidget()->removeEventFilter(this);
        delete banner_;
    }
}

void WindowAlarms::OnOutputFault(const OutputFault& fault) {
    WatchOutputFault(fault, set_);
}

void WindowAlarms::SetReading(bool reading) {
    if (reading == reading_) return;
    reading_ = reading;
    if (reading) {
        set_.ReadingStarted();
    } else {
        set_.ReadingStopped();
    }
}

// From any thread: shown on this one, and dropped by Qt once it is gone.
void WindowAlarms::Notify(const AlarmNotice& notice) {
    QMetaObject::invokeMethod(
        this, [this, notice] { Show(notice); }, Qt::QueuedConnection);
}

void WindowAlarms::Show(const AlarmNotice& notice) {
    const QString line = QString::fromStdString(AlarmNoticeLine(notice));
    SendDesktopNotification("Weather station alarm: " + QString::fromStdString(notice.alarm) + " " +
                                AlarmStateWord(notice),
                            line, notice.kind == AlarmNotice::Kind::Started);
    if (!banner_) return;
    const QString text = BannerText();
    banner_->setText(text);
    banner_->setVisible(!text.isEmpty());
    PlaceBanner();
}

QString WindowAlarms::BannerText() const {
    QStringList active;
    for (const AlarmStatus& s : set_.Statuses()) {
        if (!s.active) continue;
        AlarmNotice notice;
        notice.alarm = s.name;
        notice.value = s.value;
        notice.unit = s.unit;
        notice.since = s.since;
        active << QString::fromStdString(AlarmNoticeLine(notice));
    }
    return active.isEmpty() ? QString() : "Alarm: " + active.join(QStringLiteral("; "));
}

// Along the foot of the widget, as wide as it is.
void WindowAlarms::PlaceBanner() {
    const QWidget* host = banner_->parentWidget();
    const int height = banner_->heightForWidth(host->width());
    banner_->setGeometry(0, host->height() - height, host->width(), height);
    banner_->raise();
}

bool WindowAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && banner_ && banner_->isVisible()) PlaceBanner();
    return QObject::eventFilter(watched, event);
}
