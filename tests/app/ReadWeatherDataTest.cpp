// SPDX-License-Identifier: GPL-3.0-or-later
// Read Weather Data on a pseudo-terminal standing in for the station's port,
// fed first by the test itself and then by nimbulo-sim.

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>
#include <cstring>

#include "ResourceIds.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using TestSupport::Text;

class ReadWeatherData : public ::testing::Test {
  protected:
    void SetUp() override { TestSupport::IsolateTest(); }
    // Points the stored COM3 at `device` and presses Read Weather Data. The
    // monitor thread drops what is queued when it starts, as the port would;
    // the station's data counts from then on.
    std::unique_ptr<StationWindow> StartReading(const QString& device) {
        TestSupport::Store("Ports/COM3", device);
        TestSupport::Store("Settings/ComPort", 3);
        auto window = std::make_unique<StationWindow>();
        window->show();
        window->portBridge().SetErrorPresenter([this](auto&, auto& text) { errors << text; });
        window->Button(1000)->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->serialPort().threadRunning(); }, 5000));
        QTest::qWait(100);
        return window;
    }
    QStringList errors;
};

// The window goes away while records still arrive, which must stop the port first.
TEST_F(ReadWeatherData, RecordsFromTheChosenComPortFillTheLabelsUntilTheWindowCloses) {
    int station = -1, port = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&station, &port, name, nullptr, nullptr), 0);
    auto window = StartReading(name);
    close(port);  // held only until the window has opened its own
    const std::string record =
        TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 877, 12, 90}) + "\r\n";
    ASSERT_EQ(write(station, record.data(), record.size()), ssize_t(record.size()));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return Text(*window, 1003) == "1"; }));
    EXPECT_EQ(Text(*window, 1006), "45.3");
    EXPECT_EQ(Text(*window, 1014), "29.92");
    EXPECT_EQ(Text(*window, 1017), "14:37 ");
    EXPECT_EQ(window->CompassPictureName(), "E");
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(write(station, record.data(), record.size()), ssize_t(record.size()));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return Text(*window, 1003) != "1"; }));
    window->reject();
    window.reset();  // must return although the monitor thread may be handing over a byte
    close(station);
}

// A missing device: the open reports it with the device and a hint, in a
// critical message box of its own that holds nothing up (no modal loop).
TEST_F(ReadWeatherData, APortFailureIsShownInANonModalApplicationErrorBoxWithoutAnOwner) {
    TestSupport::Store("Ports/COM2", "/nonexistent/ttyNimbulo");
    TestSupport::Store("Settings/ComPort", 2);
    StationWindow window;
    window.show();
    window.Button(CommandId::kReadWeatherData)->click();
    QMessageBox* box = window.boxes().Box("port");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_EQ(QStringList({box->windowTitle(), box->text(), QString::number(box->icon())}),
              QStringList({"Application Error",
                           "WARNING:  COM2 (/nonexistent/ttyNimbulo) cannot be opened: " +
                               QString::fromLocal8Bit(std::strerror(ENOENT)) +
                               "\nIs the adapter plugged in?\n",
                           QString::number(QMessageBox::Critical)}));
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A settings file edited by hand names COM5: said in the box, nothing read.
TEST_F(ReadWeatherData, AComPortOutsideOneToFourIsShownOnceNamingTheRangeAndNothingIsRead) {
    int station = -1, port = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&station, &port, name, nullptr, nullptr), 0);
    TestSupport::Store("Ports/COM5", QString(name));
    TestSupport::Store("Settings/ComPort", 5);
    StationWindow window;
    window.portBridge().SetErrorPresenter([this](auto&, auto& text) { errors << text; });
    window.Button(CommandId::kReadWeatherData)->click();
    EXPECT_EQ(errors, QStringList("WARNING:  ComPort=5 in " + TestSupport::SettingsFile() +
                                  " is outside 1 to 4, so no port is read.\n"
                                  "Choose COM1 to COM4 in Options.\n"));
    EXPECT_FALSE(window.serialPort().threadRunning());
    close(port);
    close(station);
}

TEST_F(ReadWeatherData, FillsTheLabelsFromTheSimulator) {
#ifndef NIMBULO_SIM
    GTEST_SKIP() << "nimbulo-sim is not part of this build";
#else
    QProcess simulator;
    simulator.start(NIMBULO_SIM, QString("--count 3 --interval 0.3 --speed 200 --date 2026-04-10 "
                                         "--time 14:38 --settle 0.5 --linger 30")
                                     .split(' '));
    ASSERT_TRUE(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    ASSERT_TRUE(device.startsWith("/dev/")) << device.toStdString();
    auto window = StartReading(device);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return Text(*window, 1003) == "3"; }))
        << "records: " << Text(*window, 1003).toStdString();
    const QRegularExpression oneDecimal("^-?[0-9]+\\.[0-9]$"), twoDecimals("^-?[0-9]+\\.[0-9]{2}$");
    for (int id : {1009, 1010, 1011, 1006, 1004, 1007, 1008, 1012, 1013, 1014})
        EXPECT_TRUE((id < 1012 ? oneDecimal : twoDecimals).match(Text(*window, id)).hasMatch())
            << id << " " << Text(*window, id).toStdString();
    // Three records a station minute apart (0.3 s x 200) from 14:38: the last is 14:40, a
    // five-minute point.
    EXPECT_EQ(Text(*window, 1017), "14:40 ");
    EXPECT_EQ(Text(*window, 1015), "Fri 04/10/2026");
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    window.reset();
    simulator.terminate();
    simulator.waitForFinished(5000);
#endif
}

}  // namespace
