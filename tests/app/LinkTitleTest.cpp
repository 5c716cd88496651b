// SPDX-License-Identifier: GPL-3.0-or-later
// The window's title and readings tell what the link is doing: waiting for a
// missing device, receiving, silent, waiting again after a loss. The device
// is a symbolic link re-pointed to a new pseudo-terminal at each replug.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <memory>

#include "PtyPair.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using namespace std::chrono_literals;

class LinkTitle : public ::testing::Test {
  protected:
    void SetUp() override {
        TestSupport::IsolateTest();
        link = QDir::current().filePath("ttyUSB0");
        TestSupport::Store("Ports/COM3", link);
        TestSupport::Store("Settings/ComPort", 3);
        TestSupport::Store("Settings/StaleAfter", 1);
        window = std::make_unique<StationWindow>();
        window->show();
        window->portBridge().SetErrorPresenter([this](auto&, auto& text) { errors << text; });
        window->serialPort().SetRetrySchedule({true, 20ms, 60s, 20ms});
    }
    void TearDown() override { window.reset(); }
    void Plug() {
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(PointLinkAt(link.toStdString(), pty->slavePath));
    }
    bool TitleBecomes(const QString& title) {
        return QTest::qWaitFor([&] { return window->windowTitle() == title; }, 5000);
    }
    // Whether the reading labels are drawn in the palette's disabled text colour.
    bool ReadingsGreyed() const {
        const QColor disabled = window->palette().color(QPalette::Disabled, QPalette::WindowText);
        const QColor shown = window->Control(1006)->palette().color(QPalette::WindowText);
        EXPECT_EQ(shown, window->Control(1014)->palette().color(QPalette::WindowText));
        return shown == disabled;
    }
    bool SendRecord() {
        const std::string record =
            TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 877, 12, 90}) +
            "\r\n";
        return pty->Write(record);
    }

    QString link;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<StationWindow> window;
    QStringList errors;
};

TEST_F(LinkTitle, ShowsWaitingReceivingSilentAndWaitingAgain) {
    ASSERT_NE(window->palette().color(QPalette::Disabled, QPalette::WindowText),
              window->palette().color(QPalette::Normal, QPalette::WindowText));
    const QString waiting = "Nimbulo - waiting for COM3 (" + link + ")";
    EXPECT_EQ(window->windowTitle(), "Nimbulo");
    EXPECT_FALSE(ReadingsGreyed());

    window->Button(1000)->click();
    EXPECT_EQ(window->windowTitle(), waiting);
    EXPECT_TRUE(ReadingsGreyed());
    EXPECT_EQ(errors.size(), 1) << errors.join("\n").toStdString();

    Plug();
    ASSERT_TRUE(TitleBecomes("Nimbulo"));
    EXPECT_FALSE(ReadingsGreyed());
    ASSERT_TRUE(SendRecord());
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestSupport::Text(*window, 1003) == "1"; }, 5000));

    const QRegularExpression silent("^Nimbulo - no records since \\d\\d:\\d\\d:\\d\\d$");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return silent.match(window->windowTitle()).hasMatch(); }, 5000))
        << window->windowTitle().toStdString();
    EXPECT_TRUE(ReadingsGreyed());
    ASSERT_TRUE(SendRecord());
    ASSERT_TRUE(TitleBecomes("Nimbulo"));
    EXPECT_FALSE(ReadingsGreyed());

    pty->CloseMaster();
    ASSERT_TRUE(TitleBecomes(waiting));
    EXPECT_TRUE(ReadingsGreyed());
    Plug();
    ASSERT_TRUE(TitleBecomes("Nimbulo"));
    ASSERT_TRUE(SendRecord());
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestSupport::Text(*window, 1003) == "3"; }, 5000));
    EXPECT_EQ(errors.size(), 2) << errors.join("\n").toStdString();  // the open, the loss
}

}  // namespace
