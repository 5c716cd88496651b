// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: first start, Exit and Escape, the
// settings, Options, the About box, help, and recorded data replayed through
// the real window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>
#include <functional>
#include <regex>

#include "GroupFrame.h"
#include "HelpWindow.h"
#include "OptionsDialog.h"
#include "SerialDeviceList.h"
#include "SettingsStore.h"
#include "StationApp.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using TestSupport::Record;
using TestSupport::Store;
using TestSupport::Text;

// 6.2 mph from the east (raw 64), 45.3 F outside, 68.2 F inside, 87.0 % and
// 41.5 %, 12.34 in long-term and 0.12 in today, 1013.2 mbar = 29.92 inHg,
// a 5.58 mph average, at station time 14:40 (a five-minute point).
const std::string kRecord1440 = Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 880, 12, 90});

// Runs `action` on the next modal dialog that opens (other than `except`).
void OnNextModal(std::function<void(QWidget*)> action, QWidget* except = nullptr) {
    QTimer::singleShot(5, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != except)
            action(modal);
        else
            OnNextModal(action, except);
    });
}

// Opens Options from its button; `act` must close the dialog.
void WithOptions(StationWindow& window, const std::function<void(OptionsDialog&)>& act) {
    OnNextModal([&act](QWidget* modal) { act(*static_cast<OptionsDialog*>(modal)); }, &window);
    window.Button(1021)->click();
}

QAbstractButton* Option(OptionsDialog& d, int id) {
    return static_cast<QAbstractButton*>(d.Control(id));
}

void ExpectCompass(const StationWindow& window, const QString& name) {
    EXPECT_EQ(window.CompassPictureName(), name);
    const QImage shown = static_cast<QLabel*>(window.Control(1018))->pixmap().toImage();
    EXPECT_EQ(shown, QImage(":/nimbulo/compass/" + name + ".png").convertToFormat(shown.format()));
}

// Replays a test file of these lines through the window's hidden button.
void Replay(StationWindow& window, const std::vector<std::string>& lines) {
    QDir().mkpath("InputData");
    std::ofstream file("InputData/InputTestData.txt", std::ios::binary);
    for (const std::string& line : lines) file << line << "\r\n" << std::flush;
    window.show();
    window.Button(1001)->click();
}

class StationWindowTest : public ::testing::Test {
    void SetUp() override { TestSupport::IsolateTest(); }
};

TEST_F(StationWindowTest, StartsWithTheDefaultsAtTheTopLeftThenWhereItWasLeftIfThatIsOnTheScreen) {
    StationWindow window;
    window.show();
    EXPECT_EQ(window.comPort, 1);
    EXPECT_EQ(window.pipeline().options(), (ProcessingOptions{0, {1, 0, 1, 0, 0, 1, 0}}));
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    for (int id : {1009, 1010, 1011, 1006, 1004, 1007, 1008, 1012, 1013, 1014})
        EXPECT_EQ(Text(window, id), "") << id;
    EXPECT_FALSE(QFile::exists(TestSupport::SettingsFile()));
    Store("Settings/x", 120);
    Store("Settings/y", 60);
    EXPECT_EQ(StationWindow().pos(), QPoint(120, 60));
    Store("Settings/x", -200);
    EXPECT_EQ(StationWindow().pos(), QPoint(0, 0));
}

TEST_F(StationWindowTest, StartsWithTheRoseBoldReadingsAndThreeSeriesColouredLikeTheirLabels) {
    StationWindow window;
    ExpectCompass(window, "IDB_COMPASS_ROSE");
    ASSERT_EQ(window.chart().SeriesCount(), 3);
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 255, 255)};
    for (int i = 0; i < 3; ++i) {
        const QWidget* label = window.Control(1034 + i);
        EXPECT_EQ(
            std::pair(label->palette().window().color(), label->palette().windowText().color()),
            std::pair(colours[i], QColor(Qt::black)))
            << i;
        EXPECT_TRUE(label->autoFillBackground()) << i;
        const ChartSeries* series = window.chart().Series(i);
        EXPECT_EQ(std::tuple(series->color, series->lowerBound, series->upperBound),
                  std::tuple(colours[i].rgb(), 0, 100))
            << i;
    }
    for (int id : {1009, 1010, 1011, 1006, 1004, 1007, 1008, 1012, 1013, 1014}) {
        const QFont font = window.Control(id)->font();
        EXPECT_TRUE(font.bold()) << id;
        EXPECT_EQ(QFontMetrics(font).horizontalAdvance("i"),
                  QFontMetrics(font).horizontalAdvance("W"))
            << id;
        EXPECT_EQ(font.pixelSize(), window.Control(1004)->height()) << id;
    }
    EXPECT_FALSE(window.Control(1003)->font().bold());
}

struct Ending {
    const char* how;
    std::function<void(StationWindow&)> end;
    int result;
    QString stored;
};

TEST_F(StationWindowTest, ExitAndReturnStoreTheThirteenValuesWhileEscapeAndTheCloseBoxStoreNone) {
    const QString thirteen =
        "Settings/ComPort=2 Settings/PlotItem0=0 Settings/PlotItem1=0 Settings/PlotItem2=0 "
        "Settings/PlotItem3=0 Settings/PlotItem4=0 Settings/PlotItem5=0 Settings/PlotItem6=1 "
        "Settings/RainGauge=0 Settings/SaveStatus=0 Settings/Units=0 Settings/x=40 Settings/y=30";
    const int exit = StationWindow::kExitResult, cancel = StationWindow::kCancelResult;
    const Ending table[] = {
        {"Exit button", [](auto& w) { w.Button(1)->click(); }, exit, thirteen},
        {"Return", [](auto& w) { QTest::keyClick(w.Control(1020), Qt::Key_Return); }, exit,
         thirteen},
        {"Escape", [](auto& w) { QTest::keyClick(&w, Qt::Key_Escape); }, cancel, ""},
        {"close box", [](auto& w) { w.close(); }, cancel, ""},
    };
    for (const Ending& row : table) {
        QFile::remove(TestSupport::SettingsFile());
        StationWindow window;
        window.show();
        window.comPort = 2;
        window.pipeline().options().plotItemEnabled = {0, 0, 0, 0, 0, 0, 1};
        window.move(40, 30);
        row.end(window);
        EXPECT_EQ(window.result(), row.result) << row.how;
        const QSettings file(TestSupport::SettingsFile(), QSettings::IniFormat);
        QStringList stored;
        for (const QString& key : file.allKeys()) stored << key + "=" + file.value(key).toString();
        stored.sort();
        EXPECT_EQ(stored.join(' '), row.stored) << row.how;
    }
}

TEST_F(StationWindowTest, AnyStoredPlotItemReplacesTheFirstRunChoiceOfItems) {
    EXPECT_EQ(SettingsStore().Load().processing.plotItemEnabled,
              (PlotItemFlags{1, 0, 1, 0, 0, 1, 0}));
    Store("Settings/PlotItem6", 1);
    EXPECT_EQ(SettingsStore().Load().processing.plotItemEnabled,
              (PlotItemFlags{0, 0, 0, 0, 0, 0, 1}));
    Store("Settings/PlotItem6", 0);
    EXPECT_EQ(SettingsStore().Load().processing.plotItemEnabled, PlotItemFlags{});
}

TEST_F(StationWindowTest, SettingsTakeTheDefaultForAValueThatIsNotA32BitNumber) {
    Store("Settings/ComPort", "two");
    Store("Settings/x", "99999999999");
    Store("Settings/PlotItem4", 2);
    const StationSettings loaded = SettingsStore().Load();
    EXPECT_EQ(loaded.comPort, 1);
    EXPECT_EQ(loaded.x, -1);
    EXPECT_EQ(loaded.processing.plotItemEnabled[4], 2);
}

TEST(SettingsStore, UsesAStoredCornerOnlyWhenItLiesOnThePrimaryScreen) {
    const std::tuple<int, int, bool> table[] = {{0, 0, true},   {1023, 767, true}, {-1, 0, false},
                                                {0, -1, false}, {1024, 0, false},  {0, 768, false}};
    for (const auto& [x, y, onScreen] : table)
        EXPECT_EQ(SettingsStore::PositionOnScreen(x, y, QSize(1024, 768)), onScreen)
            << x << "," << y;
}

TEST_F(StationWindowTest, ThePumpLetsAPendingRecordRunNested) {
    StationWindow window;
    QTimer::singleShot(0, &window, [&] { window.pipeline().ProcessLine(kRecord1440.c_str()); });
    EXPECT_EQ(Text(window, 1003), "Records");
    window.PumpOneMessage();
    EXPECT_EQ(Text(window, 1003), "1");
}

TEST_F(StationWindowTest, OptionsShowsTheSettingsAndOnlyOkCopiesTheChangesBackUntilExit) {
    Store("Settings/ComPort", 2);
    Store("Settings/PlotItem1", 1);
    StationWindow window;
    window.show();
    const auto changeThenClose = [](int closeId) {
        return [closeId](OptionsDialog& options) {
            EXPECT_TRUE(Option(options, 1023)->isChecked() && Option(options, 1027)->isChecked());
            EXPECT_FALSE(Option(options, 1033)->isChecked());
            for (int id : {1025, 1032, 1033})
                QTest::mouseClick(options.Control(id), Qt::LeftButton);
            Option(options, closeId)->click();
        };
    };
    WithOptions(window, changeThenClose(2));
    EXPECT_EQ(window.comPort, 2);
    EXPECT_EQ(window.pipeline().options(), (ProcessingOptions{0, {0, 1, 0, 0, 0, 0, 0}}));
    WithOptions(window, changeThenClose(1));
    EXPECT_EQ(window.comPort, 4);
    EXPECT_EQ(window.pipeline().options(), (ProcessingOptions{1, {0, 1, 0, 0, 0, 0, 1}}));
    const QSettings file(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_FALSE(file.contains("Settings/SaveStatus"));
}

TEST_F(StationWindowTest, TheDevicePickerListsThePresentDevicesAndStoresATypedOneForItsPort) {
    Store("Ports/COM1", "/dev/ttyUSB0");
    StationWindow window;
    window.show();
    QStringList seen;
    const auto pick = [&seen](int comId, const QString& typed, int closeId) {
        return [=, &seen](OptionsDialog& options) {
            auto* box = static_cast<QComboBox*>(options.Control(1037));
            seen << box->currentText();
            QStringList listed;
            for (int i = 0; i < box->count(); ++i) listed << box->itemText(i);
            QStringList present;
            for (const std::string& device : SerialDeviceList::Present())
                present << QString::fromStdString(device);
            EXPECT_EQ(listed, present);
            QTest::mouseClick(options.Control(comId), Qt::LeftButton);
            seen << box->currentText();
            box->lineEdit()->selectAll();
            QTest::keyClicks(box->lineEdit(), typed);
            Option(options, closeId)->click();
        };
    };
    WithOptions(window, pick(1024, "/dev/pts/9", 2));
    EXPECT_FALSE(
        QSettings(TestSupport::SettingsFile(), QSettings::IniFormat).contains("Ports/COM3"));
    WithOptions(window, pick(1024, "/dev/pts/7", 1));
    const QSettings stored(TestSupport::SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Ports/COM3").toString(), "/dev/pts/7");
    EXPECT_EQ(stored.value("Ports/COM1").toString(), "/dev/ttyUSB0");
    EXPECT_FALSE(stored.contains("Ports/COM2") || stored.contains("Ports/COM4"));
    EXPECT_EQ(seen, QStringList({"/dev/ttyUSB0", "/dev/ttyS2", "/dev/ttyUSB0", "/dev/ttyS2"}));
    EXPECT_EQ(window.comPort, 3);
}

TEST_F(StationWindowTest, TheComButtonsAreOneTabStopAndTheArrowKeysMoveTheChoice) {
    Store("Settings/ComPort", 2);
    StationWindow window;
    window.show();
    QStringList path;
    WithOptions(window, [&path](OptionsDialog& options) {
        QApplication::setActiveWindow(&options);
        options.Control(2)->setFocus(Qt::TabFocusReason);
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Up}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            path << QApplication::focusWidget()->objectName();
        }
        Option(options, 1)->click();
    });
    EXPECT_EQ(path, QStringList({"control1023", "control1024", "control1026", "control1024",
                                 "control1023"}));
    EXPECT_EQ(window.comPort, 2);
}

TEST_F(StationWindowTest, IconButtonsAreNamedByTheirTooltipsAndTheChartTakesNoFocus) {
    StationWindow window;
    for (int id : {1000, 1, 1001, 0xE146, 1021})
        EXPECT_EQ(window.Button(id)->accessibleName(), window.Button(id)->toolTip()) << id;
    EXPECT_EQ(window.Button(1)->accessibleName(), "Exit Application.");
    EXPECT_EQ(window.chart().focusPolicy(), Qt::NoFocus);
}

TEST_F(StationWindowTest, OptionsNamesEachComPortsDeviceAndChecksNoneForAPortOutsideOneToFour) {
    Store("Ports/COM2", "/dev/ttyUSB1");
    Store("Ports/COM3", "");
    Store("Settings/ComPort", 7);
    StationWindow window;
    window.show();
    QStringList tips;
    WithOptions(window, [&tips](OptionsDialog& options) {
        for (int id = 1022; id <= 1025; ++id) {
            tips << options.Control(id)->toolTip();
            EXPECT_FALSE(Option(options, id)->isChecked()) << id;
        }
        Option(options, 1)->click();
    });
    EXPECT_EQ(tips, QStringList({"COM1 opens /dev/ttyS0", "COM2 opens /dev/ttyUSB1",
                                 "COM3 opens /dev/ttyS2", "COM4 opens /dev/ttyS3"}));
    EXPECT_EQ(window.comPort, 0);
}

TEST_F(StationWindowTest, ReplayOfTheTestFileUpdatesLabelsCompassAndChart) {
    Store("Settings/PlotItem0", 0);
    StationWindow window;
    Replay(window, {"not a record", kRecord1440});
    const std::pair<int, const char*> expected[] = {
        {1003, "1"},    {1009, "6.2"},   {1010, "5.6"},   {1011, "6.2"},
        {1006, "45.3"}, {1004, "68.2"},  {1007, "87.0"},  {1008, "41.5"},
        {1012, "0.12"}, {1013, "12.34"}, {1014, "29.92"}, {1017, "14:40 "}};
    for (const auto& [id, text] : expected) EXPECT_EQ(Text(window, id), text) << id;
    ExpectCompass(window, "E");
    // Nothing chosen to plot: the labels are emptied and the series get 0; without Save Data no
    // files.
    EXPECT_EQ(Text(window, 1034), "");
    EXPECT_EQ(window.chart().Series(0)->current, 0);
    EXPECT_FALSE(QDir("OutputData").exists() || QFile::exists("wxreportmixw.txt"));
}

TEST_F(StationWindowTest, ReplayWithFourPlotItemsAndSaveDataPlotsTheFirstThreeAndWritesTheFiles) {
    for (int i = 0; i < 4; ++i) Store(QString("Settings/PlotItem%1").arg(i), 1);
    Store("Settings/SaveStatus", 1);
    StationWindow window;
    Replay(window, {kRecord1440});
    const std::tuple<int, const char*, int> plotted[] = {
        {0, "Temperature Outdoor", 45}, {1, "Temperature Indoor", 68}, {2, "Humidity Outdoor", 87}};
    for (const auto& [series, name, value] : plotted) {
        EXPECT_EQ(Text(window, 1034 + series), name);
        EXPECT_EQ(window.chart().Series(series)->current, value);
    }
    // The step drew the red series at the right edge.
    const ChartSurface* surface = window.chart().Surface();
    bool red = false;
    for (int x = surface->Width() - 5; x < surface->Width(); ++x)
        for (int y = 0; y < surface->Height(); ++y)
            red |= surface->At(x, y) == ChartSurface::Rgb(255, 0, 0);
    EXPECT_TRUE(red);

    const QStringList logs = QDir("OutputData").entryList({"U2K*1440.txt"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const std::string log = TestSupport::ReadAll("OutputData/" + logs.front());
    const std::regex expected(
        "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\tHumidityOutdoor\t"
        "HumidityIndoor\tRainTodaysTotal\r\n"
        "[0-9]{4}/[0-9]{2}/[0-9]{2} 14:40\t5.6\t 4\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
    const std::string aprs = TestSupport::ReadAll("wxreportaprs.txt");
    EXPECT_EQ(aprs.substr(0, kRecord1440.size() + 2), kRecord1440 + "\r\n");
    EXPECT_EQ(TestSupport::ReadAll("wxreportmixw.txt").substr(0, 12), "[wxreport]\r\n");
}

TEST_F(StationWindowTest, AFileFaultAndItsEndEachShowABoxOnceTheRecordIsDone) {
    Store("Settings/SaveStatus", 1);
    StationWindow window;
    QStringList shown;
    window.fileFaults().SetPresenter([&](const QString&, const QString& caption,
                                         const QString& text,
                                         bool) { shown << caption + ": " + text; });
    std::ofstream("OutputData") << "a plain file";
    Replay(window, {kRecord1440});
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1);
    // The whole path: a box says nothing of the folder it was started in.
    const QString folder = QDir::currentPath();
    EXPECT_TRUE(
        shown[0].startsWith("Application Error: Cannot write " + folder + "/OutputData/U2K"))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("1440.txt:\nNot a directory\n")) << shown[0].toStdString();

    QFile::remove("OutputData");
    Replay(window,
           {TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 885, 12, 90})});
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith("Nimbulo: " + folder + "/OutputData/U2K"))
        << shown[1].toStdString();
    EXPECT_TRUE(shown[1].endsWith(" is written again.")) << shown[1].toStdString();
}

std::string FrameTitles(const StationWindow& window) {
    QStringList titles;
    for (const GroupFrame* frame : window.findChildren<GroupFrame*>()) titles << frame->title();
    titles.sort();
    return titles.join('|').toStdString();
}

// One record, shown in US units and then, after the switch in Options, in
// metric: by hand, 62 * 0.1 km/h, (45.3 F - 32) / 1.8 = 7.39 C, 0.12 in =
// 3.05 mm, 10132 * 0.1 hPa. The chart gets whole outdoor temperature,
// outdoor humidity and average wind (5.58 mph = 9.0 km/h).
TEST_F(StationWindowTest, MetricUnitsShowInTheReadingsTheCaptionsAndTheChart) {
    StationWindow window;
    const int ids[] = {1009, 1010, 1011, 1006, 1004, 1007, 1008, 1012, 1013, 1014};
    const auto readings = [&] {
        QStringList texts;
        for (int id : ids) texts << Text(window, id);
        return texts.join(' ').toStdString();
    };
    const auto plotted = [&] {
        return std::array{window.chart().Series(0)->current, window.chart().Series(1)->current,
                          window.chart().Series(2)->current};
    };
    Replay(window, {kRecord1440});
    EXPECT_EQ(readings(), "6.2 5.6 6.2 45.3 68.2 87.0 41.5 0.12 12.34 29.92");
    EXPECT_EQ(plotted(), (std::array{45, 87, 5}));
    EXPECT_EQ(FrameTitles(window),
              "Humidity (%)|Plot Colors|Pressure (in Hg)|Rain (in)|Temperature (F)|Wind (mph)");
    WithOptions(window, [](OptionsDialog& options) {
        QTest::mouseClick(options.Control(1038), Qt::LeftButton);
        Option(options, 1)->click();
    });
    EXPECT_EQ(readings(), "10.0 9.0 10.0 7.4 20.1 87.0 41.5 3.0 313.4 1013.2");
    EXPECT_EQ(FrameTitles(window),
              "Humidity (%)|Plot Colors|Pressure (hPa)|Rain (mm)|Temperature (C)|Wind (km/h)");
    window.pipeline().state().lastMinute = -10;
    Replay(window, {kRecord1440});
    // 7.39 C + 40 on the chart.
    EXPECT_EQ(plotted(), (std::array{47, 87, 9}));
    EXPECT_EQ(window.pipeline().options().units.units, 1);
}

TEST_F(StationWindowTest, AboutOnTheContextMenuShowsTheAboutBox) {
    StationWindow window;
    window.show();
    QStringList seen;  // the menu's entries, then the About box's caption, icon and texts
    QString folderTip;
    bool folderFits = false;
    QTimer::singleShot(20, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions()) seen << action->text();
        OnNextModal(
            [&seen, &folderTip, &folderFits](QWidget* about) {
                seen << about->windowTitle();
                for (const QLabel* label : about->findChildren<QLabel*>())
                    seen << (label->pixmap().isNull()
                                 ? label->text().section(':', 0, 0)
                                 : QString("icon %1").arg(label->pixmap().width()));
                // The data folder line names the working folder, whole in its tooltip.
                const QLabel* folder = about->findChildren<QLabel*>().back();
                folderTip = folder->toolTip();
                folderFits =
                    folder->fontMetrics().horizontalAdvance(folder->text()) <= folder->width();
                QTest::keyClick(about, Qt::Key_Escape);
            },
            &window);
        menu->actions().front()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &event);
    QTest::qWait(50);
    EXPECT_EQ(seen, QStringList({"&About", "History...", "Live outputs...", "About Nimbulo",
                                 "icon 32", "Nimbulo Version 2.0", "Data folder"}));
    EXPECT_EQ(folderTip, "Data folder: " + QDir::currentPath());
    EXPECT_TRUE(folderFits);
    EXPECT_TRUE(window.isVisible());
}

// Run modally as the application runs it: a help window that the modal run
// blocks takes no keys, so it neither scrolls nor closes.
TEST_F(StationWindowTest, HelpOpensBesideTheModalWindowScrollsAndClosesWithEscape) {
    StationWindow window;
    QStringList seen;
    QTimer::singleShot(0, &window, [&] {
        window.Button(0xE146)->click();
        HelpWindow* help = window.helpWindow();
        if (!help || !help->isVisible()) return window.reject();
        const QString page = help->browser()->toPlainText();
        seen << QString::number(page.contains("Connecting the station") &&
                                page.contains("OutputData"));
        seen << QString::number(help->frameGeometry().intersects(window.frameGeometry()));
        QTest::keyClick(help->windowHandle(), Qt::Key_PageDown);
        seen << QString::number(help->browser()->verticalScrollBar()->value() > 0);
        QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
        seen << QString::number(help->isVisible());
        window.reject();
    });
    window.exec();
    EXPECT_EQ(seen, QStringList({"1", "0", "1", "0"}));
}

TEST(HelpWindow, StandsRightOfTheWindowOrElseOnTheWiderSideWithoutCoveringIt) {
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(HelpWindow::PlaceBeside(QRect(0, 0, 500, 500), QSize(400, 600), screen),
              QRect(508, 0, 400, 600));
    EXPECT_EQ(HelpWindow::PlaceBeside(QRect(600, 300, 400, 400), QSize(400, 600), screen),
              QRect(192, 168, 400, 600));
    EXPECT_EQ(HelpWindow::PlaceBeside(QRect(300, 0, 500, 400), QSize(560, 900), screen),
              QRect(0, 0, 292, 768));
}

// The title bar above the screen's top edge could not be grabbed to move it.
TEST(HelpWindow, KeepsItsFrameAndTitleBarOnTheScreen) {
    const QRect screen(0, 0, 1024, 768);
    const QMargins frame(4, 30, 4, 4);
    const QRect inside =
        HelpWindow::PlaceBeside(QRect(0, 0, 500, 500), QSize(400, 900), screen, frame);
    EXPECT_TRUE(screen.contains(inside.marginsAdded(frame))) << inside.y();
    EXPECT_EQ(inside, QRect(512, 30, 400, 734));
    EXPECT_EQ(HelpWindow::FrameMargins(QRect(10, 20, 100, 100), QRect(14, 50, 92, 66)), frame);
}

TEST_F(StationWindowTest, TheApplicationKeepsItsSettingsUnderQuillfenAndEndsWhenItsWindowCloses) {
    StationApp app;
    OnNextModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<StationWindow*>(modal), nullptr);
        EXPECT_EQ(modal->windowTitle(), "Nimbulo");
        static_cast<StationWindow*>(modal)->reject();
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(QCoreApplication::applicationVersion(), "2.0.0.1");
    EXPECT_EQ(TestSupport::SettingsFile(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quillfen/" +
                                               QCoreApplication::applicationName() + ".conf");
}

}  // namespace
