// nimbulo-sim on a pseudo-terminal, read through the window's Read Weather Data.

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "StationWindow.h"
#include "TestSupport.h"

namespace {

QString Text(StationWindow& window, int id) { return static_cast<QLabel*>(window.Control(id))->text(); }

TEST(SimulatedStation, ReadWeatherDataFillsTheLabelsFromTheSimulator) {
#ifndef NIMBULO_SIM
    GTEST_SKIP() << "nimbulo-sim is not part of this build";
#else
    TestSupport::IsolateTest();
    QProcess simulator;
    simulator.start(NIMBULO_SIM, {"--count", "3", "--interval", "0.3", "--speed", "200", "--date", "2026-04-10",
                                  "--time", "14:38", "--settle", "0.5", "--linger", "30"});
    ASSERT_TRUE(simulator.waitForStarted(5000));
    ASSERT_TRUE(simulator.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    ASSERT_TRUE(device.startsWith("/dev/")) << device.toStdString();
    QSettings(TestSupport::SettingsFile(), QSettings::IniFormat).setValue("Ports/COM1", device);

    StationWindow window;
    window.show();
    QStringList errors;
    window.portBridge().SetErrorPresenter([&errors](const QString&, const QString& text) { errors << text; });
    window.Button(1000)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(window, 1003) == "3"; }, 15000))
        << "records: " << Text(window, 1003).toStdString();

    const QRegularExpression oneDecimal("^-?[0-9]+\\.[0-9]$");
    const QRegularExpression twoDecimals("^-?[0-9]+\\.[0-9]{2}$");
    for (int id : {1009, 1010, 1011, 1006, 1004, 1007, 1008})
        EXPECT_TRUE(oneDecimal.match(Text(window, id)).hasMatch()) << id << " " << Text(window, id).toStdString();
    for (int id : {1012, 1013, 1014})
        EXPECT_TRUE(twoDecimals.match(Text(window, id)).hasMatch()) << id << " " << Text(window, id).toStdString();
    // Three records a station minute apart (0.3 s x 200) from 14:38: the last is 14:40, a five-minute point.
    EXPECT_EQ(Text(window, 1017), "14:40 ");
    EXPECT_EQ(Text(window, 1015), "Fri 04/10/2026");
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    window.serialPort().StopMonitor();
    simulator.terminate();
    simulator.waitForFinished(5000);
#endif
}

}  // namespace
