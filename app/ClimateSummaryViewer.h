// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "StationIdentity.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSettings;

// "Summaries": the archive's monthly and yearly climate summaries in a
// monospaced page, a year and a month (or the whole year) to pick, Copy
// and Save.... A period without data says so.
class ClimateSummaryViewer : public QDialog {
    Q_OBJECT

  public:
    ClimateSummaryViewer(std::filesystem::path archive, StationIdentity station, bool metric,
                         QWidget* parent = nullptr);

    // "Summaries..." for a window's row of buttons: opens a viewer of the
    // archive with the station's identity from the settings (none without
    // them) and the units `metric` gives at that moment.
    static QPushButton* Button(QWidget* owner, std::filesystem::path archive,
                               std::function<std::unique_ptr<QSettings>()> openSettings,
                               std::function<bool()> metric);

    // The year and month shown (month 0 for the whole year).
    void Show(int year, int month);
    QString text() const;
    // The file name Save... proposes: NOAA-YYYY-MM.txt or NOAA-YYYY.txt.
    QString FileName() const;
    // Writes the text shown; false when the file could not be written whole.
    bool SaveTo(const QString& file) const;

  private:
    void FillYears();
    void ShowPicked();
    void Save();

    std::filesystem::path archive_;
    StationIdentity station_;
    bool metric_;
    QComboBox* year_ = nullptr;
    QComboBox* month_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    bool hasSummary_ = false;
};
