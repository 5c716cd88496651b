#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "ButtonHover.h"

namespace {

// Where the pointer story starts.
enum class Start {
    AtRest,        // not hovering, not tracking
    Hovering,      // pointer came over the button: hovering and tracking
    DraggedOut,    // pressed, then dragged out with the left button held
    AfterClick,    // hovering, tracking ended by the end of a click
    FocusLostOver  // hovering, then the keyboard focus went elsewhere
};

ButtonHover Reach(Start start) {
    ButtonHover hover;
    switch (start) {
        case Start::AtRest:
            break;
        case Start::Hovering:
            hover.PointerMoved(true, false);
            break;
        case Start::DraggedOut:
            hover.PointerMoved(true, false);
            hover.PointerMoved(false, true);
            break;
        case Start::AfterClick:
            hover.PointerMoved(true, false);
            hover.CaptureLost();
            break;
        case Start::FocusLostOver:
            hover.PointerMoved(true, false);
            hover.FocusLost();
            break;
    }
    return hover;
}

enum class Event {
    MoveInside,
    MoveInsideHeld,
    MoveOutside,
    MoveOutsideHeld,
    FocusLost,
    CaptureLost
};

HoverActions Fire(ButtonHover& hover, Event event) {
    switch (event) {
        case Event::MoveInside:
            return hover.PointerMoved(true, false);
        case Event::MoveInsideHeld:
            return hover.PointerMoved(true, true);
        case Event::MoveOutside:
            return hover.PointerMoved(false, false);
        case Event::MoveOutsideHeld:
            return hover.PointerMoved(false, true);
        case Event::FocusLost:
            return hover.FocusLost();
        case Event::CaptureLost:
            return hover.CaptureLost();
    }
    return {};
}

constexpr HoverActions kNothing{};
constexpr HoverActions kRepaint{.repaint = true};
constexpr HoverActions kTake{.repaint = true, .takeCapture = true};
constexpr HoverActions kRelease{.repaint = true, .releaseCapture = true};

struct Transition {
    const char* name;
    Start start;
    Event event;
    bool hover;
    bool capture;
    HoverActions actions;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Transition& c, std::ostream* os) {
    *os << c.name;
}

class HoverTransitionTest : public testing::TestWithParam<Transition> {};

TEST_P(HoverTransitionTest, LeadsToTheExpectedStateAndActions) {
    const Transition& t = GetParam();
    ButtonHover hover = Reach(t.start);
    const HoverActions actions = Fire(hover, t.event);
    EXPECT_EQ(hover.Hover(), t.hover);
    EXPECT_EQ(hover.HasCapture(), t.capture);
    EXPECT_EQ(actions.repaint, t.actions.repaint);
    EXPECT_EQ(actions.takeCapture, t.actions.takeCapture);
    EXPECT_EQ(actions.releaseCapture, t.actions.releaseCapture);
}

INSTANTIATE_TEST_SUITE_P(
    ButtonHover, HoverTransitionTest,
    testing::Values(Transition{"PointerOverLightsTheButtonAndTracksIt", Start::AtRest,
                               Event::MoveInside, true, true, kTake},
                    Transition{"PointerArrivingWithTheButtonHeldDoesNotLightIt", Start::AtRest,
                               Event::MoveInsideHeld, false, false, kNothing},
                    Transition{"MovesInsideChangeNothing", Start::Hovering, Event::MoveInside, true,
                               true, kNothing},
                    Transition{"PressingInsideChangesNothing", Start::Hovering,
                               Event::MoveInsideHeld, true, true, kNothing},
                    Transition{"LeavingClearsTheLookAndStopsTracking", Start::Hovering,
                               Event::MoveOutside, false, false, kRelease},
                    Transition{"DraggingOutClearsTheLookButKeepsTracking", Start::Hovering,
                               Event::MoveOutsideHeld, false, true, kRepaint},
                    Transition{"DraggingBackInWithTheButtonHeldDoesNotLightIt", Start::DraggedOut,
                               Event::MoveInsideHeld, false, true, kNothing},
                    Transition{"LettingGoOutsideEndsTrackingQuietly", Start::DraggedOut,
                               Event::CaptureLost, false, false, kNothing},
                    Transition{"LosingTheFocusClearsTheLook", Start::Hovering, Event::FocusLost,
                               false, true, kRepaint},
                    Transition{"LosingTrackingKeepsTheLook", Start::Hovering, Event::CaptureLost,
                               true, false, kRelease},
                    Transition{"NextMoveAfterAClickTracksAgain", Start::AfterClick,
                               Event::MoveInside, true, true, kTake},
                    Transition{"LeavingAfterAClickClearsTheLook", Start::AfterClick,
                               Event::MoveOutside, false, false, kRepaint},
                    Transition{"AfterFocusLossMovesInsideStayDark", Start::FocusLostOver,
                               Event::MoveInside, false, true, kNothing},
                    Transition{"AfterFocusLossLeavingStopsTracking", Start::FocusLostOver,
                               Event::MoveOutside, false, false,
                               HoverActions{.releaseCapture = true}},
                    Transition{"FocusLossAtRestDoesNothing", Start::AtRest, Event::FocusLost, false,
                               false, kNothing},
                    Transition{"TrackingLossAtRestDoesNothing", Start::AtRest, Event::CaptureLost,
                               false, false, kNothing},
                    Transition{"PointerOutsideAtRestDoesNothing", Start::AtRest, Event::MoveOutside,
                               false, false, kNothing}),
    [](const testing::TestParamInfo<Transition>& info) { return info.param.name; });

TEST(ButtonHover, ClickSequenceKeepsTheActiveLookUntilThePointerLeaves) {
    ButtonHover hover;
    hover.PointerMoved(true, false);  // arrive
    hover.PointerMoved(true, true);   // press
    hover.CaptureLost();              // let go: the click
    EXPECT_TRUE(hover.Hover());
    hover.PointerMoved(true, false);
    EXPECT_TRUE(hover.HasCapture());
    hover.PointerMoved(false, false);
    EXPECT_FALSE(hover.Hover());
    EXPECT_FALSE(hover.HasCapture());
}

TEST(ButtonHover, ArrivingHeldLightsOnlyAfterTheButtonIsLetGoAndThePointerMoves) {
    ButtonHover hover;
    hover.PointerMoved(true, true);
    hover.PointerMoved(true, true);
    EXPECT_FALSE(hover.Hover());
    hover.PointerMoved(true, false);
    EXPECT_TRUE(hover.Hover());
}

}  // namespace
