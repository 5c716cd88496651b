#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <initializer_list>

#include "IconButton.h"
#include "TestApp.h"

namespace {

constexpr QRgb kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kRed = 0xFFFF0000, kYellow = 0xFFFFFF00;

QIcon Solid(QRgb colour) {
    QPixmap picture(16, 16);
    picture.fill(QColor(colour));
    return QIcon(picture);
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A 40 x 36 button, blue at rest and green when active, with a red active and
// a yellow normal 16 x 16 icon, which sits at (12, 10) at rest and at (13, 11) pressed.
class IconButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        button.resize(40, 36);
        button.SetIcon(Solid(kRed), Solid(kYellow), 16, 16);
        button.SetBgNormal(QColor(kBlue), 0);
        button.SetBgActive(QColor(kGreen), 0);
    }

    QRgb System(QPalette::ColorRole role) const {
        return button.palette().color(QPalette::Active, role).rgb();
    }

    void Send(QEvent&& event) { QCoreApplication::sendEvent(&button, &event); }
    void Enter() { Send(QEnterEvent(QPointF(20, 18), QPointF(20, 18), QPointF(20, 18))); }
    void Mouse(QEvent::Type type, int x, Qt::MouseButton changed, Qt::MouseButtons held) {
        const QPointF at(x, 18);
        Send(QMouseEvent(type, at, button.mapToGlobal(at), changed, held, Qt::NoModifier));
    }
    void Move(int x, Qt::MouseButtons held) { Mouse(QEvent::MouseMove, x, Qt::NoButton, held); }

    QRgb Pixel(int x, int y) { return button.grab().toImage().pixel(x, y); }

    QApplication& app = TestApp();  // before any widget
    IconButton button;
};

TEST_F(IconButtonTest, OnlyTheRepaintFlagOneRepaintsAndResetsTakeTheSystemColours) {
    PaintCounter counter;
    button.installEventFilter(&counter);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::qWait(20);
    const int before = counter.paints;
    button.SetBgNormal(QColor(kRed), 0);
    button.SetTextNormal(QColor(kRed), 2);
    button.ResetBgActive(-1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before);
    button.ResetBgNormal(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before + 1);
    button.removeEventFilter(&counter);
    EXPECT_EQ(Pixel(5, 5), System(QPalette::Button));
    EXPECT_EQ(button.BgActive().rgb(), System(QPalette::Button));
    button.ResetTextActive(0);
    EXPECT_EQ(button.TextActive().rgb(), System(QPalette::ButtonText));
}

TEST_F(IconButtonTest, SetIconKeepsTheLowEightBitsAndANullNormalIconMeansTheActiveOne) {
    button.SetIcon(Solid(kRed), QIcon(), 256 + 32, 512 + 16);
    EXPECT_EQ(button.IconWidth(), 32);
    EXPECT_EQ(button.IconHeight(), 16);
    button.SetIcon(Solid(kRed), QIcon(), 16, 16);
    EXPECT_EQ(Pixel(12, 10), kRed);
}

// Raised: light along the top and down the left side, shadow along the bottom
// and up the right side, which take the top-right and bottom-left corners.
// Sunken swaps the shades; the normal look has no border at all.
TEST_F(IconButtonTest, EachLookPaintsItsBorderBackgroundAndIcon) {
    const QRgb light = System(QPalette::Light), shadow = System(QPalette::Dark);
    const struct {
        const char* name;
        bool hover, down, enabled;
        QRgb topLeft, bottomRight, inside, icon;  // icon 0: greyed
        QPoint iconAt;
    } looks[] = {
        {"normal", false, false, true, kBlue, kBlue, kBlue, kYellow, {12, 10}},
        {"hover", true, false, true, light, shadow, kGreen, kRed, {12, 10}},
        {"pressed", true, true, true, shadow, light, kGreen, kRed, {13, 11}},
        {"pressed, pointer away", false, true, true, shadow, light, kGreen, kRed, {13, 11}},
        {"disabled", true, false, false, light, shadow, kGreen, 0, {12, 10}},
    };
    for (const auto& look : looks) {
        SCOPED_TRACE(look.name);
        button.setEnabled(look.enabled);
        if (look.hover) Enter();
        button.setDown(look.down);
        ASSERT_EQ(button.Hover(), look.hover);
        const QImage shot = button.grab().toImage();
        for (int x = 0; x < 40; ++x) {
            EXPECT_EQ(shot.pixel(x, 0), x < 39 ? look.topLeft : look.bottomRight) << x;
            EXPECT_EQ(shot.pixel(x, 35), look.bottomRight) << x;
        }
        for (int y = 1; y < 35; ++y) {
            EXPECT_EQ(shot.pixel(0, y), look.topLeft) << y;
            EXPECT_EQ(shot.pixel(39, y), look.bottomRight) << y;
        }
        const QPoint i = look.iconAt, last = i + QPoint(15, 15);  // the icon's corners
        for (const QPoint p :
             {QPoint(1, 1), QPoint(38, 34), i - QPoint(1, 0), last + QPoint(1, 0)}) {
            EXPECT_EQ(shot.pixel(p), look.inside) << p.x() << "," << p.y();
        }
        for (const QRgb at : {shot.pixel(i), shot.pixel(last)}) {
            EXPECT_TRUE(look.icon ? at == look.icon : at != kRed && at != look.inside)
                << std::hex << at;
        }
        button.setDown(false);
        Send(QEvent(QEvent::Leave));
    }
}

TEST_F(IconButtonTest, CaptionMovesTheIconToTheLeftEdgeAndFocusDrawsNoFrame) {
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
    button.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_TRUE(button.hasFocus());
    EXPECT_EQ(button.grab().toImage(), unfocused);
}

TEST_F(IconButtonTest, PointerFocusAndClicksDriveTheLook) {
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    Move(20, Qt::LeftButton);  // arriving with the button held
    EXPECT_FALSE(button.Hover());
    Move(21, Qt::NoButton);
    EXPECT_TRUE(button.Hover());
    Send(QEvent(QEvent::Leave));
    EXPECT_FALSE(button.Hover());
    // A click keeps the active look while the pointer stays.
    Enter();
    Mouse(QEvent::MouseButtonPress, 20, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(button.isDown());
    Mouse(QEvent::MouseButtonRelease, 20, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Pixel(0, 0), System(QPalette::Light));
    Move(60, Qt::NoButton);
    EXPECT_FALSE(button.Hover());
    // Dragging out with the button held clears the look and the click.
    Enter();
    Mouse(QEvent::MouseButtonPress, 20, Qt::LeftButton, Qt::LeftButton);
    Move(60, Qt::LeftButton);
    EXPECT_FALSE(button.isDown());
    EXPECT_EQ(Pixel(0, 0), kBlue);
    Mouse(QEvent::MouseButtonRelease, 60, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.Hover());
    // Losing the focus clears it too.
    Enter();
    Send(QFocusEvent(QEvent::FocusOut, Qt::ActiveWindowFocusReason));
    EXPECT_EQ(Pixel(0, 0), kBlue);
}

}  // namespace
