// Dialog units to pixels, and the templates turned into widgets.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

#include "DialogBuilder.h"
#include "DialogUnits.h"

namespace {

struct Conversion {
    int x, y, width, height;
    QRect expected;
};

// Base units 7 x 13: x px = dlu * 7 / 4 and y px = dlu * 13 / 8, rounded to the nearest.
TEST(DialogUnits, ConvertEachEdgeWithTheBaseUnitsRoundedToTheNearestPixel) {
    const DialogUnits units(7, 13);
    const Conversion table[] = {
        {19, 1, 21, 19, QRect(33, 2, 37, 31)},        // read button: 33.25, 1.625, 36.75, 30.875
        {0, 202, 300, 48, QRect(0, 328, 525, 78)},    // chart: 328.25, 525, 78
        {38, 118, 66, 20, QRect(67, 192, 116, 33)},   // wind speed: 66.5 -> 67, 191.75, 115.5 -> 116, 32.5 -> 33
        {2, 4, 6, 8, QRect(4, 7, 11, 13)},            // 3.5 -> 4, 6.5 -> 7, 10.5 -> 11, 13
    };
    for (const Conversion& row : table)
        EXPECT_EQ(units.ToPixels(row.x, row.y, row.width, row.height), row.expected)
            << row.x << "," << row.y << "," << row.width << "," << row.height;
}

TEST(DialogUnits, TakeTheBaseUnitsFromTheAverageLetterWidthAndTheFontHeight) {
    QFont font("DejaVu Sans");
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const double average =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    const DialogUnits units(font);
    EXPECT_EQ(units.baseX(), qRound(average));
    EXPECT_EQ(units.baseY(), metrics.height());
}

class MainTemplate : public ::testing::Test {
protected:
    MainTemplate() : builder(DialogTemplates::Main()) { built = builder.Build(&dialog); }
    QRect Expected(int x, int y, int w, int h) const { return builder.units().ToPixels(x, y, w, h); }

    QDialog dialog;
    DialogBuilder builder;
    BuiltDialog built;
};

TEST_F(MainTemplate, MakesTheWindow300By277UnitsWithItsCaption) {
    EXPECT_EQ(dialog.windowTitle(), "Nimbulo");
    EXPECT_EQ(dialog.size(), Expected(0, 0, 300, 277).size());
}

TEST_F(MainTemplate, PlacesControlsAtTheirRectanglesInPixels) {
    EXPECT_EQ(built.Control(1000)->geometry(), Expected(19, 1, 21, 19));
    EXPECT_EQ(built.Control(1004)->geometry(), Expected(129, 71, 66, 20));
    EXPECT_EQ(built.Control(1020)->geometry(), Expected(0, 202, 300, 48));
    EXPECT_EQ(built.Control(1036)->geometry(), Expected(199, 260, 73, 11));
    EXPECT_EQ(built.Control(1017)->geometry(), Expected(275, 187, 25, 8));
}

TEST_F(MainTemplate, SizesTheCompassControlToItsPicture) {
    const QWidget* compass = built.Control(1018);
    EXPECT_EQ(compass->pos(), Expected(17, 32, 0, 0).topLeft());
    EXPECT_EQ(compass->size(), QSize(128, 128));
}

TEST_F(MainTemplate, ShowsTheTemplateTextsOfTheLabels) {
    const std::pair<int, const char*> texts[] = {
        {1009, "WindSpeed"},   {1010, "WindSpeedAverage"}, {1011, "Gusts"},
        {1006, "TempOutdoor"}, {1004, "TempIndoor"},       {1007, "HumidityOutdoor"},
        {1008, "HumidityInDoor"}, {1012, "RainTodaysTotal"}, {1013, "RainLongTermTotal"},
        {1014, "Pressure"},    {1003, "Records"},          {1015, "Date:"},
        {1017, "Time"},        {1016, ""},                 {1034, "Plot Color 1"},
        {1035, "Plot Color 2"}, {1036, "Plot Color 3"}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(static_cast<QLabel*>(built.Control(id))->text(), text) << id;
}

TEST_F(MainTemplate, KeepsTheTestButtonHiddenAndOutOfTheTabChain) {
    dialog.show();
    EXPECT_FALSE(built.Control(1001)->isVisible());
    EXPECT_TRUE(built.Control(1000)->isVisible());
    QWidget* widget = built.Control(1000);
    std::vector<int> chain;
    for (int i = 0; i < 5; ++i) {
        chain.push_back(widget->property(DialogBuilder::kIdProperty).toInt());
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || widget->focusPolicy() == Qt::ClickFocus ||
               !widget->isVisible())
            widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(chain, (std::vector<int>{1000, 1021, 1, 0xE146, 1020}));
}

TEST(OptionsTemplate, GroupsTheFourComButtonsAndWrapsSaveData) {
    QDialog dialog;
    const BuiltDialog built = DialogBuilder(DialogTemplates::Options()).Build(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Options");
    ASSERT_EQ(built.radioGroups.size(), 1u);
    EXPECT_EQ(built.radioGroups.begin()->first, 1022);
    EXPECT_EQ(built.radioGroups.begin()->second->buttons().size(), 4);
    const auto* save = static_cast<QCheckBox*>(built.Control(1033));
    EXPECT_EQ(save->text().simplified(), "Save Data");
}

TEST(AboutTemplate, ShowsTheIconTheVersionLineAndOk) {
    QDialog dialog;
    const BuiltDialog built = DialogBuilder(DialogTemplates::About()).Build(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "About Nimbulo");
    bool versionShown = false;
    bool iconShown = false;
    for (QWidget* widget : built.controls)
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            versionShown |= label->text() == "Nimbulo Version 2.0";
            iconShown |= label->pixmap().size() == QSize(32, 32);
        }
    EXPECT_TRUE(versionShown);
    EXPECT_TRUE(iconShown);
    EXPECT_EQ(static_cast<QAbstractButton*>(built.Control(1))->text(), "OK");
}

}  // namespace
