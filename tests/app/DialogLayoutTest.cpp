// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog units to pixels, and the main template turned into widgets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QPushButton>
#include <QtTest/QTest>

#include "DialogBuilder.h"
#include "DialogUnits.h"
#include "FocusFrameStyle.h"

namespace {

// Base units 7 x 13: x px = dlu * 7 / 4 and y px = dlu * 13 / 8, rounded to the nearest.
TEST(DialogUnits, ConvertEachEdgeWithTheBaseUnitsRoundedToTheNearestPixel) {
    const DialogUnits units(7, 13);
    const std::pair<QRect, QRect> table[] = {
        {QRect(19, 1, 21, 19), QRect(33, 2, 37, 31)},  // read button: 33.25, 1.625, 36.75, 30.875
        {QRect(38, 118, 66, 20), QRect(67, 192, 116, 33)},  // wind speed: 66.5, 191.75, 115.5, 32.5
        {QRect(2, 4, 6, 8), QRect(4, 7, 11, 13)},           // 3.5, 6.5, 10.5, 13: halves round up
    };
    for (const auto& [dlu, pixels] : table)
        EXPECT_EQ(units.ToPixels(dlu.x(), dlu.y(), dlu.width(), dlu.height()), pixels) << dlu.x();
}

TEST(DialogUnits, TakeTheBaseUnitsFromTheAverageLetterWidthAndTheFontHeight) {
    QFont font("DejaVu Sans");
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const DialogUnits units(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(units.baseX(), qRound(letters / 52.0));
    EXPECT_EQ(units.baseY(), metrics.height());
}

class MainTemplate : public ::testing::Test {
  protected:
    MainTemplate() : builder(DialogTemplates::Main()) { built = builder.Build(&dialog); }
    QRect Pixels(int x, int y, int w, int h) const { return builder.units().ToPixels(x, y, w, h); }

    QDialog dialog;
    DialogBuilder builder;
    BuiltDialog built;
};

TEST_F(MainTemplate, PlacesTheWindowAndItsControlsAtTheirRectanglesInPixels) {
    EXPECT_EQ(dialog.windowTitle(), "Nimbulo");
    EXPECT_EQ(dialog.size(), Pixels(0, 0, 300, 277).size());
    const std::pair<int, QRect> places[] = {{1000, Pixels(19, 1, 21, 19)},
                                            {1004, Pixels(129, 71, 66, 20)},
                                            {1020, Pixels(0, 202, 300, 48)},
                                            {1036, Pixels(199, 260, 73, 11)},
                                            {1017, Pixels(275, 187, 25, 8)}};
    for (const auto& [id, rect] : places) EXPECT_EQ(built.Control(id)->geometry(), rect) << id;
    // The compass control takes the size of its picture, not of its rectangle.
    EXPECT_EQ(built.Control(1018)->geometry(),
              QRect(Pixels(17, 32, 0, 0).topLeft(), QSize(128, 128)));
}

TEST_F(MainTemplate, KeepsTheTestButtonHiddenAndOutOfTheTabChain) {
    dialog.show();
    EXPECT_FALSE(built.Control(1001)->isVisible());
    std::vector<int> chain;
    for (QWidget* widget = built.Control(1000); chain.size() < 5;
         widget = widget->nextInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible())
            chain.push_back(widget->property(DialogBuilder::kIdProperty).toInt());
    EXPECT_EQ(chain, (std::vector<int>{1000, 1021, 1, 0xE146, 1020}));
}

// The platform's style marks a focused push button by a faint outline only.
TEST(FocusFrameStyle, FramesTheFocusedPushButtonInTwoPixelsOfTheHighlight) {
    FocusFrameStyle style;
    QDialog dialog;
    QPushButton button("OK", &dialog);
    QPushButton other("Cancel", &dialog);
    button.setStyle(&style);
    button.setGeometry(10, 10, 80, 30);
    other.setGeometry(10, 50, 80, 30);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    other.setFocus(Qt::TabFocusReason);
    const QImage plain = button.grab().toImage();
    button.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button.hasFocus());
    const QImage framed = button.grab().toImage();
    const QRgb highlight = button.palette().color(QPalette::Highlight).rgb();
    for (const QPoint& at : {QPoint(0, 15), QPoint(1, 15), QPoint(40, 28), QPoint(79, 15)}) {
        EXPECT_EQ(framed.pixel(at), highlight) << at.x() << "," << at.y();
        EXPECT_NE(plain.pixel(at), highlight) << at.x() << "," << at.y();
    }
}

}  // namespace
