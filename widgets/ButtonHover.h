// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the button must do after one pointer, focus or capture event.
struct HoverActions {
    bool repaint = false;
    bool takeCapture = false;
    bool releaseCapture = false;

    bool operator==(const HoverActions&) const = default;
};

// Follows the pointer over an icon button: whether the button shows its
// active (hover) look and whether it is tracking the pointer ("capture").
//
// A pointer that arrives with the left button held does not light the button;
// dragging out with the button held clears the look but keeps tracking until
// the button is let go; after a click the look stays until the pointer leaves.
class ButtonHover {
  public:
    // The pointer moved; `inside` tells whether it is over the button.
    HoverActions PointerMoved(bool inside, bool leftHeld);
    // The button lost the keyboard focus.
    HoverActions FocusLost();
    // Tracking was taken away, as at the end of every click.
    HoverActions CaptureLost();

    bool Hover() const { return hover; }
    bool HasCapture() const { return capture; }

  private:
    bool hover = false;
    bool capture = false;
};
