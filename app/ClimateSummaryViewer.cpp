// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClimateSummaryViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QVBoxLayout>
#include <optional>

#include "ClimateReports.h"
#include "SqliteError.h"
#include "StationIdentitySettings.h"

namespace {
QString PeriodName(int year, int month) {
    if (month == 0) return QString::number(year);
    return QLocale::c().monthName(month) + " " + QString::number(year);
}
}  // namespace

ClimateSummaryViewer::ClimateSummaryViewer(std::filesystem::path archive, StationIdentity station,
                                           bool metric, QWidget* parent)
    : QDialog(parent), archive_(std::move(archive)), station_(std::move(station)), metric_(metric) {
    setWindowTitle(tr("Climate summaries"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    year_ = new QComboBox(this);
    year_->setObjectName("year");
    month_ = new QComboBox(this);
    month_->setObjectName("month");
    month_->addItem(tr("Whole year"), 0);
    for (int m = 1; m <= 12; ++m) month_->addItem(QLocale::c().standaloneMonthName(m), m);
    copy_ = new QPushButton(tr("Copy"), this);
    save_ = new QPushButton(tr("Save..."), this);
    row->addWidget(year_);
    row->addWidget(month_);
    row->addStretch(1);
    row->addWidget(copy_);
    row->addWidget(save_);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("summary");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text_, 1);
    // Wide enough for a summary's 86 columns.
    const QFontMetrics metrics(text_->font());
    resize(metrics.horizontalAdvance(QString(92, 'M')) + 40, metrics.lineSpacing() * 44);

    connect(copy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text()); });
    connect(save_, &QPushButton::clicked, this, &ClimateSummaryViewer::Save);
    FillYears();
    connect(year_, &QComboBox::currentIndexChanged, this, &ClimateSummaryViewer::ShowPicked);
    connect(month_, &QComboBox::currentIndexChanged, this, &ClimateSummaryViewer::ShowPicked);
    ShowPicked();
}

QPushButton* ClimateSummaryViewer::Button(QWidget* owner, std::filesystem::path archive,
                                          std::function<std::unique_ptr<QSettings>()> openSettings,
                                          std::function<bool()> metric) {
    auto* button = new QPushButton(tr("Summaries..."), owner);
    button->setObjectName("summaries");
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, owner, [=] {
        const StationIdentity station =
            openSettings ? StationIdentitySettings::Load(*openSettings()) : StationIdentity{};
        auto* viewer = new ClimateSummaryViewer(archive, station, metric(), owner);
        viewer->show();
    });
    return button;
}

// The years with data, newest first; this year when there are none.
void ClimateSummaryViewer::FillYears() {
    std::vector<std::pair<int, int>> months;
    try {
        Archive archive(archive_, Archive::Access::Read);
        months = ClimateReports(archive, station_, metric_).MonthsWithData();
    } catch (const SqliteError&) {
        // Said when a period is shown.
    }
    if (months.empty()) months.emplace_back(QDate::currentDate().year(), 0);
    for (auto it = months.rbegin(); it != months.rend(); ++it)
        if (year_->findData(it->first) < 0) year_->addItem(QString::number(it->first), it->first);
    // The latest month with data: what an owner looks at most.
    const int latest = months.back().second;
    month_->setCurrentIndex(month_->findData(latest));
}

void ClimateSummaryViewer::ShowPicked() {
    Show(year_->currentData().toInt(), month_->currentData().toInt());
}

void ClimateSummaryViewer::Show(int year, int month) {
    if (year_->findData(year) < 0) year_->addItem(QString::number(year), year);
    {
        const QSignalBlocker yearBlock(year_), monthBlock(month_);
        year_->setCurrentIndex(year_->findData(year));
        month_->setCurrentIndex(month_->findData(month));
    }
    std::optional<std::string> summary;
    QString instead;  // what the page says when there is no summary
    const QString file = QDir::toNativeSeparators(QString::fromStdString(archive_.string()));
    try {
        if (std::filesystem::exists(archive_)) {
            Archive archive(archive_, Archive::Access::Read);
            ClimateReports reports(archive, station_, metric_);
            summary = month == 0 ? reports.YearText(year) : reports.MonthText(year, month);
        }
        if (!summary) instead = tr("No data for %1 in %2.").arg(PeriodName(year, month), file);
    } catch (const SqliteError& error) {
        instead = tr("%1 cannot be read: %2").arg(file, QString::fromStdString(error.what()));
    }
    hasSummary_ = summary.has_value();
    text_->setPlainText(hasSummary_ ? QString::fromStdString(*summary) : instead);
    copy_->setEnabled(hasSummary_);
    save_->setEnabled(hasSummary_);
}

QString ClimateSummaryViewer::text() const {
    return text_->toPlainText();
}

QString ClimateSummaryViewer::FileName() const {
    const int year = year_->currentData().toInt();
    const int month = month_->currentData().toInt();
    return month == 0 ? QString::asprintf("NOAA-%04d.txt", year)
                      : QString::asprintf("NOAA-%04d-%02d.txt", year, month);
}

bool ClimateSummaryViewer::SaveTo(const QString& file) const {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(text().toUtf8() + (text().endsWith('\n') ? "" : "\n"));
    return out.commit();
}

void ClimateSummaryViewer::Save() {
    const QString file =
        QFileDialog::getSaveFileName(this, tr("Save the summary"), FileName(), "Text (*.txt)");
    if (file.isEmpty() || SaveTo(file)) return;
    QMessageBox::warning(this, windowTitle(),
                         tr("%1 could not be written.").arg(QDir::toNativeSeparators(file)));
}
