// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <tuple>

#include "ButtonHover.h"
#include "ButtonLayout.h"

// One event per letter: i/I pointer inside without/with the left button held,
// o/O outside without/with it, f focus lost, c capture lost.
static HoverActions Fire(ButtonHover& hover, char event) {
    if (event == 'f') return hover.FocusLost();
    if (event == 'c') return hover.CaptureLost();
    return hover.PointerMoved(event == 'i' || event == 'I', event == 'I' || event == 'O');
}

constexpr HoverActions kNothing{};
constexpr HoverActions kRepaint{.repaint = true};
constexpr HoverActions kTake{.repaint = true, .takeCapture = true};
constexpr HoverActions kRelease{.repaint = true, .releaseCapture = true};

TEST(ButtonHover, EachEventLeadsToTheExpectedStateAndActions) {
    // name, events before, the event, then hover, capture and actions after it
    const std::tuple<const char*, const char*, char, bool, bool, HoverActions> cases[] = {
        {"pointer over lights the button and tracks it", "", 'i', true, true, kTake},
        {"arriving with the button held does not light it", "", 'I', false, false, kNothing},
        {"arriving held lights once let go", "II", 'i', true, true, kTake},
        {"moves inside change nothing", "i", 'i', true, true, kNothing},
        {"pressing inside changes nothing", "i", 'I', true, true, kNothing},
        {"leaving clears the look and stops tracking", "i", 'o', false, false, kRelease},
        {"dragging out clears the look, keeps tracking", "i", 'O', false, true, kRepaint},
        {"dragging back in held does not light it", "iO", 'I', false, true, kNothing},
        {"letting go outside ends tracking quietly", "iO", 'c', false, false, kNothing},
        {"losing the focus clears the look", "i", 'f', false, true, kRepaint},
        {"losing tracking keeps the look", "i", 'c', true, false, kRelease},
        {"after a click the next move tracks again", "iIc", 'i', true, true, kTake},
        {"after a click leaving clears the look", "ic", 'o', false, false, kRepaint},
        {"after a click the look stays until leaving", "iIci", 'o', false, false, kRelease},
        {"after focus loss moves inside stay dark", "if", 'i', false, true, kNothing},
        {"after focus loss leaving stops tracking",
         "if",
         'o',
         false,
         false,
         {.releaseCapture = true}},
        {"focus loss at rest does nothing", "", 'f', false, false, kNothing},
        {"tracking loss at rest does nothing", "", 'c', false, false, kNothing},
        {"pointer outside at rest does nothing", "", 'o', false, false, kNothing},
    };
    for (const auto& [name, before, event, hovering, capture, actions] : cases) {
        ButtonHover hover;
        for (const char* e = before; *e; ++e) Fire(hover, *e);
        EXPECT_TRUE(Fire(hover, event) == actions) << name;
        EXPECT_EQ(hover.Hover(), hovering) << name;
        EXPECT_EQ(hover.HasCapture(), capture) << name;
    }
}

// Divisions truncate toward zero: what is larger than the button starts at its
// edge or half a pixel nearer to it than a floor would put it.
TEST(ButtonLayout, IconIsCentredOrPutBesideTheCaptionAndMovedByOneWhenPressed) {
    // item, icon width and height, has a caption, pressed, then the icon and caption rectangles
    const std::tuple<PixelRect, int, int, bool, bool, PixelRect, PixelRect> cases[] = {
        {{0, 0, 40, 36}, 16, 16, false, false, {12, 10, 40, 36}, {0, 0, 40, 36}},
        {{0, 0, 41, 37}, 16, 16, false, false, {12, 10, 41, 37}, {0, 0, 41, 37}},
        {{0, 0, 40, 36}, 16, 16, false, true, {13, 11, 41, 37}, {0, 0, 40, 36}},
        {{5, 5, 45, 41}, 16, 16, false, false, {17, 15, 45, 41}, {5, 5, 45, 41}},
        {{0, 0, 31, 30}, 32, 33, false, false, {0, -1, 31, 30}, {0, 0, 31, 30}},
        {{0, 0, 100, 30}, 16, 16, true, false, {3, 7, 100, 30}, {19, 0, 100, 30}},
        {{0, 0, 100, 30}, 16, 16, true, true, {4, 8, 101, 31}, {19, 0, 100, 30}},
    };
    for (const auto& [item, width, height, hasCaption, pressed, icon, caption] : cases) {
        PixelRect area = item;
        const PixelRect got =
            ButtonLayout::IconRect(item, width, height, hasCaption, pressed, area);
        EXPECT_TRUE(got == icon) << "icon at " << got.left << "," << got.top;
        EXPECT_TRUE(area == caption) << "caption from " << area.left << "," << area.top;
    }
}

TEST(ButtonLayout, CaptionIsCentredInItsAreaAndMovedByOneWhenPressed) {
    const std::tuple<PixelRect, int, int, bool, PixelRect> cases[] = {
        {{19, 0, 100, 30}, 40, 13, false, {39, 8, 79, 21}},  // beside the icon
        {{19, 0, 100, 30}, 40, 13, true, {40, 9, 80, 22}},
        {{0, 0, 75, 24}, 40, 13, false, {17, 5, 57, 18}},   // odd spare dropped
        {{0, 0, 20, 10}, 31, 13, false, {-5, -1, 26, 12}},  // wider than the button
    };
    for (const auto& [area, width, height, pressed, expected] : cases) {
        const PixelRect got = ButtonLayout::CaptionRect(area, width, height, pressed);
        EXPECT_TRUE(got == expected) << got.left << "," << got.top << " in " << area.left;
    }
}
