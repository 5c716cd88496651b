// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <map>
#include <string_view>

#include "ChartFeed.h"
#include "DialogBuilder.h"
#include "FileFaultBox.h"
#include "IconButton.h"
#include "LineChartCtrl.h"
#include "LinkWatch.h"
#include "LiveOutputs.h"
#include "NoticeBoxes.h"
#include "PageAlarms.h"
#include "QtPortBridge.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "StationPipeline.h"
#include "StationView.h"
#include "StationWebPage.h"
#include "WindowAlarms.h"

class HelpWindow;
class HistoryWindowInterface;
class QLabel;

// The program's main window: the readings panel, the compass picture, the
// strip chart with its three colour labels and the row of icon buttons. It
// shows what the processing path writes and routes the buttons: Read Weather
// Data, the hidden test replay, Options, Exit (which stores the settings) and
// Help. Escape and the close box leave without storing anything.
class StationWindow : public QDialog, public StationView, public ChartFeed {
    Q_OBJECT

  public:
    // Result of the modal run when the user leaves with Exit.
    static constexpr int kExitResult = 1;
    static constexpr int kCancelResult = 2;
    // Shortest time between two event pumps of the processing path.
    static constexpr int kPumpIntervalMs = 15;

    explicit StationWindow(QWidget* parent = nullptr);
    ~StationWindow() override;

    // StationView
    void SetLabelText(int controlId, std::string_view text) override;
    void ShowCompassPicture(std::string_view name) override;
    void PumpOneMessage() override;

    // ChartFeed: the window's strip chart.
    int SetSeriesValue(int series, int value) override;
    void Advance() override;

    // Commands.
    void ReadWeatherData();
    void ReadTestDataFile();
    void ShowOptions();
    void ExitCommand();
    void ShowAbout();
    // "Live outputs...": stores what OK accepts and restarts the outputs with it.
    void ShowLiveOutputs();
    // Opens (or raises) the user guide beside the window.
    void ShowHelp();
    // Opens (or raises) the history of the data folder's archive.
    void ShowHistory();
    // The right-click menu (About, History..., Live outputs...) at a point on
    // the screen; the Menu key and Shift+F10 open it at the focused control.
    void ShowMenu(const QPoint& globalPos);
    // The demo says in its title that the station is simulated.
    void ShowAsDemo();

    // The monitor thread's hand-overs, on the user-interface thread.
    int OnSerialCharacter(int character, int port);
    int OnPortEvent(int eventParam, int port);

    // Settings, loaded once during construction and stored only by Exit.
    void LoadSettings();
    void SaveSettings();
    int32_t comPort = 1;

    StationPipeline& pipeline() { return pipeline_; }
    QtPortBridge& portBridge() { return portBridge_; }
    FileFaultBox& fileFaults() { return fileFaults_; }
    NoticeBoxes& boxes() { return boxes_; }
    // Each live output with a problem and its whole report, by output name.
    const std::map<QString, QString>& liveOutputProblems() const { return liveOutputProblems_; }
    SerialPort& serialPort() { return serialPort_; }
    const LinkWatch& link() const { return link_; }
    LineChartCtrl& chart() { return chart_; }
    QWidget* Control(int id) const { return controls_.Control(id); }
    IconButton* Button(int id) const;
    // Name of the compass picture on show.
    const QString& CompassPictureName() const { return compassName_; }
    // MQTT and wxnow.json as the settings ask, started with the window.
    LiveOutputs& liveOutputs() { return *liveOutputs_; }
    // The user guide, once the Help button has opened it.
    HelpWindow* helpWindow() const { return help_; }
    // The history window, once opened.
    HistoryWindowInterface* historyWindow() const { return history_; }

  public slots:
    void reject() override;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* SupplyControl(const ControlTemplate& control);
    void SetUpValueFont();
    void WidenReadingLabels();
    void ClearReadingLabels();
    void StoreChangedDevices(const std::array<QString, 4>& devices);
    void ShowUnits();
    void SetUpPlotLabels();
    void SetUpButtons();
    void LoadCompassPictures();
    void OnLinkChange(PortLink change, int port, const QString& device);
    // The title and the readings' colour tell what the link is doing.
    void ShowLinkState();
    void StartLiveOutputs();
    void RestartLiveOutputs();
    void StartWebPage();
    void ShowLiveOutputReport(const QString& message);
    // The link state's title, and the live outputs' problems after it.
    void ShowTitle();
    QStringList ProblemList() const;
    static QString LossExplanation(const QString& report);
    // Keeps a restored place on the screens there are now.
    void MoveOnScreen(int x, int y);

    IconButton readButton_;
    IconButton testButton_;
    IconButton optionsButton_;
    IconButton exitButton_;
    IconButton helpButton_;
    // Made before the template is turned into widgets, which places it.
    LineChartCtrl chart_;
    BuiltDialog controls_;
    std::array<QLabel*, 40> labelsById_{};  // ids 1000..1039
    std::map<QString, QPixmap> compassPictures_;
    QString compassName_;
    std::map<int, QFont> freshFonts_;  // the reading labels' own fonts, before any stale look
    QFont valueFont_;
    QElapsedTimer pumpClock_;
    HelpWindow* help_ = nullptr;                 // a child window, made on first use
    HistoryWindowInterface* history_ = nullptr;  // the same
    SettingsStore settingsStore_;
    // The boxes of port and file faults, one per cause, none of them modal.
    NoticeBoxes boxes_;
    // Before the pipeline that reports to it, so that it outlives it.
    FileFaultBox fileFaults_;
    StationPipeline pipeline_;
    LinkWatch link_;
    QString title_;
    std::unique_ptr<LiveOutputs> liveOutputs_;
    std::map<QString, QString> liveOutputProblems_;  // empty while the live outputs work
    StationWebPage web_;                             // serving while [Web] Enabled
    std::unique_ptr<WindowAlarms> alarms_;    // while [Alarms] is on; goes before liveOutputs_
    std::unique_ptr<PageAlarms> pageAlarms_;  // the alarms on the web page; goes before alarms_
    // The port goes first when the window goes away: its monitor thread hands
    // over to the bridge and the processing path above, which must outlive it.
    QtPortBridge portBridge_;
    SerialPort serialPort_;
};
