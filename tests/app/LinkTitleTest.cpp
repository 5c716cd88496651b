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
#include "StaleLook.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using namespace std::chrono_literals;

// Before the application starts: only the fonts every machine has.
const bool kCoreFontsOnly = setenv("FONTCONFIG_FILE", NIMBULO_CORE_FONTS_CONF, 1) == 0;

class LinkTitle : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kCoreFontsOnly);
        TestSupport::IsolateTest();
        link = QDir::current().filePath("ttyUSB0");
        TestSupport::Store("Ports/COM3", link);
        TestSupport::Store("Settings/ComPort", 3);
        // Each state the title must be seen in lasts this long: long enough
        // for a test process that a loaded machine leaves without a core.
        TestSupport::Store("Settings/StaleAfter", 3);
        // Metric: the pressure's "1013.2" is the widest reading.
        TestSupport::Store("Settings/Units", 1);
        window = std::make_unique<StationWindow>();
        window->show();
        QObject::connect(window.get(), &QWidget::windowTitleChanged,
                         [this](const QString& title) { titlesSeen << title; });
        window->portBridge().SetErrorPresenter([this](auto&, auto& text) {
            errors << text;
            titlesUnderBoxes << window->windowTitle();
        });
        window->serialPort().SetRetrySchedule({true, 20ms, 60s, 20ms});
    }
    void TearDown() override { window.reset(); }
    void Plug() {
        titlesSeen.clear();
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(PointLinkAt(link.toStdString(), pty->slavePath));
    }
    // Seen since the last step: a title may have passed before the test
    // process had the processor again.
    bool TitleBecomes(const QString& title) {
        const bool seen = TestSupport::WaitUntil([&] { return titlesSeen.contains(title); });
        titlesSeen.clear();
        return seen;
    }
    // Whether the readings, the count, date and time look old: grey but
    // readable (4.5:1 on the window) and in italics. All or none.
    bool ReadingsGreyed() const {
        const QColor normal = window->palette().color(QPalette::WindowText);
        const QColor background = window->palette().color(QPalette::Window);
        const QColor shown = window->Control(1006)->palette().color(QPalette::WindowText);
        const bool italic = window->Control(1006)->font().italic();
        for (int id : {1003, 1014, 1015, 1017}) {
            EXPECT_EQ(window->Control(id)->palette().color(QPalette::WindowText), shown) << id;
            EXPECT_EQ(window->Control(id)->font().italic(), italic) << id;
        }
        EXPECT_GE(StaleLook::ContrastRatio(shown, background), 4.5);
        // Italics lean out past the last character's advance: the whole
        // text is still inside its label.
        const auto* pressure = static_cast<const QLabel*>(window->Control(1014));
        const QRect ink = QFontMetrics(pressure->font()).boundingRect(pressure->text());
        EXPECT_LE(pressure->contentsRect().left() + ink.right(), pressure->width() - 1)
            << pressure->text().toStdString() << " in " << pressure->width() << " px, italic "
            << italic;
        EXPECT_EQ(italic, shown != normal);
        return italic;
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
    QStringList titlesUnderBoxes;  // the title while each error box is up
    QStringList titlesSeen;
};

TEST_F(LinkTitle, ShowsWaitingReceivingSilentAndWaitingAgain) {
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
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return TestSupport::Text(*window, 1003) == "1"; }));

    const QRegularExpression silent("^Nimbulo - no records since \\d\\d:\\d\\d:\\d\\d$");
    ASSERT_TRUE(TestSupport::WaitUntil([&] {
        return silent.match(window->windowTitle()).hasMatch();
    })) << window->windowTitle().toStdString();
    EXPECT_TRUE(ReadingsGreyed());
    ASSERT_TRUE(SendRecord());
    ASSERT_TRUE(TitleBecomes("Nimbulo"));
    EXPECT_FALSE(ReadingsGreyed());

    Unplug(link.toStdString(), *pty);
    ASSERT_TRUE(TitleBecomes(waiting));
    EXPECT_TRUE(ReadingsGreyed());
    Plug();
    ASSERT_TRUE(TitleBecomes("Nimbulo"));
    ASSERT_TRUE(SendRecord());
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return TestSupport::Text(*window, 1003) == "3"; }));
    EXPECT_EQ(errors.size(), 2) << errors.join("\n").toStdString();  // the open, the loss
    EXPECT_EQ(titlesUnderBoxes, QStringList({waiting, waiting}));
}

// Before the first record the title has no time of one to give.
TEST_F(LinkTitle, SaysNoRecordHasComeYetWhenTheStationSendsNothing) {
    Plug();
    window->Button(1000)->click();
    EXPECT_TRUE(TitleBecomes("Nimbulo - no records yet from COM3 (" + link + ")"))
        << window->windowTitle().toStdString();
    EXPECT_TRUE(ReadingsGreyed());
}

}  // namespace
