#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "ButtonLayout.h"

namespace {

using Kind = ButtonLook::Kind;

struct LookCase {
    bool hover;
    bool pressed;
    bool disabled;
    Kind kind;
    bool active;
};

void PrintTo(const LookCase& c, std::ostream* os) {
    *os << (c.hover ? "hover " : "") << (c.pressed ? "pressed " : "")
        << (c.disabled ? "disabled" : "");
}

class LookTest : public testing::TestWithParam<LookCase> {};

TEST_P(LookTest, FollowsHoverPressedAndDisabled) {
    const LookCase& c = GetParam();
    const ButtonLook look = ButtonLook::Choose(c.hover, c.pressed, c.disabled);
    EXPECT_EQ(look.kind, c.kind);
    EXPECT_EQ(look.Active(), c.active);
    EXPECT_EQ(look.Pressed(), c.kind == Kind::Pressed);
    EXPECT_EQ(look.disabled, c.disabled);
}

INSTANTIATE_TEST_SUITE_P(ButtonLook, LookTest,
                         testing::Values(LookCase{false, false, false, Kind::Normal, false},
                                         LookCase{true, false, false, Kind::Hover, true},
                                         LookCase{false, true, false, Kind::Pressed, true},
                                         LookCase{true, true, false, Kind::Pressed, true},
                                         LookCase{false, false, true, Kind::Normal, false},
                                         LookCase{true, false, true, Kind::Hover, true},
                                         LookCase{false, true, true, Kind::Pressed, true},
                                         LookCase{true, true, true, Kind::Pressed, true}),
                         [](const testing::TestParamInfo<LookCase>& info) {
                             const LookCase& c = info.param;
                             return std::string(c.hover ? "Hover" : "NoHover") +
                                    (c.pressed ? "Pressed" : "Released") +
                                    (c.disabled ? "Disabled" : "Enabled");
                         });

enum class Paint { None, Light, Shadow };

// Paints the spans in order into a grid, as the button does.
std::vector<std::vector<Paint>> Render(const PixelRect& item, Kind kind) {
    std::vector<std::vector<Paint>> grid(std::size_t(item.bottom),
                                         std::vector<Paint>(std::size_t(item.right)));
    for (const BorderSpan& span : ButtonLayout::Border(item, kind)) {
        for (int y = span.area.top; y < span.area.bottom; ++y) {
            for (int x = span.area.left; x < span.area.right; ++x) {
                grid[std::size_t(y)][std::size_t(x)] =
                    span.shade == BorderSpan::Shade::Light ? Paint::Light : Paint::Shadow;
            }
        }
    }
    return grid;
}

struct BorderPixel {
    int x;
    int y;
    Paint raised;
    Paint sunken;
};

void PrintTo(const BorderPixel& c, std::ostream* os) {
    *os << c.x << "," << c.y;
}

class BorderTest : public testing::TestWithParam<BorderPixel> {};

// A 10 x 8 button. Raised: light up the left side and along the top, then
// shadow along the bottom and up the right side, which takes the top-right
// and bottom-left corners. Sunken: the same paths with the shades swapped.
TEST_P(BorderTest, CornersAndSidesTakeTheirShade) {
    const BorderPixel& p = GetParam();
    const PixelRect item{0, 0, 10, 8};
    EXPECT_EQ(Render(item, Kind::Hover)[std::size_t(p.y)][std::size_t(p.x)], p.raised);
    EXPECT_EQ(Render(item, Kind::Pressed)[std::size_t(p.y)][std::size_t(p.x)], p.sunken);
    EXPECT_EQ(Render(item, Kind::Normal)[std::size_t(p.y)][std::size_t(p.x)], Paint::None);
}

INSTANTIATE_TEST_SUITE_P(ButtonLayout, BorderTest,
                         testing::Values(BorderPixel{0, 0, Paint::Light, Paint::Shadow},
                                         BorderPixel{5, 0, Paint::Light, Paint::Shadow},
                                         BorderPixel{8, 0, Paint::Light, Paint::Shadow},
                                         BorderPixel{9, 0, Paint::Shadow, Paint::Light},
                                         BorderPixel{0, 1, Paint::Light, Paint::Shadow},
                                         BorderPixel{0, 6, Paint::Light, Paint::Shadow},
                                         BorderPixel{0, 7, Paint::Shadow, Paint::Light},
                                         BorderPixel{4, 7, Paint::Shadow, Paint::Light},
                                         BorderPixel{9, 7, Paint::Shadow, Paint::Light},
                                         BorderPixel{9, 3, Paint::Shadow, Paint::Light},
                                         BorderPixel{1, 1, Paint::None, Paint::None},
                                         BorderPixel{8, 6, Paint::None, Paint::None},
                                         BorderPixel{4, 3, Paint::None, Paint::None}),
                         [](const testing::TestParamInfo<BorderPixel>& info) {
                             return "At" + std::to_string(info.param.x) + "x" +
                                    std::to_string(info.param.y);
                         });

TEST(ButtonLayout, NormalLookHasNoBorder) {
    EXPECT_TRUE(ButtonLayout::Border({0, 0, 10, 8}, Kind::Normal).empty());
}

TEST(ButtonLayout, BorderFollowsTheItemRectangle) {
    const auto spans = ButtonLayout::Border({3, 2, 13, 10}, Kind::Hover);
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[1].area, (PixelRect{3, 2, 13, 3}));    // top row
    EXPECT_EQ(spans[3].area, (PixelRect{12, 2, 13, 10}));  // right column
}

struct IconCase {
    const char* name;
    PixelRect item;
    int iconWidth;
    int iconHeight;
    bool hasCaption;
    bool pressed;
    PixelRect icon;
    PixelRect caption;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IconCase& c, std::ostream* os) {
    *os << c.name;
}

class IconPlacementTest : public testing::TestWithParam<IconCase> {};

TEST_P(IconPlacementTest, PlacesTheIconAndMovesTheCaptionArea) {
    const IconCase& c = GetParam();
    PixelRect caption = c.item;
    EXPECT_EQ(
        ButtonLayout::IconRect(c.item, c.iconWidth, c.iconHeight, c.hasCaption, c.pressed, caption),
        c.icon);
    EXPECT_EQ(caption, c.caption);
}

INSTANTIATE_TEST_SUITE_P(ButtonLayout, IconPlacementTest,
                         testing::Values(IconCase{"CentredWithoutCaption",
                                                  {0, 0, 40, 36},
                                                  16,
                                                  16,
                                                  false,
                                                  false,
                                                  {12, 10, 40, 36},
                                                  {0, 0, 40, 36}},
                                         IconCase{"HalfPixelsTruncated",
                                                  {0, 0, 41, 37},
                                                  16,
                                                  16,
                                                  false,
                                                  false,
                                                  {12, 10, 41, 37},
                                                  {0, 0, 41, 37}},
                                         IconCase{"PressedMovesByOne",
                                                  {0, 0, 40, 36},
                                                  16,
                                                  16,
                                                  false,
                                                  true,
                                                  {13, 11, 41, 37},
                                                  {0, 0, 40, 36}},
                                         IconCase{"ItemAwayFromTheOrigin",
                                                  {5, 5, 45, 41},
                                                  16,
                                                  16,
                                                  false,
                                                  false,
                                                  {17, 15, 45, 41},
                                                  {5, 5, 45, 41}},
                                         IconCase{"IconLargerThanTheButton",
                                                  {0, 0, 31, 30},
                                                  32,
                                                  32,
                                                  false,
                                                  false,
                                                  {0, -1, 31, 30},
                                                  {0, 0, 31, 30}},
                                         IconCase{"LargerIconTruncatesTowardZero",
                                                  {0, 0, 30, 30},
                                                  33,
                                                  33,
                                                  false,
                                                  false,
                                                  {-1, -1, 30, 30},
                                                  {0, 0, 30, 30}},
                                         IconCase{"WithCaptionThreeFromTheLeft",
                                                  {0, 0, 100, 30},
                                                  16,
                                                  16,
                                                  true,
                                                  false,
                                                  {3, 7, 100, 30},
                                                  {19, 0, 100, 30}},
                                         IconCase{"WithCaptionPressed",
                                                  {0, 0, 100, 30},
                                                  16,
                                                  16,
                                                  true,
                                                  true,
                                                  {4, 8, 101, 31},
                                                  {19, 0, 100, 30}}),
                         [](const testing::TestParamInfo<IconCase>& info) {
                             return info.param.name;
                         });

struct CaptionCase {
    const char* name;
    PixelRect area;
    int textWidth;
    int textHeight;
    bool pressed;
    PixelRect expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CaptionCase& c, std::ostream* os) {
    *os << c.name;
}

class CaptionPlacementTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionPlacementTest, CentresTheMeasuredCaption) {
    const CaptionCase& c = GetParam();
    EXPECT_EQ(ButtonLayout::CaptionRect(c.area, c.textWidth, c.textHeight, c.pressed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ButtonLayout, CaptionPlacementTest,
    testing::Values(
        CaptionCase{"BesideTheIcon", {19, 0, 100, 30}, 40, 13, false, {39, 8, 79, 21}},
        CaptionCase{"PressedMovesByOne", {19, 0, 100, 30}, 40, 13, true, {40, 9, 80, 22}},
        CaptionCase{"OddSpareTruncated", {0, 0, 75, 24}, 40, 13, false, {17, 5, 57, 18}},
        CaptionCase{"WiderThanTheButton", {0, 0, 20, 10}, 31, 13, false, {-5, -1, 26, 12}}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return info.param.name; });

}  // namespace
