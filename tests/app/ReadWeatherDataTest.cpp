// Read Weather Data on a pseudo-terminal standing in for the station's port.

#include <QLabel>
#include <QSettings>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using TestSupport::Record;

QString Text(StationWindow& window, int id) { return static_cast<QLabel*>(window.Control(id))->text(); }

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            name_ = name;
    }
    ~PseudoTerminal() {
        CloseSlave();
        if (master_ >= 0)
            close(master_);
    }
    bool ok() const { return !name_.empty(); }
    const std::string& name() const { return name_; }
    // The station side keeps its end; our copy of the port end is only
    // held until the program has opened it.
    void CloseSlave() {
        if (slave_ >= 0)
            close(slave_);
        slave_ = -1;
    }
    bool Send(const std::string& text) {
        return write(master_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string name_;
};

class ReadWeatherDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::IsolateTest();
        ASSERT_TRUE(terminal.ok());
    }
    // The monitor thread drops what is queued when it starts, as the port
    // would; the station's data counts from then on.
    static void WaitUntilMonitoring(StationWindow& window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.serialPort().threadRunning(); }, 5000));
        QTest::qWait(100);
    }
    void PointComPortAt(int port, const std::string& device) {
        QSettings file(TestSupport::SettingsFile(), QSettings::IniFormat);
        file.setValue(QString("Ports/COM%1").arg(port), QString::fromStdString(device));
        file.setValue("Settings/ComPort", port);
    }
    PseudoTerminal terminal;
};

TEST_F(ReadWeatherDataTest, RecordsFromThePortFillTheLabels) {
    PointComPortAt(3, terminal.name());
    StationWindow window;
    window.show();
    std::vector<QString> errors;
    window.portBridge().SetErrorPresenter([&errors](const QString&, const QString& text) { errors.push_back(text); });
    EXPECT_EQ(window.comPort, 3);
    window.Button(1000)->click();
    terminal.CloseSlave();
    WaitUntilMonitoring(window);
    ASSERT_TRUE(terminal.Send(Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 877, 12, 90}) + "\r\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(window, 1003) == "1"; }, 5000)) << Text(window, 1003).toStdString();
    EXPECT_EQ(Text(window, 1006), "45.3");
    EXPECT_EQ(Text(window, 1014), "29.92");
    EXPECT_EQ(Text(window, 1017), "14:37 ");
    EXPECT_EQ(window.CompassPictureName(), "E");

    // A second record, sent a byte at a time, is counted once it is complete.
    const std::string second = Record({200, 128, 300, 1234, 10132, 682, 870, 415, 99, 878, 12, 90}) + "\r\n";
    for (char c : second)
        ASSERT_TRUE(terminal.Send(std::string(1, c)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(window, 1003) == "2"; }, 5000));
    EXPECT_EQ(Text(window, 1006), "30.0");
    EXPECT_EQ(Text(window, 1009), "12.4");
    EXPECT_EQ(window.CompassPictureName(), "S");
    EXPECT_TRUE(errors.empty()) << errors.front().toStdString();
}

TEST_F(ReadWeatherDataTest, ClosingTheWindowWhileDataFlowsStopsThePortFirst) {
    PointComPortAt(1, terminal.name());
    auto window = std::make_unique<StationWindow>();
    window->show();
    window->portBridge().SetErrorPresenter([](const QString&, const QString&) {});
    window->ReadWeatherData();
    terminal.CloseSlave();
    WaitUntilMonitoring(*window);
    const std::string record = Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 877, 12, 90}) + "\r\n";
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(terminal.Send(record));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Text(*window, 1003) != "Records"; }, 5000));
    window->reject();
    window.reset();  // must return although the monitor thread may be handing over a byte
    SUCCEED();
}

}  // namespace
