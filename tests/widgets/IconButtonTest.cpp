#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>

#include "IconButton.h"
#include "TestApp.h"

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);

QIcon Solid(const QColor& colour, int size = 16) {
    QPixmap picture(size, size);
    picture.fill(colour);
    return QIcon(picture);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// A 40 x 36 button in blue with a red active and a yellow normal 16 x 16
// icon, which sits at (12, 10) at rest and at (13, 11) pressed.
class IconButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        button.resize(40, 36);
        button.SetIcon(Solid(kRed), Solid(kYellow), 16, 16);
        button.SetBgNormal(kBlue, 0);
        button.SetBgActive(kBlue, 0);
        button.SetTextNormal(kBlue, 0);
        button.SetTextActive(kBlue, 0);
        light = button.palette().color(QPalette::Active, QPalette::Light);
        shadow = button.palette().color(QPalette::Active, QPalette::Dark);
    }

    void Enter() {
        QEnterEvent enter(QPointF(20, 18), QPointF(20, 18), QPointF(20, 18));
        QCoreApplication::sendEvent(&button, &enter);
    }

    void Move(QPointF at, Qt::MouseButtons held) {
        QMouseEvent move(QEvent::MouseMove, at, button.mapToGlobal(at), Qt::NoButton, held,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &move);
    }

    void Mouse(QEvent::Type type, Qt::MouseButtons heldAfter) {
        const QPointF at(20, 18);
        QMouseEvent event(type, at, button.mapToGlobal(at), Qt::LeftButton, heldAfter,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &event);
    }

    QImage Shot() { return button.grab().toImage(); }

    QApplication& app = TestApp();  // before any widget
    IconButton button;
    QColor light;
    QColor shadow;
};

TEST_F(IconButtonTest, StartsWithTheSystemButtonColours) {
    IconButton fresh;
    const QPalette& palette = fresh.palette();
    EXPECT_EQ(fresh.BgNormal(), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(fresh.BgActive(), palette.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(fresh.TextNormal(), palette.color(QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(fresh.TextActive(), palette.color(QPalette::Active, QPalette::ButtonText));
    EXPECT_FALSE(fresh.Hover());
}

TEST_F(IconButtonTest, SettersStoreAndResetsRestoreTheSystemColours) {
    button.SetTextActive(kYellow, 0);
    EXPECT_EQ(button.TextActive(), kYellow);
    EXPECT_EQ(button.BgNormal(), kBlue);
    button.ResetBgNormal(0);
    button.ResetTextActive(0);
    EXPECT_EQ(button.BgNormal(), button.palette().color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(button.TextActive(), button.palette().color(QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(button.BgActive(), kBlue);
}

TEST_F(IconButtonTest, OnlyTheRepaintFlagOneRepaints) {
    PaintCounter counter;
    button.installEventFilter(&counter);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::qWait(20);
    const int before = counter.paints;
    button.SetBgNormal(kRed, 0);
    button.SetBgNormal(kRed, 2);
    button.SetTextNormal(kRed, -1);
    button.ResetBgActive(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before);
    button.SetBgNormal(kYellow, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before + 1);
    button.ResetTextNormal(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, before + 2);
    button.removeEventFilter(&counter);
}

TEST_F(IconButtonTest, SetIconKeepsTheLowEightBitsOfTheSize) {
    button.SetIcon(Solid(kRed), QIcon(), 256 + 32, 512 + 16);
    EXPECT_EQ(button.IconWidth(), 32);
    EXPECT_EQ(button.IconHeight(), 16);
}

TEST_F(IconButtonTest, WithoutANormalIconTheActiveOneShowsAtRest) {
    button.SetIcon(Solid(kRed), QIcon(), 16, 16);
    EXPECT_EQ(Shot().pixel(12, 10), kRed.rgb());
}

TEST_F(IconButtonTest, NormalLookHasNoBorderAndTheNormalIcon) {
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(0, 0), kBlue.rgb());
    EXPECT_EQ(shot.pixel(39, 0), kBlue.rgb());
    EXPECT_EQ(shot.pixel(0, 35), kBlue.rgb());
    EXPECT_EQ(shot.pixel(39, 35), kBlue.rgb());
    EXPECT_EQ(shot.pixel(20, 0), kBlue.rgb());
    EXPECT_EQ(shot.pixel(11, 10), kBlue.rgb());
    EXPECT_EQ(shot.pixel(12, 10), kYellow.rgb());
    EXPECT_EQ(shot.pixel(27, 25), kYellow.rgb());
    EXPECT_EQ(shot.pixel(28, 26), kBlue.rgb());
}

TEST_F(IconButtonTest, HoverLookHasARaisedBorderAndTheActiveIcon) {
    Enter();
    ASSERT_TRUE(button.Hover());
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(0, 0), light.rgb());
    EXPECT_EQ(shot.pixel(20, 0), light.rgb());
    EXPECT_EQ(shot.pixel(0, 20), light.rgb());
    EXPECT_EQ(shot.pixel(39, 0), shadow.rgb());
    EXPECT_EQ(shot.pixel(0, 35), shadow.rgb());
    EXPECT_EQ(shot.pixel(20, 35), shadow.rgb());
    EXPECT_EQ(shot.pixel(39, 20), shadow.rgb());
    EXPECT_EQ(shot.pixel(1, 1), kBlue.rgb());
    EXPECT_EQ(shot.pixel(38, 34), kBlue.rgb());
    EXPECT_EQ(shot.pixel(12, 10), kRed.rgb());
}

TEST_F(IconButtonTest, PressedLookHasASunkenBorderAndTheIconMovedByOne) {
    Enter();
    button.setDown(true);
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(0, 0), shadow.rgb());
    EXPECT_EQ(shot.pixel(20, 0), shadow.rgb());
    EXPECT_EQ(shot.pixel(0, 20), shadow.rgb());
    EXPECT_EQ(shot.pixel(39, 0), light.rgb());
    EXPECT_EQ(shot.pixel(0, 35), light.rgb());
    EXPECT_EQ(shot.pixel(20, 35), light.rgb());
    EXPECT_EQ(shot.pixel(39, 20), light.rgb());
    EXPECT_EQ(shot.pixel(12, 10), kBlue.rgb());
    EXPECT_EQ(shot.pixel(13, 11), kRed.rgb());
    EXPECT_EQ(shot.pixel(28, 26), kRed.rgb());
}

TEST_F(IconButtonTest, PressedWithoutHoverStillLooksPressed) {
    button.setDown(true);
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(0, 0), shadow.rgb());
    EXPECT_EQ(shot.pixel(13, 11), kRed.rgb());
}

TEST_F(IconButtonTest, DisabledLookKeepsBorderAndGreysOnlyTheIcon) {
    button.setEnabled(false);
    Enter();
    ASSERT_TRUE(button.Hover());
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(0, 0), light.rgb());
    EXPECT_EQ(shot.pixel(39, 35), shadow.rgb());
    EXPECT_EQ(shot.pixel(1, 1), kBlue.rgb());
    const QRgb icon = shot.pixel(12, 10);
    EXPECT_NE(icon, kRed.rgb());
    EXPECT_NE(icon, kBlue.rgb());
    EXPECT_TRUE(button.CurrentLook().disabled);
}

TEST_F(IconButtonTest, ActiveBackgroundShowsOnlyWhileActive) {
    button.SetBgActive(kYellow, 0);
    EXPECT_EQ(Shot().pixel(5, 5), kBlue.rgb());
    Enter();
    EXPECT_EQ(Shot().pixel(5, 5), kYellow.rgb());
}

TEST_F(IconButtonTest, CaptionMovesTheIconToTheLeftEdge) {
    button.resize(100, 30);
    button.setText("&Go");
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(3, 7), kYellow.rgb());
    EXPECT_EQ(shot.pixel(2, 7), kBlue.rgb());
    EXPECT_EQ(shot.pixel(18, 22), kYellow.rgb());
    EXPECT_EQ(shot.pixel(19, 22), kBlue.rgb());
}

TEST_F(IconButtonTest, NoIconLeavesBackgroundAndBorderOnly) {
    IconButton plain;
    plain.resize(20, 20);
    plain.SetBgNormal(kBlue, 0);
    plain.SetBgActive(kBlue, 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&plain, &enter);
    const QImage shot = plain.grab().toImage();
    EXPECT_EQ(shot.pixel(10, 10), kBlue.rgb());
    EXPECT_EQ(shot.pixel(0, 0), light.rgb());
}

TEST_F(IconButtonTest, FocusNeverDrawsAFrame) {
    button.show();
    QCoreApplication::processEvents();
    const QImage without = Shot();
    button.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(Shot(), without);
}

TEST_F(IconButtonTest, PointerEventsDriveTheLook) {
    Enter();
    EXPECT_TRUE(button.Hover());
    Move(QPointF(60, 18), Qt::NoButton);
    EXPECT_FALSE(button.Hover());
    Move(QPointF(20, 18), Qt::NoButton);
    EXPECT_TRUE(button.Hover());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.Hover());
}

TEST_F(IconButtonTest, ClickKeepsTheActiveLookWhileThePointerStays) {
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    Enter();
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_TRUE(button.isDown());
    Mouse(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Hover());
    EXPECT_EQ(Shot().pixel(0, 0), light.rgb());
    Move(QPointF(60, 18), Qt::NoButton);
    EXPECT_FALSE(button.Hover());
}

TEST_F(IconButtonTest, DraggingOutWithTheButtonHeldClearsTheLookAndTheClick) {
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    Enter();
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    Move(QPointF(60, 18), Qt::LeftButton);
    EXPECT_FALSE(button.Hover());
    EXPECT_FALSE(button.isDown());
    EXPECT_EQ(Shot().pixel(0, 0), kBlue.rgb());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 18),
                        button.mapToGlobal(QPointF(60, 18)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &release);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button.Hover());
}

TEST_F(IconButtonTest, ArrivingWithTheButtonHeldDoesNotLightIt) {
    Move(QPointF(20, 18), Qt::LeftButton);
    EXPECT_FALSE(button.Hover());
    Move(QPointF(21, 18), Qt::NoButton);
    EXPECT_TRUE(button.Hover());
}

TEST_F(IconButtonTest, LosingTheFocusClearsTheLook) {
    Enter();
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(&button, &focusOut);
    EXPECT_FALSE(button.Hover());
    EXPECT_EQ(Shot().pixel(0, 0), kBlue.rgb());
}

}  // namespace
