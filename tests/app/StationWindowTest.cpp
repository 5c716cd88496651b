// The main window as a user meets it: first start, Exit and Escape, Options,
// the About box, help, and recorded data replayed through the real window.

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontMetrics>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>

#include "AboutDialog.h"
#include "HelpWindow.h"
#include "OptionsDialog.h"
#include "StationApp.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using TestSupport::Record;

// 6.2 mph from the east (raw 64), 45.3 F outside, 68.2 F inside, 87.0 % and
// 41.5 %, 12.34 in long-term and 0.12 in today, 1013.2 mbar = 29.92 inHg,
// a 5.58 mph average, at station time 14:40 (a five-minute point).
const std::array<int, 12> kFields1440 = {100, 64, 453, 1234, 10132, 682, 870, 415, 99, 880, 12, 90};

QString Text(StationWindow& window, int id) { return static_cast<QLabel*>(window.Control(id))->text(); }

QColor Background(QWidget* widget) { return widget->palette().color(QPalette::Window); }

// Runs `action` on the next modal dialog that opens (other than `except`).
void OnNextModal(std::function<void(QWidget*)> action, QWidget* except = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action, except] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == except)
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

void WriteTestFile(const std::vector<std::string>& lines) {
    QDir().mkpath("InputData");
    std::ofstream file("InputData/InputTestData.txt", std::ios::binary);
    for (const std::string& line : lines)
        file << line << "\r\n";
}

void StoreSettings(const std::function<void(QSettings&)>& write) {
    QSettings file(TestSupport::SettingsFile(), QSettings::IniFormat);
    file.beginGroup("Settings");
    write(file);
}

class StationWindowTest : public ::testing::Test {
protected:
    void SetUp() override { workFolder = TestSupport::IsolateTest(); }
    QString workFolder;
};

TEST_F(StationWindowTest, StartsWithTheDefaultsAtTheTopLeftCorner) {
    StationWindow window;
    window.show();
    EXPECT_EQ(window.comPort, 1);
    EXPECT_EQ(window.saveData, 0);
    EXPECT_EQ(window.plotItemEnabled(), PlotItemFlags{});
    EXPECT_FALSE(window.pipeline().saveData);
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_FALSE(QFile::exists(TestSupport::SettingsFile()));
}

TEST_F(StationWindowTest, ShowsThePlotLabelsInBlackOnRedGreenAndCyan) {
    StationWindow window;
    const std::tuple<int, const char*, QColor> labels[] = {{1034, "Plot Color 1", QColor(255, 0, 0)},
                                                           {1035, "Plot Color 2", QColor(0, 255, 0)},
                                                           {1036, "Plot Color 3", QColor(0, 255, 255)}};
    for (const auto& [id, text, colour] : labels) {
        QWidget* label = window.Control(id);
        EXPECT_EQ(Text(window, id), text);
        EXPECT_EQ(Background(label), colour) << id;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black)) << id;
        EXPECT_TRUE(label->autoFillBackground()) << id;
    }
}

TEST_F(StationWindowTest, ShowsTheReadingsInABoldFixedPitchFontAsTallAsTheirLabels) {
    StationWindow window;
    const int labelHeight = window.Control(1004)->height();
    for (int id : {1009, 1010, 1011, 1006, 1004, 1007, 1008, 1012, 1013, 1014}) {
        const QFont font = window.Control(id)->font();
        EXPECT_TRUE(font.bold()) << id;
        const QFontMetrics metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance("i"), metrics.horizontalAdvance("W")) << id;
        EXPECT_EQ(font.pixelSize(), labelHeight) << id;
    }
    EXPECT_FALSE(window.Control(1003)->font().bold());
}

TEST_F(StationWindowTest, StartsWithThePlainCompassRoseAndAChartOfThreeSeries) {
    StationWindow window;
    EXPECT_EQ(window.CompassPictureName(), "IDB_COMPASS_ROSE");
    const QPixmap shown = static_cast<QLabel*>(window.Control(1018))->pixmap();
    EXPECT_EQ(shown.toImage(), QImage(":/nimbulo/compass/IDB_COMPASS_ROSE.png").convertToFormat(shown.toImage().format()));
    ASSERT_EQ(window.chart().SeriesCount(), 3);
    const ChartSurface::Pixel colours[] = {ChartSurface::Rgb(255, 0, 0), ChartSurface::Rgb(0, 255, 0),
                                           ChartSurface::Rgb(0, 255, 255)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window.chart().Series(i)->color, colours[i]);
        EXPECT_EQ(window.chart().Series(i)->upperBound, 100);
        EXPECT_EQ(window.chart().Series(i)->lowerBound, 0);
    }
}

TEST_F(StationWindowTest, GivesTheFiveButtonsTheirIconsBlueAndTooltips) {
    StationWindow window;
    const std::pair<int, const char*> tooltips[] = {
        {1000, "Read Weather Data From The Peet Bros. U2000."},
        {1, "Exit Application."},
        {1001, "Read Test Data File."},
        {0xE146, "Get Help On How to Use The Application."},
        {1021, "Setup Com Port And Up To THREE Items to Plot."}};
    for (const auto& [id, tooltip] : tooltips) {
        IconButton* button = window.Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->toolTip(), tooltip);
        EXPECT_EQ(button->BgNormal(), QColor(0, 0, 255));
        EXPECT_EQ(button->BgActive(), QColor(0, 0, 255));
        EXPECT_EQ(button->IconWidth(), 32);
        EXPECT_EQ(button->IconHeight(), 32);
    }
    window.show();
    EXPECT_FALSE(window.Button(1001)->isVisible());
}

TEST_F(StationWindowTest, ExitStoresTheElevenValuesAndEndsWithOne) {
    StationWindow window;
    window.show();
    window.comPort = 2;
    window.plotItemEnabled()[6] = 1;
    window.move(40, 30);
    window.ExitCommand();
    EXPECT_EQ(window.result(), 1);
    EXPECT_FALSE(window.isVisible());

    QSettings file(TestSupport::SettingsFile(), QSettings::IniFormat);
    file.beginGroup("Settings");
    EXPECT_EQ(file.childKeys().size(), 11);
    EXPECT_EQ(file.value("ComPort").toInt(), 2);
    EXPECT_EQ(file.value("PlotItem6").toInt(), 1);
    EXPECT_EQ(file.value("SaveStatus").toInt(), 0);
    EXPECT_EQ(file.value("x").toInt(), 40);
    EXPECT_EQ(file.value("y").toInt(), 30);
}

TEST_F(StationWindowTest, EscapeAndTheCloseBoxStoreNothing) {
    {
        StationWindow window;
        window.show();
        window.comPort = 3;
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_EQ(window.result(), StationWindow::kCancelResult);
        EXPECT_FALSE(window.isVisible());
    }
    {
        StationWindow window;
        window.show();
        window.comPort = 4;
        window.close();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_FALSE(QFile::exists(TestSupport::SettingsFile()));
}

TEST_F(StationWindowTest, ReturnOutsideTheButtonsIsTheExitCommand) {
    StationWindow window;
    window.show();
    window.Control(1020)->setFocus();
    QTest::keyClick(window.Control(1020), Qt::Key_Return);
    EXPECT_EQ(window.result(), StationWindow::kExitResult);
    EXPECT_TRUE(QSettings(TestSupport::SettingsFile(), QSettings::IniFormat).contains("Settings/ComPort"));
}

TEST_F(StationWindowTest, ThePumpLetsAPendingRecordRunNested) {
    StationWindow window;
    const std::string record = Record(kFields1440);
    QTimer::singleShot(0, &window, [&] { window.pipeline().ProcessLine(record.c_str()); });
    EXPECT_EQ(Text(window, 1003), "Records");
    window.PumpOneMessage();
    EXPECT_EQ(Text(window, 1003), "1");
}

TEST_F(StationWindowTest, OpensWhereItWasLeftUnlessThatIsOffTheScreen) {
    StoreSettings([](QSettings& s) { s.setValue("x", 120); s.setValue("y", 60); });
    {
        StationWindow window;
        EXPECT_EQ(window.pos(), QPoint(120, 60));
    }
    StoreSettings([](QSettings& s) { s.setValue("x", -200); });
    {
        StationWindow window;
        EXPECT_EQ(window.pos(), QPoint(0, 0));
    }
}

TEST_F(StationWindowTest, OptionsShowsTheSettingsAndOkCopiesTheChangesBack) {
    StoreSettings([](QSettings& s) {
        s.setValue("ComPort", 2);
        s.setValue("PlotItem1", 1);
    });
    StationWindow window;
    window.show();
    bool seen = false;
    OnNextModal([&seen](QWidget* modal) {
        auto* options = qobject_cast<OptionsDialog*>(modal);
        ASSERT_NE(options, nullptr);
        seen = true;
        EXPECT_TRUE(static_cast<QRadioButton*>(options->Control(1023))->isChecked());
        EXPECT_FALSE(static_cast<QRadioButton*>(options->Control(1022))->isChecked());
        EXPECT_TRUE(static_cast<QCheckBox*>(options->Control(1027))->isChecked());
        EXPECT_FALSE(static_cast<QCheckBox*>(options->Control(1033))->isChecked());
        QTest::mouseClick(options->Control(1025), Qt::LeftButton);
        QTest::mouseClick(options->Control(1032), Qt::LeftButton);
        QTest::mouseClick(options->Control(1033), Qt::LeftButton);
        static_cast<QAbstractButton*>(options->Control(1))->click();
    }, &window);
    window.Button(1021)->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(window.comPort, 4);
    EXPECT_EQ(window.plotItemEnabled(), (PlotItemFlags{0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(window.saveData, 1);
    EXPECT_TRUE(window.pipeline().saveData);
    // Stored only at Exit.
    EXPECT_FALSE(QSettings(TestSupport::SettingsFile(), QSettings::IniFormat).contains("Settings/SaveStatus"));
}

TEST_F(StationWindowTest, OptionsCancelChangesNothing) {
    StationWindow window;
    window.show();
    OnNextModal([](QWidget* modal) {
        auto* options = static_cast<OptionsDialog*>(modal);
        QTest::mouseClick(options->Control(1024), Qt::LeftButton);
        QTest::mouseClick(options->Control(1026), Qt::LeftButton);
        QTest::mouseClick(options->Control(1033), Qt::LeftButton);
        static_cast<QAbstractButton*>(options->Control(2))->click();
    }, &window);
    window.ShowOptions();
    EXPECT_EQ(window.comPort, 1);
    EXPECT_EQ(window.plotItemEnabled(), PlotItemFlags{});
    EXPECT_EQ(window.saveData, 0);
}

TEST_F(StationWindowTest, OptionsWithAStoredPortOutsideOneToFourChecksNoComButton) {
    StoreSettings([](QSettings& s) { s.setValue("ComPort", 7); });
    StationWindow window;
    window.show();
    OnNextModal([](QWidget* modal) {
        auto* options = static_cast<OptionsDialog*>(modal);
        for (int id = 1022; id <= 1025; ++id)
            EXPECT_FALSE(static_cast<QRadioButton*>(options->Control(id))->isChecked()) << id;
        static_cast<QAbstractButton*>(options->Control(1))->click();
    }, &window);
    window.ShowOptions();
    EXPECT_EQ(window.comPort, 0);
}

TEST_F(StationWindowTest, OptionsTellsWhichDeviceEachComPortOpens) {
    QSettings(TestSupport::SettingsFile(), QSettings::IniFormat).setValue("Ports/COM2", "/dev/ttyUSB1");
    StationWindow window;
    window.show();
    QStringList tips;
    OnNextModal([&tips](QWidget* modal) {
        auto* options = static_cast<OptionsDialog*>(modal);
        for (int id = 1022; id <= 1025; ++id)
            tips << options->Control(id)->toolTip();
        options->reject();
    }, &window);
    window.ShowOptions();
    EXPECT_EQ(tips, QStringList({"COM1 opens /dev/ttyS0", "COM2 opens /dev/ttyUSB1", "COM3 opens /dev/ttyS2",
                                 "COM4 opens /dev/ttyS3"}));
}

TEST_F(StationWindowTest, ReplayOfTheTestFileUpdatesLabelsCompassAndChart) {
    WriteTestFile({"not a record", Record(kFields1440)});
    StationWindow window;
    window.show();
    window.Button(1001)->click();

    const std::pair<int, const char*> expected[] = {
        {1003, "1"},     {1009, "6.2"},   {1010, "5.6"},  {1011, "6.2"},  {1006, "45.3"},
        {1004, "68.2"},  {1007, "87.0"},  {1008, "41.5"}, {1012, "0.12"}, {1013, "12.34"},
        {1014, "29.92"}, {1017, "14:40 "}};
    for (const auto& [id, text] : expected)
        EXPECT_EQ(Text(window, id), text) << id;
    EXPECT_EQ(window.CompassPictureName(), "E");
    const QImage shown = static_cast<QLabel*>(window.Control(1018))->pixmap().toImage();
    EXPECT_EQ(shown, QImage(":/nimbulo/compass/E.png").convertToFormat(shown.format()));
    // Nothing chosen to plot: the labels are emptied and the series get 0.
    EXPECT_EQ(Text(window, 1034), "");
    EXPECT_EQ(window.chart().Series(0)->current, 0);
    EXPECT_FALSE(QDir("OutputData").exists());
    EXPECT_FALSE(QFile::exists("wxreportmixw.txt"));
}

TEST_F(StationWindowTest, FourCheckedPlotItemsPlotOnlyTheFirstThree) {
    StoreSettings([](QSettings& s) {
        for (int i = 0; i < 4; ++i)
            s.setValue(QString("PlotItem%1").arg(i), 1);
    });
    WriteTestFile({Record(kFields1440)});
    StationWindow window;
    window.show();
    window.ReadTestDataFile();
    EXPECT_EQ(Text(window, 1034), "Temperature Outdoor");
    EXPECT_EQ(Text(window, 1035), "Temperature Indoor");
    EXPECT_EQ(Text(window, 1036), "Humidity Outdoor");
    EXPECT_EQ(window.chart().Series(0)->current, 45);
    EXPECT_EQ(window.chart().Series(1)->current, 68);
    EXPECT_EQ(window.chart().Series(2)->current, 87);
    // The step drew the red series at the right edge, from the bottom up to 45 %.
    const ChartSurface* surface = window.chart().Surface();
    bool red = false;
    for (int x = surface->Width() - 5; x < surface->Width(); ++x)
        for (int y = 0; y < surface->Height(); ++y)
            red |= surface->At(x, y) == ChartSurface::Rgb(255, 0, 0);
    EXPECT_TRUE(red);
}

TEST_F(StationWindowTest, ReplayWithSaveDataWritesTheLogAndBothReports) {
    StoreSettings([](QSettings& s) { s.setValue("SaveStatus", 1); });
    const std::string record = Record(kFields1440);
    WriteTestFile({record});
    StationWindow window;
    window.show();
    window.ReadTestDataFile();

    const QStringList logs = QDir("OutputData").entryList({"U2K*1440.txt"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const std::string log = TestSupport::ReadAll("OutputData/" + logs.front());
    const std::regex expected(
        "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\tHumidityOutdoor\t"
        "HumidityIndoor\tRainTodaysTotal\r\n"
        "[0-9]{4}/[0-9]{2}/[0-9]{2} 14:40\t5.6\t 4\t45.3\t68.2\t29.92\t87.0\t41.5\t0.12\r\n");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
    EXPECT_EQ(TestSupport::ReadAll("wxreportaprs.txt").substr(0, record.size() + 2), record + "\r\n");
    EXPECT_EQ(TestSupport::ReadAll("wxreportmixw.txt").substr(0, 12), "[wxreport]\r\n");
}

TEST_F(StationWindowTest, AnswersPortEventsWithMinusOneOutsidePortsOneToFour) {
    StationWindow window;
    const std::pair<int, int> table[] = {{0, -1}, {1, 0}, {4, 0}, {5, -1}, {-3, -1}};
    for (const auto& [port, result] : table)
        EXPECT_EQ(window.OnPortEvent(0, port), result) << port;
}

TEST_F(StationWindowTest, AboutOnTheContextMenuShowsTheAboutBox) {
    StationWindow window;
    window.show();
    QString caption;
    bool versionShown = false;
    QTimer::singleShot(20, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions().front()->text(), "&About");
        OnNextModal([&](QWidget* modal) {
            auto* about = qobject_cast<AboutDialog*>(modal);
            ASSERT_NE(about, nullptr);
            caption = about->windowTitle();
            for (QLabel* label : about->findChildren<QLabel*>())
                versionShown |= label->text() == "Nimbulo Version 2.0";
            QTest::keyClick(about, Qt::Key_Escape);
        }, &window);
        menu->actions().front()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&window, &event);
    QTest::qWait(50);
    EXPECT_EQ(caption, "About Nimbulo");
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(StationWindowTest, HelpButtonOpensTheUserGuide) {
    StationApp app;
    StationWindow window;
    QObject::connect(&window, &StationWindow::HelpRequested, &app, &StationApp::ShowHelp);
    window.show();
    window.Button(0xE146)->click();
    ASSERT_NE(app.helpWindow(), nullptr);
    EXPECT_TRUE(app.helpWindow()->isVisible());
    const QString page = app.helpWindow()->browser()->toPlainText();
    EXPECT_TRUE(page.contains("Connecting the station"));
    EXPECT_TRUE(page.contains("OutputData"));
}

TEST_F(StationWindowTest, TheApplicationEndsWhenItsWindowCloses) {
    StationApp app;
    OnNextModal([](QWidget* modal) {
        ASSERT_NE(qobject_cast<StationWindow*>(modal), nullptr);
        EXPECT_EQ(modal->windowTitle(), "Nimbulo");
        static_cast<StationWindow*>(modal)->reject();
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(QCoreApplication::organizationName(), "Quillfen");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "2.0.0.1");
}

}  // namespace
