// SPDX-License-Identifier: GPL-3.0-or-later
// A port error box left open on an unattended station: the port goes on
// retrying and reading behind it, and a cause that comes again updates its
// own box instead of stacking another. File faults likewise, one box per cause.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QMessageBox>
#include <QtTest/QTest>
#include <memory>

#include "FileFaultBox.h"
#include "NoticeBoxes.h"
#include "PtyPair.h"
#include "StationWindow.h"
#include "TestSupport.h"

namespace {

using namespace std::chrono_literals;

TEST(PortBox, ThePortIsOpenedAgainAndReadWhileTheBoxIsOpenAndALossUpdatesThatBox) {
    TestSupport::IsolateTest();
    const QString link = QDir::current().filePath("ttyUSB0");
    TestSupport::Store("Ports/COM2", link);
    TestSupport::Store("Settings/ComPort", 2);
    StationWindow window;
    window.show();
    window.serialPort().SetRetrySchedule({true, 20ms, 60s, 20ms});
    window.Button(1000)->click();  // no device yet: the box opens
    QMessageBox* box = window.boxes().Box("port");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(box->text().contains("cannot be opened")) << box->text().toStdString();

    // Plugged in while nobody has pressed OK.
    PtyPair pty;
    ASSERT_TRUE(PointLinkAt(link.toStdString(), pty.slavePath));
    // The title changes once the retry has opened and set up the port, which
    // then keeps what comes: only the first open of a read clears the line,
    // so the record is written once and must be counted once.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return window.windowTitle() == "Nimbulo"; }))
        << window.windowTitle().toStdString();
    const std::string record =
        TestSupport::Record({100, 64, 453, 1234, 10132, 682, 870, 415, 99, 877, 12, 90}) + "\r\n";
    ASSERT_TRUE(pty.Write(record));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return TestSupport::Text(window, 1003) == "1"; }));
    EXPECT_TRUE(box->isVisible());

    // Pulled out again: the same box tells of the loss in plain words.
    Unplug(link.toStdString(), pty);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return box->text().contains("keeps trying"); }))
        << box->text().toStdString();
    EXPECT_TRUE(box->text().startsWith("WARNING:")) << box->text().toStdString();
    EXPECT_EQ(window.boxes().OpenCount(), 1);
}

TEST(PortBox, FilesFailingForOneCauseShareABoxAndAnotherCauseOpensBesideIt) {
    TestSupport::IsolateTest();
    NoticeBoxes boxes;
    FileFaultBox faults;
    faults.SetPresenter([&](const QString& cause, const QString& caption, const QString& text,
                            bool error) {
        boxes.Show(cause, caption, text, error ? QMessageBox::Critical : QMessageBox::Information,
                   NoticeBoxes::Mode::Add);
    });
    const char* full = "No space left on device";
    for (const char* file : {"OutputData/U2K1440.txt", "wxreportaprs.txt", "wxreportmixw.txt"})
        faults.Report(file, full);
    faults.Report("nimbulo.db", "Permission denied");
    EXPECT_EQ(boxes.OpenCount(), 0);  // shown from the event loop, never inside a file's writing
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.OpenCount() == 2; }, 5000));
    QMessageBox* disk = boxes.Box(QString("cannot write: ") + full);
    QMessageBox* denied = boxes.Box("cannot write: Permission denied");
    ASSERT_TRUE(disk && denied);
    for (const char* file : {"U2K1440.txt", "wxreportaprs.txt", "wxreportmixw.txt"})
        EXPECT_TRUE(disk->text().contains(file)) << file;
    EXPECT_TRUE(denied->text().contains("nimbulo.db"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(denied));
    EXPECT_NE(disk->frameGeometry().topLeft(), denied->frameGeometry().topLeft());
    // The same fault again at the next five-minute point adds nothing.
    const QString before = disk->text();
    faults.Report("wxreportaprs.txt", full);
    QCoreApplication::processEvents();  // delivers the queued report
    EXPECT_EQ(disk->text(), before);
    EXPECT_EQ(boxes.OpenCount(), 2);
}

}  // namespace
