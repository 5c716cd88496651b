// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <tuple>

#include "IconButton.h"
#include "TestApp.h"

constexpr QRgb kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kRed = 0xFFFF0000, kYellow = 0xFFFFFF00;

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A 40 x 36 button, blue at rest and green when active, with a red active and
// a yellow normal 16 x 16 icon, which sits at (12, 10) at rest and at (13, 11) pressed.
struct IconButtonTest : testing::Test {
    void SetUp() override {
        button.resize(40, 36);
        button.SetIcon(Solid(kRed), Solid(kYellow), 16, 16);
        button.SetBgNormal(QColor(kBlue), 0);
        button.SetBgActive(QColor(kGreen), 0);
    }

    static QIcon Solid(QRgb colour) {
        QPixmap picture(16, 16);
        picture.fill(QColor(colour));
        return QIcon(picture);
    }
    QRgb System(QPalette::ColorRole r) { return button.palette().color(QPalette::Active, r).rgb(); }

    void Send(QEvent&& event) { QCoreApplication::sendEvent(&button, &event); }
    void Enter() { Send(QEnterEvent(QPointF(20, 18), QPointF(20, 18), QPointF(20, 18))); }
    void Mouse(QEvent::Type type, int x, Qt::MouseButtons held) {
        const QPointF at(x, 18);
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        Send(QMouseEvent(type, at, button.mapToGlobal(at), changed, held, Qt::NoModifier));
    }

    QApplication& app = TestApp();  // before any widget
    IconButton button;
};

TEST_F(IconButtonTest, OnlyTheRepaintFlagOneRepaintsAndResetsTakeTheButtonColours) {
    QPalette palette = button.palette();  // button colours unlike those of any other role
    palette.setColor(QPalette::Button, QColor(0xFF123456));
    palette.setColor(QPalette::ButtonText, QColor(0xFF654321));
    button.setPalette(palette);
    PaintCounter counter;
    button.installEventFilter(&counter);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::qWait(20);
    const int before = counter.paints;
    button.SetTextActive(QColor(kRed), 0);
    button.ResetTextActive(2);
    button.ResetBgActive(-1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before);
    button.ResetBgNormal(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before + 1);
    button.removeEventFilter(&counter);
    EXPECT_EQ(button.grab().toImage().pixel(5, 5), 0xFF123456);
    EXPECT_EQ(button.BgActive().rgb(), 0xFF123456);
    EXPECT_EQ(button.TextActive().rgb(), 0xFF654321);
}

TEST_F(IconButtonTest, SetIconKeepsTheLowEightBitsAndANullNormalIconMeansTheActiveOne) {
    button.SetIcon(Solid(kRed), QIcon(), 256 + 32, 512 + 16);
    EXPECT_EQ(button.IconWidth(), 32);
    EXPECT_EQ(button.IconHeight(), 16);
    button.SetIcon(Solid(kRed), QIcon(), 16, 16);
    EXPECT_EQ(button.grab().toImage().pixel(12, 10), kRed);
}

// Raised: light along the top and down the left side, shadow along the bottom
// and up the right side, which take the top-right and bottom-left corners.
// Sunken swaps the shades; the normal look has no border at all.
TEST_F(IconButtonTest, EachLookPaintsItsBorderBackgroundAndIcon) {
    const QRgb light = System(QPalette::Light), shadow = System(QPalette::Dark);
    // look, pointer over, down, enabled, then top-left and bottom-right shades,
    // background, icon (0: greyed) and where the icon starts
    const std::tuple<const char*, bool, bool, bool, QRgb, QRgb, QRgb, QRgb, QPoint> looks[] = {
        {"normal", false, false, true, kBlue, kBlue, kBlue, kYellow, {12, 10}},
        {"hover", true, false, true, light, shadow, kGreen, kRed, {12, 10}},
        {"pressed", true, true, true, shadow, light, kGreen, kRed, {13, 11}},
        {"pressed, pointer away", false, true, true, shadow, light, kGreen, kRed, {13, 11}},
        {"disabled", true, false, false, light, shadow, kGreen, 0, {12, 10}},
    };
    for (const auto& [name, hover, down, enabled, topLeft, bottomRight, inside, icon, at] : looks) {
        SCOPED_TRACE(name);
        Send(QEvent(QEvent::Leave));
        button.setEnabled(enabled);
        if (hover) Enter();
        button.setDown(down);
        const QImage shot = button.grab().toImage();
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(shot.pixel(i, 0), i < 39 ? topLeft : bottomRight) << i;
            EXPECT_EQ(shot.pixel(i, 35), bottomRight) << i;
        }
        for (int i = 1; i < 35; ++i) {
            EXPECT_EQ(shot.pixel(0, i), topLeft) << i;
            EXPECT_EQ(shot.pixel(39, i), bottomRight) << i;
        }
        const QPoint last = at + QPoint(15, 15);
        for (const QPoint p :
             {QPoint(1, 1), QPoint(38, 34), at - QPoint(1, 0), last + QPoint(1, 0)}) {
            EXPECT_EQ(shot.pixel(p), inside) << p.x() << "," << p.y();
        }
        for (const QRgb pixel : {shot.pixel(at), shot.pixel(last)}) {
            EXPECT_TRUE(icon ? pixel == icon : pixel != kRed && pixel != inside)
                << std::hex << pixel;
        }
    }
}

TEST_F(IconButtonTest, CaptionMovesTheIconToTheLeftEdgeAndOnlyKeyboardFocusDrawsAFrame) {
    button.resize(100, 30);
    button.setText("&Go");
    const QImage shot = button.grab().toImage();
    EXPECT_EQ(shot.pixel(3, 7), kYellow);
    EXPECT_EQ(shot.pixel(2, 7), kBlue);
    EXPECT_EQ(shot.pixel(18, 22), kYellow);
    EXPECT_EQ(shot.pixel(19, 22), kBlue);
    button.show();
    QCoreApplication::processEvents();
    const QImage unfocused = button.grab().toImage();
    button.setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(button.hasFocus());
    EXPECT_EQ(button.grab().toImage(), unfocused);
    button.clearFocus();
    button.setFocus(Qt::TabFocusReason);
    const QImage framed = button.grab().toImage();
    // Two pixels of the highlight colour, one of the highlighted text's inside.
    const QRgb frame = System(QPalette::Highlight);
    const QRgb inner = System(QPalette::HighlightedText);
    EXPECT_EQ(std::tuple(framed.pixel(1, 1), framed.pixel(2, 2), framed.pixel(3, 3),
                         framed.pixel(96, 26), framed.pixel(50, 2), framed.pixel(50, 3)),
              std::tuple(kBlue, frame, frame, frame, frame, frame));
    EXPECT_EQ(std::tuple(framed.pixel(4, 4), framed.pixel(95, 25), framed.pixel(50, 5)),
              std::tuple(inner, inner, kBlue));
    button.clearFocus();  // which also ends the pointer look that showing the button began
    EXPECT_EQ(button.grab().toImage().pixel(50, 2), kBlue);
}

TEST_F(IconButtonTest, PointerFocusAndClicksDriveTheLook) {
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    Mouse(QEvent::MouseMove, 20, Qt::LeftButton);  // arriving with the button held
    EXPECT_FALSE(button.Hover());
    Mouse(QEvent::MouseMove, 21, Qt::NoButton);
    EXPECT_TRUE(button.Hover());
    Mouse(QEvent::MouseButtonPress, 20, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 20, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Hover());  // a click keeps the look while the pointer stays
    Send(QEvent(QEvent::Leave));
    EXPECT_FALSE(button.Hover());
    Enter();
    Mouse(QEvent::MouseButtonPress, 20, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 60, Qt::LeftButton);  // dragged out: no longer lit nor down
    EXPECT_EQ(button.CurrentLook().kind, ButtonLook::Kind::Normal);
    Mouse(QEvent::MouseButtonRelease, 60, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    Enter();
    Send(QFocusEvent(QEvent::FocusOut));
    EXPECT_FALSE(button.Hover());
}
