// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSharedPointer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "HistorySource.h"
#include "HistoryView.h"
#include "HistoryWindowInterface.h"
#include "RainBars.h"

class QCustomPlot;
class QCPAxisRect;
class QCPGraph;
class QCPBars;
class QLabel;
class QStackedWidget;
class QTimer;
class QSettings;

// The past of the data folder's archive: a plot per kind of quantity on a
// shared time axis, spans from a day to a year, zoom and pan, and the highs
// and lows. Non-modal; reads the archive again shortly after each new
// five-minute point.
class HistoryWindow : public HistoryWindowInterface {
    Q_OBJECT
  public:
    // The plots in order from the top.
    enum Plot { kTemperatures, kHumidity, kWind, kRain, kPressure, kPlotCount };
    // How long after a five-minute point the archive is read again: the
    // point is written to it in the same pass, this leaves room for a slow disk.
    static constexpr int kRefreshDelayMs = 2000;
    // A logger writing the archive from another process is noticed this often.
    static constexpr int kPollMs = 60000;

    explicit HistoryWindow(HistoryWindowArgs args, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    void SetMetric(bool metric) override;
    void PointMade() override;
    // Reads the archive again now; the view follows a new latest point.
    void Refresh();

    void ShowSpan(HistorySpan span);
    void BackToNow();
    void Pan(double share);
    void Zoom(double factor, double anchor = 0.5);

    bool SavePng(const QString& file);
    bool SaveCsv(const QString& file) const;
    // The archive's points inside the period on show.
    int PointsShown() const;

    // For tests and benchmarks.
    QCustomPlot* plot() const { return plot_; }
    QCPGraph* graph(HistoryQuantity quantity) const;
    QCPBars* rainBars() const { return rainBars_; }
    QLabel* highsLows() const { return highsLows_; }
    QLabel* emptyText() const { return empty_; }
    bool showsEmpty() const override;
    const HistoryView* view() const { return view_.get(); }
    QString ReadOutAt(double key) const;
    QLabel* readOut() const { return readOut_; }
    // The pressure change of the last three hours: the reading's own, or
    // from the archive while the program has not read for three hours yet.
    DerivedReadings NowReadings() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildPlots();
    void BuildButtons(class QBoxLayout* row);
    void OpenSource();
    void LoadPoints();
    void Redraw();
    void DrawRain(const RainBars& rain, StationMinute barMinutes);
    void ShowHighsLows();
    void ShowEmpty(const QString& why);
    void SaveFailed(const QString& file);
    void OnMouseMove(class QMouseEvent* event);
    void OnWheel(class QWheelEvent* event);
    double Key(StationMinute minute) const;
    void RestoreState();
    // Brings a size or place stored on a bigger screen inside this one.
    void FitOnScreen();
    void ShowReadOutHint();
    void EnableSaving();
    void SavePointsAs();
    QString RainAt(double key) const;
    void StoreState() const;

    std::filesystem::path archivePath_;
    bool metric_;
    std::function<DerivedReadings()> liveDerived_;
    std::function<std::unique_ptr<QSettings>()> openSettings_;
    std::unique_ptr<HistorySource> source_;
    std::unique_ptr<HistoryView> view_;
    HistorySpan span_ = HistorySpan::Day;
    std::vector<HistoryPoint> points_;
    StationMinute loadedFrom_ = 0;
    StationMinute loadedTo_ = -1;
    StationMinute latest_ = 0;
    mutable std::unordered_map<StationMinute, double> dayStarts_;

    QStackedWidget* pages_ = nullptr;
    QLabel* empty_ = nullptr;
    QCustomPlot* plot_ = nullptr;
    std::array<QCPAxisRect*, kPlotCount> rects_{};
    std::array<QCPGraph*, kHistoryQuantityCount> graphs_{};
    QCPGraph* tempMin_ = nullptr;
    QCPGraph* tempMax_ = nullptr;
    QCPBars* rainBars_ = nullptr;
    QCPGraph* rainTotal_ = nullptr;
    QLabel* readOut_ = nullptr;
    class QPushButton* savePng_ = nullptr;
    class QPushButton* saveCsv_ = nullptr;
    QSharedPointer<class QCPAxisTickerDateTime> ticker_;
    QLabel* highsLows_ = nullptr;
    class QScrollArea* highsLowsArea_ = nullptr;
    std::array<class QPushButton*, 4> spanButtons_{};
    QTimer* refresh_ = nullptr;
    QTimer* poll_ = nullptr;
    int dragX_ = -1;
};
