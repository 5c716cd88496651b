// SPDX-License-Identifier: GPL-3.0-or-later
// "Summaries..." in the history window: the viewer on an archive written in
// the test shows what the logger prints, says when a period has no data,
// copies and saves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "Archive.h"
#include "ClimateReports.h"
#include "ClimateSummaryViewer.h"
#include "HistoryWindow.h"
#include "ReportsTestSupport.h"
#include "SettingsStore.h"
#include "TestSupport.h"

namespace {
namespace fs = std::filesystem;

// Two days of March 2026, imported as a data log would be.
void WriteMarch() {
    std::vector<ArchivePoint> points;
    for (int day = 1; day <= 2; ++day)
        for (int minute = 0; minute < 1440; minute += 5) {
            ArchivePoint p;
            p.date = "2026-03-0" + std::to_string(day);
            p.time = ArchiveTimeText(minute);
            p.values[ArchiveColumns::kTempOutdoor] = 40.0 + minute % 60 * 0.1;
            p.values[ArchiveColumns::kWindSpeedAvg] = 5.0;
            p.values[ArchiveColumns::kCompass] = 4.0;
            points.push_back(p);
        }
    Archive(Archive::kFileName, Archive::Access::Write).Import(points);
}

TEST(ClimateSummaryViewer, OpensFromTheHistoryWindowWithTheLatestMonthOfTheArchive) {
    TestSupport::IsolateTest();
    WriteMarch();
    TestSupport::Store("Station/Name", "Hilltop");
    TestSupport::Store("Station/Elevation", 312);
    const fs::path archive = fs::current_path() / Archive::kFileName;
    HistoryWindow window({archive, false, {}, [] { return SettingsStore().Open(); }});
    window.show();
    auto* button = window.findChild<QPushButton*>("summaries");
    ASSERT_NE(button, nullptr);
    button->click();
    auto* viewer = window.findChild<ClimateSummaryViewer*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->findChild<QComboBox*>("year")->currentText(), "2026");
    EXPECT_EQ(viewer->findChild<QComboBox*>("month")->currentText(), "March");
    EXPECT_TRUE(QFontInfo(viewer->findChild<QPlainTextEdit*>("summary")->font()).fixedPitch());

    // The same text as the logger's --noaa, the station named from the settings.
    Archive read(archive, Archive::Access::Read);
    StationIdentity station;
    station.name = "Hilltop";
    station.elevation = 312;
    ClimateReports reports(read, station, false);
    EXPECT_EQ(viewer->text().toStdString(), *reports.MonthText(2026, 3));
    viewer->findChild<QComboBox*>("month")->setCurrentIndex(0);
    EXPECT_EQ(viewer->text().toStdString(), *reports.YearText(2026));
    EXPECT_EQ(viewer->FileName(), "NOAA-2026.txt");

    viewer->Show(2026, 4);
    EXPECT_EQ(viewer->text().toStdString(), "No data for April 2026 in " + archive.string() + ".");
    for (QPushButton* b : viewer->findChildren<QPushButton*>()) EXPECT_FALSE(b->isEnabled());
}

TEST(ClimateSummaryViewer, CopiesAndSavesTheSummaryShown) {
    TestSupport::IsolateTest();
    WriteMarch();
    ClimateSummaryViewer viewer(fs::current_path() / Archive::kFileName, StationIdentity{}, true);
    viewer.Show(2026, 3);
    ASSERT_NE(viewer.text().indexOf("WIND SPEED (km/h)"), -1) << viewer.text().toStdString();
    EXPECT_EQ(viewer.FileName(), "NOAA-2026-03.txt");
    for (QPushButton* b : viewer.findChildren<QPushButton*>())
        if (b->text() == "Copy") b->click();
    EXPECT_EQ(QApplication::clipboard()->text(), viewer.text());
    ASSERT_TRUE(viewer.SaveTo("saved.txt"));
    EXPECT_EQ(QString::fromStdString(reports_test::ReadFile("saved.txt")), viewer.text());
    EXPECT_FALSE(viewer.SaveTo("no-such-folder/saved.txt"));
}

}  // namespace
