// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>

#include "AboutDialog.h"
#include "Archive.h"
#include "ArchiveSeed.h"
#include "ArchiveWriter.h"
#include "ControlIds.h"
#include "GroupFrame.h"
#include "HelpWindow.h"
#include "HistoryModule.h"
#include "LiveOutputsDialog.h"
#include "NoaaFileWriter.h"
#include "OptionsDialog.h"
#include "PortConfig.h"
#include "RecordFormat.h"
#include "ResourceIds.h"
#include "ScreenFit.h"
#include "SerialDeviceList.h"
#include "StaleLook.h"
#include "VersionInfo.h"

namespace {
WebLink WebLinkOf(LinkState::State state) {
    switch (state) {
        case LinkState::State::Waiting:
            return WebLink::Waiting;
        case LinkState::State::Receiving:
            return WebLink::Receiving;
        case LinkState::State::Silent:
            return WebLink::Silent;
        case LinkState::State::Idle:
            break;
    }
    return WebLink::Idle;
}
}  // namespace

namespace {

constexpr int kFirstLabelId = 1000;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kCyan(0, 255, 255);
const QColor kBlue(0, 0, 255);

// The group captions that name a unit, as the template has them and in metric.
struct UnitCaption {
    const char* us;
    const char* metric;
};
constexpr UnitCaption kUnitCaptions[] = {{"Wind (mph)", "Wind (km/h)"},
                                         {"Temperature (F)", "Temperature (C)"},
                                         {"Rain (in)", "Rain (mm)"},
                                         {"Pressure (in Hg)", "Pressure (hPa)"}};

// The ten reading labels, in the order they get the value font.
constexpr int kReadingLabels[] = {
    ControlId::kWindSpeed,      ControlId::kWindSpeedAverage, ControlId::kGusts,
    ControlId::kTempOutdoor,    ControlId::kTempIndoor,       ControlId::kHumidityOutdoor,
    ControlId::kHumidityIndoor, ControlId::kRainTodaysTotal,  ControlId::kRainLongTermTotal,
    ControlId::kPressure};

// What goes grey and italic while the readings are old: the readings and
// the count, date and time of the last record.
constexpr int kStaleLabels[] = {ControlId::kWindSpeed,
                                ControlId::kWindSpeedAverage,
                                ControlId::kGusts,
                                ControlId::kTempOutdoor,
                                ControlId::kTempIndoor,
                                ControlId::kHumidityOutdoor,
                                ControlId::kHumidityIndoor,
                                ControlId::kRainTodaysTotal,
                                ControlId::kRainLongTermTotal,
                                ControlId::kPressure,
                                ControlId::kRecords,
                                ControlId::kDate,
                                ControlId::kTime};

struct ButtonSetUp {
    int id;
    int activeIcon;
    int normalIcon;
    const char* tooltip;
};

// In the order the buttons are set up.
constexpr ButtonSetUp kButtons[] = {
    {CommandId::kReadWeatherData, ResourceId::kReadIconActive, ResourceId::kReadIconNormal,
     "Read Weather Data From The Peet Bros. U2000."},
    {CommandId::kOk, ResourceId::kExitIconActive, ResourceId::kExitIconNormal, "Exit Application."},
    {CommandId::kReadTestDataFile, ResourceId::kTestIconActive, ResourceId::kTestIconNormal,
     "Read Test Data File."},
    {ResourceId::kHelpCommand, ResourceId::kHelpIconActive, ResourceId::kHelpIconNormal,
     "Get Help On How to Use The Application."},
    {CommandId::kOptions, ResourceId::kOptionsIconActive, ResourceId::kOptionsIconNormal,
     "Setup Com Port And Up To THREE Items to Plot."},
};

// QIcon takes the "@2x" drawing beside the file for scaled screens.
QIcon IconResource(int id) {
    return QIcon(ResourcePath::Icon(id));
}

}  // namespace

StationWindow::StationWindow(QWidget* parent)
    : QDialog(parent),
      pipeline_(*this, *this),
      web_(Archive::kFileName),
      portBridge_([this](int character, int port) { return OnSerialCharacter(character, port); }),
      serialPort_(
          [this](int port) { return settingsStore_.DeviceForComPort(port).toStdString(); }) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    controls_ =
        DialogBuilder(DialogTemplates::Main()).Build(this, [this](const ControlTemplate& c) {
            return SupplyControl(c);
        });
    for (const auto& [id, widget] : controls_.byId)
        if (auto* label = qobject_cast<QLabel*>(widget);
            label && id >= kFirstLabelId && id < kFirstLabelId + int(labelsById_.size()))
            labelsById_[id - kFirstLabelId] = label;
    LoadCompassPictures();
    compassName_ = QString::fromLatin1(kCompassRoseName);
    title_ = windowTitle();

    setWindowIcon(IconResource(ResourceId::kAppIcon));
    new ScreenFit(this);
    SetUpPlotLabels();
    SetUpValueFont();
    WidenReadingLabels();
    ClearReadingLabels();
    SetUpButtons();
    portBridge_.SetPortEventHandler(
        [this](int param, int port) { return OnPortEvent(param, port); });
    // Boxes that never hold up the port or the files: the station goes on
    // while one is open, and a cause that comes again updates its own box.
    portBridge_.SetErrorPresenter([this](const QString& caption, const QString& text) {
        boxes_.Show(QStringLiteral("port"), caption, text + LossExplanation(text),
                    QMessageBox::Critical);
    });
    fileFaults_.SetPresenter([this](const QString& cause, const QString& caption,
                                    const QString& text, bool error) {
        boxes_.Show(cause, caption, text, error ? QMessageBox::Critical : QMessageBox::Information,
                    NoticeBoxes::Mode::Add);
    });
    pipeline_.SetFileFaultReporter(&fileFaults_);
    // With Save Data, beside the files in the window's folder.
    auto archive = std::make_unique<ArchiveWriter>(pipeline_.fileFaults(), pipeline_.days());
    ArchiveWriter& archiveWriter = *archive;
    pipeline_.AddFileWriter(std::move(archive));
    // After the archive's writer, whose archive then holds the day that ended.
    auto noaa = std::make_unique<NoaaFileWriter>(pipeline_.fileFaults(), [this] {
        return NoaaFileWriter::Settings{settingsStore_.LoadStationIdentity(),
                                        pipeline_.options().units.Metric()};
    });
    noaa->WaitForArchiveWith([&archiveWriter] { archiveWriter.WaitForWrites(); });
    pipeline_.AddFileWriter(std::move(noaa));
    SeedFromArchive(pipeline_.derived());
    portBridge_.SetLinkHandler([this](PortLink change, int port, const QString& device) {
        OnLinkChange(change, port, device);
    });
    pipeline_.AddRecordListener(link_);
    connect(&link_, &LinkWatch::Changed, this, &StationWindow::ShowLinkState);
    LoadSettings();
    StartLiveOutputs();
    web_.Attach(pipeline_);
    StartWebPage();
    chart_.AddSeries(kRed, 100, 0);
    chart_.AddSeries(kGreen, 100, 0);
    chart_.AddSeries(kCyan, 100, 0);
    chart_.installEventFilter(this);
    chart_.setToolTip(tr("Click for the history of the readings (Ctrl+H)"));
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this, [this] { ShowHistory(); });
    const auto menuAtFocus = [this] {
        const QWidget* at = focusWidget() ? focusWidget() : this;
        ShowMenu(at->mapToGlobal(at->rect().center()));
    };
    new QShortcut(QKeySequence(Qt::Key_Menu), this, menuAtFocus);
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this, menuAtFocus);
}

StationWindow::~StationWindow() {
    serialPort_.StopMonitor();
    pageAlarms_.reset();
    alarms_.reset();
    liveOutputs_->Stop();
    web_.Stop();
}

// Reports and faults come from the publisher's and the uploads' threads:
// handled on this one, and dropped by Qt once the window is gone.
void StationWindow::StartLiveOutputs() {
    UploadOptions uploads = settingsStore_.LoadUploadOptions();
    uploads.softwareVersion = VersionInfo::kVersion;
    liveOutputs_ = std::make_unique<LiveOutputs>(
        settingsStore_.LoadMqttOptions(), settingsStore_.LoadWxnowJson(),
        [this](const std::string& message) {
            QMetaObject::invokeMethod(
                this,
                [this, text = QString::fromStdString(message)] { ShowLiveOutputReport(text); },
                Qt::QueuedConnection);
        },
        kWxnowJsonFile, std::move(uploads),
        [this](const OutputFault& fault) {
            QMetaObject::invokeMethod(
                this,
                [this, fault] {
                    if (alarms_) alarms_->OnOutputFault(fault);
                },
                Qt::QueuedConnection);
        });
    // An output that cannot work is named in the title; the others still run.
    liveOutputs_->Start();
    liveOutputs_->Attach(pipeline_);
    if (const LiveOutputSettings stored = settingsStore_.LoadLiveOutputSettings();
        stored.alarmsOn) {
        alarms_ =
            std::make_unique<WindowAlarms>(stored.alarms, pipeline_, &fileFaults_, *liveOutputs_,
                                           settingsStore_.LoadMqttOptions(), &chart_);
        // A failed alarm command or mail stays in the title as the outputs' faults do.
        connect(alarms_.get(), &WindowAlarms::Problem, this, &StationWindow::ShowLiveOutputReport);
        alarms_->SetReading(link_.state().state() != LinkState::State::Idle);
        pageAlarms_ = std::make_unique<PageAlarms>(web_.live(), alarms_->set());
    }
}

// A problem stays until its output works again: once per outage, never a box
// to click away while the station runs unattended. Each output keeps its
// own, so one output's return leaves the others' problems on show.
void StationWindow::ShowLiveOutputReport(const QString& message) {
    const QString output = message.section(':', 0, 0);
    if (message.endsWith(QLatin1String(" again")))
        liveOutputProblems_.erase(output);
    else
        liveOutputProblems_[output] = message;
    ShowTitle();
}

// One problem is said whole; more are counted, each whole in the tooltip,
// the About box and the Live outputs dialog.
void StationWindow::ShowTitle() {
    QString title = QString::fromStdString(link_.state().WindowTitle(title_.toStdString()));
    const QStringList problems = ProblemList();
    if (problems.size() == 1)
        title += " - " + problems.front();
    else if (problems.size() > 1)
        title +=
            QStringLiteral(" - %1 live outputs have a problem (see About)").arg(problems.size());
    setWindowTitle(title);
    setToolTip(problems.join('\n'));
}

// The failed wait or read names an operation a station owner never heard
// of: what happened and what Nimbulo does about it, in plain words.
QString StationWindow::LossExplanation(const QString& report) {
    if (!report.contains("WaitCommEvent()") && !report.contains("ReadFile()")) return {};
    return tr(
        "The station's device stopped answering: unplugged, switched off or broken.\n"
        "Nimbulo keeps trying to open it and reads on as soon as it is back.\n");
}

QStringList StationWindow::ProblemList() const {
    QStringList problems;
    for (const auto& [output, message] : liveOutputProblems_) problems << message;
    return problems;
}

void StationWindow::ShowAsDemo() {
    title_ = tr("Nimbulo demo (simulated station)");
    ShowTitle();
}

QWidget* StationWindow::SupplyControl(const ControlTemplate& control) {
    switch (control.id) {
        case CommandId::kReadWeatherData:
            return &readButton_;
        case CommandId::kReadTestDataFile:
            return &testButton_;
        case CommandId::kOptions:
            return &optionsButton_;
        case CommandId::kOk:
            return &exitButton_;
        case ResourceId::kHelpCommand:
            return &helpButton_;
        case ControlId::kChart:
            return &chart_;
        default:
            return nullptr;
    }
}

IconButton* StationWindow::Button(int id) const {
    return qobject_cast<IconButton*>(Control(id));
}

void StationWindow::SetUpPlotLabels() {
    const std::pair<int, QColor> plotLabels[] = {{ControlId::kPlotLabel1, kRed},
                                                 {ControlId::kPlotLabel2, kGreen},
                                                 {ControlId::kPlotLabel3, kCyan}};
    for (const auto& [id, colour] : plotLabels) {
        QWidget* label = Control(id);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
}

// Bold and fixed-pitch, with its character height equal to the height of the
// indoor-temperature label.
void StationWindow::SetUpValueFont() {
    valueFont_ = QFont(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    valueFont_.setStyleHint(QFont::TypeWriter);
    valueFont_.setFixedPitch(true);
    valueFont_.setBold(true);
    valueFont_.setPixelSize(std::max(1, Control(ControlId::kTempIndoor)->height()));
    for (int id : kReadingLabels) Control(id)->setFont(valueFont_);
}

// Six characters in the value font (a metric pressure of "1013.2", a
// long-term rain of "1234.5" mm) are a pixel or two wider than the
// template's label, more once italic: each reading reaches to just inside
// the frame around it. Nothing moves; only the text gets room.
void StationWindow::WidenReadingLabels() {
    constexpr int kFrameLines = 3;  // the etched line and a pixel of air
    for (int id : kReadingLabels) {
        QWidget* label = Control(id);
        for (QWidget* control : controls_.controls) {
            const auto* frame = qobject_cast<GroupFrame*>(control);
            if (!frame || !frame->geometry().contains(label->pos())) continue;
            const int right = frame->geometry().right() - kFrameLines;
            if (right > label->geometry().right())
                label->resize(right - label->x() + 1, label->height());
        }
    }
}

// The template's names are no readings: until the first record the value
// labels stay empty rather than show them cut off in the value font.
void StationWindow::ClearReadingLabels() {
    for (int id : kReadingLabels) static_cast<QLabel*>(Control(id))->clear();
}

void StationWindow::SetUpButtons() {
    for (const ButtonSetUp& setUp : kButtons) {
        IconButton* button = Button(setUp.id);
        button->SetIcon(IconResource(setUp.activeIcon), IconResource(setUp.normalIcon), 32, 32);
        button->SetBgNormal(kBlue, 0);
        button->SetBgActive(kBlue, 0);
        button->SetTextNormal(kBlue, 0);
        button->SetTextActive(kBlue, 0);
        button->setToolTip(QString::fromLatin1(setUp.tooltip));
        // The buttons show only pictures; a screen reader reads the tooltip's words.
        button->setAccessibleName(button->toolTip());
    }
    // Return on the chart meant Exit; the chart takes no keys, so Tab passes it by.
    chart_.setFocusPolicy(Qt::NoFocus);
    connect(&readButton_, &QAbstractButton::clicked, this, &StationWindow::ReadWeatherData);
    connect(&testButton_, &QAbstractButton::clicked, this, &StationWindow::ReadTestDataFile);
    connect(&optionsButton_, &QAbstractButton::clicked, this, &StationWindow::ShowOptions);
    connect(&exitButton_, &QAbstractButton::clicked, this, &StationWindow::ExitCommand);
    connect(&helpButton_, &QAbstractButton::clicked, this, &StationWindow::ShowHelp);
}

void StationWindow::LoadCompassPictures() {
    QStringList names{QString::fromLatin1(kCompassRoseName)};
    for (const char* name : CompassPointNames) names << QString::fromLatin1(name);
    for (const QString& name : names)
        compassPictures_[name] = ResourcePicture(ResourcePath::Compass(name));
}

void StationWindow::SetLabelText(int controlId, std::string_view text) {
    const int index = controlId - kFirstLabelId;
    if (index < 0 || index >= int(labelsById_.size()) || !labelsById_[index]) return;
    labelsById_[index]->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void StationWindow::ShowCompassPicture(std::string_view name) {
    const QString key = QString::fromLatin1(name.data(), qsizetype(name.size()));
    const auto found = compassPictures_.find(key);
    if (found == compassPictures_.end()) return;
    compassName_ = key;
    static_cast<QLabel*>(Control(ControlId::kCompass))->setPixmap(found->second);
}

// Lets pending events run, including a character from the serial port and so
// a nested record. A pump comes with a repaint of what changed; a replay of a
// long recording would spend most of its time repainting, so pumps closer
// together than kPumpIntervalMs are left out.
void StationWindow::PumpOneMessage() {
    if (pumpClock_.isValid() && pumpClock_.elapsed() < kPumpIntervalMs) return;
    QCoreApplication::processEvents();
    pumpClock_.start();
}

int StationWindow::SetSeriesValue(int series, int value) {
    return chart_.SetSeriesValue(series, value);
}

void StationWindow::Advance() {
    chart_.Advance();
    if (history_) history_->PointMade();
}

// A port outside COM1 to COM4 (a settings file edited by hand) would be
// read with every record refused, so it is said in the port's error box
// instead, naming the range and where the number is kept.
void StationWindow::ReadWeatherData() {
    if (!PortConfig::IsComPort(comPort)) {
        portBridge_.ReportError(SerialPort::kErrorCaption,
                                "WARNING:  ComPort=" + std::to_string(comPort) + " in " +
                                    settingsStore_.FileName().toStdString() + " is outside " +
                                    std::to_string(PortConfig::kFirstPort) + " to " +
                                    std::to_string(PortConfig::kLastPort) +
                                    ", so no port is read.\nChoose COM1 to COM4 in Options.\n");
        return;
    }
    portBridge_.OpenAndMonitor(serialPort_, comPort);
}

void StationWindow::ReadTestDataFile() {
    pipeline_.TestFileReplay();
}

int StationWindow::OnSerialCharacter(int character, int port) {
    return pipeline_.OnSerialCharacter(character, port);
}

int StationWindow::OnPortEvent(int, int port) {
    return PortConfig::PortEventResult(port);
}

// The processing state goes on across a lost device; only a line it cut
// short goes, since the next bytes belong to another line.
void StationWindow::OnLinkChange(PortLink change, int port, const QString& device) {
    if (change == PortLink::Lost) pipeline_.DropPartialLine();
    link_.OnLinkChange(change, port, device);
}

void StationWindow::ShowLinkState() {
    ShowTitle();
    if (alarms_) alarms_->SetReading(link_.state().state() != LinkState::State::Idle);
    const bool stale = link_.state().ReadingsStale();
    // Home Assistant shows the station unavailable while the readings are old.
    if (liveOutputs_) liveOutputs_->SetLinkAvailable(!stale);
    web_.live().SetLink(WebLinkOf(link_.state().state()), link_.state().LastRecordTime());
    const QColor text = palette().color(QPalette::Normal, QPalette::WindowText);
    const QColor colour = stale ? StaleLook::Colour(text, palette().color(QPalette::Window)) : text;
    for (int id : kStaleLabels) {
        QWidget* label = Control(id);
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, colour);
        label->setPalette(labelPalette);
        const QFont fresh = freshFonts_.try_emplace(id, label->font()).first->second;
        const auto* reading = qobject_cast<const QLabel*>(label);
        if (stale && reading) {
            const int room = reading->width() - 1 - reading->contentsRect().left();
            label->setFont(StaleLook::Italic(fresh, reading->text(), room));
        } else {
            label->setFont(fresh);
        }
    }
}

void StationWindow::ShowOptions() {
    OptionsDialog options(this);
    options.DescribePorts([this](int port) { return settingsStore_.DeviceForComPort(port); });
    options.OfferDevices(SerialDeviceList::Present());
    options.processing = pipeline_.options();
    options.comPortIndex = comPort - 1;
    if (options.exec() != QDialog::Accepted) return;
    pipeline_.options() = options.processing;
    // Another port chosen while the old one is missing: stop waiting for it.
    if (options.comPortIndex + 1 != comPort && link_.state().state() == LinkState::State::Waiting) {
        portBridge_.RunOutsideHandOver([this] {
            serialPort_.ClosePort();
            link_.Stop();
        });
    }
    comPort = options.comPortIndex + 1;
    StoreChangedDevices(options.devices);
    ShowUnits();
}

// The group captions and the readings in the chosen units; the chart and
// its labels follow at the next five-minute point.
void StationWindow::ShowUnits() {
    const bool metric = pipeline_.options().units.Metric();
    if (history_) history_->SetMetric(metric);
    const auto& controls = DialogTemplates::Main().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        auto* frame = qobject_cast<GroupFrame*>(controls_.controls[i]);
        if (!frame) continue;
        for (const UnitCaption& caption : kUnitCaptions)
            if (QLatin1String(controls[i].text) == QLatin1String(caption.us))
                frame->setTitle(QString::fromLatin1(metric ? caption.metric : caption.us));
    }
    pipeline_.RefreshReadings();
}

void StationWindow::StoreChangedDevices(const std::array<QString, 4>& devices) {
    for (int port = 1; port <= int(devices.size()); ++port)
        if (devices[port - 1] != settingsStore_.DeviceForComPort(port))
            settingsStore_.SetDeviceForComPort(port, devices[port - 1]);
}

void StationWindow::LoadSettings() {
    const StationSettings stored = settingsStore_.Load();
    comPort = stored.comPort;
    pipeline_.options() = stored.processing;
    ShowUnits();
    link_.SetStaleAfter(std::chrono::seconds(stored.staleAfterSeconds));
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Off the primary screen the window stays where the template puts it, the
    // top-left corner of the screen (a dialog would otherwise be centred).
    if (screen && SettingsStore::PositionOnScreen(stored.x, stored.y, screen->geometry().size()))
        MoveOnScreen(stored.x, stored.y);
    else
        move(0, 0);
}

// A place stored on a bigger screen (or before a switch to 2x) could leave
// the window partly off this one: it is moved in as far as it fits.
void StationWindow::MoveOnScreen(int x, int y) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size().expandedTo(sizeHint());
    x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
    y = std::max(area.top(), std::min(y, area.bottom() + 1 - size.height()));
    move(x, y);
}

void StationWindow::SaveSettings() {
    StationSettings stored;
    stored.comPort = comPort;
    stored.processing = pipeline_.options();
    const QPoint corner = frameGeometry().topLeft();
    stored.x = corner.x();
    stored.y = corner.y();
    settingsStore_.Save(stored);
}

void StationWindow::ExitCommand() {
    SaveSettings();
    done(kExitResult);
}

void StationWindow::reject() {
    done(kCancelResult);
}

void StationWindow::ShowAbout() {
    AboutDialog about(this);
    about.ShowProblems(ProblemList());
    about.exec();
}

// OK has stored the settings; they take effect at once, no restart.
void StationWindow::ShowLiveOutputs() {
    std::optional<LiveOutputSettings> chosen;
    {
        LiveOutputsDialog dialog(settingsStore_.LoadLiveOutputSettings(), VersionInfo::kVersion,
                                 this);
        dialog.ShowProblems(ProblemList());
        dialog.SetRunningMqtt(liveOutputs_->mqtt());
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.settings();
    }  // its tests are over before the outputs they may use go
    if (!chosen) return;
    settingsStore_.SaveLiveOutputSettings(*chosen);
    RestartLiveOutputs();
}

// The pipeline forgets the old outputs before they go.
void StationWindow::RestartLiveOutputs() {
    pageAlarms_.reset();
    alarms_.reset();
    liveOutputs_->Stop();
    liveOutputs_->Detach(pipeline_);
    liveOutputs_.reset();
    liveOutputProblems_.clear();
    ShowTitle();
    StartLiveOutputs();
    liveOutputs_->SetLinkAvailable(!link_.state().ReadingsStale());
    StartWebPage();
}

// Served from its own threads; a port that is taken is said in the title.
void StationWindow::StartWebPage() {
    web_.Stop();
    const LiveOutputSettings stored = settingsStore_.LoadLiveOutputSettings();
    const WebSettings& settings = stored.web;
    web_.SetSummarySettings(stored.station, pipeline_.options().units.Metric());
    std::string error;
    if (settings.enabled && !web_.Start(settings, error))
        ShowLiveOutputReport(QString::fromStdString(error));
}

void StationWindow::ShowHelp() {
    if (!help_) help_ = new HelpWindow(this);
    help_->ShowBeside(frameGeometry());
}

// Where there is no system menu to put it in, "About" is on the window's own
// context menu.
void StationWindow::contextMenuEvent(QContextMenuEvent* event) {
    ShowMenu(event->globalPos());
}

void StationWindow::ShowMenu(const QPoint& globalPos) {
    const QString text = LoadResourceString(ResourceId::kAboutMenuString);
    if (text.isEmpty()) return;
    QMenu menu(this);
    menu.addAction(text, this, &StationWindow::ShowAbout);
    QAction* history = menu.addAction(tr("History..."), this, &StationWindow::ShowHistory);
    history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    history->setShortcutVisibleInContextMenu(true);
    menu.addAction("Live outputs...", this, &StationWindow::ShowLiveOutputs);
    menu.exec(globalPos);
}

// Return presses the focused button; with no button focused it is the
// window's default command, Exit.
void StationWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
            button && button->isVisible())
            button->click();
        else
            ExitCommand();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool StationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &chart_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ShowHistory();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// The archive of the data folder in use: the working folder, as the files.
void StationWindow::ShowHistory() {
    if (!history_) {
        HistoryWindowArgs args{std::filesystem::current_path() / Archive::kFileName,
                               pipeline_.options().units.Metric(),
                               [this] { return pipeline_.state().derived; },
                               // A copy: the window keeps its state after this one is gone.
                               [store = settingsStore_] { return store.Open(); }};
        QString error;
        history_ = HistoryModule::Open(std::move(args), this, error);
        if (!history_) {
            QMessageBox::warning(this, tr("History"), error);
            return;
        }
    } else {
        history_->SetMetric(pipeline_.options().units.Metric());
    }
    history_->show();
    history_->raise();
    history_->activateWindow();
}
